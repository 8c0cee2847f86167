#include "core/platform/PseudoTerminal.h"

#include <windows.h>

namespace platform {

// Windows has no pseudo-terminal: no line is ever open, and only the wake-up
// works, so a radio object can still be started and stopped.

PseudoTerminal::PseudoTerminal()
{
    m_wake[0] = reinterpret_cast<std::intptr_t>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

PseudoTerminal::~PseudoTerminal()
{
    if (HANDLE event = reinterpret_cast<HANDLE>(m_wake[0]))
        CloseHandle(event);
}

bool PseudoTerminal::Open(std::string& error)
{
    // Shown after "cannot create a pseudo-terminal: ".
    error = "Windows has none; the simulated radio runs on Linux only";
    return false;
}

void PseudoTerminal::Adopt(int) {}

void PseudoTerminal::Close() {}

bool PseudoTerminal::IsOpen() const { return false; }

PseudoTerminal::Wait PseudoTerminal::WaitForData(int ms)
{
    HANDLE event = reinterpret_cast<HANDLE>(m_wake[0]);
    if (!event) {
        Sleep(static_cast<DWORD>(ms));
        return Wait::Idle;
    }
    return WaitForSingleObject(event, static_cast<DWORD>(ms)) == WAIT_OBJECT_0 ? Wait::Woken : Wait::Idle;
}

long PseudoTerminal::Read(std::uint8_t*, std::size_t) { return -1; }

bool PseudoTerminal::Write(const std::uint8_t*, std::size_t) { return false; }

void PseudoTerminal::Wake()
{
    if (HANDLE event = reinterpret_cast<HANDLE>(m_wake[0]))
        SetEvent(event);
}

void PseudoTerminal::ClearWake()
{
    if (HANDLE event = reinterpret_cast<HANDLE>(m_wake[0]))
        ResetEvent(event);
}

void FineTimerSlack() {}

}  // namespace platform
