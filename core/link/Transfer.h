#pragma once
// One complete transfer of the memory image to or from the radio. The engine
// knows nothing of windows: it reports through ITransferObserver, so the GUI
// (on a worker thread), the command-line tool and the tests drive the same code.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/app/StringIds.h"
#include "core/link/Ports.h"
#include "core/link/SerialPort.h"
#include "core/radio/Image.h"

struct TransferResult;

// Called from the thread that runs the engine.
class ITransferObserver {
public:
    virtual ~ITransferObserver() = default;
    virtual void Range(int lower, int upper) = 0;
    virtual void Progress(int pos) = 0;
    // One more data frame acknowledged (write) or received whole (read): done
    // of total, the unit of TransferResult::frames.
    virtual void Frames(int /*done*/, int /*total*/) {}
    // One pump pass: give the user interface its turn (may do nothing).
    virtual void Pump() {}
    // A handshake attempt begins: 1, 2, ... (back to 1 after a Retry).
    virtual void Attempt(int) {}
    virtual bool IsCancelled() = 0;
    // Message textId with Retry and Cancel; true for Retry. `sofar` tells what
    // the handshake came to (HandshakeFaultText).
    virtual bool PromptRetry(int textId, const TransferResult& sofar) = 0;
    // Message textId with OK; detail is extra text (the device and the reason), may be "".
    virtual void Message(int textId, const std::string& detail) = 0;
};

enum class TransferOutcome { Completed, Cancelled, Failed };

// How the last handshake attempt went wrong.
enum class HandshakeFault {
    None,
    NoAnswer,          // nothing came back to the entry code
    WrongAnswer,       // the entry code was answered, but not with the acknowledgement
    Echo,              // ... with the code's own bytes: the line returns what is sent
    NoIdentification,  // the entry code was taken, the identification could not be read
    NoClosingAck,      // identification exchanged, its end not acknowledged
    WrongClosingAck,   // ... answered with another byte (a slow radio's late bytes, noise)
};

struct TransferResult {
    TransferOutcome outcome = TransferOutcome::Failed;
    int messageId = 0;   // Failed: the message shown; Cancelled at the prompt: IDS_COMM_ERROR
    std::string detail;  // Failed: the detail shown with it
    // How far the memory went, on every end: the radio was in programming mode
    // and data frames were on their way; frames the radio acknowledged (a write)
    // or delivered whole (a read) and their bytes, of the totals of the direction.
    bool dataPhase = false;
    int frames = 0;
    int bytes = 0;
    int framesTotal = 0;
    int bytesTotal = 0;
    // Entry codes sent, over every series of attempts, and how the last
    // attempt failed (None once the radio is in programming mode).
    int handshakeAttempts = 0;
    HandshakeFault handshakeFault = HandshakeFault::None;
    // Other programs that had the port open when the handshake gave up: the
    // likely reason the radio's answers never came.
    std::vector<PortHolder> portHolders;
    bool Completed() const { return outcome == TransferOutcome::Completed; }
};

// What the handshake came to, for the window's and the tool's messages:
// "the radio did not answer the entry code (15 handshake attempts)", or its
// Chinese, and the programs that hold the port ("; the port is in use by
// minicom (pid 1234)"); "" when the handshake did not fail.
std::string HandshakeFaultText(const TransferResult& r, bool chinese);

class CTransferEngine {
public:
    using Sleeper = std::function<void(std::chrono::microseconds)>;
    CTransferEngine(ISerialPort& port, ITransferObserver& observer);

    // device: what the port opens, a resolved port's device (ResolvePort).
    // Reads the radio's memory. image is replaced only when all 1024 frames
    // arrived; on any other end it is left exactly as it was.
    TransferResult Read(const std::string& device, Image& image);
    // Writes image 0x0000..0x1FF5 to the radio (0x1FF6.. are never sent).
    // attempts > 0: the handshake gives up after that many attempts instead
    // of asking to retry (Failed, IDS_COMM_ERROR, its fault told).
    TransferResult Write(const std::string& device, const Image& image, int attempts = 0);
    // Reads only the 8-byte frames at `addresses` into image, in a session of
    // their own; image changes only when all of them arrived. No progress is
    // told (a check before a write, not a transfer of its own).
    TransferResult ReadFrames(const std::string& device, const std::vector<int>& addresses, Image& image);

    // Replaces std::this_thread::sleep_for (tests record the pauses).
    void SetSleeper(Sleeper s) { m_sleep = std::move(s); }

private:
    enum class Step { Ok, Cancelled, Failed };
    TransferResult Run(const std::string& device, bool write, const Image& out, Image* in);
    Step Handshake();
    Step ReadPhase(Image& buffer);
    bool ReadFrame(int address, Image& buffer, Step& failed);
    Step WritePhase(const Image& image);
    bool PumpPasses(int n, bool sleep);
    bool Send(const std::uint8_t* data, std::size_t n);
    bool Send(std::uint8_t b) { return Send(&b, 1); }
    bool ReadBytes(std::uint8_t* buf, std::size_t n, std::size_t& got);
    Step Fail(int id, std::string detail = {});
    // One more data frame acknowledged (write) or received whole (read).
    void Delivered(int bytes);
    void Sleep(int ms);

    ISerialPort& m_port;
    ITransferObserver& m_observer;
    Sleeper m_sleep;
    int m_nProgress = 0;
    int m_nAttemptLimit = 0;                      // Write's `attempts`
    const std::vector<int>* m_pFrames = nullptr;  // ReadFrames' addresses
    TransferResult m_result;
};
