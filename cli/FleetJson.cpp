// The fleet's JSON: each radio's result, the --progress=json lines and the --json document.
#include <cstdio>

#include "cli/FleetCommand.h"
#include "cli/FleetText.h"
#include "cli/Output.h"
#include "core/radio/ImageDiff.h"

namespace cli {

namespace {

const char* OutcomeKey(FleetOutcome o)
{
    switch (o) {
    case FleetOutcome::Completed: return "completed";
    case FleetOutcome::Verified: return "verified";
    case FleetOutcome::Failed: return "failed";
    case FleetOutcome::Cancelled: return "cancelled";
    }
    return "";
}

const char* PhaseKey(FleetPhase p)
{
    switch (p) {
    case FleetPhase::Waiting: return "waiting";
    case FleetPhase::Handshake: return "handshake";
    case FleetPhase::Writing: return "writing";
    case FleetPhase::Verifying: return "verifying";
    case FleetPhase::Reading: return "reading";
    case FleetPhase::Done: return "done";
    case FleetPhase::Absent: return "absent";
    case FleetPhase::Present: return "present";
    }
    return "";
}

}  // namespace

// The ports left out (busy, with --skip-busy), each with why.
void CFleetCommand::JsonSkipped(CJsonWriter& json)
{
    json.Key("skipped").BeginArray();
    for (const Target& t : m_skipped)
        json.BeginObject()
            .Key("port")
            .String(t.name)
            .Key("device")
            .String(t.device)
            .Key("reason")
            .String(m_skipReasons[t.name])
            .EndObject();
    json.EndArray();
}

void CFleetCommand::JsonJob(CJsonWriter& json, const FleetJob& j, bool write)
{
    const TransferResult& r = j.transfer;
    json.BeginObject().Key("radio").Int(j.radio).Key("port").String(j.port).Key("device").String(j.device);
    json.Key("result").String(OutcomeKey(j.outcome)).Key("ok").Bool(j.Succeeded());
    json.Key("stage").String(!write ? "read" : j.inVerify ? "verify" : j.inCheck ? "check" : "write");
    json.Key("message_id");
    if (r.messageId != 0 && !j.Succeeded())
        json.Int(r.messageId);
    else
        json.Null();
    json.Key("message").String(j.Succeeded() ? "" : JobProblem(j, m_nRetries, m_strFile));
    json.Key("reason").String(r.detail);
    json.Key("frames").Int(r.frames).Key("frames_total").Int(r.framesTotal);
    // The failed handshake's serial trace, kept for a support report.
    json.Key("kept_trace");
    if (const std::string kept = KeptTrace(j.radio); kept.empty())
        json.Null();
    else
        json.String(kept);
    if (write) {
        // Another radio on the port than the one read: not written.
        json.Key("radio_changed").Bool(j.radioChanged).Key("changes").BeginArray();
        for (const WriteDifference& d : j.changes)
            json.BeginObject()
                .Key("where")
                .String(d.where)
                .Key("ranges")
                .String(AddressRangesText(d.ranges))
                .EndObject();
        json.EndArray();
        json.Key("partly_written").Bool(j.partlyWritten).Key("mismatches").BeginArray();
        for (const WriteDifference& d : j.mismatches)
            json.BeginObject()
                .Key("where")
                .String(d.where)
                .Key("ranges")
                .String(AddressRangesText(d.ranges))
                .EndObject();
        json.EndArray();
    } else {
        json.Key("output");
        if (j.Succeeded() && !OutputOf(j.port).empty())
            json.String(OutputOf(j.port));
        else
            json.Null();
        // Progress lines ask while other ports' backups are still being kept.
        Backup backup;
        {
            const std::lock_guard<std::mutex> hold(m_backupLock);
            if (const auto it = m_backups.find(j.port); j.Succeeded() && it != m_backups.end())
                backup = it->second;
        }
        json.Key("backup");
        if (backup.path.empty())
            json.Null();
        else
            json.String(backup.path);
        json.Key("backup_error");
        if (backup.error.empty())
            json.Null();
        else
            json.String(backup.error);
    }
    json.Key("seconds").Number(j.seconds, 2).Key("cpu_seconds").Number(j.cpuSeconds, 3).EndObject();
}

void CFleetCommand::ProgressLines(const std::vector<FleetPortState>& states, const std::vector<FleetJob>& jobs,
                                  bool all)
{
    std::string out;
    for (std::size_t i = 0; i < states.size(); ++i) {
        const FleetPortState& s = states[i];
        const int pct = Percent(s);
        if (!all && s.phase == m_shownPhase[i] && pct == m_shownPercent[i])
            continue;
        m_shownPhase[i] = s.phase;
        m_shownPercent[i] = pct;
        CJsonWriter line(0);
        line.BeginObject().Key("schema").Int(kJsonSchema).Key("event").String("progress");
        line.Key("port").String(s.port).Key("state").String(PhaseKey(s.phase));
        // frames: the running transfer's, as in the result; blocks stay for older readers.
        line.Key("frames").Int(s.frames).Key("frames_total").Int(s.framesTotal);
        line.Key("blocks").Int(s.blocks).Key("blocks_total").Int(s.blocksTotal).Key("percent").Int(pct);
        line.Key("rate").Number(s.rate, 0).Key("seconds_left");
        if (s.secondsLeft >= 0)
            line.Number(s.secondsLeft, 1);
        else
            line.Null();
        line.EndObject();
        out += line.Text();
    }
    for (; m_nShownJobs < jobs.size(); ++m_nShownJobs) {
        CJsonWriter line(0);
        line.BeginObject().Key("schema").Int(kJsonSchema).Key("event").String("result").Key("radio");
        JsonJob(line, jobs[m_nShownJobs], m_bWrite);
        line.EndObject();
        out += line.Text();
    }
    std::fputs(out.c_str(), stderr);
    std::fflush(stderr);
}

void CFleetCommand::JsonSummary(const std::vector<FleetJob>& jobs, int ok, int failed, int cancelled,
                                const std::vector<std::string>& partly, int status, const std::string& error)
{
    CJsonWriter json;
    BeginJsonDocument(json, m_bWrite ? "write" : "read");
    json.Key(m_bWrite ? "file" : "directory");
    if (m_bSingleFile)
        json.Null();  // the radio's "output" names the file
    else
        json.String(m_strFile);
    json.Key("verify").Bool(m_bVerify).Key("watch").Bool(m_bWatch).Key("interrupted").Bool(m_bInterrupted);
    json.Key("radios").BeginArray();
    for (const FleetJob& j : jobs)
        JsonJob(json, j, m_bWrite);
    json.EndArray();
    JsonSkipped(json);
    json.Key("summary").BeginObject();
    json.Key("radios").Int(static_cast<long long>(jobs.size())).Key("succeeded").Int(ok).Key("failed").Int(failed);
    json.Key("cancelled").Int(cancelled).Key("skipped").Int(static_cast<long long>(m_skipped.size()));
    json.Key("partly_written").BeginArray();
    for (const std::string& p : partly)
        json.String(p);
    json.EndArray().EndObject();
    json.Key("output_lost").Bool(m_bOutputLost).Key("trace_error");
    if (m_strTraceLost.empty())
        json.Null();
    else
        json.String(m_strTraceLost);
    // As every failing command's document: its exit status and why.
    json.Key("ok").Bool(status == kExitOk).Key("exit_status").Int(status).Key("error");
    if (status == kExitOk)
        json.Null();
    else
        json.String(error);
    json.EndObject();
    PrintJson(json);
}

}  // namespace cli
