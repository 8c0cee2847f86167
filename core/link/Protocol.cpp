#include "core/link/Protocol.h"

#include <cstring>

using namespace proto;

CRadioProtocol::CRadioProtocol() { m_memory.fill(0xFF); }

std::uint8_t CRadioProtocol::Noise()
{
    // xorshift: repeatable noise that is never an acknowledgement
    m_seed ^= m_seed << 13;
    m_seed ^= m_seed >> 17;
    m_seed ^= m_seed << 5;
    auto b = static_cast<std::uint8_t>(m_seed);
    return b == kAck ? 0x15 : b;
}

bool CRadioProtocol::MatchEntry(std::uint8_t b)
{
    m_window.push_back(b);
    if (m_window.size() > static_cast<std::size_t>(kEntryCodeSize))
        m_window.erase(m_window.begin());
    if (m_window.size() != static_cast<std::size_t>(kEntryCodeSize) || m_window[0] != kStx)
        return false;
    return std::memcmp(m_window.data() + 1, kEntryLetters, 6) == 0;
}

CRadioProtocol::Action CRadioProtocol::Feed(std::uint8_t b, std::vector<std::uint8_t>& out)
{
    ++m_nRx;
    Action action = Action::None;
    if (m_faults.garbage || m_faults.echo) {
        if (MatchEntry(b)) {
            m_window.clear();
            ++m_nEntryCodes;
        }
        out.push_back(m_faults.echo ? b : Noise());
        return action;
    }
    // Collecting a frame: its bytes are data, never the start of an entry code.
    if (m_state == State::Frame) {
        m_frame.push_back(b);
        std::size_t need = 4;
        if (m_frame[0] == kWrite && m_frame.size() >= 4)
            need = 4 + m_frame[3];
        if (m_frame.size() >= need)
            HandleFrame(out, action);
        return action;
    }
    if (MatchEntry(b)) {
        // The host starts over whatever state we were in: a transfer may
        // follow a handshake that completed (a connection check, which ends
        // there) or broke off, and the radio must take it.
        m_window.clear();
        ++m_nEntryCodes;
        if (m_faults.silent)
            return action;
        if (m_faults.ignoreEntryCodes > 0 && m_nEntryCodes > m_faults.ignoreEntryCodesFrom) {
            if (m_faults.ignoreEntryCodes != INT_MAX)
                --m_faults.ignoreEntryCodes;
            m_state = State::Idle;
            return action;
        }
        m_state = State::Entered;
        out.push_back(kAck);
        return action;
    }
    if (m_faults.silent)
        return action;
    switch (m_state) {
    case State::Idle: break;
    case State::Entered:
        if (b == kIdent)
            m_state = State::IdentM;
        break;
    case State::IdentM:
        if (b == kStx) {
            if (!m_faults.noIdent) {
                for (std::uint8_t c : m_ident)
                    out.push_back(c);
            }
            m_state = State::Ident;
        } else {
            m_state = State::Entered;
        }
        break;
    case State::Ident:
        if (b == kAck) {
            if (m_faults.missingFinalAcks > 0) {
                if (m_faults.missingFinalAcks != INT_MAX)
                    --m_faults.missingFinalAcks;
                m_state = State::Idle;
                break;
            }
            out.push_back(kAck);
            ++m_nHandshakes;
            m_nFrame = 0;
            m_state = State::Programming;
        }
        break;
    case State::Programming:
        if (b == kRead || b == kWrite) {
            m_frame.assign(1, b);
            m_state = State::Frame;
        }
        break;
    case State::ReadAck:
        if (b == kAck) {
            int k = m_nFrame - 1;
            if (k == m_faults.missingAckAtFrame) {
            } else if (k == m_faults.wrongAckAtFrame) {
                out.push_back(0x15);
            } else {
                out.push_back(kAck);
            }
            m_state = State::Programming;
        } else if (b == kRead || b == kWrite) {
            // The host went on without acknowledging; serve the new frame.
            m_frame.assign(1, b);
            m_state = State::Frame;
        }
        break;
    case State::Frame: break;
    }
    return action;
}

void CRadioProtocol::HandleFrame(std::vector<std::uint8_t>& out, Action& action)
{
    RadioFrame f;
    f.command = m_frame[0];
    f.addrHi = m_frame[1];
    f.addrLo = m_frame[2];
    f.length = m_frame[3];
    if (f.command == kWrite)
        f.data.assign(m_frame.begin() + 4, m_frame.end());
    m_frames.push_back(f);
    const int k = m_nFrame++;
    m_state = State::Programming;
    if (k == m_faults.dropAtFrame) {
        action = Action::Drop;
        return;
    }
    const int addr = f.Address();
    if (f.command == kRead) {
        for (int i = 0; i < 4; ++i)
            out.push_back(m_faults.randomHeaders ? Noise() : m_frame[static_cast<std::size_t>(i)]);
        int n = f.length;
        for (int i = 0; i < n; ++i)
            out.push_back(addr + i < static_cast<int>(kImageSize) ? m_memory[static_cast<std::size_t>(addr + i)]
                                                                  : 0xFF);
        if (k == m_faults.shortReplyAtFrame)
            out.pop_back();
        m_state = State::ReadAck;
        if (m_bSwap && addr == static_cast<int>(kImageSize) - kFrameData) {
            m_memory = m_swap;
            m_bSwap = false;
        }
        return;
    }
    for (std::size_t i = 0; i < f.data.size() && k != m_faults.loseWriteAtFrame; ++i)
        if (addr + i < kImageSize)
            m_memory[addr + i] = f.data[i];
    if (k == m_faults.missingAckAtFrame)
        return;
    out.push_back(k == m_faults.wrongAckAtFrame ? 0x15 : kAck);
}
