#include <iostream>
#ifndef PROG_NO_PRINT
#include <QtGlobal>
#endif

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/Output.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/link/SupportReport.h"
#include "core/platform/Files.h"

namespace cli {

namespace {

bool EndsWithDat(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == ".dat";
}

}  // namespace

int CmdSupportReport(const std::vector<std::string>& argv)
{
    const Args args(argv, "support-report");
    args.RequirePositional(0, "");
    SetUpLanguage(args);
    const bool json = args.Has("--json"), force = args.Has("--force");
    const std::string out = args.Has("-o") ? args.Value("-o") : args.Value("--output");
    const bool toFile = args.Has("-o") || args.Has("--output");
    const std::string include = args.Value("--include-document");
    if (toFile && out.empty())
        throw UsageError(Tr("-o \"\": no file named", "-o \"\": 未指定文件"));
    if (toFile) {
        SetRunWork(RunWork::Effect);
        std::vector<std::string> inputs = SupportReportInputs(&theIniFile);
        if (args.Has("--include-document"))
            inputs.insert(inputs.begin(), include);
        if (!CheckOutput(out, inputs, FileKind::Text, force))
            return kExitFailed;
        // A report replaces nothing by surprise: an earlier report may be the one a bug cites.
        if (!force && platform::LinkInfo(out).type != platform::FileType::None) {
            Error(out +
                  Tr(" exists; --force replaces it; nothing was written", " 已存在; --force 可替换它; 未写入任何内容"));
            return kExitFailed;
        }
    }
    // Only a radio image: any other file named by mistake would be taken for one.
    if (args.Has("--include-document") && !EndsWithDat(include)) {
        Error(include + Tr(": --include-document takes a radio image (FILE.dat); nothing was written",
                           ": --include-document 只接受电台映像 (FILE.dat); 未写入任何内容"));
        return kExitFailed;
    }
    ChannelDocument doc;
    if (args.Has("--include-document") && !LoadDocument(include, doc))
        return kExitFailed;

    SupportFacts facts;
    facts.program = "progtool";
#ifndef PROG_NO_PRINT
    facts.qt = qVersion();  // the Qt Gui its print draws with
#endif
    facts.chinese = g_bChinese != 0;
    facts.ini = &theIniFile;
    if (args.Has("--include-document")) {
        facts.document = &doc;
        facts.documentName = include;
    }
    const std::vector<SupportSection> sections = BuildSupportReport(facts);
    const std::string text = SupportReportText(sections);
    if (toFile && !WriteOutput(out, text))
        return kExitFailed;

    if (json) {
        CJsonWriter doc;
        BeginJsonDocument(doc, "support-report");
        doc.Key("ok").Bool(true).Key("output");
        toFile ? doc.String(out) : doc.Null();
        doc.Key("document");
        args.Has("--include-document") ? doc.String(include) : doc.Null();
        doc.Key("sections").BeginArray();
        for (const SupportSection& s : sections)
            doc.BeginObject()
                .Key("key")
                .String(s.key)
                .Key("title")
                .String(s.title)
                .Key("text")
                .String(s.text)
                .EndObject();
        doc.EndArray().EndObject();
        PrintJson(doc);
        return kExitOk;
    }
    if (!toFile) {
        std::cout << text;
        return kExitOk;
    }
    std::string titles;
    for (const SupportSection& s : sections)
        titles += (titles.empty() ? "" : Tr(", ", "、")) + s.title;
    std::cout << Tr("support report written to ", "支持报告已写入 ") << ForTerminal(out) << "\n"
              << Tr("sections: ", "内容: ") << titles << "\n";
    return kExitOk;
}

}  // namespace cli
