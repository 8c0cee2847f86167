// The transfer engine against an in-process port whose other end is the
// radio's protocol machine; reads never wait, so attempts cost no time.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <deque>
#include <functional>

#include "core/link/Protocol.h"
#include "core/link/RadioCheck.h"
#include "core/link/SerialPort.h"
#include "core/link/Transfer.h"
#include "tests/core/FakePort.h"

namespace {

using fakeport::FakePort;
using fakeport::WriteCall;

class Observer : public ITransferObserver {
public:
    int lower = -1, upper = -1;
    std::vector<int> progress;
    int pumps = 0;
    int cancelAtPump = -1;  // IsCancelled turns true from this pump pass on
    std::vector<int> prompts;
    std::vector<std::string> promptTexts;  // what the handshake came to, at each prompt
    std::vector<bool> answers;             // answers to successive prompts; Cancel when run out
    std::function<void()> atPrompt;        // what happens while the question is up
    std::vector<std::pair<int, std::string>> messages;
    std::vector<int> attempts;

    void Range(int lo, int hi) override { lower = lo, upper = hi; }
    void Progress(int pos) override { progress.push_back(pos); }
    void Attempt(int n) override { attempts.push_back(n); }
    void Pump() override { ++pumps; }
    bool IsCancelled() override { return cancelAtPump >= 0 && pumps >= cancelAtPump; }
    bool PromptRetry(int id, const TransferResult& sofar) override
    {
        prompts.push_back(id);
        promptTexts.push_back(HandshakeFaultText(sofar, false));
        if (atPrompt)
            atPrompt();
        std::size_t k = prompts.size() - 1;
        return k < answers.size() && answers[k];
    }
    void Message(int id, const std::string& detail) override { messages.emplace_back(id, detail); }
};

Image Pattern()
{
    Image img{};
    for (std::size_t i = 0; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    return img;
}

struct Rig {
    FakePort port;
    Observer obs;
    CTransferEngine engine{port, obs};
    std::vector<long long> sleeps;
    Rig()
    {
        port.radio.Memory() = Pattern();
        engine.SetSleeper([this](std::chrono::microseconds d) {
            sleeps.push_back(d.count());
            port.pendingSleepUs += d.count();
        });
    }
    int EntryCodes() const { return port.radio.EntryCodesSeen(); }
    void ExpectClosed() const
    {
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(port.opens, port.closes + (port.failOpen ? 1 : 0));
    }
};

Image Before()
{
    Image img{};
    img.fill(0x5A);
    return img;
}

}  // namespace

TEST(LinkEngine, CompleteReadCopiesRadioMemoryAndCountsBlocks)
{
    Rig r;
    Image img = Before();
    TransferResult res = r.engine.Read("COM1", img);
    ASSERT_TRUE(res.Completed()) << res.messageId;
    EXPECT_EQ(img, Pattern());
    EXPECT_EQ(r.obs.lower, 0);
    EXPECT_EQ(r.obs.upper, 512);
    ASSERT_EQ(r.obs.progress.size(), 512u);
    for (std::size_t i = 0; i < r.obs.progress.size(); ++i)
        ASSERT_EQ(r.obs.progress[i], static_cast<int>(i) + 1);
    EXPECT_TRUE(r.obs.messages.empty());
    EXPECT_TRUE(r.obs.prompts.empty());
    r.ExpectClosed();

    const auto& frames = r.port.radio.FrameLog();
    ASSERT_EQ(frames.size(), 1024u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(frames[i].command, 'R');
        ASSERT_EQ(frames[i].Address(), static_cast<int>(i * 8));
        ASSERT_EQ(frames[i].length, 8);
    }
    // Six pump passes before the one handshake attempt, nine after each frame.
    EXPECT_EQ(r.obs.pumps, 6 + 9 * 1024);
}

TEST(LinkEngine, HandshakeSendsEntryCodeIdentificationAndAckByteByByte)
{
    Rig r;
    Image img = Before();
    ASSERT_TRUE(r.engine.Read("COM2", img).Completed());
    const auto& w = r.port.writes;
    ASSERT_GE(w.size(), 11u);
    const std::uint8_t expect[] = {0x02, 'T', 'A', 'N', 'A', 'G', 'R', 0x4D, 0x02, 0x06};
    for (std::size_t i = 0; i < sizeof expect; ++i) {
        ASSERT_EQ(w[i].bytes.size(), 1u) << i;
        EXPECT_EQ(w[i].bytes[0], expect[i]) << i;
    }
    for (int i = 0; i < 7; ++i)
        EXPECT_GE(w[static_cast<std::size_t>(i)].sleepsBefore, 2000) << "2 ms before entry byte " << i;
    EXPECT_EQ(r.port.purgeAborts, 1);
    // First read request carries R 00 00 08.
    EXPECT_EQ(w[10].bytes, (std::vector<std::uint8_t>{0x52, 0x00, 0x00, 0x08}));
}

TEST(LinkEngine, AddressesGoHighByteFirst)
{
    Rig r;
    Image img = Before();
    ASSERT_TRUE(r.engine.Read("COM1", img).Completed());
    bool seen = false;
    for (const auto& w : r.port.writes)
        if (w.bytes == std::vector<std::uint8_t>{0x52, 0x01, 0x08, 0x08})
            seen = true;
    EXPECT_TRUE(seen);
}

TEST(LinkEngine, CompleteWriteSendsEverythingButTheLastTenBytes)
{
    Rig r;
    Image radioOwn{};
    radioOwn.fill(0xC3);
    r.port.radio.Memory() = radioOwn;
    const Image img = Pattern();
    TransferResult res = r.engine.Write("COM1", img);
    ASSERT_TRUE(res.Completed()) << res.messageId;
    r.ExpectClosed();

    const auto& frames = r.port.radio.FrameLog();
    ASSERT_EQ(frames.size(), 1023u);
    for (int i = 0; i < 1022; ++i) {
        ASSERT_EQ(frames[static_cast<std::size_t>(i)].Address(), i * 8);
        ASSERT_EQ(frames[static_cast<std::size_t>(i)].length, 8);
    }
    const RadioFrame& last = frames.back();
    EXPECT_EQ(last.command, 0x57);
    EXPECT_EQ(last.addrHi, 0x1F);
    EXPECT_EQ(last.addrLo, 0xF0);
    EXPECT_EQ(last.length, 6);
    EXPECT_EQ(last.data.size(), 6u);

    const Image after = r.port.radio.Memory();
    for (std::size_t i = 0; i < 0x1FF6; ++i)
        ASSERT_EQ(after[i], img[i]) << i;
    for (std::size_t i = 0x1FF6; i < kImageSize; ++i)
        EXPECT_EQ(after[i], 0xC3) << i;

    // Each frame: header as one write, a 1 ms pause, the data as another.
    std::size_t headers = 0;
    const auto& w = r.port.writes;
    for (std::size_t i = 0; i + 1 < w.size(); ++i) {
        if (w[i].bytes.size() == 4 && w[i].bytes[0] == 0x57) {
            ++headers;
            EXPECT_EQ(w[i + 1].bytes.size(), w[i].bytes[3]);
            EXPECT_GE(w[i + 1].sleepsBefore, 1000);
        }
    }
    EXPECT_EQ(headers, 1023u);
    EXPECT_EQ((std::vector<int>{res.frames, res.bytes, res.framesTotal, res.bytesTotal}),
              (std::vector<int>{1023, 8182, 1023, 8182}));
    EXPECT_EQ(r.obs.lower, 0);
    EXPECT_EQ(r.obs.upper, 511);
    ASSERT_EQ(r.obs.progress.size(), 511u);
    EXPECT_EQ(r.obs.progress.back(), 511);
    // No pump passes after the last frame.
    EXPECT_EQ(r.obs.pumps, 6 + 9 * 1022);
}

TEST(LinkEngine, SilentRadioPromptsAfterFifteenAttemptsAndRetryGrantsFifteenMore)
{
    Rig r;
    RadioFaults f;
    f.silent = true;
    r.port.radio.SetFaults(f);
    r.obs.answers = {true};  // Retry once, then Cancel
    Image img = Before();
    TransferResult res = r.engine.Read("COM1", img);
    EXPECT_EQ(res.outcome, TransferOutcome::Cancelled);
    EXPECT_EQ(res.messageId, IDS_COMM_ERROR);
    EXPECT_EQ(r.obs.prompts, (std::vector<int>{IDS_COMM_ERROR, IDS_COMM_ERROR}));
    EXPECT_EQ(r.EntryCodes(), 30);
    // Each attempt is announced; Retry counts from 1 again.
    std::vector<int> attempts;
    for (int series = 0; series < 2; ++series)
        for (int n = 1; n <= 15; ++n)
            attempts.push_back(n);
    EXPECT_EQ(r.obs.attempts, attempts);
    EXPECT_TRUE(r.obs.messages.empty());  // Cancel at the prompt says nothing more
    EXPECT_EQ(img, Before());
    r.ExpectClosed();
}

TEST(LinkEngine, FourteenMissedEntryCodesNeedNoPromptButFifteenDo)
{
    {
        Rig r;
        RadioFaults f;
        f.ignoreEntryCodes = 14;
        r.port.radio.SetFaults(f);
        Image img = Before();
        EXPECT_TRUE(r.engine.Read("COM1", img).Completed());
        EXPECT_TRUE(r.obs.prompts.empty());
        EXPECT_EQ(r.EntryCodes(), 15);
    }
    {
        Rig r;
        RadioFaults f;
        f.ignoreEntryCodes = 15;
        r.port.radio.SetFaults(f);
        r.obs.answers = {true};
        Image img = Before();
        EXPECT_TRUE(r.engine.Read("COM1", img).Completed());
        EXPECT_EQ(r.obs.prompts.size(), 1u);
        EXPECT_EQ(img, Pattern());
    }
}

TEST(LinkEngine, MissingFinalAckAfterFiveFailedAttemptsIsProgramInterrupt)
{
    Rig r;
    RadioFaults f;
    f.ignoreEntryCodes = 5;  // counter reaches 6 before the final ack goes missing
    f.missingFinalAcks = 1;
    r.port.radio.SetFaults(f);
    Image img = Before();
    TransferResult res = r.engine.Read("COM1", img);
    EXPECT_EQ(res.outcome, TransferOutcome::Failed);
    EXPECT_EQ(res.messageId, IDS_PROGRAM_INTERRUPT);
    ASSERT_EQ(r.obs.messages.size(), 1u);
    EXPECT_EQ(r.obs.messages[0].first, IDS_PROGRAM_INTERRUPT);
    EXPECT_TRUE(r.obs.prompts.empty());
    EXPECT_EQ(img, Before());
    r.ExpectClosed();
}

TEST(LinkEngine, MissingFinalAckWithCounterAtMostFivePromptsAndRetryRecovers)
{
    Rig r;
    RadioFaults f;
    f.ignoreEntryCodes = 4;  // counter 5 when the final ack goes missing
    f.missingFinalAcks = 1;
    r.port.radio.SetFaults(f);
    r.obs.answers = {true};
    Image img = Before();
    TransferResult res = r.engine.Read("COM1", img);
    EXPECT_TRUE(res.Completed());
    EXPECT_EQ(r.obs.prompts, std::vector<int>{IDS_COMM_ERROR});
    EXPECT_TRUE(r.obs.messages.empty());
    EXPECT_EQ(img, Pattern());
}

TEST(LinkEngine, HandshakeFailuresSayWhatHappenedAndHowManyAttemptsWereMade)
{
    struct Case {
        const char* name;
        RadioFaults faults;
        int noiseAtRead;
        std::vector<bool> answers;  // to the prompts
        HandshakeFault fault;
        int attempts;
        const char* text;
    };
    RadioFaults silent, garbage, noFinal, lateFinal, echo;
    silent.silent = true;
    echo.echo = true;
    garbage.garbage = true;
    noFinal.missingFinalAcks = INT_MAX;
    lateFinal.ignoreEntryCodes = 2;
    lateFinal.missingFinalAcks = INT_MAX;
    const Case cases[] = {
        {"silent",
         silent,
         -1,
         {},
         HandshakeFault::NoAnswer,
         15,
         "the radio did not answer the entry code (15 handshake attempts)"},
        {"silent, one retry",
         silent,
         -1,
         {true},
         HandshakeFault::NoAnswer,
         30,
         "the radio did not answer the entry code (30 handshake attempts)"},
        {"noise",
         garbage,
         -1,
         {},
         HandshakeFault::WrongAnswer,
         15,
         "the radio answered the entry code with other bytes than the acknowledgement (noise on the line?) (15 "
         "handshake attempts)"},
        {"an echoing cable",
         echo,
         -1,
         {},
         HandshakeFault::Echo,
         15,
         "our own bytes came back instead of an answer: the cable is connected but the radio is not answering "
         "(switched off, or the plug not fully in) (15 handshake attempts)"},
        {"no closing ack",
         noFinal,
         -1,
         {},
         HandshakeFault::NoClosingAck,
         1,
         "the radio sent its identification but did not acknowledge the end of the handshake (1 handshake attempt)"},
        {"no closing ack after two unanswered",
         lateFinal,
         -1,
         {true},
         HandshakeFault::NoClosingAck,
         4,
         "the radio sent its identification but did not acknowledge the end of the handshake (4 handshake "
         "attempts)"},
        // Reads: the entry code's acknowledgement, the identification, then the closing one.
        {"late or noisy closing byte",
         {},
         3,
         {},
         HandshakeFault::WrongClosingAck,
         1,
         "the radio answered the end of the handshake with another byte than the acknowledgement (a slow radio or "
         "noise on the line?) (1 handshake attempt)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        r.port.radio.SetFaults(c.faults);
        r.port.noiseAtRead = c.noiseAtRead;
        r.obs.answers = c.answers;
        Image img = Before();
        const TransferResult res = r.engine.Read("COM1", img);
        EXPECT_EQ(res.messageId, IDS_COMM_ERROR);
        EXPECT_FALSE(res.dataPhase);
        EXPECT_EQ(res.handshakeFault, c.fault);
        EXPECT_EQ(res.handshakeAttempts, c.attempts);
        EXPECT_EQ(r.EntryCodes(), c.attempts);
        EXPECT_EQ(HandshakeFaultText(res, false), c.text);
        ASSERT_FALSE(r.obs.promptTexts.empty());
        EXPECT_EQ(r.obs.promptTexts.back(), c.text);
        EXPECT_EQ(img, Before());
    }
    TransferResult r;
    r.handshakeAttempts = 15;
    r.handshakeFault = HandshakeFault::NoAnswer;
    EXPECT_EQ(HandshakeFaultText(r, true), "电台未应答进入编程模式的代码（共尝试握手 15 次）");
    r.handshakeFault = HandshakeFault::None;
    EXPECT_EQ(HandshakeFaultText(r, false), "");
}

TEST(LinkEngine, MissingIdentificationIsNoFailure)
{
    Rig r;
    RadioFaults f;
    f.noIdent = true;
    r.port.radio.SetFaults(f);
    Image img = Before();
    EXPECT_TRUE(r.engine.Read("COM1", img).Completed());
    EXPECT_EQ(img, Pattern());
}

TEST(LinkEngine, ReadFailuresLeaveTheImageUntouched)
{
    struct Case {
        const char* name;
        RadioFaults faults;
    };
    std::vector<Case> cases;
    RadioFaults f;
    f.shortReplyAtFrame = 700;  // 11 bytes: 8 data bytes would be there, still a failure
    cases.push_back({"short reply", f});
    f = {};
    f.wrongAckAtFrame = 3;
    cases.push_back({"wrong ack", f});
    f = {};
    f.missingAckAtFrame = 1023;  // even the very last frame
    cases.push_back({"missing ack", f});
    f = {};
    f.garbage = true;
    cases.push_back({"garbage", f});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        r.port.radio.SetFaults(c.faults);
        Image img = Before();
        TransferResult res = r.engine.Read("COM1", img);
        EXPECT_FALSE(res.Completed());
        EXPECT_EQ(img, Before());
        if (c.faults.garbage) {
            EXPECT_EQ(res.messageId, IDS_COMM_ERROR);  // no answer makes sense: prompt, Cancel
            EXPECT_EQ(r.EntryCodes(), 15);
        } else {
            EXPECT_EQ(res.outcome, TransferOutcome::Failed);
            ASSERT_EQ(r.obs.messages.size(), 1u);
            EXPECT_EQ(r.obs.messages[0].first, IDS_PROGRAM_INTERRUPT);
        }
        r.ExpectClosed();
    }
}

TEST(LinkEngine, WriteFailuresAtFrameStopThere)
{
    for (int mode = 0; mode < 2; ++mode) {
        Rig r;
        RadioFaults f;
        (mode ? f.wrongAckAtFrame : f.missingAckAtFrame) = 1022;  // the short last frame
        r.port.radio.SetFaults(f);
        TransferResult res = r.engine.Write("COM1", Pattern());
        EXPECT_EQ(res.outcome, TransferOutcome::Failed);
        EXPECT_EQ(res.messageId, IDS_PROGRAM_INTERRUPT);
        EXPECT_EQ(r.port.radio.FrameLog().size(), 1023u);
        // The last frame arrived but was not acknowledged: it does not count.
        EXPECT_EQ(res.frames, 1022);
        EXPECT_EQ(res.bytes, 1022 * 8);
        r.ExpectClosed();
    }
    Rig r;
    RadioFaults f;
    f.wrongAckAtFrame = 10;
    r.port.radio.SetFaults(f);
    const TransferResult res = r.engine.Write("COM1", Pattern());
    EXPECT_EQ(res.messageId, IDS_PROGRAM_INTERRUPT);
    EXPECT_EQ(r.port.radio.FrameLog().size(), 11u);
    EXPECT_TRUE(res.dataPhase);
    EXPECT_EQ(res.frames, 10);
    EXPECT_EQ(r.obs.progress.size(), 5u);  // frames 0, 2, 4, 6, 8 closed a block
}

TEST(LinkEngine, CancellationIsSeenAtThePumpPasses)
{
    {  // before anything is sent
        Rig r;
        r.obs.cancelAtPump = 1;
        Image img = Before();
        TransferResult res = r.engine.Read("COM1", img);
        EXPECT_EQ(res.outcome, TransferOutcome::Cancelled);
        EXPECT_EQ(res.messageId, 0);
        EXPECT_FALSE(res.dataPhase);
        EXPECT_EQ(res.frames, 0);
        EXPECT_TRUE(r.port.writes.empty());
        EXPECT_TRUE(r.obs.messages.empty());
        r.ExpectClosed();
    }
    {  // in the passes after the third read frame
        Rig r;
        r.obs.cancelAtPump = 6 + 9 * 2 + 4;
        Image img = Before();
        TransferResult res = r.engine.Read("COM1", img);
        EXPECT_EQ(res.outcome, TransferOutcome::Cancelled);
        EXPECT_EQ(r.port.radio.FrameLog().size(), 3u);
        EXPECT_EQ((std::vector<int>{res.frames, res.bytes, res.framesTotal, res.bytesTotal}),
                  (std::vector<int>{3, 24, 1024, 8192}));
        EXPECT_EQ(r.obs.pumps, 6 + 9 * 2 + 4);
        EXPECT_EQ(img, Before());
        r.ExpectClosed();
    }
    {  // in a later handshake attempt of a silent radio
        Rig r;
        RadioFaults f;
        f.silent = true;
        r.port.radio.SetFaults(f);
        r.obs.cancelAtPump = 6 * 3 + 1;
        Image img = Before();
        EXPECT_EQ(r.engine.Read("COM1", img).outcome, TransferOutcome::Cancelled);
        EXPECT_EQ(r.EntryCodes(), 3);
        EXPECT_TRUE(r.obs.prompts.empty());
    }
    {  // write
        Rig r;
        r.obs.cancelAtPump = 6 + 9 * 100 + 1;
        const TransferResult res = r.engine.Write("COM1", Pattern());
        EXPECT_EQ(res.outcome, TransferOutcome::Cancelled);
        EXPECT_EQ(r.port.radio.FrameLog().size(), 101u);
        EXPECT_EQ((std::vector<int>{res.frames, res.bytes}), (std::vector<int>{101, 808}));
        r.ExpectClosed();
    }
}

TEST(LinkEngine, PortThatWillNotOpenGivesOpenFailureWithReason)
{
    Rig r;
    r.port.failOpen = true;
    Image img = Before();
    TransferResult res = r.engine.Read("/dev/ttyNONE", img);
    EXPECT_EQ(res.outcome, TransferOutcome::Failed);
    EXPECT_EQ(res.messageId, IDS_OPEN_PORT_FAIL);
    ASSERT_EQ(r.obs.messages.size(), 1u);
    EXPECT_EQ(r.obs.messages[0].first, IDS_OPEN_PORT_FAIL);
    EXPECT_NE(r.obs.messages[0].second.find("/dev/ttyNONE"), std::string::npos);
    EXPECT_NE(r.obs.messages[0].second.find("No such file"), std::string::npos);
    EXPECT_TRUE(r.port.writes.empty());
    EXPECT_EQ(img, Before());
}

TEST(LinkEngine, LostLineStopsAtOnceWithReason)
{
    {
        Rig r;
        r.port.loseAtFrame = 40;
        Image img = Before();
        TransferResult res = r.engine.Read("COM1", img);
        EXPECT_EQ(res.messageId, IDS_PROGRAM_INTERRUPT);
        EXPECT_FALSE(res.detail.empty());
        EXPECT_EQ(img, Before());
        r.ExpectClosed();
    }
    {  // in the handshake: no fifteen pointless attempts
        Rig r;
        RadioFaults f;
        f.dropAtFrame = 0;
        r.port.radio.SetFaults(f);
        r.port.loseAtFrame = -1;
        TransferResult res = r.engine.Write("COM1", Pattern());
        EXPECT_EQ(res.messageId, IDS_PROGRAM_INTERRUPT);
        EXPECT_EQ(r.EntryCodes(), 1);
        EXPECT_TRUE(r.obs.prompts.empty());
    }
}

TEST(LinkPortNames, ComNamesMapThroughTheTableOrToUsbDevices)
{
#ifdef _WIN32
    GTEST_SKIP() << "COM names are the system's own port names on Windows";
#endif
    auto table = [](const std::string& key) -> std::string { return key == "COM2" ? "/dev/ttyS1" : ""; };
    EXPECT_EQ(MapPortName("COM1", table), "/dev/ttyUSB0");
    EXPECT_EQ(MapPortName("com1", table), "/dev/ttyUSB0");
    EXPECT_EQ(MapPortName("COM2", table), "/dev/ttyS1");
    EXPECT_EQ(MapPortName("com2", table), "/dev/ttyS1");
    EXPECT_EQ(MapPortName("com4", table), "/dev/ttyUSB3");
    EXPECT_EQ(MapPortName("com0", table), "com0");
    EXPECT_EQ(MapPortName("COM5", table), "COM5");
    EXPECT_EQ(MapPortName("COM12", table), "COM12");
    EXPECT_EQ(MapPortName("/dev/pts/7", table), "/dev/pts/7");
}

TEST(LinkPortNames, OpenErrorsNameTheDeviceAndHelpWithPermissions)
{
#ifdef _WIN32
    GTEST_SKIP() << "device files and the dialout group are POSIX";
#endif
    std::string denied = OpenErrorText("/dev/ttyUSB0", EACCES);
    EXPECT_NE(denied.find("/dev/ttyUSB0"), std::string::npos);
    EXPECT_NE(denied.find("Permission denied"), std::string::npos);
    EXPECT_NE(denied.find("dialout"), std::string::npos);
    std::string missing = OpenErrorText("/dev/ttyUSB3", ENOENT);
    EXPECT_EQ(missing.find("dialout"), std::string::npos);
}

// The line goes quiet after the check before a write, and the user swaps the
// radio while asked to retry: the write never asks (it goes back to the
// check), and the check finds the other radio, which keeps its memory.
TEST(LinkEngine, ARadioSwappedWhileAWriteWouldBeRetriedIsNotWritten)
{
    Rig r;
    RadioFaults f;
    f.ignoreEntryCodesFrom = 1;
    f.ignoreEntryCodes = 3 + 15;  // the write's first attempts, then a whole series of the check's
    r.port.radio.SetFaults(f);
    Image other = Pattern();
    other[mem::kSquelch] ^= 0x01;
    r.obs.answers = {true};
    r.obs.atPrompt = [&] { r.port.radio.Memory() = other; };
    const GuardedWrite g = WriteToRadioRead(r.engine, "COM1", Before(), Pattern(), false);
    EXPECT_TRUE(g.checkEnded && g.radioChanged);
    ASSERT_EQ(g.changes.size(), 1u);
    EXPECT_EQ(g.changes[0].where, "Squelch Level");
    EXPECT_EQ(r.obs.prompts.size(), 1u);
    for (const RadioFrame& frame : r.port.radio.FrameLog())
        ASSERT_NE(frame.command, 'W');
    EXPECT_EQ(r.port.radio.Memory(), other);
    r.ExpectClosed();
}
