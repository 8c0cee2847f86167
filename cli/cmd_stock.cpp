#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/Output.h"
#include "core/app/DisplayText.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/exchange/StockLists.h"
#include "core/files/TextFile.h"
#include "core/radio/RadioCatalogue.h"

namespace cli {

namespace {

// "TR-5V", "TR-5V, TR-5U", or the types holding part of the channels ("TR-5V (12 of 13)").
std::string FitText(const StockSummary& summary)
{
    const std::vector<std::string> fits = summary.FittingTypes();
    std::string out;
    for (const std::string& type : fits)
        out += (out.empty() ? "" : ", ") + type;
    if (!out.empty())
        return out;
    for (const StockSummary::Fit& fit : summary.types)
        if (fit.channels > 0)
            out += (out.empty() ? "" : ", ") + fit.type + " (" + std::to_string(fit.channels) + Tr(" of ", "/") +
                   std::to_string(summary.channels) + ")";
    return out.empty() ? std::string(Tr("none", "无")) : out;
}

StockSummary FailedSummary(const std::string& error)
{
    StockSummary summary;
    summary.error = error;
    return summary;
}

}  // namespace

std::vector<StockList> StockListsPresent() { return ListStockLists(CIniFile::ProgramDir()); }

int CmdStock(const std::vector<std::string>& argv)
{
    const Args args(argv, "stock");
    args.RequirePositional(0, "");
    SetUpLanguage(args);
    const bool json = args.Has("--json");
    const bool chinese = g_bChinese != 0;
    const std::string folder = StockFolder(CIniFile::ProgramDir());
    const std::vector<StockList> lists = StockListsPresent();
    if (lists.empty()) {
        // Both places looked in, when the one beside progtool is not there.
        const std::string programDir = CIniFile::ProgramDir();
        Error(Tr("no stock lists in ", "没有现成列表: ") + folder +
              (folder.rfind(programDir, 0) == 0
                   ? std::string()
                   : Tr(" (nor a folder \"stock\" beside progtool in ", " (progtool 所在的 ") + programDir +
                         Tr(")", " 中也没有 \"stock\" 文件夹)")) +
              Tr(": the program's stock folder is missing or empty", ": 程序的现成列表文件夹不存在或为空"));
        return kExitFailed;
    }
    const CRadioCatalogue catalogue(theIniFile);
    std::vector<StockSummary> summaries;
    bool allRead = true;
    for (const StockList& list : lists) {
        const TextFileResult text = ReadBoundedTextFile(list.path);
        summaries.push_back(text.ok ? SummarizeStockList(text.text, catalogue) : FailedSummary(text.error));
        if (!summaries.back().ok) {
            allRead = false;
            Error(list.path + ": " + summaries.back().error);
        }
    }
    CJsonWriter doc;
    BeginJsonDocument(doc, "stock");
    doc.Key("ok").Bool(allRead).Key("folder").String(folder).Key("lists").BeginArray();
    std::string table;
    for (std::size_t i = 0; i < lists.size(); ++i) {
        const StockList& list = lists[i];
        const StockSummary& summary = summaries[i];
        doc.BeginObject().Key("name").String(list.name).Key("title").String(list.title);
        doc.Key("title_zh").String(list.titleZh).Key("path").String(list.path);
        doc.Key("ok").Bool(summary.ok).Key("channels").Int(summary.channels);
        doc.Key("refused").Int(summary.refused).Key("receive_only").Int(summary.receiveOnly);
        doc.Key("fits").BeginArray();
        for (const std::string& type : summary.FittingTypes())
            doc.String(type);
        doc.EndArray().Key("types").BeginArray();
        for (const StockSummary::Fit& fit : summary.types)
            doc.BeginObject().Key("type").String(fit.type).Key("channels").Int(fit.channels).EndObject();
        doc.EndArray().Key("comments").BeginArray();
        for (const std::string& line : list.comments)
            doc.String(line);
        doc.EndArray().EndObject();
        table += "  " + PadRight(ForTerminal(list.name), 18) + " " + PadRight(std::to_string(summary.channels), 4) +
                 " " + PadRight(ForTerminal(FitText(summary)), 14) + " " +
                 ForTerminal(chinese ? list.titleZh : list.title) + "\n";
    }
    doc.EndArray().EndObject();
    if (json) {
        PrintJson(doc);
    } else {
        std::cout << Tr("stock lists in ", "常用频道表，位于 ") << ForTerminal(folder) << ":\n"
                  << "  " << PadRight(Tr("NAME", "名称"), 18) << " " << PadRight(Tr("CH.", "频道"), 4) << " "
                  << PadRight(Tr("FITS", "适用机型"), 14) << " " << Tr("TITLE", "标题") << "\n"
                  << table
                  << Tr("\"progtool import --stock NAME FILE.dat\" imports one; its comments say where it comes\n"
                        "from and what a licence allows (see the file).\n",
                        "\"progtool import --stock 名称 FILE.dat\" "
                        "导入其中之一；文件开头的注释说明其来源和发射所需的执照。\n");
    }
    return allRead ? kExitOk : kExitFailed;
}

}  // namespace cli
