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

    // No row of the file lies in the radio's bands (a list for another radio
    // type): nothing it gives can be imported, so neither the window nor
    // progtool imports it, whatever the other choices.
    bool FitsNoBand() const
    {
        return report.ok && report.channels == 0 && report.Count(ImportReason::OutsideBands) > 0;
    }
};

// "the import would empty 150 of the 180 channels in use", for EmptiesMost.
std::string EmptiesMostText(const ImportPreview& preview, bool chinese = false);
// "none of the 22 channels of the file lies in the radio's bands (...): it
// does not fit this radio type", for FitsNoBand.
std::string FitsNoBandText(const ImportPreview& preview, bool chinese = false);

ImportPreview PreviewImport(const ITextGrid& current, const std::string& text, CsvFormat format, bool chinese,
                            const ImportOptions& options = {});
