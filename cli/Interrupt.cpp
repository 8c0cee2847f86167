// The one signal guard of single-port and fleet transfers.
#include "cli/Interrupt.h"

namespace cli {

namespace {

int g_guards = 0;  // guards alive: only the outermost clears the flag

}  // namespace

CInterruptGuard::CInterruptGuard()
{
    // A guard inside another (a transfer within a command that saves after
    // it) keeps a signal that came before it: the transfer then stops at once.
    if (g_guards++ == 0)
        ClearInterrupt();
    m_catch.emplace();
}

CInterruptGuard::~CInterruptGuard()
{
    m_catch.reset();
    --g_guards;
}

bool Interrupted() { return InterruptRaised(); }

}  // namespace cli
