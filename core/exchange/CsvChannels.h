#pragma once
// Channel lists as CSV text (RFC 4180, Csv.h) in two layouts: the grid layout
// (CsvGridLayout.h) and the channel-list layout (CsvChirpLayout.h). Importing
// reads each line through its layout and goes through CommitCell, so a row is
// accepted or refused exactly as if it had been typed into the grid.
#include <array>
#include <string>
#include <vector>

#include "core/files/Csv.h"
#include "core/exchange/CsvChirpLayout.h"
#include "core/exchange/CsvGridLayout.h"
#include "core/exchange/CsvLayout.h"
#include "core/radio/TextGrid.h"

enum class CsvFormat { Grid, Chirp };

struct ImportIssue {
    int line = 0;           // line of the CSV text
    int row = 0;            // grid row concerned, 0 when unknown
    bool rejected = false;  // false: accepted with a change
    std::string reason;
    ImportReason kind = ImportReason::BadValue;
};

// A report lists this many changed or refused lines at most; the rest are
// counted (by reason as well), so a long file's report stays readable and small.
inline constexpr int kListedImportIssues = 1000;

struct ImportReport {
    bool ok = false;      // false when the text could not be used at all
    std::string error;    // reason when !ok (with its line number)
    int lines = 0;        // lines after the header
    int channels = 0;     // rows imported
    int changedRows = 0;  // rows imported with a change
    int emptied = 0;      // lines that leave their channel empty
    int rejected = 0;     // rows refused
    int receiveOnly = 0;  // rows imported without a Tx frequency
    std::array<int, static_cast<std::size_t>(ImportReason::Count)> byReason{};  // rows per reason
    std::vector<std::string> notes;   // what holds for the whole file ("power: 5.0W -> High, ...")
    std::vector<ImportIssue> issues;  // the first kListedImportIssues, in file order
    int unlisted = 0;                 // further changed or refused lines, not in `issues`

    int Count(ImportReason r) const { return byReason[static_cast<std::size_t>(r)]; }
};

// Where the rows go. Replace: the file's channels replace all others, which
// end up empty. Merge: only the channels the file carries are written, the
// others are kept. Renumbering ignores Location (or the row label) and places
// the rows that are imported in file order on consecutive channels from
// `renumberFrom` (0 is "Pr").
struct ImportOptions {
    bool merge = false;
    int renumberFrom = -1;  // -1: each row on its own Location
};

// Writes the rows of the CSV text into the channel rows 1..200 of `grid`
// (leading '#' comment lines are passed over: HasLeadingComments); a refused
// row leaves its channel empty (replace) or as it was (merge). A text
// that is no CSV (UTF-16, or another separator: CsvTextProblem), whose first
// line is not the layout's headings or gives one
// heading twice, or that replaces the channels with no row at all, is refused
// whole (ok false) and leaves the grid untouched. Reads the text line by line:
// time and memory grow with the channels, not with the lines.
// The band limits in force (IsInBand) decide which frequencies are accepted.
// Cell words, the reasons, notes and the error are in the language `chinese`
// picks; cell words of both are read.
ImportReport ImportCsv(const std::string& text, CsvFormat format, ITextGrid& grid, bool chinese,
                       const ImportOptions& options = {});

// Whether the text begins with comment lines ('#', LeadingCsvComments) that
// the import passes over: not when its first line is a layout's headings.
bool HasLeadingComments(const std::string& text);
// CsvTextProblem of the text as the import reads it (after its comments).
std::string CsvImportTextProblem(const std::string& text);

// The layout whose headings the text's first line carries. When neither
// layout reads it, the channel list when the line names one of its columns
// (the import then says which required one it lacks), else `fallback`.
CsvFormat DetectCsvFormat(const std::string& text, CsvFormat fallback);

// The summary by reason that ends the import's report: the lines read, rows
// imported, changed, receive only and refused, each group with its count;
// first, how many changed or refused lines the report does not list, when any.
std::vector<std::string> ImportSummaryLines(const ImportReport& report, bool chinese = false);
