#pragma once
// What the newer commands share for their output: texts in the active
// language and the JSON documents (`--json`) with their version field.
#include <streambuf>
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

// Standard output for the whole run: std::cout goes through a buffer that
// remembers the first failed write (a full disk, /dev/full, a closed pipe), so
// a command whose data was not written cannot end as a success. Line-buffered
// on a terminal. Restores std::cout when destroyed.
class CCheckedStdout : public std::streambuf {
public:
    CCheckedStdout();
    ~CCheckedStdout() override;
    CCheckedStdout(const CCheckedStdout&) = delete;
    CCheckedStdout& operator=(const CCheckedStdout&) = delete;
    // Flushes what is left: "" when everything printed was written, else the reason.
    std::string Finish();

protected:
    int overflow(int c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    bool Drain();
    char m_buffer[16384];
    int m_nError = 0;
    bool m_bLineBuffered;
    std::streambuf* m_pOld;
};

// Names of the grid columns in JSON, independent of the language.
const char* ColumnKey(int col);

// A row label without its padding: "Pr", "1" .. "199".
std::string ChannelLabel(int row);

}  // namespace cli
