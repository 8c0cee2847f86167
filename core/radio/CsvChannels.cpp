#include "core/radio/CsvChannels.h"

#include <map>

#include "core/editor/CellCommit.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/CsvLayout.h"

namespace {

// What a name cell shows once stored: the editor's upper case and six
// characters, cut at the first character the radio cannot store.
std::string StoredName(const std::string& typed)
{
    const std::string edited = NameEditorText(typed);
    std::string out;
    for (char c : edited) {
        if (EncodeNameChar(static_cast<unsigned char>(c)) == 0xFF)
            break;
        out += c;
    }
    return out;
}

std::string CommitReason(int col, const std::string& value, int messageId)
{
    const char* what = col == kColRxFreq ? "Rx Frequency" : "Tx Frequency";
    if (messageId == kMsgFrequencyFormat)
        return FrequencyFormatReason(what, value);
    if (messageId == kMsgOutOfRange)
        return std::string(what) + " \"" + value + "\" is out of range; the bands are " + BandRangesText(false);
    if (messageId == kMsgStepError)
        return std::string(what) + " \"" + value + "\" is not on the 2.5 kHz or 6.25 kHz step";
    return std::string(what) + " \"" + value + "\" was refused";
}

// Empties the row, then commits the channel cell by cell as the editors
// would. On refusal the row is left empty and the reason returned.
bool CommitChannel(ITextGrid& grid, int row, const CsvChannel& ch, bool chinese, std::string& why)
{
    for (int c = kColRxFreq; c <= kColName; ++c)
        grid.SetTextMatrix(row, c, "");
    auto refuse = [&](int col, const std::string& value, int id) {
        for (int c = kColRxFreq; c <= kColName; ++c)
            grid.SetTextMatrix(row, c, "");
        why = CommitReason(col, value, id);
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
    CommitCell(grid, row, kColName, StoredName(ch.name), CommitTrigger::LeaveCell, chinese);
    return true;
}

void ClearChannels(ITextGrid& grid)
{
    for (int row = 1; row < kGridRows; ++row)
        for (int c = kColRxFreq; c <= kColName; ++c)
            grid.SetTextMatrix(row, c, "");
}

std::string RowName(int row)
{
    return row == 1 ? std::string("Pr") : "channel " + std::to_string(row - 1);
}

}  // namespace

std::string FrequencyFormatReason(const std::string& what, const std::string& value)
{
    return what + " \"" + value + "\" is not a frequency: give megahertz with up to five decimals, " +
           "e.g. 145.125 or 145,125, within " + BandRangesText(false);
}

ImportReport ImportCsv(const std::string& text, CsvFormat format, ITextGrid& grid, bool chinese)
{
    ImportReport report;
    const CsvDocument doc = ParseCsv(text);
    if (!doc.ok) {
        report.error = "line " + std::to_string(doc.errorLine) + ": " + doc.error;
        return report;
    }
    if (doc.records.empty()) {
        report.error = "the file holds no lines";
        return report;
    }

    const CsvRecord& head = doc.records.front();
    const std::unique_ptr<CsvLayoutReader> layout =
        format == CsvFormat::Grid ? MakeGridLayoutReader() : MakeChirpLayoutReader();
    if (std::string why; !layout->ReadHeader(head.fields, why)) {
        report.error = "line " + std::to_string(head.line) + ": " + why;
        return report;
    }
    const std::size_t expectedFields = layout->FieldCount();

    ClearChannels(grid);
    std::map<int, int> seen;  // grid row -> line that set it
    for (std::size_t k = 1; k < doc.records.size(); ++k) {
        const CsvRecord& rec = doc.records[k];
        auto reject = [&](int row, const std::string& why) {
            report.issues.push_back({rec.line, row, true, why});
            ++report.rejected;
        };
        if (rec.fields.size() != expectedFields) {
            reject(0, "expected " + std::to_string(expectedFields) + " fields, found " +
                          std::to_string(rec.fields.size()));
            continue;
        }
        std::string why;
        const int row = layout->RowOf(rec.fields, why);
        if (!row) {
            reject(0, why);
            continue;
        }
        if (auto it = seen.find(row); it != seen.end()) {
            reject(row, RowName(row) + " was already given on line " + std::to_string(it->second));
            continue;
        }
        seen.emplace(row, rec.line);

        CsvChannel ch;
        std::vector<std::string> notes;
        const CsvLayoutReader::Line line = layout->ReadChannel(rec.fields, ch, notes, why);
        if (line == CsvLayoutReader::Line::Empty) {
            for (const std::string& note : notes)
                report.issues.push_back({rec.line, row, false, note});
            continue;
        }
        ch.name = TextFromSafeField(ch.name);  // as the export protected it from spreadsheets
        if (line == CsvLayoutReader::Line::Refused || !CommitChannel(grid, row, ch, chinese, why)) {
            reject(row, why);
            continue;
        }
        ++report.channels;
        const std::string stored = grid.TextMatrix(row, kColName);
        if (stored != ch.name)
            notes.push_back("name \"" + ch.name + "\" is stored as \"" + stored +
                            "\" (upper case, six characters of 0-9 A-Z - _)");
        for (const std::string& note : notes)
            report.issues.push_back({rec.line, row, false, note});
    }
    report.ok = true;
    return report;
}
