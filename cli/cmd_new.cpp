#include <filesystem>
#include <iostream>

#include "cli/Common.h"
#include "core/platform/Files.h"

namespace cli {

int CmdNew(const std::vector<std::string>& argv)
{
    const Args args(argv, {}, {"--force"});
    args.RequirePositional(1, "FILE.dat");
    const std::string& path = args.Positional()[0];
    RefuseStdoutDash(path, "new");
    std::error_code ec;
    // Unlike the window's Save, a script that names the wrong file must not lose it.
    if (!args.Has("--force") && std::filesystem::exists(platform::PathOf(path), ec)) {
        Error(path + ": the file exists (use --force to replace it)");
        return kExitFailed;
    }
    if (!SaveImageFile(path, NewDocumentImage()))
        return kExitFailed;
    std::cout << "wrote a new document's image to " << ForTerminal(path) << "\n";
    return kExitOk;
}

}  // namespace cli
