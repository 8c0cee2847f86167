#include "core/link/Transfer.h"

#include <array>
#include <cstring>
#include <thread>

#include "core/link/Handshake.h"
#include "core/link/Protocol.h"

using namespace proto;

namespace {
// Closes the port on every way out.
struct PortCloser {
    ISerialPort& port;
    ~PortCloser() { port.Close(); }
};

// The handshake's pauses through the engine's sleeper.
class SleeperHooks : public IHandshakeHooks {
public:
    explicit SleeperHooks(const CTransferEngine::Sleeper& sleep) : m_sleep(sleep) {}
    void Sleep(int ms) override { m_sleep(std::chrono::milliseconds(ms)); }

private:
    const CTransferEngine::Sleeper& m_sleep;
};
}  // namespace

CTransferEngine::CTransferEngine(ISerialPort& port, ITransferObserver& observer)
    : m_port(port), m_observer(observer), m_sleep([](std::chrono::microseconds d) { std::this_thread::sleep_for(d); })
{
}

void CTransferEngine::Delivered(int bytes)
{
    ++m_result.frames;
    m_result.bytes += bytes;
    m_observer.Frames(m_result.frames, m_result.framesTotal);
}

void CTransferEngine::Sleep(int ms) { m_sleep(std::chrono::milliseconds(ms)); }

bool CTransferEngine::PumpPasses(int n, bool sleep)
{
    for (int i = 0; i < n; ++i) {
        m_observer.Pump();
        if (m_observer.IsCancelled())
            return false;
        if (sleep)
            Sleep(1);
    }
    return true;
}

bool CTransferEngine::Send(const std::uint8_t* data, std::size_t n)
{
    std::size_t written = 0;
    // A short write shows up as a missing answer; only a vanished device is
    // worth stopping for here.
    return m_port.Write(data, n, written) || !m_port.IsLost();
}

bool CTransferEngine::ReadBytes(std::uint8_t* buf, std::size_t n, std::size_t& got) { return m_port.Read(buf, n, got); }

CTransferEngine::Step CTransferEngine::Fail(int id, std::string detail)
{
    m_observer.Message(id, detail);
    m_result.outcome = TransferOutcome::Failed;
    m_result.messageId = id;
    m_result.detail = std::move(detail);
    return Step::Failed;
}

std::string HandshakeFaultText(const TransferResult& r, bool chinese)
{
    const char* en = nullptr;
    const char* zh = nullptr;
    switch (r.handshakeFault) {
    case HandshakeFault::None: return {};
    case HandshakeFault::NoAnswer:
        en = "the radio did not answer the entry code";
        zh = "电台未应答进入编程模式的代码";
        break;
    case HandshakeFault::Echo:
        en = "our own bytes came back instead of an answer: the cable is connected but the radio is not answering "
             "(switched off, or the plug not fully in)";
        zh = "收到的是本机发出的字节而不是应答：数据线已连接，但电台没有应答（电台未开机，或插头没插到位）";
        break;
    case HandshakeFault::WrongAnswer:
        en = "the radio answered the entry code with other bytes than the acknowledgement (noise on the line?)";
        zh = "电台对进入编程模式的代码的应答不是确认字节（线路干扰？）";
        break;
    case HandshakeFault::NoIdentification:
        en = "the radio took the entry code, but its identification could not be read";
        zh = "电台接受了进入编程模式的代码，但无法读取其识别码";
        break;
    case HandshakeFault::NoClosingAck:
        en = "the radio sent its identification but did not acknowledge the end of the handshake";
        zh = "电台发送了识别码，但未确认握手结束";
        break;
    case HandshakeFault::WrongClosingAck:
        en = "the radio answered the end of the handshake with another byte than the acknowledgement (a slow "
             "radio or noise on the line?)";
        zh = "电台对握手结束的应答不是确认字节（电台反应慢或线路干扰？）";
        break;
    }
    const std::string n = std::to_string(r.handshakeAttempts);
    const std::string held = PortHoldersText(r.portHolders, chinese);
    if (chinese)
        return std::string(zh) + "（共尝试握手 " + n + " 次）" +
               (held.empty() ? "" : "；该端口" + held + "，它可能收走了电台的应答");
    return std::string(en) + " (" + n + (r.handshakeAttempts == 1 ? " handshake attempt)" : " handshake attempts)") +
           (held.empty() ? "" : "; the port is " + held + ", which may take the radio's answers");
}

TransferResult CTransferEngine::Read(const std::string& device, Image& image)
{
    Image buffer = image;
    TransferResult r = Run(device, false, buffer, &buffer);
    if (r.Completed())
        image = buffer;
    return r;
}

TransferResult CTransferEngine::Write(const std::string& device, const Image& image, int attempts)
{
    m_nAttemptLimit = attempts;
    const TransferResult r = Run(device, true, image, nullptr);
    m_nAttemptLimit = 0;
    return r;
}

TransferResult CTransferEngine::ReadFrames(const std::string& device, const std::vector<int>& addresses, Image& image)
{
    Image buffer = image;
    m_pFrames = &addresses;
    TransferResult r = Run(device, false, buffer, &buffer);
    m_pFrames = nullptr;
    if (r.Completed())
        image = buffer;
    return r;
}

TransferResult CTransferEngine::Run(const std::string& device, bool write, const Image& out, Image* in)
{
    m_result = TransferResult{};
    m_result.framesTotal = write ? kWriteFullFrames + 1 : m_pFrames ? static_cast<int>(m_pFrames->size()) : kReadFrames;
    m_result.bytesTotal = write ? kWriteFullFrames * kFrameData + kLastWriteSize : m_result.framesTotal * kFrameData;
    m_nProgress = 0;
    if (!m_pFrames)
        m_observer.Range(0, write ? 511 : 512);

    if (!m_port.Open(device)) {
        Fail(IDS_OPEN_PORT_FAIL, m_port.ErrorText());
        return m_result;
    }
    PortCloser closer{m_port};

    Step s = Handshake();
    m_result.dataPhase = s == Step::Ok;
    if (s == Step::Ok)
        s = write ? WritePhase(out) : ReadPhase(*in);
    if (s == Step::Ok)
        m_result.outcome = TransferOutcome::Completed;
    else if (s == Step::Cancelled)
        m_result.outcome = TransferOutcome::Cancelled;
    return m_result;
}

CTransferEngine::Step CTransferEngine::Handshake()
{
    SleeperHooks hooks(m_sleep);
    CHandshakeSender sender(m_port, hooks);
    const std::array<std::uint8_t, kEntryCodeSize> code = CHandshakeSender::EntryCode();
    int attempt = 1;
    for (;;) {
        m_observer.Attempt(attempt);
        if (!PumpPasses(6, true))
            return Step::Cancelled;
        ++m_result.handshakeAttempts;
        if (!sender.SendEntryCode())
            return Fail(IDS_PROGRAM_INTERRUPT, m_port.ErrorText());

        // Two chances for the acknowledgement of the entry code.
        bool entered = false;
        bool answered = false;
        std::size_t echoed = 0;  // answers so far that were our own code's bytes, in order
        bool promptNow = false;
        for (int tries = 0; tries < 2 && !entered; ++tries) {
            std::uint8_t b = 0;
            std::size_t got = 0;
            if (!ReadBytes(&b, 1, got)) {
                if (m_port.IsLost())
                    return Fail(IDS_PROGRAM_INTERRUPT, m_port.ErrorText());
                break;
            }
            if (got == 1 && echoed == static_cast<std::size_t>(tries) && b == code[echoed])
                ++echoed;
            answered = answered || got == 1;
            entered = got == 1 && b == kAck;
        }

        if (entered) {
            if (!sender.SendIdentificationRequest())
                return Fail(IDS_PROGRAM_INTERRUPT, m_port.ErrorText());
            std::array<std::uint8_t, kIdentSize> ident{};
            std::size_t got = 0;
            if (!ReadBytes(ident.data(), ident.size(), got)) {
                if (m_port.IsLost())
                    return Fail(IDS_PROGRAM_INTERRUPT, m_port.ErrorText());
                m_result.handshakeFault = HandshakeFault::NoIdentification;
                promptNow = true;
            } else {
                if (!sender.SendClosingAck())
                    return Fail(IDS_PROGRAM_INTERRUPT, m_port.ErrorText());
                std::uint8_t b = 0;
                got = 0;
                bool ok = ReadBytes(&b, 1, got);
                if (!ok && m_port.IsLost())
                    return Fail(IDS_PROGRAM_INTERRUPT, m_port.ErrorText());
                if (ok && got == 1 && b == kAck) {
                    m_result.handshakeFault = HandshakeFault::None;
                    return Step::Ok;
                }
                m_result.handshakeFault =
                    ok && got == 1 ? HandshakeFault::WrongClosingAck : HandshakeFault::NoClosingAck;
                if (attempt > 5)
                    return Fail(IDS_PROGRAM_INTERRUPT);
                ++attempt;
                promptNow = true;
            }
        } else {
            m_result.handshakeFault = echoed > 0 ? HandshakeFault::Echo
                                      : answered ? HandshakeFault::WrongAnswer
                                                 : HandshakeFault::NoAnswer;
            sender.PauseAfterUnanswered();
            ++attempt;
            promptNow = attempt > 15;
        }

        // A write that may not ask: the caller checks the radio again instead.
        if (m_nAttemptLimit > 0 && (promptNow || m_result.handshakeAttempts >= m_nAttemptLimit)) {
            m_result.outcome = TransferOutcome::Failed;
            m_result.messageId = IDS_COMM_ERROR;
            return Step::Failed;
        }
        if (promptNow) {
            m_result.portHolders = PortHolders(m_port.DevicePath());
            if (!m_observer.PromptRetry(IDS_COMM_ERROR, m_result)) {
                m_result.messageId = IDS_COMM_ERROR;
                return Step::Cancelled;
            }
            attempt = 1;
        }
    }
}

bool CTransferEngine::ReadFrame(int a, Image& buffer, Step& failed)
{
    m_port.PurgeClear();
    const std::uint8_t req[4] = {kRead, static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a & 0xFF),
                                 kFrameData};
    if (!Send(req, sizeof req)) {
        failed = Fail(IDS_PROGRAM_INTERRUPT, m_port.ErrorText());
        return false;
    }
    std::array<std::uint8_t, kReadReplySize> reply{};
    std::size_t got = 0;
    if (!ReadBytes(reply.data(), reply.size(), got) || got < reply.size()) {
        failed = Fail(IDS_PROGRAM_INTERRUPT, m_port.IsLost() ? m_port.ErrorText() : std::string());
        return false;
    }
    std::memcpy(buffer.data() + a, reply.data() + 4, kFrameData);

    m_port.PurgeClear();
    if (!Send(kAck)) {
        failed = Fail(IDS_PROGRAM_INTERRUPT, m_port.ErrorText());
        return false;
    }
    std::uint8_t b = 0;
    got = 0;
    if (!ReadBytes(&b, 1, got) || got != 1 || b != kAck) {
        failed = Fail(IDS_PROGRAM_INTERRUPT, m_port.IsLost() ? m_port.ErrorText() : std::string());
        return false;
    }
    return true;
}

CTransferEngine::Step CTransferEngine::ReadPhase(Image& buffer)
{
    Step failed = Step::Failed;
    if (m_pFrames) {
        for (const int a : *m_pFrames) {
            if (a < 0 || a % kFrameData != 0 || a >= static_cast<int>(kImageSize))
                continue;
            if (!ReadFrame(a, buffer, failed))
                return failed;
            ++m_result.frames;
            m_result.bytes += kFrameData;
            if (!PumpPasses(9, false))
                return Step::Cancelled;
        }
        return Step::Ok;
    }
    for (int a = 0; a < static_cast<int>(kImageSize); a += kFrameData) {
        if (!ReadFrame(a, buffer, failed))
            return failed;
        Delivered(kFrameData);

        if (a % static_cast<int>(kBlockSize) == 0)
            m_observer.Progress(++m_nProgress);
        if (!PumpPasses(9, false))
            return Step::Cancelled;
    }
    return Step::Ok;
}

CTransferEngine::Step CTransferEngine::WritePhase(const Image& image)
{
    auto frame = [&](int a, int n) -> bool {
        m_port.PurgeClear();
        const std::uint8_t hdr[4] = {kWrite, static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a & 0xFF),
                                     static_cast<std::uint8_t>(n)};
        if (!Send(hdr, sizeof hdr))
            return false;
        Sleep(1);
        if (!Send(image.data() + a, static_cast<std::size_t>(n)))
            return false;
        std::uint8_t b = 0;
        std::size_t got = 0;
        return ReadBytes(&b, 1, got) && got == 1 && b == kAck;
    };

    for (int a = 0; a < kWriteFullFrames * kFrameData; a += kFrameData) {
        if (!frame(a, kFrameData))
            return Fail(IDS_PROGRAM_INTERRUPT, m_port.IsLost() ? m_port.ErrorText() : std::string());
        Delivered(kFrameData);
        if (a % static_cast<int>(kBlockSize) == 0)
            m_observer.Progress(++m_nProgress);
        if (!PumpPasses(9, false))
            return Step::Cancelled;
    }
    if (!frame(kLastWriteAddress, kLastWriteSize))
        return Fail(IDS_PROGRAM_INTERRUPT, m_port.IsLost() ? m_port.ErrorText() : std::string());
    Delivered(kLastWriteSize);
    return Step::Ok;
}
