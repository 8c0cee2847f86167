#pragma once
// UTF-8 inside the program, UTF-16 at Windows' calls: every path and message
// crosses here once, at the call.

#include <string>

// The UTF-16 form of UTF-8 text (invalid bytes become U+FFFD).
std::wstring Utf16(const std::string& text);
// The UTF-8 form of UTF-16 text (unpaired surrogates become U+FFFD).
std::string Utf8(const std::wstring& text);
// The system's own text for an error code (GetLastError()), in UTF-8, without
// its trailing line break; "error N" when the system has none.
std::string SystemMessage(unsigned long code);
