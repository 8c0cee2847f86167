// Cell commit rules: a sequence of edits typed into one channel row, each
// editor giving what it can give (typed text in the frequency and name
// editors, an item or the cell's own text in the lists). After every commit
// a frequency that was accepted is stored as the number typed, on the step
// raster, in band and inside what a record holds; an empty receive frequency
// means an empty row; a refused typing slip changes nothing. At the end the
// row survives the encode into a record and the decode back unchanged.
#include <string>

#include "core/editor/CellCommit.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/ChannelText.h"
#include "fuzz/FuzzSupport.h"

namespace {

std::vector<std::string> ListItems(int col, bool chinese)
{
    if (col == kColRxTone || col == kColTxTone)
        return ToneNames(chinese);
    return FlagListItems(col, chinese);
}

void CheckFrequencyCell(const std::string& typed, const std::string& stored, const std::string& where)
{
    const EnteredFrequency entered = ParseEnteredFrequency(typed);
    const EnteredFrequency kept = ParseEnteredFrequency(stored);
    FUZZ_CHECK(entered.number && kept.number, where);
    FUZZ_CHECK(stored == entered.text, where + ": typed \"" + typed + "\" stored \"" + stored + "\"");
    FUZZ_CHECK(kept.units == entered.units,
               where + ": typed \"" + typed + "\" stored as another number \"" + stored + "\"");
    FUZZ_CHECK(IsOnStep(kept.units), where + ": \"" + stored + "\" (typed \"" + typed + "\") is off the step raster");
    FUZZ_CHECK(fuzz::StorableUnits(kept.units),
               where + ": \"" + stored + "\" (typed \"" + typed + "\") cannot be held by a record");
    FUZZ_CHECK(IsInBand(static_cast<std::int32_t>(kept.units)), where + ": \"" + stored + "\" out of band");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const std::uint8_t flags = in.Byte();
    const bool chinese = flags & 1;
    fuzz::SetLanguage(chinese);
    fuzz::SetBandLimits(flags & 2);
    const CommitTrigger trigger = (flags & 4) ? CommitTrigger::Enter : CommitTrigger::LeaveCell;
    const int row = 1 + in.Byte() % (kGridRows - 1);

    CTextGrid grid;
    FillGridLabels(grid, chinese);
    for (int edits = 0; edits < 64 && in.Remaining() > 0; ++edits) {
        const int col = kColRxFreq + in.Byte() % kColName;
        const std::size_t len = in.Byte() % 24;
        std::string text;
        for (std::size_t i = 0; i < len && in.Remaining() > 0; ++i)
            text += static_cast<char>(in.Byte());
        const std::string before = grid.TextMatrix(row, col);
        if (col >= kColRxTone && col <= kColBandwidth) {
            const std::vector<std::string> items = ListItems(col, chinese);
            const int pick = text.empty() ? -1 : static_cast<unsigned char>(text[0]) % (items.size() + 1);
            text = ListEditorText(before, items, pick < static_cast<int>(items.size()) ? pick : -1);
        } else if (col == kColName) {
            text = NameEditorText(text, NameEditorLimit(before));
        }

        const CTextGrid was = grid;
        const CommitResult r = CommitCell(grid, row, col, text, trigger, chinese);
        const std::string where = "row " + std::to_string(row) + " col " + std::to_string(col);
        if (r.stopped && r.messageId == kMsgFrequencyFormat)
            FUZZ_CHECK(fuzz::RowText(grid, row) == fuzz::RowText(was, row), where + ": a typing slip changed the row");
        if (r.stopped)
            FUZZ_CHECK(
                r.messageId == kMsgFrequencyFormat || r.messageId == kMsgOutOfRange || r.messageId == kMsgStepError,
                where + ": refused with message " + std::to_string(r.messageId));
        if (!r.stopped && (col == kColRxFreq || col == kColTxFreq) && !grid.TextMatrix(row, col).empty())
            CheckFrequencyCell(text, grid.TextMatrix(row, col), where);
        if (grid.TextMatrix(row, kColRxFreq).empty())
            FUZZ_CHECK(fuzz::RowText(grid, row) == "|||||||||",
                       where + ": a row without Rx holds " + fuzz::RowText(grid, row));
    }

    Image image;
    image.fill(0xFF);
    EncodeChannels(grid, image);
    CTextGrid back;
    DecodeChannels(image, back, chinese);
    FUZZ_CHECK(
        fuzz::RowText(back, row) == fuzz::RowText(grid, row),
        "row " + std::to_string(row) + " " + fuzz::RowText(grid, row) + " reads back " + fuzz::RowText(back, row));
    return 0;
}
