// Several simulated radios on pseudo-terminals served side by side, each by
// its own engine on its own thread.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "core/link/Fleet.h"
#include "core/link/Ports.h"
#include "tests/e2e/LinkFixture.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

FleetOptions Options(bool write)
{
    FleetOptions o;
    o.write = write;
    o.image = TestPattern(7);
    o.makePort = [] { return std::make_unique<CSerialPort>(); };
    return o;
}

struct Rigs {
    std::vector<std::unique_ptr<CSimulatedRadio>> radios;
    std::vector<std::string> ports;
    explicit Rigs(const std::vector<RadioFaults>& faults, const Image& memory = TestPattern(3))
    {
        for (const RadioFaults& f : faults) {
            auto r = std::make_unique<CSimulatedRadio>();
            EXPECT_TRUE(r->OpenPty());
            r->SetMemory(memory);
            r->SetFaults(f);
            r->Start();
            ports.push_back(r->SlavePath());
            radios.push_back(std::move(r));
        }
    }
};

RadioFaults Fault(int RadioFaults::*field, int frame)
{
    RadioFaults f;
    f.*field = frame;
    return f;
}

}  // namespace

TEST(Fleet, WriteWithVerifyFailsOnlyTheFaultyRadios)
{
    RadioFaults garbage;
    garbage.garbage = true;
    const struct {
        RadioFaults faults;
        FleetOutcome outcome;
        bool inVerify, partlyWritten, holdsImage;
        int messageId;
    } cases[] = {
        {{}, FleetOutcome::Verified, true, false, true, 0},
        // A short read reply only shows in the read-back: the write itself completed.
        {Fault(&RadioFaults::shortReplyAtFrame, 100), FleetOutcome::Failed, true, false, true, IDS_PROGRAM_INTERRUPT},
        {Fault(&RadioFaults::dropAtFrame, 300), FleetOutcome::Failed, false, true, false, IDS_PROGRAM_INTERRUPT},
        {Fault(&RadioFaults::missingAckAtFrame, 5), FleetOutcome::Failed, false, true, false, IDS_PROGRAM_INTERRUPT},
        {garbage, FleetOutcome::Failed, false, false, false, IDS_COMM_ERROR},
        {{}, FleetOutcome::Verified, true, false, true, 0},
    };
    std::vector<RadioFaults> faults;
    for (const auto& c : cases)
        faults.push_back(c.faults);
    Rigs rigs(faults);
    FleetOptions o = Options(true);
    o.verify = true;
    CFleet fleet(rigs.ports, o);
    fleet.Start();
    ASSERT_TRUE(fleet.WaitFor(60s));
    fleet.Join();

    // A loaded machine can end a job by its time-out before the radio hangs
    // up: stopped, no radio drops its line while its port is looked at.
    for (auto& radio : rigs.radios)
        radio->Stop();
    const std::vector<FleetPortState> states = fleet.States();
    ASSERT_EQ(fleet.Jobs().size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const FleetJob& job = states[i].last;
        SCOPED_TRACE("port " + std::to_string(i));
        ASSERT_TRUE(states[i].hasLast);
        EXPECT_EQ(states[i].phase, FleetPhase::Done);
        EXPECT_EQ(job.outcome, cases[i].outcome);
        EXPECT_EQ(job.inVerify, cases[i].inVerify);
        EXPECT_EQ(job.partlyWritten, cases[i].partlyWritten);
        EXPECT_EQ(job.transfer.messageId, cases[i].messageId);
        EXPECT_TRUE(job.mismatches.empty());
        EXPECT_EQ(job.device, rigs.ports[i]);
        const Image m = rigs.radios[i]->Memory();
        EXPECT_EQ(std::equal(m.begin(), m.begin() + mem::kWriteEnd, o.image.begin()), cases[i].holdsImage);
        // Every port is released (a radio that hung up took its device along).
        EXPECT_EQ(DescribeSerialDevice(rigs.ports[i]).Openable(), !rigs.radios[i]->Dropped());
    }
}

TEST(Fleet, ReadSavesOnlyWholeMemories)
{
    Rigs rigs({{}, Fault(&RadioFaults::shortReplyAtFrame, 700), {}}, TestPattern(11));
    std::mutex m;
    std::map<std::string, Image> saved;
    FleetOptions o = Options(false);
    o.saveRead = [&](const FleetJob& job, const Image& memory) {
        std::lock_guard<std::mutex> lock(m);
        saved[job.port] = memory;
        return job.port == rigs.ports[2] ? std::string("disk full") : std::string();
    };
    CFleet fleet(rigs.ports, o);
    fleet.Start();
    ASSERT_TRUE(fleet.WaitFor(60s));
    const std::vector<FleetPortState> s = fleet.States();
    EXPECT_EQ(s[0].last.outcome, FleetOutcome::Completed);
    EXPECT_EQ(s[1].last.outcome, FleetOutcome::Failed);
    EXPECT_EQ(s[1].last.transfer.frames, 700);
    EXPECT_EQ(s[2].last.outcome, FleetOutcome::Failed);  // read whole, not saved
    EXPECT_EQ(s[2].last.saveError, "disk full");
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[rigs.ports[0]], TestPattern(11));
    EXPECT_EQ(saved.count(rigs.ports[1]), 0u);
}

TEST(Fleet, CancelStopsEveryRadioAndReleasesThePorts)
{
    RadioFaults slow;
    slow.replyDelayMs = 3;  // about four seconds a write
    Rigs rigs({slow, slow, slow});
    FleetOptions o = Options(true);
    o.verify = true;
    CFleet fleet(rigs.ports, o);
    fleet.Start();
    bool underway = false;
    for (int i = 0; i < 500 && !underway; ++i) {
        const auto s = fleet.States();
        underway = std::all_of(s.begin(), s.end(), [](const FleetPortState& p) { return p.blocks >= 20; });
        if (!underway)
            std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(underway) << "every radio 20 blocks into its write";
    const auto t0 = std::chrono::steady_clock::now();
    fleet.Cancel();
    ASSERT_TRUE(fleet.WaitFor(2s));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 500ms);
    for (const FleetPortState& s : fleet.States()) {
        EXPECT_EQ(s.last.outcome, FleetOutcome::Cancelled);
        EXPECT_TRUE(s.last.partlyWritten);
        EXPECT_GE(s.last.transfer.frames, 40);
        EXPECT_LT(s.last.transfer.frames, s.last.transfer.framesTotal);
    }
    for (const std::string& p : rigs.ports)
        EXPECT_TRUE(DescribeSerialDevice(p).Openable()) << p;
}

TEST(Fleet, WatchServesEachArrivalOnce)
{
    testenv::TempDir dir;
    const std::string link = dir.File("radio");
    FleetOptions o = Options(true);
    o.watch = true;
    o.pollInterval = 50ms;
    CFleet fleet({link}, o);
    fleet.Start();
    auto waitFor = [&](auto pred) {
        for (int i = 0; i < 1000 && !pred(fleet.States()[0]); ++i)
            std::this_thread::sleep_for(10ms);
        return pred(fleet.States()[0]);
    };
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(fleet.States()[0].phase, FleetPhase::Absent);
    EXPECT_TRUE(fleet.Jobs().empty());

    for (int arrival = 1; arrival <= 2; ++arrival) {
        SCOPED_TRACE("arrival " + std::to_string(arrival));
        Rigs rig(std::vector<RadioFaults>(1));
        fs::create_symlink(rig.ports[0], link);
        ASSERT_TRUE(waitFor([](const FleetPortState& s) { return s.phase == FleetPhase::Present; }));
        std::this_thread::sleep_for(200ms);  // still there: not served again
        EXPECT_EQ(fleet.Jobs().size(), static_cast<std::size_t>(arrival));
        EXPECT_EQ(fleet.Jobs().back().outcome, FleetOutcome::Completed);
        EXPECT_EQ(fleet.Jobs().back().radio, arrival);
        const Image m = rig.radios[0]->Memory();
        EXPECT_TRUE(std::equal(m.begin(), m.begin() + mem::kWriteEnd, o.image.begin()));
        fs::remove(link);
        ASSERT_TRUE(waitFor([](const FleetPortState& s) { return s.phase == FleetPhase::Absent; }));
    }
    EXPECT_EQ(fleet.States()[0].succeeded, 2);
    fleet.Cancel();
    EXPECT_TRUE(fleet.WaitFor(1s));
}
