#include "core/link/RadioCheck.h"

#include <set>

#include "core/app/StringIds.h"
#include "core/link/Protocol.h"

namespace {

// A handshake right after the check succeeds at once; three attempts leave
// no time to swap a radio.
constexpr int kWriteAttempts = 3;
// Checks in a row after which a write that cannot get through fails.
constexpr int kRounds = 3;
constexpr int kStride = 256;

}  // namespace

std::vector<int> RadioCheckFrames()
{
    std::set<int> frames;
    for (int a = 0; a < static_cast<int>(kImageSize); a += kStride)
        frames.insert(a);
    frames.insert(mem::kSelectedBand & ~(proto::kFrameData - 1));
    frames.insert(mem::kPowerOnName & ~(proto::kFrameData - 1));
    for (int a = mem::kBeep; a < static_cast<int>(kImageSize); a += proto::kFrameData)
        frames.insert(a);
    return {frames.begin(), frames.end()};
}

std::vector<WriteDifference> RadioChanges(const Image& read, const Image& now, bool chinese)
{
    std::vector<WriteDifference> changes = CompareWrittenImage(read, now, chinese);
    const std::vector<ByteRange> tail = DifferingRanges(read, now, mem::kWriteEnd, static_cast<int>(kImageSize));
    if (!tail.empty())
        changes.push_back({chinese ? "写入从不发送的字节" : "bytes a write never sends", tail});
    return changes;
}

GuardedWrite WriteToRadioRead(CTransferEngine& engine, const std::string& device, const Image& image, const Image& read,
                              bool chinese)
{
    GuardedWrite g;
    const std::vector<int> frames = RadioCheckFrames();
    for (int round = 1;; ++round) {
        Image now = read;
        g.result = engine.ReadFrames(device, frames, now);
        if (!g.result.Completed() || now != read) {
            g.checkEnded = true;
            g.radioChanged = g.result.Completed();
            if (g.radioChanged) {
                // A write that failed before sending anything.
                g.changes = RadioChanges(read, now, chinese);
                g.result.outcome = TransferOutcome::Failed;
                g.result.messageId = 0;
                g.result.dataPhase = false;
            }
            return g;
        }
        g.result = engine.Write(device, image, kWriteAttempts);
        const bool gaveUp =
            g.result.outcome == TransferOutcome::Failed && !g.result.dataPhase && g.result.messageId == IDS_COMM_ERROR;
        if (!gaveUp || round == kRounds)
            return g;
    }
}

std::string RadioChangedText(const std::vector<WriteDifference>& changes, bool chinese)
{
    std::string where;
    for (const WriteDifference& c : changes)
        where += (where.empty() ? "" : "; ") + c.where + " (" + AddressRangesText(c.ranges) + ")";
    return chinese ? "电台已更换: 此端口上的电台不是先前读取的那台 (与读取的数据不同: " + where +
                         "); 未向其写入任何数据, 它的数据也没有备份: 请重新读取它"
                   : "a radio was changed: the radio on the port is not the one read (it differs from what was read "
                     "in: " +
                         where + "); nothing was written to it, and its memory has no backup: read it again";
}
