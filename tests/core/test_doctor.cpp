// The connection doctor against the radio's protocol machine behind a fake
// port (one row per verdict), its texts and JSON, the cable finder on a
// prepared device tree, and the kept trace of a failed handshake.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "core/app/JsonWriter.h"
#include "core/link/Doctor.h"
#include "core/link/Trace.h"
#include "core/link/Transfer.h"
#include "core/platform/PortList.h"
#include "core/platform/PseudoTerminal.h"
#include "tests/core/FakePort.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// A fake port whose open can fail with a fault class, as CSerialPort's does.
class DoctorPort : public fakeport::FakePort {
public:
    platform::SerialFault openFault = platform::SerialFault::None;
    bool Open(const std::string& name) override
    {
        if (openFault == platform::SerialFault::None)
            return FakePort::Open(name);
        ++opens;
        return false;
    }
    std::string ErrorText() const override
    {
        return openFault == platform::SerialFault::None ? FakePort::ErrorText() : "COM1: the reason";
    }
    platform::SerialFault Fault() const override { return openFault; }

    // Answers held back for this many reads after each write: a radio slower
    // than the read time-outs.
    int lateReads = 0;
    int held = 0;
    bool Read(std::uint8_t* buf, std::size_t n, std::size_t& got) override
    {
        if (held < lateReads) {
            ++held;
            got = 0;
            return true;
        }
        return FakePort::Read(buf, n, got);
    }
    bool Write(const std::uint8_t* buf, std::size_t n, std::size_t& written) override
    {
        held = 0;
        return FakePort::Write(buf, n, written);
    }
};

class NoPrompt : public ITransferObserver {
public:
    void Range(int, int) override {}
    void Progress(int) override {}
    bool IsCancelled() override { return false; }
    bool PromptRetry(int, const TransferResult&) override { return false; }
    void Message(int, const std::string&) override {}
};

// A strict reader of one JSON document: enough to tell that it parses, and
// the string values of the top-level object's keys.
struct JsonReader {
    const std::string& s;
    std::size_t i = 0;
    std::map<std::string, std::string> top;

    void Ws()
    {
        while (i < s.size() && s[i] && std::strchr(" \t\r\n", s[i]))
            ++i;
    }
    bool Str(std::string* out)
    {
        if (i >= s.size() || s[i++] != '"')
            return false;
        for (; i < s.size() && s[i] != '"'; ++i) {
            if (static_cast<unsigned char>(s[i]) < 0x20)
                return false;
            if (s[i] == '\\' && (++i >= s.size() || !s[i] || !std::strchr("\"\\/bfnrtu", s[i])))
                return false;
            if (out)
                *out += s[i];
        }
        return i++ < s.size();
    }
    bool Value(int depth, std::string* str)
    {
        Ws();
        if (i >= s.size())
            return false;
        const char c = s[i];
        if (c == '"')
            return Str(str);
        if (c == '{' || c == '[') {
            ++i;
            Ws();
            if (i < s.size() && s[i] == (c == '{' ? '}' : ']'))
                return ++i;
            for (;;) {
                std::string key, value;
                if (c == '{') {
                    Ws();
                    if (!Str(&key) || (Ws(), i >= s.size() || s[i++] != ':'))
                        return false;
                }
                if (!Value(depth + 1, &value))
                    return false;
                if (c == '{' && depth == 0 && !top.emplace(key, value).second)
                    return false;  // a key twice
                Ws();
                if (i < s.size() && s[i] == ',') {
                    ++i;
                    continue;
                }
                return i < s.size() && s[i++] == (c == '{' ? '}' : ']');
            }
        }
        for (const char* word : {"true", "false", "null"})
            if (s.compare(i, std::strlen(word), word) == 0)
                return (i += std::strlen(word)), true;
        const std::size_t start = i;
        while (i < s.size() && s[i] && std::strchr("-+.eE0123456789", s[i]))
            ++i;
        return i > start;
    }
    bool Parse() { return Value(0, nullptr) && (Ws(), i == s.size()); }
};

// Every byte the host sent with the entry codes taken out: what is left must
// hold no read or write command.
std::vector<std::uint8_t> BeyondEntryCodes(const std::vector<fakeport::WriteCall>& writes)
{
    std::vector<std::uint8_t> all;
    for (const auto& w : writes)
        all.insert(all.end(), w.bytes.begin(), w.bytes.end());
    const std::uint8_t code[] = {0x02, 'T', 'A', 'N', 'A', 'G', 'R'};
    std::vector<std::uint8_t> rest;
    for (std::size_t i = 0; i < all.size();) {
        if (all.size() - i >= sizeof code && std::equal(code, code + sizeof code, all.begin() + static_cast<long>(i)))
            i += sizeof code;
        else
            rest.push_back(all[i++]);
    }
    return rest;
}

}  // namespace

TEST(Doctor, EachFaultGetsItsVerdictTouchesNoMemoryAndATransferFollows)
{
    using F = platform::SerialFault;
    struct Row {
        const char* name;
        F openFault;
        std::function<void(RadioFaults&)> fault;
        bool held;
        DoctorVerdict verdict;
        DoctorStep stoppedAt;
        int attempts;
        bool powerCycle;
        int lateReads = 0;
    };
    const auto none = [](RadioFaults&) {};
    const Row rows[] = {
        {"no device", F::Missing, none, false, DoctorVerdict::NoDevice, DoctorStep::Open, 0, false},
        {"denied", F::Denied, none, false, DoctorVerdict::Denied, DoctorStep::Open, 0, false},
        {"busy at open", F::Busy, none, false, DoctorVerdict::Busy, DoctorStep::Open, 0, false},
        {"not serial", F::NotSerial, none, false, DoctorVerdict::NotSerial, DoctorStep::Open, 0, false},
        {"open failed", F::Other, none, false, DoctorVerdict::OpenFailed, DoctorStep::Open, 0, false},
        {"held", F::None, none, true, DoctorVerdict::Busy, DoctorStep::Holders, 0, false},
        {"echo", F::None, [](RadioFaults& f) { f.echo = true; }, false, DoctorVerdict::Echo, DoctorStep::EntryCode,
         kDoctorAttempts, false},
        {"silent", F::None, [](RadioFaults& f) { f.silent = true; }, false, DoctorVerdict::Silent,
         DoctorStep::EntryCode, kDoctorAttempts, false},
        {"garbage", F::None, [](RadioFaults& f) { f.garbage = true; }, false, DoctorVerdict::Garbage,
         DoctorStep::EntryCode, kDoctorAttempts, false},
        {"no identification", F::None, [](RadioFaults& f) { f.noIdent = true; }, false, DoctorVerdict::Partial,
         DoctorStep::Identification, 1, true},
        {"no closing ack", F::None, [](RadioFaults& f) { f.missingFinalAcks = INT_MAX; }, false, DoctorVerdict::Partial,
         DoctorStep::ClosingAck, 1, true},
        {"late acknowledgement", F::None, [](RadioFaults& f) { f.ignoreEntryCodes = 2; }, false, DoctorVerdict::Answers,
         DoctorStep::ClosingAck, 3, false},
        {"answers", F::None, none, false, DoctorVerdict::Answers, DoctorStep::ClosingAck, 1, false},
        // Not taken for the next attempt's acknowledgement, nor for the identification.
        {"answers too late", F::None, none, false, DoctorVerdict::Partial, DoctorStep::EntryCode, 1, true, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DoctorPort port;
        Image memory{};
        for (std::size_t i = 0; i < memory.size(); ++i)
            memory[i] = static_cast<std::uint8_t>(i * 13 + 1);
        port.radio.Memory() = memory;
        RadioFaults faults;
        row.fault(faults);
        port.radio.SetFaults(faults);
        port.openFault = row.openFault;
        port.lateReads = row.lateReads;

        DoctorOptions options;
        options.sleep = [&](std::chrono::milliseconds d) { port.pendingSleepUs += d.count() * 1000; };
        options.holders = [&](const std::string& device) {
            EXPECT_EQ(device, "/dev/ttyUSB0");
            return row.held ? std::vector<PortHolder>{{4242, "minicom"}} : std::vector<PortHolder>{};
        };
        const ResolvedPort resolved{"COM1", "COM1", "/dev/ttyUSB0", "COM1 (/dev/ttyUSB0)"};
        const DoctorReport r = RunDoctor(resolved, port, options);

        EXPECT_EQ(DoctorVerdictName(r.verdict), std::string(DoctorVerdictName(row.verdict)));
        EXPECT_EQ(DoctorStepName(r.stoppedAt), std::string(DoctorStepName(row.stoppedAt)));
        EXPECT_EQ(r.attempts, row.attempts);
        EXPECT_EQ(port.radio.EntryCodesSeen(), row.attempts);
        EXPECT_EQ(r.powerCycle, row.powerCycle);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(r.port, resolved);
        // The handshake's bytes only, with a transfer's pauses before each entry byte.
        EXPECT_TRUE(port.radio.FrameLog().empty());
        for (std::uint8_t b : BeyondEntryCodes(port.writes))
            EXPECT_TRUE(b != 'R' && b != 'W') << int(b);
        for (std::size_t i = 0; i < port.writes.size() && i < 7; ++i)
            EXPECT_GE(port.writes[i].sleepsBefore, 2000) << i;
        EXPECT_EQ(port.radio.Memory(), memory);
        if (row.verdict == DoctorVerdict::Answers) {
            EXPECT_EQ(r.identification, (std::vector<std::uint8_t>{'T', 'R', '5', 'V', 0, 1, 2, 3}));
            EXPECT_EQ(r.steps.back().step, DoctorStep::ClosingAck);
        }
        if (row.verdict == DoctorVerdict::Echo) {
            EXPECT_EQ(r.firstBytes, (std::vector<std::uint8_t>{0x02, 'T', 'A', 'N', 'A', 'G', 'R'}));
        }
        if (row.verdict == DoctorVerdict::Garbage) {
            EXPECT_FALSE(r.firstBytes.empty());
        }
        if (row.held) {
            EXPECT_TRUE(port.writes.empty());
        }

        // What the user reads, in both languages, and one JSON object.
        for (bool chinese : {false, true}) {
            const DoctorAdvice a = DoctorText(r, chinese);
            EXPECT_NE(a.headline.find("COM1 (/dev/ttyUSB0)"), std::string::npos) << a.headline;
            EXPECT_FALSE(a.todo.empty());
            EXPECT_NE(DoctorTextBlock(r, chinese).find(a.headline), std::string::npos);
            CJsonWriter json;
            DoctorJson(json, r, chinese);
            JsonReader reader{json.Text(), 0, {}};
            ASSERT_TRUE(reader.Parse()) << json.Text();
            EXPECT_EQ(reader.top["verdict"], DoctorVerdictName(row.verdict));
            EXPECT_EQ(reader.top["headline"], a.headline);
            EXPECT_EQ(reader.top.count("schema"), 0u);
        }
        if (row.verdict == DoctorVerdict::Echo) {
            EXPECT_NE(DoctorText(r, false).headline.find("the cable is connected but the radio is not answering"),
                      std::string::npos);
        }

        // The cause put right, a read right after the check completes.
        port.openFault = platform::SerialFault::None;
        port.lateReads = 0;
        port.radio.SetFaults({});
        NoPrompt observer;
        CTransferEngine engine(port, observer);
        engine.SetSleeper([](std::chrono::microseconds) {});
        Image read{};
        EXPECT_TRUE(engine.Read("/dev/ttyUSB0", read).Completed());
        EXPECT_EQ(read, memory);
    }
}

TEST(Doctor, CancelStopsAtTheNextStepAndClosesThePort)
{
    DoctorPort port;
    RadioFaults silent;
    silent.silent = true;
    port.radio.SetFaults(silent);
    std::vector<int> started;
    DoctorOptions options;
    options.sleep = [](std::chrono::milliseconds) {};
    options.holders = [](const std::string&) { return std::vector<PortHolder>{}; };
    options.stepStarted = [&](DoctorStep step, int attempt) { started.push_back(int(step) * 10 + attempt); };
    options.cancelled = [&] { return started.size() >= 3; };  // open, holders, the first entry code
    const DoctorReport r = RunDoctor(ResolvePort("/dev/ttyUSB0"), port, options);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.attempts, 1);
    EXPECT_EQ(started, (std::vector<int>{int(DoctorStep::Open) * 10, int(DoctorStep::Holders) * 10,
                                         int(DoctorStep::EntryCode) * 10 + 1}));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_NE(DoctorText(r, false).headline.find("cancelled"), std::string::npos);
}

TEST(Doctor, AdviceNamesTheFixForTheCase)
{
    struct Row {
        const char* name;
        std::function<void(DoctorReport&)> set;
        const char* en;
        const char* zh;
    };
    const Row rows[] = {
        {"not in the group",
         [](DoctorReport& r) {
             r.verdict = DoctorVerdict::Denied;
             r.group = "dialout";
             r.user = "alice";
         },
         "sudo usermod -aG dialout alice", "sudo usermod -aG dialout alice"},
        {"in the group, not in this session",
         [](DoctorReport& r) {
             r.verdict = DoctorVerdict::Denied;
             r.group = "uucp";
             r.user = "bob";
             r.listedInGroup = true;
         },
         "log out and in again", "注销后重新登录"},
        {"ModemManager",
         [](DoctorReport& r) {
             r.verdict = DoctorVerdict::Busy;
             r.holders = {{812, "ModemManager"}};
         },
         "sudo systemctl stop ModemManager", "sudo systemctl stop ModemManager"},
        {"a terminal program",
         [](DoctorReport& r) {
             r.verdict = DoctorVerdict::Busy;
             r.holders = {{77, "picocom"}};
         },
         "picocom (pid 77) is a terminal program: quit it", "picocom（进程 77）是终端程序"},
        {"another copy",
         [](DoctorReport& r) {
             r.verdict = DoctorVerdict::Busy;
             r.holders = {{90, "progtool"}};
         },
         "another copy of this program", "本程序的另一个副本"},
        {"unknown holder",
         [](DoctorReport& r) {
             r.verdict = DoctorVerdict::Busy;
             r.holders = {{5150, "weird"}};
         },
         "kill 5150", "kill 5150"},
        {"a device came lately",
         [](DoctorReport& r) {
             r.verdict = DoctorVerdict::NoDevice;
             r.present.resize(1);
             r.present[0].path = "/dev/ttyUSB3";
             r.recent = {"/dev/ttyUSB3"};
         },
         "use /dev/ttyUSB3, which appeared in the last 10 minutes", "使用最近 10 分钟内出现的 /dev/ttyUSB3"},
        {"hundreds of devices",
         [](DoctorReport& r) {
             r.verdict = DoctorVerdict::NotSerial;
             r.present.resize(500);
             for (std::size_t i = 0; i < r.present.size(); ++i)
                 r.present[i].path = "/dev/ttyUSB" + std::to_string(i);
         },
         "/dev/ttyUSB11, and 488 more", "等另外 488 个"},
        {"the radio answers",
         [](DoctorReport& r) {
             r.verdict = DoctorVerdict::Answers;
             r.identification = {'T', 'R', '5', 'V', 0, 1, 2, 3};
             r.steps = {{DoctorStep::EntryCode, 1, true, 12.34, {}, {}}};
         },
         "identification: 54 52 35 56 00 01 02 03 (TR5V\\x00\\x01\\x02\\x03)", "进入编程模式代码 12.3 ms"},
        {"stopped before the identification",
         [](DoctorReport& r) {
             r.verdict = DoctorVerdict::Partial;
             r.stoppedAt = DoctorStep::Identification;
             r.powerCycle = true;
         },
         "switch the radio off and on", "关闭电台再重新开机"},
    };
    for (const Row& row : rows) {
        DoctorReport r;
        r.port = ResolvePort("/dev/ttyUSB0", [](const std::string&) { return std::string(); });
        row.set(r);
        EXPECT_NE(DoctorTextBlock(r, false).find(row.en), std::string::npos) << row.name << DoctorTextBlock(r, false);
        EXPECT_NE(DoctorTextBlock(r, true).find(row.zh), std::string::npos) << row.name << DoctorTextBlock(r, true);
    }
    // The window has a Find my cable button of its own: its advice names no command.
    for (DoctorVerdict v : {DoctorVerdict::NoDevice, DoctorVerdict::NotSerial, DoctorVerdict::Silent}) {
        DoctorReport r;
        r.verdict = v;
        for (bool chinese : {false, true}) {
            EXPECT_NE(DoctorTextBlock(r, chinese).find("progtool doctor --find"), std::string::npos);
            const std::string shown = DoctorTextBlock(r, chinese, DoctorAudience::Window);
            EXPECT_EQ(shown.find("progtool"), std::string::npos) << shown;
            EXPECT_NE(shown.find(chinese ? "查找数据线" : "Find my cable"), std::string::npos) << shown;
        }
    }
}

#ifndef _WIN32
// Find my cable on a device tree of the test's own: each sleep between polls
// is one step of the script (a link appears, goes, comes back).
TEST(Doctor, FindCableNamesTheDeviceThatCame)
{
    testenv::TempDir dir;
    const fs::path dev = dir.Path() / "dev";
    const fs::path byId = dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0";
    fs::create_directories(dev / "serial/by-id");
    fs::create_symlink("/dev/null", dev / "ttyS0");  // a device there all along: no UART type known, not probed
    // The cable is a serial device: a pseudo-terminal.
    platform::PseudoTerminal cable;
    std::string error;
    ASSERT_TRUE(cable.Open(error)) << error;
    auto plug = [&] {
        fs::create_symlink(cable.LinkName(), dev / "ttyUSB0");
        fs::create_symlink("../../ttyUSB0", byId);
    };
    // Nodes under a serial device's name that are none: never the cable.
    auto impostors = [&] {
        fs::create_symlink("/dev/zero", dev / "ttyUSB3");
        mkfifo((dev / "ttyUSB4").c_str(), 0600);
    };
    auto unplug = [&] {
        fs::remove(byId);
        fs::remove(dev / "ttyUSB0");
    };
    struct Row {
        const char* name;
        bool pluggedAtStart;
        std::map<int, std::function<void()>> script;  // at the Nth sleep
        int cancelAt;                                 // polls before cancelled() turns true; -1 never
        FindEnd end;
        std::string found;  // under dev/
        std::size_t gone;
        std::size_t notSerial = 0;
    };
    const Row rows[] = {
        {"plugged in",
         false,
         {{2, plug}},
         -1,
         FindEnd::Found,
         "serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0",
         0},
        {"without a by-id link",
         false,
         {{1, [&] { fs::create_symlink(cable.LinkName(), dev / "ttyACM2"); }}},
         -1,
         FindEnd::Found,
         "ttyACM2",
         0},
        {"nothing comes", false, {}, -1, FindEnd::TimedOut, "", 0},
        {"only nodes that are no serial device come", false, {{1, impostors}}, -1, FindEnd::TimedOut, "", 0, 2},
        {"the cable after them",
         false,
         {{1, impostors}, {3, plug}},
         -1,
         FindEnd::Found,
         "serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0",
         0,
         2},
        {"cancelled", false, {{5, plug}}, 2, FindEnd::Cancelled, "", 0},
        {"unplugged and plugged in again",
         true,
         {{1, unplug}, {3, plug}},
         -1,
         FindEnd::Found,
         "serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0",
         2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::error_code ec;
        for (const char* name : {"ttyUSB0", "ttyACM2", "ttyUSB3", "ttyUSB4"})
            fs::remove(dev / name, ec);
        fs::remove(byId, ec);
        if (row.pluggedAtStart)
            plug();
        int sleeps = 0, changes = 0;
        const FindResult r = FindCable(
            {dir.Path().string(), false}, std::chrono::seconds(2),
            [&] { return row.cancelAt >= 0 && sleeps >= row.cancelAt; },
            [&](const CCableFinder::Change&) { ++changes; },
            [&](std::chrono::milliseconds d) {
                EXPECT_EQ(d, kFindPoll);
                if (auto it = row.script.find(++sleeps); it != row.script.end())
                    it->second();
            });
        EXPECT_EQ(int(r.end), int(row.end));
        EXPECT_EQ(r.gone.size(), row.gone);
        EXPECT_EQ(r.notSerial.size(), row.notSerial);
        if (row.notSerial > 0 && row.end == FindEnd::TimedOut) {
            EXPECT_NE(FindResultText(r, false).find("no serial device"), std::string::npos);
        }
        if (row.end == FindEnd::TimedOut) {
            EXPECT_EQ(sleeps, 2000 / kFindPoll.count());
        }
        if (row.end == FindEnd::Found) {
            EXPECT_EQ(r.device.path, (dev / row.found).string());
            EXPECT_EQ(changes, static_cast<int>(row.script.size()));
            EXPECT_NE(FindResultText(r, false).find(r.device.path), std::string::npos);
        }
        for (bool chinese : {false, true})
            EXPECT_FALSE(FindResultText(r, chinese).empty());
    }
    FindResult described;
    described.end = FindEnd::Found;
    described.device.path = "/dev/serial/by-id/usb-\x1b[2J";
    described.device.description = "FTDI FT232R USB UART A1";
    const std::string found = FindResultText(described, false);
    EXPECT_NE(found.find("(FTDI FT232R USB UART A1)"), std::string::npos);
    EXPECT_EQ(found.find('\x1b'), std::string::npos) << "a device's name must not drive the terminal";
}

TEST(Doctor, DeviceFactsAndTheKeptTrace)
{
    testenv::TempDir dir;
    const fs::path node = dir.Path() / "ttyUSB0";
    std::ofstream(node) << "";
    const platform::DeviceGroup g = platform::DeviceOwnerGroup(node.string());
    EXPECT_FALSE(g.group.empty());
    EXPECT_FALSE(g.user.empty());
    const long long age = platform::DeviceAgeSeconds(node.string());
    EXPECT_TRUE(age >= 0 && age < 60) << age;
    EXPECT_EQ(platform::DeviceAgeSeconds((dir.Path() / "gone").string()), -1);

    // The kept trace goes into the program's folder of the user's data, made
    // when missing, and replaces the one before; a data folder that is a file
    // is an error naming it.
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_DATA_HOME", (dir.Path() / "data").c_str(), 1);
    std::string error;
    EXPECT_TRUE(KeepFailedTrace("first\n", &error)) << error;
    EXPECT_TRUE(KeepFailedTrace("second\n", &error)) << error;
    EXPECT_EQ(fs::path(KeptTracePath()).filename(), "last-failed-handshake.trace");
    EXPECT_EQ(KeptTracePath().rfind((dir.Path() / "data").string(), 0), 0u);
    std::ifstream in(KeptTracePath());
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "second\n");
    // A link put in its place is replaced, never written through.
    const fs::path victim = dir.Path() / "victim";
    std::ofstream(victim) << "precious\n";
    fs::remove(KeptTracePath());
    fs::create_symlink(victim, KeptTracePath());
    EXPECT_TRUE(KeepFailedTrace("third\n", &error)) << error;
    EXPECT_FALSE(fs::is_symlink(KeptTracePath()));
    std::ifstream kept(victim);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()), "precious\n");
    // A relative data folder is no folder: the trace does not land in the working directory.
    ::setenv("XDG_DATA_HOME", "relative", 1);
    EXPECT_EQ(KeptTracePath().find("relative"), std::string::npos) << KeptTracePath();
    ::setenv("XDG_DATA_HOME", node.c_str(), 1);
    EXPECT_FALSE(KeepFailedTrace("x", &error));
    EXPECT_NE(error.find(node.string()), std::string::npos) << error;
    old ? ::setenv("XDG_DATA_HOME", saved.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
}
#endif
