#include "core/link/Fleet.h"

#include <ctime>

#include "core/link/Handshake.h"
#include "core/link/Protocol.h"
#include "core/link/RadioCheck.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

constexpr int kWriteBlocks = 511;  // progress steps of a write and of a read
constexpr int kReadBlocks = 512;

}  // namespace

bool RadioAnswers(ISerialPort& port, const std::string& device)
{
    if (!port.Open(device))
        return false;
    port.PurgeClear();
    bool answered = false;
    std::size_t n = 0;
    for (std::uint8_t b : CHandshakeSender::EntryCode()) {
        // The engine's own pace for the entry code.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (!port.Write(&b, 1, n))
            break;
    }
    // Two chances for the acknowledgement, as in a handshake.
    for (int i = 0; i < 2 && !answered && !port.IsLost(); ++i) {
        std::uint8_t b = 0;
        if (!port.Read(&b, 1, n))
            break;
        answered = n == 1 && b == proto::kAck;
    }
    port.Close();
    return answered;
}

// The engine's questions, answered without a person: a declined retry prompt
// ends the job; progress goes to the port's state.
class CFleet::CPortObserver : public ITransferObserver {
public:
    CPortObserver(CFleet& fleet, std::size_t index) : m_fleet(fleet), m_index(index) {}
    void Range(int, int) override {}
    void Progress(int pos) override { m_fleet.SetProgress(m_index, base + pos); }
    void Frames(int done, int total) override { m_fleet.SetFrames(m_index, done, total); }
    bool IsCancelled() override { return m_fleet.m_bCancel; }
    bool PromptRetry(int, const TransferResult&) override
    {
        if (m_fleet.m_bCancel || retriesLeft <= 0)
            return false;
        --retriesLeft;
        std::lock_guard<std::mutex> lock(m_fleet.m_mutex);
        ++m_fleet.m_slots[m_index].state.retriesUsed;
        return true;
    }
    void Message(int, const std::string&) override {}  // the result carries it

    int base = 0;  // blocks of the job before the running transfer
    int retriesLeft = 0;

private:
    CFleet& m_fleet;
    std::size_t m_index;
};

CFleet::CFleet(const std::vector<ResolvedPort>& ports, FleetOptions options) : m_options(std::move(options))
{
    if (!m_options.makePort)
        m_options.makePort = [] { return std::make_unique<CSerialPort>(); };
    m_slots.resize(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        m_slots[i].device = ports[i].device;
        m_slots[i].state.port = ports[i].name;
        m_slots[i].state.phase = m_options.watch ? FleetPhase::Absent : FleetPhase::Waiting;
    }
}

CFleet::CFleet(const std::vector<std::string>& ports, FleetOptions options)
    : CFleet(ResolvePorts(ports), std::move(options))
{
}

CFleet::~CFleet()
{
    Cancel();
    Join();
}

void CFleet::Start()
{
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        ++m_nRunning;
        m_threads.emplace_back([this, i] { Worker(i); });
    }
}

void CFleet::Cancel()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bCancel = true;
    }
    m_wake.notify_all();
}

void CFleet::StopWatching()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bNoMoreRadios = true;
    }
    m_wake.notify_all();
}

bool CFleet::WaitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_wake.wait_for(lock, timeout, [this] { return m_nRunning == 0; });
}

void CFleet::Join()
{
    for (std::thread& t : m_threads)
        if (t.joinable())
            t.join();
    m_threads.clear();
}

bool CFleet::Pause(std::chrono::milliseconds d)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_wake.wait_for(lock, d, [this] { return m_bCancel.load() || m_bNoMoreRadios.load(); });
}

std::vector<FleetPortState> CFleet::States() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<FleetPortState> out;
    for (const Slot& s : m_slots) {
        FleetPortState st = s.state;
        const bool busy = st.phase == FleetPhase::Handshake || st.phase == FleetPhase::Writing ||
                          st.phase == FleetPhase::Verifying || st.phase == FleetPhase::Reading;
        if (busy) {
            st.seconds = Since(s.jobStart);
            const double inData = s.inData ? Since(s.dataStart) : 0;
            if (inData > 0 && st.blocks > s.dataBase) {
                st.rate = (st.blocks - s.dataBase) * static_cast<double>(kBlockSize) / inData;
                st.secondsLeft = (st.blocksTotal - st.blocks) * static_cast<double>(kBlockSize) / st.rate;
            }
        }
        out.push_back(std::move(st));
    }
    return out;
}

std::vector<FleetJob> CFleet::Jobs() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_jobs;
}

void CFleet::SetPhase(std::size_t index, FleetPhase phase, int base)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Slot& s = m_slots[index];
        s.state.phase = phase;
        s.inData = false;
        if (base >= 0)
            s.state.blocks = s.dataBase = base;
    }
    ++m_nChanges;
}

void CFleet::SetProgress(std::size_t index, int blocks)
{
    bool changed = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Slot& s = m_slots[index];
        if (!s.inData) {
            // The first block of a data phase: the handshake is behind it.
            s.inData = true;
            s.dataStart = Clock::now();
            s.dataBase = blocks - 1;
            if (s.state.phase == FleetPhase::Handshake) {
                s.state.phase = m_options.write ? FleetPhase::Writing : FleetPhase::Reading;
                changed = true;
            }
        }
        s.state.blocks = blocks;
    }
    if (changed)
        ++m_nChanges;
}

void CFleet::SetFrames(std::size_t index, int frames, int total)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_slots[index].state.frames = frames;
    m_slots[index].state.framesTotal = total;
}

void CFleet::Finish(std::size_t index, const FleetJob& ended)
{
    FleetJob job = ended;
    job.endedAt = std::time(nullptr);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Slot& s = m_slots[index];
        s.state.phase = FleetPhase::Done;
        s.state.seconds = job.seconds;
        s.state.rate = 0;
        s.state.secondsLeft = -1;
        s.state.hasLast = true;
        s.state.last = job;
        (job.Succeeded() ? s.state.succeeded : s.state.failed) += 1;
        m_jobs.push_back(job);
    }
    ++m_nChanges;
}

FleetJob CFleet::RunJob(std::size_t index, ISerialPort& port, CTransferEngine& engine, CPortObserver& observer)
{
    const bool write = m_options.write;
    FleetJob job;
    std::string device;
    const auto start = Clock::now();
    const double cpu0 = ThreadCpuSeconds();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Slot& s = m_slots[index];
        job.port = s.state.port;
        device = s.device;
        job.radio = m_options.watch ? ++m_nRadios : static_cast<int>(index) + 1;
        s.jobStart = start;
        s.state.blocksTotal = write ? kWriteBlocks + (m_options.verify ? kReadBlocks : 0) : kReadBlocks;
        s.state.frames = 0;
        s.state.framesTotal = write ? proto::kWriteFullFrames + 1 : proto::kReadFrames;
        s.state.retriesUsed = 0;
    }
    observer.retriesLeft = m_options.retries;
    observer.base = 0;
    SetPhase(index, FleetPhase::Handshake, 0);

    const Image& sent = index < m_options.images.size() ? m_options.images[index] : m_options.image;
    Image memory{};
    TransferResult r;
    if (write && index < m_options.expected.size()) {
        const GuardedWrite g = WriteToRadioRead(engine, device, sent, m_options.expected[index], m_options.chinese);
        r = g.result;
        job.inCheck = g.checkEnded;
        job.radioChanged = g.radioChanged;
        job.changes = g.changes;
    } else {
        r = write ? engine.Write(device, sent) : engine.Read(device, memory);
    }
    job.device = port.DevicePath();
    if (job.inCheck) {
        job.transfer = r;
        job.outcome =
            r.outcome == TransferOutcome::Cancelled && m_bCancel ? FleetOutcome::Cancelled : FleetOutcome::Failed;
        job.seconds = Since(start);
        job.cpuSeconds = ThreadCpuSeconds() - cpu0;
        return job;
    }
    if (write && r.Completed() && m_options.verify) {
        job.transfer = r;
        observer.base = kWriteBlocks;
        observer.retriesLeft = m_options.retries;
        SetPhase(index, FleetPhase::Verifying, kWriteBlocks);
        {
            // The read-back's own data phase starts with its first block.
            std::lock_guard<std::mutex> lock(m_mutex);
            m_slots[index].inData = false;
            m_slots[index].state.frames = 0;
            m_slots[index].state.framesTotal = proto::kReadFrames;
        }
        r = engine.Read(device, memory);
        job.inVerify = true;
        if (r.Completed())
            job.mismatches = CompareWrittenImage(sent, memory, m_options.chinese);
    }
    job.transfer = r;
    if (r.Completed()) {
        if (!write && m_options.saveRead)
            job.saveError = m_options.saveRead(job, memory);
        job.outcome = !job.mismatches.empty() || !job.saveError.empty() ? FleetOutcome::Failed
                      : job.inVerify                                    ? FleetOutcome::Verified
                                                                        : FleetOutcome::Completed;
    } else if (r.outcome == TransferOutcome::Cancelled && m_bCancel) {
        job.outcome = FleetOutcome::Cancelled;
    } else {
        job.outcome = FleetOutcome::Failed;  // a declined retry prompt is a failed handshake here
    }
    job.partlyWritten = write && !job.inVerify && !r.Completed() && r.dataPhase;
    job.seconds = Since(start);
    job.cpuSeconds = ThreadCpuSeconds() - cpu0;
    return job;
}

void CFleet::Worker(std::size_t index)
{
    std::unique_ptr<ISerialPort> port = m_options.makePort();
    CPortObserver observer(*this, index);
    CTransferEngine engine(*port, observer);
    std::string device;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        device = m_slots[index].device;
    }
    auto setDevice = [&] {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!port->DevicePath().empty())
            m_slots[index].state.device = port->DevicePath();
    };

    auto ended = [&](const FleetJob& job) {
        if (m_options.jobEnded)
            m_options.jobEnded(job, *port);
    };
    if (!m_options.watch) {
        const FleetJob job = RunJob(index, *port, engine, observer);
        setDevice();
        ended(job);
        Finish(index, job);
    } else {
        // Once per arrival: a radio that was served waits until it leaves
        // (stops answering or its device goes) before the port serves again.
        bool served = false;
        while (!m_bCancel && !m_bNoMoreRadios) {
            const bool present = RadioAnswers(*port, device);
            setDevice();
            if (m_bCancel || m_bNoMoreRadios)
                break;
            if (present && !served) {
                const FleetJob job = RunJob(index, *port, engine, observer);
                ended(job);
                Finish(index, job);
                if (m_bCancel || m_bNoMoreRadios)
                    break;  // the job's end is the port's last word
                served = true;
                SetPhase(index, FleetPhase::Present);
            } else if (!present && served) {
                served = false;
                SetPhase(index, FleetPhase::Absent);
            }
            if (!Pause(m_options.pollInterval))
                break;
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        --m_nRunning;
    }
    m_wake.notify_all();
}
