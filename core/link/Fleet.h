#pragma once
// Many radios at once. Each port gets its own serial port, its own transfer
// engine (the one the window uses, unchanged) and its own thread, so every
// radio runs at full speed: a transfer spends its time waiting on the wire, not
// on the processor. A port that fails never stops the others; Cancel stops them
// all at their next check, and the caller waits for every thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/link/PortName.h"
#include "core/link/SerialPort.h"
#include "core/link/Transfer.h"
#include "core/link/Verify.h"
#include "core/radio/ImageDiff.h"

enum class FleetPhase {
    Waiting,    // not started yet
    Handshake,  // putting the radio into programming mode
    Writing,
    Verifying,  // reading the radio back after a write
    Reading,
    Done,     // the job ended (see the port's last job)
    Absent,   // watching: no radio answers on the port
    Present,  // watching: the radio on the port was served; waiting for the next one
};

enum class FleetOutcome {
    Completed,  // written (without verify) or read and saved
    Verified,   // written and read back equal
    Failed,
    Cancelled,
};

// One radio's job, once it ended.
struct FleetJob {
    std::string port;
    std::string device;
    int radio = 0;  // the port's place in the list from 1; watching: 1, 2, ... in the order radios arrived
    FleetOutcome outcome = FleetOutcome::Failed;
    // The transfer that ended the job: the write, or the read (also the read-back).
    TransferResult transfer;
    bool inVerify = false;  // that transfer was the read-back
    // The read-back differs from the image: each channel, option or other field with its addresses.
    std::vector<WriteDifference> mismatches;
    // A write guarded by `expected`: the check before it ended the job (it
    // failed, or found another radio) and nothing was sent.
    bool inCheck = false;
    bool radioChanged = false;             // the radio on the port is not the one read
    std::vector<WriteDifference> changes;  // where it differs from what was read
    std::string saveError;                 // a read whose file could not be saved
    // A write that reached the data phase and did not finish: the radio holds
    // part of the new memory and part of the old.
    bool partlyWritten = false;
    double seconds = 0;
    std::time_t endedAt = 0;  // wall-clock time the job ended, naming a radio among those of one port
    double cpuSeconds = 0;    // processor time of the port's thread during the job
    bool Succeeded() const { return outcome == FleetOutcome::Completed || outcome == FleetOutcome::Verified; }
};

// A port as it stands now.
struct FleetPortState {
    std::string port;
    std::string device;  // "" until first opened
    FleetPhase phase = FleetPhase::Waiting;
    int blocks = 0;       // 16-byte blocks done in the job (the write and its read-back together)
    int blocksTotal = 0;  // blocks of the whole job
    // 8-byte frames of the running transfer (the write, the read-back or the
    // read), the unit of the job's result: "after 289 of 1023 frames".
    int frames = 0;
    int framesTotal = 0;
    double seconds = 0;       // since the job started
    double rate = 0;          // bytes per second in the current data phase, 0 before it
    double secondsLeft = -1;  // estimate for the whole job, -1 while unknown
    int retriesUsed = 0;      // further series of handshake attempts granted so far
    int succeeded = 0;        // jobs of this port that succeeded / did not (several when watching)
    int failed = 0;
    bool hasLast = false;
    FleetJob last;  // the port's last finished job
};

struct FleetOptions {
    bool write = true;
    bool verify = false;   // write: read the radio back and compare 0x0000..0x1FF5
    bool chinese = false;  // the language the differences are named in
    int retries = 0;       // further series of 15 handshake attempts after the first
    // Keep watching: serve every radio that starts answering on a port, once per
    // arrival, until Cancel.
    bool watch = false;
    std::chrono::milliseconds pollInterval{500};
    Image image{};  // write: what to send
    // write: what to send to each port, in the ports' order (a radio's own
    // memory brought to a plan); empty: every port gets `image`
    std::vector<Image> images;
    // write: what each radio held when it was read, in the ports' order: a
    // port is written only while it still holds that radio (WriteToRadioRead)
    std::vector<Image> expected;
    // The port object of each thread; default: CSerialPort.
    std::function<std::unique_ptr<ISerialPort>()> makePort;
    // Read: called on the port's thread once the radio's memory arrived whole;
    // returns "" when saved, else the reason (the job then fails).
    std::function<std::string(const FleetJob& job, const Image& memory)> saveRead;
    // Called on the port's thread as each job ends, before the port is used
    // again and before the job is told (States, Jobs): the port still holds
    // what the job left in it (a trace of its traffic).
    std::function<void(const FleetJob& job, ISerialPort& port)> jobEnded;
};

// Sends the entry code once and listens for the acknowledgement: true when a
// radio answers on device. Leaves the port closed.
bool RadioAnswers(ISerialPort& port, const std::string& device);

class CFleet {
public:
    // The ports as resolved on the caller's thread; the threads open their devices.
    CFleet(const std::vector<ResolvedPort>& ports, FleetOptions options);
    // The same, each name resolved now (ResolvePort).
    CFleet(const std::vector<std::string>& ports, FleetOptions options);
    ~CFleet();  // cancels and joins
    CFleet(const CFleet&) = delete;
    CFleet& operator=(const CFleet&) = delete;

    void Start();
    void Cancel();
    bool CancelRequested() const { return m_bCancel; }
    // Watching: every port finishes the job it runs and serves no further radio
    // (the transfers in progress are not cut short, as Cancel would).
    void StopWatching();
    // Waits up to `timeout` for every thread to end; true once they have.
    bool WaitFor(std::chrono::milliseconds timeout);
    void Join();

    std::vector<FleetPortState> States() const;
    std::vector<FleetJob> Jobs() const;  // in the order they ended
    // Grows with every change of phase and every ended job.
    std::uint64_t Changes() const { return m_nChanges; }

private:
    class CPortObserver;
    void Worker(std::size_t index);
    FleetJob RunJob(std::size_t index, ISerialPort& port, CTransferEngine& engine, CPortObserver& observer);
    void SetPhase(std::size_t index, FleetPhase phase, int base = -1);
    void SetProgress(std::size_t index, int blocks);
    void SetFrames(std::size_t index, int frames, int total);
    void Finish(std::size_t index, const FleetJob& job);
    bool Pause(std::chrono::milliseconds d);

    FleetOptions m_options;
    struct Slot {
        FleetPortState state;
        std::string device;  // what the port's thread opens
        std::chrono::steady_clock::time_point jobStart{}, dataStart{};
        int dataBase = 0;  // blocks done when the current data phase began
        bool inData = false;
    };
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Slot> m_slots;
    std::vector<FleetJob> m_jobs;
    std::vector<std::thread> m_threads;
    std::atomic<bool> m_bCancel{false};
    std::atomic<bool> m_bNoMoreRadios{false};
    std::atomic<std::uint64_t> m_nChanges{0};
    std::atomic<int> m_nRunning{0};
    int m_nRadios = 0;
};
