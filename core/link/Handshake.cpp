#include "core/link/Handshake.h"

#include <cstring>

using namespace proto;

std::array<std::uint8_t, kEntryCodeSize> CHandshakeSender::EntryCode()
{
    std::array<std::uint8_t, kEntryCodeSize> code{};
    code[0] = kStx;
    std::memcpy(code.data() + 1, kEntryLetters, kEntryCodeSize - 1);
    return code;
}

bool CHandshakeSender::Send(std::uint8_t b)
{
    std::size_t written = 0;
    return m_port.Write(&b, 1, written) || !m_port.IsLost();
}

bool CHandshakeSender::SendEntryCode()
{
    m_port.PurgeAbort();
    for (std::uint8_t b : EntryCode()) {
        m_hooks.Sleep(2);
        if (!Send(b))
            return false;
    }
    m_hooks.Sent(HandshakeStep::EntryCode);
    return true;
}

bool CHandshakeSender::SendIdentificationRequest()
{
    m_hooks.Sleep(1);
    m_port.PurgeClear();
    const auto request = IdentificationRequest();
    for (std::size_t i = 0; i < request.size(); ++i) {
        if (!Send(request[i]))
            return false;
        if (i + 1 == request.size())
            m_hooks.Sent(HandshakeStep::Identification);
        m_hooks.Sleep(1);
    }
    return true;
}

bool CHandshakeSender::SendClosingAck()
{
    m_port.PurgeClear();
    if (!Send(ClosingAck()[0]))
        return false;
    m_hooks.Sent(HandshakeStep::ClosingAck);
    m_hooks.Sleep(1);
    return true;
}
