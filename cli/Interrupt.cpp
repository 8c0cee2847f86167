// The one signal guard of single-port and fleet transfers.
#include "cli/Interrupt.h"

namespace cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
int g_guards = 0;  // guards alive: only the outermost clears the flag
extern "C" void OnInterrupt(int) { g_interrupted = 1; }

}  // namespace

CInterruptGuard::CInterruptGuard()
{
    struct sigaction sa = {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    // A guard inside another (a transfer within a command that saves after
    // it) keeps a signal that came before it: the transfer then stops at once.
    if (g_guards++ == 0)
        g_interrupted = 0;
    sigaction(SIGINT, &sa, &m_int);
    sigaction(SIGTERM, &sa, &m_term);
    sigaction(SIGHUP, &sa, &m_hup);
}

CInterruptGuard::~CInterruptGuard()
{
    sigaction(SIGINT, &m_int, nullptr);
    sigaction(SIGTERM, &m_term, nullptr);
    sigaction(SIGHUP, &m_hup, nullptr);
    --g_guards;
}

bool Interrupted() { return g_interrupted != 0; }

}  // namespace cli
