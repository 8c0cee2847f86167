#include "core/link/SerialPort.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "core/app/Globals.h"

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

}  // namespace

std::string OpenErrorText(const std::string& device, int err)
{
    std::string text = device + ": " + std::strerror(err);
    if (err == EACCES || err == EPERM) {
        if (g_bChinese)
            text += "\n当前用户没有使用串口设备的权限（例如需加入 \"dialout\" 组）。";
        else
            text +=
                "\nThe user must be allowed to use serial devices (for example be a member of the \"dialout\" group).";
    } else if (err == EBUSY || err == EWOULDBLOCK) {
        text += g_bChinese ? "\n该端口正被其他程序使用。" : "\nThe port is in use by another program.";
    }
    return text;
}

CPosixSerialPort::~CPosixSerialPort() { Close(); }

bool CPosixSerialPort::Open(const std::string& device)
{
    Close();
    m_bLost = false;
    m_strError.clear();
    m_strDevice = device;

    int fd = ::open(m_strDevice.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_strError = OpenErrorText(m_strDevice, errno);
        return false;
    }
    // No sharing: TIOCEXCL refuses further opens of the tty (not for root), and
    // the lock also stops a second copy of this program running as root.
    if (!isatty(fd)) {
        m_strError = OpenErrorText(m_strDevice, ENOTTY);
        ::close(fd);
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_strError = OpenErrorText(m_strDevice, EBUSY);
        ::close(fd);
        return false;
    }
    ioctl(fd, TIOCEXCL);

    // Line settings: fetch what the driver has and change only speed, framing,
    // parity and the tty's own byte processing. Failures are ignored: a driver
    // that refuses still gets its chance to carry the bytes.
    termios tio{};
    if (tcgetattr(fd, &tio) == 0) {
        m_saved = tio;
        m_bHaveSaved = true;
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
    m_fd = fd;
    return true;
}

void CPosixSerialPort::Close()
{
    if (m_fd < 0)
        return;
    if (!m_bLost) {
        tcflush(m_fd, TCIOFLUSH);
        if (m_bHaveSaved)
            tcsetattr(m_fd, TCSANOW, &m_saved);
    }
    // The exclusive flag belongs to the tty, not to this descriptor: it would
    // outlive the close while any other descriptor keeps the tty open.
    ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
    m_bHaveSaved = false;
}

void CPosixSerialPort::SetLost(const char* what)
{
    m_bLost = true;
    m_strError =
        m_strDevice + ": " + (g_bChinese ? "设备连接已断开" : "the device was disconnected") + " (" + what + ")";
}

void CPosixSerialPort::SetIoError(const char* what, int err)
{
    if (err == EIO || err == ENXIO || err == ENODEV) {
        SetLost(what);
        return;
    }
    m_strError = m_strDevice + ": " + what + ": " + std::strerror(err);
}

bool CPosixSerialPort::Read(std::uint8_t* buf, std::size_t n, std::size_t& got)
{
    got = 0;
    if (m_fd < 0 || m_bLost) {
        if (m_fd < 0)
            m_strError = m_strDevice + ": port not open";
        return false;
    }
    const auto start = Clock::now();
    const auto total = start + milliseconds(kReadPerByte * static_cast<long>(n) + kReadConstant);
    Clock::time_point interval = Clock::time_point::max();
    while (got < n) {
        auto deadline = std::min(total, interval);
        short rev = 0;
        int r = PollUntil(m_fd, POLLIN, deadline, rev);
        if (r == 0)
            break;  // time-out: what arrived is the answer
        if (r < 0) {
            SetIoError("poll", errno);
            return false;
        }
        if (rev & POLLNVAL) {
            SetIoError("poll", EBADF);
            return false;
        }
        if (rev & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t k = ::read(m_fd, buf + got, n - got);
            if (k > 0) {
                got += static_cast<std::size_t>(k);
                interval = Clock::now() + milliseconds(kReadInterval);
                continue;
            }
            if (k == 0) {  // end of file: the other end hung up
                SetLost("hang-up");
                return false;
            }
            if (errno == EAGAIN || errno == EINTR) {
                if (rev & (POLLHUP | POLLERR)) {
                    SetLost("hang-up");
                    return false;
                }
                continue;
            }
            SetIoError("read", errno);
            return false;
        }
    }
    return true;
}

bool CPosixSerialPort::Write(const std::uint8_t* buf, std::size_t n, std::size_t& written)
{
    written = 0;
    if (m_fd < 0 || m_bLost) {
        if (m_fd < 0)
            m_strError = m_strDevice + ": port not open";
        return false;
    }
    const auto total = Clock::now() + milliseconds(kWritePerByte * static_cast<long>(n) + kWriteConstant);
    while (written < n) {
        ssize_t k = ::write(m_fd, buf + written, n - written);
        if (k > 0) {
            written += static_cast<std::size_t>(k);
            continue;
        }
        if (k < 0 && errno == EINTR)
            continue;
        if (k < 0 && errno != EAGAIN) {
            SetIoError("write", errno);
            return false;
        }
        short rev = 0;
        int r = PollUntil(m_fd, POLLOUT, total, rev);
        if (r == 0)
            break;  // time-out: a short write, as the driver reports it
        if (r < 0) {
            SetIoError("poll", errno);
            return false;
        }
        if ((rev & (POLLHUP | POLLERR)) && !(rev & POLLOUT)) {
            SetLost("hang-up");
            return false;
        }
    }
    return true;
}

void CPosixSerialPort::PurgeAbort()
{
    // Reads and writes here are synchronous and have returned, so no operation
    // is pending; buffered bytes stay (only a clear purge drops them).
}

void CPosixSerialPort::PurgeClear()
{
    if (m_fd >= 0)
        tcflush(m_fd, TCIOFLUSH);
}
