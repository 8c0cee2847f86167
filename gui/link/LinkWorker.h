#pragma once
// Runs one transfer of the memory image on a thread of its own, so the window's
// event loop never waits on the serial line. The worker owns its port and its
// copy of the image; it reaches the window only through functions run on the
// receiver's thread, and it waits there for the answer to a prompt.
#include <functional>
#include <memory>
#include <string>

#include "core/link/Transfer.h"
#include "core/radio/Image.h"

class QObject;

class CTransferWorker {
public:
    // Every callback runs on the thread of the receiver object, and only while
    // it exists. Prompt must lead to Answer() (directly or later).
    struct Callbacks {
        std::function<void(int lower, int upper)> range;
        std::function<void(int pos)> progress;
        std::function<void(int textId)> prompt;  // Retry / Cancel
        // result carries the failure message and how far the data went; image is
        // the worker's buffer: the radio's memory after a complete read,
        // otherwise the image as it was given to Start.
        std::function<void(const TransferResult& result, const Image& image)> finished;
    };

    CTransferWorker(QObject* receiver, Callbacks callbacks);
    // Cancels a running transfer without waiting for it: the thread finishes
    // on its own (closing its port) and WaitForAll() joins it.
    ~CTransferWorker();
    CTransferWorker(const CTransferWorker&) = delete;
    CTransferWorker& operator=(const CTransferWorker&) = delete;

    // Starts a transfer on device (already mapped from the port name); false
    // while one still runs.
    bool Start(bool write, const std::string& device, const Image& image);
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
