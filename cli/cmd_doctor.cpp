// progtool doctor: why the radio does not answer on a port and what to do
// next (the core's connection doctor), and --find: which device the cable is.
#include <algorithm>
#include <chrono>
#include <iostream>
#include <optional>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/Interrupt.h"
#include "cli/Output.h"
#include "cli/Transfers.h"
#include "core/app/DisplayText.h"
#include "core/app/Globals.h"
#include "core/link/Doctor.h"
#include "core/link/Ports.h"
#include "core/link/SerialPort.h"
#include "core/link/Trace.h"
#include "core/platform/Console.h"

namespace cli {

namespace {

bool Chinese() { return g_bChinese != 0; }

// One line on a terminal's stderr, drawn again as the check goes on; nothing
// when stderr is no terminal, as the other commands' progress.
class CProgressLine {
public:
    CProgressLine() : m_bTty(IsTerminal(StdStream::Err)) {}
    ~CProgressLine() { Clear(); }
    void Show(const std::string& text)
    {
        if (!m_bTty)
            return;
        const int width = DisplayWidth(text);
        std::cerr << "\r" << text << std::string(static_cast<std::size_t>(std::max(0, m_nWidth - width)), ' ')
                  << std::flush;
        m_nWidth = width;
    }
    void Clear()
    {
        if (m_nWidth > 0)
            std::cerr << "\r" << std::string(static_cast<std::size_t>(m_nWidth), ' ') << "\r" << std::flush;
        m_nWidth = 0;
    }

private:
    bool m_bTty;
    int m_nWidth = 0;
};

std::string StepProgress(const std::string& port, DoctorStep step, int attempt)
{
    std::string what;
    switch (step) {
    case DoctorStep::Open: what = Tr("opening it", "打开端口"); break;
    case DoctorStep::Holders: what = Tr("other programs using it", "查找占用它的其他程序"); break;
    case DoctorStep::EntryCode: what = Tr("entry code", "进入编程模式的代码"); break;
    case DoctorStep::Identification: what = Tr("identification", "识别码"); break;
    case DoctorStep::ClosingAck: what = Tr("closing acknowledgement", "结束确认"); break;
    }
    if (attempt > 0)
        what += Tr(", attempt ", "，第 ") + std::to_string(attempt) + Tr("", " 次");
    return Tr("checking ", "正在检查 ") + port + ": " + what + " ...";
}

void DeviceJson(CJsonWriter& json, const SerialDevice& d)
{
    json.BeginObject().Key("path").String(d.path).Key("kind").String(PortKindName(d.kind));
    json.Key("target").String(d.target).Key("description").String(d.description).EndObject();
}

std::string DeviceLine(const SerialDevice& d)
{
    return d.path + (d.description.empty() ? "" : "  " + d.description) +
           (d.target != d.path ? "  -> " + d.target : "");
}

// The result's status, the error a JSON document carries, and the document's end.
void EndDocument(CJsonWriter& json, int status, const std::string& error)
{
    json.Key("ok").Bool(status == kExitOk).Key("exit_status").Int(status).Key("error");
    if (error.empty())
        json.Null();
    else
        json.String(error);
    json.EndObject();
    PrintJson(json);
}

// The ports to check: those given, else every serial device present, a
// by-id link and the device it leads to once (named by the link, listed first).
std::vector<ResolvedPort> PortsToCheck(const std::vector<std::string>& given)
{
    if (!given.empty())
        return ResolvePorts(given);
    std::vector<std::string> names;
    for (const SerialDevice& d : ListSerialDevices()) {
        bool again = false;
        for (const std::string& n : names)
            again = again || FindPortNamedTwice(std::vector<std::string>{n, d.path}).has_value();
        if (!again)
            names.push_back(d.path);
    }
    return ResolvePorts(names);
}

int Check(const Args& args, bool json)
{
    const std::vector<std::string>& given = args.Values("--port");
    for (const std::string& p : given)
        if (p.empty())
            throw UsageError(Tr("--port \"\": no port named", "--port \"\": 未指定端口"));
    RefusePortNamedTwice(given);
    const std::vector<ResolvedPort> ports = PortsToCheck(given);
    std::vector<std::string> devices;
    for (const ResolvedPort& p : ports)
        devices.push_back(p.name);
    if (!StartTrace(args, {}, devices))
        return kExitFailed;

    CJsonWriter doc;
    BeginJsonDocument(doc, "doctor");
    doc.Key("mode").String("check").Key("language").String(Chinese() ? "zh" : "en");
    if (ports.empty()) {
        const std::string none = Tr("no serial device is present", "没有任何串口设备");
#ifdef _WIN32
        const std::string advice =
            Tr("plug the programming cable into the computer (a USB cable shows up as a COM "
               "port); \"progtool doctor --find\" names it as it appears",
               "请把数据线插到电脑上（USB 数据线会显示为一个 COM 端口）；"
               "\"progtool doctor --find\" 会在它出现时指出它");
#else
        const std::string advice =
            Tr("plug the programming cable into the computer (a USB cable shows up as /dev/ttyUSB0 or "
               "/dev/ttyACM0); \"progtool doctor --find\" names it as it appears",
               "请把数据线插到电脑上（USB 数据线会显示为 /dev/ttyUSB0 或 /dev/ttyACM0）；"
               "\"progtool doctor --find\" 会在它出现时指出它");
#endif
        if (json) {
            doc.Key("ports").BeginArray().EndArray().Key("not_checked").BeginArray().EndArray();
            doc.Key("interrupted").Bool(false).Key("advice").String(advice);
            EndDocument(doc, kExitFailed, none);
        } else {
            std::cout << ForTerminal(none) << "\n" << ForTerminal(advice) << "\n";
        }
        return kExitFailed;
    }

    std::vector<DoctorReport> reports;
    std::vector<std::string> notChecked;
    bool interrupted = false;
    {
        // Ctrl+C, SIGTERM or SIGHUP end the check at its next step, the port closed.
        const CInterruptGuard interrupt;
        CProgressLine progress;
        for (const ResolvedPort& port : ports) {
            if (interrupted || Interrupted()) {
                interrupted = true;
                notChecked.push_back(port.name);
                continue;
            }
            CSerialPort serial;
            std::optional<CTracingPort> traced;
            if (args.Has("--trace"))
                traced.emplace(serial, TraceStream(),
                               std::vector<std::string>{"progtool doctor on " + port.description});
            DoctorOptions options;
            options.cancelled = [] { return Interrupted(); };
            options.stepStarted = [&](DoctorStep step, int attempt) {
                progress.Show(ForTerminal(StepProgress(port.name, step, attempt)));
            };
            DoctorReport report = RunDoctor(port, traced ? static_cast<ISerialPort&>(*traced) : serial, options);
            traced.reset();
            progress.Clear();
            if (report.cancelled) {
                interrupted = true;
                // Stopped before a byte went out: nothing to tell of this port.
                // After that, what ran is told (the radio may have taken the code).
                if (report.attempts == 0) {
                    notChecked.push_back(port.name);
                    continue;
                }
            }
            if (!json) {
                std::string block = DoctorTextBlock(report, Chinese());
                if (!block.empty() && block.back() != '\n')
                    block += '\n';
                std::cout << (reports.empty() ? "" : "\n") << ForTerminal(block) << std::flush;
            }
            reports.push_back(std::move(report));
        }
    }

    std::vector<std::string> answering;
    for (const DoctorReport& r : reports)
        if (r.verdict == DoctorVerdict::Answers)
            answering.push_back(r.port.name);
    std::string error;
    if (interrupted) {
        error = Tr("interrupted", "已中断");
        for (std::size_t i = 0; i < notChecked.size(); ++i)
            error += (i ? ", " : Tr(": not checked: ", "，未检查: ")) + notChecked[i];
    } else if (answering.size() != reports.size()) {
        error = std::to_string(reports.size() - answering.size()) +
                Tr(" port(s) without a radio answering", " 个端口没有电台应答");
    }
    // A trace asked for and lost fails the check, told in the document too.
    if (const std::string lost = EndTrace(); !lost.empty())
        error += (error.empty() ? "" : "; ") + std::string(Tr("the serial trace is incomplete", "串口记录不完整"));
    const int status = error.empty() ? kExitOk : kExitFailed;

    if (json) {
        doc.Key("ports").BeginArray();
        for (const DoctorReport& r : reports)
            DoctorJson(doc, r, Chinese());
        doc.EndArray().Key("not_checked").BeginArray();
        for (const std::string& n : notChecked)
            doc.String(n);
        doc.EndArray().Key("interrupted").Bool(interrupted);
        EndDocument(doc, status, error);
        return status;
    }
    if (interrupted)
        Error(error);
    if (reports.size() > 1) {
        std::string summary = std::to_string(reports.size()) + Tr(" ports checked; ", " 个端口已检查；");
        if (answering.empty())
            summary += Tr("no radio answers on any of them", "没有电台应答");
        else
            for (std::size_t i = 0; i < answering.size(); ++i)
                summary += (i ? ", " : Tr("a radio answers on ", "电台应答的端口: ")) + answering[i];
        std::cout << "\n" << ForTerminal(summary) << "\n";
    }
    return status;
}

int Find(const Args& args, bool json)
{
    const int seconds = args.IntValue("--timeout", 60, 1, 86400);
    // Told on stdout; with --json, stdout holds only the document, so on stderr.
    std::ostream& say = json ? std::cerr : std::cout;
    PortScan scan;
    scan.probe = false;
    const CInterruptGuard interrupt;
    const std::vector<SerialDevice> present = ListSerialDevices(scan);
    say << Tr("unplug the cable now if it is plugged in; then plug it in", "如果数据线已插上，请现在拔下；然后再插上")
        << "\n"
        << (present.empty() ? Tr("no serial device is present now", "现在没有任何串口设备")
                            : Tr("serial devices present now:", "现有串口设备:"))
        << "\n";
    for (const SerialDevice& d : present)
        say << "  " << ForTerminal(DeviceLine(d)) << "\n";
    say << Tr("waiting up to ", "最多等待 ") << seconds << Tr(" s (Ctrl+C stops) ...", " 秒（按 Ctrl+C 停止）...")
        << "\n"
        << std::flush;

    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> toldNotSerial;
    const FindResult result = FindCable(
        scan, std::chrono::seconds(seconds), [] { return Interrupted(); },
        [&](const CCableFinder::Change& change) {
            for (const SerialDevice& d : change.gone)
                say << ForTerminal(d.path) << Tr(" went away: now plug the cable in", " 已移除：现在请插上数据线")
                    << "\n"
                    << std::flush;
            // Told once each: a change repeats what stays.
            for (const SerialDevice& d : change.notSerial)
                if (std::find(toldNotSerial.begin(), toldNotSerial.end(), d.path) == toldNotSerial.end()) {
                    toldNotSerial.push_back(d.path);
                    say << ForTerminal(d.path)
                        << Tr(" appeared, but is not a serial device: not the cable; still waiting",
                              " 出现了，但不是串口设备：不是数据线；继续等待")
                        << "\n"
                        << std::flush;
                }
        });
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::string text = FindResultText(result, Chinese());
    const bool found = result.end == FindEnd::Found;
    const std::string port = found ? ShellWord(result.device.path) : std::string();
    const int status = found ? kExitOk : kExitFailed;

    if (json) {
        CJsonWriter doc;
        BeginJsonDocument(doc, "doctor");
        doc.Key("mode").String("find").Key("language").String(Chinese() ? "zh" : "en");
        doc.Key("result").String(found ? "found" : result.end == FindEnd::Cancelled ? "cancelled" : "timed-out");
        doc.Key("present").BeginArray();
        for (const SerialDevice& d : present)
            DeviceJson(doc, d);
        doc.EndArray().Key("gone").BeginArray();
        for (const SerialDevice& d : result.gone)
            DeviceJson(doc, d);
        doc.EndArray().Key("not_serial").BeginArray();
        for (const SerialDevice& d : result.notSerial)
            DeviceJson(doc, d);
        doc.EndArray().Key("device");
        if (found)
            DeviceJson(doc, result.device);
        else
            doc.Null();
        doc.Key("port");
        if (found)
            doc.String(result.device.path);
        else
            doc.Null();
        doc.Key("seconds").Number(waited, 2).Key("text").String(text);
        EndDocument(doc, status, found ? std::string() : text);
        return status;
    }
    if (!found) {
        Error(text);
        return status;
    }
    std::cout << ForTerminal(text) << "\n"
              << Tr("use it with: progtool read --port ", "这样使用它: progtool read --port ") << ForTerminal(port)
              << " -o radio.dat\n"
              << Tr("or check it first: progtool doctor --port ", "或先检查它: progtool doctor --port ")
              << ForTerminal(port) << "\n";
    return status;
}

}  // namespace

int CmdDoctor(const std::vector<std::string>& argv)
{
    const Args args(argv, "doctor");
    args.RequirePositional(0, "");
    SetUpLanguage(args);
    const bool json = args.Has("--json");
    if (args.Has("--find")) {
        if (args.Has("--port"))
            throw UsageError(Tr("--find looks for the cable's port: give it without --port",
                                "--find 用于查找数据线的端口: 请不要同时给出 --port"));
        if (args.Has("--trace"))
            throw UsageError(
                Tr("--trace records the checks of ports, not --find", "--trace 记录的是端口检查, 不用于 --find"));
        return Find(args, json);
    }
    if (args.Has("--timeout"))
        throw UsageError(Tr("--timeout goes with --find", "--timeout 只与 --find 一起使用"));
    return Check(args, json);
}

}  // namespace cli
