// read and write with several ports at once (--port P1 --port P2, --ports),
// --watch, and the outputs scripts read (--json, --progress=json, --quiet).
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <set>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/FleetCommand.h"
#include "cli/FleetText.h"
#include "cli/Interrupt.h"
#include "cli/Output.h"
#include "cli/ReadBackup.h"
#include "cli/TransferTrace.h"
#include "cli/Transfers.h"
#include "core/app/Globals.h"
#include "core/app/SupportState.h"
#include "core/link/SerialPort.h"
#include "core/link/TransferText.h"
#include "core/link/Trace.h"
#include "core/platform/Console.h"
#include "core/platform/Files.h"
#include "core/radio/DatFile.h"

namespace cli {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

}  // namespace

int CFleetCommand::BackupFailures() const
{
    int n = 0;
    for (const auto& entry : m_backups)
        n += !entry.second.error.empty();
    return n;
}

void CFleetCommand::TellRemoved() const
{
    for (const auto& entry : m_backups)
        TellRemovedBackups(entry.second.saved);
}

std::string CFleetCommand::KeptTrace(int radio) const
{
    const std::lock_guard<std::mutex> hold(m_keptLock);
    const auto it = m_keptTraces.find(radio);
    return it == m_keptTraces.end() ? std::string() : it->second;
}

std::string CFleetCommand::OutputOf(const std::string& port) const
{
    for (const Target& t : m_targets)
        if (t.name == port)
            return t.output;
    return {};
}

void CFleetCommand::Monitor(CFleet& fleet)
{
    m_shownPhase.assign(m_targets.size(), FleetPhase::Waiting);
    m_shownPercent.assign(m_targets.size(), -1);
    const bool log = !m_bQuiet && !m_bJsonProgress && !m_bTable;
    auto lastProgress = Clock::now() - std::chrono::seconds(1);
    for (;;) {
        const bool finished = fleet.WaitFor(std::chrono::milliseconds(100));
        if (Interrupted() && !fleet.CancelRequested()) {
            m_bInterrupted = true;
            fleet.Cancel();
            if (!m_bQuiet && !m_bJsonProgress)
                Note(Tr("stopping every transfer ...", "正在停止所有传输 ..."));
            m_nTableLines = 0;  // the note moved the cursor: draw the table afresh
        }
        if (!m_bOutputLost && OutputLost()) {
            // Nobody reads the rest: the transfers running finish (a radio is
            // never left half written for want of a reader); watching ends.
            m_bOutputLost = true;
            if (m_bWatch)
                fleet.StopWatching();
        }
        const auto states = fleet.States();
        const auto jobs = fleet.Jobs();
        if (m_bOutputLost)
            ;  // nothing more to show
        else if (m_bTable)
            DrawTable(states, static_cast<int>(jobs.size()));
        else if (log)
            LogChanges(states, jobs);
        else if (m_bJsonProgress && (finished || Clock::now() - lastProgress >= std::chrono::milliseconds(200))) {
            lastProgress = Clock::now();
            ProgressLines(states, jobs, false);
        }
        if (finished)
            break;
    }
    fleet.Join();
}

int CFleetCommand::Summary(const CFleet& fleet)
{
    std::vector<FleetJob> jobs = fleet.Jobs();
    std::sort(jobs.begin(), jobs.end(), [](const FleetJob& a, const FleetJob& b) { return a.radio < b.radio; });
    int ok = 0, failed = 0, cancelled = 0;
    std::vector<std::string> partly;
    for (const FleetJob& j : jobs) {
        if (j.Succeeded())
            ++ok;
        else if (j.outcome == FleetOutcome::Cancelled)
            ++cancelled;
        else
            ++failed;
        if (j.partlyWritten)
            partly.push_back(RadioName(j, m_bWatch));
    }
    // Watching ends only by Ctrl+C; any other run needs every port's job.
    // A skipped port is a radio not served; a lost trace fails the command too.
    // A read whose backup could not be kept too.
    const bool done = failed == 0 && cancelled == 0 && m_skipped.empty() && m_strTraceLost.empty() &&
                      BackupFailures() == 0 && (m_bWatch || !m_bInterrupted) &&
                      (m_bWatch || static_cast<int>(jobs.size()) == static_cast<int>(m_targets.size()));
    m_bOutputLost = m_bOutputLost || OutputLost();
    const int status = StatusAfterOutput(done ? kExitOk : kExitFailed);

    if (m_bJson) {
        std::string error;
        auto note = [&](const std::string& what) { error += (error.empty() ? "" : "; ") + what; };
        auto count = [&](int n, const char* en, const char* zh) {
            if (n > 0)
                note(std::to_string(n) + Tr(en, zh));
        };
        count(failed, " failed", " 个失败");
        count(cancelled, " cancelled", " 个取消");
        count(static_cast<int>(m_skipped.size()), " skipped (busy)", " 个跳过（被占用）");
        count(BackupFailures(), " backup(s) not kept", " 个备份未能保存");
        if (!m_strTraceLost.empty())
            note(Tr("the serial trace is incomplete", "串口记录不完整"));
        if (m_bInterrupted && !m_bWatch && cancelled == 0)
            note(Tr("interrupted", "已中断"));
        if (m_bOutputLost)
            note(Tr("output could not be written", "输出无法写入"));
        if (error.empty())
            error = Tr("exit status ", "退出状态 ") + std::to_string(status);
        JsonSummary(jobs, ok, failed, cancelled, partly, status, error);
        return status;
    }

    for (const FleetJob& j : jobs) {
        std::string line = JobLine(j, m_nRetries, m_strFile, j.Succeeded() ? OutputOf(j.port) : "");
        if (const auto b = m_backups.find(j.port); j.Succeeded() && b != m_backups.end())
            line += b->second.error.empty() ? Tr("; backup: ", "; 备份: ") + b->second.path : "; " + b->second.error;
        if (!m_bQuiet)
            std::cout << (m_bWatch ? Tr("radio ", "电台 ") + std::to_string(j.radio) + ": " : "") << ForTerminal(line)
                      << "\n";
        else if (!j.Succeeded())
            Error(line);
    }
    for (const Target& t : m_skipped) {
        const std::string line =
            Where(t.name, t.device) + Tr(": skipped, busy: ", ": 已跳过, 被占用: ") + m_skipReasons[t.name];
        if (m_bQuiet)
            Note(line);
        else
            std::cout << ForTerminal(line) << "\n";
    }
    if (m_bQuiet)
        return status;
    std::cout << jobs.size() << Tr(" radio(s): ", " 台电台: ") << ok << Tr(" succeeded", " 成功");
    if (failed)
        std::cout << ", " << failed << Tr(" failed", " 失败");
    if (cancelled)
        std::cout << ", " << cancelled << Tr(" cancelled", " 取消");
    if (!m_skipped.empty())
        std::cout << ", " << m_skipped.size() << Tr(" skipped", " 跳过");
    if (const int lost = BackupFailures())
        std::cout << ", " << lost << Tr(" backup(s) not kept", " 个备份未保存");
    std::cout << "\n";
    if (m_bInterrupted) {
        std::cout << Tr("interrupted: ", "已中断: ");
        if (!m_bWrite)
            std::cout << Tr("no partial file was written\n", "未写入不完整的文件\n");
        else {
            std::vector<std::string> shown;
            for (const std::string& name : partly)
                shown.push_back(ForTerminal(name));
            std::cout << PartlyWrittenSummary(shown, g_bChinese != 0) << "\n";
        }
    }
    std::cout << std::flush;
    return status;
}

void CFleetCommand::TracePorts(FleetOptions& options, const std::string& header, std::ostream* file)
{
    options.makePort = [header, file] {
        return std::make_unique<CTransferTracePort>(std::make_unique<CSerialPort>(), file,
                                                    std::vector<std::string>{header});
    };
    options.jobEnded = [this](const FleetJob& job, ISerialPort& port) {
        // Each radio's result is kept for a support report; the last one ended stays.
        RecordTransferResult(m_bWrite, Where(job.port, job.device), job.Succeeded(),
                             job.Succeeded() ? std::string() : JobProblem(job, m_nRetries, m_strFile));
        const auto* traced = dynamic_cast<const CTransferTracePort*>(&port);
        if (!traced || job.outcome != FleetOutcome::Failed || !HandshakeFailed(job.transfer))
            return;
        // One kept trace for the machine: ports failing at once take turns.
        const std::lock_guard<std::mutex> hold(m_keptLock);
        m_keptTraces[job.radio] = KeepHandshakeTrace(traced->Text());
    };
}

int CFleetCommand::Run()
{
    m_bWatch = m_args.Has("--watch");
    m_bVerify = m_args.Has("--verify");
    m_bJson = m_args.Has("--json");
    m_bQuiet = m_args.Has("--quiet");
    const std::string progress = m_args.Value("--progress", "auto");
    if (progress != "auto" && progress != "json")
        throw UsageError(Tr("--progress takes json, not \"", "--progress 只接受 json, 而不是 \"") + progress + "\"");
    m_bJsonProgress = progress == "json";
    if (m_bQuiet && m_bJsonProgress)
        throw UsageError(
            Tr("--quiet and --progress=json exclude each other", "--quiet 和 --progress=json 不能同时使用"));
    m_nRetries = m_args.IntValue("--retries", 0, 0, 1000);
    if (m_bWrite) {
        m_args.RequirePositional(1, "FILE.dat");
        m_strFile = m_args.Positional()[0];
    } else {
        m_args.RequirePositional(0, "");
        m_strFile = m_args.Has("-o") ? m_args.Value("-o") : m_args.Value("--output");
        if (m_strFile.empty())
            throw UsageError(Tr("-o DIR is required: each port's memory is saved there as PORT.dat",
                                "需要 -o DIR: 每个端口的数据保存在那里, 名为 PORT.dat"));
        if (m_bWatch)
            throw UsageError(
                Tr("--watch programs radios: it goes with write", "--watch 用于写入电台: 只与 write 一起使用"));
    }
    SetUpLanguage(m_args);

    FleetOptions options;
    options.write = m_bWrite;
    options.verify = m_bVerify;
    options.chinese = g_bChinese != 0;
    options.retries = m_nRetries;
    options.watch = m_bWatch;
    if (m_bWrite && !LoadImageFile(m_strFile, options.image, ImageUse::Send, m_args.Has("--force")))
        return kExitFailed;
    if (!ResolvePorts())
        return kExitFailed;
    if (m_args.Has("--trace") && m_targets.size() != 1)
        throw UsageError(Tr("--trace records the traffic of one port: give it with a single --port",
                            "--trace 只记录一个端口的通信: 请只给一个 --port"));
    if (!m_bWrite && !CheckOutputs())
        return kExitFailed;
    m_bBackup = !m_bWrite && !m_args.Has("--no-backup");
    if (!m_bWrite)
        options.saveRead = [this](const FleetJob& job, const Image& memory) {
            // Only a whole memory arrives here; the file appears atomically.
            const DatResult r = SaveDatFile(OutputOf(job.port), memory);
            if (r.ok && m_bBackup) {
                // A backup that could not be kept fails the run; the read's file stays saved.
                const ReadBackup b = BackUpRead(job.port, memory);
                const std::lock_guard<std::mutex> hold(m_backupLock);
                m_backups[job.port] =
                    b.ok
                        ? Backup{b.path, {}, b}
                        : Backup{
                              {}, Tr("the backup in ", "备份到 ") + b.folder + Tr(" failed: ", " 失败: ") + b.error, b};
            }
            return r.ok ? std::string() : r.error;
        };
    // Every port traces into memory (with --trace, one port, into the file
    // too): a failed handshake's record is kept for a support report.
    std::string header = std::string("progtool ") + (m_bWrite ? "write" : "read");
    std::ostream* file = nullptr;
    if (m_args.Has("--trace")) {
        std::vector<std::string> files{m_strFile};
        if (!m_bWrite)
            files = {m_targets.front().output};
        if (!StartTrace(m_args, files, {m_targets.front().name}))
            return kExitFailed;
        header += (m_bWrite ? " to " : " from ") + m_targets.front().name;
        file = &TraceStream();
    }
    TracePorts(options, header, file);

    const std::vector<ResolvedPort> ports(m_targets.begin(), m_targets.end());
    m_bTable = !m_bQuiet && !m_bJsonProgress && TakesControlSequences(StdStream::Err);
    // Ctrl+C, SIGTERM and SIGHUP become a cancel of every engine (Monitor).
    const CInterruptGuard interrupt;
    CFleet fleet(ports, options);
    fleet.Start();
    Monitor(fleet);
    TellRemoved();
    for (const auto& [port, backup] : m_backups)
        if (!backup.error.empty())
            Error(port + ": " + backup.error + Tr("; the read itself is saved in ", "; 读取的数据已保存到 ") +
                  OutputOf(port));
    m_strTraceLost = EndTrace();
    // Each failed handshake replaced the one kept trace: the last is there.
    std::string kept;
    for (const FleetJob& j : fleet.Jobs())
        if (const std::string path = KeptTrace(j.radio); !path.empty())
            kept = path;
    if (!kept.empty())
        Note(KeptTraceNote(kept));
    return Summary(fleet);
}

bool IsFleetCommand(const std::vector<std::string>& argv)
{
    int ports = 0;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        const std::string name = a.substr(0, a.find('='));
        if (name == "--port")
            ++ports;
        for (const char* fleetOnly : {"--ports", "--watch", "--json", "--quiet", "--progress", "--skip-busy"})
            if (name == fleetOnly)
                return true;
        // A read into a directory: one file per port.
        if ((a == "-o" || a == "--output") && i + 1 < argv.size()) {
            std::error_code ec;
            const std::string& out = argv[i + 1];
            if (fs::is_directory(platform::PathOf(out), ec) || (!out.empty() && out.back() == '/'))
                return true;
        }
        if (name == "--output" && a.size() > name.size()) {
            std::error_code ec;
            const std::string out = a.substr(name.size() + 1);
            if (fs::is_directory(platform::PathOf(out), ec) || (!out.empty() && out.back() == '/'))
                return true;
        }
    }
    return ports > 1;
}

int CmdFleet(bool write, const std::vector<std::string>& argv)
{
    const Args args(argv, write ? "write" : "read");
    CFleetCommand command(write, args);
    return command.Run();
}

}  // namespace cli
