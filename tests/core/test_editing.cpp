// Undo snapshots, row operations, clipboard text and cell entry: the core of
// editing many channels at once.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/editor/CellCommit.h"
#include "core/editor/CellEntry.h"
#include "core/editor/ChannelRows.h"
#include "core/editor/EditSnapshot.h"
#include "core/exchange/ImportPreview.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/Document.h"
#include "tests/support/TestEnv.h"

namespace {

using Texts = std::vector<std::string>;

Texts RowTexts(const ITextGrid& grid, int row)
{
    Texts t;
    for (int col = kColRxFreq; col <= kColName; ++col)
        t.push_back(grid.TextMatrix(row, col));
    return t;
}

void SetRow(ITextGrid& grid, int row, const Texts& t)
{
    for (int col = kColRxFreq; col <= kColName; ++col)
        grid.SetTextMatrix(row, col, t.at(static_cast<std::size_t>(col - 1)));
}

void PutBcd(Image& image, int offset, long units)
{
    for (int i = 0; i < 4; ++i, units /= 100)
        image[offset + i] = static_cast<std::uint8_t>(16 * (units % 100 / 10) + units % 10);
}

// Random bytes everywhere, then channels of every kind: CTCSS, DCS normal and
// inverted, no tone, no transmit frequency, every power, both flags, named and
// not, kept bits and tail bytes random. Channel 106, whose first name bytes are
// the selected band, is used; so are "Pr" and the last channel.
Image EveryKindImage(std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Image image;
    for (auto& b : image)
        b = static_cast<std::uint8_t>(rng());
    static const std::uint8_t tones[][2] = {{0x70, 0x06}, {0x23, 0x80}, {0x54, 0xC7}, {0xFF, 0xFF}, {0x85, 0x08}};
    for (int n = 0; n < mem::kChannelCount; ++n) {
        std::uint8_t* rec = image.data() + 16 * n;
        if (n % 3 == 2 && n != 106 && n != 199) {
            std::memset(rec, 0xFF, 4);  // empty: its other bytes and its name stay random
            continue;
        }
        const long rx = (n % 2 ? 43000000 : 14400000) + 2500L * ((n * 37) % 200);
        PutBcd(image, 16 * n, rx);
        if (n % 7 == 0)
            std::memset(rec + 4, 0xFF, 4);
        else
            PutBcd(image, 16 * n + 4, rx + 60000);
        rec[8] = tones[n % 5][0];
        rec[9] = tones[n % 5][1];
        rec[10] = tones[(n + 1) % 5][0];
        rec[11] = tones[(n + 1) % 5][1];
        rec[12] = static_cast<std::uint8_t>((rng() & 0xC1) | ((n % 3) << 4) | ((n % 8) << 1));
        std::uint8_t* name = image.data() + mem::kNameBase + 8 * n;
        const int length = n % 4 == 0 ? 0 : 1 + n % 6;
        for (int i = 0; i < 8; ++i)
            name[i] = i < length ? static_cast<std::uint8_t>((n * 7 + i) % 37) : 0xFF;
    }
    return image;
}

const std::uint8_t* Record(const Image& image, int slot) { return image.data() + 16 * slot; }
const std::uint8_t* Name(const Image& image, int slot) { return image.data() + mem::kNameBase + 8 * slot; }

bool InChannelArea(int offset)
{
    return offset < 16 * mem::kChannelCount ||
           (offset >= mem::kNameBase && offset < mem::kNameBase + 8 * mem::kChannelCount);
}

class EditingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testenv::ResetBandLimits();
        doc.Open(EveryKindImage(12), false);
    }
    testenv::BandLimitsGuard restoreLimits;
    ChannelDocument doc;
};

}  // namespace

TEST_F(EditingTest, SnapshotRestoresImageTextsAndBandBoxesExactly)
{
    const BandTexts bands{"136", "174", "400", "480x"};
    const CEditSnapshot snap(doc.image, doc.grid, bands);
    const Image image = doc.image;
    const CTextGrid grid = doc.grid;

    // Every byte and every text changed, then put back.
    for (auto& b : doc.image)
        b = static_cast<std::uint8_t>(b ^ 0x5A);
    for (int row = 1; row < kGridRows; ++row)
        SetRow(doc.grid, row, Texts(9, "x" + std::to_string(row)));
    BandTexts now{"1", "2", "3", "4"};
    snap.Restore(doc.image, doc.grid, now);
    EXPECT_EQ(doc.image, image);
    EXPECT_EQ(now, bands);
    for (int row = 0; row < kGridRows; ++row)
        for (int col = 0; col < kGridCols; ++col)
            ASSERT_EQ(doc.grid.TextMatrix(row, col), grid.TextMatrix(row, col)) << row << "," << col;

    EXPECT_EQ(snap, CEditSnapshot(doc.image, doc.grid, bands));
    doc.grid.SetTextMatrix(200, kColName, "Z");
    EXPECT_FALSE(snap == CEditSnapshot(doc.image, doc.grid, bands));
    // 200 undo steps of a full grid stay within a few megabytes.
    EXPECT_LT(snap.Bytes(), 32u * 1024u);
}

TEST_F(EditingTest, RowOperationsMoveEveryByteAChannelOwns)
{
    const Image image0 = doc.image;
    const CTextGrid grid0 = doc.grid;
    int blocking = 0;
    const struct {
        const char* what;
        ChannelOrder order;
        std::vector<std::pair<int, int>> expect;  // (slot, from) spot checks; from -1: empty
    } cases[] = {
        {"delete", DeleteOrder({1, 3, 7, 107}), {{0, 0}, {1, 1}, {2, 3}, {5, 7}, {104, 107}, {105, 108}, {197, -1}}},
        {"move up", MoveOrder({5, 6, 107}, -1), {{3, 4}, {4, 5}, {5, 3}, {105, 106}, {106, 105}}},
        {"move down", MoveOrder({1, 2, 200}, +1), {{0, 0}, {1, 2}, {2, 1}, {199, 199}}},
        {"drag down", MoveToRowOrder({5, 6}, 10), {{3, 3}, {4, 6}, {8, 10}, {9, 4}, {10, 5}, {11, 11}}},
        {"drag up", MoveToRowOrder({1, 100}, 3), {{0, 0}, {1, 1}, {2, 99}, {3, 2}, {99, 98}, {100, 100}}},
        {"drag past the end", MoveToRowOrder({2, 3}, 200), {{1, 3}, {197, 199}, {198, 1}, {199, 2}}},
        {"sort rx", SortOrder(doc.grid, 2, 200, SortKey::RxFrequency), {{0, 0}}},
        {"sort name", SortOrder(doc.grid, 100, 120, SortKey::Name), {{0, 0}, {98, 98}, {120, 120}}},
        {"sort tone", SortOrder(doc.grid, 2, 200, SortKey::Tone), {{0, 0}}},
    };
    // Insert needs the last channel free.
    SetRow(doc.grid, 200, Texts(9));
    SetRow(doc.grid, 199, Texts(9));
    const CTextGrid gridFreeEnd = doc.grid;
    const ChannelOrder insert = InsertEmptyOrder(doc.grid, 5, 2, blocking);
    ASSERT_FALSE(insert.empty());
    EXPECT_EQ(blocking, 0);

    auto check = [&](const char* what, const ChannelOrder& order, const CTextGrid& before,
                     const std::vector<std::pair<int, int>>& expect) {
        SCOPED_TRACE(what);
        doc.image = image0;
        doc.grid = before;
        ApplyChannelOrder(order, doc.image, doc.grid);
        for (const auto& [slot, from] : expect)
            EXPECT_EQ(order[static_cast<std::size_t>(slot)], from) << "slot " << slot;
        for (int offset = 0; offset < static_cast<int>(kImageSize); ++offset) {
            const bool kept =
                !InChannelArea(offset) || (offset >= mem::kSelectedBand && offset < mem::kSelectedBand + 3);
            ASSERT_TRUE(!kept || doc.image[offset] == image0[offset]) << std::hex << offset;
        }
        for (int slot = 0; slot < mem::kChannelCount; ++slot) {
            const int from = order[static_cast<std::size_t>(slot)];
            const Texts texts = from < 0 ? Texts(9) : RowTexts(before, from + 1);
            ASSERT_EQ(RowTexts(doc.grid, slot + 1), texts) << "slot " << slot;
            if (from < 0) {
                EXPECT_EQ(std::vector<std::uint8_t>(Record(doc.image, slot), Record(doc.image, slot) + 16),
                          std::vector<std::uint8_t>(16, 0xFF));
                continue;
            }
            ASSERT_EQ(0, std::memcmp(Record(doc.image, slot), Record(image0, from), 16)) << "slot " << slot;
            const int keep = slot == 106 ? 3 : 0;  // the band record stays on slot 106
            ASSERT_EQ(0, std::memcmp(Name(doc.image, slot) + keep, Name(image0, from) + keep, 8 - keep));
        }
    };
    for (const auto& c : cases)
        check(c.what, c.order, grid0, c.expect);
    check("insert", insert, gridFreeEnd, {{3, 3}, {4, -1}, {5, -1}, {6, 4}, {199, 197}});

    // Sorted as asked, used channels first; "Pr" stays.
    doc.image = image0;
    doc.grid = grid0;
    ApplyChannelOrder(SortOrder(doc.grid, 2, 200, SortKey::RxFrequency), doc.image, doc.grid);
    EXPECT_EQ(RowTexts(doc.grid, 1), RowTexts(grid0, 1));
    long long last = 0;
    bool emptySeen = false;
    for (int row = 2; row < kGridRows; ++row) {
        const std::string rx = doc.grid.TextMatrix(row, kColRxFreq);
        if (rx.empty()) {
            emptySeen = true;
            continue;
        }
        ASSERT_FALSE(emptySeen) << row;
        const long long units = ParseEnteredFrequency(rx).units;
        ASSERT_GE(units, last) << row;
        last = units;
    }
    // Encoding the moved channels changes no record, the stray bytes of empty
    // ones included, and gives each its own name again.
    const Image moved = doc.image;
    EncodeDocument(doc.ranges, doc.grid, doc.image);
    EXPECT_EQ(0, std::memcmp(doc.image.data(), moved.data(), 16 * mem::kChannelCount));
    ChannelDocument check2;
    check2.Open(doc.image, false);
    for (int row = 1; row < kGridRows; ++row)
        ASSERT_EQ(RowTexts(check2.grid, row), RowTexts(doc.grid, row)) << row;
}

// Whole channels carried between documents (a copy or a drag of this
// program) land with every byte, the ones no cell shows included, in either
// language; a channel whose frequency the rules refuse changes nothing.
TEST_F(EditingTest, CarriedChannelsLandByteForByte)
{
    std::vector<ChannelBytes> carried;
    for (int row = 1; row < kGridRows; ++row)
        carried.push_back(TakeChannelBytes(doc.image, row));
    ASSERT_EQ(ParseChannelBytesText(ChannelBytesText(carried)), carried);
    EXPECT_TRUE(ParseChannelBytesText(ChannelBytesText(carried).substr(1)).empty());
    for (bool chinese : {false, true}) {
        SCOPED_TRACE(chinese ? "Chinese" : "English");
        ChannelDocument to;
        to.Open(EveryKindImage(99), chinese);
        int beyond = -1;
        const EntryReport r = EnterChannels(to.image, to.grid, 1, carried, chinese, beyond);
        EXPECT_TRUE(r.refused.empty());
        EXPECT_EQ(beyond, 0);
        EncodeDocument(to.ranges, to.grid, to.image);
        for (int slot = 0; slot < mem::kChannelCount; ++slot) {
            ASSERT_EQ(0, std::memcmp(Record(to.image, slot), Record(doc.image, slot), 16)) << slot;
            ASSERT_EQ(0, std::memcmp(Name(to.image, slot), Name(doc.image, slot), 8)) << slot;
        }
    }
    // Refused by the rules of where they land: the row and its bytes stay; past the end: counted.
    ChannelDocument to;
    to.Open(EveryKindImage(99), false);
    const Image before = to.image;
    const Texts row3 = RowTexts(to.grid, 3);
    testenv::ResetBandLimits();
    g_nVhfHigh = 14400000;  // the VHF channels of `carried` lie above it now
    int beyond = 0;
    const EntryReport r = EnterChannels(to.image, to.grid, 3, {carried[4], carried[1]}, false, beyond);
    ASSERT_EQ(r.refused.size(), 1u);
    EXPECT_EQ(r.refused[0].row, 3);
    EXPECT_EQ(r.refused[0].why, CellRefusal::OutOfRange);
    EXPECT_EQ(r.refused[0].withheld, 8);
    EXPECT_EQ(RowTexts(to.grid, 3), row3);
    EXPECT_EQ(0, std::memcmp(Record(to.image, 2), Record(before, 2), 16));
    EXPECT_EQ(r.changedRows, (std::set<int>{4}));
    EnterChannels(to.image, to.grid, 199, {carried[1], carried[3], carried[5]}, false, beyond);
    EXPECT_EQ(beyond, 9);
}

TEST_F(EditingTest, InsertRefusesToPushAUsedChannelOffTheEnd)
{
    int blocking = 0;
    EXPECT_TRUE(InsertEmptyOrder(doc.grid, 5, 1, blocking).empty());
    EXPECT_EQ(blocking, 200);
    SetRow(doc.grid, 200, Texts(9));
    EXPECT_TRUE(InsertEmptyOrder(doc.grid, 5, 2, blocking).empty());
    EXPECT_EQ(blocking, 199);
    EXPECT_FALSE(InsertEmptyOrder(doc.grid, 5, 1, blocking).empty());
    EXPECT_TRUE(InsertEmptyOrder(doc.grid, 1, 1, blocking).empty());  // nothing goes before "Pr"
    EXPECT_TRUE(IsIdentity(MoveOrder({2, 3}, -1)));                   // already at the top
    EXPECT_EQ(RowsAfter(MoveOrder({5, 6}, -1), {5, 6}), (std::set<int>{4, 5}));
}

TEST(CellEntry, EachTextIsCheckedAsItsEditorWouldThenCommitted)
{
    testenv::BandLimitsGuard restore;
    testenv::ResetBandLimits();
    const Texts used{"145.12500", "145.72500", "67.0", "None", "High", "Lock", "Yes", "Wide", "AB"};
    const struct {
        int col;
        const char* text;
        bool onUsed;
        CellRefusal why;
        const char* cell;  // the cell afterwards
    } cases[] = {
        {1, "146,5", true, CellRefusal::None, "146.50000"},
        {1, " abc", true, CellRefusal::NotAFrequency, "145.12500"},
        {1, "146.5 MHz", true, CellRefusal::None, "146.50000"},
        {1, "146.5 Hz", true, CellRefusal::NotAFrequency, "145.12500"},
        {1, "180", true, CellRefusal::OutOfRange, "145.12500"},  // the channel is not wiped
        {1, "145.0065", true, CellRefusal::OffStep, "145.12500"},
        {1, "", true, CellRefusal::None, ""},
        {1, "440", false, CellRefusal::None, "440.00000"},
        {2, "146", false, CellRefusal::EmptyChannel, ""},
        {2, "", true, CellRefusal::None, ""},
        {3, "88.50", true, CellRefusal::None, "88.5"},
        {3, "d023i", true, CellRefusal::None, "D023I"},
        {3, "66.6", true, CellRefusal::None, "66.6"},  // not the list's, but what the grid shows for 66 06
        {3, "66.66", true, CellRefusal::NotInList, "67.0"},
        {4, "无", true, CellRefusal::None, "None"},
        {5, "middle", true, CellRefusal::None, "Middle"},
        {5, "低", true, CellRefusal::None, "Low"},
        {5, "Loud", true, CellRefusal::NotInList, "High"},
        {5, "", true, CellRefusal::None, "High"},
        {6, "unlock", true, CellRefusal::None, "Unlock"},
        {8, "Narrow", false, CellRefusal::EmptyChannel, ""},
        {8, "Medium", false, CellRefusal::NotInList, ""},  // its own fault first
        {9, "rpt n1x", true, CellRefusal::None, "RPT"},    // a record's name holds no blank
        {9, "", true, CellRefusal::None, ""},
    };
    for (const auto& c : cases) {
        CTextGrid grid;
        if (c.onUsed)
            SetRow(grid, 7, used);
        EXPECT_EQ(EnterCellText(grid, 7, c.col, c.text, false), c.why) << c.col << " " << c.text;
        EXPECT_EQ(grid.TextMatrix(7, c.col), c.cell) << c.col << " " << c.text;
    }
    // Chinese words for a Chinese grid.
    CTextGrid zh;
    EXPECT_EQ(EnterCellText(zh, 3, kColRxFreq, "145.5", true), CellRefusal::None);
    EXPECT_EQ(EnterCellText(zh, 3, kColScanAdd, "no", true), CellRefusal::None);
    EXPECT_EQ(RowTexts(zh, 3), (Texts{"145.50000", "145.50000", "无", "无", "高", "锁定", "无", "宽", ""}));
    EXPECT_EQ(EnterCellText(zh, kGridRows, kColRxFreq, "145.5", true), CellRefusal::BeyondLastChannel);
}

TEST(ClipboardText, CopiesComeBackCellForCell)
{
    ChannelDocument doc;
    doc.Open(EveryKindImage(3), false);
    const struct {
        std::set<int> selected;
        std::vector<int> copied;
    } columns[] = {
        {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {{5, 6, 7}, {5, 7}},
        {{9}, {9}},
    };
    for (const auto& c : columns) {
        const std::vector<int> cols = CopiedColumns(c.selected);
        EXPECT_EQ(cols, c.copied);
        for (bool headings : {false, true})
            for (bool csv : {false, true}) {
                SCOPED_TRACE(std::to_string(cols.size()) + (headings ? " headings" : "") + (csv ? " csv" : ""));
                const TextBlock block = CopyBlock(doc.grid, {2, 3, 4, 107}, cols, headings);
                const PastedBlock pasted = ParsePastedText(csv ? BlockToCsv(block) : BlockToTsv(block), csv);
                int beyond = -1;
                const std::vector<CellText> cells = PlaceBlock(pasted, 50, cols.front(), beyond);
                EXPECT_EQ(beyond, 0);
                ASSERT_EQ(cells.size(), 4 * cols.size());
                for (const CellText& cell : cells) {
                    const int from = cell.row == 53 ? 107 : cell.row - 48;
                    EXPECT_EQ(cell.text, doc.grid.TextMatrix(from, cell.col)) << cell.row << "," << cell.col;
                }
            }
    }
}

TEST(ClipboardText, SpreadsheetAndCsvTextsLandWhereTheUserExpects)
{
    auto place = [](const std::string& text, bool csv, int row, int col, int* beyond = nullptr) {
        int b = 0;
        std::vector<std::string> out;
        for (const CellText& c : PlaceBlock(ParsePastedText(text, csv), row, col, b))
            out.push_back(std::to_string(c.row) + ":" + std::to_string(c.col) + "=" + c.text);
        if (beyond)
            *beyond = b;
        return out;
    };
    using V = std::vector<std::string>;
    // A spreadsheet's block of visible columns passes over the hidden lock column.
    EXPECT_EQ(place("146.52\t146.52\t\tNone\tHigh\tYes\r\n", false, 5, 1),
              (V{"5:1=146.52", "5:2=146.52", "5:3=", "5:4=None", "5:5=High", "5:7=Yes"}));
    // Quoted cells, a decimal comma that is one cell, a CSV line, headings that name columns.
    EXPECT_EQ(place("\"RPT\tN\"\n", false, 2, 9), (V{"2:9=RPT\tN"}));
    EXPECT_EQ(place("145,125\n146,5", false, 2, 1), (V{"2:1=145,125", "3:1=146,5"}));
    EXPECT_EQ(place("145.125,\"A,B\"\n", false, 2, 1), (V{"2:1=145.125", "2:2=A,B"}));
    EXPECT_EQ(place("Cha Name\t接收频率\nX\t145\n", false, 9, 4), (V{"9:9=X", "9:1=145"}));
    EXPECT_EQ(place("CH,Rx Frequency\n  1,145\n", true, 3, 5), (V{"3:1=145"}));
    // Cells past the last row or column are counted, not placed.
    int beyond = 0;
    EXPECT_EQ(place("1\t2\t3\n4\t5\t6\n", false, 200, 8, &beyond), (V{"200:8=1", "200:9=2"}));
    EXPECT_EQ(beyond, 4);
}

TEST(CellEntry, PasteFillAndFindGoThroughTheCommitRules)
{
    testenv::BandLimitsGuard restore;
    testenv::ResetBandLimits();
    CTextGrid grid;
    int beyond = 0;
    // One bad frequency is refused and the rest applied, row by row.
    const EntryReport r = EnterCells(
        grid, PlaceBlock(ParsePastedText("145.5\t145.8\n999\t146\n146.0\tFoo\n", false), 10, 1, beyond), false);
    // A row whose Rx or Tx Frequency is refused changes nothing and is reported once.
    ASSERT_EQ(r.refused.size(), 2u);
    EXPECT_EQ(r.refused[0].why, CellRefusal::OutOfRange);
    EXPECT_EQ(r.refused[0].row, 11);
    EXPECT_EQ(r.refused[0].withheld, 1);
    EXPECT_EQ(r.refused[1].why, CellRefusal::NotAFrequency);
    EXPECT_EQ(r.refused[1].text, "Foo");
    EXPECT_EQ(r.refused[1].withheld, 1);
    EXPECT_EQ(r.changedRows, (std::set<int>{10}));
    EXPECT_EQ(grid.TextMatrix(12, kColRxFreq), "");
    // A name stored otherwise than given is entered and said.
    const EntryReport named = EnterCells(grid, {{10, kColName, "rpt 3"}}, false);
    ASSERT_EQ(named.renamed.size(), 1u);
    EXPECT_EQ(named.renamed[0].stored, "RPT");
    grid.SetTextMatrix(10, kColName, "");

    // Fill down copies the first row; fill series steps both frequencies.
    grid.SetTextMatrix(10, kColTxFreq, "145.60000");
    EnterCells(grid, FillDownCells(grid, {10, 11, 13}, {1, 2, 5, 9}), false);
    EXPECT_EQ(RowTexts(grid, 13), RowTexts(grid, 10));
    EnterCells(grid, FillSeriesCells(grid, {10, 11, 13}, 1250), false);
    EXPECT_EQ(grid.TextMatrix(11, kColRxFreq), "145.51250");
    EXPECT_EQ(grid.TextMatrix(13, kColTxFreq), "145.62500");
    const EntryReport high = EnterCells(grid, FillSeriesCells(grid, {10, 20}, 30 * 100000), false);
    ASSERT_EQ(high.refused.size(), 1u);  // 175.5 MHz lies in neither band: one line for the row
    EXPECT_EQ(high.refused[0].withheld, 1);

    EnterCells(grid, {{12, kColRxFreq, "146"}, {12, kColName, "RPT"}}, false);
    const struct {
        const char* query;
        int from, row, col;
    } finds[] = {{"rp", 1, 12, 9},   {"145.5", 10, 11, 1}, {"145.6", 1, 10, 2},
                 {"146", 12, 12, 1}, {"145.125", 1, 0, 0}, {"", 1, 0, 0}};
    for (const auto& f : finds) {
        int col = -1;
        EXPECT_EQ(FindChannel(grid, f.query, f.from, col), f.row) << f.query;
        EXPECT_EQ(col, f.col) << f.query;
    }
}

TEST(ImportPreview, CountsWhatTheImportWouldChangeAndChangesNothing)
{
    testenv::BandLimitsGuard restore;
    testenv::ResetBandLimits();
    CTextGrid grid;
    FillGridLabels(grid, false);
    SetRow(grid, 2, {"145.12500", "145.12500", "None", "None", "High", "Lock", "Yes", "Wide", "A"});
    SetRow(grid, 3, {"146.00000", "146.00000", "None", "None", "High", "Lock", "Yes", "Wide", "B"});
    SetRow(grid, 4, {"147.00000", "147.00000", "None", "None", "High", "Lock", "Yes", "Wide", "C"});
    const CTextGrid before = grid;
    const std::string csv = GridToCsv(grid);
    // Channel 1 as it is, channel 2 renamed, channel 3 left out, channel 9 new, one line refused.
    std::string text = csv.substr(0, csv.find("\r\n") + 2);
    text += "  1,145.12500,145.12500,None,None,High,Lock,Yes,Wide,A\r\n";
    text += "  2,146.00000,146.00000,None,None,High,Lock,Yes,Wide,BB\r\n";
    text += "  9,440.00000,440.00000,None,None,Low,Lock,Yes,Wide,N\r\n";
    text += " 10,999,999,None,None,Low,Lock,Yes,Wide,X\r\n";
    const ImportPreview p = PreviewImport(grid, text, CsvFormat::Grid, false);
    ASSERT_TRUE(p.report.ok);
    EXPECT_EQ(p.added, (std::vector<int>{10}));
    EXPECT_EQ(p.changed, (std::vector<int>{3}));
    EXPECT_EQ(p.removed, (std::vector<int>{4}));
    EXPECT_EQ(p.report.rejected, 1);
    EXPECT_EQ(p.result.TextMatrix(3, kColName), "BB");
    for (int row = 0; row < kGridRows; ++row)
        ASSERT_EQ(RowTexts(grid, row), RowTexts(before, row));
    EXPECT_FALSE(PreviewImport(grid, "no,header\r\n", CsvFormat::Grid, false).report.ok);
}

TEST(ImportPreview, AReplaceThatEmptiesMoreThanHalfTheChannelsIsMarked)
{
    testenv::BandLimitsGuard restore;
    testenv::ResetBandLimits();
    CTextGrid grid;
    FillGridLabels(grid, false);
    for (int row = 2; row <= 5; ++row)
        SetRow(grid, row, {"145.12500", "145.12500", "None", "None", "High", "Lock", "Yes", "Wide", "A"});
    const std::string head = "Location,Frequency\r\n";
    const struct {
        std::string rows;
        bool merge;
        bool emptiesMost;
    } cases[] = {
        {"1,145.125\r\n2,145.125\r\n", false, false},  // two of four: half
        {"1,145.125\r\n", false, true},                // three of four
        {"9,145.125\r\n", false, true},                // all four, one added
        {"1,145.125\r\n", true, false},                // merged: nothing emptied
        {"1,999\r\n", false, true},                    // the one row refused
    };
    for (const auto& c : cases) {
        ImportOptions options;
        options.merge = c.merge;
        const ImportPreview p = PreviewImport(grid, head + c.rows, CsvFormat::Chirp, false, options);
        ASSERT_TRUE(p.report.ok) << p.report.error;
        EXPECT_EQ(p.usedBefore, 4);
        EXPECT_EQ(p.EmptiesMost(), c.emptiesMost) << c.rows;
    }
}
