#include <iostream>

#include "cli/Common.h"
#include "core/app/DisplayText.h"
#include "core/app/Globals.h"
#include "core/radio/CsvChannels.h"

namespace cli {

CsvFormat ParseFormat(const std::string& text);

int CmdImport(const std::vector<std::string>& argv)
{
    const Args args(argv, {"--format", "--lang"}, {"--skip-bad"});
    args.RequirePositional(2, "IN.csv and FILE.dat");
    const CsvFormat format = ParseFormat(args.Value("--format"));
    SetUpLanguage(args);
    const std::string& csvPath = args.Positional()[0];
    const std::string& datPath = args.Positional()[1];
    std::string text;
    if (!ReadTextFile(csvPath, text))
        return kExitFailed;
    Image image{};
    if (!LoadImageFile(datPath, image)) {
        Note("(import writes into an existing file; \"progtool new " + datPath + "\" makes one)");
        return kExitFailed;
    }
    // The file's own edit ranges decide which frequencies are accepted, as in the window.
    ChannelDocument doc;
    doc.Open(image, g_bChinese != 0);
    const ImportReport rep = ImportCsv(text, format, doc.grid, false);
    if (!rep.ok) {
        Error(csvPath + ": " + EscapeControlBytes(rep.error));
        return kExitFailed;
    }
    for (const ImportIssue& issue : rep.issues)
        std::cerr << csvPath << ":" << issue.line << ": " << (issue.rejected ? "rejected: " : "changed: ")
                  << EscapeControlBytes(issue.reason) << "\n";
    if (rep.rejected > 0 && !args.Has("--skip-bad")) {
        Error(csvPath + ": " + std::to_string(rep.rejected) + " row(s) rejected; " + datPath +
              " is unchanged (--skip-bad imports the other rows)");
        return kExitFailed;
    }
    if (const DatResult saved = doc.Save(datPath); !saved.ok) {
        Error(saved.error);
        return kExitFailed;
    }
    std::cout << "imported " << rep.channels << " channel(s) into " << datPath;
    if (rep.rejected > 0)
        std::cout << ", " << rep.rejected << " rejected row(s) left out";
    std::cout << "\n";
    return kExitOk;
}

}  // namespace cli
