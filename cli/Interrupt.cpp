// The one signal guard of single-port and fleet transfers.
#include "cli/Interrupt.h"

namespace cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
extern "C" void OnInterrupt(int) { g_interrupted = 1; }

}  // namespace

CInterruptGuard::CInterruptGuard()
{
    struct sigaction sa = {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
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
}

bool Interrupted() { return g_interrupted != 0; }

}  // namespace cli
