// The transfer engine against a radio answering arbitrary bytes. It ends
// without real waiting (the engine's pauses go to a sleeper that only counts
// them), in a bounded number of port calls; a read that does not complete
// leaves the caller's image untouched; a write that completes sent every
// frame of the image; the port is closed on every way out.
#include <chrono>
#include <cstring>
#include <string>

#include "core/link/Protocol.h"
#include "core/link/Transfer.h"
#include "fuzz/FuzzPort.h"
#include "fuzz/FuzzSupport.h"

namespace {

class Observer : public ITransferObserver {
public:
    int retries = 0;          // Retry answers left
    long long cancelAt = -1;  // cancelled from this pump pass on
    long long pumps = 0;
    int prompts = 0;
    void Range(int, int) override {}
    void Progress(int) override {}
    void Pump() override { ++pumps; }
    bool IsCancelled() override { return cancelAt >= 0 && pumps >= cancelAt; }
    bool PromptRetry(int, const TransferResult&) override
    {
        ++prompts;
        return retries-- > 0;
    }
    void Message(int, const std::string&) override {}
};

Image Pattern(std::uint8_t seed)
{
    Image img;
    for (std::size_t i = 0; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8) + seed);
    return img;
}

void CheckWriteFrames(const std::vector<std::vector<std::uint8_t>>& writes, const Image& image)
{
    using namespace proto;
    const std::size_t calls = 2u * (kWriteFullFrames + 1);
    FUZZ_CHECK(writes.size() >= calls, "a completed write made " + std::to_string(writes.size()) + " writes");
    std::size_t k = writes.size() - calls;
    for (int f = 0; f <= kWriteFullFrames; ++f, k += 2) {
        const int a = f < kWriteFullFrames ? f * kFrameData : kLastWriteAddress;
        const int n = f < kWriteFullFrames ? kFrameData : kLastWriteSize;
        const std::vector<std::uint8_t> hdr{kWrite, static_cast<std::uint8_t>(a >> 8),
                                            static_cast<std::uint8_t>(a & 0xFF), static_cast<std::uint8_t>(n)};
        FUZZ_CHECK(writes[k] == hdr, "frame " + std::to_string(f) + " header");
        FUZZ_CHECK(writes[k + 1].size() == static_cast<std::size_t>(n) &&
                       std::memcmp(writes[k + 1].data(), image.data() + a, static_cast<std::size_t>(n)) == 0,
                   "frame " + std::to_string(f) + " data");
    }
}

}  // namespace

// Input: one byte of flags (bit 0 write, bit 1 line lost when the stream is
// spent, bit 2 the port does not open, bits 3-4 Retry answers, bits 5-7 a
// cancel after that many hundred pump passes), then the radio's answers: for
// each read a count byte and that many bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const std::uint8_t flags = in.Byte();
    const bool write = flags & 1;
    fuzz::StreamPort port(in.Here(), in.Remaining(), flags & 2, flags & 4);
    Observer obs;
    obs.retries = (flags >> 3) & 3;
    if (flags >> 5)
        obs.cancelAt = 100LL * (flags >> 5) * (flags >> 5) * (flags >> 5);
    CTransferEngine engine(port, obs);
    long long pausedUs = 0;
    engine.SetSleeper([&](std::chrono::microseconds d) { pausedUs += d.count(); });

    const Image before = Pattern(flags);
    Image image = before;
    const TransferResult r = write ? engine.Write("COM1", image) : engine.Read("COM1", image);

    FUZZ_CHECK(!port.IsOpen() && port.closes == port.opens - (flags & 4 ? 1 : 0), "the port was left open");
    // Each attempt or frame costs a handful of port calls; four prompts at most.
    FUZZ_CHECK(port.reads <= 4 * 16 * 4 + 3 * proto::kReadFrames + 8, std::to_string(port.reads) + " reads");
    FUZZ_CHECK(obs.prompts <= obs.retries + 5, std::to_string(obs.prompts) + " prompts");
    FUZZ_CHECK(r.frames <= r.framesTotal && r.bytes <= r.bytesTotal && r.frames >= 0, "counts beyond the totals");
    FUZZ_CHECK(r.dataPhase || r.frames == 0, "frames without a data phase");
    if (r.outcome == TransferOutcome::Failed)
        FUZZ_CHECK(r.messageId != 0, "failed without a message");
    if (r.Completed())
        FUZZ_CHECK(r.frames == r.framesTotal && r.bytes == r.bytesTotal, "completed short of the totals");
    if (!write && !r.Completed())
        FUZZ_CHECK(image == before, "a read that did not complete changed the image");
    if (!write && r.Completed()) {
        // The image is the data bytes of the last 1024 replies of 12 bytes, each followed by an ack.
        const std::size_t tail = static_cast<std::size_t>(proto::kReadFrames) * (proto::kReadReplySize + 1);
        FUZZ_CHECK(port.delivered.size() >= tail, "completed read on too few bytes");
        const std::uint8_t* p = port.delivered.data() + port.delivered.size() - tail;
        for (int f = 0; f < proto::kReadFrames; ++f, p += proto::kReadReplySize + 1)
            FUZZ_CHECK(std::memcmp(image.data() + f * proto::kFrameData, p + 4, proto::kFrameData) == 0,
                       "frame " + std::to_string(f) + " not stored as received");
    }
    if (write) {
        FUZZ_CHECK(image == before, "a write changed its image");
        if (r.Completed())
            CheckWriteFrames(port.writes, image);
    }
    (void)pausedUs;
    return 0;
}
