#include "core/files/Csv.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace {
std::size_t AfterByteOrderMark(const std::string& text)
{
    return text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
                   static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF
               ? 3
               : 0;
}
}  // namespace

CsvComments LeadingCsvComments(const std::string& text)
{
    CsvComments comments;
    std::size_t i = AfterByteOrderMark(text);
    while (i < text.size() && text[i] == '#') {
        std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(i + 1, end - i - 1);
        if (!line.empty() && line[0] == ' ')
            line.erase(0, 1);
        comments.lines.push_back(std::move(line));
        i = end;
        if (i < text.size())
            i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    }
    comments.end = comments.lines.empty() ? 0 : i;
    return comments;
}

CCsvReader::CCsvReader(const std::string& text, bool skipComments) : m_text(text)
{
    m_pos = AfterByteOrderMark(text);
    if (const CsvComments comments = skipComments ? LeadingCsvComments(text) : CsvComments{}; !comments.lines.empty()) {
        m_pos = comments.end;
        m_line += static_cast<int>(comments.lines.size());
    }
}

bool CCsvReader::Next(CsvRecord& rec)
{
    const std::string& in = m_text;
    const std::size_t n = in.size();
    std::size_t& i = m_pos;
    auto fail = [&](int at, const char* why) {
        m_errorLine = at;
        m_error = why;
        i = n;
        return false;
    };
    auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };

    while (!Failed() && i < n) {
        rec.line = m_line;
        rec.fields.clear();
        for (;;) {
            std::string field;
            if (in[i] == '"') {
                const int openedAt = m_line;
                bool closed = false;
                ++i;
                while (i < n) {
                    const char c = in[i];
                    if (c == '"') {
                        if (i + 1 < n && in[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (c == '\n' || (c == '\r' && !(i + 1 < n && in[i + 1] == '\n')))
                        ++m_line;
                    field += c;
                    ++i;
                }
                if (!closed)
                    return fail(openedAt, "a quoted field is not closed");
                if (i < n && in[i] != ',' && !isLineEnd(in[i]))
                    return fail(m_line, "text follows the closing quote of a field");
            } else {
                const std::size_t from = i;
                while (i < n && in[i] != ',' && !isLineEnd(in[i])) {
                    if (in[i] == '"')
                        return fail(m_line, "a quote inside an unquoted field (quote the field and double the quote)");
                    ++i;
                }
                field.assign(in, from, i - from);
            }
            rec.fields.push_back(std::move(field));
            if (rec.fields.size() > kCsvFieldLimit)
                return fail(m_line, "more than 200 fields on one line; a channel list has far fewer columns");
            if (i >= n)
                break;
            if (in[i] == ',') {
                ++i;
                if (i >= n) {
                    rec.fields.emplace_back();  // a trailing comma ends with one more, empty field
                    break;
                }
                continue;
            }
            i += (in[i] == '\r' && i + 1 < n && in[i + 1] == '\n') ? 2 : 1;
            ++m_line;
            break;
        }
        if (!(rec.fields.size() == 1 && rec.fields[0].empty()))
            return true;
    }
    return false;
}

CsvDocument ParseCsv(const std::string& in)
{
    CsvDocument doc;
    CCsvReader reader(in);
    for (CsvRecord rec; reader.Next(rec);)
        doc.records.push_back(rec);
    if (reader.Failed()) {
        doc.errorLine = reader.ErrorLine();
        doc.error = reader.Error();
        doc.records.clear();
        return doc;
    }
    doc.ok = true;
    return doc;
}

std::string CsvProblemText(const std::string& english, bool chinese)
{
    static const std::pair<const char*, const char*> kChinese[] = {
        {"a quoted field is not closed", "带引号的字段没有结束引号"},
        {"text follows the closing quote of a field", "字段的结束引号之后还有文字"},
        {"a quote inside an unquoted field (quote the field and double the quote)",
         "未加引号的字段中有引号（请给字段加引号，并把其中的引号写两次）"},
        {"more than 200 fields on one line; a channel list has far fewer columns",
         "一行超过 200 个字段；信道表的列要少得多"},
        {"is UTF-16; save it as UTF-8", "是 UTF-16 编码；请另存为 UTF-8"},
        {"uses ';' between fields; save it with commas", "字段之间用的是 ';'；请改用逗号保存"},
        {"uses tabs between fields; save it with commas", "字段之间用的是制表符；请改用逗号保存"},
    };
    if (chinese)
        for (const auto& [en, zh] : kChinese)
            if (english == en)
                return zh;
    return english;
}

std::string CsvTextProblem(const std::string& all, bool skipComments)
{
    // The comments are the list's description, not its fields.
    const std::string_view text = std::string_view(all).substr(skipComments ? LeadingCsvComments(all).end : 0);
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    // UTF-16 by its byte-order mark, or ASCII text with a NUL beside every character.
    bool utf16 = text.size() >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF));
    if (!utf16 && text.size() >= 4) {
        const std::size_t n = std::min<std::size_t>(text.size() & ~std::size_t{1}, 64);
        bool evenNul = true, oddNul = true;
        for (std::size_t i = 0; i < n; i += 2) {
            evenNul = evenNul && byte(i) == 0 && byte(i + 1) != 0;
            oddNul = oddNul && byte(i + 1) == 0 && byte(i) != 0;
        }
        utf16 = evenNul || oddNul;
    }
    if (utf16)
        return "is UTF-16; save it as UTF-8";
    // The first line's separators outside quotes: a list saved with another
    // separator has none of its own commas there.
    std::size_t commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size() && (quoted || (text[i] != '\n' && text[i] != '\r')); ++i) {
        const char c = text[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
        else if (!quoted && c == '\t')
            ++tabs;
    }
    if (commas == 0 && semicolons > 0 && semicolons >= tabs)
        return "uses ';' between fields; save it with commas";
    if (commas == 0 && tabs > 0)
        return "uses tabs between fields; save it with commas";
    return {};
}

std::string CsvField(const std::string& text)
{
    const bool needsQuotes = text.find_first_of(",\"\r\n") != std::string::npos ||
                             (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    return needsQuotes ? QuotedCsvText(text) : text;
}

std::string QuotedCsvText(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

namespace {
bool StartsFormula(const std::string& text, std::size_t at)
{
    return text.size() > at && (text[at] == '-' || text[at] == '+' || text[at] == '=' || text[at] == '@');
}
}  // namespace

std::string FormulaSafeText(const std::string& text) { return StartsFormula(text, 0) ? "'" + text : text; }

std::string TextFromSafeField(const std::string& field)
{
    return !field.empty() && field[0] == '\'' && StartsFormula(field, 1) ? field.substr(1) : field;
}

std::string CsvLine(const std::vector<std::string>& fields)
{
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i)
            out += ',';
        out += CsvField(fields[i]);
    }
    out += "\r\n";
    return out;
}
