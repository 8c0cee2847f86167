#include "core/platform/Serial.h"

#include "core/platform/posix/OpenErrno.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Waits for events on fd until the absolute deadline; 0 on time-out.
int PollUntil(int fd, short events, Clock::time_point deadline, short& revents)
{
    for (;;) {
        auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return 0;
        auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        pollfd p{fd, events, 0};
        int r = ppoll(&p, 1, &ts, nullptr);
        if (r < 0 && errno == EINTR)
            continue;
        revents = p.revents;
        return r;
    }
}

bool OpenFailed(SerialError& error, int err)
{
    error = {SerialFaultOfErrno(err), "open", std::strerror(err)};
    return false;
}

bool IoFailed(SerialError& error, const char* call, int err)
{
    const bool lost = err == EIO || err == ENXIO || err == ENODEV;
    error = {lost ? SerialFault::Lost : SerialFault::Other, call, std::strerror(err)};
    return false;
}

bool HungUp(SerialError& error)
{
    error = {SerialFault::Lost, "hang-up", ""};
    return false;
}

}  // namespace

// A non-blocking descriptor and a poll loop against steady-clock deadlines,
// because VMIN/VTIME cannot express total time-outs.
struct SerialLine::State {
    int fd = -1;
    bool haveSaved = false;
    termios saved{};  // the driver's settings, restored on close
};

SerialLine::SerialLine() : m_state(std::make_unique<State>()) {}

SerialLine::~SerialLine() { Close(false); }

bool SerialLine::IsOpen() const { return m_state->fd >= 0; }

bool SerialLine::Open(const std::string& device, SerialError& error)
{
    Close(false);
    error = {};
    int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return OpenFailed(error, errno);
    // No sharing: TIOCEXCL refuses further opens of the tty (not for root), and
    // the lock also stops a second copy of this program running as root.
    if (!isatty(fd)) {
        ::close(fd);
        return OpenFailed(error, ENOTTY);
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return OpenFailed(error, EBUSY);
    }
    ioctl(fd, TIOCEXCL);

    // Line settings: fetch what the driver has and change only speed, framing,
    // parity and the tty's own byte processing. Failures are ignored: a driver
    // that refuses still gets its chance to carry the bytes.
    termios tio{};
    if (tcgetattr(fd, &tio) == 0) {
        m_state->saved = tio;
        m_state->haveSaved = true;
        cfsetispeed(&tio, B9600);
        cfsetospeed(&tio, B9600);
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
        // A programming cable carries no carrier signal; never hang up on it.
        tio.c_cflag |= CS8 | CREAD | CLOCAL;
        // Binary mode: no parity checking, no translation, no software flow
        // control (XON/XOFF would swallow 0x11/0x13 data bytes).
        tio.c_iflag &= ~static_cast<tcflag_t>(INPCK | ISTRIP | PARMRK | IGNBRK | BRKINT | INLCR | IGNCR | ICRNL | IXON |
                                              IXOFF | IXANY);
        tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        tio.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHOE | ECHONL | ISIG | IEXTEN);
        tio.c_cc[VMIN] = 1;
        tio.c_cc[VTIME] = 0;
        tcsetattr(fd, TCSANOW, &tio);
    }
    m_state->fd = fd;
    return true;
}

void SerialLine::Close(bool lost)
{
    const int fd = m_state->fd;
    if (fd < 0)
        return;
    if (!lost) {
        tcflush(fd, TCIOFLUSH);
        if (m_state->haveSaved)
            tcsetattr(fd, TCSANOW, &m_state->saved);
    }
    // The exclusive flag belongs to the tty, not to this descriptor: it would
    // outlive the close while any other descriptor keeps the tty open.
    ioctl(fd, TIOCNXCL);
    ::close(fd);
    m_state->fd = -1;
    m_state->haveSaved = false;
}

bool SerialLine::Read(std::uint8_t* buf, std::size_t n, std::size_t& got, int totalMs, int intervalMs,
                      SerialError& error)
{
    got = 0;
    const int fd = m_state->fd;
    const auto total = Clock::now() + milliseconds(totalMs);
    Clock::time_point interval = Clock::time_point::max();
    while (got < n) {
        auto deadline = std::min(total, interval);
        short rev = 0;
        int r = PollUntil(fd, POLLIN, deadline, rev);
        if (r == 0)
            break;  // time-out: what arrived is the answer
        if (r < 0)
            return IoFailed(error, "poll", errno);
        if (rev & POLLNVAL)
            return IoFailed(error, "poll", EBADF);
        if (rev & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t k = ::read(fd, buf + got, n - got);
            if (k > 0) {
                got += static_cast<std::size_t>(k);
                interval = Clock::now() + milliseconds(intervalMs);
                continue;
            }
            if (k == 0)  // end of file: the other end hung up
                return HungUp(error);
            if (errno == EAGAIN || errno == EINTR) {
                if (rev & (POLLHUP | POLLERR))
                    return HungUp(error);
                continue;
            }
            return IoFailed(error, "read", errno);
        }
    }
    return true;
}

bool SerialLine::Write(const std::uint8_t* buf, std::size_t n, std::size_t& written, int totalMs, SerialError& error)
{
    written = 0;
    const int fd = m_state->fd;
    const auto total = Clock::now() + milliseconds(totalMs);
    while (written < n) {
        ssize_t k = ::write(fd, buf + written, n - written);
        if (k > 0) {
            written += static_cast<std::size_t>(k);
            continue;
        }
        if (k < 0 && errno == EINTR)
            continue;
        if (k < 0 && errno != EAGAIN)
            return IoFailed(error, "write", errno);
        short rev = 0;
        int r = PollUntil(fd, POLLOUT, total, rev);
        if (r == 0)
            break;  // time-out: a short write, as the driver reports it
        if (r < 0)
            return IoFailed(error, "poll", errno);
        if ((rev & (POLLHUP | POLLERR)) && !(rev & POLLOUT))
            return HungUp(error);
    }
    return true;
}

void SerialLine::Purge()
{
    if (m_state->fd >= 0)
        tcflush(m_state->fd, TCIOFLUSH);
}

std::string DefaultComDevice(int n) { return "/dev/ttyUSB" + std::to_string(n - 1); }

bool ComNamesAreDevices() { return false; }

SerialFault SerialFaultOfErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:           // a ttyS without a UART behind it
    case ENAMETOOLONG:  // a name that cannot be a device's
    case ELOOP:         // links that lead nowhere
        return SerialFault::Missing;
    case EBUSY:
    case EWOULDBLOCK: return SerialFault::Busy;
    case EACCES:
    case EPERM: return SerialFault::Denied;
    case ENOTTY: return SerialFault::NotSerial;
    default: return SerialFault::Other;
    }
}

}  // namespace platform
