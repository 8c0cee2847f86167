#include "core/link/Trace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <istream>
#include <map>
#include <ostream>
#include <sstream>

#include "core/app/DisplayText.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/app/SupportState.h"
#include "core/files/FileIO.h"
#include "core/link/PortName.h"
#include "core/link/Protocol.h"
#include "core/platform/Files.h"
#include "core/platform/Paths.h"

using namespace proto;

std::string HexBytes(const std::vector<std::uint8_t>& bytes)
{
    std::string s;
    char b[4];
    for (std::uint8_t v : bytes) {
        std::snprintf(b, sizeof b, s.empty() ? "%02X" : " %02X", v);
        s += b;
    }
    return s;
}

namespace {

// The language of a trace file's refusal: the one the user reads the program in.
bool Zh() { return g_bChinese != 0; }

std::string Hex(const std::vector<std::uint8_t>& bytes) { return HexBytes(bytes); }

std::string Address(int a)
{
    char b[8];
    std::snprintf(b, sizeof b, "0x%04X", a);
    return b;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

// ---------------------------------------------------------------------------
// Decoder

void CTraceDecoder::Emit(TraceFrame f) { m_frames.push_back(std::move(f)); }

void CTraceDecoder::FlushHost(double t)
{
    if (m_host.empty())
        return;
    TraceFrame f;
    f.seconds = t;
    f.data = m_host;
    f.text = "incomplete host frame";
    Emit(std::move(f));
    m_host.clear();
}

void CTraceDecoder::FlushRadio(double t, const char* why)
{
    if (!m_radio.empty()) {
        TraceFrame f;
        f.seconds = t;
        f.fromRadio = true;
        f.data = m_radio;
        f.address = m_answerAddress;
        f.text = why;
        Emit(std::move(f));
    }
    m_radio.clear();
    m_radioWant = 0;
}

void CTraceDecoder::HostByte(std::uint8_t b, double t)
{
    if (m_host.empty()) {
        // A new host frame: whatever the radio left unfinished was cut short.
        FlushRadio(t, "incomplete answer");
        if (b != kStx && b != kIdent && b != kRead && b != kWrite && b != kAck) {
            TraceFrame f;
            f.seconds = t;
            f.data = {b};
            f.text = "unexpected host byte";
            Emit(std::move(f));
            return;
        }
    }
    m_host.push_back(b);
    const std::uint8_t first = m_host[0];
    TraceFrame f;
    f.seconds = t;
    std::size_t answer = 0;
    if (first == kAck) {
        f.kind = TraceFrameKind::HostAck;
        answer = 1;
    } else if (first == kIdent) {
        if (m_host.size() < 2)
            return;
        if (m_host[1] != kStx) {  // not the request after all
            m_host.erase(m_host.begin());
            TraceFrame odd;
            odd.seconds = t;
            odd.data = {kIdent};
            odd.text = "unexpected host byte";
            Emit(std::move(odd));
            const std::uint8_t next = m_host[0];
            m_host.clear();
            HostByte(next, t);
            return;
        }
        f.kind = TraceFrameKind::IdentRequest;
        answer = kIdentSize;
    } else if (first == kStx) {
        if (m_host.size() < static_cast<std::size_t>(kEntryCodeSize))
            return;
        f.kind = TraceFrameKind::EntryCode;
        f.text.assign(m_host.begin() + 1, m_host.end());
        answer = 1;
    } else {
        if (m_host.size() < 4)
            return;
        const int n = m_host[3];
        f.address = m_host[1] << 8 | m_host[2];
        f.length = n;
        if (first == kRead) {
            f.kind = TraceFrameKind::ReadRequest;
            answer = kReadReplySize;
        } else {
            if (m_host.size() < 4 + static_cast<std::size_t>(n))
                return;
            f.kind = TraceFrameKind::WriteFrame;
            f.data.assign(m_host.begin() + 4, m_host.end());
            answer = 1;
        }
    }
    m_host.clear();
    m_radioWant = answer;
    m_answerAddress = f.address;
    m_answerKind = f.kind == TraceFrameKind::IdentRequest  ? TraceFrameKind::IdentReply
                   : f.kind == TraceFrameKind::ReadRequest ? TraceFrameKind::ReadReply
                                                           : TraceFrameKind::RadioAck;
    Emit(std::move(f));
}

void CTraceDecoder::RadioByte(std::uint8_t b, double t)
{
    if (m_radioWant == 0) {
        // Nothing was asked: noise, or an answer after its time. Bytes of
        // one record stay together.
        if (!m_frames.empty() && m_frames.back().fromRadio && m_frames.back().kind == TraceFrameKind::Unexpected &&
            m_frames.back().seconds == t && m_frames.back().text == "unasked") {
            m_frames.back().data.push_back(b);
            return;
        }
        TraceFrame f;
        f.seconds = t;
        f.fromRadio = true;
        f.data = {b};
        f.text = "unasked";
        Emit(std::move(f));
        return;
    }
    m_radio.push_back(b);
    if (m_radio.size() < m_radioWant)
        return;
    TraceFrame f;
    f.seconds = t;
    f.fromRadio = true;
    f.address = m_answerAddress;
    f.kind = m_answerKind;
    if (m_answerKind == TraceFrameKind::RadioAck && b != kAck) {
        f.kind = TraceFrameKind::Unexpected;
        f.text = "not an acknowledgement";
        f.data = m_radio;
    } else if (m_answerKind == TraceFrameKind::ReadReply) {
        f.data.assign(m_radio.begin() + 4, m_radio.end());
        f.length = static_cast<int>(f.data.size());
    } else if (m_answerKind == TraceFrameKind::IdentReply) {
        f.data = m_radio;
    }
    m_radio.clear();
    m_radioWant = 0;
    Emit(std::move(f));
}

void CTraceDecoder::Feed(const TraceRecord& r)
{
    if (r.direction == '!') {
        // A new open starts afresh; bytes cut off by a close or a failure
        // are shown as such.
        FlushHost(r.seconds);
        FlushRadio(r.seconds, "incomplete answer");
        TraceFrame f;
        f.seconds = r.seconds;
        f.kind = TraceFrameKind::Event;
        f.text = r.text;
        Emit(std::move(f));
        return;
    }
    for (std::uint8_t b : r.bytes) {
        if (r.direction == '>')
            HostByte(b, r.seconds);
        else
            RadioByte(b, r.seconds);
    }
}

void CTraceDecoder::Finish(double seconds)
{
    FlushHost(seconds);
    FlushRadio(seconds, "incomplete answer");
}

std::vector<TraceFrame> CTraceDecoder::TakeFrames()
{
    std::vector<TraceFrame> out;
    out.swap(m_frames);
    return out;
}

std::vector<TraceFrame> DecodeTrace(const std::vector<TraceRecord>& records)
{
    CTraceDecoder d;
    for (const TraceRecord& r : records)
        d.Feed(r);
    d.Finish(records.empty() ? 0 : records.back().seconds);
    return d.TakeFrames();
}

std::string DescribeTraceFrame(const TraceFrame& f)
{
    const std::string n = std::to_string(f.length);
    switch (f.kind) {
    case TraceFrameKind::EntryCode: return "entry code \"" + f.text + "\"";
    case TraceFrameKind::IdentRequest: return "identification request";
    case TraceFrameKind::IdentReply: return "identification " + Hex(f.data);
    case TraceFrameKind::ReadRequest: return "read request " + Address(f.address) + ", " + n + " bytes";
    case TraceFrameKind::ReadReply: return "read reply " + Address(f.address) + ": " + Hex(f.data);
    case TraceFrameKind::WriteFrame: return "write " + Address(f.address) + ", " + n + " bytes: " + Hex(f.data);
    case TraceFrameKind::HostAck: return "ack (host)";
    case TraceFrameKind::RadioAck: return "ack (radio)";
    case TraceFrameKind::Event: return f.text;
    case TraceFrameKind::Unexpected: break;
    }
    return std::string(f.fromRadio ? "radio" : "host") + ": " + f.text + ": " + Hex(f.data);
}

std::string FormatTraceRecord(const TraceRecord& r)
{
    char t[32];
    std::snprintf(t, sizeof t, "%.6f %c ", r.seconds, r.direction);
    return t + (r.direction == '!' ? r.text : Hex(r.bytes));
}

bool ParseTrace(std::istream& in, const std::function<void(TraceRecord&&)>& each, std::string& error)
{
    std::string line;
    bool empty = true;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > kTraceLineLimit) {
            error = Zh() ? "第 " + std::to_string(number) + " 行长 " + std::to_string(line.size()) +
                               " 个字符；记录的一行最多 " + std::to_string(kTraceLineLimit) + " 个：" +
                               QuotedExcerpt(line)
                         : "line " + std::to_string(number) + " is " + std::to_string(line.size()) +
                               " characters long; a trace line has at most " + std::to_string(kTraceLineLimit) + ": " +
                               QuotedExcerpt(line);
            return false;
        }
        empty = empty && line.find_first_not_of(" \t") == std::string::npos;
        if (line.empty() || line[0] == '#' || line[0] == '=')
            continue;
        std::istringstream s(line);
        TraceRecord r;
        std::string dir;
        if (!(s >> r.seconds >> dir) || dir.size() != 1 || (dir[0] != '>' && dir[0] != '<' && dir[0] != '!')) {
            error = Zh() ? "第 " + std::to_string(number) + " 行：不是记录行（应为秒数，然后是 >、< 或 !）：" +
                               QuotedExcerpt(line)
                         : "line " + std::to_string(number) +
                               ": not a trace line (seconds, then >, < or !): " + QuotedExcerpt(line);
            return false;
        }
        r.direction = dir[0];
        if (r.direction == '!') {
            std::getline(s >> std::ws, r.text);
        } else {
            std::string byte;
            while (s >> byte) {
                const int hi = byte.size() == 2 ? HexDigit(byte[0]) : -1;
                const int lo = byte.size() == 2 ? HexDigit(byte[1]) : -1;
                if (hi < 0 || lo < 0) {
                    error = Zh() ? "第 " + std::to_string(number) + " 行：" + QuotedExcerpt(byte) +
                                       " 不是字节（应为两位十六进制数字）"
                                 : "line " + std::to_string(number) + ": " + QuotedExcerpt(byte) +
                                       " is not a byte (two hex digits)";
                    return false;
                }
                r.bytes.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
            }
        }
        each(std::move(r));
    }
    // Even a transfer that sent nothing leaves its header: an empty file is a
    // trace that was lost, not one of nothing happening.
    if (empty)
        error = Zh() ? "文件为空：其中没有串口记录" : "it is empty: it holds no serial trace";
    return !empty;
}

bool ParseTrace(std::istream& in, std::vector<TraceRecord>& records, std::string& error)
{
    return ParseTrace(
        in, [&](TraceRecord&& r) { records.push_back(std::move(r)); }, error);
}

std::string TraceOutputProblem(const std::string& path, const std::vector<std::string>& ports)
{
    using platform::FileType;
    const platform::FileInfo st = platform::Info(path);
    if (st.type == FileType::None)
        return {};  // a new file (or a path that cannot be one: the open tells why)
    const std::string accepted = "; a serial trace goes to a regular file (new, or existing and writable) or /dev/null";
    for (const std::string& port : ports) {
        if (platform::SameNode(platform::Info(MapPortName(port)), st))
            return "\"" + path + "\" is the port " + port + " itself: the trace would be sent to the radio" + accepted;
    }
    if (st.type == FileType::Regular || st.nullDevice)
        return {};
    const char* what = st.type == FileType::Directory ? "a directory"
                       : st.type == FileType::Fifo    ? "a FIFO"
                       : st.type == FileType::Socket  ? "a socket"
                                                      : "a device";
    return "\"" + path + "\" is " + what + accepted;
}

std::string KeptTracePath()
{
    return platform::PathText(platform::PathOf(ProgramDataFolder()) / "last-failed-handshake.trace");
}

bool KeepFailedTrace(const std::string& text, std::string* error)
{
    return KeepDataFile("last-failed-handshake.trace", text, error);
}

// ---------------------------------------------------------------------------
// Tracing port

CTracingPort::CTracingPort(ISerialPort& inner, std::ostream& out, const std::vector<std::string>& header)
    : m_inner(inner), m_out(out), m_start(std::chrono::steady_clock::now())
{
    for (const std::string& h : header)
        m_out << "# " << h << "\n";
}

CTracingPort::~CTracingPort()
{
    m_decoder.Finish(Now());
    WriteFrames();
    m_out.flush();
}

void CTracingPort::WriteFrames()
{
    for (const TraceFrame& f : m_decoder.TakeFrames()) {
        char t[32];
        std::snprintf(t, sizeof t, "= %.6f ", f.seconds);
        m_out << t << DescribeTraceFrame(f) << "\n";
    }
}

bool CTracingPort::Good() const { return m_out.good(); }

double CTracingPort::Now() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

void CTracingPort::Record(TraceRecord r)
{
    m_out << FormatTraceRecord(r) << "\n";
    m_decoder.Feed(r);
    WriteFrames();
}

void CTracingPort::Event(const std::string& text) { Record({Now(), '!', {}, text}); }

bool CTracingPort::Open(const std::string& name)
{
    const bool ok = m_inner.Open(name);
    Event(ok ? "open " + m_inner.DevicePath() : "open failed: " + m_inner.ErrorText());
    return ok;
}

void CTracingPort::Close()
{
    if (m_inner.IsOpen())
        Event("close");
    m_inner.Close();
    m_out.flush();
}

bool CTracingPort::Read(std::uint8_t* buf, std::size_t n, std::size_t& got)
{
    const bool ok = m_inner.Read(buf, n, got);
    if (got > 0)
        Record({Now(), '<', std::vector<std::uint8_t>(buf, buf + got), {}});
    if (!ok)
        Event("read failed: " + m_inner.ErrorText());
    else if (got < n)
        Event("read time-out: " + std::to_string(got) + " of " + std::to_string(n) + " bytes");
    return ok;
}

bool CTracingPort::Write(const std::uint8_t* buf, std::size_t n, std::size_t& written)
{
    const bool ok = m_inner.Write(buf, n, written);
    if (written > 0)
        Record({Now(), '>', std::vector<std::uint8_t>(buf, buf + written), {}});
    if (!ok)
        Event("write failed: " + m_inner.ErrorText());
    return ok;
}

// Purges come twice with every frame and drop only bytes never read: the
// trace stays readable without them.
void CTracingPort::PurgeAbort() { m_inner.PurgeAbort(); }

void CTracingPort::PurgeClear() { m_inner.PurgeClear(); }

bool WriteDecodedTrace(const std::string& text, std::ostream& out, std::string& error)
{
    // The whole text is checked before anything is written; then its frames
    // are decoded record by record, so memory follows the text, not its frames.
    {
        std::istringstream in(text);
        if (!ParseTrace(
                in, [](TraceRecord&&) {}, error))
            return false;
    }
    std::map<TraceFrameKind, int> count;
    auto print = [&](const std::vector<TraceFrame>& frames) {
        for (const TraceFrame& f : frames) {
            ++count[f.kind];
            const char* who = f.kind == TraceFrameKind::Event ? "     " : f.fromRadio ? "radio" : "host ";
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%10.6f", f.seconds);
            out << seconds << "  " << who << "  " << EscapeControlBytes(DescribeTraceFrame(f)) << "\n";
        }
    };
    CTraceDecoder decoder;
    double last = 0;
    std::istringstream in(text);
    ParseTrace(
        in,
        [&](TraceRecord&& r) {
            last = r.seconds;
            decoder.Feed(r);
            print(decoder.TakeFrames());
        },
        error);
    decoder.Finish(last);
    print(decoder.TakeFrames());
    out << count[TraceFrameKind::EntryCode] << " entry code(s), " << count[TraceFrameKind::ReadRequest]
        << " read request(s), " << count[TraceFrameKind::ReadReply] << " read reply(ies), "
        << count[TraceFrameKind::WriteFrame] << " write frame(s), " << count[TraceFrameKind::Unexpected]
        << " unexpected\n";
    return true;
}
