#pragma once
// A serial trace for support: every byte sent and received with a timestamp
// and its direction, and the frames they make (entry code, identification,
// read and write frames with address and length, acknowledgements).
//
// CTracingPort wraps any port and writes the trace as text while the engine
// talks through it; it knows nothing of the engine, so what it records is
// exactly what went over the line. One line per call of the port:
//
//   0.104233 > 52 01 08 08              host to radio
//   0.117012 < 52 01 08 08 11 22 ...    radio to host
//   0.000000 ! open /dev/ttyUSB0        events: open, close, time-outs, failures
//   = 0.117012 read reply 0x0108: 11 22 ...   a frame, as the decoder saw it
//   # ...                               comments (the header)
//
// ParseTrace reads such a file back (the "=" lines are left to the decoder),
// and CTraceDecoder turns records into frames; the tests use both on traces of
// complete transfers.
#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "core/link/SerialPort.h"

struct TraceRecord {
    double seconds = 0;    // since the trace began
    char direction = '>';  // '>' host to radio, '<' radio to host, '!' event
    std::vector<std::uint8_t> bytes;
    std::string text;  // events only
};

enum class TraceFrameKind {
    EntryCode,     // 0x02 and six letters (text: the letters)
    IdentRequest,  // 0x4D 0x02
    IdentReply,    // the radio's 8 identification bytes
    ReadRequest,   // 'R' address length
    ReadReply,     // 4-byte header and the data of the request before it
    WriteFrame,    // 'W' address length and the data
    HostAck,       // 0x06 from the host
    RadioAck,      // 0x06 from the radio
    Unexpected,    // bytes no frame accounts for (a wrong acknowledgement, noise, a short reply)
    Event,         // open, close, time-out, failure (text)
};

struct TraceFrame {
    double seconds = 0;  // of the record that completed the frame
    TraceFrameKind kind = TraceFrameKind::Unexpected;
    int address = -1;  // read and write frames, read replies
    int length = 0;    // the length byte of a request or write frame
    std::vector<std::uint8_t> data;
    std::string text;
    bool fromRadio = false;
};

// Turns the records of one trace into frames, one record at a time.
class CTraceDecoder {
public:
    void Feed(const TraceRecord& record);
    // Bytes still waiting for the rest of their frame become Unexpected.
    void Finish(double seconds);
    // Frames completed since the last call.
    std::vector<TraceFrame> TakeFrames();

private:
    void HostByte(std::uint8_t b, double t);
    void RadioByte(std::uint8_t b, double t);
    void FlushHost(double t);
    void FlushRadio(double t, const char* why);
    void Emit(TraceFrame f);

    std::vector<std::uint8_t> m_host;   // host frame being collected
    std::vector<std::uint8_t> m_radio;  // radio answer being collected
    std::size_t m_radioWant = 0;        // bytes the answer takes; 0 when none is due
    TraceFrameKind m_answerKind = TraceFrameKind::Unexpected;
    int m_answerAddress = -1;
    std::vector<TraceFrame> m_frames;
};

// Every frame of a whole trace.
std::vector<TraceFrame> DecodeTrace(const std::vector<TraceRecord>& records);

// "read request 0x0108, 8 bytes", "ack (radio)", "entry code \"TANAGR\"", ...
std::string DescribeTraceFrame(const TraceFrame& frame);
// "52 01 08 08": bytes as the trace shows them.
std::string HexBytes(const std::vector<std::uint8_t>& bytes);
// "0.104233 > 52 01 08 08"
std::string FormatTraceRecord(const TraceRecord& record);

// The longest line a trace holds: the port's calls move a few bytes each, and
// an event or header line names at most a path or two with the system's reason.
// A longer line is no trace line; refused before it is decoded, it cannot
// make a frame for every one of its bytes.
inline constexpr std::size_t kTraceLineLimit = 16384;

// Reads a trace written by CTracingPort. On a line that is no trace line (or
// longer than kTraceLineLimit) it stops and sets error to "line N: ..." (the
// caller adds the file name); input with nothing but blank lines is no trace
// either. Each record goes to `each` as it is read.
bool ParseTrace(std::istream& in, const std::function<void(TraceRecord&&)>& each, std::string& error);
bool ParseTrace(std::istream& in, std::vector<TraceRecord>& records, std::string& error);

// What "progtool trace" prints for a trace's text: each frame with its time
// and side, then the count of each kind. False, with error "line N: ..." and
// nothing written, when text is no trace.
bool WriteDecodedTrace(const std::string& text, std::ostream& out, std::string& error);

// Where a serial trace may go: a regular file (new, or existing) or /dev/null.
// Never the port a transfer talks to (the same device after links: the trace
// would be sent to the radio), any other device, a FIFO or a directory. ""
// when path may take the trace, else why not, naming it and what is accepted.
// `ports` are the command's ports as given (COMn as [Ports] maps it).
std::string TraceOutputProblem(const std::string& path, const std::vector<std::string>& ports);

// The trace of the last transfer whose handshake failed, kept for a support
// report: "last-failed-handshake.trace" in the user's data folder.
std::string KeptTracePath();
// Replaces the kept trace with text (atomically). False, with error naming
// the file and the reason, when it could not be written.
bool KeepFailedTrace(const std::string& text, std::string* error = nullptr);

class CTracingPort : public ISerialPort {
public:
    // Writes to out, which must outlive the port; header lines (without "# ")
    // go first.
    CTracingPort(ISerialPort& inner, std::ostream& out, const std::vector<std::string>& header = {});
    ~CTracingPort() override;
    CTracingPort(const CTracingPort&) = delete;
    CTracingPort& operator=(const CTracingPort&) = delete;

    bool Open(const std::string& name) override;
    bool IsOpen() const override { return m_inner.IsOpen(); }
    void Close() override;
    bool Read(std::uint8_t* buf, std::size_t n, std::size_t& got) override;
    bool Write(const std::uint8_t* buf, std::size_t n, std::size_t& written) override;
    void PurgeAbort() override;
    void PurgeClear() override;
    bool IsLost() const override { return m_inner.IsLost(); }
    std::string ErrorText() const override { return m_inner.ErrorText(); }
    platform::SerialFault Fault() const override { return m_inner.Fault(); }
    std::string DevicePath() const override { return m_inner.DevicePath(); }

    // False once writing the trace failed (the disk filled up, ...).
    bool Good() const;

private:
    double Now() const;
    void Record(TraceRecord r);
    void Event(const std::string& text);
    void WriteFrames();

    ISerialPort& m_inner;
    std::ostream& m_out;
    std::chrono::steady_clock::time_point m_start;
    CTraceDecoder m_decoder;
};
