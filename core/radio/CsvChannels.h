#pragma once
// Channel lists as CSV text (RFC 4180). Two layouts:
//  - the grid layout: the 201 x 10 texts of the channel grid, row 0 the
//    headings, column 0 the row labels, exactly as the window shows them;
//  - the channel-list layout that open-source programming software and
//    repeater directories exchange (Location, Name, Frequency, Duplex, ...).
// Importing goes through CommitCell, so a row is accepted or refused exactly
// as if it had been typed into the grid.
#include <string>
#include <vector>

#include "core/radio/TextGrid.h"

// ---- RFC 4180 ---------------------------------------------------------------

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
CsvDocument ParseCsv(const std::string& text);

// A field quoted when it holds a comma, a quote, CR or LF, or begins or ends
// with a space (which readers would otherwise be free to trim).
std::string CsvField(const std::string& text);
// Fields joined by commas, ended with CRLF.
std::string CsvLine(const std::vector<std::string>& fields);

// ---- the two layouts --------------------------------------------------------

enum class CsvFormat { Grid, Chirp };

// Every cell of the grid, one line per grid row.
std::string GridToCsv(const ITextGrid& grid);

// The header line of the channel-list layout, and one line per used channel
// (a row whose receive frequency is not empty; "Pr" is location 0).
const std::vector<std::string>& ChirpColumns();
std::string GridToChirpCsv(const ITextGrid& grid);

struct ImportIssue {
    int line = 0;         // line of the CSV text
    int row = 0;          // grid row concerned, 0 when unknown
    bool rejected = false;  // false: accepted with a change
    std::string reason;
};

struct ImportReport {
    bool ok = false;          // false when the text could not be used at all
    std::string error;        // reason when !ok (with its line number)
    int channels = 0;         // rows imported
    int rejected = 0;         // rows refused
    std::vector<ImportIssue> issues;
};

// Replaces the channel rows 1..200 of `grid` with the rows of the CSV text:
// every channel the text does not carry, or that is refused, ends up empty.
// The band limits in force (IsInBand) decide which frequencies are accepted.
// Cell words are written in the language `chinese` picks; both are read.
ImportReport ImportCsv(const std::string& text, CsvFormat format, ITextGrid& grid, bool chinese);
