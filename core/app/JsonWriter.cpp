#include "core/app/JsonWriter.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr std::size_t kFlatWidth = 72;

// Length of the valid UTF-8 sequence at s[i], 0 when the bytes there are not one.
std::size_t Utf8Length(std::string_view s, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    std::size_t n = 0;
    unsigned int cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07u;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        cp = cp << 6 | (byte(i + k) & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    const unsigned int least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < least[n] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        return 0;
    return n;
}

}  // namespace

std::string JsonQuote(std::string_view s)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            const std::size_t n = Utf8Length(s, i);
            if (n == 0) {
                out += "\xEF\xBF\xBD";
                ++i;
            } else {
                out.append(s.substr(i, n));
                i += n;
            }
            continue;
        }
        ++i;
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char u[8];
                std::snprintf(u, sizeof u, "\\u%04x", c);
                out += u;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

void CJsonWriter::NewLine()
{
    if (m_nIndent <= 0)
        return;
    m_text += '\n';
    m_text.append(m_open.size() * static_cast<std::size_t>(m_nIndent), ' ');
}

void CJsonWriter::BeforeValue()
{
    if (m_bAfterKey) {
        m_bAfterKey = false;
        return;
    }
    if (m_open.empty())
        return;
    if (!m_open.back().first)
        m_text += ',';
    m_open.back().first = false;
    NewLine();
}

void CJsonWriter::Open(char c)
{
    BeforeValue();
    if (!m_open.empty())
        m_open.back().nested = true;
    m_open.push_back({true, false, m_text.size()});
    m_text += c;
}

void CJsonWriter::Close(char c)
{
    if (m_open.empty())
        return;
    const Level level = m_open.back();
    m_open.pop_back();
    if (!level.first)
        NewLine();
    m_text += c;
    if (m_nIndent > 0 && !level.nested) {
        // Plain values only: one line when it is short. Strings hold no raw
        // line breaks, so every one here is the layout's.
        std::string flat;
        for (std::size_t i = level.start; i < m_text.size(); ++i) {
            if (m_text[i] != '\n') {
                flat += m_text[i];
                continue;
            }
            while (i + 1 < m_text.size() && m_text[i + 1] == ' ')
                ++i;
            const char next = i + 1 < m_text.size() ? m_text[i + 1] : 0;
            if (next != '}' && next != ']' && flat.back() != '{' && flat.back() != '[')
                flat += ' ';
        }
        if (flat.size() <= kFlatWidth)
            m_text.replace(level.start, std::string::npos, flat);
    }
    if (m_open.empty())
        m_text += '\n';
}

CJsonWriter& CJsonWriter::BeginObject()
{
    Open('{');
    return *this;
}

CJsonWriter& CJsonWriter::EndObject()
{
    Close('}');
    return *this;
}

CJsonWriter& CJsonWriter::BeginArray()
{
    Open('[');
    return *this;
}

CJsonWriter& CJsonWriter::EndArray()
{
    Close(']');
    return *this;
}

CJsonWriter& CJsonWriter::Key(std::string_view key)
{
    BeforeValue();
    m_text += JsonQuote(key);
    m_text += m_nIndent > 0 ? ": " : ":";
    m_bAfterKey = true;
    return *this;
}

CJsonWriter& CJsonWriter::String(std::string_view s)
{
    BeforeValue();
    m_text += JsonQuote(s);
    return *this;
}

CJsonWriter& CJsonWriter::Int(long long v)
{
    BeforeValue();
    m_text += std::to_string(v);
    return *this;
}

CJsonWriter& CJsonWriter::Number(double v, int decimals)
{
    if (!std::isfinite(v))
        return Null();
    BeforeValue();
    char t[64];
    std::snprintf(t, sizeof t, "%.*f", decimals, v);
    m_text += t;
    return *this;
}

CJsonWriter& CJsonWriter::Bool(bool v)
{
    BeforeValue();
    m_text += v ? "true" : "false";
    return *this;
}

CJsonWriter& CJsonWriter::Null()
{
    BeforeValue();
    m_text += "null";
    return *this;
}
