#pragma once
// Runs one transfer of the memory image on a thread of its own, so the window's
// event loop never waits on the serial line. The worker owns its port and its
// copy of the image; it reaches the window only through functions run on the
// receiver's thread, and it waits there for the answer to a prompt.
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "core/link/Backups.h"
#include "core/link/PortName.h"
#include "core/link/Transfer.h"
#include "core/link/Verify.h"
#include "core/radio/Image.h"

class QObject;

// The steps one job may take: a read; or a write, perhaps with a read before
// it that keeps a backup of the radio and a read after it that verifies.
enum class TransferStage { Read, Backup, Write, Verify };

struct TransferPlan {
    bool write = false;
    bool backupFirst = false;              // write: read the radio and keep its backup before writing
    bool verify = false;                   // write: read the radio back after writing
    ResolvedPort port;                     // resolved once on the window's thread; its label names the backups
    Image image{};                         // write: what is sent
    std::string backupFolder;              // complete reads (not the verify) are kept there, unpruned; "" keeps none
    bool chinese = false;                  // the language the radio's changes are named in
    std::shared_ptr<std::ostream> trace;   // the serial trace, or nullptr
    std::vector<std::string> traceHeader;  // of that trace, and of the one kept when a handshake fails
};

struct TransferReport {
    TransferStage stage = TransferStage::Read;  // the step the job ended in
    TransferResult result;                      // of that step
    Image image{};                              // Read / Backup: the radio's memory; Verify: what it gave back
    bool radioRead = false;  // the radio's memory was read whole (a read, or the backup before a write)
    bool backupTried = false;
    BackupResult backup;
    // The write after a backup: the check before it ended the job (nothing
    // was sent), finding another radio on the port than the one backed up.
    bool checkEnded = false;
    bool radioChanged = false;
    std::vector<WriteDifference> changes;
    bool traceFailed = false;  // the trace could not be written completely
    // A handshake failed: where its serial trace was kept (KeptTracePath),
    // "" when it could not be kept.
    std::string keptTrace;
    bool Completed() const { return result.Completed(); }
};

// The step ended in its handshake, which failed: not a port that did not
// open, not a cancel (a Cancel at the Retry prompt ends it as cancelled).
bool HandshakeFailed(const TransferResult& r);

class CTransferWorker {
public:
    // Every callback runs on the thread of the receiver object, and only while
    // it exists. Prompt must lead to Answer() (directly or later).
    struct Callbacks {
        std::function<void(TransferStage stage)> stage;  // a step begins
        std::function<void(int lower, int upper)> range;
        std::function<void(int pos)> progress;
        std::function<void(int attempt)> attempt;  // a handshake attempt begins
        // Retry / Cancel; `sofar` tells what the handshake came to, keptTrace
        // where the trace of its attempts was kept ("" when it could not be).
        std::function<void(int textId, const TransferResult& sofar, const std::string& keptTrace)> prompt;
        std::function<void(const TransferReport& report)> finished;
    };

    CTransferWorker(QObject* receiver, Callbacks callbacks);
    // Cancels a running transfer without waiting for it: the thread finishes
    // on its own (closing its port) and WaitForAll() joins it.
    ~CTransferWorker();
    CTransferWorker(const CTransferWorker&) = delete;
    CTransferWorker& operator=(const CTransferWorker&) = delete;

    // Starts the plan's steps; false while a job still runs.
    bool Start(TransferPlan plan);
    bool IsRunning() const;
    // Sets the cancel flag the engine polls between frames and attempts.
    void Cancel();
    // Answers the prompt the worker waits for (true: Retry).
    void Answer(bool retry);

    // Cancels every transfer still running and joins all transfer threads,
    // those whose owner went away included; run at quit (after the owners'
    // windows no longer take answers).
    static void WaitForAll();
    // Threads started and not yet joined (tests).
    static int LiveThreads();

    struct Job;

private:
    void Reap();
    QObject* m_pReceiver;
    Callbacks m_callbacks;
    std::shared_ptr<Job> m_job;
};
