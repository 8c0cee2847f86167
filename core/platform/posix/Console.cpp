// The console on POSIX: signals, isatty, TIOCGWINSZ and write(2).
#include "core/platform/Console.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

void PrepareConsole()
{
    // A closed pipe is output lost, told by the exit status; it never kills a
    // transfer half way.
    std::signal(SIGPIPE, SIG_IGN);
    // No port or file may take the number of a closed standard descriptor (a
    // port opened as descriptor 2 would get the error messages).
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            const int taken = ::open("/dev/null", O_RDONLY);
            if (taken >= 0 && taken != fd)
                ::close(taken);  // fd was opened meanwhile: nothing to take
        }
}

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
extern "C" void OnInterrupt(int) { g_interrupted = 1; }

sigset_t g_serveSignals;

}  // namespace

struct CInterruptCatch::Saved {
    struct sigaction intr = {}, term = {}, hup = {};
};

CInterruptCatch::CInterruptCatch() : m_pSaved(std::make_unique<Saved>())
{
    struct sigaction sa = {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &m_pSaved->intr);
    sigaction(SIGTERM, &sa, &m_pSaved->term);
    sigaction(SIGHUP, &sa, &m_pSaved->hup);
}

CInterruptCatch::~CInterruptCatch()
{
    sigaction(SIGINT, &m_pSaved->intr, nullptr);
    sigaction(SIGTERM, &m_pSaved->term, nullptr);
    sigaction(SIGHUP, &m_pSaved->hup, nullptr);
}

bool InterruptRaised() { return g_interrupted != 0; }
void ClearInterrupt() { g_interrupted = 0; }

void HoldServeRequests()
{
    // Blocked, so that sigwait takes them and no thread started later sees them.
    sigemptyset(&g_serveSignals);
    sigaddset(&g_serveSignals, SIGINT);
    sigaddset(&g_serveSignals, SIGTERM);
    sigaddset(&g_serveSignals, SIGHUP);
    sigaddset(&g_serveSignals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &g_serveSignals, nullptr);
}

ServeRequest WaitServeRequest()
{
    int sig = 0;
    if (sigwait(&g_serveSignals, &sig) != 0)
        return ServeRequest::Stop;
    return sig == SIGUSR1 ? ServeRequest::Save : ServeRequest::Stop;
}

bool IsTerminal(StdStream stream) { return ::isatty(static_cast<int>(stream)) != 0; }

bool TakesControlSequences(StdStream stream) { return IsTerminal(stream); }

int TerminalColumns(StdStream stream)
{
    winsize ws{};
    return ioctl(static_cast<int>(stream), TIOCGWINSZ, &ws) == 0 ? ws.ws_col : 0;
}

int WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno != EINTR)
                return errno;
            continue;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}
