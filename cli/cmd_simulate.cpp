#include <climits>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/Output.h"
#include "core/link/SimulatedRadio.h"
#include "core/platform/Console.h"

namespace cli {

namespace {

int FrameNumber(const std::string& kind, const std::string& at)
{
    char* end = nullptr;
    const long n = std::strtol(at.c_str(), &end, 10);
    if (at.empty() || *end != '\0' || n < 0 || n > 100000)
        throw UsageError("--fault " + kind + Tr("@N needs a number N, not \"", "@N 需要一个数字 N, 而不是 \"") + at +
                         "\"");
    return static_cast<int>(n);
}

void AddFault(RadioFaults& f, const std::string& faultText)
{
    const auto at = faultText.find('@');
    const std::string kind = faultText.substr(0, at);
    const bool hasAt = at != std::string::npos;
    const std::string arg = hasAt ? faultText.substr(at + 1) : std::string();
    auto needs = [&](bool withFrame) {
        if (withFrame != hasAt)
            throw UsageError("--fault " + kind +
                             (withFrame ? Tr(" needs @N", " 需要 @N") : Tr(" takes no @N", " 不带 @N")));
    };
    if (kind == "silent") {
        needs(false);
        f.silent = true;
    } else if (kind == "echo") {
        needs(false);
        f.echo = true;
    } else if (kind == "no-entry-ack") {
        needs(false);
        f.ignoreEntryCodes = INT_MAX;
    } else if (kind == "no-ident") {
        needs(false);
        f.noIdent = true;
    } else if (kind == "no-final-ack") {
        needs(false);
        f.missingFinalAcks = INT_MAX;
    } else if (kind == "garbage") {
        needs(false);
        f.garbage = true;
    } else if (kind == "random-headers") {
        needs(false);
        f.randomHeaders = true;
    } else if (kind == "short-reply") {
        needs(true);
        f.shortReplyAtFrame = FrameNumber(kind, arg);
    } else if (kind == "wrong-ack") {
        needs(true);
        f.wrongAckAtFrame = FrameNumber(kind, arg);
    } else if (kind == "missing-ack") {
        needs(true);
        f.missingAckAtFrame = FrameNumber(kind, arg);
    } else if (kind == "drop") {
        needs(true);
        f.dropAtFrame = FrameNumber(kind, arg);
    } else if (kind == "lose-write") {
        needs(true);
        f.loseWriteAtFrame = FrameNumber(kind, arg);
    } else if (kind == "slow") {
        needs(true);
        f.replyDelayMs = FrameNumber(kind, arg);
    } else {
        throw UsageError(Tr("unknown fault \"", "未知故障 \"") + kind + "\"");
    }
}

}  // namespace

int CmdSimulate(const std::vector<std::string>& argv)
{
    const Args args(argv, "simulate");
    args.RequirePositional(0, "");
    RadioFaults faults;
    for (const std::string& faultText : args.Values("--fault"))
        AddFault(faults, faultText);
    SetUpLanguage(args);
    // Where the memory is saved at the stop is checked now, not found at the stop.
    if (args.Has("--save") && !CheckOutput(args.Value("--save"), {}, FileKind::Binary, args.Has("--force"),
                                           Tr("; the simulated radio was not started", "; 模拟电台未启动")))
        return kExitFailed;

    CSimulatedRadio radio;
    if (args.Has("--image")) {
        Image image{};
        if (!LoadImageFile(args.Value("--image"), image))
            return kExitFailed;
        radio.SetMemory(image);
    } else {
        radio.SetMemory(NewDocumentImage());
    }
    radio.SetFaults(faults);
    radio.SetPaced(args.Has("--pace"));
    std::string error;
    if (!radio.OpenPty(&error)) {
        Error(Tr("cannot create a pseudo-terminal: ", "无法创建伪终端: ") + error);
        return kExitFailed;
    }

    // The requests to stop and to save are taken by WaitServeRequest below, so
    // the serving thread must not see them; held before the link appears, so
    // that a stop sent as soon as it exists is not lost.
    HoldServeRequests();

    namespace fs = std::filesystem;
    const std::string link = args.Value("--link");
    if (!link.empty()) {
        std::error_code ec;
        // Only a link an earlier simulated radio left behind is replaced: one to
        // a pseudo-terminal that is gone. Any other file or link is the user's.
        if (fs::is_symlink(fs::symlink_status(link, ec))) {
            const fs::path to = fs::read_symlink(link, ec);
            if (ec || to.parent_path() != "/dev/pts" || fs::exists(fs::symlink_status(to, ec))) {
                Error(link + Tr(": exists and is not a link left by a simulated radio (to a pseudo-terminal that is "
                                "gone); not replaced",
                                ": 已存在, 且不是模拟电台留下的链接 (指向已不存在的伪终端); 未替换"));
                return kExitFailed;
            }
            fs::remove(link, ec);
        } else if (fs::exists(fs::symlink_status(link, ec))) {
            Error(link + Tr(": exists and is no symbolic link; not replaced", ": 已存在, 且不是符号链接; 未替换"));
            return kExitFailed;
        }
        fs::create_symlink(radio.SlavePath(), link, ec);
        if (ec) {
            Error(link + ": " + ec.message());
            return kExitFailed;
        }
    }

    radio.Start();

    std::cout << radio.SlavePath() << std::endl;
    std::cerr << Tr("simulated radio on ", "模拟电台在 ") << radio.SlavePath()
              << (link.empty() ? "" : Tr(" (link ", " (链接 ") + link + ")")
              << (args.Has("--pace") ? Tr(", paced at 9600 baud", ", 以 9600 波特率运行") : "")
              << Tr("; Ctrl+C stops it", "; 按 Ctrl+C 停止") << std::endl;

    const std::string save = args.Value("--save");
    int status = kExitOk;
    while (WaitServeRequest() == ServeRequest::Save) {
        if (!save.empty()) {
            if (radio.SaveDat(save, &error))
                std::cerr << Tr("saved the radio's memory to ", "已将电台数据保存到 ") << save << std::endl;
            else
                Error(error);
        }
    }
    radio.Stop();
    if (!save.empty()) {
        if (radio.SaveDat(save, &error)) {
            std::cerr << Tr("saved the radio's memory to ", "已将电台数据保存到 ") << save << std::endl;
        } else {
            Error(error);
            status = kExitFailed;
        }
    }
    if (!link.empty()) {
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(link, ec)) && fs::read_symlink(link, ec) == radio.SlavePath())
            fs::remove(link, ec);
    }
    return status;
}

}  // namespace cli
