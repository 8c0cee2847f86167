#include "gui/link/TransferWorker.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <atomic>
#include <condition_variable>
#include <ctime>
#include <list>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

#include "core/app/StringIds.h"
#include "core/link/RadioCheck.h"
#include "core/link/SerialPort.h"
#include "core/link/Trace.h"
#include "core/link/Transfer.h"

struct CTransferWorker::Job {
    std::mutex mutex;
    std::condition_variable cv;
    QObject* receiver = nullptr;  // guarded by mutex; nullptr once the owner went away
    bool aborted = false;         // guarded by mutex
    std::optional<bool> answer;   // guarded by mutex
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    Callbacks callbacks;  // used on the receiver's thread only
    TransferPlan plan;

    bool Alive()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return receiver != nullptr;
    }

    // Queues f for the receiver's thread. Events still queued when the
    // receiver is deleted are dropped by Qt; f checks Alive() for the window
    // between the owner's destructor and the receiver's.
    template <class F>
    void Post(std::shared_ptr<Job> self, F f)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!receiver)
            return;
        QMetaObject::invokeMethod(
            receiver,
            [self = std::move(self), f = std::move(f)]() mutable {
                if (self->Alive())
                    f(self->callbacks);
            },
            Qt::QueuedConnection);
    }

    // Hands a question to the receiver's thread and waits for Answer(); an
    // owner that goes away answers "Cancel".
    template <class F>
    bool Ask(const std::shared_ptr<Job>& self, F f)
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (!receiver || aborted)
            return false;
        answer.reset();
        QMetaObject::invokeMethod(
            receiver,
            [self, f = std::move(f)]() mutable {
                if (self->Alive())
                    f(self->callbacks);
            },
            Qt::QueuedConnection);
        cv.wait(lock, [&] { return answer.has_value() || aborted; });
        const bool r = !aborted && answer.value_or(false);
        answer.reset();
        return r;
    }
};

namespace {

// Transfer threads not yet joined. A thread outlives its worker object when
// the window closed mid-transfer; it stops at the engine's next cancel check.
struct ThreadEntry {
    std::shared_ptr<CTransferWorker::Job> job;
    std::thread thread;
};

std::mutex& RegistryMutex()
{
    static std::mutex m;
    return m;
}

struct Registry {
    std::list<ThreadEntry> entries;
    ~Registry() { JoinAll(); }
    // Cancels what still runs and joins it. A transfer may be waiting for the
    // answer to a question its window will never see once the event loop has
    // ended: it is told "Cancel", so the join cannot hang the exit.
    void JoinAll()
    {
        std::list<ThreadEntry> all;
        {
            std::lock_guard<std::mutex> lock(RegistryMutex());
            all.swap(entries);
        }
        for (ThreadEntry& e : all) {
            std::lock_guard<std::mutex> lock(e.job->mutex);
            e.job->receiver = nullptr;
            e.job->aborted = true;
            e.job->cancel = true;
            e.job->cv.notify_all();
        }
        for (ThreadEntry& e : all)
            if (e.thread.joinable())
                e.thread.join();
    }
};

Registry& Threads()
{
    static Registry r;
    return r;
}

void JoinAtQuit() { Threads().JoinAll(); }

// The serial trace of a step's handshake, in memory, kept for a support report
// when the handshake fails (KeepFailedTrace). Once data frames flow the calls go
// straight to the line: a transfer that gets that far pays nothing for it.
class CHandshakeTrace : public ISerialPort {
public:
    CHandshakeTrace(ISerialPort& inner, const std::vector<std::string>& header) : m_inner(inner), m_header(header) {}

    // Each step opens the port: its trace starts afresh.
    bool Open(const std::string& device) override
    {
        m_trace.reset();
        m_text.str({});
        m_text.clear();
        m_bData = false;
        m_trace = std::make_unique<CTracingPort>(m_inner, m_text, m_header);
        return m_trace->Open(device);
    }
    bool IsOpen() const override { return m_inner.IsOpen(); }
    void Close() override { Line().Close(); }
    bool Read(std::uint8_t* buf, std::size_t n, std::size_t& got) override { return Line().Read(buf, n, got); }
    bool Write(const std::uint8_t* buf, std::size_t n, std::size_t& written) override
    {
        return Line().Write(buf, n, written);
    }
    void PurgeAbort() override { Line().PurgeAbort(); }
    void PurgeClear() override { Line().PurgeClear(); }
    bool IsLost() const override { return m_inner.IsLost(); }
    std::string ErrorText() const override { return m_inner.ErrorText(); }
    std::string DevicePath() const override { return m_inner.DevicePath(); }

    void DataFlows() { m_bData = true; }
    // Keeps the trace so far; returns where, "" when it could not be kept (the
    // transfer goes on as it would: the trace is only for support). `whole`
    // ends the trace first, so that its last bytes are decoded.
    std::string Keep(bool whole)
    {
        if (whole && m_trace)
            m_trace.reset();
        return KeepFailedTrace(m_text.str()) ? KeptTracePath() : std::string();
    }

private:
    ISerialPort& Line() { return m_trace && !m_bData ? static_cast<ISerialPort&>(*m_trace) : m_inner; }

    ISerialPort& m_inner;
    std::vector<std::string> m_header;
    std::ostringstream m_text;  // before m_trace: the trace writes its last frames into it as it goes
    std::unique_ptr<CTracingPort> m_trace;
    bool m_bData = false;
};

class CWorkerObserver : public ITransferObserver {
public:
    CWorkerObserver(std::shared_ptr<CTransferWorker::Job> job, CHandshakeTrace& kept)
        : m_job(std::move(job)), m_kept(kept)
    {
    }

    void Range(int lower, int upper) override
    {
        m_job->Post(m_job, [lower, upper](CTransferWorker::Callbacks& cb) {
            if (cb.range)
                cb.range(lower, upper);
        });
    }
    void Progress(int pos) override
    {
        m_job->Post(m_job, [pos](CTransferWorker::Callbacks& cb) {
            if (cb.progress)
                cb.progress(pos);
        });
    }
    void Attempt(int n) override
    {
        m_job->Post(m_job, [n](CTransferWorker::Callbacks& cb) {
            if (cb.attempt)
                cb.attempt(n);
        });
    }
    void Stage(TransferStage stage)
    {
        m_job->Post(m_job, [stage](CTransferWorker::Callbacks& cb) {
            if (cb.stage)
                cb.stage(stage);
        });
    }
    void Frames(int, int) override { m_kept.DataFlows(); }
    bool IsCancelled() override { return m_job->cancel.load(); }
    bool PromptRetry(int textId, const TransferResult& sofar) override
    {
        // The handshake failed: its trace is kept before the user is asked.
        const std::string kept = m_kept.Keep(false);
        return m_job->Ask(m_job, [textId, sofar, kept](CTransferWorker::Callbacks& cb) {
            if (cb.prompt)
                cb.prompt(textId, sofar, kept);
        });
    }
    // A failure ends the transfer: its message goes out with the result, where
    // the owner can tell it together with how far the data went.
    void Message(int, const std::string&) override {}

private:
    std::shared_ptr<CTransferWorker::Job> m_job;
    CHandshakeTrace& m_kept;
};

void RunJob(const std::shared_ptr<CTransferWorker::Job>& job)
{
    const TransferPlan& plan = job->plan;
    // The port was resolved on the window's thread, where Program.ini lives.
    const std::string& device = plan.port.device;
    CSerialPort serial;
    std::unique_ptr<CTracingPort> traced;
    if (plan.trace)
        traced = std::make_unique<CTracingPort>(serial, *plan.trace, plan.traceHeader);
    CHandshakeTrace kept(traced ? static_cast<ISerialPort&>(*traced) : serial, plan.traceHeader);
    CWorkerObserver observer(job, kept);
    CTransferEngine engine(kept, observer);

    auto report = std::make_shared<TransferReport>();
    TransferReport& rep = *report;
    auto read = [&](TransferStage stage) {
        observer.Stage(stage);
        rep.stage = stage;
        Image buffer = plan.image;
        rep.result = engine.Read(device, buffer);
        if (rep.result.Completed()) {
            rep.image = buffer;
            rep.radioRead = rep.radioRead || stage != TransferStage::Verify;
        }
        return rep.result.Completed();
    };
    // What the radio held is kept; the verify's read-back is what was just
    // written and is not.
    // Pruned on the window's thread, which knows the documents open.
    auto keep = [&] {
        if (plan.backupFolder.empty())
            return true;
        rep.backupTried = true;
        BackupPruning none;
        none.prune = false;
        rep.backup = SaveBackup(plan.backupFolder, rep.image, plan.port.label, std::time(nullptr), none);
        return rep.backup.ok;
    };
    if (!plan.write) {
        if (read(TransferStage::Read))
            keep();
    } else if (!plan.backupFirst || (read(TransferStage::Backup) && keep())) {
        observer.Stage(TransferStage::Write);
        rep.stage = TransferStage::Write;
        if (plan.backupFirst) {
            // Only into the radio just backed up.
            const GuardedWrite g = WriteToRadioRead(engine, device, plan.image, rep.image, plan.chinese);
            rep.result = g.result;
            rep.checkEnded = g.checkEnded;
            rep.radioChanged = g.radioChanged;
            rep.changes = g.changes;
        } else {
            rep.result = engine.Write(device, plan.image);
        }
        if (rep.result.Completed() && plan.verify && !rep.checkEnded)
            read(TransferStage::Verify);
    }
    if (HandshakeFailed(rep.result))
        rep.keptTrace = kept.Keep(true);
    serial.Close();
    if (traced) {
        rep.traceFailed = !traced->Good();
        traced.reset();
        plan.trace->flush();
        rep.traceFailed = rep.traceFailed || !plan.trace->good();
    }

    // Set before the end is delivered, so the owner's join finds the thread
    // on its way out.
    job->done = true;
    job->Post(job, [report](CTransferWorker::Callbacks& cb) {
        if (cb.finished)
            cb.finished(*report);
    });
}

}  // namespace

bool HandshakeFailed(const TransferResult& r)
{
    return r.outcome == TransferOutcome::Failed && !r.dataPhase && r.messageId == IDS_PROGRAM_INTERRUPT;
}

CTransferWorker::CTransferWorker(QObject* receiver, Callbacks callbacks)
    : m_pReceiver(receiver), m_callbacks(std::move(callbacks))
{
    static bool registered = false;
    if (!registered && QCoreApplication::instance()) {
        qAddPostRoutine(JoinAtQuit);
        registered = true;
    }
}

CTransferWorker::~CTransferWorker()
{
    if (m_job) {
        std::lock_guard<std::mutex> lock(m_job->mutex);
        m_job->receiver = nullptr;
        m_job->aborted = true;
        m_job->cancel = true;
        m_job->cv.notify_all();
    }
    Reap();
}

bool CTransferWorker::Start(TransferPlan plan)
{
    if (IsRunning())
        return false;
    Reap();
    auto job = std::make_shared<Job>();
    job->receiver = m_pReceiver;
    job->plan = std::move(plan);
    job->callbacks = m_callbacks;
    // The job is over for the owner once its end has been delivered.
    auto finished = m_callbacks.finished;
    Job* raw = job.get();
    job->callbacks.finished = [this, raw, finished](const TransferReport& report) {
        if (m_job.get() == raw)
            m_job.reset();
        Reap();
        if (finished)
            finished(report);
    };
    m_job = job;
    std::lock_guard<std::mutex> lock(RegistryMutex());
    Threads().entries.push_back(ThreadEntry{job, std::thread(RunJob, job)});
    return true;
}

bool CTransferWorker::IsRunning() const { return m_job != nullptr; }

void CTransferWorker::Cancel()
{
    if (m_job)
        m_job->cancel = true;
}

void CTransferWorker::Answer(bool retry)
{
    if (!m_job)
        return;
    std::lock_guard<std::mutex> lock(m_job->mutex);
    m_job->answer = retry;
    m_job->cv.notify_all();
}

void CTransferWorker::Reap()
{
    // Joins the threads that have finished; a finished thread only has its
    // last few instructions left, so the join does not hold the caller up.
    std::list<ThreadEntry> finished;
    {
        std::lock_guard<std::mutex> lock(RegistryMutex());
        auto& list = Threads().entries;
        for (auto it = list.begin(); it != list.end();) {
            if (it->job->done.load()) {
                auto next = std::next(it);
                finished.splice(finished.end(), list, it);
                it = next;
            } else {
                ++it;
            }
        }
    }
    for (ThreadEntry& e : finished)
        if (e.thread.joinable())
            e.thread.join();
}

void CTransferWorker::WaitForAll() { Threads().JoinAll(); }

int CTransferWorker::LiveThreads()
{
    std::lock_guard<std::mutex> lock(RegistryMutex());
    return static_cast<int>(Threads().entries.size());
}
