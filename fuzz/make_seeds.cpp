// Writes the seeds that are made rather than written by hand: for the
// transfer target a healthy read and write (and two faulty ones) against the
// radio's protocol machine, recorded as the bytes the radio answered (the
// target's input: a flags byte, then those bytes); for the CSV target the
// sample image's channels in the grid layout.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "core/link/Protocol.h"
#include "core/link/Transfer.h"
#include "core/exchange/CsvGridLayout.h"
#include "core/radio/Document.h"

namespace {

class RadioPort : public ISerialPort {
public:
    CRadioProtocol radio;
    std::vector<std::uint8_t> answered;
    bool Open(const std::string&) override { return m_open = true; }
    bool IsOpen() const override { return m_open; }
    void Close() override { m_open = false; }
    bool Read(std::uint8_t* buf, std::size_t n, std::size_t& got) override
    {
        // The target's reads: a count byte, then the bytes.
        answered.push_back(static_cast<std::uint8_t>(std::min(n, m_rx.size())));
        for (got = 0; got < n && !m_rx.empty(); m_rx.pop_front())
            answered.push_back(buf[got++] = m_rx.front());
        return true;
    }
    bool Write(const std::uint8_t* buf, std::size_t n, std::size_t& written) override
    {
        for (written = 0; written < n; ++written) {
            std::vector<std::uint8_t> out;
            radio.Feed(buf[written], out);
            m_rx.insert(m_rx.end(), out.begin(), out.end());
        }
        return true;
    }
    void PurgeAbort() override {}
    void PurgeClear() override { m_rx.clear(); }
    bool IsLost() const override { return false; }
    std::string ErrorText() const override { return {}; }
    std::string DevicePath() const override { return "sim"; }

private:
    bool m_open = false;
    std::deque<std::uint8_t> m_rx;
};

class Quiet : public ITransferObserver {
public:
    void Range(int, int) override {}
    void Progress(int) override {}
    bool IsCancelled() override { return false; }
    bool PromptRetry(int, const TransferResult&) override { return retries-- > 0; }
    int retries = 1;
    void Message(int, const std::string&) override {}
};

bool WriteSeed(const std::string& path, std::uint8_t flags, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fputc(flags, f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    return std::fclose(f) == 0;
}

bool Record(const std::string& path, std::uint8_t flags, bool write, const RadioFaults& faults)
{
    RadioPort port;
    Quiet quiet;
    for (std::size_t i = 0; i < kImageSize; ++i)
        port.radio.Memory()[i] = static_cast<std::uint8_t>(i * 13 + 1);
    port.radio.SetFaults(faults);
    CTransferEngine engine(port, quiet);
    engine.SetSleeper([](std::chrono::microseconds) {});
    Image image = NewDocumentImage();
    write ? engine.Write("sim", image) : engine.Read("sim", image);
    return WriteSeed(path, flags, std::string(port.answered.begin(), port.answered.end()));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CORPUS-DIR SAMPLE.dat\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/transfer";
    ChannelDocument sample;
    if (!sample.Load(argv[2], false).ok)
        return 1;
    RadioFaults healthy;
    RadioFaults noFinalAck;
    noFinalAck.missingFinalAcks = 1;
    RadioFaults shortReply;
    shortReply.shortReplyAtFrame = 3;
    const bool ok = Record(dir + "/read-healthy", 0x00, false, healthy) &&
                    Record(dir + "/write-healthy", 0x01, true, healthy) &&
                    Record(dir + "/read-no-final-ack-retry", 0x08, false, noFinalAck) &&
                    Record(dir + "/read-short-reply-lost", 0x02, false, shortReply);
    return ok && WriteSeed(std::string(argv[1]) + "/csv/grid-sample", 0x00, GridToCsv(sample.grid)) ? 0 : 1;
}
