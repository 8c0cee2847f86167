#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "cli/Common.h"
#include "core/link/SerialPort.h"
#include "core/link/Transfer.h"

namespace cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
extern "C" void OnInterrupt(int) { g_interrupted = 1; }

// The Process window without a window: progress on stderr, no questions.
class CCliObserver : public ITransferObserver {
public:
    CCliObserver(bool write, int retries) : m_bWrite(write), m_nRetries(retries), m_bTty(::isatty(2) != 0) {}

    void Range(int lower, int upper) override
    {
        m_nLower = lower;
        m_nUpper = upper;
        m_start = Clock::now();
    }
    void Progress(int pos) override
    {
        m_nPos = pos;
        if (!m_bTty)
            return;
        const auto now = Clock::now();
        if (pos < m_nUpper && now - m_lastDraw < std::chrono::milliseconds(100))
            return;
        m_lastDraw = now;
        Draw(now);
    }
    bool IsCancelled() override { return g_interrupted != 0; }
    bool PromptRetry(int) override
    {
        if (m_nRetries <= 0)
            return false;
        --m_nRetries;
        EndLine();
        std::cerr << "no answer from the radio; trying again (" << m_nRetries << " more series left)\n";
        return true;
    }
    void Message(int, const std::string&) override {}  // the result carries it

    void EndLine()
    {
        if (m_bDrawn)
            std::cerr << "\n";
        m_bDrawn = false;
    }
    int Position() const { return m_nPos; }
    double Seconds() const { return std::chrono::duration<double>(Clock::now() - m_start).count(); }

private:
    using Clock = std::chrono::steady_clock;
    void Draw(Clock::time_point now)
    {
        const int span = m_nUpper - m_nLower;
        const int done = m_nPos - m_nLower;
        const int width = 30;
        const int fill = span > 0 ? done * width / span : width;
        const double secs = std::chrono::duration<double>(now - m_start).count();
        const double rate = secs > 0 ? done * 16.0 / secs : 0;  // bytes per second
        char left[32] = "--:--";
        if (done > 0 && span > done) {
            const int s = static_cast<int>(secs * (span - done) / done + 0.5);
            std::snprintf(left, sizeof left, "%d:%02d", s / 60, s % 60);
        } else if (done >= span) {
            std::snprintf(left, sizeof left, "0:00");
        }
        std::fprintf(stderr, "\r%s [%s%s] %3d/%d blocks  %6.0f B/s  %s left ", m_bWrite ? "write" : "read ",
                     std::string(static_cast<std::size_t>(fill), '#').c_str(),
                     std::string(static_cast<std::size_t>(width - fill), '.').c_str(), done, span, rate, left);
        std::fflush(stderr);
        m_bDrawn = true;
    }

    bool m_bWrite;
    int m_nRetries;
    bool m_bTty;
    bool m_bDrawn = false;
    int m_nLower = 0, m_nUpper = 0, m_nPos = 0;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_lastDraw{};
};

}  // namespace

bool RunTransfer(bool write, const std::string& port, Image& image, int retries)
{
    struct sigaction sa = {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    struct sigaction oldInt = {}, oldTerm = {};
    sigaction(SIGINT, &sa, &oldInt);
    sigaction(SIGTERM, &sa, &oldTerm);
    g_interrupted = 0;

    CPosixSerialPort serial;
    CCliObserver observer(write, retries);
    CTransferEngine engine(serial, observer);
    const std::string device = MapPortName(port);
    const TransferResult r = write ? engine.Write(port, image) : engine.Read(port, image);
    observer.EndLine();
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);

    const std::string where = port + (device != port ? " (" + device + ")" : std::string());
    if (r.Completed()) {
        char secs[32];
        std::snprintf(secs, sizeof secs, "%.1f", observer.Seconds());
        Note(std::string(write ? "wrote the image to the radio on " : "read the radio's memory on ") + where +
             " in " + secs + " s");
        return true;
    }
    if (r.outcome == TransferOutcome::Cancelled && r.messageId != IDS_COMM_ERROR) {
        Error(where + ": cancelled after " + std::to_string(observer.Position()) + " blocks");
        return false;
    }
    std::string text = where + ": " + MessageText(r.messageId);
    if (!r.detail.empty())
        text += " (" + r.detail + ")";
    if (r.messageId == IDS_COMM_ERROR)
        text += "; the radio did not answer " + std::to_string(15 * (retries + 1)) + " handshake attempts";
    else if (r.messageId == IDS_PROGRAM_INTERRUPT)
        text += "; stopped after " + std::to_string(observer.Position()) + " blocks";
    Error(text);
    return false;
}

int CmdRead(const std::vector<std::string>& argv)
{
    if (IsFleetCommand(argv))
        return CmdFleet(false, argv);
    const Args args(argv, {"--port", "-o", "--output", "--retries"}, {});
    args.RequirePositional(0, "");
    const std::string port = args.Value("--port");
    const std::string out = args.Has("-o") ? args.Value("-o") : args.Value("--output");
    if (port.empty())
        throw UsageError("--port PORT is required");
    if (out.empty())
        throw UsageError("-o FILE.dat is required");
    const int retries = args.IntValue("--retries", 0, 0, 1000);
    SetUpLanguage(args);
    Image image{};
    if (!RunTransfer(false, port, image, retries)) {
        Note(out + " was not written");
        return kExitFailed;
    }
    // Exactly the bytes the radio sent, and only after all of them arrived.
    if (!SaveImageFile(out, image))
        return kExitFailed;
    std::cout << "saved 8192 bytes to " << out << "\n";
    return kExitOk;
}

}  // namespace cli
