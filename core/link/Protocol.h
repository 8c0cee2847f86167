#pragma once
// Bytes of the programming protocol and the radio's side of it. CRadioProtocol
// is the radio as a pure byte-in/bytes-out machine: the simulated radio puts it
// on a file descriptor, tests put it behind a fake port.
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "core/radio/Image.h"

namespace proto {
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kStx = 0x02;    // opens the entry code, ends the identification request
inline constexpr std::uint8_t kIdent = 0x4D;  // 'M'
inline constexpr std::uint8_t kRead = 0x52;   // 'R'
inline constexpr std::uint8_t kWrite = 0x57;  // 'W'
inline constexpr std::uint8_t kFrameData = 8;
inline constexpr char kEntryLetters[] = "TANAGR";  // the model's programming-mode code
inline constexpr int kEntryCodeSize = 7;           // 0x02 and the six letters
inline constexpr int kReadReplySize = 12;          // 4-byte header, 8 data bytes
inline constexpr int kIdentSize = 8;
inline constexpr int kReadFrames = 1024;          // 0x0000..0x1FF8
inline constexpr int kWriteFullFrames = 1022;     // 0x0000..0x1FE8
inline constexpr int kLastWriteAddress = 0x1FF0;  // 6 bytes; 0x1FF6.. stay in the radio
inline constexpr int kLastWriteSize = 6;
}  // namespace proto

// Faults the simulated radio can show. Frame numbers count the data frames
// (read or write) after the handshake, from 0.
struct RadioFaults {
    bool silent = false;           // answers nothing at all
    int ignoreEntryCodes = 0;      // entry codes left unacknowledged (INT_MAX: all)
    int ignoreEntryCodesFrom = 0;  // ... from this one on, counted from 0 (a line gone quiet later)
    bool noIdent = false;          // never sends the identification
    int missingFinalAcks = 0;      // handshakes whose closing ack is left out (INT_MAX: all)
    int shortReplyAtFrame = -1;    // read reply of 11 bytes
    int wrongAckAtFrame = -1;      // answers 0x15 instead of 0x06
    int missingAckAtFrame = -1;    // answers no acknowledgement
    int dropAtFrame = -1;          // hangs up the line when the frame arrives
    int loseWriteAtFrame = -1;     // acknowledges the write frame but keeps its old bytes
    bool garbage = false;          // answers every byte with noise, never 0x06
    bool echo = false;             // returns every byte it receives, answers nothing (a cable without a radio)
    bool randomHeaders = false;    // read reply headers hold noise
    int replyDelayMs = 0;          // pause before each answer (simulated radio only)
    int byteGapMs = 0;             // pause between the bytes of an answer (simulated radio only)
    int slowFromFrame = -1;        // -1: every answer is slow; k: only answers to frames k on
};

struct RadioFrame {
    std::uint8_t command = 0;  // 'R' or 'W'
    std::uint8_t addrHi = 0;
    std::uint8_t addrLo = 0;
    std::uint8_t length = 0;
    std::vector<std::uint8_t> data;  // write frames only
    int Address() const { return addrHi << 8 | addrLo; }
};

class CRadioProtocol {
public:
    CRadioProtocol();

    enum class Action { None, Drop };
    // Takes one byte from the host; appends the radio's answer to out.
    Action Feed(std::uint8_t b, std::vector<std::uint8_t>& out);

    Image& Memory() { return m_memory; }
    const Image& Memory() const { return m_memory; }
    void SetFaults(const RadioFaults& f) { m_faults = f; }
    const RadioFaults& Faults() const { return m_faults; }
    void SetIdentification(const std::vector<std::uint8_t>& id) { m_ident = id; }
    // Another radio on the line once this one has been read whole: the memory
    // becomes `next` after the read of the last frame (once).
    void SwapAfterRead(const Image& next)
    {
        m_swap = next;
        m_bSwap = true;
    }

    const std::vector<RadioFrame>& FrameLog() const { return m_frames; }
    int EntryCodesSeen() const { return m_nEntryCodes; }
    int HandshakesCompleted() const { return m_nHandshakes; }
    // Data frames received since the last completed handshake (0 before any).
    int DataFrames() const { return m_nHandshakes > 0 ? m_nFrame : 0; }
    std::uint64_t BytesReceived() const { return m_nRx; }

private:
    enum class State { Idle, Entered, IdentM, Ident, Programming, Frame, ReadAck };
    bool MatchEntry(std::uint8_t b);
    std::uint8_t Noise();
    void HandleFrame(std::vector<std::uint8_t>& out, Action& action);

    Image m_memory{};
    Image m_swap{};
    bool m_bSwap = false;
    RadioFaults m_faults;
    std::vector<std::uint8_t> m_ident{'T', 'R', '5', 'V', 0x00, 0x01, 0x02, 0x03};
    State m_state = State::Idle;
    std::vector<std::uint8_t> m_window;  // last bytes, for spotting the entry code
    std::vector<std::uint8_t> m_frame;   // frame being collected
    int m_nFrame = 0;                    // data frames since the handshake
    int m_nEntryCodes = 0;
    int m_nHandshakes = 0;
    std::uint64_t m_nRx = 0;
    std::uint32_t m_seed = 0x2545F491u;
    std::vector<RadioFrame> m_frames;
};
