#include "core/exchange/CsvChannels.h"

#include <algorithm>
#include <map>

#include "core/editor/CellCommit.h"
#include "core/radio/ChannelCodec.h"
#include "core/exchange/CsvLayout.h"

namespace {

ImportReason CommitKind(int messageId)
{
    return messageId == kMsgOutOfRange  ? ImportReason::OutsideBands
           : messageId == kMsgStepError ? ImportReason::OffStep
                                        : ImportReason::BadValue;
}

std::string CommitReason(int col, const std::string& value, int messageId, bool zh)
{
    const std::string what = GridHeading(col, zh);
    if (messageId == kMsgFrequencyFormat)
        return FrequencyFormatReason(what, value, zh);
    const std::string quoted = what + (zh ? " “" + value + "”" : " \"" + value + "\"");
    if (messageId == kMsgOutOfRange)
        return quoted + (zh ? " 超出范围；频段为 " : " is out of range; the bands are ") + BandRangesText(zh);
    if (messageId == kMsgStepError)
        return quoted + (zh ? "：" : ": ") + StepRefusalText(value, zh);
    return quoted + (zh ? " 被拒绝" : " was refused");
}

// Empties the row, then commits the channel cell by cell as the editors
// would. On refusal the row is left empty (or as it was, `keep`) and the
// reason returned.
bool CommitChannel(ITextGrid& grid, int row, const CsvChannel& ch, bool chinese, bool keep, std::string& why,
                   ImportReason& kind)
{
    std::vector<std::string> before;
    for (int c = kColRxFreq; c <= kColName; ++c) {
        before.push_back(keep ? grid.TextMatrix(row, c) : std::string());
        grid.SetTextMatrix(row, c, "");
    }
    auto refuse = [&](int col, const std::string& value, int id) {
        for (int c = kColRxFreq; c <= kColName; ++c)
            grid.SetTextMatrix(row, c, before[static_cast<std::size_t>(c - kColRxFreq)]);
        why = CommitReason(col, value, id, chinese);
        kind = CommitKind(id);
        return false;
    };
    CommitResult r = CommitCell(grid, row, kColRxFreq, ch.rx, CommitTrigger::LeaveCell, chinese);
    if (r.stopped)
        return refuse(kColRxFreq, ch.rx, r.messageId);
    r = CommitCell(grid, row, kColTxFreq, ch.tx, CommitTrigger::LeaveCell, chinese);
    if (r.stopped)
        return refuse(kColTxFreq, ch.tx, r.messageId);
    CommitCell(grid, row, kColRxTone, ToneCellText(ch.rxTone, chinese), CommitTrigger::LeaveCell, chinese);
    CommitCell(grid, row, kColTxTone, ToneCellText(ch.txTone, chinese), CommitTrigger::LeaveCell, chinese);
    const std::pair<int, ChannelFlag> flags[] = {
        {kColPower, ch.power}, {kColLock, ch.lock}, {kColScanAdd, ch.scan}, {kColBandwidth, ch.bandwidth}};
    for (const auto& [col, flag] : flags)
        if (flag != ChannelFlag::None)
            CommitCell(grid, row, col, FlagWord(flag, chinese), CommitTrigger::LeaveCell, chinese);
    // As typed into the name editor: six characters, upper case; the commit cuts what a record cannot hold.
    CommitCell(grid, row, kColName, NameEditorText(ch.name), CommitTrigger::LeaveCell, chinese);
    return true;
}

void ClearChannels(ITextGrid& grid)
{
    for (int row = 1; row < kGridRows; ++row)
        for (int c = kColRxFreq; c <= kColName; ++c)
            grid.SetTextMatrix(row, c, "");
}

std::string RowName(int row, bool zh)
{
    return row == 1 ? std::string("Pr") : (zh ? "信道 " : "channel ") + std::to_string(row - 1);
}

}  // namespace

std::string FrequencyFormatReason(const std::string& what, const std::string& value, bool chinese)
{
    if (chinese)
        return what + " “" + value +
               "” 不是频率：请以兆赫给出，最多五位小数，如 145.125 或 145,125（后面可跟 “MHz” 或 “M”），范围 " +
               BandRangesText(true);
    return what + " \"" + value + "\" is not a frequency: give megahertz with up to five decimals, " +
           "e.g. 145.125 or 145,125 (\"MHz\" or \"M\" may follow), within " + BandRangesText(false);
}

const char* ImportReasonText(ImportReason reason, bool chinese)
{
    if (chinese)
        switch (reason) {
        case ImportReason::NameShortened: return "名称被截短";
        case ImportReason::NameUpperCase: return "名称改为大写";
        case ImportReason::PowerMapped: return "功率由瓦数换算";
        case ImportReason::OtherChange: return "其他改动";
        case ImportReason::OutsideBands: return "超出电台频段";
        case ImportReason::OffStep: return "不在 2.5 kHz 和 6.25 kHz 步进上";
        case ImportReason::ModeUnsupported: return "电台不支持的模式";
        case ImportReason::ToneUnsupported: return "电台无法存储的亚音或数码";
        case ImportReason::LocationOutside: return "位置超出 0-199";
        case ImportReason::NoChannelLeft: return "没有剩余信道";
        case ImportReason::Duplicate: return "信道重复给出";
        case ImportReason::BadValue: return "无效值";
        case ImportReason::Count: return "";
        }
    switch (reason) {
    case ImportReason::NameShortened: return "name shortened";
    case ImportReason::NameUpperCase: return "name in upper case";
    case ImportReason::PowerMapped: return "power mapped from watts";
    case ImportReason::OtherChange: return "other change";
    case ImportReason::OutsideBands: return "outside the radio's bands";
    case ImportReason::OffStep: return "off the 2.5 kHz and 6.25 kHz steps";
    case ImportReason::ModeUnsupported: return "mode the radio cannot do";
    case ImportReason::ToneUnsupported: return "tone or code the radio cannot hold";
    case ImportReason::LocationOutside: return "location outside 0-199";
    case ImportReason::NoChannelLeft: return "no channel left";
    case ImportReason::Duplicate: return "channel given twice";
    case ImportReason::BadValue: return "bad value";
    case ImportReason::Count: break;
    }
    return "";
}

bool HasLeadingComments(const std::string& text)
{
    if (LeadingCsvComments(text).lines.empty())
        return false;
    // A first line that either layout reads as its headings stays the headings
    // it always was ("#,Rx Frequency,...": a grid whose label column is headed "#").
    CCsvReader reader(text);
    CsvRecord head;
    if (!reader.Next(head))
        return true;
    std::string why;
    return !MakeGridLayoutReader()->ReadHeader(head.fields, why) &&
           !MakeChirpLayoutReader()->ReadHeader(head.fields, why);
}

std::string CsvImportTextProblem(const std::string& text) { return CsvTextProblem(text, HasLeadingComments(text)); }

CsvFormat DetectCsvFormat(const std::string& text, CsvFormat fallback)
{
    CCsvReader reader(text, HasLeadingComments(text));
    CsvRecord head;
    if (!reader.Next(head))
        return fallback;
    const CsvFormat other = fallback == CsvFormat::Grid ? CsvFormat::Chirp : CsvFormat::Grid;
    for (const CsvFormat format : {fallback, other}) {
        const std::unique_ptr<CsvLayoutReader> layout =
            format == CsvFormat::Grid ? MakeGridLayoutReader() : MakeChirpLayoutReader();
        if (std::string why; layout->ReadHeader(head.fields, why))
            return format;
    }
    // A channel list that lacks Location or Frequency is told so, not that it
    // is no grid.
    for (const std::string& field : head.fields)
        for (const std::string& column : ChirpColumns())
            if (EqualsNoCase(TrimBlanks(field), column))
                return CsvFormat::Chirp;
    return fallback;
}

namespace {

// The first heading the line gives twice (compared as the layouts read them:
// blanks trimmed, any case), "" when none is; `first` and `second` are its
// columns, from 1. Empty headings (trailing commas) name no column.
std::string TwiceGivenHeading(const std::vector<std::string>& fields, std::size_t& first, std::size_t& second)
{
    std::map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string heading = TrimBlanks(fields[i]);
        if (heading.empty())
            continue;
        const auto [it, added] = seen.emplace(LowerAscii(heading), i);
        if (!added) {
            first = it->second + 1;
            second = i + 1;
            return heading;
        }
    }
    return {};
}

}  // namespace

ImportReport ImportCsv(const std::string& text, CsvFormat format, ITextGrid& grid, bool chinese,
                       const ImportOptions& options)
{
    ImportReport report;
    const bool comments = HasLeadingComments(text);
    // Said as it is, not as headings the layout lacks.
    const bool zh = chinese;
    auto lineText = [zh](int line) {
        return (zh ? "第 " + std::to_string(line) + " 行：" : "line " + std::to_string(line) + ": ");
    };
    if (const std::string problem = CsvTextProblem(text, comments); !problem.empty()) {
        report.error = (zh ? "该文件" : "the file ") + CsvProblemText(problem, zh);
        return report;
    }
    CCsvReader reader(text, comments);
    CsvRecord head;
    if (!reader.Next(head)) {
        report.error = reader.Failed() ? lineText(reader.ErrorLine()) + CsvProblemText(reader.Error(), zh)
                                       : std::string(zh ? "该文件没有任何行" : "the file holds no lines");
        return report;
    }
    std::size_t firstColumn = 0, secondColumn = 0;
    if (const std::string twice = TwiceGivenHeading(head.fields, firstColumn, secondColumn); !twice.empty()) {
        report.error = lineText(head.line) +
                       (zh ? "标题 “" + twice + "” 给出了两次（第 " + std::to_string(firstColumn) + " 列和第 " +
                                 std::to_string(secondColumn) + " 列）；每一列都需要自己的标题"
                           : "the heading \"" + twice + "\" is given twice (columns " + std::to_string(firstColumn) +
                                 " and " + std::to_string(secondColumn) + "); each column needs a heading of its own");
        return report;
    }
    const std::unique_ptr<CsvLayoutReader> layout =
        format == CsvFormat::Grid ? MakeGridLayoutReader(zh) : MakeChirpLayoutReader(zh);
    if (std::string why; !layout->ReadHeader(head.fields, why)) {
        report.error = lineText(head.line) + why;
        return report;
    }
    const std::size_t expectedFields = layout->FieldCount();
    // A first pass over the whole text: it is CSV throughout (else nothing
    // changes), the layout's rules over the whole file, and the line count.
    {
        CCsvReader survey(text, comments);
        CsvRecord rec;
        survey.Next(rec);
        while (survey.Next(rec)) {
            layout->SurveyLine(rec.fields);
            ++report.lines;
        }
        if (survey.Failed()) {
            report.error = lineText(survey.ErrorLine()) + CsvProblemText(survey.Error(), zh);
            report.lines = 0;
            return report;
        }
    }
    // Headings and nothing else (a download cut short) would empty every channel.
    if (report.lines == 0 && !options.merge) {
        report.error = zh ? "该文件只有标题行，没有信道行（是否不完整？）；导入它会清空所有信道，因此未导入任何内容"
                          : "the file holds the headings but no channel rows (cut short?); importing it would empty "
                            "every channel, so nothing was imported";
        return report;
    }
    layout->EndSurvey(report.notes);

    const bool renumber = options.renumberFrom >= 0;
    int next = options.renumberFrom + 1;  // grid row the next renumbered channel takes
    if (!options.merge)
        ClearChannels(grid);
    std::map<int, int> seen;  // grid row -> line that set it
    auto listIssue = [&](ImportIssue issue) {
        if (report.issues.size() < static_cast<std::size_t>(kListedImportIssues))
            report.issues.push_back(std::move(issue));
        else
            ++report.unlisted;
    };
    CsvRecord rec;
    while (reader.Next(rec)) {
        auto count = [&](ImportReason r) { ++report.byReason[static_cast<std::size_t>(r)]; };
        auto reject = [&](int row, const std::string& why, ImportReason kind) {
            listIssue({rec.line, row, true, why, kind});
            ++report.rejected;
            count(kind);
        };
        if (rec.fields.size() != expectedFields) {
            reject(0,
                   zh ? "应有 " + std::to_string(expectedFields) + " 个字段，实有 " +
                            std::to_string(rec.fields.size()) + " 个"
                      : "expected " + std::to_string(expectedFields) + " fields, found " +
                            std::to_string(rec.fields.size()),
                   ImportReason::BadValue);
            continue;
        }
        std::string why;
        ImportReason kind = ImportReason::BadValue;
        int row = 0;
        if (!renumber) {
            row = layout->RowOf(rec.fields, why, kind);
            if (!row) {
                reject(0, why, kind);
                continue;
            }
            if (auto it = seen.find(row); it != seen.end()) {
                reject(row,
                       zh ? RowName(row, zh) + " 已在第 " + std::to_string(it->second) + " 行给出"
                          : RowName(row, zh) + " was already given on line " + std::to_string(it->second),
                       ImportReason::Duplicate);
                continue;
            }
            seen.emplace(row, rec.line);
        }

        CsvChannel ch;
        std::vector<std::string> notes;
        const CsvLayoutReader::Line line = layout->ReadChannel(rec.fields, ch, notes, why, kind);
        if (line == CsvLayoutReader::Line::Empty) {
            ++report.emptied;
            if (!renumber) {
                for (int c = kColRxFreq; c <= kColName; ++c)
                    grid.SetTextMatrix(row, c, "");
                for (const std::string& change : notes)
                    listIssue({rec.line, row, false, change, ImportReason::OtherChange});
            }
            continue;
        }
        ch.name = TextFromSafeField(ch.name);  // as the export protected it from spreadsheets
        if (line == CsvLayoutReader::Line::Refused) {
            reject(row, why, kind);
            continue;
        }
        if (renumber) {
            if (next >= kGridRows) {
                // A row refused for its own values says so, not merely that it found no room.
                CTextGrid scratch;
                if (CommitChannel(scratch, 1, ch, chinese, false, why, kind))
                    reject(0,
                           zh ? "没有剩余信道：从 " + RowName(options.renumberFrom + 1, zh) + " 起重新编号已填满到 199"
                              : "no channel left: renumbering from " + RowName(options.renumberFrom + 1, zh) +
                                    " fills the channels up to 199",
                           ImportReason::NoChannelLeft);
                else
                    reject(0, why, kind);
                continue;
            }
            row = next;
        }
        if (!CommitChannel(grid, row, ch, chinese, options.merge, why, kind)) {
            reject(row, why, kind);
            continue;
        }
        ++report.channels;
        ++next;
        if (grid.TextMatrix(row, kColTxFreq).empty())
            ++report.receiveOnly;
        const std::string stored = grid.TextMatrix(row, kColName);
        std::vector<ImportIssue> changes;
        for (const std::string& note : notes)
            changes.push_back({rec.line, row, false, note, ImportReason::OtherChange});
        if (stored != ch.name)
            changes.push_back({rec.line, row, false,
                               zh ? "名称 “" + ch.name + "” 存为 “" + stored + "”（大写，六个 0-9 A-Z - _ 字符）"
                                  : "name \"" + ch.name + "\" is stored as \"" + stored +
                                        "\" (upper case, six characters of 0-9 A-Z - _)",
                               stored == NameEditorText(ch.name, 1 << 20) ? ImportReason::NameUpperCase
                                                                          : ImportReason::NameShortened});
        if (ch.powerMapped)
            count(ImportReason::PowerMapped);  // said once, in the notes
        for (ImportReason r : {ImportReason::OtherChange, ImportReason::NameShortened, ImportReason::NameUpperCase})
            if (std::any_of(changes.begin(), changes.end(), [&](const ImportIssue& i) { return i.kind == r; }))
                count(r);
        if (!changes.empty() || ch.powerMapped)
            ++report.changedRows;
        for (ImportIssue& change : changes)
            listIssue(std::move(change));
    }
    if (renumber && report.channels > 0) {
        auto label = [](int channel) { return channel == 0 ? std::string("Pr") : std::to_string(channel); };
        report.notes.push_back(zh ? "重新编号：" + std::to_string(report.channels) + " 行按文件顺序放在信道 " +
                                        label(options.renumberFrom) + " 至 " + label(next - 2)
                                  : "renumbered: " + std::to_string(report.channels) + " row(s) on channels " +
                                        label(options.renumberFrom) + " to " + label(next - 2) + ", in file order");
    }
    report.ok = true;
    return report;
}

std::vector<std::string> ImportSummaryLines(const ImportReport& report, bool chinese)
{
    const bool zh = chinese;
    // The groups of one side, largest first.
    auto groups = [&](bool refusals) {
        std::vector<ImportReason> kinds;
        for (std::size_t k = 0; k < report.byReason.size(); ++k)
            if (report.byReason[k] > 0 && IsRefusal(static_cast<ImportReason>(k)) == refusals)
                kinds.push_back(static_cast<ImportReason>(k));
        std::stable_sort(kinds.begin(), kinds.end(),
                         [&](ImportReason a, ImportReason b) { return report.Count(a) > report.Count(b); });
        std::string out;
        for (ImportReason r : kinds)
            out += (out.empty() ? (zh ? "：" : ": ") : (zh ? "，" : ", ")) + std::to_string(report.Count(r)) + " " +
                   ImportReasonText(r, zh);
        return out;
    };
    std::vector<std::string> lines;
    if (report.unlisted > 0)
        lines.push_back(zh ? "（另有 " + std::to_string(report.unlisted) + " 个改动或拒绝的行未列出；只列出前 " +
                                 std::to_string(kListedImportIssues) + " 个）"
                           : "(" + std::to_string(report.unlisted) +
                                 " more changed or refused line(s) not listed; the first " +
                                 std::to_string(kListedImportIssues) + " are)");
    lines.push_back(zh ? "汇总：标题行之后共 " + std::to_string(report.lines) + " 行"
                       : "summary: " + std::to_string(report.lines) + " line(s) after the header");
    lines.push_back((zh ? "  已导入    " : "  imported  ") + std::to_string(report.channels));
    if (report.changedRows > 0)
        lines.push_back((zh ? "  有改动    " : "  changed   ") + std::to_string(report.changedRows) + groups(false));
    if (report.emptied > 0)
        lines.push_back((zh ? "  空        " : "  empty     ") + std::to_string(report.emptied) +
                        (zh ? "（该行没有信道）" : " (no channel on the line)"));
    if (report.receiveOnly > 0)
        lines.push_back((zh ? "  仅接收    " : "  rx only   ") + std::to_string(report.receiveOnly) +
                        (zh ? "（没有发射频率）" : " (no Tx frequency)"));
    lines.push_back((zh ? "  已拒绝    " : "  refused   ") + std::to_string(report.rejected) + groups(true));
    for (const std::string& note : report.notes)
        lines.push_back("  " + note);
    return lines;
}
