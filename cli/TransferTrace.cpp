#include "cli/TransferTrace.h"

#include <ctime>

#include "cli/Common.h"
#include "cli/Output.h"
#include "core/platform/LocalTime.h"

namespace cli {

int CTransferTracePort::CTee::overflow(int c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    xsputn(&ch, 1);
    return c;
}

std::streamsize CTransferTracePort::CTee::xsputn(const char* s, std::streamsize n)
{
    m_a.write(s, n);
    if (m_b)
        m_b->write(s, n);
    return n;
}

int CTransferTracePort::CTee::sync()
{
    if (m_b)
        m_b->flush();
    return 0;
}

CTransferTracePort::CTransferTracePort(std::unique_ptr<ISerialPort> inner, std::ostream* file,
                                       const std::vector<std::string>& header)
    : m_inner(std::move(inner)), m_tee(m_memory, file), m_out(&m_tee)
{
    m_traced.emplace(*m_inner, m_out, header);
    m_header = m_memory.str();
}

CTransferTracePort::~CTransferTracePort()
{
    // The trace's last lines are written before the streams go.
    m_traced.reset();
}

void CTransferTracePort::StartSession()
{
    const std::tm tm = platform::LocalTime(std::time(nullptr));
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
    m_memory.str(std::string("# serial trace, started ") + stamp + "\n" + m_header);
    m_memory.seekp(0, std::ios::end);
}

bool CTransferTracePort::Open(const std::string& name)
{
    StartSession();
    return m_traced->Open(name);
}

bool HandshakeFailed(const TransferResult& r)
{
    const bool userCancelled = r.outcome == TransferOutcome::Cancelled && r.messageId != IDS_COMM_ERROR;
    return !r.Completed() && !r.dataPhase && r.handshakeFault != HandshakeFault::None && !userCancelled;
}

std::string DoctorHint(const std::string& port)
{
    return Tr("check the connection with: progtool doctor --port ", "请用以下命令检查连接: progtool doctor --port ") +
           ShellWord(port);
}

std::string KeepHandshakeTrace(const std::string& text)
{
    std::string error;
    if (KeepFailedTrace(text, &error))
        return KeptTracePath();
    Warn(Tr("the serial trace of the failed handshake could not be kept: ", "无法保存握手失败的串口记录: ") + error);
    return {};
}

std::string KeptTraceNote(const std::string& path)
{
    return Tr("the serial trace of the failed handshake is kept in ", "握手失败的串口记录已保存在 ") + path +
           Tr(" (for a support report)", "（可附在求助报告中）");
}

}  // namespace cli
