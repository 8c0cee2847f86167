#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/app/Messages.h"
#include "core/editor/CellCommit.h"
#include "core/radio/Bands.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/Decimal.h"
#include "core/radio/TextGrid.h"
#include "tests/support/TestEnv.h"

namespace {

// Every test starts from the initial band limits: 136-175 and 400-520 MHz.
class CellCommitTest : public ::testing::Test {
protected:
    void SetUp() override { testenv::ResetBandLimits(); }

    std::vector<std::string> Row(int r) const
    {
        std::vector<std::string> v;
        for (int c = 1; c <= 9; ++c)
            v.push_back(grid.TextMatrix(r, c));
        return v;
    }
    void FillRow(int r, const std::vector<std::string>& cells)
    {
        for (int c = 1; c <= 9; ++c)
            grid.SetTextMatrix(r, c, cells[static_cast<std::size_t>(c - 1)]);
    }
    CommitResult Commit(int r, int c, const std::string& text, CommitTrigger t = CommitTrigger::LeaveCell,
                        bool zh = false)
    {
        return CommitCell(grid, r, c, text, t, zh);
    }

    CTextGrid grid;
    testenv::BandLimitsGuard restoreLimits;
    const std::vector<std::string> kChannel{"145.12500", "146.00000", "67.0",   "D023N", "Low",
                                            "Unlock",    "No",        "Narrow", "AB"};
    const std::vector<std::string> kEmptyRow = std::vector<std::string>(9);
};

TEST_F(CellCommitTest, FirstReceiveFrequencyFillsTheDefaultRow)
{
    CommitResult r = Commit(5, kColRxFreq, "145.125");
    EXPECT_TRUE(r.Committed());
    EXPECT_EQ(r.messageId, 0);
    EXPECT_EQ(Row(5),
              (std::vector<std::string>{"145.12500", "145.12500", "None", "None", "High", "Lock", "Yes", "Wide", ""}));
    // Other rows untouched.
    EXPECT_EQ(Row(4), kEmptyRow);
    EXPECT_EQ(Row(6), kEmptyRow);
}

TEST_F(CellCommitTest, ChineseDefaultRowUsesChineseWords)
{
    CommitResult r = Commit(1, kColRxFreq, "438.5", CommitTrigger::Enter, true);
    EXPECT_TRUE(r.Committed());
    EXPECT_EQ(Row(1), (std::vector<std::string>{"438.50000", "438.50000", "无", "无", "高", "锁定", "有", "宽", ""}));
}

TEST_F(CellCommitTest, StepRasterAcceptsBothStepsAndRefusesOthers)
{
    EXPECT_TRUE(Commit(2, kColRxFreq, "145.00625").Committed());  // 6.25 kHz
    EXPECT_EQ(grid.TextMatrix(2, 1), "145.00625");
    EXPECT_TRUE(Commit(3, kColRxFreq, "145.0075").Committed());  // 2.5 kHz
    EXPECT_EQ(grid.TextMatrix(3, 1), "145.00750");

    FillRow(4, kChannel);
    CommitResult r = Commit(4, kColRxFreq, "145.0065");
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.messageId, kMsgStepError);
    EXPECT_EQ(Row(4), kEmptyRow);  // a refused receive frequency empties the whole row
    EXPECT_EQ(r.emptiedColumns, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));

    EXPECT_TRUE(IsOnStep(14512500));
    EXPECT_TRUE(IsOnStep(625));
    EXPECT_FALSE(IsOnStep(14500650));
}

// A frequency off the raster is told the nearest values on either side that
// the very check that refused it accepts: nothing it accepts lies between.
TEST_F(CellCommitTest, OffStepRefusalNamesTheNearestAcceptedValues)
{
    const struct {
        const char* typed;
        long long below, above;
        const char* english;  // after the string table's text
    } cases[] = {
        {"145.0065", 14500625, 14500750, " Nearest accepted: 145.00625 or 145.00750 MHz."},
        {"145.00001", 14500000, 14500250, " Nearest accepted: 145.00000 or 145.00250 MHz."},
        {"174.99999", 17499750, 0, " Nearest accepted: 174.99750 MHz."},  // 175 is the excluded upper limit
        {"400.001", 40000000, 40000250, " Nearest accepted: 400.00000 or 400.00250 MHz."},
        {"136.00100", 13600000, 13600250, " Nearest accepted: 136.00000 or 136.00250 MHz."},
    };
    const std::string table = EnglishMessage(IDS_STEP_ERROR);
    for (const auto& c : cases) {
        const long long units = ParseEnteredFrequency(c.typed).units;
        ASSERT_EQ(CheckFrequency(c.typed), kMsgStepError) << c.typed;
        const NearestFrequencies n = NearestAcceptedFrequencies(units);
        EXPECT_EQ(n.below, c.below) << c.typed;
        EXPECT_EQ(n.above, c.above) << c.typed;
        for (long long u = (n.below ? n.below : units) + 1; u < (n.above ? n.above : units + 1); ++u)
            EXPECT_NE(CheckFrequency(UnitsToFrequencyText(static_cast<long>(u))), 0) << c.typed << " " << u;
        EXPECT_EQ(StepRefusalText(c.typed, false), table + c.english);
    }
    EXPECT_EQ(StepRefusalText("145.0065", true),
              std::string(ChineseMessage(IDS_STEP_ERROR)) + "最接近的可接受值：145.00625 或 145.00750 MHz。");
    // A band too narrow to hold a value on either side: the string table's text alone.
    g_nVhfLow = 14500640;
    g_nVhfHigh = 14500700;
    EXPECT_EQ(StepRefusalText("145.0065", false), table);
}

TEST_F(CellCommitTest, UpperBandLimitIsExclusive)
{
    FillRow(7, kChannel);
    CommitResult r = Commit(7, kColRxFreq, "175");
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.messageId, kMsgOutOfRange);
    EXPECT_EQ(Row(7), kEmptyRow);

    EXPECT_TRUE(Commit(8, kColRxFreq, "136").Committed());
    EXPECT_EQ(grid.TextMatrix(8, 1), "136.00000");
    EXPECT_TRUE(Commit(9, kColRxFreq, "519.99375").Committed());
    EXPECT_EQ(Commit(10, kColRxFreq, "520").messageId, kMsgOutOfRange);
    EXPECT_EQ(Commit(10, kColRxFreq, "399.99").messageId, kMsgOutOfRange);

    // The limits are read at commit time.
    g_nVhfHigh = 17400000;
    EXPECT_EQ(Commit(11, kColRxFreq, "174").messageId, kMsgOutOfRange);
    EXPECT_TRUE(Commit(11, kColRxFreq, "173.99750").Committed());
}

TEST_F(CellCommitTest, TypedFrequencyIsStoredAsTypedOrRefused)
{
    const int kFormat = kMsgFrequencyFormat;
    struct Case {
        const char* typed;
        int message;
        const char* stored;  // column 1 when accepted
    };
    const Case cases[] = {
        {"147,33", 0, "147.33000"},       // decimal comma
        {"  145.125\t", 0, "145.12500"},  // blanks around
        {"0145.00625", 0, "145.00625"},
        {"145.1250000", 0, "145.12500"},  // zeros past the fifth decimal
        {"+145.", 0, "145.00000"},
        {"145.125MHz", 0, "145.12500"},  // the unit, as written after a frequency
        {"145.125 MHz", 0, "145.12500"},
        {"145,125 mhz", 0, "145.12500"},
        {" 145.125 M ", 0, "145.12500"},
        {"145.125m", 0, "145.12500"},
        {"145.125 kHz", kFormat, nullptr},  // no other unit, nor more after the unit
        {"145.125 MHz x", kFormat, nullptr},
        {"145.125 MM", kFormat, nullptr},
        {"MHz", kFormat, nullptr},
        {"146.94000Q", kFormat, nullptr},
        {"145.125xyz", kFormat, nullptr},
        {"147,33x", kFormat, nullptr},
        {"145..125", kFormat, nullptr},
        {"145.1,25", kFormat, nullptr},
        {"1 45", kFormat, nullptr},
        {"145.123456", kFormat, nullptr},  // a sixth decimal would be lost
        {"1.45e2", kFormat, nullptr},
        {"0x91", kFormat, nullptr},
        {"inf", kFormat, nullptr},
        {"abc", kFormat, nullptr},
        {"   ", kFormat, nullptr},
        {".", kFormat, nullptr},
        {"-145.125", kMsgOutOfRange, nullptr},
        {"99999999999", kMsgOutOfRange, nullptr},
        {"0", kMsgOutOfRange, nullptr},
        {"145,0065", kMsgStepError, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckFrequency(c.typed), c.message) << c.typed;
        FillRow(12, kChannel);
        const CommitResult r = Commit(12, kColRxFreq, c.typed);
        EXPECT_EQ(r.messageId, c.message) << c.typed;
        std::vector<std::string> expected = kChannel;
        if (c.message == 0)
            expected[0] = c.stored;
        else if (c.message != kFormat)
            expected = kEmptyRow;
        EXPECT_EQ(Row(12), expected) << c.typed;
        EXPECT_EQ(r.stopped, c.message != 0) << c.typed;

        // The transmit column follows the same rule; a slip leaves its cell alone.
        FillRow(13, kChannel);
        Commit(13, kColTxFreq, c.typed);
        const std::string tx = c.message == 0 ? c.stored : c.message == kFormat ? kChannel[1] : "";
        EXPECT_EQ(grid.TextMatrix(13, kColTxFreq), tx) << c.typed;
    }
    EXPECT_EQ(ParseEnteredFrequency("145.12345").units, 14512345);
    EXPECT_EQ(ParseEnteredFrequency("439,99375").units, 43999375);
}

TEST_F(CellCommitTest, BandRangesTextShowsTheLimitsInForce)
{
    EXPECT_EQ(BandRangesText(false), "VHF 136-175 MHz, UHF 400-520 MHz (upper limits excluded)");
    g_nVhfHigh = 17400000;
    g_nUhfLow = 43012500;
    EXPECT_EQ(BandRangesText(false), "VHF 136-174 MHz, UHF 430.125-520 MHz (upper limits excluded)");
    EXPECT_EQ(BandRangesText(true), "VHF 136-174 MHz，UHF 430.125-520 MHz（不含上限）");
}

TEST_F(CellCommitTest, OnlyWhatARecordHoldsIsAcceptedWhateverTheBands)
{
    // A file's edit ranges may span 0 to 1665 MHz; a record holds 10 to 999.99999.
    g_nVhfLow = 0;
    g_nVhfHigh = 166500000;
    const struct {
        const char* typed;
        int message;
    } cases[] = {
        {"10", 0},
        {"999.9975", 0},
        {"9.9975", kMsgOutOfRange},
        {"5", kMsgOutOfRange},
        {"0", kMsgOutOfRange},
        {"0,0", kMsgOutOfRange},
        {"-0", kMsgOutOfRange},
        {"1000", kMsgOutOfRange},
        {"1200", kMsgOutOfRange},
        {"k", kMsgFrequencyFormat},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckFrequency(c.typed), c.message) << c.typed;
        EXPECT_EQ(Commit(30, kColRxFreq, c.typed).messageId, c.message) << c.typed;
        FillRow(31, kChannel);
        EXPECT_EQ(Commit(31, kColTxFreq, c.typed).messageId, c.message) << c.typed;
    }
    EXPECT_EQ(BandRangesText(false),
              "VHF 0-1665 MHz, UHF 400-520 MHz (upper limits excluded); a channel holds only "
              "10.00000 to 999.99999 MHz");
    EXPECT_NE(BandRangesText(true).find("10.00000 至 999.99999 MHz"), std::string::npos);
}

TEST_F(CellCommitTest, WhatIsAcceptedIsWhatIsStoredOnTheRaster)
{
    // Edit ranges wider than a record, and texts near the limits of the form.
    g_nVhfLow = 0;
    g_nVhfHigh = 166500000;
    std::vector<std::string> typed = {"146.940006",  "146.9400060", "146.94000000001", "146.94001", "146,94",
                                      "0146.940000", "999.99999",   "999.9975",        "10.0025",   "9.99999"};
    std::mt19937 rng(5);
    const char alphabet[] = "0123456789.,05";
    for (int k = 0; k < 3000; ++k) {
        std::string t;
        for (int n = 1 + static_cast<int>(rng() % 12); n > 0; --n)
            t += alphabet[rng() % (sizeof alphabet - 1)];
        typed.push_back(t);
    }
    for (const std::string& t : typed) {
        if (Commit(40, kColRxFreq, t).stopped)
            continue;
        const std::string stored = grid.TextMatrix(40, kColRxFreq);
        const EnteredFrequency f = ParseEnteredFrequency(stored);
        EXPECT_TRUE(IsOnStep(f.units) && IsStorableFrequency(f.units)) << t << " -> " << stored;
        EXPECT_EQ(ParseEnteredFrequency(t).units, f.units) << t;
        std::uint8_t bcd[4];
        EncodeFrequency(stored, bcd);
        EXPECT_EQ(DecodeFrequency(bcd), stored) << t;
    }
    EXPECT_EQ(CheckFrequency("146.940006"), kMsgFrequencyFormat);
}

TEST_F(CellCommitTest, ReceiveFrequencyOfExistingChannelChangesOnlyColumnOne)
{
    FillRow(20, kChannel);
    EXPECT_TRUE(Commit(20, kColRxFreq, "150.5", CommitTrigger::Enter).Committed());
    std::vector<std::string> expected = kChannel;
    expected[0] = "150.50000";
    EXPECT_EQ(Row(20), expected);
}

TEST_F(CellCommitTest, ClearingReceiveFrequencyDeletesTheChannel)
{
    FillRow(200, kChannel);
    CommitResult r = Commit(200, kColRxFreq, "");
    EXPECT_TRUE(r.Committed());
    EXPECT_EQ(r.messageId, 0);
    EXPECT_EQ(Row(200), kEmptyRow);
    EXPECT_EQ(r.emptiedColumns.size(), 9u);
}

TEST_F(CellCommitTest, TransmitFrequencyRules)
{
    // No transmit frequency without a receive frequency.
    CommitResult r = Commit(30, kColTxFreq, "145.125");
    EXPECT_TRUE(r.Committed());
    EXPECT_EQ(Row(30), kEmptyRow);

    FillRow(31, kChannel);
    EXPECT_TRUE(Commit(31, kColTxFreq, "440.0125").Committed());  // split across bands is fine
    EXPECT_EQ(grid.TextMatrix(31, 2), "440.01250");
    EXPECT_EQ(grid.TextMatrix(31, 1), "145.12500");

    // Clearing Tx clears only Tx.
    EXPECT_TRUE(Commit(31, kColTxFreq, "").Committed());
    std::vector<std::string> expected = kChannel;
    expected[1] = "";
    EXPECT_EQ(Row(31), expected);

    // Out of band empties only the Tx cell.
    FillRow(32, kChannel);
    r = Commit(32, kColTxFreq, "600");
    EXPECT_EQ(r.messageId, kMsgOutOfRange);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(Row(32), expected);
    EXPECT_EQ(r.emptiedColumns, std::vector<int>{2});
}

TEST_F(CellCommitTest, OffStepTransmitEmptiesOnlyTransmitOnBothTriggers)
{
    std::vector<std::string> expected = kChannel;
    expected[1] = "";
    for (CommitTrigger t : {CommitTrigger::LeaveCell, CommitTrigger::Enter}) {
        FillRow(40, kChannel);
        CommitResult r = Commit(40, kColTxFreq, "145.0065", t);
        EXPECT_TRUE(r.stopped);
        EXPECT_EQ(r.messageId, kMsgStepError);
        EXPECT_EQ(Row(40), expected);
        EXPECT_EQ(r.emptiedColumns, std::vector<int>{2});
    }
}

TEST_F(CellCommitTest, SettingsRefusedOnEmptyChannel)
{
    for (int c = kColRxTone; c <= kColName; ++c) {
        CommitResult r = Commit(50, c, c == kColName ? "ABC" : "High");
        EXPECT_TRUE(r.Committed());
        EXPECT_EQ(grid.TextMatrix(50, c), "") << c;
    }
    // A channel holding only a transmit frequency (decoded from a file) takes settings.
    grid.SetTextMatrix(51, kColTxFreq, "145.12500");
    EXPECT_TRUE(Commit(51, kColPower, "Low").Committed());
    EXPECT_EQ(grid.TextMatrix(51, kColPower), "Low");

    FillRow(52, kChannel);
    EXPECT_TRUE(Commit(52, kColRxTone, "D754I").Committed());
    EXPECT_TRUE(Commit(52, kColLock, "Lock").Committed());
    EXPECT_TRUE(Commit(52, kColName, "ab-_9xyz").Committed());
    EXPECT_EQ(Row(52), (std::vector<std::string>{"145.12500", "146.00000", "D754I", "D023N", "Low", "Lock", "No",
                                                 "Narrow", "AB-_9XYZ"}));
}

TEST_F(CellCommitTest, OutsideTheChannelAreaNothingIsCommitted)
{
    grid.SetTextMatrix(0, 1, "Rx Frequency");
    grid.SetTextMatrix(3, 0, "  2");
    CommitResult r = Commit(0, kColRxFreq, "");
    EXPECT_TRUE(r.Committed());
    EXPECT_EQ(grid.TextMatrix(0, 1), "Rx Frequency");
    Commit(3, kColLabel, "145.125");
    EXPECT_EQ(grid.TextMatrix(3, 0), "  2");
    EXPECT_EQ(Row(3), kEmptyRow);
    EXPECT_TRUE(Commit(201, kColRxFreq, "145.125").Committed());
}

TEST(ListEditor, KeepsCellTextWhenNothingIsPicked)
{
    const std::vector<std::string> power = FlagListItems(kColPower, false);
    ASSERT_EQ(power, (std::vector<std::string>{"High", "Low"}));
    EXPECT_EQ(ListEditorSelection(power, "Middle"), -1);
    EXPECT_EQ(ListEditorText("Middle", power, -1), "Middle");
    EXPECT_EQ(ListEditorSelection(power, "low"), 1);
    EXPECT_EQ(ListEditorText("Middle", power, 1), "Low");
    EXPECT_EQ(ListEditorSelection(power, ""), -1);
    EXPECT_EQ(ListEditorText("", power, 7), "");

    const std::vector<std::string> zh = FlagListItems(kColLock, true);
    EXPECT_EQ(zh, (std::vector<std::string>{"锁定", "未锁定"}));
    EXPECT_EQ(ListEditorSelection(zh, "未锁定"), 1);
    EXPECT_EQ(ListEditorSelection(FlagListItems(kColBandwidth, true), "中"), -1);
    EXPECT_TRUE(FlagListItems(kColRxTone, false).empty());
}

TEST(NameEditor, UpperCaseAndSixCharacters)
{
    EXPECT_EQ(NameEditorText("abcdefgh"), "ABCDEF");
    EXPECT_EQ(NameEditorText("a b"), "A B");
    EXPECT_EQ(NameEditorText("信道一二三四五"), "信道一二三四");
    EXPECT_EQ(NameEditorLimit("AB"), 6);
    EXPECT_EQ(NameEditorLimit("ABCDEFG"), 7);
    EXPECT_EQ(NameEditorLimit("信道一二三四五六七"), 8);
}

TEST_F(CellCommitTest, ANameIsStoredAsTheRecordHoldsIt)
{
    const struct {
        const char* before;
        const char* typed;
        const char* stored;
    } cases[] = {
        {"ABCDEFGH", "ABCDEFG", "ABCDEFG"},  // one Backspace
        {"ABCDEFGH", "abcdefgh", "ABCDEFGH"},
        {"ABCDEFG", "ABCDEFGXY", "ABCDEFGX"},  // eight characters at most
        {"AB", "abcdefgh", "ABCDEFGH"},
        {"", "xyz", "XYZ"},
        // The record holds 0-9, A-Z, - and _: a name ends before anything else.
        {"", "ab cd", "AB"},
        {"AB", "a!b", "A"},
        {"AB", "信道", ""},
        {"", "k2_\xf8", "K2_"},
    };
    for (const auto& c : cases) {
        FillRow(60, kChannel);
        grid.SetTextMatrix(60, kColName, c.before);
        EXPECT_TRUE(Commit(60, kColName, c.typed).Committed());
        EXPECT_EQ(grid.TextMatrix(60, kColName), c.stored) << c.before << " / " << c.typed;
    }
}

}  // namespace

TEST_F(CellCommitTest, TheTextACellShowsCommitsNothingWhateverTheRules)
{
    // Records as a radio may hold them: out of band, beyond what can be typed,
    // off the raster, power bits 11. Leaving any cell with its own text keeps the row.
    const std::vector<std::vector<std::string>> rows{
        {"1649.74351", "1649.74351", "67.0", "None", "", "Lock", "Yes", "Wide", "AB"},
        {"600.00000", "", "D023N", "None", "Low", "Unlock", "No", "Narrow", ""},
        {"145.12300", "145.12300", "None", "None", "High", "Lock", "Yes", "Wide", ""},
    };
    for (const auto& cells : rows) {
        FillRow(7, cells);
        for (int c = 1; c <= 9; ++c) {
            for (CommitTrigger t : {CommitTrigger::LeaveCell, CommitTrigger::Enter}) {
                const CommitResult r = Commit(7, c, cells[static_cast<std::size_t>(c - 1)], t);
                EXPECT_TRUE(r.Committed()) << cells[0] << " column " << c;
                EXPECT_EQ(r.messageId, 0) << cells[0] << " column " << c;
                EXPECT_EQ(Row(7), cells) << cells[0] << " column " << c;
            }
        }
    }
    // A changed text still meets every rule.
    FillRow(7, rows[0]);
    EXPECT_EQ(Commit(7, kColRxFreq, "1649.7435").messageId, kMsgOutOfRange);
    EXPECT_EQ(Row(7), kEmptyRow);
}

// A band pair read as a range the rule would replace (200-180, 450-450) stays
// while its boxes show their own texts; a typed change meets the rule.
TEST_F(CellCommitTest, LeavingBandBoxesWithTheirTextsChangesNothing)
{
    const BandTexts shown{"200", "180", "450", "450"};
    const struct {
        BandPair pair;
        BandTexts typed;
        bool committed;
        EditRanges expect;
    } cases[] = {
        {BandPair::Vhf, shown, false, {200, 180, 450, 450}},
        {BandPair::Uhf, shown, false, {200, 180, 450, 450}},
        {BandPair::Vhf, {"200", "181", "450", "450"}, true, {130, 180, 450, 450}},
        {BandPair::Uhf, {"200", "180", "450", "451"}, true, {200, 180, 450, 451}},
        {BandPair::Uhf, {"200", "180", "450", "45"}, true, {200, 180, 400, 520}},
    };
    for (const auto& c : cases) {
        EditRanges r{std::stoi(c.typed[0]), std::stoi(c.typed[1]), std::stoi(c.typed[2]), std::stoi(c.typed[3])};
        EXPECT_EQ(CommitBandBoxes(c.pair, shown, c.typed, r), c.committed);
        EXPECT_EQ((std::vector<int>{r.vhfLow, r.vhfHigh, r.uhfLow, r.uhfHigh}),
                  (std::vector<int>{c.expect.vhfLow, c.expect.vhfHigh, c.expect.uhfLow, c.expect.uhfHigh}));
    }
}
