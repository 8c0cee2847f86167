// progtool audit: a fleet read (with backups, as read keeps them) compared with
// a plan, radio by radio in diff's words; --reconcile then writes and verifies
// each radio that differs, through the same fleet.
#include <algorithm>
#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/DiffOutput.h"
#include "cli/FileChecks.h"
#include "cli/FleetCommand.h"
#include "cli/FleetText.h"
#include "cli/Interrupt.h"
#include "cli/Output.h"
#include "cli/ReadBackup.h"
#include "cli/TransferTrace.h"
#include "core/app/Globals.h"
#include "core/link/TransferText.h"
#include "core/platform/Console.h"
#include "core/platform/Files.h"
#include "core/platform/Paths.h"

namespace cli {

namespace {

enum class Reconcile { None, Channels, All };

// One radio of the audit: what its read found and what the reconcile did.
struct AuditRadio {
    FleetJob read;
    bool compared = false;  // read whole: `diff` holds plan -> radio
    ImageDiff diff;
    Image memory{};
    Image sent{};             // the image a reconcile sends it
    bool needsWrite = false;  // that image differs from the radio in the bytes a write sends
    std::string notWritten;   // why a radio that needed a write was not written
    bool hasWrite = false;
    FleetJob write;
    ImageDiff left;  // channels mode: what of the plan's channels it still lacks
    bool Matches() const { return compared && diff.Equal(); }
    bool Reconciled(Reconcile mode) const
    {
        return mode != Reconcile::None && compared && notWritten.empty() &&
               (!needsWrite || (hasWrite && write.outcome == FleetOutcome::Verified));
    }
};

const char* ModeKey(Reconcile m) { return m == Reconcile::Channels ? "channels" : "all"; }

}  // namespace

int CFleetCommand::RunAudit()
{
    m_bAudit = true;
    m_bJson = m_args.Has("--json");
    m_nRetries = m_args.IntValue("--retries", 0, 0, 1000);
    m_args.RequirePositional(0, "");
    SetUpLanguage(m_args);
    const std::string plan = m_args.Value("--plan");
    if (plan.empty())
        throw UsageError(Tr("--plan PLAN.dat is required: the image every radio should hold",
                            "需要 --plan PLAN.dat: 每台电台应有的数据"));
    RefuseStdoutDash(plan, "--plan");
    Reconcile mode = Reconcile::None;
    if (m_args.Has("--reconcile")) {
        const std::string m = m_args.Value("--reconcile");
        if (m != "channels" && m != "all")
            throw UsageError(
                Tr("--reconcile takes channels or all, not \"", "--reconcile 只接受 channels 或 all, 而不是 \"") + m +
                "\"");
        mode = m == "channels" ? Reconcile::Channels : Reconcile::All;
        SetRunWork(RunWork::Effect);  // radios are programmed: the report only tells it
    }
    m_strBackupDir = m_args.Value("--backup-dir");
    if (m_args.Has("--backup-dir")) {
        if (m_strBackupDir.empty())
            throw UsageError(Tr("--backup-dir \"\": no folder named", "--backup-dir \"\": 未指定文件夹"));
        RefuseStdoutDash(m_strBackupDir, "--backup-dir");
    }
    // The window's folder is always pruned of the program's own old backups;
    // a folder the user named only when asked.
    m_bPrune = m_args.Has("--prune");
    if (m_bPrune && m_strBackupDir.empty())
        throw UsageError(Tr("--prune goes with --backup-dir: the window's backup folder is pruned anyway",
                            "--prune 须与 --backup-dir 一起使用: 窗口的备份文件夹总会被清理"));

    // Before any radio is touched: the plan is a whole image, the backups have a folder.
    Image planImage{};
    if (!LoadImageFile(plan, planImage, ImageUse::Send, m_args.Has("--force"))) {
        Error(Tr("nothing was started", "未开始任何传输"));
        return kExitFailed;
    }
    if (!m_strBackupDir.empty()) {
        const platform::FileInfo info = platform::Info(m_strBackupDir);
        std::string why;
        if (info.type != platform::FileType::None && info.type != platform::FileType::Directory)
            why = Tr(": not a folder", ": 不是文件夹");
        else if (info.type == platform::FileType::Directory && !platform::FolderWritable(m_strBackupDir, why))
            why = Tr(": the folder is not writable", ": 文件夹不可写");
        if (!why.empty()) {
            Error("--backup-dir " + m_strBackupDir + why + Tr("; nothing was started", "; 未开始任何传输"));
            return kExitFailed;
        }
    }
    if (!ResolvePorts())
        return kExitFailed;
    m_strFile = plan;

    // Ctrl+C, SIGTERM and SIGHUP over both phases: one between them writes nothing.
    const CInterruptGuard interrupt;
    const std::vector<ResolvedPort> ports(m_targets.begin(), m_targets.end());
    m_bTable = TakesControlSequences(StdStream::Err);
    const bool zh = g_bChinese != 0;

    FleetOptions reading;
    reading.write = false;
    reading.chinese = zh;
    reading.retries = m_nRetries;
    const int radios = static_cast<int>(m_targets.size());
    reading.saveRead = [this, radios](const FleetJob& job, const Image& memory) {
        const ReadBackup b = BackUpRead(job.port, memory, {m_strBackupDir, radios, m_bPrune});
        const std::lock_guard<std::mutex> hold(m_backupLock);
        m_memories[job.port] = memory;
        m_backups[job.port] =
            b.ok ? Backup{b.path, {}, b}
                 : Backup{{}, Tr("the backup in ", "备份到 ") + b.folder + Tr(" failed: ", " 失败: ") + b.error, b};
        return std::string();
    };
    TracePorts(reading, "progtool audit", nullptr);
    std::vector<AuditRadio> audit;
    {
        CFleet fleet(ports, reading);
        fleet.Start();
        Monitor(fleet);
        TellRemoved();
        std::vector<FleetJob> jobs = fleet.Jobs();
        std::sort(jobs.begin(), jobs.end(), [](const FleetJob& a, const FleetJob& b) { return a.radio < b.radio; });
        for (const FleetJob& j : jobs) {
            AuditRadio r;
            r.read = j;
            if (const auto it = m_memories.find(j.port); j.Succeeded() && it != m_memories.end()) {
                r.compared = true;
                r.memory = it->second;
                r.diff = DiffWithPlan(planImage, r.memory, zh);
            }
            audit.push_back(std::move(r));
        }
    }
    m_bInterrupted = m_bInterrupted || Interrupted();
    // The write fleet numbers its radios afresh: each read's kept trace is set aside.
    std::map<int, std::string> kept;
    {
        const std::lock_guard<std::mutex> hold(m_keptLock);
        kept.swap(m_keptTraces);
    }

    // The reconcile: each differing radio's image, written and verified by a second fleet.
    std::vector<ResolvedPort> writePorts;
    FleetOptions writing;
    if (mode != Reconcile::None) {
        for (AuditRadio& r : audit) {
            if (!r.compared || r.Matches())
                continue;
            r.sent = mode == Reconcile::All ? planImage : WithChannelsOf(r.memory, planImage);
            r.needsWrite = !DifferingRanges(r.sent, r.memory, 0, mem::kWriteEnd).empty();
            if (!r.needsWrite)
                continue;
            if (!m_backups[r.read.port].error.empty())
                r.notWritten = Tr("no backup of its memory was kept", "未能保存其数据的备份");
            else if (m_bInterrupted)
                r.notWritten = Tr("interrupted before the write", "写入前已中断");
            if (!r.notWritten.empty())
                continue;
            for (const Target& t : m_targets)
                if (t.name == r.read.port)
                    writePorts.push_back(t);
            writing.images.push_back(r.sent);
            // Written only while the port still holds the radio read (and backed up) there.
            writing.expected.push_back(r.memory);
        }
    }

    // The audit's report, before any write starts.
    auto radioLine = [&](const AuditRadio& r) {
        std::string line = Where(r.read.port, r.read.device) + ": ";
        if (!r.compared)
            return JobLine(r.read, m_nRetries, plan, "");
        line += r.Matches() ? Tr("matches the plan", "与计划一致") : Tr("differs from the plan", "与计划不同");
        const Backup& b = m_backups[r.read.port];
        line += b.error.empty() ? Tr(" (backup: ", " (备份: ") + b.path + ")" : "; " + b.error;
        return line;
    };
    int matched = 0, differing = 0, failed = 0;
    for (const AuditRadio& r : audit)
        (r.Matches() ? matched : r.compared ? differing : failed) += 1;
    failed += radios - static_cast<int>(audit.size());  // never started (interrupted at once)
    const std::string counts = std::to_string(audit.size() + m_skipped.size()) + Tr(" radio(s): ", " 台电台: ") +
                               std::to_string(matched) + Tr(" match, ", " 台一致, ") + std::to_string(differing) +
                               Tr(" differ, ", " 台不同, ") + std::to_string(failed) + Tr(" failed", " 台失败");
    if (!m_bJson) {
        for (const AuditRadio& r : audit) {
            std::cout << ForTerminal(radioLine(r)) << "\n";
            if (r.compared && !r.Matches())
                for (const std::string& l : DiffLines(planImage, r.memory, r.diff, zh))
                    std::cout << "  " << ForTerminal(l) << "\n";
        }
        for (const Target& t : m_skipped)
            std::cout << ForTerminal(Where(t.name, t.device) + Tr(": skipped, busy: ", ": 已跳过, 被占用: ") +
                                     m_skipReasons[t.name])
                      << "\n";
        std::cout << counts;
        if (!m_skipped.empty())
            std::cout << ", " << m_skipped.size() << Tr(" skipped", " 台跳过");
        if (const int lost = BackupFailures())
            std::cout << ", " << lost << Tr(" backup(s) not kept", " 个备份未保存");
        std::cout << "\n" << std::flush;
    }

    // Not after an interrupt: nothing is written once the user asked to stop.
    if (!writePorts.empty() && !Interrupted()) {
        if (!m_bJson)
            Note(std::to_string(writePorts.size()) +
                 (mode == Reconcile::All ? Tr(" radio(s) to reconcile: writing the plan whole, with verify",
                                              " 台电台需要同步: 写入整个计划并校验")
                                         : Tr(" radio(s) to reconcile: writing the plan's channels and band limits "
                                              "into each radio's own memory, with verify",
                                              " 台电台需要同步: 将计划的信道和频段范围写入各电台自身数据并校验")));
        m_bWrite = m_bVerify = true;
        m_strFile = mode == Reconcile::All
                        ? plan
                        : std::string(Tr("its own memory with the plan's channels", "其自身数据加计划的信道"));
        writing.write = true;
        writing.verify = true;
        writing.chinese = zh;
        writing.retries = m_nRetries;
        TracePorts(writing, "progtool audit --reconcile", nullptr);
        m_nShownJobs = 0;
        m_nTableLines = 0;
        CFleet fleet(writePorts, writing);
        fleet.Start();
        Monitor(fleet);
        for (const FleetJob& j : fleet.Jobs())
            for (AuditRadio& r : audit)
                if (r.read.port == j.port) {
                    r.hasWrite = true;
                    r.write = j;
                    r.write.radio = r.read.radio;  // the audit's number, as its read has it
                    if (const std::string path = KeptTrace(j.radio); !path.empty())
                        kept[r.read.radio] = path;
                }
    } else if (!writePorts.empty()) {
        m_bInterrupted = true;
        for (AuditRadio& r : audit)
            if (r.needsWrite && r.notWritten.empty())
                r.notWritten = Tr("interrupted before the write", "写入前已中断");
    }
    m_bInterrupted = m_bInterrupted || Interrupted();
    {
        const std::lock_guard<std::mutex> hold(m_keptLock);
        m_keptTraces = kept;
    }
    if (!kept.empty())
        Note(KeptTraceNote(kept.rbegin()->second));
    // A radio written without reaching the write (cancelled before its turn) was not written.
    for (AuditRadio& r : audit)
        if (r.needsWrite && r.notWritten.empty() && !r.hasWrite)
            r.notWritten = Tr("interrupted before the write", "写入前已中断");
    // The one place a channels reconcile cannot reach: channel 106's name shares
    // its first bytes with the radio's selected band record.
    for (AuditRadio& r : audit)
        if (mode == Reconcile::Channels && !r.Matches() && r.Reconciled(mode)) {
            r.left = DiffImages(planImage, r.sent, zh);
            r.left.options.clear();
            r.left.otherBytes.clear();
            r.left.modelB = r.left.modelA;
        }

    int reconciled = 0, written = 0, writeFailed = 0;
    std::vector<std::string> partlyNames;
    for (const AuditRadio& r : audit) {
        if (!r.compared || r.Matches() || mode == Reconcile::None)
            continue;
        (r.Reconciled(mode) ? reconciled : writeFailed) += 1;
        written += r.Reconciled(mode) && r.needsWrite;
        if (r.hasWrite && r.write.partlyWritten)
            partlyNames.push_back(Where(r.write.port, r.write.device));
    }
    const bool allGood = failed == 0 && m_skipped.empty() && BackupFailures() == 0 && !m_bInterrupted &&
                         m_strTraceLost.empty() && (mode == Reconcile::None ? differing == 0 : writeFailed == 0);
    m_bOutputLost = m_bOutputLost || OutputLost();
    const int status = StatusAfterOutput(allGood ? kExitOk : kExitFailed);

    if (m_bJson) {
        CJsonWriter json;
        BeginJsonDocument(json, "audit");
        json.Key("plan").String(plan).Key("language").String(zh ? "zh" : "en").Key("reconcile");
        if (mode == Reconcile::None)
            json.Null();
        else
            json.String(ModeKey(mode));
        json.Key("interrupted").Bool(m_bInterrupted).Key("radios").BeginArray();
        for (const AuditRadio& r : audit) {
            json.BeginObject().Key("radio").Int(r.read.radio).Key("port").String(r.read.port);
            json.Key("device").String(r.read.device).Key("outcome");
            json.String(!r.compared   ? (r.read.outcome == FleetOutcome::Cancelled ? "cancelled" : "failed")
                        : r.Matches() ? "match"
                                      : "differs");
            json.Key("read");
            JsonJob(json, r.read, false);
            json.Key("diff");
            if (r.compared) {
                json.BeginObject();
                JsonDiffFields(json, planImage, r.memory, r.diff, zh);
                json.EndObject();
            } else {
                json.Null();
            }
            json.Key("written").Bool(r.hasWrite && (r.write.inVerify || r.write.partlyWritten));
            json.Key("verified").Bool(r.hasWrite && r.write.outcome == FleetOutcome::Verified);
            json.Key("reconciled").Bool(r.Reconciled(mode) && !r.Matches());
            json.Key("not_written");
            if (r.notWritten.empty())
                json.Null();
            else
                json.String(r.notWritten);
            json.Key("write");
            if (r.hasWrite)
                JsonJob(json, r.write, true);
            else
                json.Null();
            json.Key("channels_left");
            if (r.left.Equal()) {
                json.Null();
            } else {
                json.BeginObject();
                JsonDiffFields(json, planImage, r.sent, r.left, zh);
                json.EndObject();
            }
            json.EndObject();
        }
        json.EndArray();
        JsonSkipped(json);
        json.Key("summary").BeginObject();
        json.Key("radios").Int(static_cast<long long>(audit.size() + m_skipped.size()));
        json.Key("match").Int(matched).Key("differ").Int(differing).Key("failed").Int(failed);
        json.Key("skipped").Int(static_cast<long long>(m_skipped.size())).Key("backups_not_kept").Int(BackupFailures());
        json.Key("reconciled").Int(reconciled).Key("written").Int(written).Key("not_reconciled").Int(writeFailed);
        json.Key("partly_written").BeginArray();
        for (const std::string& p : partlyNames)
            json.String(p);
        json.EndArray().EndObject();
        json.Key("output_lost").Bool(m_bOutputLost).Key("ok").Bool(status == kExitOk).Key("exit_status").Int(status);
        json.Key("error");
        if (status == kExitOk) {
            json.Null();
        } else {
            std::string error;
            auto note = [&](bool when, const std::string& what) {
                if (when)
                    error += (error.empty() ? "" : "; ") + what;
            };
            note(mode == Reconcile::None && differing > 0,
                 std::to_string(differing) + Tr(" differ from the plan", " 台与计划不同"));
            note(failed > 0, std::to_string(failed) + Tr(" failed", " 台失败"));
            note(!m_skipped.empty(), std::to_string(m_skipped.size()) + Tr(" skipped (busy)", " 台跳过（被占用）"));
            note(BackupFailures() > 0, std::to_string(BackupFailures()) + Tr(" backup(s) not kept", " 个备份未能保存"));
            note(writeFailed > 0, std::to_string(writeFailed) + Tr(" not reconciled", " 台未同步"));
            note(m_bInterrupted, Tr("interrupted", "已中断"));
            note(m_bOutputLost, Tr("output could not be written", "输出无法写入"));
            json.String(error.empty() ? Tr("exit status ", "退出状态 ") + std::to_string(status) : error);
        }
        json.EndObject();
        PrintJson(json);
        return status;
    }

    if (mode != Reconcile::None) {
        for (const AuditRadio& r : audit) {
            if (!r.compared || r.Matches())
                continue;
            const std::string where = Where(r.read.port, r.read.device);
            std::string line;
            if (!r.notWritten.empty())
                line = where + Tr(": not written: ", ": 未写入: ") + r.notWritten;
            else if (!r.needsWrite)
                line = where + Tr(": its channels and band limits match the plan; not written",
                                  ": 其信道和频段范围与计划一致; 未写入");
            else if (r.write.outcome == FleetOutcome::Verified)
                line = where + Tr(": reconciled and verified in ", ": 已同步并校验, 用时 ") + Seconds(r.write.seconds);
            else
                line = JobLine(r.write, m_nRetries, m_strFile, "");
            std::cout << ForTerminal(line) << "\n";
            if (!r.left.Equal()) {
                std::cout << "  " << Tr("its channels still differ from the plan's:", "其信道仍与计划不同:") << "\n";
                for (const std::string& l : DiffLines(planImage, r.sent, r.left, zh))
                    std::cout << "    " << ForTerminal(l) << "\n";
            }
        }
        std::cout << Tr("reconcile: ", "同步: ") << written << Tr(" written and verified", " 台已写入并校验");
        if (reconciled > written)
            std::cout << ", " << reconciled - written << Tr(" held the plan's channels already", " 台已有计划的信道");
        if (writeFailed)
            std::cout << ", " << writeFailed << Tr(" not reconciled", " 台未同步");
        std::cout << "\n";
    }
    if (m_bInterrupted) {
        std::cout << Tr("interrupted: ", "已中断: ");
        std::vector<std::string> shown;
        for (const std::string& name : partlyNames)
            shown.push_back(ForTerminal(name));
        std::cout << PartlyWrittenSummary(shown, g_bChinese != 0) << "\n";
    }
    std::cout << std::flush;
    return status;
}

int CmdAudit(const std::vector<std::string>& argv)
{
    const Args args(argv, "audit");
    CFleetCommand command(false, args);
    return command.RunAudit();
}

}  // namespace cli
