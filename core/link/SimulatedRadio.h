#pragma once
// A radio that serves the programming protocol on a pseudo-terminal (or any
// descriptor), for the end-to-end tests, the benchmark and `progtool simulate`.
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/link/Protocol.h"
#include "core/platform/PseudoTerminal.h"

class CSimulatedRadio {
public:
    CSimulatedRadio();
    ~CSimulatedRadio();
    CSimulatedRadio(const CSimulatedRadio&) = delete;
    CSimulatedRadio& operator=(const CSimulatedRadio&) = delete;

    // Creates a raw pseudo-terminal; the host opens SlavePath() like a serial device.
    bool OpenPty(std::string* error = nullptr);
    // Serves on a descriptor of the caller's (taken over: closed by this object).
    void AttachFd(int fd);
    const std::string& SlavePath() const { return m_pty.LinkName(); }

    Image Memory() const;
    void SetMemory(const Image& image);
    // The radio is swapped for one holding `next` once it has been read whole.
    void SwapAfterRead(const Image& next);
    bool LoadDat(const std::string& path, std::string* error = nullptr);
    bool SaveDat(const std::string& path, std::string* error = nullptr) const;

    void SetFaults(const RadioFaults& f);
    // Paces every byte at the 9600-baud wire rate in both directions.
    void SetPaced(bool paced) { m_bPaced = paced; }
    static constexpr std::chrono::nanoseconds kByteTime{1041667};  // 10 bits at 9600 baud

    // Serve() blocks until Stop(); Start() runs it on a thread of its own.
    void Serve();
    void Start();
    void Stop();
    bool Dropped() const { return m_bDropped; }

    std::vector<RadioFrame> FrameLog() const;
    int EntryCodesSeen() const;
    int HandshakesCompleted() const;
    std::uint64_t BytesReceived() const;
    std::uint64_t BytesSent() const { return m_nTx; }

private:
    using Clock = std::chrono::steady_clock;
    void SendAnswer(const std::vector<std::uint8_t>& out, bool slow);
    void Drop();

    mutable std::mutex m_mutex;  // guards m_proto
    CRadioProtocol m_proto;
    platform::PseudoTerminal m_pty;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bDropped{false};
    std::atomic<std::uint64_t> m_nTx{0};
    bool m_bPaced = false;
    int m_replyDelayMs = 0;
    int m_byteGapMs = 0;
    int m_slowFromFrame = -1;
    Clock::time_point m_rxClock{};
    Clock::time_point m_txClock{};
    std::thread m_thread;
};
