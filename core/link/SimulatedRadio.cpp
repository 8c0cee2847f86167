#include "core/link/SimulatedRadio.h"

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

#include "core/radio/DatFile.h"

CSimulatedRadio::CSimulatedRadio()
{
    if (pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        m_wake[0] = m_wake[1] = -1;
}

CSimulatedRadio::~CSimulatedRadio()
{
    Stop();
    Drop();
    for (int fd : m_wake)
        if (fd >= 0)
            ::close(fd);
}

bool CSimulatedRadio::OpenPty(std::string* error)
{
    int master = -1, slave = -1;
    char name[256] = {};
    termios tio{};
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (openpty(&master, &slave, name, &tio, nullptr) != 0) {
        if (error)
            *error = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    // Raw on both ends so 0x0D, 0x11 and 0x13 pass unchanged.
    tcgetattr(master, &tio);
    cfmakeraw(&tio);
    tcsetattr(master, TCSANOW, &tio);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    Drop();
    m_master = master;
    m_slave = slave;
    m_strSlave = name;
    m_bDropped = false;
    return true;
}

void CSimulatedRadio::AttachFd(int fd)
{
    Drop();
    m_master = fd;
    m_bDropped = false;
}

Image CSimulatedRadio::Memory() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_proto.Memory();
}

void CSimulatedRadio::SetMemory(const Image& image)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_proto.Memory() = image;
}

bool CSimulatedRadio::LoadDat(const std::string& path, std::string* error)
{
    Image image{};
    DatResult r = LoadDatFile(path, image);
    if (!r.ok) {
        if (error)
            *error = r.error;
        return false;
    }
    SetMemory(image);
    return true;
}

bool CSimulatedRadio::SaveDat(const std::string& path, std::string* error) const
{
    DatResult r = SaveDatFile(path, Memory());
    if (!r.ok && error)
        *error = r.error;
    return r.ok;
}

void CSimulatedRadio::SetFaults(const RadioFaults& f)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_proto.SetFaults(f);
    m_replyDelayMs = f.replyDelayMs;
    m_byteGapMs = f.byteGapMs;
    m_slowFromFrame = f.slowFromFrame;
}

std::vector<RadioFrame> CSimulatedRadio::FrameLog() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_proto.FrameLog();
}

int CSimulatedRadio::EntryCodesSeen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_proto.EntryCodesSeen();
}

int CSimulatedRadio::HandshakesCompleted() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_proto.HandshakesCompleted();
}

std::uint64_t CSimulatedRadio::BytesReceived() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_proto.BytesReceived();
}

void CSimulatedRadio::Drop()
{
    // Closing the master hangs the line up: the host sees POLLHUP and EIO.
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
}

void CSimulatedRadio::Start()
{
    Stop();
    m_bStop = false;
    m_thread = std::thread([this] { Serve(); });
}

void CSimulatedRadio::Stop()
{
    m_bStop = true;
    if (m_wake[1] >= 0) {
        char c = 1;
        [[maybe_unused]] ssize_t n = ::write(m_wake[1], &c, 1);
    }
    if (m_thread.joinable())
        m_thread.join();
    if (m_wake[0] >= 0) {
        char buf[64];
        while (::read(m_wake[0], buf, sizeof buf) > 0) {
        }
    }
}

void CSimulatedRadio::SendAnswer(const std::vector<std::uint8_t>& out, bool slow)
{
    if (out.empty() || m_master < 0)
        return;
    const int gapMs = slow ? m_byteGapMs : 0;
    // Paced answers start when the request left the virtual wire, not when this
    // thread got round to it, so a late wake-up here costs the host nothing.
    Clock::time_point ready = m_bPaced ? m_rxClock : Clock::now();
    if (slow && m_replyDelayMs > 0) {
        if (m_bPaced)
            ready += std::chrono::milliseconds(m_replyDelayMs);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(m_replyDelayMs));
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (m_bPaced) {
            // A byte reaches the host when its stop bit has left the wire; the
            // clock runs on absolute deadlines so sleep overshoot never adds up.
            m_txClock = std::max(m_txClock, ready) + kByteTime;
            std::this_thread::sleep_until(m_txClock);
        } else if (gapMs > 0 && i > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(gapMs));
        }
        // Unpaced answers go out in one piece unless a gap is asked for.
        std::size_t n = (m_bPaced || gapMs > 0) ? 1 : out.size() - i;
        std::size_t done = 0;
        while (done < n) {
            ssize_t k = ::write(m_master, out.data() + i + done, n - done);
            if (k > 0) {
                done += static_cast<std::size_t>(k);
            } else if (k < 0 && (errno == EINTR || errno == EAGAIN)) {
                pollfd p{m_master, POLLOUT, 0};
                poll(&p, 1, 10);
            } else {
                return;  // nobody listens; the host will time out
            }
        }
        m_nTx += n;
        i += n - 1;
    }
}

void CSimulatedRadio::Serve()
{
#ifdef __linux__
    // The default 50 us timer slack would add to every paced byte deadline.
    if (m_bPaced)
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
    std::uint8_t buf[512];
    std::vector<std::uint8_t> out;
    while (!m_bStop) {
        pollfd p[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (m_master < 0) {
            // Line dropped: wait for the stop request only.
            poll(p + 1, 1, 100);
            continue;
        }
        int r = poll(p, 2, 100);
        if (r < 0 && errno != EINTR)
            break;
        if (r <= 0)
            continue;
        if (!(p[0].revents & POLLIN)) {
            if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));  // no host; do not spin
            continue;
        }
        ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n <= 0) {
            if (n < 0 && errno == EIO)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        const auto arrived = Clock::now();
        for (ssize_t i = 0; i < n && !m_bDropped; ++i) {
            if (m_bPaced) {
                // The host's bytes arrive at once on a pseudo-terminal; on a
                // wire each would take its byte time.
                m_rxClock = std::max(m_rxClock, arrived) + kByteTime;
                std::this_thread::sleep_until(m_rxClock);
            }
            out.clear();
            CRadioProtocol::Action action;
            bool slow;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                action = m_proto.Feed(buf[i], out);
                slow = m_slowFromFrame < 0 || m_proto.DataFrames() - 1 >= m_slowFromFrame;
            }
            if (action == CRadioProtocol::Action::Drop) {
                m_bDropped = true;
                Drop();
                break;
            }
            SendAnswer(out, slow);
        }
    }
}
