#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/Output.h"
#include "core/app/DisplayText.h"
#include "core/link/Trace.h"

namespace cli {

int CmdTrace(const std::vector<std::string>& argv)
{
    const Args args(argv, "trace");
    args.RequirePositional(1, Tr("TRACE FILE", "TRACE 文件"));
    SetUpLanguage(args);
    const std::string& path = args.Positional()[0];
    std::string text;
    if (!ReadTextFile(path, text))
        return kExitFailed;
    std::string error;
    if (!WriteDecodedTrace(text, std::cout, error)) {
        Error(path + ": " + EscapeControlBytes(error));
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace cli
