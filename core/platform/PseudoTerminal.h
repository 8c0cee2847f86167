#pragma once
// The radio's end of a pseudo-terminal, for the simulated radio: the host
// opens LinkName() as it opens a serial device. Windows has no pseudo-terminal:
// there Open() fails and says so, and the simulated radio is Linux's only.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates a raw pair at 9600 baud, both ends kept open so the line does
    // not hang up between host sessions. error: why not ("openpty: ...").
    bool Open(std::string& error);
    // Serves on a descriptor of the caller's instead (taken over: closed here).
    void Adopt(int fd);
    // Closes both ends: the host sees the line hang up.
    void Close();
    bool IsOpen() const;
    // The device the host opens: "/dev/pts/3".
    const std::string& LinkName() const { return m_link; }

    enum class Wait {
        Data,    // the host's bytes wait to be read
        Woken,   // Wake() was called
        HungUp,  // no host has the line open
        Idle,    // the time passed, or a signal came
        Failed,  // the wait itself failed
    };
    // Waits up to ms for the host's bytes or for Wake(); without an open line
    // only for Wake().
    Wait WaitForData(int ms);
    // What has arrived, up to n bytes: > 0 bytes read, 0 none, < 0 the host
    // has hung up.
    long Read(std::uint8_t* buf, std::size_t n);
    // Writes n bytes, waiting while the line is full; false when nobody listens.
    bool Write(const std::uint8_t* buf, std::size_t n);

    // From another thread: a WaitForData now or later returns Woken, until
    // ClearWake().
    void Wake();
    void ClearWake();

private:
    int m_master = -1;
    int m_slave = -1;
    std::intptr_t m_wake[2] = {-1, -1};
    std::string m_link;
};

// Timers wake the calling thread as exactly as the system allows (a paced
// radio's byte deadlines).
void FineTimerSlack();

}  // namespace platform
