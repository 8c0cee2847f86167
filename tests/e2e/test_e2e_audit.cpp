// progtool audit against simulated radios on pseudo-terminals, each holding
// the plan with its own options or channels: what it reports, what a
// reconcile leaves in each radio, and what an interrupt or a vanishing radio
// leaves unwritten.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

#include "core/link/SimulatedRadio.h"
#include "core/radio/Bands.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/DatFile.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

Image Plan()
{
    Image plan{};
    EXPECT_TRUE(LoadDatFile(PROG_SOURCE_DIR "/res/samples/sample.dat", plan).ok);
    return plan;
}

// A radio's own settings: squelch 7 and the power-on name "CLUB2".
Image OwnOptions(Image m)
{
    m[mem::kSquelch] = 7;
    const char name[] = "CLUB2 ";
    for (int i = 0; i < mem::kPowerOnNameLen; ++i)
        m[mem::kPowerOnName + i] = EncodeNameChar(static_cast<unsigned char>(name[i]));
    return m;
}

// Channels that drifted: channel 1 moved 15 kHz, channel 2 renamed, other VHF limits.
Image OwnChannels(Image m)
{
    EncodeFrequency("147.34500", &m[mem::kChannelBase + mem::kChannelSize]);
    m[mem::kNameBase + 2 * mem::kNameSize] = EncodeNameChar('Z');
    EncodeBandRecord(136, 174, &m[mem::kVhfRange]);
    return m;
}

bool InChannelArea(int a)
{
    for (const mem::Span& s : mem::kChannelArea)
        if (a >= s.first && a <= s.last)
            return true;
    return false;
}

int WriteFrames(const CSimulatedRadio& r)
{
    int n = 0;
    for (const RadioFrame& f : r.FrameLog())
        n += f.command == 'W';
    return n;
}

int ReadFrames(const CSimulatedRadio& r)
{
    int n = 0;
    for (const RadioFrame& f : r.FrameLog())
        n += f.command == 'R';
    return n;
}

// Radios with their memories (and faults), and progtool run against them with
// the settings and backups in a folder of the test's own.
class Audit : public ::testing::Test {
protected:
    testenv::TempDir dir;
    std::vector<std::unique_ptr<CSimulatedRadio>> radios;
    std::vector<Image> held;  // what each radio held at the start
    Image plan = Plan();
    std::string planPath = dir.File("plan.dat");
    int status = -1;
    std::string out, log;  // its stdout; stdout and stderr for a failure's message

    void SetUp() override
    {
        ASSERT_TRUE(SaveDatFile(planPath, plan).ok);
        setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    }
    void AddRadio(const Image& memory, const RadioFaults& faults = {})
    {
        auto r = std::make_unique<CSimulatedRadio>();
        ASSERT_TRUE(r->OpenPty());
        r->SetMemory(memory);
        r->SetFaults(faults);
        r->Start();
        radios.push_back(std::move(r));
        held.push_back(memory);
    }
    std::string Port(std::size_t i) const { return radios[i]->SlavePath(); }
    // Runs progtool audit --plan plan.dat --port each radio [extra...]; `during`
    // is called every 2 ms while it runs, with its process id.
    void Run(const std::vector<std::string>& extra, const std::function<void(pid_t)>& during = {})
    {
        std::vector<std::string> args{PROG_PROGTOOL, "audit", "--plan", planPath};
        for (std::size_t i = 0; i < radios.size(); ++i)
            args.insert(args.end(), {"--port", Port(i)});
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const std::string outPath = dir.File("out"), errPath = dir.File("err");
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
            dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
            execv(argv[0], argv.data());
            _exit(127);
        }
        ASSERT_GT(pid, 0);
        int wstatus = 0;
        while (waitpid(pid, &wstatus, WNOHANG) == 0) {
            if (during)
                during(pid);
            std::this_thread::sleep_for(2ms);
        }
        status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
        auto text = [](const std::string& path) {
            std::ifstream f(path);
            std::stringstream s;
            s << f.rdbuf();
            return s.str();
        };
        out = text(outPath);
        log = out + "--- stderr:\n" + text(errPath);
    }
    bool Says(const std::string& text) const { return out.find(text) != std::string::npos; }
};

}  // namespace

TEST_F(Audit, ReportsEachRadioInDiffsWordsAndWritesNothing)
{
    RadioFaults vanishes;
    vanishes.dropAtFrame = 300;
    AddRadio(plan);
    AddRadio(OwnOptions(plan));
    AddRadio(OwnChannels(plan));
    AddRadio(plan, vanishes);
    Run({});
    EXPECT_EQ(status, 1) << log;
    const struct {
        std::size_t radio;
        std::vector<std::string> lines;
    } cases[] = {
        {0, {": matches the plan (backup: "}},
        {1,
         {": differs from the plan (backup: ", "  Option Power-on Name: TR-5V -> CLUB2\n",
          "  Option Squelch Level: 3 -> 7\n"}},
        {2,
         {": differs from the plan (backup: ", "  VHF: 130 - 180 -> 136 - 174\n",
          "  Channel 1 changed: Rx Frequency 147.33000 -> 147.34500\n", "  Channel 2 changed: Cha Name "}},
        {3, {": failed: "}},
    };
    for (const auto& c : cases)
        for (const std::string& line : c.lines)
            EXPECT_TRUE(Says(line.front() == ' ' ? line : Port(c.radio) + line)) << line << "\n" << log;
    EXPECT_TRUE(Says("4 radio(s): 1 match, 2 differ, 1 failed\n")) << log;
    for (const auto& r : radios)
        EXPECT_EQ(WriteFrames(*r), 0);
    // Every whole read is kept as read keeps it; none of the one that vanished.
    std::size_t backups = 0;
    for (const auto& e : fs::directory_iterator(dir.File("data/tr5-programmer/backups")))
        backups += e.path().extension() == ".dat";
    EXPECT_EQ(backups, 3u);

    // The radio that holds the plan alone: all match.
    radios.resize(1);
    Run({});
    EXPECT_EQ(status, 0) << log;
    EXPECT_TRUE(Says("1 radio(s): 1 match, 0 differ, 0 failed\n")) << log;
}

TEST_F(Audit, ReconcileBringsTheChannelsOrThePlanAndWritesOnlyWhatDiffers)
{
    AddRadio(plan);
    AddRadio(OwnOptions(plan));
    AddRadio(OwnOptions(OwnChannels(plan)));
    AddRadio(OwnChannels(plan));
    // The bytes a write never sends stay each radio's own in both modes.
    for (std::size_t i = 1; i < radios.size(); ++i) {
        Image m = held[i];
        m[mem::kWriteEnd + 1] = static_cast<std::uint8_t>(0x40 + i);
        radios[i]->SetMemory(m);
        held[i] = m;
    }
    const struct {
        const char* mode;
        bool written[4];  // which radios a write reaches
    } cases[] = {
        {"channels", {false, false, true, true}},
        {"all", {false, true, true, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        for (std::size_t i = 0; i < radios.size(); ++i)
            radios[i]->SetMemory(held[i]);
        std::vector<int> before;
        for (const auto& r : radios)
            before.push_back(WriteFrames(*r));
        Run({"--reconcile", c.mode});
        EXPECT_EQ(status, 0) << log;
        for (std::size_t i = 0; i < radios.size(); ++i) {
            SCOPED_TRACE("radio " + std::to_string(i));
            EXPECT_EQ(WriteFrames(*radios[i]) > before[i], c.written[i]);
            const Image m = radios[i]->Memory();
            for (int a = 0; a < static_cast<int>(kImageSize); ++a) {
                const bool fromPlan = std::string(c.mode) == "all" ? a < mem::kWriteEnd : InChannelArea(a);
                const std::uint8_t want =
                    fromPlan ? plan[static_cast<std::size_t>(a)] : held[i][static_cast<std::size_t>(a)];
                if (m[static_cast<std::size_t>(a)] != want) {
                    ADD_FAILURE() << "byte " << a << " holds " << int(m[static_cast<std::size_t>(a)]) << ", not "
                                  << int(want);
                    break;
                }
            }
        }
        EXPECT_TRUE(Says(Port(2) + ": reconciled and verified in ")) << log;
        EXPECT_FALSE(Says(Port(0) + ": reconciled")) << log;
    }
}

TEST_F(Audit, NothingIsWrittenAfterCtrlCAndAVanishedRadioIsNotCountedReconciled)
{
    RadioFaults slow;
    slow.replyDelayMs = 1;  // a second or two a transfer
    AddRadio(OwnChannels(plan));
    AddRadio(OwnChannels(plan), slow);
    bool interrupted = false, hungUp = false;
    const struct {
        const char* name;
        std::function<void(pid_t)> during;
        const char* says;
        bool fastWritten;
    } cases[] = {
        // The fast radio's read is whole, the slow one's still running.
        {"Ctrl+C between the reads and the writes",
         [&](pid_t pid) {
             if (!interrupted && ReadFrames(*radios[0]) >= 1024 && ReadFrames(*radios[1]) > 0)
                 interrupted = kill(pid, SIGINT) == 0;
         },
         "interrupted: no radio was left partly written\n", false},
        // The slow radio hangs up a little into its write.
        {"a radio vanishes in the write",
         [&](pid_t) {
             if (const int w = WriteFrames(*radios[1]); !hungUp && w > 0) {
                 RadioFaults hangUp = slow;
                 hangUp.dropAtFrame = w + 30;
                 radios[1]->SetFaults(hangUp);
                 hungUp = true;
             }
         },
         "the radio is left partly written", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int w0 = WriteFrames(*radios[0]), w1 = WriteFrames(*radios[1]);
        Run({"--reconcile", "channels"}, c.during);
        EXPECT_EQ(status, 1) << log;
        EXPECT_TRUE(Says(c.says)) << log;
        EXPECT_EQ(WriteFrames(*radios[0]) > w0, c.fastWritten);
        if (!c.fastWritten)
            EXPECT_EQ(WriteFrames(*radios[1]), w1);
        else
            EXPECT_TRUE(Says("reconcile: 1 written and verified, 1 not reconciled\n")) << log;
    }
}

// The backups of a run never take a file they did not write: not the user's
// dated files in the folder named with --backup-dir (pruned or not), not the
// plan, not a plan that is itself the oldest backup of the program's folder.
TEST_F(Audit, BackupsNeverTakeTheUsersFilesOrThePlan)
{
    AddRadio(plan);
    AddRadio(plan);
    const fs::path club = dir.File("club");
    fs::create_directories(club);
    for (int i = 0; i < 60; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "2019%02d%02d-000000-member%d.dat", 1 + i / 28, 1 + i % 28, i);
        ASSERT_TRUE(SaveDatFile((club / name).string(), plan).ok);
    }
    planPath = (club / "20190101-000000-club-plan.dat").string();
    ASSERT_TRUE(SaveDatFile(planPath, plan).ok);
    for (const char* prune : {"", "--prune"}) {
        SCOPED_TRACE(prune);
        std::vector<std::string> extra{"--backup-dir", club.string()};
        if (*prune)
            extra.push_back(prune);
        Run(extra);
        EXPECT_EQ(status, 0) << log;
        EXPECT_EQ(std::distance(fs::directory_iterator(club), fs::directory_iterator()), 61 + 2 * (*prune ? 2 : 1) + 1)
            << log;  // the user's, the run's backups and the program's list of them
        EXPECT_TRUE(fs::exists(planPath));
        EXPECT_EQ(log.find("removed the old backup"), std::string::npos) << log;
    }

    // "Put the fleet back to last month's backup": the oldest of the 52 the
    // run keeps (the window's 50 and its two reads), which its reads would push out.
    const fs::path own = dir.File("data/tr5-programmer/backups");
    fs::create_directories(own);
    for (int i = 0; i < 52; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "202001%02d-%02d0000-COM1.dat", 1 + i / 24, i % 24);
        ASSERT_TRUE(SaveDatFile((own / name).string(), plan).ok);
    }
    planPath = (own / "20200101-000000-COM1.dat").string();
    Run({});
    EXPECT_EQ(status, 0) << log;
    EXPECT_TRUE(fs::exists(planPath));
    // The plan neither goes nor counts: of 53 others the oldest goes, and is named.
    const fs::path gone = own / "20200101-010000-COM1.dat";
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_NE(log.find("removed the old backup " + gone.string() + " (the newest 52 of the program's own are kept)"),
              std::string::npos)
        << log;
    EXPECT_TRUE(fs::exists(own / "20200101-020000-COM1.dat"));
}

// A radio swapped on its port between the reads and the reconcile's writes is
// not written: its port fails saying so; the others are reconciled.
TEST_F(Audit, ARadioSwappedAfterItsReadIsNotWritten)
{
    const Image other = OwnOptions(OwnChannels(plan));
    AddRadio(OwnChannels(plan));
    AddRadio(OwnChannels(plan));
    radios[0]->SwapAfterRead(other);
    Run({"--reconcile", "channels"});
    EXPECT_EQ(status, 1) << log;
    EXPECT_TRUE(Says(Port(0) + ": failed: a radio was changed: the radio on the port is not the one read (")) << log;
    EXPECT_TRUE(Says("not the one read (it differs from what was read in: Power-on Name (0x12E8-0x12EC); ")) << log;
    EXPECT_TRUE(Says(Port(1) + ": reconciled and verified in ")) << log;
    EXPECT_TRUE(Says("reconcile: 1 written and verified, 1 not reconciled\n")) << log;
    EXPECT_EQ(WriteFrames(*radios[0]), 0);
    EXPECT_TRUE(radios[0]->Memory() == other);
}

// One radio under two names (a second node of its device) is refused before
// anything is sent.
TEST_F(Audit, ARadioUnderASecondDeviceNodeIsOnePort)
{
    AddRadio(plan);
    struct stat pty {};
    ASSERT_EQ(::stat(Port(0).c_str(), &pty), 0);
    const std::string node = dir.File("radio-again");
    if (::mknod(node.c_str(), S_IFCHR | 0600, pty.st_rdev) != 0)
        GTEST_SKIP() << "making a device node needs CAP_MKNOD";
    Run({"--port", node});
    EXPECT_EQ(status, 2) << log;
    EXPECT_NE(log.find("port " + node + " is named twice"), std::string::npos) << log;
    EXPECT_EQ(ReadFrames(*radios[0]), 0);
}
