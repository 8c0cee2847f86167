#include "core/link/Doctor.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <thread>

#include "core/app/DisplayText.h"
#include "core/app/JsonWriter.h"
#include "core/link/Handshake.h"
#include "core/link/Protocol.h"
#include "core/link/Trace.h"
#include "core/platform/Files.h"
#include "core/platform/PortList.h"

using namespace proto;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

std::string Hex(const std::vector<std::uint8_t>& bytes) { return HexBytes(bytes); }

// Printable ASCII as it is, every other byte as \xHH: what came over the line
// is no text, and must not drive the user's terminal.
std::string Escaped(const std::vector<std::uint8_t>& bytes)
{
    std::string s;
    char b[5];
    for (std::uint8_t v : bytes) {
        if (v >= 0x20 && v < 0x7F && v != '\\') {
            s += static_cast<char>(v);
        } else {
            std::snprintf(b, sizeof b, "\\x%02X", v);
            s += b;
        }
    }
    return s;
}

std::string HexAndText(const std::vector<std::uint8_t>& bytes) { return Hex(bytes) + " (" + Escaped(bytes) + ")"; }

std::string Ms(double ms)
{
    // A pseudo-terminal answers within microseconds; "0.0 ms" would read as no time at all.
    if (ms < 0.05)
        return "< 0.1 ms";
    char b[32];
    std::snprintf(b, sizeof b, "%.1f ms", ms);
    return b;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

DoctorVerdict OpenVerdict(platform::SerialFault fault)
{
    switch (fault) {
    case platform::SerialFault::Missing:
    case platform::SerialFault::Lost: return DoctorVerdict::NoDevice;
    case platform::SerialFault::Denied: return DoctorVerdict::Denied;
    case platform::SerialFault::Busy: return DoctorVerdict::Busy;
    case platform::SerialFault::NotSerial: return DoctorVerdict::NotSerial;
    case platform::SerialFault::None:
    case platform::SerialFault::Other: break;
    }
    return DoctorVerdict::OpenFailed;
}

// The system's reason from a port's "device: reason\nhint" text.
std::string SystemReason(const std::string& errorText, const std::string& device)
{
    std::string reason = errorText.substr(0, errorText.find('\n'));
    if (StartsWith(reason, device + ": "))
        reason.erase(0, device.size() + 2);
    return reason;
}

// The handshake's steps as a transfer sends them (CHandshakeSender), each
// answer read and timed here.
class CProbe : private IHandshakeHooks {
public:
    CProbe(const ResolvedPort& port, ISerialPort& serial, const DoctorOptions& options, DoctorReport& report)
        : m_port(port), m_serial(serial), m_options(options), m_report(report), m_sender(serial, *this)
    {
    }

    void Run()
    {
        m_report.port = m_port;
        PortScan quick = m_options.scan;
        quick.probe = false;
        m_report.usbDescription = DescribeSerialDevice(m_port.device, quick).description;

        Started(DoctorStep::Open, 0);
        if (!m_serial.Open(m_port.device)) {
            OpenFailed();
            return;
        }
        Step(DoctorStep::Open, 0, true);
        if (Cancelled())
            return;

        Started(DoctorStep::Holders, 0);
        // The open succeeded, so nobody holds a lock; a program that holds the
        // device without one (a terminal program, a modem manager) would take
        // the radio's answers. This process is never among them.
        m_report.holders = m_options.holders ? m_options.holders(m_port.device) : PortHolders(m_port.device);
        m_report.stoppedAt = DoctorStep::Holders;
        Step(DoctorStep::Holders, 0, m_report.holders.empty());
        if (!m_report.holders.empty()) {
            m_report.verdict = DoctorVerdict::Busy;
            return;
        }
        Handshake();
    }

private:
    void Started(DoctorStep step, int attempt)
    {
        if (m_options.stepStarted)
            m_options.stepStarted(step, attempt);
    }

    DoctorStepResult& Step(DoctorStep step, int attempt, bool ok, std::vector<std::uint8_t> sent = {},
                           std::vector<std::uint8_t> received = {}, double ms = 0)
    {
        m_report.steps.push_back({step, attempt, ok, ms, std::move(sent), std::move(received)});
        return m_report.steps.back();
    }

    bool Cancelled()
    {
        if (m_options.cancelled && m_options.cancelled())
            m_report.cancelled = true;
        return m_report.cancelled;
    }

    void Sent(HandshakeStep) override { m_sentAt = Clock::now(); }

    void Sleep(int ms) override
    {
        if (m_options.sleep)
            m_options.sleep(std::chrono::milliseconds(ms));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }

    void OpenFailed()
    {
        const platform::SerialFault fault = m_serial.Fault();
        m_report.verdict = OpenVerdict(fault);
        std::error_code ec;
        if (m_report.verdict == DoctorVerdict::OpenFailed &&
            std::filesystem::is_directory(platform::PathOf(m_port.device), ec))
            m_report.verdict = DoctorVerdict::NotSerial;
        m_report.stoppedAt = DoctorStep::Open;
        m_report.reason = SystemReason(m_serial.ErrorText(), m_port.device);
        Step(DoctorStep::Open, 0, false);
        switch (m_report.verdict) {
        case DoctorVerdict::NoDevice: Present(); break;
        case DoctorVerdict::Denied: {
            const platform::DeviceGroup g = platform::DeviceOwnerGroup(m_port.device);
            m_report.group = g.group;
            m_report.listedInGroup = g.listed;
            m_report.user = g.user;
            break;
        }
        case DoctorVerdict::Busy:
            m_report.holders = m_options.holders ? m_options.holders(m_port.device) : PortHolders(m_port.device);
            break;
        case DoctorVerdict::NotSerial: Present(); break;
        default: break;
        }
    }

    // The devices there are, and which of them came lately (the cable the
    // user just plugged in, under another name than the one tried).
    void Present()
    {
        PortScan quick = m_options.scan;
        quick.probe = false;
        m_report.present = ListSerialDevices(quick);
        for (const SerialDevice& d : m_report.present) {
            const long long age = platform::DeviceAgeSeconds(d.path);
            if (age >= 0 && age <= kRecentSeconds)
                m_report.recent.push_back(d.path);
        }
    }

    // The line vanished while we talked: as good as no device.
    bool Lost()
    {
        if (!m_serial.IsLost())
            return false;
        m_report.verdict = DoctorVerdict::NoDevice;
        m_report.reason = SystemReason(m_serial.ErrorText(), m_port.device);
        Present();
        return true;
    }

    // Reads up to n bytes; false when the line is gone.
    bool Receive(std::size_t n, std::vector<std::uint8_t>& into)
    {
        std::vector<std::uint8_t> buf(n);
        std::size_t got = 0;
        const bool ok = m_serial.Read(buf.data(), n, got);
        into.insert(into.end(), buf.begin(), buf.begin() + static_cast<long>(got));
        return ok || !m_serial.IsLost();
    }

    // One entry code as a transfer sends it; true once it was acknowledged.
    // Sets failed when the check is over (the line vanished).
    bool EntryCode(int attempt, bool& echo, bool& failed)
    {
        ++m_report.attempts;
        const auto entry = CHandshakeSender::EntryCode();
        const std::vector<std::uint8_t> code(entry.begin(), entry.end());
        if (!m_sender.SendEntryCode()) {
            failed = Lost();
            return false;
        }
        const Clock::time_point t0 = m_sentAt;
        m_codeSent = t0;
        std::vector<std::uint8_t> got;
        // Two chances for the first byte, as a transfer gives the radio.
        for (int tries = 0; tries < 2 && got.empty(); ++tries)
            if (!Receive(1, got)) {
                failed = Lost();
                return false;
            }
        const double ms = MsSince(t0);
        bool entered = !got.empty() && got[0] == kAck;
        if (!got.empty() && !entered) {
            // What follows tells an echo from noise; a transfer takes an
            // acknowledgement as the second byte too.
            if (!Receive(31, got)) {
                failed = Lost();
                return false;
            }
            entered = got.size() > 1 && got[1] == kAck;
        }
        if (!entered && !got.empty()) {
            const std::size_t n = std::min(got.size(), code.size());
            echo = got.size() >= 2 && std::equal(got.begin(), got.begin() + static_cast<long>(n), code.begin());
            if (m_report.firstBytes.empty() || (echo && !m_echoSeen))
                m_report.firstBytes.assign(got.begin(),
                                           got.begin() + static_cast<long>(std::min<std::size_t>(got.size(), 32)));
            m_echoSeen = m_echoSeen || echo;
        }
        Step(DoctorStep::EntryCode, attempt, entered, code, got, ms);
        return entered;
    }

    void Handshake()
    {
        bool entered = false, echo = false, answered = false;
        int attempt = 0;
        while (!entered && attempt < std::max(1, m_options.attempts)) {
            if (Cancelled())
                return;
            ++attempt;
            Started(DoctorStep::EntryCode, attempt);
            bool failed = false, echoed = false;
            entered = EntryCode(attempt, echoed, failed);
            if (failed)
                return;
            echo = echo || echoed;
            if (!entered && m_report.steps.back().received.empty()) {
                // A radio that answers after the transfer's time-outs would
                // have its acknowledgement taken for the next attempt's, and
                // the next one for the identification. After the first code
                // nothing answered, listen until kLateListenMs (a read at a
                // time, so that a port answering at once cannot spin), after
                // a later one once more, so that a late answer is told as late
                // with its delay from that first code.
                if (!m_silentSince)
                    m_silentSince = m_codeSent;
                const bool first = attempt == 1;
                const int reads = first ? kLateListenMs / kReadMs + 1 : 1;
                std::vector<std::uint8_t> late;
                for (int i = 0; i < reads && late.empty() && (i == 0 || MsSince(m_codeSent) < kLateListenMs); ++i) {
                    if (i > 0 && Cancelled())
                        return;
                    if (!Receive(1, late)) {
                        Lost();
                        return;
                    }
                }
                DoctorStepResult& step = m_report.steps.back();
                step.received = late;
                if (!late.empty() && late[0] == kAck) {
                    m_report.lateMs = std::max(step.ms, MsSince(*m_silentSince));
                    m_report.verdict = DoctorVerdict::Partial;
                    m_report.stoppedAt = DoctorStep::EntryCode;
                    m_report.powerCycle = true;  // it took the code
                    return;
                }
                if (!late.empty() && m_report.firstBytes.empty())
                    m_report.firstBytes = late;
            }
            if (entered && m_silentSince)
                m_ackAt = m_codeSent + std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::duration<double, std::milli>(m_report.steps.back().ms));
            answered = answered || !m_report.steps.back().received.empty();
            if (!entered)
                m_sender.PauseAfterUnanswered();
        }
        m_report.stoppedAt = DoctorStep::EntryCode;
        if (!entered) {
            m_report.verdict = echo ? DoctorVerdict::Echo : answered ? DoctorVerdict::Garbage : DoctorVerdict::Silent;
            return;
        }

        // The radio is in programming mode from here: a step that fails leaves
        // it there, and only switching it off and on brings it back.
        m_report.verdict = DoctorVerdict::Partial;
        m_report.powerCycle = true;
        if (Cancelled())
            return;
        Started(DoctorStep::Identification, attempt);
        m_report.stoppedAt = DoctorStep::Identification;
        const auto requested = CHandshakeSender::IdentificationRequest();
        const std::vector<std::uint8_t> request(requested.begin(), requested.end());
        if (!m_sender.SendIdentificationRequest()) {
            Lost();
            return;
        }
        Clock::time_point t0 = m_sentAt;
        std::vector<std::uint8_t> ident;
        if (!Receive(kIdentSize, ident)) {
            Lost();
            return;
        }
        const bool strayAcks = !ident.empty() && ident.size() < static_cast<std::size_t>(kIdentSize) &&
                               std::all_of(ident.begin(), ident.end(), [](std::uint8_t b) { return b == kAck; });
        Step(DoctorStep::Identification, attempt, !ident.empty() && !strayAcks, request, ident, MsSince(t0));
        if ((strayAcks || ident.empty()) && m_silentSince) {
            // Codes went unanswered, then an acknowledgement came, and the
            // identification request got none (or the acknowledgement of a
            // later code): the one taken was an earlier code's, late. A radio
            // that only missed a code sends its identification at once.
            m_report.steps[m_report.steps.size() - 2].ok = false;
            m_report.lateMs = std::chrono::duration<double, std::milli>(m_ackAt - *m_silentSince).count();
            m_report.stoppedAt = DoctorStep::EntryCode;
            return;
        }
        if (ident.empty())
            return;
        m_report.identification = ident;

        if (Cancelled())
            return;
        Started(DoctorStep::ClosingAck, attempt);
        m_report.stoppedAt = DoctorStep::ClosingAck;
        if (!m_sender.SendClosingAck()) {
            Lost();
            return;
        }
        t0 = m_sentAt;
        std::vector<std::uint8_t> ack;
        if (!Receive(1, ack)) {
            Lost();
            return;
        }
        const bool ok = ack.size() == 1 && ack[0] == kAck;
        DoctorStepResult& step =
            Step(DoctorStep::ClosingAck, attempt, ok, {CHandshakeSender::ClosingAck()[0]}, ack, MsSince(t0));
        if (ack.empty()) {
            // As for the entry code: tell a late answer from none.
            std::vector<std::uint8_t> late;
            if (!Receive(1, late)) {
                Lost();
                return;
            }
            step.received = late;
            if (!late.empty() && late[0] == kAck)
                m_report.lateMs = MsSince(t0);
        }
        if (ok) {
            m_report.verdict = DoctorVerdict::Answers;
            m_report.powerCycle = false;
        }
    }

    const ResolvedPort& m_port;
    ISerialPort& m_serial;
    const DoctorOptions& m_options;
    DoctorReport& m_report;
    bool m_echoSeen = false;
    // A one-byte read's time-out when nothing comes (SerialPort.h: 100 ms a byte and 90 ms).
    static constexpr int kReadMs = 190;
    Clock::time_point m_codeSent{};                  // when the last entry code's last byte went
    std::optional<Clock::time_point> m_silentSince;  // the first entry code nothing answered in time
    Clock::time_point m_ackAt{};                     // when the acknowledgement taken came
    CHandshakeSender m_sender;
    Clock::time_point m_sentAt{};  // when the last step's last byte went
};

// ---------------------------------------------------------------------------
// Texts

struct Lang {
    bool zh;
    DoctorAudience who = DoctorAudience::Tool;
    std::string operator()(const std::string& en, const std::string& chinese) const { return zh ? chinese : en; }
    // Where Find my cable is: a button beside the verdict in the window, a command for the tool.
    std::string Finder() const
    {
        return who == DoctorAudience::Window
                   ? (zh ? "“查找数据线”按钮" : "the Find my cable button")
                   : (zh ? "“查找数据线”（`progtool doctor --find`）" : "Find my cable (`progtool doctor --find`)");
    }
};

std::string List(const std::vector<std::string>& items, bool chinese)
{
    std::string s;
    for (const std::string& i : items)
        s += (s.empty() ? "" : chinese ? "、" : ", ") + i;
    return s;
}

const char* const kTerminalPrograms[] = {"minicom", "screen",  "picocom",  "cu",  "putty",
                                         "gtkterm", "cutecom", "moserial", "tio", "microcom"};

std::string HolderAdvice(const PortHolder& h, const Lang& t)
{
    const std::string who =
        t(h.name + " (pid " + std::to_string(h.pid) + ")", h.name + "（进程 " + std::to_string(h.pid) + "）");
    if (h.name == "ModemManager")
        return t(who +
                     " is ModemManager, which probes every new ttyACM device as a modem: stop it with "
                     "`sudo systemctl stop ModemManager` (or give the cable a udev rule with "
                     "ENV{ID_MM_DEVICE_IGNORE}=\"1\"), then check again",
                 who +
                     "是 ModemManager，它会把每个新的 ttyACM 设备当作调制解调器探测：用 "
                     "`sudo systemctl stop ModemManager` 停止它（或为该数据线加一条含 "
                     "ENV{ID_MM_DEVICE_IGNORE}=\"1\" 的 udev 规则），然后再检查一次");
    for (const char* term : kTerminalPrograms)
        if (h.name == term)
            return t(who + " is a terminal program: quit it, then check again",
                     who + "是终端程序：退出它，然后再检查一次");
    if (h.name == "Program" || h.name == "progtool")
        return t(who + " is another copy of this program: let its transfer finish, or close it",
                 who + "是本程序的另一个副本：等它的传输结束，或关闭它");
    return t("end " + who + " if you know it is not needed: `kill " + std::to_string(h.pid) + "`",
             "如确认不需要 " + who + "，结束它：`kill " + std::to_string(h.pid) + "`");
}

std::string StepLabel(DoctorStep step, bool chinese)
{
    switch (step) {
    case DoctorStep::Open: return chinese ? "打开端口" : "open";
    case DoctorStep::Holders: return chinese ? "占用检查" : "holders";
    case DoctorStep::EntryCode: return chinese ? "进入编程模式代码" : "entry code";
    case DoctorStep::Identification: return chinese ? "识别码" : "identification";
    case DoctorStep::ClosingAck: break;
    }
    return chinese ? "结束确认" : "closing acknowledgement";
}

// Switching on, the plug, the port: what to check first when no radio is
// heard, in the order it is most often the cause.
void RadioChecks(std::vector<std::string>& todo, const Lang& t)
{
    todo.push_back(t("the radio is switched on (its power and volume knob turned on, the battery charged)",
                     "电台已开机（电源/音量旋钮已打开，电池有电）"));
    todo.push_back(
        t("the cable's plug is pushed fully into the radio's speaker/mic socket (firmly, until it "
          "seats; a plug half in is the most common cause)",
          "数据线插头已完全插入电台的耳机/话筒插孔（用力插到底；插头没插到位是最常见的原因）"));
    todo.push_back(
        t("this is the cable's port: find it with " + t.Finder(), "这是数据线对应的端口：用" + t.Finder() + "找到它"));
}

}  // namespace

DoctorReport RunDoctor(const ResolvedPort& port, ISerialPort& serial, const DoctorOptions& options)
{
    const Clock::time_point start = Clock::now();
    DoctorReport report;
    CProbe(port, serial, options, report).Run();
    serial.Close();
    report.seconds = MsSince(start) / 1000.0;
    return report;
}

const char* DoctorVerdictName(DoctorVerdict verdict)
{
    switch (verdict) {
    case DoctorVerdict::NoDevice: return "no-device";
    case DoctorVerdict::Denied: return "permission-denied";
    case DoctorVerdict::Busy: return "busy";
    case DoctorVerdict::NotSerial: return "not-serial";
    case DoctorVerdict::OpenFailed: return "open-failed";
    case DoctorVerdict::Echo: return "echo";
    case DoctorVerdict::Silent: return "silent";
    case DoctorVerdict::Garbage: return "garbage";
    case DoctorVerdict::Partial: return "partial";
    case DoctorVerdict::Answers: break;
    }
    return "answers";
}

const char* DoctorStepName(DoctorStep step)
{
    switch (step) {
    case DoctorStep::Open: return "open";
    case DoctorStep::Holders: return "holders";
    case DoctorStep::EntryCode: return "entry-code";
    case DoctorStep::Identification: return "identification";
    case DoctorStep::ClosingAck: break;
    }
    return "closing-ack";
}

DoctorAdvice DoctorText(const DoctorReport& r, bool chinese, DoctorAudience who)
{
    const Lang t{chinese, who};
    DoctorAdvice a;
    // Names come from the user, the file system and the adapter: any bytes.
    std::string port = EscapeControlBytes(r.port.description.empty() ? r.port.name : r.port.description);
    if (port.empty())
        port = "\"\"";
    auto headline = [&](const std::string& en, const std::string& zh) {
        a.headline = port + t(": ", "：") + t(en, zh);
    };
    auto todo = [&](const std::string& en, const std::string& zh) { a.todo.push_back(t(en, zh)); };
    auto fact = [&](const std::string& en, const std::string& zh) { a.facts.push_back(t(en, zh)); };

    if (r.cancelled) {
        headline("the check was cancelled before it came to a verdict", "检查在得出结论前已取消");
        if (r.powerCycle)
            todo(
                "the radio took the entry code and stays in programming mode: switch it off and on before the next "
                "transfer",
                "电台已接受进入编程模式的代码并停留在编程模式：下次传输前请关闭电台再重新开机");
        return a;
    }
    if (!r.usbDescription.empty())
        fact("cable: " + EscapeControlBytes(r.usbDescription), "数据线：" + EscapeControlBytes(r.usbDescription));
    if (!r.reason.empty())
        fact("the system says: " + r.reason, "系统提示：" + r.reason);

    // A machine can have hundreds of devices (a test tree, a terminal
    // server): a dozen names tell the user enough, the JSON has them all.
    constexpr std::size_t kNamed = 12;
    auto more = [&](std::vector<std::string>& names, std::size_t total) {
        if (total > names.size())
            names.push_back(t("and " + std::to_string(total - names.size()) + " more",
                              "等另外 " + std::to_string(total - names.size()) + " 个"));
    };
    std::vector<std::string> present;
    for (std::size_t i = 0; i < r.present.size() && i < kNamed; ++i) {
        const SerialDevice& d = r.present[i];
        present.push_back(EscapeControlBytes(d.description.empty() ? d.path : d.path + " (" + d.description + ")"));
    }
    more(present, r.present.size());
    std::vector<std::string> recent;
    for (std::size_t i = 0; i < r.recent.size() && i < kNamed; ++i)
        recent.push_back(EscapeControlBytes(r.recent[i]));
    more(recent, r.recent.size());
    auto presentFacts = [&] {
        if (present.empty())
            fact("no serial device is present", "没有任何串口设备");
        else
            fact("serial devices present: " + List(present, false), "现有串口设备：" + List(present, true));
        if (!r.recent.empty())
            fact("appeared in the last 10 minutes: " + List(recent, false),
                 "最近 10 分钟内出现的：" + List(recent, true));
        else if (!present.empty())
            fact("none of them appeared in the last 10 minutes", "其中没有最近 10 分钟内出现的设备");
    };

    switch (r.verdict) {
    case DoctorVerdict::NoDevice:
        headline("no such device: the cable is not plugged in, or this is not its name",
                 "没有该设备：数据线未插入，或端口名称不对");
        todo("plug the cable's USB end into this computer (or into another USB socket)",
             "把数据线的 USB 端插入这台电脑（或换一个 USB 插口）");
        if (!r.recent.empty())
            todo("use " + recent.front() + ", which appeared in the last 10 minutes: it is most likely the cable",
                 "使用最近 10 分钟内出现的 " + recent.front() + "：它很可能就是数据线");
        todo("find the cable's device with " + t.Finder() + ": unplug it, then plug it in",
             "用" + t.Finder() + "找到数据线的设备：先拔出，再插入");
        if (r.port.label != r.port.device)
            fact(r.port.label + " stands for " + EscapeControlBytes(r.port.device) +
                     " here ([Ports] in Program.ini can map it to another device)",
                 r.port.label + " 在此对应 " + EscapeControlBytes(r.port.device) +
                     "（可在 Program.ini 的 [Ports] 中映射到其他设备）");
        presentFacts();
        break;
    case DoctorVerdict::Denied: {
        const std::string user = r.user.empty() ? "$USER" : r.user;
        headline("permission denied: this user may not use the device", "权限不足：当前用户无权使用该设备");
        if (r.group.empty() || r.group == "root") {
            todo(
                "ask the administrator to give the serial devices to the \"dialout\" group (a udev rule), then "
                "add " +
                    user + " to it",
                "请管理员把串口设备归入 \"dialout\" 组（udev 规则），再把 " + user + " 加入该组");
        } else if (r.listedInGroup) {
            todo(user + " is in the group \"" + r.group +
                     "\" already, but this login session is not: log out "
                     "and in again (or restart the computer)",
                 user + " 已在 \"" + r.group + "\" 组中，但当前登录会话还没有该组：注销后重新登录（或重启电脑）");
        } else {
            todo("add " + user + " to the group \"" + r.group + "\": `sudo usermod -aG " + r.group + " " + user + "`",
                 "把 " + user + " 加入 \"" + r.group + "\" 组：`sudo usermod -aG " + r.group + " " + user + "`");
            todo("log out and in again (or restart the computer) so that the new group applies",
                 "注销后重新登录（或重启电脑），使新的组生效");
        }
        if (!r.group.empty())
            fact("the device belongs to the group \"" + r.group + "\"", "该设备属于 \"" + r.group + "\" 组");
        break;
    }
    case DoctorVerdict::Busy:
        if (r.holders.empty()) {
            headline("busy: another program has the port open", "端口忙：另一个程序正在使用该端口");
            todo(
                "close the other program that uses the port (a terminal program, a transfer of this program still "
                "running, another copy of it), then check again",
                "关闭正在使用该端口的程序（终端程序、本程序仍在进行的传输或本程序的另一个副本），然后再检查一次");
        } else {
            if (r.stoppedAt == DoctorStep::Open)
                headline("busy: " + PortHoldersText(r.holders, false), "端口忙：" + PortHoldersText(r.holders, true));
            else
                headline(PortHoldersText(r.holders, false) + ", which would take the radio's answers",
                         PortHoldersText(r.holders, true) + "，它会收走电台的应答");
            for (const PortHolder& h : r.holders)
                a.todo.push_back(HolderAdvice(h, t));
        }
        break;
    case DoctorVerdict::NotSerial:
        headline("this is no serial device", "这不是串口设备");
        todo("choose the cable's device (/dev/ttyUSB…, /dev/ttyACM… or a link in /dev/serial/by-id)",
             "选择数据线的设备（/dev/ttyUSB…、/dev/ttyACM… 或 /dev/serial/by-id 中的链接）");
        todo("find it with " + t.Finder(), "用" + t.Finder() + "找到它");
        presentFacts();
        break;
    case DoctorVerdict::OpenFailed:
        headline("the port cannot be opened", "无法打开该端口");
        todo("unplug the cable, plug it in again and check again", "拔出数据线，重新插入，然后再检查一次");
        todo("if it fails again, try another USB socket; the system log (`dmesg`) may tell more",
             "如仍失败，换一个 USB 插口；系统日志（`dmesg`）可能有更多信息");
        break;
    case DoctorVerdict::Echo:
        headline("the cable is connected but the radio is not answering: our own bytes come back",
                 "数据线已连接，但电台没有应答：发出的字节原样返回");
        RadioChecks(a.todo, t);
        a.todo.pop_back();  // the port is right: the cable is on it
        todo("if the radio is on and the plug is in, the cable may be one for another radio model",
             "如果电台已开机且插头已插好，数据线可能是其他型号电台的");
        fact("came back: " + HexAndText(r.firstBytes), "返回的字节：" + HexAndText(r.firstBytes));
        break;
    case DoctorVerdict::Silent:
        headline("nothing comes back: the radio does not answer", "没有任何应答：电台没有回应");
        RadioChecks(a.todo, t);
        todo("try another USB socket, or another cable", "换一个 USB 插口，或换一条数据线");
        fact(std::to_string(r.attempts) + " entry codes sent, no byte came back",
             "已发送 " + std::to_string(r.attempts) + " 次进入编程模式的代码，没有收到任何字节");
        break;
    case DoctorVerdict::Garbage:
        headline("bytes come back but make no sense (noise, a wrong speed, or a failing USB adapter)",
                 "收到的字节无法识别（线路干扰、速率不对，或 USB 转换器有故障）");
        todo("push the plug fully into the radio's speaker/mic socket: a plug half in gives noise",
             "把插头完全插入电台的耳机/话筒插孔：插头没插到位会产生干扰");
        todo("close any other program that may have set the port's speed, unplug the cable and plug it in again",
             "关闭可能改动过端口速率的其他程序，拔出数据线后重新插入");
        todo("try another USB socket, or another cable or adapter", "换一个 USB 插口，或换一条数据线或转换器");
        fact("first bytes: " + HexAndText(r.firstBytes), "最先收到的字节：" + HexAndText(r.firstBytes));
        break;
    case DoctorVerdict::Partial:
        if (r.stoppedAt == DoctorStep::EntryCode) {
            const std::string after = Ms(r.lateMs);
            headline("the radio answers too late: the entry code's acknowledgement came after " + after +
                         ", a transfer waits at most 380 ms",
                     "电台应答太慢：进入编程模式代码的确认在 " + after + " 后才到，而传输最多等待 380 ms");
            todo("switch the radio off and on again: it stays in programming mode until then",
                 "关闭电台再重新开机：在此之前它会一直处于编程模式");
            todo(
                "connect the cable directly to this computer, not through a USB hub, or try another USB adapter (a "
                "slow adapter or driver delays the answers)",
                "把数据线直接插到这台电脑上，不要经过 USB 集线器，或换一个 USB 转换器（慢的转换器或驱动会延迟应答）");
        } else if (r.stoppedAt == DoctorStep::ClosingAck && r.lateMs > 0) {
            const std::string after = Ms(r.lateMs);
            headline("the radio answers too late: its closing acknowledgement came after " + after +
                         ", a transfer waits at most 190 ms",
                     "电台应答太慢：结束确认在 " + after + " 后才到，而传输最多等待 190 ms");
            todo("switch the radio off and on again: it stays in programming mode until then",
                 "关闭电台再重新开机：在此之前它会一直处于编程模式");
            todo(
                "connect the cable directly to this computer, not through a USB hub, or try another USB adapter (a "
                "slow adapter or driver delays the answers)",
                "把数据线直接插到这台电脑上，不要经过 USB 集线器，或换一个 USB 转换器（慢的转换器或驱动会延迟应答）");
        } else if (r.stoppedAt == DoctorStep::Identification) {
            headline("the radio took the entry code but did not send its identification",
                     "电台接受了进入编程模式的代码，但没有发送识别码");
            todo("switch the radio off and on again: it stays in programming mode until then",
                 "关闭电台再重新开机：在此之前它会一直处于编程模式");
            todo(
                "check again; if it stops here again, the radio may be another model, or the plug not fully in "
                "(the radio hears us, we hear it only in part)",
                "再检查一次；如果仍停在这一步，电台可能是其他型号，或插头没插到位（电台能收到，本机只能部分收到）");
        } else {
            headline("the radio sent its identification but did not acknowledge the end of the handshake",
                     "电台发送了识别码，但没有确认握手结束");
            todo("switch the radio off and on again: it stays in programming mode until then",
                 "关闭电台再重新开机：在此之前它会一直处于编程模式");
            todo(
                "check again; if it stops here again, the radio answers slowly or the line is noisy: push the "
                "plug fully in",
                "再检查一次；如果仍停在这一步，说明电台应答慢或线路有干扰：把插头完全插好");
        }
        break;
    case DoctorVerdict::Answers:
        headline("the radio answers: ready to read or write", "电台有应答：可以读取或写入");
        todo("read from the radio or write to it now", "现在可以从电台读取或写入电台");
        break;
    }

    if (!r.identification.empty())
        fact("identification: " + HexAndText(r.identification), "识别码：" + HexAndText(r.identification));
    if (!r.identification.empty() && r.identification.size() < static_cast<std::size_t>(kIdentSize))
        fact("only " + std::to_string(r.identification.size()) +
                 " of the 8 identification bytes came (a transfer "
                 "goes on regardless)",
             "识别码只收到 8 个字节中的 " + std::to_string(r.identification.size()) + " 个（传输仍会继续）");
    std::vector<std::string> times;
    for (const DoctorStepResult& s : r.steps)
        if (s.ok && s.step >= DoctorStep::EntryCode)
            times.push_back(StepLabel(s.step, chinese) + " " + Ms(s.ms));
    if (!times.empty())
        fact("round-trip times: " + List(times, false), "往返时间：" + List(times, true));
    if (r.powerCycle)
        fact("the radio must be switched off and on before the next transfer", "下次传输前须关闭电台再重新开机");
    return a;
}

std::string DoctorTextBlock(const DoctorReport& report, bool chinese, DoctorAudience who)
{
    const DoctorAdvice a = DoctorText(report, chinese, who);
    std::string s = a.headline + "\n";
    for (std::size_t i = 0; i < a.todo.size(); ++i)
        s += "  " + std::to_string(i + 1) + ". " + a.todo[i] + "\n";
    for (const std::string& f : a.facts)
        s += "  " + f + "\n";
    return s;
}

void DoctorJson(CJsonWriter& json, const DoctorReport& r, bool chinese)
{
    const DoctorAdvice a = DoctorText(r, chinese);
    json.BeginObject();
    json.Key("port").String(r.port.name).Key("label").String(r.port.label).Key("device").String(r.port.device);
    json.Key("usb_description").String(r.usbDescription);
    json.Key("verdict")
        .String(r.cancelled ? "interrupted" : DoctorVerdictName(r.verdict))
        .Key("stopped_at")
        .String(DoctorStepName(r.stoppedAt));
    json.Key("ready").Bool(r.verdict == DoctorVerdict::Answers && !r.cancelled).Key("cancelled").Bool(r.cancelled);
    json.Key("power_cycle").Bool(r.powerCycle).Key("reason").String(r.reason);
    json.Key("late_ms").Number(r.lateMs, 1);
    json.Key("headline").String(a.headline);
    json.Key("todo").BeginArray();
    for (const std::string& s : a.todo)
        json.String(s);
    json.EndArray().Key("facts").BeginArray();
    for (const std::string& s : a.facts)
        json.String(s);
    json.EndArray();
    json.Key("present").BeginArray();
    for (const SerialDevice& d : r.present)
        json.BeginObject().Key("path").String(d.path).Key("description").String(d.description).EndObject();
    json.EndArray().Key("recent").BeginArray();
    for (const std::string& s : r.recent)
        json.String(s);
    json.EndArray();
    json.Key("group").String(r.group).Key("listed_in_group").Bool(r.listedInGroup).Key("user").String(r.user);
    json.Key("holders").BeginArray();
    for (const PortHolder& h : r.holders)
        json.BeginObject().Key("pid").Int(h.pid).Key("name").String(h.name).EndObject();
    json.EndArray();
    json.Key("attempts").Int(r.attempts);
    json.Key("steps").BeginArray();
    for (const DoctorStepResult& s : r.steps) {
        json.BeginObject().Key("step").String(DoctorStepName(s.step)).Key("attempt").Int(s.attempt);
        json.Key("ok").Bool(s.ok).Key("ms").Number(s.ms, 1);
        json.Key("sent").String(Hex(s.sent)).Key("received").String(Hex(s.received)).EndObject();
    }
    json.EndArray();
    json.Key("first_bytes").String(Hex(r.firstBytes));
    json.Key("identification")
        .String(Hex(r.identification))
        .Key("identification_text")
        .String(Escaped(r.identification));
    json.Key("seconds").Number(r.seconds, 3);
    json.EndObject();
}

// ---------------------------------------------------------------------------
// Find my cable

namespace {

bool Has(const std::vector<SerialDevice>& list, const std::string& path)
{
    return std::any_of(list.begin(), list.end(), [&](const SerialDevice& d) { return d.path == path; });
}

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }

bool IsTty(const SerialDevice& d) { return d.kind == PortKind::Usb || d.kind == PortKind::Acm; }

// The device to name among those that came: the by-id link of a new ttyUSB or
// ttyACM (stable across replugging, with its USB description), else the
// device itself, else whatever came.
SerialDevice Pick(const std::vector<SerialDevice>& added)
{
    for (const SerialDevice& link : added)
        if (link.kind == PortKind::ById)
            for (const SerialDevice& tty : added)
                if (IsTty(tty) && FileName(tty.path) == FileName(link.target))
                    return link;
    for (const SerialDevice& d : added)
        if (IsTty(d))
            return d;
    return added.front();
}

bool SameChange(const CCableFinder::Change& a, const CCableFinder::Change& b)
{
    auto paths = [](const std::vector<SerialDevice>& l) {
        std::vector<std::string> p;
        for (const SerialDevice& d : l)
            p.push_back(d.path);
        return p;
    };
    return paths(a.gone) == paths(b.gone) && paths(a.added) == paths(b.added) &&
           paths(a.notSerial) == paths(b.notSerial);
}

}  // namespace

CCableFinder::CCableFinder(PortScan scan) : m_scan(std::move(scan)) { m_scan.probe = false; }

void CCableFinder::Baseline()
{
    m_baseline = ListSerialDevices(m_scan);
    m_gone.clear();
}

bool CCableFinder::IsSerial(const SerialDevice& d)
{
    // Windows lists only its COM ports: each is a serial port.
    if (platform::ComNamesAreDevices())
        return true;
    const auto known = [&](const std::vector<std::string>& l) {
        return std::find(l.begin(), l.end(), d.path) != l.end();
    };
    if (known(m_serial))
        return true;
    if (known(m_notSerial))
        return false;
    SerialDevice probed = d;
    ProbeSerialDevice(probed);
    // A by-id link may come before its device: missing is asked again next time.
    if (probed.state == PortState::NotSerial)
        m_notSerial.push_back(d.path);
    else if (probed.state != PortState::Missing)
        m_serial.push_back(d.path);
    return probed.state != PortState::NotSerial;
}

CCableFinder::Change CCableFinder::Poll()
{
    const std::vector<SerialDevice> now = ListSerialDevices(m_scan);
    // What went is judged afresh when something comes back under its name.
    for (std::vector<std::string>* judged : {&m_serial, &m_notSerial})
        judged->erase(
            std::remove_if(judged->begin(), judged->end(), [&](const std::string& p) { return !Has(now, p); }),
            judged->end());
    Change c;
    for (const SerialDevice& d : m_baseline)
        if (!Has(now, d.path)) {
            c.gone.push_back(d);
            if (std::find(m_gone.begin(), m_gone.end(), d.path) == m_gone.end())
                m_gone.push_back(d.path);
        }
    for (const SerialDevice& d : now)
        if (!Has(m_baseline, d.path) || std::find(m_gone.begin(), m_gone.end(), d.path) != m_gone.end())
            (IsSerial(d) ? c.added : c.notSerial).push_back(d);
    return c;
}

FindResult FindCable(const PortScan& scan, std::chrono::milliseconds timeout, const std::function<bool()>& cancelled,
                     const std::function<void(const CCableFinder::Change&)>& changed,
                     const std::function<void(std::chrono::milliseconds)>& sleep)
{
    auto wait = [&] {
        if (sleep)
            sleep(kFindPoll);
        else
            std::this_thread::sleep_for(kFindPoll);
    };
    FindResult result;
    CCableFinder finder(scan);
    finder.Baseline();
    CCableFinder::Change last;
    std::chrono::milliseconds waited{0};
    bool settling = false;  // a tty came without its by-id link: one more poll for udev to make it
    while (waited < timeout || settling) {
        if (cancelled && cancelled()) {
            result.end = FindEnd::Cancelled;
            return result;
        }
        wait();
        waited += kFindPoll;
        const CCableFinder::Change c = finder.Poll();
        for (const SerialDevice& d : c.gone)
            if (!Has(result.gone, d.path))
                result.gone.push_back(d);
        for (const SerialDevice& d : c.notSerial)
            if (!Has(result.notSerial, d.path))
                result.notSerial.push_back(d);
        if (changed && !SameChange(c, last))
            changed(c);
        last = c;
        if (c.added.empty()) {
            settling = false;
            continue;
        }
        const SerialDevice pick = Pick(c.added);
        if (pick.kind == PortKind::ById || settling || waited >= timeout) {
            result.end = FindEnd::Found;
            result.device = pick;
            return result;
        }
        settling = true;
    }
    result.end = FindEnd::TimedOut;
    return result;
}

std::string FindResultText(const FindResult& r, bool chinese)
{
    const Lang t{chinese};
    switch (r.end) {
    case FindEnd::Found: {
        // A by-id name and an adapter's description are the device's words, not ours.
        const std::string path = EscapeControlBytes(r.device.path);
        const std::string d = EscapeControlBytes(r.device.description);
        return t("found " + path + (d.empty() ? "" : " (" + d + ")"),
                 "找到 " + path + (d.empty() ? "" : "（" + d + "）"));
    }
    case FindEnd::Cancelled: return t("cancelled", "已取消");
    case FindEnd::TimedOut: break;
    }
    std::vector<std::string> gone, notSerial;
    for (const SerialDevice& d : r.gone)
        gone.push_back(EscapeControlBytes(d.path));
    for (const SerialDevice& d : r.notSerial)
        notSerial.push_back(EscapeControlBytes(d.path));
    if (!notSerial.empty())
        return t("no serial device appeared in time (" + List(notSerial, false) +
                     " appeared, but is no serial device: not the cable): plug the cable into a USB socket of this "
                     "computer",
                 "在时限内没有出现新的串口设备（" + List(notSerial, true) +
                     " 出现了，但不是串口设备，不是数据线）：把数据线插入这台电脑的 USB 插口");
    if (!gone.empty())
        return t("no serial device appeared in time (" + List(gone, false) +
                     " went away and did not come back): plug the cable in firmly, or try another USB socket",
                 "在时限内没有出现新的串口设备（" + List(gone, true) +
                     " 已消失且未再出现）：把数据线插牢，或换一个 USB 插口");
    return t(
        "no serial device appeared in time: plug the cable into a USB socket of this computer (another "
        "socket if it was in one); a cable whose driver is missing shows no device",
        "在时限内没有出现新的串口设备：把数据线插入这台电脑的 USB 插口（如已插入，换一个插口）；"
        "缺少驱动的数据线不会出现设备");
}
