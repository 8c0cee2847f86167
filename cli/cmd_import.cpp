#include <iostream>

#include "cli/Common.h"
#include "cli/Output.h"
#include "core/app/DisplayText.h"
#include "core/app/Globals.h"
#include "core/exchange/ImportPreview.h"
#include "core/exchange/CsvChannels.h"
#include "core/exchange/StockLists.h"
#include "core/platform/Files.h"

namespace cli {

CsvFormat ParseFormat(const std::string& text);

namespace {

// "--renumber" takes its channel only when a number follows ("--renumber 20",
// "--renumber=20"); alone it means channel 1.
std::vector<std::string> RenumberWithValue(const std::vector<std::string>& argv)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        out.push_back(argv[i]);
        if (argv[i] != "--renumber")
            continue;
        long from = 0;
        const bool number = i + 1 < argv.size() && ParseWholeNumber(argv[i + 1], from);
        out.back() = "--renumber=" + (number ? argv[++i] : std::string("1"));
    }
    return out;
}

ImportOptions ParseImportOptions(const Args& args)
{
    ImportOptions options;
    options.merge = args.Has("--merge");
    if (args.Has("--renumber")) {
        long from = -1;
        const std::string text = args.Value("--renumber");
        if (!ParseWholeNumber(text, from) || from < 0 || from > kGridRows - 2)
            throw UsageError("--renumber takes a channel 0 to 199 (0 is \"Pr\"), not \"" + text + "\"");
        options.renumberFrom = static_cast<int>(from);
    }
    return options;
}

}  // namespace

int CmdImport(const std::vector<std::string>& argv)
{
    const Args args(RenumberWithValue(argv), {"--format", "--lang", "--renumber", "--stock"},
                    {"--skip-bad", "--merge", "--force"});
    const bool stock = args.Has("--stock");
    args.RequirePositional(stock ? 1 : 2, stock ? "FILE.dat (--stock names the list)" : "IN.csv and FILE.dat");
    const CsvFormat chosen = ParseFormat(args.Value("--format"));
    const ImportOptions options = ParseImportOptions(args);
    SetUpLanguage(args);
    // A stock list is named, never a path: only the lists present can be taken.
    const std::vector<StockList> lists = stock ? StockListsPresent() : std::vector<StockList>{};
    const StockList* list = stock ? FindStockList(lists, args.Value("--stock")) : nullptr;
    if (stock && !list)
        throw UsageError("--stock: no stock list \"" + args.Value("--stock") +
                         "\"; the lists are: " + StockListNames(lists) + " (progtool stock describes them)");
    const std::string csvPath = stock ? list->path : args.Positional()[0];
    const std::string& datPath = args.Positional().back();
    // The list and the image are read, the image written: never the list's own file.
    if (const DatResult r = CheckOutputNotInput(datPath, {csvPath}); !r.ok) {
        Error(r.error + "; nothing was imported");
        return kExitFailed;
    }
    std::string text;
    if (!ReadTextFile(csvPath, text))
        return kExitFailed;
    if (const std::string problem = CsvImportTextProblem(text); !problem.empty()) {
        Error(csvPath + " " + problem + "; " + datPath + " is unchanged");
        return kExitFailed;
    }
    // Without --format the first line's headings tell the layout.
    const CsvFormat format = args.Has("--format") ? chosen : DetectCsvFormat(text, chosen);
    // The image is changed in place: held from its read to its save (see options --set).
    CFileUpdateLock lock;
    if (std::string error; !lock.Acquire(datPath, kFileLockWait, error)) {
        Error(error + "; nothing was imported");
        return kExitFailed;
    }
    Image image{};
    if (!LoadImageFile(datPath, image, ImageUse::Rewrite, args.Has("--force"))) {
        if (platform::Info(datPath).notFound)
            Note("(import writes into an existing file; \"progtool new " + datPath + "\" makes one)");
        return kExitFailed;
    }
    // The file's own edit ranges decide which frequencies are accepted, as in the window.
    ChannelDocument doc;
    doc.Open(image, g_bChinese != 0);
    const bool chinese = g_bChinese != 0;
    const ImportPreview preview = PreviewImport(doc.grid, text, format, chinese, options);
    const ImportReport& rep = preview.report;
    // What the list's own comments say about transmitting on its channels, before its report.
    if (stock)
        for (const std::string& line : StockLicenceLines(*list))
            Note(list->name + ": " + line);
    if (!rep.ok) {
        Error(csvPath + ": " + EscapeControlBytes(rep.error) + "; " + datPath + " is unchanged");
        return kExitFailed;
    }
    // One write for the whole report: a long file's thousand lines are not a
    // thousand writes to an unbuffered stream.
    std::string report;
    for (const ImportIssue& issue : rep.issues)
        report += csvPath + ":" + std::to_string(issue.line) + ": " +
                  (issue.rejected ? Tr("rejected: ", "已拒绝：") : Tr("changed: ", "有改动：")) +
                  EscapeControlBytes(issue.reason) + "\n";
    for (const std::string& line : ImportSummaryLines(rep, chinese))
        report += EscapeControlBytes(line) + "\n";
    std::cerr << report << std::flush;
    // A list for another radio type: nothing in it can be imported, whatever the options.
    if (preview.FitsNoBand()) {
        Error(csvPath + ": " + FitsNoBandText(preview, chinese) + "; " + datPath + " is unchanged");
        return kExitFailed;
    }
    if (rep.rejected > 0 && !args.Has("--skip-bad")) {
        Error(csvPath + ": " + std::to_string(rep.rejected) + " row(s) rejected; " + datPath +
              " is unchanged (--skip-bad imports the other rows)");
        return kExitFailed;
    }
    if (preview.EmptiesMost() && !args.Has("--force")) {
        Error(csvPath + ": " + EmptiesMostText(preview, chinese) + "; " + datPath +
              " is unchanged (--force replaces them, --merge keeps the channels the file does not give)");
        return kExitFailed;
    }
    doc.grid = preview.result;
    if (const DatResult saved = doc.Save(datPath); !saved.ok) {
        Error(saved.error);
        return kExitFailed;
    }
    std::cout << "imported " << rep.channels << " channel(s) into " << ForTerminal(datPath);
    if (rep.rejected > 0)
        std::cout << ", " << rep.rejected << " rejected row(s) left out";
    std::cout << "\n";
    return kExitOk;
}

}  // namespace cli
