#include <cstdlib>
#include <iostream>

#include <QGuiApplication>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/Output.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "report/ReportPrinter.h"

namespace cli {

int CmdPrint(const std::vector<std::string>& argv)
{
    const Args args(argv, "print");
    args.RequirePositional(1, "FILE.dat");
    const std::string pdf = args.Value("--pdf");
    if (pdf.empty())
        throw UsageError(Tr("--pdf OUT.pdf is required", "需要 --pdf OUT.pdf"));
    SetUpLanguage(args);
    const std::string& path = args.Positional()[0];
    if (!CheckOutput(pdf, {path}, FileKind::Pdf, args.Has("--force")))
        return kExitFailed;
    ChannelDocument doc;
    if (!LoadDocument(path, doc))
        return kExitFailed;

        // The only command that needs Qt: fonts and the PDF writer, no display
        // (Windows' own platform needs none).
#ifndef _WIN32
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    int qtArgc = 1;
    char name[] = "progtool";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    const ReportSettings settings = ReportSettingsFromIni(theIniFile, g_strLanguage, g_bChinese != 0);
    QString error;
    if (!PrintReportToPdf(doc.grid, doc.image, settings, QString::fromStdString(pdf), &error)) {
        Error(pdf + ": " + error.toStdString());
        return kExitFailed;
    }
    std::cout << Tr("printed ", "已将 ") << ForTerminal(path) << Tr(" to ", " 打印到 ") << ForTerminal(pdf) << "\n";
    return kExitOk;
}

}  // namespace cli
