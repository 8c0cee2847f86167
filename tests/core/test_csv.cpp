#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <tuple>

#include "core/app/DisplayText.h"
#include "core/radio/Bands.h"
#include "core/radio/ChannelCodec.h"
#include "core/exchange/CsvChannels.h"
#include "core/radio/Image.h"
#include "tests/support/TestEnv.h"

namespace {

// Default band limits for every test: 136-175 MHz and 400-520 MHz.
class CsvTest : public ::testing::Test {
protected:
    void SetUp() override { testenv::ResetBandLimits(); }
};

std::vector<std::vector<std::string>> Fields(const CsvDocument& doc)
{
    std::vector<std::vector<std::string>> out;
    for (const auto& r : doc.records)
        out.push_back(r.fields);
    return out;
}

void SetRow(ITextGrid& g, int row, std::vector<std::string> cells)
{
    for (int c = 1; c <= 9; ++c)
        g.SetTextMatrix(row, c, c - 1 < static_cast<int>(cells.size()) ? cells[c - 1] : "");
}

std::vector<std::string> Row(const ITextGrid& g, int row)
{
    std::vector<std::string> out;
    for (int c = 1; c <= 9; ++c)
        out.push_back(g.TextMatrix(row, c));
    return out;
}

// The channel area as the window would save it: records and names.
Image Encoded(const ITextGrid& g, const Image& base)
{
    Image img = base;
    EncodeChannels(g, img);
    return img;
}

// A file full of channels the editors could have made: frequencies in band on
// the raster, listed tones, every flag word, names, receive-only channels.
Image RandomChannels(unsigned seed, bool chinese)
{
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    CTextGrid g;
    const auto& tones = ToneNames(chinese);
    const FlagWords& w = Words(chinese);
    auto freq = [&]() {
        long units = pick(2) ? 13600000 + 625L * pick(6000) : 40000000 + 250L * pick(40000);
        return UnitsToFrequencyText(units);
    };
    for (int row = 1; row <= 200; ++row) {
        if (pick(4) == 0)
            continue;
        const std::string rx = freq();
        const int txKind = pick(4);
        const std::string tx = txKind == 0 ? "" : txKind == 1 ? freq() : rx;
        std::string name;
        const char alphabet[] = "ABCXYZ0189-_";
        for (int k = pick(7); k > 0; --k)
            name += alphabet[pick(12)];
        const char* powers[] = {w.high, w.middle, w.low};
        SetRow(g, row,
               {rx, tx, tones[static_cast<std::size_t>(pick(kToneCount))],
                tones[static_cast<std::size_t>(pick(kToneCount))], powers[pick(3)], pick(2) ? w.lock : w.unlock,
                pick(2) ? w.yes : w.no, pick(2) ? w.wide : w.narrow, name});
    }
    return Encoded(g, NewDocumentImage());
}

CTextGrid Decoded(const Image& img, bool chinese)
{
    CTextGrid g;
    FillGridLabels(g, chinese);
    DecodeChannels(img, g, chinese);
    return g;
}

bool ChannelAreaEqual(const Image& a, const Image& b)
{
    // Records 0x0000..0x0C7F and names 0x0CA0..0x12DF.
    return std::equal(a.begin(), a.begin() + 0x0C80, b.begin()) &&
           std::equal(a.begin() + 0x0CA0, a.begin() + 0x12E0, b.begin() + 0x0CA0);
}

}  // namespace

TEST_F(CsvTest, ParsesQuotingLineEndsAndBlankLines)
{
    const std::string text =
        "\xEF\xBB\xBF"
        "a,\"b,c\",\"say \"\"hi\"\"\"\r\n"
        "\r\n"
        "\"two\r\nlines\",x\n"
        "last,\rcr,\n"
        "end";
    const CsvDocument doc = ParseCsv(text);
    ASSERT_TRUE(doc.ok) << doc.error;
    const std::vector<std::vector<std::string>> want = {
        {"a", "b,c", "say \"hi\""}, {"two\r\nlines", "x"}, {"last", ""}, {"cr", ""}, {"end"}};
    EXPECT_EQ(Fields(doc), want);
    ASSERT_EQ(doc.records.size(), 5u);
    EXPECT_EQ(doc.records[0].line, 1);
    EXPECT_EQ(doc.records[1].line, 3);  // the blank line 2 is skipped
    EXPECT_EQ(doc.records[2].line, 5);  // the quoted line break counts
    EXPECT_EQ(doc.records[3].line, 6);
    EXPECT_EQ(doc.records[4].line, 7);
}

TEST_F(CsvTest, RefusesBrokenQuotingWithTheLine)
{
    CsvDocument doc = ParseCsv("a,b\nc,\"open\nstill open\n");
    EXPECT_FALSE(doc.ok);
    EXPECT_EQ(doc.errorLine, 2);
    EXPECT_TRUE(doc.records.empty());

    doc = ParseCsv("a\n\"x\"y,z\n");
    EXPECT_FALSE(doc.ok);
    EXPECT_EQ(doc.errorLine, 2);

    doc = ParseCsv("a\nb\nab\"c\n");
    EXPECT_FALSE(doc.ok);
    EXPECT_EQ(doc.errorLine, 3);
}

TEST_F(CsvTest, WriterQuotesOnlyWhatNeedsItAndReadsBack)
{
    EXPECT_EQ(CsvField("plain"), "plain");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("q\"q"), "\"q\"\"q\"");
    EXPECT_EQ(CsvField("  1"), "\"  1\"");
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvLine({"a", "", "b"}), "a,,b\r\n");

    std::mt19937 rng(7);
    const char alphabet[] = "ab ,\"\r\n\xE6\x97\xA0";
    for (int round = 0; round < 200; ++round) {
        std::vector<std::vector<std::string>> table(1 + rng() % 4);
        std::string text;
        for (auto& rec : table) {
            rec.resize(2 + rng() % 4);
            for (auto& f : rec)
                for (int k = static_cast<int>(rng() % 6); k > 0; --k)
                    f += alphabet[rng() % (sizeof alphabet - 1)];
            rec[0] = "r" + rec[0];  // never a blank record
            text += CsvLine(rec);
        }
        const CsvDocument doc = ParseCsv(text);
        ASSERT_TRUE(doc.ok) << doc.error;
        EXPECT_EQ(Fields(doc), table) << text;
    }
}

TEST_F(CsvTest, GridLayoutIsEveryCellOfTheGrid)
{
    const Image img = RandomChannels(3, false);
    const CTextGrid g = Decoded(img, false);
    const std::string csv = GridToCsv(g);
    const CsvDocument doc = ParseCsv(csv);
    ASSERT_TRUE(doc.ok);
    ASSERT_EQ(doc.records.size(), 201u);
    for (int row = 0; row < 201; ++row) {
        EXPECT_EQ(doc.records[row].line, row + 1);
        ASSERT_EQ(doc.records[row].fields.size(), 10u);
        for (int col = 0; col < 10; ++col)
            EXPECT_EQ(TextFromSafeField(doc.records[row].fields[col]), g.TextMatrix(row, col));
    }
    EXPECT_EQ(doc.records[0].fields[1], "Rx Frequency");
    EXPECT_EQ(doc.records[1].fields[0], "Pr");
}

TEST_F(CsvTest, ExportThenImportGivesBackTheSameChannelsInBothLayouts)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        for (bool chinese : {false, true}) {
            const Image original = RandomChannels(seed, chinese);
            const CTextGrid shown = Decoded(original, chinese);
            for (int variant = 0; variant < 3; ++variant) {
                const CsvFormat format = variant == 0 ? CsvFormat::Grid : CsvFormat::Chirp;
                const std::string csv = variant == 0   ? GridToCsv(shown)
                                        : variant == 1 ? GridToChirpCsv(shown)
                                                       : GridToChirpCsv(shown, ChirpPower::Watts);
                // Import over a file holding other channels: they must all go.
                CTextGrid target = Decoded(RandomChannels(seed + 100, false), chinese);
                const ImportReport rep = ImportCsv(csv, format, target, chinese);
                ASSERT_TRUE(rep.ok) << rep.error;
                EXPECT_EQ(rep.rejected, 0);
                EXPECT_TRUE(rep.issues.empty()) << rep.issues.front().reason;
                for (int row = 1; row <= 200; ++row)
                    ASSERT_EQ(Row(target, row), Row(shown, row))
                        << "seed " << seed << " row " << row << " variant " << variant;
                EXPECT_TRUE(ChannelAreaEqual(Encoded(target, original), original));
            }
        }
    }
}

TEST_F(CsvTest, NamesASpreadsheetWouldTakeForFormulasAreProtectedAndImportAsThemselves)
{
    const std::vector<std::string> names = {"-AB", "-", "--_9", "A-B", "'AB", "+1", "=A", "@B"};
    CTextGrid shown;
    FillGridLabels(shown, false);
    for (std::size_t i = 0; i < names.size(); ++i)
        SetRow(shown, static_cast<int>(i) + 1,
               {"145.12500", "", "None", "None", "High", "Lock", "Yes", "Wide", names[i]});
    for (CsvFormat format : {CsvFormat::Grid, CsvFormat::Chirp}) {
        const std::string csv = format == CsvFormat::Grid ? GridToCsv(shown) : GridToChirpCsv(shown);
        const CsvDocument doc = ParseCsv(csv);
        ASSERT_TRUE(doc.ok);
        for (const CsvRecord& rec : doc.records)
            for (const std::string& field : rec.fields)
                EXPECT_TRUE(field.empty() || std::string("-+=@").find(field[0]) == std::string::npos)
                    << "line " << rec.line << ": " << field;
        CTextGrid back;
        const ImportReport rep = ImportCsv(csv, format, back, false);
        ASSERT_TRUE(rep.ok) << rep.error;
        // The names the radio can store come back as they were.
        for (int row = 1; row <= 5; ++row)
            EXPECT_EQ(back.TextMatrix(row, kColName), row == 5 ? "" : names[static_cast<std::size_t>(row) - 1]);
    }
    EXPECT_EQ(TextFromSafeField("'AB"), "'AB");
    EXPECT_EQ(TextFromSafeField("'=A"), "=A");
}

TEST(DisplayText, ControlAndInvalidBytesAreShownEscaped)
{
    const struct {
        std::string raw, shown;
    } cases[] = {
        {"plain 146.52 -_", "plain 146.52 -_"},
        {"A\x1b[31mB", "A\\x1b[31mB"},        // ESC
        {std::string("N\0x", 3), "N\\x00x"},  // NUL
        {"t\tr\rn\n\x7f", "t\\x09r\\x0dn\\x0a\\x7f"},
        {"\xc2\x9b"
         "2J",
         "\\xc2\\x9b2J"},                                  // CSI as a C1 control
        {"\xe6\x97\xa0\xc3\x84", "\xe6\x97\xa0\xc3\x84"},  // Chinese and Latin letters stay
        {"\xff\xfe", "\\xff\\xfe"},                        // never UTF-8
        {"\xe6\x97", "\\xe6\\x97"},                        // cut short
        {"\xc0\xaf", "\\xc0\\xaf"},                        // overlong "/"
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},               // surrogate
        {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},      // past U+10FFFF
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeControlBytes(c.raw), c.shown) << c.shown;
}

TEST_F(CsvTest, ImportAppliesTheEditingRulesRowByRow)
{
    const std::string csv = std::string(
                                ",Rx Frequency,Tx Frequency,Rx Tone,Tx Tone,Power,Cha Lock,Scan Add,Bandwidth,"
                                "Cha Name\r\n") +
                            "Pr,145.125,145.125,,,,,,,\r\n"                  // line 2: default row
                            "  1,175,175,None,None,High,Lock,Yes,Wide,\r\n"  // line 3: above VHF
                            "2,145.0065,,,,,,,,\r\n"                         // line 4: off the raster
                            "3,145.00625,145.0065,,,,,,,\r\n"                // line 5: Tx off the raster
                            "4,446.00625,446.0075,88.5,D23n,Low,Unlock,No,Narrow,rpt one\r\n"  // line 6
                            "5,146.52,,67.0,99.9,,,,,\r\n"  // line 7: tone not listed
                            "6,146.52,,,,Medium,,,,\r\n"    // line 8: no such power
                            "4,146.52,,,,,,,,\r\n"          // line 9: row given twice
                            "7,146.52,,\r\n"                // line 10: field count
                            "300,146.52,,,,,,,,\r\n"        // line 11: no such row
                            "8,,145.5,,,High,,,,X\r\n"      // line 12: empty channel with settings
                            "9,\xE4\xB8\x80,,,,,,,,\r\n"    // line 13: no number
                            "10,136,136,\xE6\x97\xA0,D754I,\xE4\xB8\xAD,\xE6\x9C\xAA\xE9\x94\x81\xE5\xAE\x9A,"
                            "\xE6\x97\xA0,\xE7\xAA\x84,ab\r\n"  // line 14: Chinese words
                            "11,\"147,33\",,,,,,,,\r\n"         // line 15: decimal comma
                            "12,146.94000Q,,,,,,,,\r\n"         // line 16: junk after the number
                            "13,145.5 MHz,145.5M,,,,,,,\r\n";   // line 17: with the unit
    CTextGrid g;
    FillGridLabels(g, false);
    const ImportReport rep = ImportCsv(csv, CsvFormat::Grid, g, false);
    ASSERT_TRUE(rep.ok) << rep.error;

    EXPECT_EQ(Row(g, 1),
              (std::vector<std::string>{"145.12500", "145.12500", "None", "None", "High", "Lock", "Yes", "Wide", ""}));
    EXPECT_EQ(Row(g, 5), (std::vector<std::string>{"446.00625", "446.00750", "88.5", "D023N", "Low", "Unlock", "No",
                                                   "Narrow", "RPT"}));
    EXPECT_EQ(Row(g, 11), (std::vector<std::string>{"136.00000", "136.00000", "None", "D754I", "Middle", "Unlock", "No",
                                                    "Narrow", "AB"}));
    EXPECT_EQ(g.TextMatrix(12, 1), "147.33000");
    EXPECT_EQ(g.TextMatrix(14, 1) + " " + g.TextMatrix(14, 2), "145.50000 145.50000");
    for (int row : {2, 3, 4, 6, 7, 9, 10, 13})
        EXPECT_EQ(g.TextMatrix(row, 1), "") << row;
    EXPECT_EQ(rep.channels, 5);
    EXPECT_EQ(rep.rejected, 10);

    std::map<int, std::string> rejected, changed;
    for (const auto& i : rep.issues)
        (i.rejected ? rejected : changed)[i.line] += i.reason;
    EXPECT_NE(rejected[3].find("out of range; the bands are VHF 136-175 MHz, UHF 400-520 MHz"), std::string::npos);
    EXPECT_NE(rejected[4].find("step"), std::string::npos);
    EXPECT_NE(rejected[5].find("Tx Frequency"), std::string::npos);
    EXPECT_NE(rejected[7].find("99.9"), std::string::npos);
    EXPECT_NE(rejected[8].find("Medium"), std::string::npos);
    EXPECT_NE(rejected[9].find("line 6"), std::string::npos);
    EXPECT_NE(rejected[10].find("found 4"), std::string::npos);
    EXPECT_NE(rejected[11].find("300"), std::string::npos);
    for (int line : {13, 16})
        EXPECT_NE(rejected[line].find("is not a frequency: give megahertz with up to five decimals, e.g. 145.125 or "
                                      "145,125 (\"MHz\" or \"M\" may follow), within VHF 136-175 MHz"),
                  std::string::npos)
            << rejected[line];
    EXPECT_NE(rejected[16].find("\"146.94000Q\""), std::string::npos);
    EXPECT_EQ(rejected.size(), 10u);
    EXPECT_NE(changed[6].find("\"RPT\""), std::string::npos);
    EXPECT_NE(changed[12].find("empty channel"), std::string::npos);
    EXPECT_NE(changed[14].find("\"AB\""), std::string::npos);
    EXPECT_EQ(changed.size(), 3u);
}

// In Chinese every reason, note, whole-file refusal and summary line is
// Chinese, in both layouts (values and the layout's column names quoted as given).
TEST_F(CsvTest, ImportSaysWhyInTheLanguageChosen)
{
    const std::string chirp =
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,Mode,Skip,Power\n"
        "1,HILL RPT,146.94,-,0.6,Tone,100.0,FM,P,5W\n"
        "2,A,999,,0,,,FM,,1W\n"
        "3,B,145.0065,,0,,,FM,,1W\n"
        "4,C,146.52,x,0,,,FM,,1W\n"
        "5,D,146.52,,0,Tone,99.9,AM,,1W\n"
        "1,E,146.52,,0,,,FM,,1W\n"
        "300,F,146.52,,0,,,FM,,1W\n"
        "6,G,abc,,0,,,FM,,1W\n"
        "7,H\n";
    const std::string grid =
        ",Rx Frequency,Tx Frequency,Rx CTC/DCS,Tx CTC/DCS,Power,Lock,Scan Add,Bandwidth,Name\n"
        "Pr,146.52,,D999N,,,,,,\n"
        "1,146.52,,,,Strong,,,,\n"
        "X,146.52,,,,,,,,\n"
        "3,,146.52,,,,,,,N\n";
    auto chinese = [](const std::string& text) {
        // Han characters, and none of the English sentence.
        const bool han = text.find("\xE4") != std::string::npos || text.find("\xE5") != std::string::npos ||
                         text.find("\xE6") != std::string::npos || text.find("\xE7") != std::string::npos ||
                         text.find("\xE8") != std::string::npos || text.find("\xE9") != std::string::npos;
        return han && text.find(" is ") == std::string::npos && text.find(" the ") == std::string::npos;
    };
    for (const auto& [text, format, issues] : {std::tuple{chirp, CsvFormat::Chirp, 10}, {grid, CsvFormat::Grid, 4}}) {
        CTextGrid g;
        const ImportReport zh = ImportCsv(text, format, g, true);
        ASSERT_TRUE(zh.ok) << zh.error;
        CTextGrid e;
        const ImportReport en = ImportCsv(text, format, e, false);
        ASSERT_EQ(zh.issues.size(), en.issues.size());
        EXPECT_EQ(static_cast<int>(zh.issues.size()), issues);
        for (std::size_t i = 0; i < zh.issues.size(); ++i)
            EXPECT_TRUE(chinese(zh.issues[i].reason) && !chinese(en.issues[i].reason))
                << zh.issues[i].reason << " | " << en.issues[i].reason;
        for (const std::string& note : zh.notes)
            EXPECT_TRUE(chinese(note)) << note;
        for (const std::string& line : ImportSummaryLines(zh, true))
            EXPECT_TRUE(chinese(line)) << line;
    }
    CTextGrid g;
    const ImportReport renumbered = ImportCsv(chirp, CsvFormat::Chirp, g, true, {false, 198});
    EXPECT_TRUE(chinese(renumbered.notes.back())) << renumbered.notes.back();
    EXPECT_TRUE(std::any_of(renumbered.issues.begin(), renumbered.issues.end(), [&](const ImportIssue& i) {
        return i.kind == ImportReason::NoChannelLeft && chinese(i.reason);
    }));
    for (const std::string& bad : {std::string("Location;Frequency\n1;146.52\n"), std::string("Location,Frequency\n"),
                                   std::string("Location,location\n1,2\n"), std::string("Name\n1\n"),
                                   std::string("Location,Frequency\n1,\"146.52\n"), std::string()}) {
        CTextGrid b;
        const ImportReport r = ImportCsv(bad, CsvFormat::Chirp, b, true);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(chinese(r.error)) << r.error;
    }
}

TEST_F(CsvTest, ImportHonoursTheBandLimitsInForce)
{
    const std::string csv = "Location,Frequency\n0,150.0\n1,173.99375\n2,174.0\n";
    g_nVhfHigh = 17400000;  // an edit range of 136-174 MHz
    CTextGrid g;
    ImportReport rep = ImportCsv(csv, CsvFormat::Chirp, g, false);
    ASSERT_TRUE(rep.ok);
    EXPECT_EQ(rep.channels, 2);
    ASSERT_EQ(rep.rejected, 1);
    EXPECT_EQ(rep.issues[0].line, 4);
    EXPECT_EQ(rep.issues[0].row, 3);
    // Refused for its Rx, not only for the Tx that follows it.
    EXPECT_EQ(rep.issues[0].kind, ImportReason::OutsideBands);
    EXPECT_EQ(rep.issues[0].reason.rfind("Rx Frequency \"174.00000\" is out of range", 0), 0u) << rep.issues[0].reason;
}

TEST_F(CsvTest, BadFilesAreRefusedWhole)
{
    CTextGrid g;
    g.SetTextMatrix(5, 1, "145.00000");
    ImportReport rep = ImportCsv("Pr,145.125\n", CsvFormat::Grid, g, false);
    EXPECT_FALSE(rep.ok);
    EXPECT_NE(rep.error.find("line 1"), std::string::npos);
    rep = ImportCsv("Name,Frequency\n", CsvFormat::Chirp, g, false);
    EXPECT_FALSE(rep.ok);
    EXPECT_NE(rep.error.find("no Location column"), std::string::npos) << rep.error;
    rep = ImportCsv("Location,Frequency\n1,\"145\n", CsvFormat::Chirp, g, false);
    EXPECT_FALSE(rep.ok);
    EXPECT_NE(rep.error.find("line 2"), std::string::npos);
    rep = ImportCsv("", CsvFormat::Chirp, g, false);
    EXPECT_FALSE(rep.ok);
    // Headings alone (a download cut short) would empty every channel; one heading twice is told by name.
    // So is a file that is no comma-separated UTF-8 (and a line of more fields than any list has).
    const std::tuple<std::string, CsvFormat, const char*> refused[] = {
        {std::string("\xFF\xFEL\0o\0c\0,\0", 10), CsvFormat::Chirp, "the file is UTF-16; save it as UTF-8"},
        {std::string("L\0o\0c\0a\0t\0i\0o\0n\0", 16), CsvFormat::Grid, "the file is UTF-16; save it as UTF-8"},
        {"Location;Name;Frequency\n1;A;145,5\n", CsvFormat::Chirp,
         "the file uses ';' between fields; save it with commas"},
        {"\"Location\"\t\"Frequency\"\n", CsvFormat::Grid, "the file uses tabs between fields; save it with commas"},
        {"Location,Frequency\n" + std::string(300, ','), CsvFormat::Chirp, "line 2: more than 200 fields"},
        {"Location,Frequency\r\n", CsvFormat::Chirp, "no channel rows"},
        {",Rx Frequency,Tx Frequency,Rx Tone,Tx Tone,Power,Cha Lock,Scan Add,Bandwidth,Cha Name\n\n", CsvFormat::Grid,
         "no channel rows"},
        {"Location,Frequency,Name, frequency \n0,146.52,A,146.52\n", CsvFormat::Chirp,
         "\"frequency\" is given twice (columns 2 and 4)"},
    };
    for (const auto& [text, format, why] : refused) {
        rep = ImportCsv(text, format, g, false);
        EXPECT_FALSE(rep.ok) << text;
        EXPECT_NE(rep.error.find(why), std::string::npos) << rep.error;
    }
    // Nothing of the grid changes when the file is refused.
    EXPECT_EQ(g.TextMatrix(5, 1), "145.00000");
    // Merged, headings alone change nothing and say so.
    ImportOptions merge;
    merge.merge = true;
    rep = ImportCsv("Location,Frequency,,\r\n", CsvFormat::Chirp, g, false, merge);
    EXPECT_TRUE(rep.ok) << rep.error;
    EXPECT_EQ(rep.channels, 0);
    EXPECT_EQ(g.TextMatrix(5, 1), "145.00000");
    // A channel list without Location or Frequency is told as one whatever the layout chosen.
    EXPECT_EQ(DetectCsvFormat("Name,Frequency,Duplex\n", CsvFormat::Grid), CsvFormat::Chirp);
    // A negative frequency is the Frequency column's fault, whatever Tx it gives.
    rep = ImportCsv("Location,Frequency\n1,-145.5\n", CsvFormat::Chirp, g, false);
    ASSERT_EQ(rep.issues.size(), 1u);
    EXPECT_EQ(rep.issues[0].reason.rfind("Frequency \"-145.5\" is not above 0 MHz", 0), 0u) << rep.issues[0].reason;
}

TEST_F(CsvTest, ALongFileIsCountedWholeButListedInPart)
{
    std::string text = "Location,Frequency\n";
    const int rows = 20000;
    for (int i = 0; i < rows; ++i)
        text += std::to_string(i) + ",146.525\n";
    CTextGrid g;
    const ImportReport rep = ImportCsv(text, CsvFormat::Chirp, g, false);
    ASSERT_TRUE(rep.ok) << rep.error;
    EXPECT_EQ(rep.lines, rows);
    EXPECT_EQ(rep.channels, 200);
    EXPECT_EQ(rep.rejected, rows - 200);
    EXPECT_EQ(rep.Count(ImportReason::LocationOutside), rows - 200);
    ASSERT_EQ(rep.issues.size(), static_cast<std::size_t>(kListedImportIssues));
    EXPECT_EQ(rep.issues.back().line, kListedImportIssues + 201);
    EXPECT_EQ(rep.unlisted, rows - 200 - kListedImportIssues);
    EXPECT_NE(ImportSummaryLines(rep).front().find(std::to_string(rep.unlisted) + " more"), std::string::npos);
}

TEST_F(CsvTest, ChannelListLayoutMapsDuplexAndTones)
{
    CTextGrid g;
    FillGridLabels(g, false);
    SetRow(g, 1, {"146.52000", "146.52000", "None", "None", "High", "Lock", "Yes", "Wide", "CALL"});
    SetRow(g, 2, {"145.25000", "144.65000", "None", "88.5", "Low", "Lock", "No", "Narrow", ""});
    SetRow(g, 3, {"442.10000", "447.10000", "100.0", "100.0", "High", "Unlock", "Yes", "Wide", ""});
    SetRow(g, 4, {"146.00000", "446.00000", "D023I", "D023N", "Middle", "Lock", "Yes", "Wide", ""});
    SetRow(g, 5, {"146.00000", "", "D754N", "67.0", "High", "Lock", "Yes", "Wide", ""});
    SetRow(g, 6, {"146.00000", "146.00000", "67.0", "None", "High", "Lock", "Yes", "Wide", ""});
    const std::string csv = GridToChirpCsv(g);
    const CsvDocument doc = ParseCsv(csv);
    ASSERT_TRUE(doc.ok);
    ASSERT_EQ(doc.records.size(), 7u);
    EXPECT_EQ(doc.records[0].fields, ChirpColumns());
    auto f = [&](int rec) { return doc.records[static_cast<std::size_t>(rec)].fields; };
    // Location, Name, Frequency, Duplex, Offset, Tone, rTone, cTone, Dtcs, Pol, RxDtcs, Cross, Mode, TStep, Skip,
    // Power, Comment
    EXPECT_EQ(f(1), (std::vector<std::string>{"0",    "CALL", "146.520000", "",    "0.000000",   "",   "88.5",
                                              "88.5", "023",  "NN",         "023", "Tone->Tone", "FM", "10.00",
                                              "",     "High", "",           "",    "",           "",   ""}));
    EXPECT_EQ(f(2)[3], "-");
    EXPECT_EQ(f(2)[4], "0.600000");
    EXPECT_EQ(f(2)[5], "Tone");
    EXPECT_EQ(f(2)[6], "88.5");
    EXPECT_EQ(f(2)[12], "NFM");
    EXPECT_EQ(f(2)[14], "S");
    EXPECT_EQ(f(2)[15], "Low");
    EXPECT_EQ(f(3)[3], "+");
    EXPECT_EQ(f(3)[4], "5.000000");
    EXPECT_EQ(f(3)[5], "TSQL");
    EXPECT_EQ(f(3)[7], "100.0");
    EXPECT_EQ(f(3)[16], "Unlock");
    EXPECT_EQ(f(4)[3], "split");
    EXPECT_EQ(f(4)[4], "446.000000");
    EXPECT_EQ(f(4)[5], "DTCS");
    EXPECT_EQ(f(4)[9], "NR");  // transmit normal, receive inverted
    EXPECT_EQ(f(4)[15], "Middle");
    EXPECT_EQ(f(5)[3], "off");
    EXPECT_EQ(f(5)[5], "Cross");
    EXPECT_EQ(f(5)[11], "Tone->DTCS");
    EXPECT_EQ(f(5)[6], "67.0");
    EXPECT_EQ(f(5)[10], "754");
    EXPECT_EQ(f(6)[11], "->Tone");
    EXPECT_EQ(f(6)[7], "67.0");
}

TEST_F(CsvTest, ChannelListImportReadsOtherProgramsFiles)
{
    // Columns in another order, a subset of them, and values other programs write.
    const std::string csv =
        "Name,Location,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
        "DtcsPolarity,CrossMode,Mode,Skip,Power\n"
        "rpt,3,147.330000,+,0.600000,Tone,100,88.5,023,NN,Tone->Tone,FM,P,high\n"
        "dcs,4,446.100000,,0,DTCS,88.5,88.5,25,RN,Tone->Tone,NFM,,Low\n"
        "x,5,146.000000,-,200.000000,,88.5,88.5,023,NN,Tone->Tone,FM,,High\n"
        "am,6,146.000000,,0,,88.5,88.5,023,NN,Tone->Tone,AM,,High\n"
        "w,7,146.000000,,0,,88.5,88.5,023,NN,Tone->Tone,FM,,5.0W\n"
        "c,8,146.000000,,0,Cross,88.5,71.9,023,NN,DTCS->Tone,FM,,High\n"
        "d,9,146.000000,,0,Cross,88.5,88.5,023,NN,DTCS->Digital,FM,,High\n";
    CTextGrid g;
    const ImportReport rep = ImportCsv(csv, CsvFormat::Chirp, g, false);
    ASSERT_TRUE(rep.ok) << rep.error;
    EXPECT_EQ(Row(g, 4), (std::vector<std::string>{"147.33000", "147.93000", "None", "100.0", "High", "Lock", "Yes",
                                                   "Wide", "RPT"}));
    EXPECT_EQ(Row(g, 5), (std::vector<std::string>{"446.10000", "446.10000", "D025N", "D025I", "Low", "Lock", "Yes",
                                                   "Narrow", "DCS"}));
    EXPECT_EQ(Row(g, 9), (std::vector<std::string>{"146.00000", "146.00000", "71.9", "D023N", "High", "Lock", "Yes",
                                                   "Wide", "C"}));
    EXPECT_EQ(g.TextMatrix(8, kColPower), "High");  // the file's one watt value
    EXPECT_EQ(rep.channels, 4);
    EXPECT_EQ(rep.rejected, 3);
    std::map<int, std::string> rejected;
    for (const auto& i : rep.issues)
        if (i.rejected)
            rejected[i.line] = i.reason;
    EXPECT_NE(rejected[4].find("Tx Frequency"), std::string::npos);  // 146 - 200 MHz
    EXPECT_NE(rejected[5].find("AM"), std::string::npos);
    EXPECT_NE(rejected[8].find("Digital"), std::string::npos);
}

namespace {

std::string DataFile(const std::string& name)
{
    std::ifstream in(std::string(PROG_SOURCE_DIR "/tests/data/csv/") + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

using R = ImportReason;
using Cells = std::vector<std::string>;

}  // namespace

// The lists of tests/data/csv as clubs and other programs write them: each
// imports with the channels, changes, refusals and notes expected, and what
// it imported exports and imports again unchanged.
TEST_F(CsvTest, ChannelListsAsPeopleExchangeThem)
{
    struct Case {
        const char* file;
        ImportOptions options;
        int channels, rejected;
        std::map<R, int> reasons;
        std::vector<std::string> notes;
        std::map<int, Cells> rows;           // grid row -> its nine cells
        std::map<int, std::string> refused;  // line -> part of the reason
    };
    const Case cases[] = {
        {"current-export.csv",
         {},
         14,
         5,
         {{R::PowerMapped, 14},
          {R::NameShortened, 1},
          {R::ModeUnsupported, 2},
          {R::ToneUnsupported, 2},
          {R::OutsideBands, 1}},
         {"power: 5.0W -> High, 2.5W -> Middle, 0.5W -> Low"},
         {{1, {"146.52000", "146.52000", "None", "None", "High", "Lock", "Yes", "Wide", "SIMPLE"}},
          {3, {"146.94000", "146.34000", "123.0", "123.0", "Middle", "Lock", "Yes", "Wide", "TSQL"}},
          {4, {"145.23000", "144.63000", "131.8", "None", "Low", "Lock", "No", "Narrow", "TSQL-R"}},
          {5, {"446.10000", "446.10000", "D152N", "D152I", "Low", "Lock", "Yes", "Narrow", "DTCS"}},
          {6, {"446.20000", "446.20000", "D411I", "None", "Low", "Unlock", "Yes", "Narrow", "DTCS-R"}},
          {7, {"442.10000", "447.10000", "110.9", "103.5", "High", "Lock", "Yes", "Wide", "XTT"}},
          {8, {"442.20000", "447.20000", "D754I", "107.2", "High", "Lock", "Yes", "Wide", "XTD"}},
          {9, {"442.30000", "447.30000", "114.8", "D047I", "High", "Lock", "Yes", "Wide", "XDT"}},
          {10, {"442.40000", "447.40000", "D131I", "D065I", "High", "Lock", "Yes", "Wide", "XDD"}},
          {11, {"146.40000", "146.40000", "118.8", "None", "Middle", "Lock", "Yes", "Wide", "X-T"}},
          {12, {"146.41000", "446.41000", "D162I", "None", "Middle", "Lock", "Yes", "Wide", "X-D"}},
          {13, {"146.42000", "", "None", "127.3", "Middle", "Lock", "Yes", "Wide", "XT-"}},
          {14, {"146.43000", "146.43000", "None", "D174I", "Middle", "Lock", "Yes", "Wide", "XD-"}},
          {15, Cells(9)}},
         {{16, "Mode \"AM\""},
          {17, "Mode \"DV\""},
          {18, "CTCSS tone \"62.5\""},
          {19, "DCS code \"017\""},
          {20, "\"52.52500\" is out of range"}}},
        {"club-legacy.csv",
         {},
         6,
         10,
         {{R::NameShortened, 1}, {R::LocationOutside, 10}},
         {},
         {{9, {"145.47000", "144.87000", "100.0", "100.0", "High", "Lock", "No", "Wide", "LINKED"}},
          {4, {"147.09000", "147.69000", "D251N", "D251N", "High", "Lock", "Yes", "Narrow", "RIDGE"}}},
         {{8, "Location \"200\" is not 0 to 199"}, {16, "\"376\""}}},
        {"club-legacy.csv",
         {false, 1},
         12,
         4,
         {{R::NameShortened, 2}, {R::OutsideBands, 4}},
         {"renumbered: 12 row(s) on channels 1 to 12, in file order"},
         {{7, {"162.55000", "", "None", "None", "High", "Lock", "Yes", "Wide", "WX1"}},
          {8, {"442.05000", "447.05000", "None", "131.8", "High", "Lock", "Yes", "Wide", "HILLTP"}},
          {13, {"449.12500", "444.12500", "None", "103.5", "High", "Lock", "Yes", "Wide", "ARES-U"}},
          {14, Cells(9)}},
         {{8, "\"224.94000\" is out of range"}}},
        {"bom-crlf.csv",
         {},
         4,
         0,
         {{R::NameShortened, 1}, {R::NameUpperCase, 3}},
         {},
         {{1, {"146.52000", "146.52000", "None", "None", "High", "Lock", "Yes", "Wide", "CALLIN"}},
          {5, {"462.67500", "467.67500", "141.3", "141.3", "High", "Lock", "Yes", "Narrow", "GMRS20"}}},
         {}},
        {"reordered.csv",
         {},
         6,
         0,
         {},
         {},
         {{11, {"147.15000", "147.75000", "None", "131.8", "High", "Lock", "Yes", "Wide", "HIGH"}},
          {12, {"146.85000", "146.25000", "100.0", "100.0", "Middle", "Lock", "Yes", "Wide", "MED"}},
          {13, {"444.65000", "449.65000", "None", "110.9", "Middle", "Lock", "Yes", "Narrow", "MID"}},
          {14, {"443.90000", "448.90000", "None", "None", "Middle", "Lock", "Yes", "Wide", "MIDDLE"}},
          {15, {"146.46000", "146.46000", "None", "None", "Low", "Lock", "Yes", "Narrow", "LOW"}},
          {16, {"146.58000", "146.58000", "None", "None", "High", "Lock", "Yes", "Wide", "NOPWR"}}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.options.renumberFrom >= 0 ? " renumbered" : ""));
        const std::string text = DataFile(c.file);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(DetectCsvFormat(text, CsvFormat::Grid), CsvFormat::Chirp);  // the headings tell
        CTextGrid g;
        const ImportReport rep = ImportCsv(text, CsvFormat::Chirp, g, false, c.options);
        ASSERT_TRUE(rep.ok) << rep.error;
        EXPECT_EQ(rep.channels, c.channels);
        EXPECT_EQ(rep.rejected, c.rejected);
        std::map<R, int> reasons;
        for (std::size_t k = 0; k < rep.byReason.size(); ++k)
            if (rep.byReason[k])
                reasons[static_cast<R>(k)] = rep.byReason[k];
        EXPECT_EQ(reasons, c.reasons);
        EXPECT_EQ(rep.notes, c.notes);
        for (const auto& [row, cells] : c.rows)
            EXPECT_EQ(Row(g, row), cells) << "row " << row;
        std::map<int, std::string> refused;
        for (const ImportIssue& i : rep.issues)
            if (i.rejected)
                refused[i.line] = i.reason;
        EXPECT_EQ(static_cast<int>(refused.size()), c.rejected);
        for (const auto& [line, part] : c.refused)
            EXPECT_NE(refused[line].find(part), std::string::npos) << "line " << line << ": " << refused[line];

        CTextGrid shown = g;
        FillGridLabels(shown, false);
        EXPECT_EQ(DetectCsvFormat(GridToCsv(shown), CsvFormat::Chirp), CsvFormat::Grid);
        EXPECT_EQ(DetectCsvFormat("Rx,Tx\n", CsvFormat::Chirp), CsvFormat::Chirp);  // neither: as chosen
        CTextGrid again;
        const ImportReport back = ImportCsv(GridToChirpCsv(g), CsvFormat::Chirp, again, false);
        EXPECT_EQ(back.rejected, 0);
        for (int row = 1; row < kGridRows; ++row)
            ASSERT_EQ(Row(again, row), Row(g, row)) << "row " << row;
    }
}

TEST_F(CsvTest, WattsMapByRankUnlessTheyAreThisProgramsOwn)
{
    struct Case {
        std::vector<std::string> watts;
        std::vector<std::string> levels;  // what each row gets
        std::string note;
    };
    const Case cases[] = {
        {{"50W", "5 W", "25W", "50W"},
         {"High", "Low", "Middle", "High"},
         "power: 50W -> High, 25W -> Middle, 5 W -> Low"},
        {{"4W", "4.0W"}, {"High", "High"}, "power: 4W -> High"},
        {{"0.5W", "8w", "High", "Med"}, {"Low", "High", "High", "Middle"}, "power: 8w -> High, 0.5W -> Low"},
        {{"1.0W"}, {"Low"}, "power: 1.0W -> Low"},
        {{"2.0W", "1.0W"}, {"Middle", "Low"}, "power: 2.0W -> Middle, 1.0W -> Low"},
        {{"Mid", "low", ""}, {"Middle", "Low", "High"}, ""},
    };
    for (const Case& c : cases) {
        std::string csv = "Location,Frequency,Power\n";
        for (std::size_t k = 0; k < c.watts.size(); ++k)
            csv += std::to_string(k) + ",146.52," + CsvField(c.watts[k]) + "\n";
        CTextGrid g;
        const ImportReport rep = ImportCsv(csv, CsvFormat::Chirp, g, false);
        ASSERT_TRUE(rep.ok);
        for (std::size_t k = 0; k < c.levels.size(); ++k)
            EXPECT_EQ(g.TextMatrix(static_cast<int>(k) + 1, kColPower), c.levels[k]) << c.watts[k];
        EXPECT_EQ(rep.notes, c.note.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.note});
    }
    CTextGrid g;
    const ImportReport rep =
        ImportCsv("Location,Frequency,Power\n0,146.52,5.0X\n1,146.52,W\n", CsvFormat::Chirp, g, false);
    ASSERT_EQ(rep.rejected, 2);
    EXPECT_NE(rep.issues[0].reason.find("Power \"5.0X\" is not High, Med, Mid, Middle, Low, empty or watts"),
              std::string::npos);
}

TEST_F(CsvTest, MergeKeepsOtherChannelsAndRenumberStopsAtTheLastChannel)
{
    CTextGrid start;
    SetRow(start, 2, {"145.00000", "145.00000", "None", "None", "High", "Lock", "Yes", "Wide", "KEEP"});
    SetRow(start, 3, {"146.00000", "146.00000", "None", "None", "High", "Lock", "Yes", "Wide", "OLD"});
    SetRow(start, 200, {"147.00000", "147.00000", "None", "None", "High", "Lock", "Yes", "Wide", "LAST"});
    const std::string csv = "Location,Frequency,Name\n2,440.0,NEW\n199,999,BAD\n0,146.52,CALL\n";
    struct Case {
        ImportOptions options;
        std::map<int, std::string> names;  // grid row -> name afterwards ("" empty)
        int channels;
        R refusal;
    };
    const Case cases[] = {
        {{}, {{1, "CALL"}, {2, ""}, {3, "NEW"}, {200, ""}}, 2, R::OutsideBands},
        {{true, -1}, {{1, "CALL"}, {2, "KEEP"}, {3, "NEW"}, {200, "LAST"}}, 2, R::OutsideBands},
        {{true, 0}, {{1, "NEW"}, {2, "CALL"}, {3, "OLD"}, {200, "LAST"}}, 2, R::OutsideBands},
        {{true, 199}, {{1, ""}, {2, "KEEP"}, {200, "NEW"}}, 1, R::NoChannelLeft},
    };
    for (const Case& c : cases) {
        CTextGrid g = start;
        const ImportReport rep = ImportCsv(csv, CsvFormat::Chirp, g, false, c.options);
        ASSERT_TRUE(rep.ok);
        EXPECT_EQ(rep.channels, c.channels) << c.options.merge << c.options.renumberFrom;
        for (const auto& [row, name] : c.names)
            EXPECT_EQ(g.TextMatrix(row, kColName), name) << "row " << row << " renumber " << c.options.renumberFrom;
        EXPECT_EQ(rep.Count(c.refusal), 1);
    }
}
