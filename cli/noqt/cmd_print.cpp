// print in a build without Qt (Windows): the report is drawn with Qt Gui, which
// this build does not have, so the command fails plainly instead.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/Output.h"

namespace cli {

int CmdPrint(const std::vector<std::string>& argv)
{
    // The message in the language asked for (--lang, else Program.ini's).
    const Args args(argv, "print");
    SetUpLanguage(args);
    Error(
        Tr("print: this build of progtool cannot print (it has no Qt to draw the report); "
           "print with the window program or the Linux progtool",
           "print: 此版本的 progtool 不能打印 (没有用于绘制报表的 Qt); 请用窗口程序或 Linux 版 progtool 打印"));
    return kExitFailed;
}

}  // namespace cli
