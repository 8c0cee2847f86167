#pragma once
// What the newer commands share for their output: texts in the active
// language and the JSON documents (`--json`) with their version field.
#include <string>

#include "core/app/JsonWriter.h"
#include "core/radio/TextGrid.h"

namespace cli {

// The tool's own texts in the language g_bChinese picks.
const char* Tr(const char* en, const char* zh);

// The JSON documents' version: raised only when a field changes meaning or
// goes away; new fields may appear without it.
inline constexpr int kJsonSchema = 1;
// Opens the document: {"schema": 1, "command": command, ...
void BeginJsonDocument(CJsonWriter& json, const char* command);
// Prints the finished document on standard output.
void PrintJson(const CJsonWriter& json);

// Names of the grid columns in JSON, independent of the language.
const char* ColumnKey(int col);

// A row label without its padding: "Pr", "1" .. "199".
std::string ChannelLabel(int row);

}  // namespace cli
