#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "core/app/IniFile.h"
#include "core/exchange/CsvChannels.h"
#include "core/exchange/ImportPreview.h"
#include "core/exchange/StockLists.h"
#include "core/radio/Bands.h"
#include "core/radio/Document.h"
#include "core/radio/RadioCatalogue.h"
#include "core/files/TextFile.h"
#include "tests/support/TestEnv.h"

namespace {

const std::string kHeader = "Location,Name,Frequency,Duplex,Offset,Mode,Power\n";

// Comments lead a list only at its top; a first line that is a layout's
// headings keeps being read as headings, whatever it begins with.
TEST(CsvComments, LeadingHashLinesArePassedOverAndCountedInLineNumbers)
{
    testenv::ResetBandLimits();
    const std::string grid = ",Rx Frequency,Tx Frequency,Rx CTC/DCS,Tx CTC/DCS,Power,Lock,Scan Add,Bandwidth,Name\n";
    struct Case {
        const char* what;
        std::string text;
        int channels;       // -1: refused whole
        std::string issue;  // the first issue or error holds this
    } cases[] = {
        {"comments with quotes, semicolons and CRLF",
         "# a \"quoted\" title; no commas\r\n#\r\n# zh: 中文\r\n" + kHeader + "1,A,145.500000,,0,FM,High\n", 1, ""},
        {"a UTF-8 mark before them", "\xEF\xBB\xBF# title\n" + kHeader + "1,A,145.500000,,0,FM,High\n", 1, ""},
        {"line numbers count them", "# one\n# two\n" + kHeader + "1,A,999.000000,,0,FM,High\n", 0, ""},
        {"a '#' line among the rows is a row", kHeader + "1,A,145.500000,,0,FM,High\n# later\n", 1,
         "expected 7 fields"},
        {"no headings after them", "# only a comment\n", -1, "holds no lines"},
        {"a grid headed \"#\" is still a grid", "#" + grid + "Pr,145.5,,,,,,,,\n", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTextGrid g;
        const ImportReport r = ImportCsv(c.text, DetectCsvFormat(c.text, CsvFormat::Chirp), g, false);
        if (c.channels < 0) {
            EXPECT_FALSE(r.ok);
            EXPECT_NE(r.error.find(c.issue), std::string::npos) << r.error;
            continue;
        }
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.channels, c.channels);
        if (!c.issue.empty()) {
            ASSERT_FALSE(r.issues.empty());
            EXPECT_NE(r.issues.front().reason.find(c.issue), std::string::npos) << r.issues.front().reason;
        }
    }
    // The refused row is told by its own line, after the two comments and the headings.
    const std::string counted = "# one\n# two\n" + kHeader + "1,A,999.000000,,0,FM,High\n";
    CTextGrid g;
    const ImportReport r = ImportCsv(counted, CsvFormat::Chirp, g, false);
    ASSERT_EQ(r.issues.size(), 1u);
    EXPECT_EQ(r.issues.front().line, 4);
    // A comment holding semicolons does not make the list one separated by them.
    EXPECT_EQ(CsvImportTextProblem("# a; b; c\n" + kHeader), "");
    EXPECT_NE(CsvImportTextProblem("# a, b\nLocation;Frequency\n"), "");
}

TEST(StockLists, FolderBesideTheProgramElseTheInstalledOne)
{
    testenv::TempDir dir;
    namespace fs = std::filesystem;
    const fs::path root = dir.File("");
    fs::create_directories(root / "bin");
    fs::create_directories(root / "lib" / kPackageName / "stock");
    std::ofstream(root / "lib" / kPackageName / "stock" / "b.csv") << "# Bee\n# zh: 蜜蜂\n" << kHeader;
    std::ofstream(root / "lib" / kPackageName / "stock" / "a.csv") << kHeader;
    std::ofstream(root / "lib" / kPackageName / "stock" / "notes.txt") << "# not a list\n";
    fs::create_directories(root / "lib" / kPackageName / "stock" / "dir.csv");
    // progtool in <prefix>/bin: the window's folder under lib/.
    std::vector<StockList> lists = ListStockLists((root / "bin").string());
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].name, "a");
    EXPECT_EQ(lists[0].title, "a");
    EXPECT_EQ(lists[1].title, "Bee");
    EXPECT_EQ(lists[1].titleZh, "蜜蜂");
    EXPECT_EQ(StockListNames(lists), "a, b");
    EXPECT_EQ(FindStockList(lists, "b"), &lists[1]);
    EXPECT_EQ(FindStockList(lists, "B"), nullptr);
    // A build tree, the window's own folder: "stock" beside the program wins.
    fs::create_directories(root / "bin" / "stock");
    std::ofstream(root / "bin" / "stock" / "c.csv") << kHeader;
    lists = ListStockLists((root / "bin").string());
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].name, "c");
    EXPECT_EQ(StockListNames(ListStockLists((root / "bin" / "stock").string())), "none");
}

// Every list shipped in res/stock, so a new file is checked too: its comments
// name its source and licence rules and the band it suits, and it imports
// without a refusal or a change into a new document of each radio type whose
// bands hold all its channels.
TEST(StockLists, EveryShippedListImportsIntoEachTypeItFits)
{
    testenv::BandLimitsGuard limits;
    CIniFile ini;
    ASSERT_TRUE(ini.Load(PROG_SOURCE_DIR "/res/Program.ini", false, true, false));
    const CRadioCatalogue catalogue(ini);
    const std::vector<StockList> lists = ListStockLists(PROG_SOURCE_DIR "/res");
    std::set<std::string> names;
    // Receive-only services: nothing may be transmitted with this radio there.
    // (Marine VHF: a radio needs a type approval this one lacks.) Their titles say so.
    const std::set<std::string> receiveOnly = {"noaa-weather", "frs-gmrs", "murs", "pmr446", "marine-vhf"};
    for (const StockList& list : lists) {
        SCOPED_TRACE(list.name);
        names.insert(list.name);
        auto commentStarting = [&](const std::string& start) {
            for (const std::string& line : list.comments)
                if (line.rfind(start, 0) == 0)
                    return line;
            return std::string();
        };
        EXPECT_FALSE(list.comments.empty() || list.comments.front().empty());
        EXPECT_NE(list.titleZh, list.title);
        EXPECT_GT(commentStarting("Source: ").size(), 20u);
        EXPECT_GT(commentStarting("Licence: ").size(), 20u);
        const TextFileResult text = ReadBoundedTextFile(list.path);
        ASSERT_TRUE(text.ok) << text.error;
        testenv::ResetBandLimits();
        const StockSummary summary = SummarizeStockList(text.text, catalogue);
        ASSERT_TRUE(summary.ok) << summary.error;
        EXPECT_EQ(summary.refused, 0);
        EXPECT_EQ(summary.receiveOnly, receiveOnly.count(list.name) ? summary.channels : 0);
        EXPECT_EQ(list.title.find("receive only") != std::string::npos, receiveOnly.count(list.name) == 1);
        const std::vector<std::string> fits = summary.FittingTypes();
        ASSERT_FALSE(fits.empty());
        // A list suiting one type says which band it is for.
        const std::vector<std::string> types = catalogue.TypeNames();
        auto typeIndex = [&](const std::string& type) {
            return static_cast<int>(std::find(types.begin(), types.end(), type) - types.begin());
        };
        if (fits.size() == 1) {
            const bool vhf = ParseBandItem(catalogue.Band(typeIndex(fits[0]), 0)).high <= 300;
            EXPECT_EQ(commentStarting("Suits ").rfind(vhf ? "Suits VHF radios only" : "Suits UHF radios only", 0), 0u)
                << commentStarting("Suits ");
        }
        for (const std::string& type : fits) {
            SCOPED_TRACE(type);
            Image image = NewDocumentImage();
            image[mem::kRadioType] = static_cast<std::uint8_t>(typeIndex(type));
            ChannelDocument doc;
            doc.Open(image, false);
            const ImportPreview preview =
                PreviewImport(doc.grid, text.text, DetectCsvFormat(text.text, CsvFormat::Grid), false);
            ASSERT_TRUE(preview.report.ok) << preview.report.error;
            EXPECT_EQ(preview.report.rejected, 0);
            EXPECT_EQ(preview.report.changedRows, 0);  // names, power and the rest as the radio holds them
            EXPECT_EQ(preview.report.channels, summary.channels);
            EXPECT_EQ(preview.report.receiveOnly, summary.receiveOnly);
            EXPECT_EQ(StockTypeMismatch(summary, typeIndex(type), catalogue, false), "");
            for (int row = 1; row < kGridRows; ++row) {
                if (preview.result.TextMatrix(row, kColRxFreq).empty())
                    continue;
                EXPECT_EQ(preview.result.TextMatrix(row, kColTxFreq).empty(), receiveOnly.count(list.name) == 1)
                    << "row " << row;
            }
        }
    }
    for (const char* name : {"ham-2m-iaru-r1", "ham-2m-arrl", "ham-70cm-iaru-r1", "ham-70cm-arrl", "marine-vhf",
                             "noaa-weather", "frs-gmrs", "murs", "pmr446"})
        EXPECT_EQ(names.count(name), 1u) << name;
}

// A list for the other radio type: told by its fit (in both languages, with
// the type it suits), and refused whole by the import once no row lies in the
// bands in force.
TEST(StockLists, AListForAnotherRadioTypeIsToldAndImportsNothing)
{
    testenv::BandLimitsGuard limits;
    testenv::ResetBandLimits();
    CIniFile ini;
    ASSERT_TRUE(ini.Load(PROG_SOURCE_DIR "/res/Program.ini", false, true, false));
    const CRadioCatalogue catalogue(ini);
    const TextFileResult frs = ReadBoundedTextFile(PROG_SOURCE_DIR "/res/stock/frs-gmrs.csv");
    ASSERT_TRUE(frs.ok);
    const StockSummary summary = SummarizeStockList(frs.text, catalogue);
    EXPECT_EQ(StockTypeMismatch(summary, 0, catalogue, false),
              "22 of its 22 channels lie outside the bands of the TR-5V (136-174MHz, 144-148MHz, 150-174MHz); it "
              "suits the TR-5U");
    EXPECT_EQ(StockTypeMismatch(summary, 0, catalogue, true),
              "其中 22 个信道在 TR-5V 的频段（136-174MHz、144-148MHz、150-174MHz）之外；它适用于 TR-5U");
    EXPECT_EQ(StockTypeMismatch(summary, 1, catalogue, false), "");
    EXPECT_EQ(StockTypeMismatch(summary, 7, catalogue, false), "");  // no such type: nothing to say

    // A VHF radio whose UHF range holds none of them: no row fits, whatever the choices.
    Image image = NewDocumentImage();
    ChannelDocument doc;
    doc.Open(image, false);
    doc.grid.SetTextMatrix(3, kColRxFreq, "146.52000");
    g_nUhfLow = 43000000;
    g_nUhfHigh = 44000000;
    for (const ImportOptions& options : {ImportOptions{}, ImportOptions{true, -1}, ImportOptions{false, 10}}) {
        const ImportPreview p = PreviewImport(doc.grid, frs.text, CsvFormat::Chirp, false, options);
        EXPECT_TRUE(p.FitsNoBand());
        EXPECT_EQ(
            FitsNoBandText(p, false).rfind("none of the 22 channels of the file lies in the radio's bands (VHF", 0), 0u)
            << FitsNoBandText(p, false);
        EXPECT_NE(FitsNoBandText(p, true).find("不适用于本机型"), std::string::npos);
    }
    // One row inside is an import like any other.
    const std::string one =
        frs.text + "23,IN,435.000000,off,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,12.50,,Low,,,,,\n";
    EXPECT_FALSE(PreviewImport(doc.grid, one, CsvFormat::Chirp, false).FitsNoBand());

    // The notes a preview shows: paragraphs, the title in the language chosen.
    const std::vector<std::string> notes = CsvListNotes(frs.text, false);
    ASSERT_GE(notes.size(), 4u);
    EXPECT_EQ(notes[0], "FRS/GMRS, the 22 shared channels (United States), receive only");
    EXPECT_EQ(notes[2].rfind("Licence: FRS needs no licence but only radios certified for FRS may transmit on it; GMRS "
                             "needs an FCC licence",
                             0),
              0u)
        << notes[2];
    EXPECT_EQ(CsvListNotes(frs.text, true)[0], "FRS/GMRS 22 个共用频道（美国），仅接收");
    EXPECT_TRUE(CsvListNotes("Location,Frequency\n1,146.52\n", false).empty());
}

}  // namespace
