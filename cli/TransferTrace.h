#pragma once
// Every transfer of progtool records its serial traffic in memory, as --trace
// writes it: when the handshake fails, that record is kept for a support report
// (KeepFailedTrace), and the message names the connection doctor.
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "core/link/SerialPort.h"
#include "core/link/Trace.h"
#include "core/link/Transfer.h"

namespace cli {

// A port that traces into memory and, with --trace, into its file too: one
// text for both. The memory holds the header and the traffic since the last
// Open, so a port that opens again and again (watching) keeps one session.
class CTransferTracePort : public ISerialPort {
public:
    // file: the --trace stream, or nullptr; header: the trace's header lines.
    CTransferTracePort(std::unique_ptr<ISerialPort> inner, std::ostream* file, const std::vector<std::string>& header);
    ~CTransferTracePort() override;

    bool Open(const std::string& name) override;
    bool IsOpen() const override { return m_traced->IsOpen(); }
    void Close() override { m_traced->Close(); }
    bool Read(std::uint8_t* buf, std::size_t n, std::size_t& got) override { return m_traced->Read(buf, n, got); }
    bool Write(const std::uint8_t* buf, std::size_t n, std::size_t& written) override
    {
        return m_traced->Write(buf, n, written);
    }
    void PurgeAbort() override { m_traced->PurgeAbort(); }
    void PurgeClear() override { m_traced->PurgeClear(); }
    bool IsLost() const override { return m_traced->IsLost(); }
    std::string ErrorText() const override { return m_traced->ErrorText(); }
    platform::SerialFault Fault() const override { return m_traced->Fault(); }
    std::string DevicePath() const override { return m_traced->DevicePath(); }

    // The header and the last session's traffic (whole once the port is closed).
    std::string Text() const { return m_memory.str(); }

private:
    // Each write goes to the memory and to the file; the file's own buffer
    // remembers a failure for EndTrace.
    class CTee : public std::streambuf {
    public:
        CTee(std::ostream& a, std::ostream* b) : m_a(a), m_b(b) {}

    protected:
        int overflow(int c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override;

    private:
        std::ostream& m_a;
        std::ostream* m_b;
    };
    void StartSession();

    std::unique_ptr<ISerialPort> m_inner;
    std::ostringstream m_memory;
    CTee m_tee;
    std::ostream m_out;
    std::string m_header;  // the header lines as the trace shows them
    std::optional<CTracingPort> m_traced;
};

// The transfer gave up in its handshake: not cancelled by the user, not in its data phase.
bool HandshakeFailed(const TransferResult& r);

// "check the connection with: progtool doctor --port P", P quoted for a shell when it must be.
std::string DoctorHint(const std::string& port);

// Keeps text as the trace of the last failed handshake: its path, or "" with a
// warning on stderr naming the reason (never a failure of the command).
std::string KeepHandshakeTrace(const std::string& text);

// "the serial trace of the failed handshake is kept in PATH (for a support report)"
std::string KeptTraceNote(const std::string& path);

}  // namespace cli
