#pragma once
// diff's wording of what differs between two images, also audit's (a radio
// against its plan): text lines and JSON fields.
#include <string>
#include <vector>

#include "core/app/JsonWriter.h"
#include "core/radio/ImageDiff.h"

namespace cli {

// How b differs from a, one line each ("Channel 5 changed: Rx Frequency ... -> ...",
// "Option Squelch Level: 3 -> 7"), ending with "N difference(s)" or "the images are equal".
std::vector<std::string> DiffLines(const Image& a, const Image& b, const ImageDiff& d, bool zh);
// The same as fields of the object being written: "equal", "differences",
// "ranges", "model", "channels", "options", "bytes".
void JsonDiffFields(CJsonWriter& json, const Image& a, const Image& b, const ImageDiff& d, bool zh);

}  // namespace cli
