#pragma once
// Ctrl+C, SIGTERM and SIGHUP during a transfer: a flag, not an end.
#include <csignal>

namespace cli {

// While it lives, SIGINT, SIGTERM and SIGHUP (the terminal closed) only set
// the flag Interrupted() reads, so that a transfer stops itself: the port is
// released, no partial file is written and a radio's state is reported. The
// flag is cleared when the outermost guard is made (a command guards its
// saves too, around the transfer's own guard); the earlier handlers come back
// when it ends. SIGPIPE is none of its business (main ignores it for the whole run).
class CInterruptGuard {
public:
    CInterruptGuard();
    ~CInterruptGuard();
    CInterruptGuard(const CInterruptGuard&) = delete;
    CInterruptGuard& operator=(const CInterruptGuard&) = delete;

private:
    struct sigaction m_int = {}, m_term = {}, m_hup = {};
};

// True once one of the guard's signals arrived since the guard was made.
bool Interrupted();

}  // namespace cli
