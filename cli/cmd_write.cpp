#include <cstdio>
#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/Interrupt.h"
#include "cli/Output.h"
#include "cli/Transfers.h"
#include "core/app/Globals.h"
#include "core/link/Protocol.h"
#include "core/link/TransferText.h"
#include "core/link/Verify.h"

namespace cli {

int CmdWrite(const std::vector<std::string>& argv)
{
    if (IsFleetCommand(argv))
        return CmdFleet(true, argv);
    // Its fleet-only options never get here: IsFleetCommand sent them to the fleet.
    const Args args(argv, "write");
    args.RequirePositional(1, "FILE.dat");
    const std::string port = args.Value("--port");
    if (port.empty())
        throw UsageError(Tr("--port PORT is required", "需要 --port PORT"));
    const int retries = args.IntValue("--retries", 0, 0, 1000);
    SetUpLanguage(args);
    const std::string& path = args.Positional()[0];
    Image image{};
    if (!LoadImageFile(path, image, ImageUse::Send, args.Has("--force")) || !StartTrace(args, {path}, {port}))
        return kExitFailed;
    // The write and its read-back go to the device resolved once.
    const ResolvedPort resolved = ResolvePort(port);
    // Over the write and its verify: a signal between the two stops the
    // verify at once instead of being forgotten.
    const CInterruptGuard interrupt;
    if (!RunTransfer(true, resolved, image, retries))
        return kExitFailed;
    std::cout << Tr("wrote ", "已将 ") << ForTerminal(path) << Tr(" to the radio on ", " 写入电台, 端口 ")
              << ForTerminal(port) << "\n";
    if (!args.Has("--verify"))
        return kExitOk;

    Image back{};
    Note(Tr("verifying: reading the radio back", "校验: 回读电台数据"));
    if (!RunTransfer(false, resolved, back, retries)) {
        Error(Tr("verify: the read-back failed; ", "校验: 回读失败; ") +
              WriteCompletedText(port, g_bChinese != 0).piece);
        return kExitFailed;
    }
    const int written = proto::kLastWriteAddress + proto::kLastWriteSize;  // 0x1FF6
    const std::vector<WriteDifference> bad = CompareWrittenImage(image, back, g_bChinese != 0);
    const std::vector<ByteRange> unsent = DifferingRanges(image, back, written, static_cast<int>(kImageSize));
    for (const ByteRange& r : unsent)
        std::cout << Tr("verify: ", "校验: ") << ByteRangeText(r)
                  << Tr(" differs: not written (the radio keeps its own bytes there)\n",
                        " 不同: 不会写入 (电台在此保留自己的字节)\n");
    if (!bad.empty()) {
        for (const WriteDifference& d : bad)
            Error(Tr("verify: ", "校验: ") + d.where + Tr(" differs from ", " 不同于 ") + path + " (" +
                  AddressRangesText(d.ranges) + ")");
        Error(Tr("verify failed: ", "校验失败: ") + std::to_string(bad.size()) +
              Tr(" differing item(s) on ", " 处不同, 端口 ") + port);
        return kExitFailed;
    }
    std::cout << Tr("verify: ", "校验: ") << ByteRangeText({0, written - 1}) << Tr(" match ", " 与 ")
              << ForTerminal(path) << Tr("", " 一致") << "\n";
    return kExitOk;
}

}  // namespace cli
