#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/Output.h"
#include "core/app/DisplayText.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/exchange/ImportPreview.h"
#include "core/exchange/CsvChannels.h"
#include "core/exchange/StockLists.h"
#include "core/platform/Files.h"
#include "core/radio/RadioCatalogue.h"

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
            throw UsageError(Tr("--renumber takes a channel 0 to 199 (0 is \"Pr\"), not \"",
                                "--renumber 只接受信道 0 到 199 (0 是 \"Pr\"), 而不是 \"") +
                             text + "\"");
        options.renumberFrom = static_cast<int>(from);
    }
    return options;
}

}  // namespace

int CmdImport(const std::vector<std::string>& argv)
{
    const Args args(RenumberWithValue(argv), "import");
    const bool stock = args.Has("--stock");
    args.RequirePositional(stock ? 1 : 2, stock ? Tr("FILE.dat (--stock names the list)", "FILE.dat (--stock 指定列表)")
                                                : Tr("IN.csv and FILE.dat", "IN.csv 和 FILE.dat"));
    const CsvFormat chosen = ParseFormat(args.Value("--format"));
    const ImportOptions options = ParseImportOptions(args);
    SetUpLanguage(args);
    // A stock list is named, never a path: only the lists present can be taken.
    const std::vector<StockList> lists = stock ? StockListsPresent() : std::vector<StockList>{};
    const StockList* list = stock ? FindStockList(lists, args.Value("--stock")) : nullptr;
    if (stock && !list)
        throw UsageError(Tr("--stock: no stock list \"", "--stock: 没有名为 \"") + args.Value("--stock") +
                         Tr("\"; the lists are: ", "\" 的现成列表; 现有列表: ") + StockListNames(lists) +
                         Tr(" (progtool stock describes them)", " (progtool stock 介绍它们)"));
    const std::string csvPath = stock ? list->path : args.Positional()[0];
    const std::string& datPath = args.Positional().back();
    // The list and the image are read, the image written: never the list's own file.
    if (const DatResult r = CheckOutputNotInput(datPath, {csvPath}); !r.ok) {
        Error(r.error + Tr("; nothing was imported", "; 未导入任何内容"));
        return kExitFailed;
    }
    std::string text;
    if (!ReadTextFile(csvPath, text))
        return kExitFailed;
    if (const std::string problem = CsvImportTextProblem(text); !problem.empty()) {
        Error(csvPath + " " + problem + "; " + datPath + Tr(" is unchanged", " 未改动"));
        return kExitFailed;
    }
    // Without --format the first line's headings tell the layout.
    const CsvFormat format = args.Has("--format") ? chosen : DetectCsvFormat(text, chosen);
    // The image is changed in place: held from its read to its save (see options --set).
    CFileUpdateLock lock;
    if (std::string error; !lock.Acquire(datPath, kFileLockWait, error)) {
        Error(error + Tr("; nothing was imported", "; 未导入任何内容"));
        return kExitFailed;
    }
    Image image{};
    if (!LoadImageFile(datPath, image, ImageUse::Rewrite, args.Has("--force"))) {
        if (platform::Info(datPath).notFound)
            Note(Tr("(import writes into an existing file; \"progtool new ",
                    "(import 写入已有的文件; 用 \"progtool new ") +
                 datPath + Tr("\" makes one)", "\" 新建一个)"));
        return kExitFailed;
    }
    // The file's own edit ranges decide which frequencies are accepted, as in the window.
    ChannelDocument doc;
    doc.Open(image, g_bChinese != 0);
    const bool chinese = g_bChinese != 0;
    // A stock list made for the other radio type is refused as the window refuses it.
    if (stock && !args.Has("--force")) {
        const CRadioCatalogue catalogue(theIniFile);
        const std::string mismatch =
            StockTypeMismatch(SummarizeStockList(text, catalogue), image[mem::kRadioType], catalogue, chinese);
        if (!mismatch.empty()) {
            Error(list->name + Tr(" does not fit this radio type: ", " 不适用于这种电台型号: ") + mismatch + "; " +
                  datPath + Tr(" is unchanged (--force imports it anyway)", " 未改动 (用 --force 仍然导入)"));
            return kExitFailed;
        }
    }
    const ImportPreview preview = PreviewImport(doc.grid, text, format, chinese, options);
    const ImportReport& rep = preview.report;
    // What the list's own comments say about transmitting on its channels, before its report.
    if (stock)
        for (const std::string& line : StockLicenceLines(*list))
            Note(list->name + ": " + line);
    if (!rep.ok) {
        Error(csvPath + ": " + EscapeControlBytes(rep.error) + "; " + datPath + Tr(" is unchanged", " 未改动"));
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
        Error(csvPath + ": " + FitsNoBandText(preview, chinese) + "; " + datPath + Tr(" is unchanged", " 未改动"));
        return kExitFailed;
    }
    if (rep.rejected > 0 && !args.Has("--skip-bad")) {
        Error(csvPath + ": " + std::to_string(rep.rejected) + Tr(" row(s) rejected; ", " 行被拒绝; ") + datPath +
              Tr(" is unchanged (--skip-bad imports the other rows)", " 未改动 (用 --skip-bad 导入其余各行)"));
        return kExitFailed;
    }
    if (preview.EmptiesMost() && !args.Has("--force")) {
        Error(csvPath + ": " + EmptiesMostText(preview, chinese) + "; " + datPath +
              Tr(" is unchanged (--force replaces them, --merge keeps the channels the file does not give)",
                 " 未改动 (用 --force 替换它们, 用 --merge 保留文件中没有的信道)"));
        return kExitFailed;
    }
    doc.grid = preview.result;
    if (const DatResult saved = doc.Save(datPath); !saved.ok) {
        Error(saved.error);
        return kExitFailed;
    }
    std::cout << Tr("imported ", "已导入 ") << rep.channels << Tr(" channel(s) into ", " 个信道到 ")
              << ForTerminal(datPath);
    if (rep.rejected > 0)
        std::cout << ", " << rep.rejected << Tr(" rejected row(s) left out", " 个被拒绝的行未导入");
    std::cout << "\n";
    return kExitOk;
}

}  // namespace cli
