#pragma once
// The handshake's bytes and the pauses around them, written once: the transfer
// engine sends them before its data, the connection doctor sends them alone.
// Each reads the answers its own way (a transfer gives the radio its chances,
// the doctor listens longer to tell why it did not answer); the hooks give the
// pauses and tell when each step's last byte went, from where its answer's
// time counts.
#include <array>
#include <cstdint>

#include "core/link/Protocol.h"
#include "core/link/SerialPort.h"

enum class HandshakeStep { EntryCode, Identification, ClosingAck };

class IHandshakeHooks {
public:
    virtual ~IHandshakeHooks() = default;
    // A pause between bytes: the caller's sleeper, which tests record.
    virtual void Sleep(int ms) = 0;
    // The step's last byte has gone.
    virtual void Sent(HandshakeStep /*step*/) {}
};

class CHandshakeSender {
public:
    CHandshakeSender(ISerialPort& port, IHandshakeHooks& hooks) : m_port(port), m_hooks(hooks) {}

    // What each step sends: 0x02 and the six letters; 0x4D 0x02; 0x06.
    static std::array<std::uint8_t, proto::kEntryCodeSize> EntryCode();
    static std::array<std::uint8_t, 2> IdentificationRequest() { return {proto::kIdent, proto::kStx}; }
    static std::array<std::uint8_t, 1> ClosingAck() { return {proto::kAck}; }

    // Each sends its step; false once the line is gone (a short write shows
    // up as a missing answer instead).
    // The entry code: pending bytes dropped, 2 ms before each byte.
    bool SendEntryCode();
    // After the acknowledgement: 1 ms, both buffers emptied, 0x4D and 0x02
    // with 1 ms after each.
    bool SendIdentificationRequest();
    // After the identification: both buffers emptied, 0x06, then 1 ms.
    bool SendClosingAck();
    // Between an entry code nothing acknowledged and the next one.
    void PauseAfterUnanswered() { m_hooks.Sleep(2); }

private:
    bool Send(std::uint8_t b);

    ISerialPort& m_port;
    IHandshakeHooks& m_hooks;
};
