// The words and lines of a fleet run shared by its table, log, summary and JSON.
#include "cli/FleetText.h"

#include <cstdio>
#include <ctime>
#include <vector>

#include "cli/Common.h"
#include "cli/Output.h"
#include "cli/TransferTrace.h"
#include "core/app/Globals.h"
#include "core/link/RadioCheck.h"
#include "core/link/TransferText.h"
#include "core/platform/LocalTime.h"
#include "core/radio/ImageDiff.h"

namespace cli {

std::string Seconds(double s)
{
    char t[32];
    std::snprintf(t, sizeof t, "%.1f s", s);
    return t;
}

std::string Where(const std::string& name, const std::string& device)
{
    return device.empty() || device == name ? name : name + " (" + device + ")";
}

std::string OutcomeWord(FleetOutcome o)
{
    switch (o) {
    case FleetOutcome::Completed: return Tr("completed", "完成");
    case FleetOutcome::Verified: return Tr("verified", "已校验");
    case FleetOutcome::Failed: return Tr("failed", "失败");
    case FleetOutcome::Cancelled: return Tr("cancelled", "已取消");
    }
    return "";
}

std::string PhaseWord(FleetPhase p, bool write, bool lastFailed)
{
    switch (p) {
    case FleetPhase::Waiting: return Tr("waiting", "等待");
    case FleetPhase::Handshake: return Tr("handshake", "握手");
    case FleetPhase::Writing: return Tr("writing", "写入");
    case FleetPhase::Verifying: return Tr("verifying", "校验");
    case FleetPhase::Reading: return Tr("reading", "读取");
    case FleetPhase::Done: return Tr("done", "结束");
    case FleetPhase::Absent: return Tr("no radio", "无电台");
    case FleetPhase::Present:
        if (lastFailed)
            return write ? Tr("not programmed; remove the radio to try again", "未写入; 取下电台后重试")
                         : Tr("not read; remove the radio to try again", "未读取; 取下电台后重试");
        return write ? Tr("programmed", "已写入") : Tr("read", "已读取");
    }
    return "";
}

int Percent(const FleetPortState& s) { return s.blocksTotal > 0 ? s.blocks * 100 / s.blocksTotal : 0; }

std::string JobProblem(const FleetJob& j, int, const std::string& file)
{
    const TransferResult& r = j.transfer;
    const bool zh = g_bChinese != 0;
    if (!j.saveError.empty())
        return j.saveError;
    if (j.radioChanged)
        return RadioChangedText(j.changes, zh);
    if (j.inCheck) {
        // The check before the write: what it read, not a write, ended.
        std::string why = j.outcome == FleetOutcome::Cancelled
                              ? std::string(Tr("cancelled", "已取消"))
                              : MessageText(r.messageId) + (r.detail.empty() ? "" : " (" + r.detail + ")");
        if (!r.dataPhase && r.handshakeFault != HandshakeFault::None && j.outcome == FleetOutcome::Failed)
            why += "; " + HandshakeFaultText(r, zh);
        std::string t = NotCheckedText(why, zh).piece;
        if (j.outcome == FleetOutcome::Failed && HandshakeFailed(r))
            t += "; " + DoctorHint(j.port);
        return t;
    }
    if (!j.mismatches.empty()) {
        std::string t = ReadBackDiffersText(file, "", zh).piece;
        for (std::size_t i = 0; i < j.mismatches.size(); ++i)
            t += (i ? "; " : " ") + j.mismatches[i].where + " (" + AddressRangesText(j.mismatches[i].ranges) + ")";
        return t;
    }
    std::vector<std::string> parts;
    if (j.outcome != FleetOutcome::Cancelled)
        parts.push_back(MessageText(r.messageId) + (r.detail.empty() ? "" : " (" + r.detail + ")"));
    if (!r.dataPhase && r.handshakeFault != HandshakeFault::None && j.outcome == FleetOutcome::Failed)
        parts.push_back(HandshakeFaultText(r, zh));
    else if (r.dataPhase)
        parts.push_back(StoppedText(r, j.inVerify ? TransferPart::ReadBack : TransferPart::Write, zh).piece);
    else
        parts.push_back(NothingTransferredText(zh));
    if (j.inVerify)
        parts.push_back(WriteCompletedText(j.port, zh).piece);
    if (j.partlyWritten)
        parts.push_back(PartlyWrittenText(zh).piece);
    if (j.outcome == FleetOutcome::Failed && (HandshakeFailed(r) || r.messageId == IDS_OPEN_PORT_FAIL))
        parts.push_back(DoctorHint(j.port));
    std::string t;
    for (const std::string& p : parts)
        t += (t.empty() ? "" : "; ") + p;
    return t;
}

std::string JobLine(const FleetJob& j, int retries, const std::string& file, const std::string& output)
{
    std::string t = Where(j.port, j.device) + ": " + OutcomeWord(j.outcome);
    if (j.Succeeded()) {
        t += Tr(" in ", " 用时 ") + Seconds(j.seconds);
        if (!output.empty())
            t += Tr(", saved to ", ", 已保存到 ") + output;
    } else {
        t += ": " + JobProblem(j, retries, file);
    }
    return t;
}

std::string RadioName(const FleetJob& j, bool watch)
{
    if (!watch)
        return Where(j.port, j.device);
    const std::tm tm = platform::LocalTime(j.endedAt);
    char at[16];
    std::strftime(at, sizeof at, "%H:%M:%S", &tm);
    return g_bChinese ? "电台 " + std::to_string(j.radio) + "（" + Where(j.port, j.device) + "，" + at + "）"
                      : "radio " + std::to_string(j.radio) + " on " + Where(j.port, j.device) + " at " + at;
}

}  // namespace cli
