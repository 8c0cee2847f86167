#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/Interrupt.h"
#include "cli/Output.h"
#include "cli/ReadBackup.h"
#include "cli/Transfers.h"
#include "core/link/PortName.h"

namespace cli {

int CmdRead(const std::vector<std::string>& argv)
{
    if (IsFleetCommand(argv))
        return CmdFleet(false, argv);
    // --force replaces an existing file that holds no radio image (or, into a
    // directory, any existing PORT.dat).
    // Its fleet-only options never get here: IsFleetCommand sent them to the fleet.
    const Args args(argv, "read");
    args.RequirePositional(0, "");
    const std::string port = args.Value("--port");
    const std::string out = args.Has("-o") ? args.Value("-o") : args.Value("--output");
    if (port.empty())
        throw UsageError(Tr("--port PORT is required", "需要 --port PORT"));
    if (out.empty())
        throw UsageError(Tr("-o FILE.dat is required", "需要 -o FILE.dat"));
    const int retries = args.IntValue("--retries", 0, 0, 1000);
    SetUpLanguage(args);
    // Before the transfer: a read is not thrown away for want of a place to keep
    // it, nor does it replace a file of another kind unasked.
    if (!CheckOutput(out, {}, FileKind::Binary, args.Has("--force"), Tr("; nothing was read", "; 未读取")) ||
        !RefuseExistingRead(out, args.Has("--force")))
        return kExitFailed;
    if (!StartTrace(args, {out}, {port}))
        return kExitFailed;
    Image image{};
    // From the transfer to the last save: a signal once the memory is read
    // lets the backup and the file be saved whole, then fails the run.
    const CInterruptGuard interrupt;
    if (!RunTransfer(false, ResolvePort(port), image, retries)) {
        Note(out + Tr(" was not written", " 未写入"));
        return kExitFailed;
    }
    const bool backedUp = SaveReadBackup(args, port, image);
    // Exactly the bytes the radio sent, and only after all of them arrived.
    if (!SaveImageFile(out, image))
        return kExitFailed;
    std::cout << Tr("saved 8192 bytes to ", "已保存 8192 字节到 ") << ForTerminal(out) << "\n";
    if (!backedUp) {
        Error(Tr("the read is saved in ", "读取的数据已保存在 ") + out +
              Tr(", but no backup of it was kept", ", 但没有保存它的备份"));
        return kExitFailed;
    }
    if (Interrupted()) {
        Error(Tr("interrupted after the read; it is saved in ", "读取后被中断; 数据已保存在 ") + out);
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace cli
