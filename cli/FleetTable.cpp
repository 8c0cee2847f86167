// The fleet's live display on stderr: a table redrawn in place on a terminal, else a line per change.
#include <algorithm>
#include <cstdio>
#include <iostream>

#include "cli/FleetCommand.h"
#include "cli/FleetText.h"
#include "cli/Output.h"
#include "core/app/DisplayText.h"
#include "core/platform/Console.h"

namespace cli {

namespace {

std::string MinSec(double s)
{
    if (s < 0)
        return "";
    const int n = static_cast<int>(s + 0.5);
    char t[32];
    std::snprintf(t, sizeof t, "%d:%02d", n / 60, n % 60);
    return t;
}

// A table line that wraps would throw the cursor moves off: cut it at the
// terminal's width (UTF-8 aware, CJK counting two).
std::string FitWidth(const std::string& text, int width)
{
    if (DisplayWidth(text) <= width)
        return text;
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        const std::string ch = text.substr(i, n);
        if (DisplayWidth(out + ch) > width - 1)
            break;
        out += ch;
        i += n;
    }
    return out + "~";
}

int TerminalWidth()
{
    const int columns = TerminalColumns(StdStream::Err);
    return columns > 10 ? columns - 1 : 79;
}

}  // namespace

void CFleetCommand::DrawTable(const std::vector<FleetPortState>& states, int jobs)
{
    int width = 4;
    for (const FleetPortState& s : states)
        width = std::max(width, DisplayWidth(s.port));
    std::vector<std::string> lines;
    if (m_bWatch) {
        int ok = 0, failed = 0;
        for (const FleetPortState& s : states) {
            ok += s.succeeded;
            failed += s.failed;
        }
        lines.push_back(std::string(Tr("radios: ", "电台: ")) + std::to_string(jobs) + "  " +
                        Tr("succeeded ", "成功 ") + std::to_string(ok) + "  " + Tr("failed ", "失败 ") +
                        std::to_string(failed) + Tr("   (Ctrl+C ends)", "   (Ctrl+C 结束)"));
    }
    lines.push_back(PadRight(Tr("PORT", "端口"), width + 2) + PadRight(Tr("STATE", "状态"), 12) + PadRight("%", 6) +
                    PadRight(Tr("RATE", "速率"), 10) + PadRight(Tr("LEFT", "剩余"), 8) + Tr("RESULT", "结果"));
    for (const FleetPortState& s : states) {
        const bool running = s.phase != FleetPhase::Done && s.phase != FleetPhase::Absent &&
                             s.phase != FleetPhase::Present && s.phase != FleetPhase::Waiting;
        const bool lastFailed = s.hasLast && !s.last.Succeeded();
        std::string line = PadRight(s.port, width + 2) + PadRight(PhaseWord(s.phase, m_bWrite, lastFailed), 12);
        char pct[16] = "";
        if (running || s.phase == FleetPhase::Done)
            std::snprintf(pct, sizeof pct, "%3d%%",
                          s.phase == FleetPhase::Done && s.last.Succeeded() ? 100 : Percent(s));
        char rate[24] = "";
        if (s.rate > 0)
            std::snprintf(rate, sizeof rate, "%.0f B/s", s.rate);
        line += PadRight(pct, 6) + PadRight(rate, 10) + PadRight(running ? MinSec(s.secondsLeft) : "", 8);
        if (s.hasLast) {
            std::string result = OutcomeWord(s.last.outcome) + " " + Seconds(s.last.seconds);
            if (!s.last.Succeeded())
                result = OutcomeWord(s.last.outcome) + ": " + JobProblem(s.last, m_nRetries, m_strFile);
            if (m_bWatch)
                result = "#" + std::to_string(s.last.radio) + " " + result;
            line += result;
        }
        lines.push_back(line);
    }
    std::string out;
    if (m_nTableLines > 0)
        out += "\x1b[" + std::to_string(m_nTableLines) + "F";  // back to the table's first line
    const int columns = TerminalWidth();
    for (const std::string& l : lines)
        out += "\x1b[2K" + FitWidth(ForTerminal(l), columns) + "\n";
    std::fputs(out.c_str(), stderr);
    std::fflush(stderr);
    m_nTableLines = static_cast<int>(lines.size());
}

void CFleetCommand::LogChanges(const std::vector<FleetPortState>& states, const std::vector<FleetJob>& jobs)
{
    for (; m_nShownJobs < jobs.size(); ++m_nShownJobs) {
        const FleetJob& j = jobs[m_nShownJobs];
        std::string line = JobLine(j, m_nRetries, m_strFile, j.Succeeded() ? OutputOf(j.port) : "");
        if (m_bWatch) {
            // The running count of a production line.
            const auto ok = std::count_if(jobs.begin(), jobs.begin() + static_cast<std::ptrdiff_t>(m_nShownJobs) + 1,
                                          [](const FleetJob& x) { return x.Succeeded(); });
            line = Tr("radio ", "电台 ") + std::to_string(j.radio) + ": " + line + "  [" + std::to_string(ok) +
                   Tr(" succeeded, ", " 成功, ") + std::to_string(static_cast<long>(m_nShownJobs) + 1 - ok) +
                   Tr(" not]", " 未成功]");
        }
        std::cerr << ForTerminal(line) << std::endl;
    }
    for (std::size_t i = 0; i < states.size(); ++i) {
        const FleetPhase p = states[i].phase;
        if (p == m_shownPhase[i])
            continue;
        m_shownPhase[i] = p;
        if (p == FleetPhase::Done || p == FleetPhase::Waiting)
            continue;  // the job's own line says it
        const bool lastFailed = states[i].hasLast && !states[i].last.Succeeded();
        std::cerr << ForTerminal(states[i].port) << ": " << PhaseWord(p, m_bWrite, lastFailed) << std::endl;
    }
}

}  // namespace cli
