#pragma once
// What a CSV import would do to the channels on screen, worked out on a copy
// before anything changes: which channels it adds, changes and empties, and
// the import's own per-line report.
#include <string>
#include <vector>

#include "core/exchange/CsvChannels.h"
#include "core/radio/TextGrid.h"

struct ImportPreview {
    ImportReport report;
    CTextGrid result;          // every cell after the import
    std::vector<int> added;    // rows empty now and used afterwards
    std::vector<int> changed;  // used now and afterwards, with other texts
    std::vector<int> removed;  // used now and empty afterwards (replaced: the file does not carry them)
    int usedBefore = 0;        // channels in use now

    // A replace that empties more than half of the channels in use is most
    // likely the wrong file or one cut short: it is only applied when the user
    // insists (progtool's --force; the window's preview says so).
    bool EmptiesMost() const { return !removed.empty() && 2 * removed.size() > static_cast<std::size_t>(usedBefore); }
};

// "the import would empty 150 of the 180 channels in use", for EmptiesMost.
std::string EmptiesMostText(const ImportPreview& preview);

ImportPreview PreviewImport(const ITextGrid& current, const std::string& text, CsvFormat format, bool chinese,
                            const ImportOptions& options = {});
