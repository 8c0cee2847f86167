#include "core/link/SimulatedRadio.h"

#include "core/radio/DatFile.h"

CSimulatedRadio::CSimulatedRadio() = default;

CSimulatedRadio::~CSimulatedRadio()
{
    Stop();
    Drop();
}

bool CSimulatedRadio::OpenPty(std::string* error)
{
    std::string why;
    if (!m_pty.Open(why)) {
        if (error)
            *error = why;
        return false;
    }
    m_bDropped = false;
    return true;
}

void CSimulatedRadio::AttachFd(int fd)
{
    m_pty.Adopt(fd);
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

void CSimulatedRadio::SwapAfterRead(const Image& next)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_proto.SwapAfterRead(next);
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

void CSimulatedRadio::Drop() { m_pty.Close(); }

void CSimulatedRadio::Start()
{
    Stop();
    m_bStop = false;
    m_thread = std::thread([this] { Serve(); });
}

void CSimulatedRadio::Stop()
{
    m_bStop = true;
    m_pty.Wake();
    if (m_thread.joinable())
        m_thread.join();
    m_pty.ClearWake();
}

void CSimulatedRadio::SendAnswer(const std::vector<std::uint8_t>& out, bool slow)
{
    if (out.empty() || !m_pty.IsOpen())
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
        if (!m_pty.Write(out.data() + i, n))
            return;  // nobody listens; the host will time out
        m_nTx += n;
        i += n - 1;
    }
}

void CSimulatedRadio::Serve()
{
    if (m_bPaced)
        platform::FineTimerSlack();
    std::uint8_t buf[512];
    std::vector<std::uint8_t> out;
    while (!m_bStop) {
        // Without a line (dropped) only the stop request ends the wait.
        const auto wait = m_pty.WaitForData(100);
        if (wait == platform::PseudoTerminal::Wait::Failed)
            break;
        if (wait == platform::PseudoTerminal::Wait::HungUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));  // no host; do not spin
        if (wait != platform::PseudoTerminal::Wait::Data)
            continue;
        const long n = m_pty.Read(buf, sizeof buf);
        if (n <= 0) {
            if (n < 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        const auto arrived = Clock::now();
        for (long i = 0; i < n && !m_bDropped; ++i) {
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
                Drop();
                m_bDropped = true;  // once the line is down: whoever sees it set finds it hung up
                break;
            }
            SendAnswer(out, slow);
        }
    }
}
