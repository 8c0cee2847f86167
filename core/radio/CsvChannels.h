#pragma once
// Channel lists as CSV text (RFC 4180, Csv.h) in two layouts: the grid layout
// (CsvGridLayout.h) and the channel-list layout (CsvChirpLayout.h). Importing
// reads each line through its layout and goes through CommitCell, so a row is
// accepted or refused exactly as if it had been typed into the grid.
#include <string>
#include <vector>

#include "core/radio/Csv.h"
#include "core/radio/CsvChirpLayout.h"
#include "core/radio/CsvGridLayout.h"
#include "core/radio/TextGrid.h"

enum class CsvFormat { Grid, Chirp };

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
