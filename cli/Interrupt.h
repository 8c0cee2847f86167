#pragma once
// Ctrl+C, SIGTERM and SIGHUP during a transfer: a flag, not an end.
#include <optional>

#include "core/platform/Console.h"

namespace cli {

// While it lives, SIGINT, SIGTERM and SIGHUP (the terminal closed) only set
// the flag Interrupted() reads, so that a transfer stops itself: the port is
// released, no partial file is written and a radio's state is reported. The
// flag is cleared when the outermost guard is made (a command guards its
// saves too, around the transfer's own guard); the earlier handlers come back
// when it ends. SIGPIPE is none of its business (PrepareConsole ignores it for
// the whole run). On Windows Ctrl+Break acts as Ctrl+C, and the console closed,
// a logoff or a shutdown as SIGHUP.
class CInterruptGuard {
public:
    CInterruptGuard();
    ~CInterruptGuard();
    CInterruptGuard(const CInterruptGuard&) = delete;
    CInterruptGuard& operator=(const CInterruptGuard&) = delete;

private:
    std::optional<CInterruptCatch> m_catch;
};

// True once one of the guard's signals arrived since the guard was made.
bool Interrupted();

}  // namespace cli
