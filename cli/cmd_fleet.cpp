// read and write with several ports at once (--port P1 --port P2, --ports),
// --watch, and the outputs scripts read (--json, --progress=json, --quiet).
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <future>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

#include "cli/Common.h"
#include "cli/Interrupt.h"
#include "cli/Output.h"
#include "core/app/Globals.h"
#include "core/link/Fleet.h"
#include "core/link/Ports.h"
#include "core/link/SerialPort.h"
#include "core/link/Trace.h"
#include "core/radio/DatFile.h"

namespace cli {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A port of the fleet's own that logs its traffic (--trace with one port).
struct CPosixPortHolder {
    CPosixSerialPort posix;
};
class CTracedPosixPort : private CPosixPortHolder, public CTracingPort {
public:
    CTracedPosixPort(std::ostream& out, const std::string& header)
        : CTracingPort(posix, out, std::vector<std::string>{header})
    {
    }
};

// A port of the command, resolved once: name as given, device after the
// [Ports] mapping.
struct Target : ResolvedPort {
    std::string output;  // read: the file it goes to
};

std::string Seconds(double s)
{
    char t[32];
    std::snprintf(t, sizeof t, "%.1f s", s);
    return t;
}

std::string MinSec(double s)
{
    if (s < 0)
        return "";
    const int n = static_cast<int>(s + 0.5);
    char t[32];
    std::snprintf(t, sizeof t, "%d:%02d", n / 60, n % 60);
    return t;
}

std::string Where(const std::string& name, const std::string& device)
{
    return device.empty() || device == name ? name : name + " (" + device + ")";
}

const char* OutcomeKey(FleetOutcome o)
{
    switch (o) {
    case FleetOutcome::Completed: return "completed";
    case FleetOutcome::Verified: return "verified";
    case FleetOutcome::Failed: return "failed";
    case FleetOutcome::Cancelled: return "cancelled";
    }
    return "";
}

std::string OutcomeWord(FleetOutcome o)
{
    switch (o) {
    case FleetOutcome::Completed: return Tr("completed", "完成");
    case FleetOutcome::Verified: return Tr("verified", "已校验");
    case FleetOutcome::Failed: return Tr("failed", "失败");
    case FleetOutcome::Cancelled: return Tr("cancelled", "已取消");
    }
    return "";
}

// lastFailed: the port's last radio was not programmed (watching).
std::string PhaseWord(FleetPhase p, bool write, bool lastFailed)
{
    switch (p) {
    case FleetPhase::Waiting: return Tr("waiting", "等待");
    case FleetPhase::Handshake: return Tr("handshake", "握手");
    case FleetPhase::Writing: return Tr("writing", "写入");
    case FleetPhase::Verifying: return Tr("verifying", "校验");
    case FleetPhase::Reading: return Tr("reading", "读取");
    case FleetPhase::Done: return Tr("done", "结束");
    case FleetPhase::Absent: return Tr("no radio", "无电台");
    case FleetPhase::Present:
        if (lastFailed)
            return write ? Tr("not programmed; remove the radio to try again", "未写入; 取下电台后重试")
                         : Tr("not read; remove the radio to try again", "未读取; 取下电台后重试");
        return write ? Tr("programmed", "已写入") : Tr("read", "已读取");
    }
    return "";
}

const char* PhaseKey(FleetPhase p)
{
    switch (p) {
    case FleetPhase::Waiting: return "waiting";
    case FleetPhase::Handshake: return "handshake";
    case FleetPhase::Writing: return "writing";
    case FleetPhase::Verifying: return "verifying";
    case FleetPhase::Reading: return "reading";
    case FleetPhase::Done: return "done";
    case FleetPhase::Absent: return "absent";
    case FleetPhase::Present: return "present";
    }
    return "";
}

// A table line that wraps would throw the cursor moves off: cut it at the
// terminal's width (UTF-8 aware, CJK counting two).
std::string FitWidth(const std::string& text, int width)
{
    if (DisplayWidth(text) <= width)
        return text;
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        const std::string ch = text.substr(i, n);
        if (DisplayWidth(out + ch) > width - 1)
            break;
        out += ch;
        i += n;
    }
    return out + "~";
}

int TerminalWidth()
{
    winsize ws{};
    return ioctl(2, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 10 ? ws.ws_col - 1 : 79;
}

int Percent(const FleetPortState& s) { return s.blocksTotal > 0 ? s.blocks * 100 / s.blocksTotal : 0; }

// The message of a job that did not succeed: the string-table text, the
// system's reason, and how far it went.
std::string JobProblem(const FleetJob& j, int, const std::string& file)
{
    const TransferResult& r = j.transfer;
    if (!j.saveError.empty())
        return j.saveError;
    if (!j.mismatches.empty()) {
        std::string t = Tr("the read-back differs from ", "回读数据不同于 ") + file + ":";
        for (std::size_t i = 0; i < j.mismatches.size(); ++i)
            t += (i ? "; " : " ") + j.mismatches[i].where + " (" + AddressRangesText(j.mismatches[i].ranges) + ")";
        return t;
    }
    std::vector<std::string> parts;
    if (j.outcome != FleetOutcome::Cancelled)
        parts.push_back(MessageText(r.messageId) + (r.detail.empty() ? "" : " (" + r.detail + ")"));
    if (!r.dataPhase && r.handshakeFault != HandshakeFault::None && j.outcome == FleetOutcome::Failed)
        parts.push_back(HandshakeFaultText(r, g_bChinese != 0));
    else if (r.dataPhase)
        parts.push_back(Tr("stopped after ", "停止于第 ") + std::to_string(r.frames) + Tr(" of ", " 帧, 共 ") +
                        std::to_string(r.framesTotal) + Tr(" frames", " 帧") +
                        (j.inVerify ? Tr(" of the read-back", " (回读)") : ""));
    else
        parts.push_back(Tr("nothing was transferred", "未传输数据"));
    if (j.inVerify)
        parts.push_back(Tr("the write itself completed", "写入本身已完成"));
    if (j.partlyWritten)
        parts.push_back(Tr("the radio is left partly written", "电台数据只写入了一部分"));
    std::string t;
    for (const std::string& p : parts)
        t += (t.empty() ? "" : "; ") + p;
    return t;
}

std::string JobLine(const FleetJob& j, int retries, const std::string& file, const std::string& output)
{
    std::string t = Where(j.port, j.device) + ": " + OutcomeWord(j.outcome);
    if (j.Succeeded()) {
        t += Tr(" in ", " 用时 ") + Seconds(j.seconds);
        if (!output.empty())
            t += Tr(", saved to ", ", 已保存到 ") + output;
    } else {
        t += ": " + JobProblem(j, retries, file);
    }
    return t;
}

// Which radio a job served: its port; watching, one port serves many radios,
// so the radio's number and the time it was done with come first.
std::string RadioName(const FleetJob& j, bool watch)
{
    if (!watch)
        return Where(j.port, j.device);
    std::tm tm{};
    localtime_r(&j.endedAt, &tm);
    char at[16];
    std::strftime(at, sizeof at, "%H:%M:%S", &tm);
    return g_bChinese ? "电台 " + std::to_string(j.radio) + "（" + Where(j.port, j.device) + "，" + at + "）"
                      : "radio " + std::to_string(j.radio) + " on " + Where(j.port, j.device) + " at " + at;
}

class CFleetCommand {
public:
    CFleetCommand(bool write, const Args& args) : m_bWrite(write), m_args(args) {}
    int Run();

private:
    bool ResolvePorts();
    bool CheckOutputs();
    std::vector<std::string> AllPorts();
    void Monitor(CFleet& fleet);
    void DrawTable(const std::vector<FleetPortState>& states, int jobs);
    void LogChanges(const std::vector<FleetPortState>& states, const std::vector<FleetJob>& jobs);
    void ProgressLines(const std::vector<FleetPortState>& states, const std::vector<FleetJob>& jobs, bool all);
    void JsonJob(CJsonWriter& json, const FleetJob& j);
    int Summary(const CFleet& fleet);
    std::string OutputOf(const std::string& port) const;

    bool m_bWrite;
    const Args& m_args;
    bool m_bWatch = false, m_bVerify = false, m_bJson = false, m_bQuiet = false, m_bJsonProgress = false;
    bool m_bTable = false, m_bInterrupted = false;
    bool m_bSingleFile = false;  // read: one port into the file -o names
    bool m_bOutputLost = false;  // a write to stdout or stderr failed while the fleet ran
    std::string m_strTraceLost;  // why the --trace file could not be written
    // read: the backup of each port's read (its path, or why it was not kept)
    struct Backup {
        std::string path, error;
    };
    bool m_bBackup = false;
    std::mutex m_backupLock;
    std::map<std::string, Backup> m_backups;
    int BackupFailures() const;
    int m_nRetries = 0;
    std::string m_strFile;  // write: the image; read: the output directory (or file)
    std::vector<Target> m_targets;
    std::vector<Target> m_skipped;
    std::map<std::string, std::string> m_skipReasons;
    // What the log and the progress lines last showed.
    std::vector<FleetPhase> m_shownPhase;
    std::vector<int> m_shownPercent;
    std::size_t m_nShownJobs = 0;
    int m_nTableLines = 0;
};

int CFleetCommand::BackupFailures() const
{
    int n = 0;
    for (const auto& entry : m_backups)
        n += !entry.second.error.empty();
    return n;
}

std::string CFleetCommand::OutputOf(const std::string& port) const
{
    for (const Target& t : m_targets)
        if (t.name == port)
            return t.output;
    return {};
}

// Every serial device of the computer and every COMn Program.ini maps to an
// existing device, once each.
std::vector<std::string> CFleetCommand::AllPorts()
{
    std::vector<std::string> names;
    std::set<std::string> seen;
    auto add = [&](const std::string& name, const std::string& device) {
        std::error_code ec;
        const std::string key = fs::weakly_canonical(device, ec).string();
        if (seen.insert(key).second)
            names.push_back(name);
    };
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "COM" + std::to_string(n);
        const std::string device = MapPortName(name);
        std::error_code ec;
        if (fs::exists(device, ec))
            add(name, device);
    }
    for (const SerialDevice& d : ListSerialDevices())
        add(d.path, d.path);
    return names;
}

bool CFleetCommand::ResolvePorts()
{
    std::vector<std::string> names = m_args.Values("--port");
    bool all = false;
    for (const std::string& list : m_args.Values("--ports")) {
        std::stringstream s(list);
        std::string item;
        while (std::getline(s, item, ','))
            if (item == "all")
                all = true;
            else if (!item.empty())
                names.push_back(item);
    }
    if (all) {
        if (!names.empty())
            throw UsageError("--ports all takes no other ports");
        names = AllPorts();
    }
    if (names.empty())
        throw UsageError(all ? Tr("no serial device found for --ports all", "--ports all 未找到串口设备")
                             : "--port PORT (or --ports LIST) is required");
    // A read of one named port into -o FILE stays a read into that file,
    // whatever the options; several ports (or "all") read into a directory.
    if (!m_bWrite && !all && names.size() == 1) {
        std::error_code ec;
        m_bSingleFile = !fs::is_directory(m_strFile, ec) && m_strFile.back() != '/';
    }

    RefusePortNamedTwice(names);
    bool unmapped = false;
    for (const std::string& name : names)
        if (const std::string text = UnmappedComNameText(name, g_bChinese != 0); !text.empty()) {
            Error(text + Tr(" (progtool ports lists them)", " (progtool ports 列出它们)"));
            unmapped = true;
        }
    if (unmapped) {
        Error(Tr("nothing was started", "未开始任何传输"));
        return false;
    }
    for (const ResolvedPort& port : ::ResolvePorts(names))
        m_targets.push_back(Target{port, {}});

    // A watched port may have no radio yet; any other must be there now.
    if (m_bWatch)
        return true;
    std::vector<Target> ready;
    std::vector<std::string> errors;
    for (const Target& t : m_targets) {
        const SerialDevice d = DescribeSerialDevice(t.device);
        const bool busy = d.state == PortState::Busy;
        if (d.Openable()) {
            ready.push_back(t);
        } else if (all) {
            continue;  // "all" asks only the devices that can be opened
        } else if (busy && m_args.Has("--skip-busy")) {
            m_skipped.push_back(t);
            m_skipReasons[t.name] = d.reason;
        } else {
            std::string hint;
            if (busy)
                hint = Tr("; another program holds it (--skip-busy leaves busy ports out)",
                          "; 该端口正被其他程序使用 (用 --skip-busy 跳过被占用的端口)");
            else if (d.state == PortState::Permission)
                hint =
                    Tr("; the user must be allowed to use serial devices (for example be a member of the "
                       "\"dialout\" group)",
                       "; 当前用户没有使用串口设备的权限 (例如需加入 \"dialout\" 组)");
            errors.push_back(Where(t.name, t.device) + ": " + d.reason + hint);
        }
    }
    if (all) {
        // "all" means the devices a radio answers on; ask each at once.
        std::vector<std::future<bool>> answers;
        for (const Target& t : ready)
            answers.push_back(std::async(std::launch::async, [t] {
                CPosixSerialPort port;
                return RadioAnswers(port, t.device);
            }));
        std::vector<Target> answering;
        for (std::size_t i = 0; i < ready.size(); ++i)
            if (answers[i].get())
                answering.push_back(ready[i]);
        if (answering.empty()) {
            Error(Tr("--ports all: no radio answers on any serial device", "--ports all: 没有串口设备上的电台应答"));
            return false;
        }
        ready = answering;
    }
    for (const std::string& e : errors)
        Error(e);
    if (!errors.empty()) {
        Error(Tr("nothing was started", "未开始任何传输"));
        return false;
    }
    if (ready.empty()) {
        Error(Tr("every port is busy; nothing was started", "所有端口都被占用; 未开始任何传输"));
        return false;
    }
    m_targets = ready;
    return true;
}

bool CFleetCommand::CheckOutputs()
{
    // Before any transfer: a read is not thrown away for want of a place to keep it.
    if (m_bSingleFile) {
        m_targets.front().output = m_strFile;
        // As the plain read: no file of another kind replaced unless forced.
        return CheckOutput(m_strFile, {}, FileKind::Binary, m_args.Has("--force"),
                           Tr("; nothing was read", "; 未读取"));
    }
    std::error_code ec;
    if (!fs::is_directory(m_strFile, ec)) {
        Error(m_strFile + Tr(": no such directory; the reads save one file per port into an existing directory",
                             ": 目录不存在; 读取时每个端口保存一个文件到已有的目录"));
        return false;
    }
    if (::access(m_strFile.c_str(), W_OK | X_OK) != 0) {
        Error(m_strFile + Tr(": the directory is not writable", ": 目录不可写"));
        return false;
    }
    // One file per port, named by the port: "COM1.dat", "ttyUSB0.dat"; the
    // whole path when two ports end alike.
    auto clean = [](std::string s) {
        for (char& c : s)
            if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_'))
                c = '_';
        s.erase(0, s.find_first_not_of('_'));
        return s.empty() ? std::string("port") : s;
    };
    std::map<std::string, int> count;
    for (const Target& t : m_targets)
        ++count[clean(fs::path(t.name).filename().string())];
    std::map<std::string, std::string> portOf;  // output file -> the port saved there
    std::vector<std::string> errors;
    for (Target& t : m_targets) {
        std::string base = clean(fs::path(t.name).filename().string());
        if (count[base] > 1)
            base = clean(t.name);
        t.output = (fs::path(m_strFile) / (base + ".dat")).string();
        // Two radios into one file would lose one of them: refused, not renamed,
        // so that DIR/PORT.dat always holds the radio of that port.
        if (const auto it = portOf.find(t.output); it != portOf.end()) {
            errors.push_back(Tr("ports ", "端口 ") + it->second + Tr(" and ", " 和 ") + t.name +
                             Tr(" would both be saved as ", " 都会保存为 ") + t.output +
                             Tr(" (read one of them with -o FILE)", " (请用 -o FILE 单独读取其中一个)"));
            continue;
        }
        portOf[t.output] = t.name;
        struct stat st {};
        if (const DatResult r = CheckSaveTarget(t.output); !r.ok)
            errors.push_back(r.error);
        else if (!m_args.Has("--force") && ::lstat(t.output.c_str(), &st) == 0)
            errors.push_back(t.output +
                             Tr(": the file exists (--force replaces it)", ": 文件已存在 (用 --force 替换)"));
    }
    for (const std::string& e : errors)
        Error(e);
    if (!errors.empty())
        Error(Tr("nothing was read", "未读取"));
    return errors.empty();
}

void CFleetCommand::DrawTable(const std::vector<FleetPortState>& states, int jobs)
{
    int width = 4;
    for (const FleetPortState& s : states)
        width = std::max(width, DisplayWidth(s.port));
    std::vector<std::string> lines;
    if (m_bWatch) {
        int ok = 0, failed = 0;
        for (const FleetPortState& s : states) {
            ok += s.succeeded;
            failed += s.failed;
        }
        lines.push_back(std::string(Tr("radios: ", "电台: ")) + std::to_string(jobs) + "  " +
                        Tr("succeeded ", "成功 ") + std::to_string(ok) + "  " + Tr("failed ", "失败 ") +
                        std::to_string(failed) + Tr("   (Ctrl+C ends)", "   (Ctrl+C 结束)"));
    }
    lines.push_back(PadRight(Tr("PORT", "端口"), width + 2) + PadRight(Tr("STATE", "状态"), 12) + PadRight("%", 6) +
                    PadRight(Tr("RATE", "速率"), 10) + PadRight(Tr("LEFT", "剩余"), 8) + Tr("RESULT", "结果"));
    for (const FleetPortState& s : states) {
        const bool running = s.phase != FleetPhase::Done && s.phase != FleetPhase::Absent &&
                             s.phase != FleetPhase::Present && s.phase != FleetPhase::Waiting;
        const bool lastFailed = s.hasLast && !s.last.Succeeded();
        std::string line = PadRight(s.port, width + 2) + PadRight(PhaseWord(s.phase, m_bWrite, lastFailed), 12);
        char pct[16] = "";
        if (running || s.phase == FleetPhase::Done)
            std::snprintf(pct, sizeof pct, "%3d%%",
                          s.phase == FleetPhase::Done && s.last.Succeeded() ? 100 : Percent(s));
        char rate[24] = "";
        if (s.rate > 0)
            std::snprintf(rate, sizeof rate, "%.0f B/s", s.rate);
        line += PadRight(pct, 6) + PadRight(rate, 10) + PadRight(running ? MinSec(s.secondsLeft) : "", 8);
        if (s.hasLast) {
            std::string result = OutcomeWord(s.last.outcome) + " " + Seconds(s.last.seconds);
            if (!s.last.Succeeded())
                result = OutcomeWord(s.last.outcome) + ": " + JobProblem(s.last, m_nRetries, m_strFile);
            if (m_bWatch)
                result = "#" + std::to_string(s.last.radio) + " " + result;
            line += result;
        }
        lines.push_back(line);
    }
    std::string out;
    if (m_nTableLines > 0)
        out += "\x1b[" + std::to_string(m_nTableLines) + "F";  // back to the table's first line
    const int columns = TerminalWidth();
    for (const std::string& l : lines)
        out += "\x1b[2K" + FitWidth(ForTerminal(l), columns) + "\n";
    std::fputs(out.c_str(), stderr);
    std::fflush(stderr);
    m_nTableLines = static_cast<int>(lines.size());
}

void CFleetCommand::LogChanges(const std::vector<FleetPortState>& states, const std::vector<FleetJob>& jobs)
{
    for (; m_nShownJobs < jobs.size(); ++m_nShownJobs) {
        const FleetJob& j = jobs[m_nShownJobs];
        std::string line = JobLine(j, m_nRetries, m_strFile, j.Succeeded() ? OutputOf(j.port) : "");
        if (m_bWatch) {
            // The running count of a production line.
            const auto ok = std::count_if(jobs.begin(), jobs.begin() + static_cast<std::ptrdiff_t>(m_nShownJobs) + 1,
                                          [](const FleetJob& x) { return x.Succeeded(); });
            line = Tr("radio ", "电台 ") + std::to_string(j.radio) + ": " + line + "  [" + std::to_string(ok) +
                   Tr(" succeeded, ", " 成功, ") + std::to_string(static_cast<long>(m_nShownJobs) + 1 - ok) +
                   Tr(" not]", " 未成功]");
        }
        std::cerr << ForTerminal(line) << std::endl;
    }
    for (std::size_t i = 0; i < states.size(); ++i) {
        const FleetPhase p = states[i].phase;
        if (p == m_shownPhase[i])
            continue;
        m_shownPhase[i] = p;
        if (p == FleetPhase::Done || p == FleetPhase::Waiting)
            continue;  // the job's own line says it
        const bool lastFailed = states[i].hasLast && !states[i].last.Succeeded();
        std::cerr << ForTerminal(states[i].port) << ": " << PhaseWord(p, m_bWrite, lastFailed) << std::endl;
    }
}

void CFleetCommand::JsonJob(CJsonWriter& json, const FleetJob& j)
{
    const TransferResult& r = j.transfer;
    json.BeginObject().Key("radio").Int(j.radio).Key("port").String(j.port).Key("device").String(j.device);
    json.Key("result").String(OutcomeKey(j.outcome)).Key("ok").Bool(j.Succeeded());
    json.Key("stage").String(!m_bWrite ? "read" : j.inVerify ? "verify" : "write");
    json.Key("message_id");
    if (r.messageId != 0 && !j.Succeeded())
        json.Int(r.messageId);
    else
        json.Null();
    json.Key("message").String(j.Succeeded() ? "" : JobProblem(j, m_nRetries, m_strFile));
    json.Key("reason").String(r.detail);
    json.Key("frames").Int(r.frames).Key("frames_total").Int(r.framesTotal);
    if (m_bWrite) {
        json.Key("partly_written").Bool(j.partlyWritten).Key("mismatches").BeginArray();
        for (const WriteDifference& d : j.mismatches)
            json.BeginObject().Key("where").String(d.where).Key("ranges").String(AddressRangesText(d.ranges)).EndObject();
        json.EndArray();
    } else {
        json.Key("output");
        if (j.Succeeded())
            json.String(OutputOf(j.port));
        else
            json.Null();
        // Progress lines ask while other ports' backups are still being kept.
        Backup backup;
        {
            const std::lock_guard<std::mutex> hold(m_backupLock);
            if (const auto it = m_backups.find(j.port); j.Succeeded() && it != m_backups.end())
                backup = it->second;
        }
        json.Key("backup");
        if (backup.path.empty())
            json.Null();
        else
            json.String(backup.path);
        json.Key("backup_error");
        if (backup.error.empty())
            json.Null();
        else
            json.String(backup.error);
    }
    json.Key("seconds").Number(j.seconds, 2).Key("cpu_seconds").Number(j.cpuSeconds, 3).EndObject();
}

void CFleetCommand::ProgressLines(const std::vector<FleetPortState>& states, const std::vector<FleetJob>& jobs,
                                  bool all)
{
    std::string out;
    for (std::size_t i = 0; i < states.size(); ++i) {
        const FleetPortState& s = states[i];
        const int pct = Percent(s);
        if (!all && s.phase == m_shownPhase[i] && pct == m_shownPercent[i])
            continue;
        m_shownPhase[i] = s.phase;
        m_shownPercent[i] = pct;
        CJsonWriter line(0);
        line.BeginObject().Key("schema").Int(kJsonSchema).Key("event").String("progress");
        line.Key("port").String(s.port).Key("state").String(PhaseKey(s.phase));
        // frames: the running transfer's, as in the result; blocks stay for older readers.
        line.Key("frames").Int(s.frames).Key("frames_total").Int(s.framesTotal);
        line.Key("blocks").Int(s.blocks).Key("blocks_total").Int(s.blocksTotal).Key("percent").Int(pct);
        line.Key("rate").Number(s.rate, 0).Key("seconds_left");
        if (s.secondsLeft >= 0)
            line.Number(s.secondsLeft, 1);
        else
            line.Null();
        line.EndObject();
        out += line.Text();
    }
    for (; m_nShownJobs < jobs.size(); ++m_nShownJobs) {
        CJsonWriter line(0);
        line.BeginObject().Key("schema").Int(kJsonSchema).Key("event").String("result").Key("radio");
        JsonJob(line, jobs[m_nShownJobs]);
        line.EndObject();
        out += line.Text();
    }
    std::fputs(out.c_str(), stderr);
    std::fflush(stderr);
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
    const bool success = status == kExitOk;

    if (m_bJson) {
        CJsonWriter json;
        BeginJsonDocument(json, m_bWrite ? "write" : "read");
        json.Key(m_bWrite ? "file" : "directory");
        if (m_bSingleFile)
            json.Null();  // the radio's "output" names the file
        else
            json.String(m_strFile);
        json.Key("verify").Bool(m_bVerify).Key("watch").Bool(m_bWatch).Key("interrupted").Bool(m_bInterrupted);
        json.Key("radios").BeginArray();
        for (const FleetJob& j : jobs)
            JsonJob(json, j);
        json.EndArray().Key("skipped").BeginArray();
        for (const Target& t : m_skipped)
            json.BeginObject()
                .Key("port")
                .String(t.name)
                .Key("device")
                .String(t.device)
                .Key("reason")
                .String(m_skipReasons[t.name])
                .EndObject();
        json.EndArray().Key("summary").BeginObject();
        json.Key("radios").Int(static_cast<long long>(jobs.size())).Key("succeeded").Int(ok).Key("failed").Int(failed);
        json.Key("cancelled").Int(cancelled).Key("skipped").Int(static_cast<long long>(m_skipped.size()));
        json.Key("partly_written").BeginArray();
        for (const std::string& p : partly)
            json.String(p);
        json.EndArray().EndObject();
        json.Key("output_lost").Bool(m_bOutputLost).Key("trace_error");
        if (m_strTraceLost.empty())
            json.Null();
        else
            json.String(m_strTraceLost);
        json.Key("ok").Bool(success).EndObject();
        PrintJson(json);
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
        else if (partly.empty())
            std::cout << Tr("no radio was left partly written\n", "没有电台只写入了一部分\n");
        else {
            std::cout << Tr("left partly written: ", "只写入了一部分: ");
            for (std::size_t i = 0; i < partly.size(); ++i)
                std::cout << (i ? ", " : "") << ForTerminal(partly[i]);
            std::cout << "\n";
        }
    }
    std::cout << std::flush;
    return status;
}

int CFleetCommand::Run()
{
    m_bWatch = m_args.Has("--watch");
    m_bVerify = m_args.Has("--verify");
    m_bJson = m_args.Has("--json");
    m_bQuiet = m_args.Has("--quiet");
    const std::string progress = m_args.Value("--progress", "auto");
    if (progress != "auto" && progress != "json")
        throw UsageError("--progress takes json, not \"" + progress + "\"");
    m_bJsonProgress = progress == "json";
    if (m_bQuiet && m_bJsonProgress)
        throw UsageError("--quiet and --progress=json exclude each other");
    m_nRetries = m_args.IntValue("--retries", 0, 0, 1000);
    if (m_bWrite) {
        m_args.RequirePositional(1, "FILE.dat");
        m_strFile = m_args.Positional()[0];
    } else {
        m_args.RequirePositional(0, "");
        m_strFile = m_args.Has("-o") ? m_args.Value("-o") : m_args.Value("--output");
        if (m_strFile.empty())
            throw UsageError("-o DIR is required: each port's memory is saved there as PORT.dat");
        if (m_bWatch)
            throw UsageError("--watch programs radios: it goes with write");
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
        throw UsageError("--trace records the traffic of one port: give it with a single --port");
    if (!m_bWrite && !CheckOutputs())
        return kExitFailed;
    m_bBackup = !m_bWrite && !m_args.Has("--no-backup");
    if (!m_bWrite)
        options.saveRead = [this](const FleetJob& job, const Image& memory) {
            // Only a whole memory arrives here; the file appears atomically.
            const DatResult r = SaveDatFile(OutputOf(job.port), memory);
            if (r.ok && m_bBackup) {
                // A backup that could not be kept fails the run; the read's file stays saved.
                std::string folder;
                const BackupResult b = BackUpRead(job.port, memory, folder);
                const std::lock_guard<std::mutex> hold(m_backupLock);
                m_backups[job.port] =
                    b.ok ? Backup{b.path, {}}
                         : Backup{{}, Tr("the backup in ", "备份到 ") + folder + Tr(" failed: ", " 失败: ") + b.error};
            }
            return r.ok ? std::string() : r.error;
        };
    if (m_args.Has("--trace")) {
        std::vector<std::string> files{m_strFile};
        if (!m_bWrite)
            files = {m_targets.front().output};
        if (!StartTrace(m_args, files, {m_targets.front().name}))
            return kExitFailed;
        const std::string header = std::string("progtool ") + (m_bWrite ? "write to " : "read from ") +
                                   m_targets.front().name;
        options.makePort = [header] { return std::make_unique<CTracedPosixPort>(TraceStream(), header); };
    }

    const std::vector<ResolvedPort> ports(m_targets.begin(), m_targets.end());
    m_bTable = !m_bQuiet && !m_bJsonProgress && ::isatty(2) != 0;
    // Ctrl+C, SIGTERM and SIGHUP become a cancel of every engine (Monitor).
    const CInterruptGuard interrupt;
    CFleet fleet(ports, options);
    fleet.Start();
    Monitor(fleet);
    for (const auto& [port, backup] : m_backups)
        if (!backup.error.empty())
            Error(port + ": " + backup.error + Tr("; the read itself is saved in ", "; 读取的数据已保存到 ") +
                  OutputOf(port));
    m_strTraceLost = EndTrace();
    return Summary(fleet);
}

}  // namespace

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
            if (fs::is_directory(out, ec) || (!out.empty() && out.back() == '/'))
                return true;
        }
        if (name == "--output" && a.size() > name.size()) {
            std::error_code ec;
            const std::string out = a.substr(name.size() + 1);
            if (fs::is_directory(out, ec) || (!out.empty() && out.back() == '/'))
                return true;
        }
    }
    return ports > 1;
}

int CmdFleet(bool write, const std::vector<std::string>& argv)
{
    const Args args(
        argv,
        write ? std::set<std::string>{"--port", "--ports", "--retries", "--progress", "--lang", "--trace"}
              : std::set<std::string>{"--port", "--ports", "-o", "--output", "--retries", "--progress", "--lang",
                                      "--trace"},
        write ? std::set<std::string>{"--verify", "--watch", "--json", "--quiet", "--skip-busy", "--force"}
              : std::set<std::string>{"--json", "--quiet", "--skip-busy", "--watch", "--no-backup", "--force"});
    CFleetCommand command(write, args);
    return command.Run();
}

}  // namespace cli
