#pragma once
// CSV text as RFC 4180 has it: records of fields, quoted where needed.
#include <string>
#include <vector>

struct CsvRecord {
    int line = 0;  // physical line (1-based) on which the record starts
    std::vector<std::string> fields;
};

struct CsvDocument {
    bool ok = false;
    std::vector<CsvRecord> records;  // blank lines are left out
    int errorLine = 0;
    std::string error;  // why the text is no CSV, when !ok
};

// Accepts CRLF, LF or CR line ends, a leading UTF-8 byte-order mark and a
// missing final line end. Quotes are only meaningful at the start of a field;
// a quoted field must close, and only a separator or line end may follow it.
// A record of more than kCsvFieldLimit fields is refused.
CsvDocument ParseCsv(const std::string& text);

// The most fields a record may have: a channel list has a few dozen columns at
// most. A line with more is refused as it is read, so a line of nothing but
// commas cannot take memory by the field.
inline constexpr std::size_t kCsvFieldLimit = 200;

// The lines at the top of a text (after a byte-order mark) that begin with '#':
// a list's own description (where it comes from, what it may be used for).
// `lines` are their texts without the '#' and one blank after it; `end` is
// where the first other line starts. A reader that takes them as comments
// starts there; whether a text has them is its caller's choice.
struct CsvComments {
    std::vector<std::string> lines;
    std::size_t end = 0;
};
CsvComments LeadingCsvComments(const std::string& text);

// The same reading one record at a time, so that a long file is never held as
// records all at once. The text must outlive the reader. With `skipComments`
// the leading comment lines are passed over (and counted in the line numbers).
class CCsvReader {
public:
    explicit CCsvReader(const std::string& text, bool skipComments = false);
    // The next record (blank lines are left out); false at the end of the text
    // or at an error (Failed() tells which).
    bool Next(CsvRecord& record);
    bool Failed() const { return !m_error.empty(); }
    int ErrorLine() const { return m_errorLine; }
    const std::string& Error() const { return m_error; }

private:
    const std::string& m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
    int m_errorLine = 0;
    std::string m_error;
};

// Why a text is no comma-separated list though it may look like one: "is
// UTF-16; save it as UTF-8", "uses ';' between fields; save it with commas"
// (or tabs), said of the file by the caller. "" for any other text. With
// `skipComments` the first line after the leading comments is the one looked at.
std::string CsvTextProblem(const std::string& text, bool skipComments = false);
// A CsvTextProblem or CCsvReader::Error text in the language `chinese` picks.
std::string CsvProblemText(const std::string& english, bool chinese);

// A field quoted when it holds a comma, a quote, CR or LF, or begins or ends
// with a space (which readers would otherwise be free to trim).
std::string CsvField(const std::string& text);
// The text in double quotes, each quote inside doubled.
std::string QuotedCsvText(const std::string& text);
// A free text (a channel name) as a spreadsheet must not read it: one that
// begins with '-', '+', '=' or '@' would be taken for a formula, so it gets a
// leading apostrophe, which spreadsheets show as text. TextFromSafeField takes
// that apostrophe off again, so an export imports as the names it holds.
std::string FormulaSafeText(const std::string& text);
std::string TextFromSafeField(const std::string& field);
// Fields joined by commas, ended with CRLF.
std::string CsvLine(const std::vector<std::string>& fields);
