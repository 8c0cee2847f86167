#pragma once
// Text from files shown on a terminal. A CSV or trace can carry any bytes;
// echoed raw, an ESC or a C1 control would drive the user's terminal.
#include <string>

// Length of the valid UTF-8 sequence at text[i] (1 for ASCII), 0 when the
// bytes there are no valid UTF-8 (overlong, surrogate, cut short, past U+10FFFF).
std::size_t Utf8SequenceLength(const std::string& text, std::size_t i);

// `text` with every control character (C0, DEL, C1) and every byte that is
// not part of valid UTF-8 written as \xHH; printable UTF-8 is kept as it is.
std::string EscapeControlBytes(const std::string& text);

// At most `limit` characters of `text`, escaped as EscapeControlBytes does,
// in double quotes; a longer text is cut there and followed by "..." and its
// length, so that one long line of a file cannot flood the message quoting it.
std::string QuotedExcerpt(const std::string& text, std::size_t limit = 200);

// Terminal display width of UTF-8 text (CJK characters count two).
int DisplayWidth(const std::string& text);
// text followed by spaces up to width display columns.
std::string PadRight(const std::string& text, int width);
