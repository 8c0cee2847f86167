// CSV import in the grid and the channel-list layouts: any text imports or
// is refused whole (the grid untouched); what imports exports in the same
// layout and imports again to the same channels, with nothing refused.
#include <string>

#include "core/editor/CellCommit.h"
#include "core/radio/ChannelCodec.h"
#include "core/exchange/CsvChannels.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const std::uint8_t flags = in.Byte();
    const bool chinese = flags & 1;
    const CsvFormat format = (flags & 2) ? CsvFormat::Chirp : CsvFormat::Grid;
    fuzz::SetLanguage(chinese);
    fuzz::SetBandLimits(flags & 4);
    const std::string text = in.Rest();

    CTextGrid fresh;
    FillGridLabels(fresh, chinese);
    CTextGrid first = fresh;
    const ImportReport r = ImportCsv(text, format, first, chinese);
    if (!r.ok) {
        FUZZ_CHECK(!r.error.empty(), "refused without a reason");
        for (int row = 0; row < kGridRows; ++row)
            FUZZ_CHECK(fuzz::RowText(first, row) == fuzz::RowText(fresh, row),
                       "a refused text changed row " + std::to_string(row));
        return 0;
    }
    int used = 0;
    for (int row = 1; row < kGridRows; ++row) {
        used += !first.TextMatrix(row, kColRxFreq).empty();
        for (int c : {kColRxFreq, kColTxFreq}) {
            const EnteredFrequency f = ParseEnteredFrequency(first.TextMatrix(row, c));
            FUZZ_CHECK(!f.number || fuzz::StorableUnits(f.units), "row " + std::to_string(row) + " imported \"" +
                                                                      first.TextMatrix(row, c) +
                                                                      "\", which no record can hold");
        }
        for (int c : {kColRxFreq, kColTxFreq}) {
            const std::string cell = first.TextMatrix(row, c);
            FUZZ_CHECK(cell.empty() || CheckFrequency(cell) == 0,
                       "row " + std::to_string(row) + " holds a frequency the editor refuses: " + cell);
        }
    }
    FUZZ_CHECK(r.channels == used,
               std::to_string(r.channels) + " channel(s) reported, " + std::to_string(used) + " in the grid");

    const std::string exported = format == CsvFormat::Grid ? GridToCsv(first) : GridToChirpCsv(first);
    CTextGrid second = fresh;
    // An empty grid exports as its headings alone, which a replacing import
    // refuses (it would empty every channel); merged into the fresh grid it
    // must read back the same.
    ImportOptions options;
    options.merge = used == 0;
    const ImportReport again = ImportCsv(exported, format, second, chinese, options);
    FUZZ_CHECK(again.ok, "the export does not import: " + again.error + "\n" + exported);
    for (int row = 1; row < kGridRows; ++row)
        FUZZ_CHECK(fuzz::RowText(first, row) == fuzz::RowText(second, row),
                   "row " + std::to_string(row) + " " + fuzz::RowText(first, row) + " re-imports as " +
                       fuzz::RowText(second, row) + "\nexport:\n" + exported);
    FUZZ_CHECK(again.rejected == 0, std::to_string(again.rejected) + " row(s) of the export refused");
    return 0;
}
