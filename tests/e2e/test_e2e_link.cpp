// The real serial port code over a pseudo-terminal against the simulated radio.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <climits>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "tests/e2e/LinkFixture.h"
#include "core/app/IniFile.h"

using Clock = std::chrono::steady_clock;

namespace {
long long MsSince(Clock::time_point t0)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
}
Image Untouched()
{
    Image img{};
    img.fill(0xA5);
    return img;
}
}  // namespace

TEST_F(LinkTest, CompleteReadEqualsRadioMemory)
{
    RadioFaults f;
    f.randomHeaders = true;  // reply headers are not examined
    Serve(f);
    Image img = Untouched();
    TransferResult r = engine.Read(radio.SlavePath(), img);
    ASSERT_TRUE(r.Completed()) << r.messageId << " " << r.detail;
    EXPECT_EQ(img, radio.Memory());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(obs.upper, 512);
    EXPECT_EQ(obs.last, 512);

    auto frames = radio.FrameLog();
    ASSERT_EQ(frames.size(), 1024u);
    EXPECT_EQ(frames[33].command, 'R');
    EXPECT_EQ(frames[33].addrHi, 0x01);  // 0x0108: high byte first
    EXPECT_EQ(frames[33].addrLo, 0x08);
    EXPECT_EQ(frames[33].length, 8);
}

TEST_F(LinkTest, CompleteWriteLeavesTheRadiosOwnLastTenBytes)
{
    Image own{};
    own.fill(0x3C);
    radio.SetMemory(own);
    Serve();
    const Image img = TestPattern(2);
    TransferResult r = engine.Write(radio.SlavePath(), img);
    ASSERT_TRUE(r.Completed()) << r.messageId << " " << r.detail;
    EXPECT_FALSE(port.IsOpen());
    Image after = radio.Memory();
    EXPECT_TRUE(std::equal(img.begin(), img.begin() + 0x1FF6, after.begin()));
    for (std::size_t i = 0x1FF6; i < kImageSize; ++i)
        EXPECT_EQ(after[i], 0x3C) << i;
    auto frames = radio.FrameLog();
    ASSERT_EQ(frames.size(), 1023u);
    EXPECT_EQ(frames.back().command, 0x57);
    EXPECT_EQ(frames.back().addrHi, 0x1F);
    EXPECT_EQ(frames.back().addrLo, 0xF0);
    EXPECT_EQ(frames.back().length, 6);
    EXPECT_EQ(obs.last, 511);

    // And the radio's memory survives a save and a reload.
    std::string path = ::testing::TempDir() + "h3_radio.dat";
    std::string err;
    ASSERT_TRUE(radio.SaveDat(path, &err)) << err;
    CSimulatedRadio other;
    ASSERT_TRUE(other.LoadDat(path, &err)) << err;
    EXPECT_EQ(other.Memory(), after);
    ::unlink(path.c_str());
}

TEST_F(LinkTest, DataPhaseFaultsEndWithProgramInterruptAndTheImageUnchanged)
{
    struct Case {
        const char* name;
        RadioFaults f;
        bool write;
    };
    std::vector<Case> cases;
    RadioFaults f;
    f.shortReplyAtFrame = 17;
    cases.push_back({"short reply", f, false});
    f = {};
    f.wrongAckAtFrame = 40;
    cases.push_back({"wrong ack, read", f, false});
    cases.push_back({"wrong ack, write", f, true});
    f = {};
    f.missingAckAtFrame = 5;
    cases.push_back({"missing ack, read", f, false});
    cases.push_back({"missing ack, write", f, true});
    f = {};
    f.byteGapMs = 70;  // longer than the 50 ms between two bytes
    f.slowFromFrame = 9;
    cases.push_back({"slow reply", f, false});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Image memory = TestPattern(3);
        LinkRig rig(c.f, &memory);
        auto& [r, p, o, e] = rig;
        Image img = Untouched();
        TransferResult res = c.write ? e.Write(r.SlavePath(), img) : e.Read(r.SlavePath(), img);
        r.Stop();
        EXPECT_EQ(res.outcome, TransferOutcome::Failed);
        EXPECT_EQ(res.messageId, IDS_PROGRAM_INTERRUPT);
        ASSERT_EQ(o.messages.size(), 1u);
        EXPECT_EQ(o.messages[0].first, IDS_PROGRAM_INTERRUPT);
        EXPECT_FALSE(p.IsOpen());
        EXPECT_EQ(img, Untouched());
        EXPECT_TRUE(o.prompts.empty());
    }
}

TEST_F(LinkTest, SlowButInTimeRepliesStillComplete)
{
    RadioFaults f;
    f.replyDelayMs = 150;  // under the 190 ms of a one-byte read
    f.byteGapMs = 40;      // under the 50 ms between two bytes
    f.slowFromFrame = 1022;
    Serve(f);
    Image img = Untouched();
    TransferResult r = engine.Read(radio.SlavePath(), img);
    ASSERT_TRUE(r.Completed()) << r.messageId;
    EXPECT_EQ(img, radio.Memory());
}

TEST_F(LinkTest, HandshakeFaults)
{
    {  // identification never sent: its read times out short, which is no failure
        RadioFaults f;
        f.noIdent = true;
        const Image memory = TestPattern(4);
        LinkRig rig(f, &memory);
        auto& [r, p, o, e] = rig;
        Image img = Untouched();
        EXPECT_TRUE(e.Read(r.SlavePath(), img).Completed());
        EXPECT_EQ(img, TestPattern(4));
    }
    {  // final ack missing with the counter at 1: prompt, Cancel ends quietly
        RadioFaults f;
        f.missingFinalAcks = INT_MAX;
        LinkRig rig(f);
        auto& [r, p, o, e] = rig;
        Image img = Untouched();
        TransferResult res = e.Read(r.SlavePath(), img);
        EXPECT_EQ(res.outcome, TransferOutcome::Cancelled);
        EXPECT_EQ(o.prompts, std::vector<int>{IDS_COMM_ERROR});
        EXPECT_TRUE(o.messages.empty());
        EXPECT_FALSE(p.IsOpen());
        EXPECT_EQ(img, Untouched());
    }
    {  // five unanswered entry codes, then the final ack missing: Program Interrupt
        RadioFaults f;
        f.ignoreEntryCodes = 5;
        f.missingFinalAcks = 1;
        LinkRig rig(f);
        auto& [r, p, o, e] = rig;
        Image img = Untouched();
        TransferResult res = e.Write(r.SlavePath(), img);
        EXPECT_EQ(res.messageId, IDS_PROGRAM_INTERRUPT);
        EXPECT_TRUE(o.prompts.empty());
        EXPECT_EQ(r.EntryCodesSeen(), 6);
        EXPECT_TRUE(r.FrameLog().empty());
        EXPECT_FALSE(p.IsOpen());
    }
    {  // noise instead of answers: fifteen quick attempts, then the prompt
        RadioFaults f;
        f.garbage = true;
        LinkRig rig(f);
        auto& [r, p, o, e] = rig;
        Image img = Untouched();
        TransferResult res = e.Read(r.SlavePath(), img);
        EXPECT_EQ(res.outcome, TransferOutcome::Cancelled);
        EXPECT_EQ(o.prompts, std::vector<int>{IDS_COMM_ERROR});
        EXPECT_EQ(r.EntryCodesSeen(), 15);
        EXPECT_EQ(img, Untouched());
    }
}

TEST_F(LinkTest, SilentRadioThenRetryAfterItWakesUp)
{
    RadioFaults f;
    f.silent = true;
    Serve(f);
    obs.onPrompt = [this] {
        radio.SetFaults(RadioFaults{});  // the user switched the radio on
        return true;
    };
    Image img = Untouched();
    auto t0 = Clock::now();
    TransferResult r = engine.Read(radio.SlavePath(), img);
    ASSERT_TRUE(r.Completed()) << r.messageId;
    EXPECT_EQ(obs.prompts, std::vector<int>{IDS_COMM_ERROR});
    EXPECT_EQ(radio.EntryCodesSeen(), 16);
    EXPECT_EQ(img, radio.Memory());
    // Each silent attempt waits twice for one byte (2 x 190 ms).
    EXPECT_GT(MsSince(t0), 15 * 380);
}

TEST_F(LinkTest, CancelMidTransfer)
{
    Serve();
    obs.cancelAtProgress = 100;
    Image img = Untouched();
    TransferResult r = engine.Read(radio.SlavePath(), img);
    EXPECT_EQ(r.outcome, TransferOutcome::Cancelled);
    EXPECT_EQ(r.messageId, 0);
    EXPECT_TRUE(obs.messages.empty());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(img, Untouched());
    EXPECT_EQ(radio.FrameLog().size(), 199u);  // the block of frames 198/199 stepped to 100

    // The port is free again for the next transfer.
    RecordingObserver o2;
    CTransferEngine e2(port, o2);
    EXPECT_TRUE(e2.Write(radio.SlavePath(), TestPattern(9)).Completed());
}

TEST_F(LinkTest, MissingDeviceGivesOpenFailureWithReason)
{
    Image img = Untouched();
    TransferResult r = engine.Read("/dev/ttyNoSuchDevice9", img);
    EXPECT_EQ(r.messageId, IDS_OPEN_PORT_FAIL);
    ASSERT_EQ(obs.messages.size(), 1u);
    EXPECT_NE(obs.messages[0].second.find("/dev/ttyNoSuchDevice9"), std::string::npos);
    EXPECT_NE(obs.messages[0].second.find("No such file or directory"), std::string::npos);
    EXPECT_EQ(img, Untouched());
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(LinkTest, ComNameMapsThroughThePortsSection)
{
    Serve();
    const std::string ini = ::testing::TempDir() + "h3_Program.ini";
    {
        FILE* f = std::fopen(ini.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fprintf(f, "[Setup]\nLanguage=English\n[ports]\ncom3=%s\n", radio.SlavePath().c_str());
        std::fclose(f);
    }
    ASSERT_TRUE(theIniFile.Load(ini, false, true, false));
    CSerialPort mapped;
    RecordingObserver o;
    CTransferEngine e(mapped, o);
    Image img = Untouched();
    TransferResult r = e.Read(ResolvePort("com3").device, img);
    theIniFile.Clear();
    ::unlink(ini.c_str());
    ASSERT_TRUE(r.Completed()) << r.detail;
    EXPECT_EQ(mapped.DevicePath(), radio.SlavePath());
    EXPECT_EQ(img, radio.Memory());
}

TEST_F(LinkTest, SecondOpenOfAHeldPortFails)
{
    ASSERT_TRUE(port.Open(radio.SlavePath())) << port.ErrorText();
    CSerialPort second;
    EXPECT_FALSE(second.Open(radio.SlavePath()));
    EXPECT_NE(second.ErrorText().find(radio.SlavePath()), std::string::npos);
    port.Close();
    EXPECT_TRUE(second.Open(radio.SlavePath())) << second.ErrorText();
}

TEST_F(LinkTest, HangUpIsALostDeviceNoticedAtOnce)
{
    RadioFaults f;
    f.dropAtFrame = 50;
    Serve(f);
    Image img = Untouched();
    auto t0 = Clock::now();
    TransferResult r = engine.Read(radio.SlavePath(), img);
    EXPECT_EQ(r.messageId, IDS_PROGRAM_INTERRUPT);
    EXPECT_NE(r.detail.find("disconnected"), std::string::npos) << r.detail;
    EXPECT_TRUE(port.IsLost());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(img, Untouched());
    EXPECT_TRUE(obs.prompts.empty());
    EXPECT_LT(MsSince(t0), 3000);

    // A read on a hung-up line fails at once and burns no processor time.
    CSimulatedRadio r2;
    ASSERT_TRUE(r2.OpenPty());
    CSerialPort p;
    ASSERT_TRUE(p.Open(r2.SlavePath()));
    RadioFaults drop;
    drop.dropAtFrame = 0;
    r2.SetFaults(drop);
    r2.Start();
    const std::uint8_t frame[] = {0x02, 'T', 'A', 'N', 'A', 'G', 'R'};
    std::size_t n = 0;
    ASSERT_TRUE(p.Write(frame, sizeof frame, n));
    std::uint8_t b = 0;
    ASSERT_TRUE(p.Read(&b, 1, n));  // the entry ack
    const std::uint8_t id[] = {0x4D, 0x02, 0x06, 0x52, 0, 0, 8};
    ASSERT_TRUE(p.Write(id, sizeof id, n));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::clock_t c0 = std::clock();
    t0 = Clock::now();
    std::uint8_t buf[32];
    EXPECT_FALSE(p.Read(buf, sizeof buf, n));
    EXPECT_TRUE(p.IsLost());
    EXPECT_LT(MsSince(t0), 100);
    EXPECT_LT(double(std::clock() - c0) / CLOCKS_PER_SEC, 0.05);
    r2.Stop();
}

TEST(LinkPortTimeouts, TotalAndInterByteTimersMeasuredLoosely)
{
    int master = -1, slave = -1;
    char name[256] = {};
    termios tio{};
    cfmakeraw(&tio);
    ASSERT_EQ(openpty(&master, &slave, name, &tio, nullptr), 0);
    CSerialPort p;
    ASSERT_TRUE(p.Open(name)) << p.ErrorText();
    std::uint8_t buf[16];
    std::size_t got = 99;

    // Silence: n bytes wait 100 ms each plus 90 ms, then succeed with nothing.
    auto t0 = Clock::now();
    EXPECT_TRUE(p.Read(buf, 1, got));
    long long ms1 = MsSince(t0);
    EXPECT_EQ(got, 0u);
    EXPECT_GE(ms1, 185);
    EXPECT_LT(ms1, 400);
    t0 = Clock::now();
    EXPECT_TRUE(p.Read(buf, 4, got));
    long long ms4 = MsSince(t0);
    EXPECT_GE(ms4, 485);
    EXPECT_LT(ms4, 800);

    // Three bytes, then silence: the read returns 50 ms after the last byte.
    const std::uint8_t three[] = {0x11, 0x13, 0x0D};
    ASSERT_EQ(::write(master, three, 3), 3);
    t0 = Clock::now();
    EXPECT_TRUE(p.Read(buf, 12, got));
    long long msGap = MsSince(t0);
    EXPECT_EQ(got, 3u);
    EXPECT_EQ(buf[0], 0x11);
    EXPECT_EQ(buf[1], 0x13);
    EXPECT_EQ(buf[2], 0x0D);
    EXPECT_GE(msGap, 45);
    EXPECT_LT(msGap, 400);  // far below the 1290 ms total

    // Bytes 30 ms apart keep the read going until all arrived.
    std::thread feeder([&] {
        for (int i = 0; i < 5; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            std::uint8_t b = static_cast<std::uint8_t>(i);
            [[maybe_unused]] auto w = ::write(master, &b, 1);
        }
    });
    EXPECT_TRUE(p.Read(buf, 5, got));
    feeder.join();
    EXPECT_EQ(got, 5u);

    // Clear purge drops what was waiting.
    ASSERT_EQ(::write(master, three, 3), 3);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    p.PurgeClear();
    EXPECT_TRUE(p.Read(buf, 1, got));
    EXPECT_EQ(got, 0u);

    p.Close();
    ::close(master);
    ::close(slave);
}
