#include <cstdio>
#include <iostream>

#include "cli/Common.h"
#include "cli/Interrupt.h"
#include "core/app/Globals.h"
#include "core/link/Protocol.h"
#include "core/link/Verify.h"

namespace cli {

int CmdWrite(const std::vector<std::string>& argv)
{
    if (IsFleetCommand(argv))
        return CmdFleet(true, argv);
    const Args args(argv, {"--port", "--retries", "--trace", "--lang"}, {"--verify", "--force"});
    args.RequirePositional(1, "FILE.dat");
    const std::string port = args.Value("--port");
    if (port.empty())
        throw UsageError("--port PORT is required");
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
    std::cout << "wrote " << ForTerminal(path) << " to the radio on " << ForTerminal(port) << "\n";
    if (!args.Has("--verify"))
        return kExitOk;

    Image back{};
    Note("verifying: reading the radio back");
    if (!RunTransfer(false, resolved, back, retries)) {
        Error("verify: the read-back failed; the write itself completed");
        return kExitFailed;
    }
    const int written = proto::kLastWriteAddress + proto::kLastWriteSize;  // 0x1FF6
    const std::vector<WriteDifference> bad = CompareWrittenImage(image, back, g_bChinese != 0);
    const std::vector<ByteRange> unsent = DifferingRanges(image, back, written, static_cast<int>(kImageSize));
    for (const ByteRange& r : unsent)
        std::cout << "verify: " << ByteRangeText(r) << " differs: not written (the radio keeps its own bytes there)\n";
    if (!bad.empty()) {
        for (const WriteDifference& d : bad)
            Error("verify: " + d.where + " differs from " + path + " (" + AddressRangesText(d.ranges) + ")");
        Error("verify failed: " + std::to_string(bad.size()) + " differing item(s) on " + port);
        return kExitFailed;
    }
    std::cout << "verify: " << ByteRangeText({0, written - 1}) << " match " << ForTerminal(path) << "\n";
    return kExitOk;
}

}  // namespace cli
