#include <filesystem>
#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/Output.h"
#include "core/platform/Files.h"

namespace cli {

int CmdNew(const std::vector<std::string>& argv)
{
    const Args args(argv, "new");
    args.RequirePositional(1, "FILE.dat");
    SetUpLanguage(args);
    const std::string& path = args.Positional()[0];
    RefuseStdoutDash(path, "new");
    std::error_code ec;
    // Unlike the window's Save, a script that names the wrong file must not lose it.
    if (!args.Has("--force") && std::filesystem::exists(platform::PathOf(path), ec)) {
        Error(path + Tr(": the file exists (use --force to replace it)", ": 文件已存在 (用 --force 替换)"));
        return kExitFailed;
    }
    if (!SaveImageFile(path, NewDocumentImage()))
        return kExitFailed;
    std::cout << Tr("wrote a new document's image to ", "已将新文档的映像写入 ") << ForTerminal(path) << "\n";
    return kExitOk;
}

}  // namespace cli
