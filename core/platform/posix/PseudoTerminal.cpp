#include "core/platform/PseudoTerminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <termios.h>
#include <unistd.h>

namespace platform {

PseudoTerminal::PseudoTerminal()
{
    int wake[2] = {-1, -1};
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_wake[0] = wake[0];
        m_wake[1] = wake[1];
    }
}

PseudoTerminal::~PseudoTerminal()
{
    Close();
    for (std::intptr_t fd : m_wake)
        if (fd >= 0)
            ::close(static_cast<int>(fd));
}

bool PseudoTerminal::Open(std::string& error)
{
    int master = -1, slave = -1;
    char name[256] = {};
    termios tio{};
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (openpty(&master, &slave, name, &tio, nullptr) != 0) {
        error = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    // Raw on both ends so 0x0D, 0x11 and 0x13 pass unchanged.
    tcgetattr(master, &tio);
    cfmakeraw(&tio);
    tcsetattr(master, TCSANOW, &tio);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    Close();
    m_master = master;
    m_slave = slave;
    m_link = name;
    return true;
}

void PseudoTerminal::Adopt(int fd)
{
    Close();
    m_master = fd;
}

void PseudoTerminal::Close()
{
    // Closing the master hangs the line up: the host sees POLLHUP and EIO.
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
}

bool PseudoTerminal::IsOpen() const { return m_master >= 0; }

PseudoTerminal::Wait PseudoTerminal::WaitForData(int ms)
{
    pollfd p[2] = {{m_master, POLLIN, 0}, {static_cast<int>(m_wake[0]), POLLIN, 0}};
    if (m_master < 0)
        return poll(p + 1, 1, ms) > 0 ? Wait::Woken : Wait::Idle;
    int r = poll(p, 2, ms);
    if (r < 0 && errno != EINTR)
        return Wait::Failed;
    if (r <= 0)
        return Wait::Idle;
    if (p[0].revents & POLLIN)
        return Wait::Data;
    if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL))
        return Wait::HungUp;
    return Wait::Woken;
}

long PseudoTerminal::Read(std::uint8_t* buf, std::size_t n)
{
    ssize_t k = ::read(m_master, buf, n);
    if (k < 0 && errno == EIO)
        return -1;
    return k > 0 ? static_cast<long>(k) : 0;
}

bool PseudoTerminal::Write(const std::uint8_t* buf, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        ssize_t k = ::write(m_master, buf + done, n - done);
        if (k > 0) {
            done += static_cast<std::size_t>(k);
        } else if (k < 0 && (errno == EINTR || errno == EAGAIN)) {
            pollfd p{m_master, POLLOUT, 0};
            poll(&p, 1, 10);
        } else {
            return false;
        }
    }
    return true;
}

void PseudoTerminal::Wake()
{
    if (m_wake[1] >= 0) {
        char c = 1;
        [[maybe_unused]] ssize_t n = ::write(static_cast<int>(m_wake[1]), &c, 1);
    }
}

void PseudoTerminal::ClearWake()
{
    if (m_wake[0] >= 0) {
        char buf[64];
        while (::read(static_cast<int>(m_wake[0]), buf, sizeof buf) > 0) {
        }
    }
}

void FineTimerSlack()
{
#ifdef __linux__
    // The default 50 us timer slack would add to every paced byte deadline.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

}  // namespace platform
