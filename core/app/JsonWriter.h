#pragma once
// A small writer of JSON text for the tool's machine-readable output: objects,
// arrays, strings, numbers, booleans and null, either indented (one document;
// a short container of plain values stays on one line) or all on one line (a
// stream of progress lines). Keys and strings are UTF-8;
// bytes that are not valid UTF-8 (a device path can hold any) become U+FFFD,
// so the output always parses.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text of s as a JSON string literal, quotes included.
std::string JsonQuote(std::string_view s);

class CJsonWriter {
public:
    // indent 0: everything on one line without spaces.
    explicit CJsonWriter(int indent = 2) : m_nIndent(indent) {}

    CJsonWriter& BeginObject();
    CJsonWriter& EndObject();
    CJsonWriter& BeginArray();
    CJsonWriter& EndArray();
    // The key of the next value inside an object.
    CJsonWriter& Key(std::string_view key);

    CJsonWriter& String(std::string_view s);
    CJsonWriter& Int(long long v);
    // A fixed number of decimals; NaN and infinities, which JSON lacks, become null.
    CJsonWriter& Number(double v, int decimals);
    CJsonWriter& Bool(bool v);
    CJsonWriter& Null();

    // The text so far, ending in a newline once the outermost value is closed.
    const std::string& Text() const { return m_text; }

private:
    void BeforeValue();
    void Open(char c);
    void Close(char c);
    void NewLine();

    int m_nIndent;
    std::string m_text;
    struct Level {
        bool first = true;      // nothing written into it yet
        bool nested = false;    // holds a container
        std::size_t start = 0;  // where it opens in m_text
    };
    std::vector<Level> m_open;
    bool m_bAfterKey = false;
};
