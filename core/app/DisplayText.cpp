#include "core/app/DisplayText.h"

#include <algorithm>
#include <cstdio>

std::size_t Utf8SequenceLength(const std::string& text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
        lo = lead == 0xE0 ? 0xA0 : 0x80;
        hi = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
        lo = lead == 0xF0 ? 0x90 : 0x80;
        hi = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + len > text.size() || byte(i + 1) < lo || byte(i + 1) > hi)
        return 0;
    for (std::size_t k = 2; k < len; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return len;
}

std::string EscapeControlBytes(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    const auto escape = [&out](unsigned char b) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", b);
        out += hex;
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            if (b < 0x20 || b == 0x7F)
                escape(b);
            else
                out += static_cast<char>(b);
            ++i;
            continue;
        }
        const std::size_t len = Utf8SequenceLength(text, i);
        // U+0080..U+009F (C2 80..C2 9F) are the C1 controls: CSI is among them.
        const bool c1 = len == 2 && b == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (len == 0 || c1) {
            for (std::size_t k = 0; k < (c1 ? 2u : 1u); ++k)
                escape(static_cast<unsigned char>(text[i + k]));
            i += c1 ? 2 : 1;
            continue;
        }
        out.append(text, i, len);
        i += len;
    }
    return out;
}

std::string QuotedExcerpt(const std::string& text, std::size_t limit)
{
    std::size_t end = 0, characters = 0;
    for (; end < text.size() && characters < limit; ++characters)
        end += std::max<std::size_t>(1, Utf8SequenceLength(text, end));
    if (end >= text.size())
        return "\"" + EscapeControlBytes(text) + "\"";
    std::size_t total = characters;
    for (std::size_t i = end; i < text.size(); ++total)
        i += std::max<std::size_t>(1, Utf8SequenceLength(text, i));
    return "\"" + EscapeControlBytes(text.substr(0, end)) + "\"... (" + std::to_string(total) + " characters in all)";
}

int DisplayWidth(const std::string& text)
{
    int w = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++w;
            ++i;
        } else if (c >= 0xF0) {
            w += 2;
            i += 4;
        } else if (c >= 0xE0) {
            w += 2;  // the CJK characters of this program are all three-byte, double-width
            i += 3;
        } else {
            ++w;
            i += 2;
        }
    }
    return w;
}

std::string PadRight(const std::string& text, int width)
{
    const int w = DisplayWidth(text);
    return w >= width ? text : text + std::string(static_cast<std::size_t>(width - w), ' ');
}
