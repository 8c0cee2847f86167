#include "core/radio/CsvChannels.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "core/editor/CellCommit.h"
#include "core/radio/Bands.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/Decimal.h"

// ---- RFC 4180 ---------------------------------------------------------------

CsvDocument ParseCsv(const std::string& in)
{
    CsvDocument doc;
    const std::size_t n = in.size();
    std::size_t i = 0;
    if (n >= 3 && static_cast<unsigned char>(in[0]) == 0xEF && static_cast<unsigned char>(in[1]) == 0xBB &&
        static_cast<unsigned char>(in[2]) == 0xBF)
        i = 3;
    int line = 1;
    auto fail = [&](int at, const char* why) {
        doc.ok = false;
        doc.errorLine = at;
        doc.error = why;
        doc.records.clear();
        return doc;
    };
    auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };

    while (i < n) {
        CsvRecord rec;
        rec.line = line;
        for (;;) {
            std::string field;
            if (in[i] == '"') {
                const int openedAt = line;
                bool closed = false;
                ++i;
                while (i < n) {
                    const char c = in[i];
                    if (c == '"') {
                        if (i + 1 < n && in[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (c == '\n' || (c == '\r' && !(i + 1 < n && in[i + 1] == '\n')))
                        ++line;
                    field += c;
                    ++i;
                }
                if (!closed)
                    return fail(openedAt, "a quoted field is not closed");
                if (i < n && in[i] != ',' && !isLineEnd(in[i]))
                    return fail(line, "text follows the closing quote of a field");
            } else {
                while (i < n && in[i] != ',' && !isLineEnd(in[i])) {
                    if (in[i] == '"')
                        return fail(line, "a quote inside an unquoted field (quote the field and double the quote)");
                    field += in[i++];
                }
            }
            rec.fields.push_back(std::move(field));
            if (i >= n)
                break;
            if (in[i] == ',') {
                ++i;
                if (i >= n) {
                    rec.fields.emplace_back();  // a trailing comma ends with one more, empty field
                    break;
                }
                continue;
            }
            i += (in[i] == '\r' && i + 1 < n && in[i + 1] == '\n') ? 2 : 1;
            ++line;
            break;
        }
        if (!(rec.fields.size() == 1 && rec.fields[0].empty()))
            doc.records.push_back(std::move(rec));
    }
    doc.ok = true;
    return doc;
}

std::string CsvField(const std::string& text)
{
    const bool needsQuotes = text.find_first_of(",\"\r\n") != std::string::npos ||
                             (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!needsQuotes)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string CsvLine(const std::vector<std::string>& fields)
{
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i)
            out += ',';
        out += CsvField(fields[i]);
    }
    out += "\r\n";
    return out;
}

// ---- shared helpers -----------------------------------------------------------

namespace {

// Megahertz with six decimals from 10 Hz units, exactly.
std::string MHz6(long long units)
{
    char text[48];
    const long long a = units < 0 ? -units : units;
    std::snprintf(text, sizeof text, "%s%lld.%05lld0", units < 0 ? "-" : "", a / 100000, a % 100000);
    return text;
}

// The texts of one channel, ready for the cell commits; empty flag texts keep
// what the default row gives.
struct ChannelTexts {
    std::string rx, tx;
    ChannelTone rxTone, txTone;
    ChannelFlag power = ChannelFlag::None, lock = ChannelFlag::None, scan = ChannelFlag::None,
                bandwidth = ChannelFlag::None;
    std::string name;
};

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

// Why a frequency field is no frequency, with the form and the ranges accepted.
std::string FormatReason(const std::string& what, const std::string& value)
{
    return what + " \"" + value + "\" is not a frequency: give megahertz with up to five decimals, " +
           "e.g. 145.125 or 145,125, within " + BandRangesText(false);
}

std::string CommitReason(int col, const std::string& value, int messageId)
{
    const char* what = col == kColRxFreq ? "Rx Frequency" : "Tx Frequency";
    if (messageId == kMsgFrequencyFormat)
        return FormatReason(what, value);
    if (messageId == kMsgOutOfRange)
        return std::string(what) + " \"" + value + "\" is out of range; the bands are " + BandRangesText(false);
    if (messageId == kMsgStepError)
        return std::string(what) + " \"" + value + "\" is not on the 2.5 kHz or 6.25 kHz step";
    return std::string(what) + " \"" + value + "\" was refused";
}

// Empties the row, then commits the channel cell by cell as the editors
// would. On refusal the row is left empty and the reason returned.
bool CommitChannel(ITextGrid& grid, int row, const ChannelTexts& ch, bool chinese, std::string& why)
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

// ---- grid layout import -------------------------------------------------------

int RowFromLabel(const std::string& label)
{
    const std::string t = TrimBlanks(label);
    if (EqualsNoCase(t, "Pr"))
        return 1;
    long v = 0;
    if (ParseWholeNumber(t, v) && v >= 1 && v <= kGridRows - 2)
        return static_cast<int>(v) + 1;
    return 0;
}

bool ChannelFromGridRow(const std::vector<std::string>& f, ChannelTexts& ch, std::string& why)
{
    ch.rx = TrimBlanks(f[kColRxFreq]);
    ch.tx = TrimBlanks(f[kColTxFreq]);
    if (!ParseTypedTone(f[kColRxTone], ch.rxTone, why) || !ParseTypedTone(f[kColTxTone], ch.txTone, why))
        return false;
    const int flagCols[] = {kColPower, kColLock, kColScanAdd, kColBandwidth};
    ChannelFlag* targets[] = {&ch.power, &ch.lock, &ch.scan, &ch.bandwidth};
    for (int k = 0; k < 4; ++k) {
        const std::string cell = TrimBlanks(f[flagCols[k]]);
        if (cell.empty())
            continue;
        *targets[k] = FlagOfTypedWord(flagCols[k], cell);
        if (*targets[k] == ChannelFlag::None) {
            why = GridHeading(flagCols[k], false) + " \"" + cell + "\" is not one of " +
                  (flagCols[k] == kColPower ? "High, Middle, Low"
                   : flagCols[k] == kColLock ? "Lock, Unlock"
                   : flagCols[k] == kColScanAdd ? "Yes, No"
                                               : "Wide, Narrow");
            return false;
        }
    }
    ch.name = f[kColName];
    return true;
}

bool IsHeadingRow(const std::vector<std::string>& f)
{
    if (f.size() < 2)
        return false;
    return TrimBlanks(f[kColRxFreq]) == GridHeading(kColRxFreq, false) ||
           TrimBlanks(f[kColRxFreq]) == GridHeading(kColRxFreq, true);
}

// ---- channel-list layout --------------------------------------------------------

const char* const kChirpHeader[] = {"Location", "Name",     "Frequency", "Duplex",     "Offset",    "Tone",
                                    "rToneFreq", "cToneFreq", "DtcsCode",  "DtcsPolarity", "RxDtcsCode",
                                    "CrossMode", "Mode",     "TStep",     "Skip",       "Power",     "Comment",
                                    "URCALL",    "RPT1CALL", "RPT2CALL",  "DVCODE"};

char ChirpPolarity(char gridPolarity) { return gridPolarity == 'N' ? 'N' : 'R'; }

// Largest step of the radio's usual set that all the given frequencies sit on.
std::string StepText(std::initializer_list<long long> units)
{
    static const std::pair<long long, const char*> steps[] = {
        {2500, "25.00"}, {1250, "12.50"}, {1000, "10.00"}, {625, "6.25"}, {500, "5.00"}, {250, "2.50"}};
    for (const auto& [step, text] : steps) {
        bool all = true;
        for (long long u : units)
            all = all && u % step == 0;
        if (all)
            return text;
    }
    return "2.50";
}

// Which side of 300 MHz: a transmit frequency on the other side is a split, not an offset.
bool IsUhf(long long units) { return units >= 30000000; }

std::vector<std::string> ChirpRow(const ITextGrid& grid, int row)
{
    std::vector<std::string> f(std::size(kChirpHeader));
    auto cell = [&](int col) { return grid.TextMatrix(row, col); };
    const long long rx = ParseEnteredFrequency(cell(kColRxFreq)).units;
    const std::string txText = cell(kColTxFreq);
    f[0] = std::to_string(row - 1);
    f[1] = cell(kColName);
    f[2] = MHz6(rx);
    long long tx = rx;
    if (txText.empty()) {
        f[3] = "off";
        f[4] = MHz6(0);
    } else {
        tx = ParseEnteredFrequency(txText).units;
        if (tx == rx) {
            f[4] = MHz6(0);
        } else if (IsUhf(tx) != IsUhf(rx)) {
            f[3] = "split";
            f[4] = MHz6(tx);
        } else {
            f[3] = tx > rx ? "+" : "-";
            f[4] = MHz6(tx > rx ? tx - rx : rx - tx);
        }
    }
    // Unused tone fields carry the usual defaults so other programs read them.
    std::string rTone = "88.5", cTone = "88.5", dtcs = "023", rxDtcs = "023", cross = "Tone->Tone";
    char txPol = 'N', rxPol = 'N';
    const ChannelTone rt = ToneOfCell(cell(kColRxTone));
    const ChannelTone tt = ToneOfCell(cell(kColTxTone));
    std::string mode;
    if (tt.kind == ChannelTone::None && rt.kind == ChannelTone::None) {
        mode = "";
    } else if (tt.kind == ChannelTone::Ctcss && rt.kind == ChannelTone::None) {
        mode = "Tone";
        rTone = tt.ctcss;
    } else if (tt.kind == ChannelTone::Ctcss && rt.kind == ChannelTone::Ctcss && tt.ctcss == rt.ctcss) {
        mode = "TSQL";
        rTone = cTone = tt.ctcss;
    } else if (tt.kind == ChannelTone::Dcs && rt.kind == ChannelTone::Dcs && tt.dcs == rt.dcs) {
        mode = "DTCS";
        dtcs = rxDtcs = tt.dcs;
        txPol = ChirpPolarity(tt.polarity);
        rxPol = ChirpPolarity(rt.polarity);
    } else {
        mode = "Cross";
        std::string txPart, rxPart;
        if (tt.kind == ChannelTone::Ctcss) {
            txPart = "Tone";
            rTone = tt.ctcss;
        } else if (tt.kind == ChannelTone::Dcs) {
            txPart = "DTCS";
            dtcs = tt.dcs;
            txPol = ChirpPolarity(tt.polarity);
        }
        if (rt.kind == ChannelTone::Ctcss) {
            rxPart = "Tone";
            cTone = rt.ctcss;
        } else if (rt.kind == ChannelTone::Dcs) {
            rxPart = "DTCS";
            rxDtcs = rt.dcs;
            rxPol = ChirpPolarity(rt.polarity);
        }
        cross = txPart + "->" + rxPart;
    }
    f[5] = mode;
    f[6] = rTone;
    f[7] = cTone;
    f[8] = dtcs;
    f[9] = std::string{txPol, rxPol};
    f[10] = rxDtcs;
    f[11] = cross;
    f[12] = FlagOfTypedWord(kColBandwidth, cell(kColBandwidth)) == ChannelFlag::Narrow ? "NFM" : "FM";
    f[13] = txText.empty() ? StepText({rx}) : StepText({rx, tx});
    f[14] = FlagOfTypedWord(kColScanAdd, cell(kColScanAdd)) == ChannelFlag::No ? "S" : "";
    // An empty power cell is stored as Low by the encoder, so say so.
    const ChannelFlag power = FlagOfTypedWord(kColPower, cell(kColPower));
    f[15] = power == ChannelFlag::High ? "High" : power == ChannelFlag::Middle ? "Middle" : "Low";
    // The channel lock has no column of its own in this layout.
    f[16] = FlagOfTypedWord(kColLock, cell(kColLock)) == ChannelFlag::Unlock ? "Unlock" : "";
    return f;
}

struct ChirpColumnsFound {
    std::map<std::string, std::size_t> index;  // lower-case name -> position
    std::string Get(const std::vector<std::string>& f, const char* name) const
    {
        auto it = index.find(LowerAscii(name));
        return it == index.end() || it->second >= f.size() ? std::string() : TrimBlanks(f[it->second]);
    }
};

bool ParseChirpTone(const std::string& kind, const std::string& text, char polarity, ChannelTone& tone,
                    std::string& why)
{
    tone = ChannelTone{};
    if (kind == "Tone") {
        if (!CtcssFromText(text, tone.ctcss)) {
            why = "CTCSS tone \"" + text + "\" is not in the tone list";
            return false;
        }
        tone.kind = ChannelTone::Ctcss;
    } else if (kind == "DTCS") {
        if (!DcsFromText(text, tone.dcs)) {
            why = "DCS code \"" + text + "\" is not in the tone list";
            return false;
        }
        tone.kind = ChannelTone::Dcs;
        tone.polarity = polarity == 'R' ? 'I' : 'N';
    } else if (!kind.empty()) {
        why = "cross mode part \"" + kind + "\" is not Tone or DTCS";
        return false;
    }
    return true;
}

bool ChannelFromChirpRow(const std::vector<std::string>& f, const ChirpColumnsFound& cols, ChannelTexts& ch,
                         std::vector<std::string>& notes, std::string& why)
{
    const std::string freq = cols.Get(f, "Frequency");
    const EnteredFrequency rx = ParseEnteredFrequency(freq);
    if (!rx.number) {
        why = FormatReason("Frequency", freq);
        return false;
    }
    if (!rx.valid) {
        why = "Frequency \"" + freq + "\" is out of range; the bands are " + BandRangesText(false);
        return false;
    }
    ch.rx = rx.text;

    const std::string duplex = LowerAscii(cols.Get(f, "Duplex"));
    const std::string offsetText = cols.Get(f, "Offset");
    long long offset = 0;
    if (duplex == "+" || duplex == "-" || duplex == "split") {
        const EnteredFrequency off = ParseEnteredFrequency(offsetText);
        if (!off.number) {
            why = FormatReason("Offset", offsetText);
            return false;
        }
        if (!off.valid || off.units < 0) {
            why = "Offset \"" + offsetText + "\" is negative or too large";
            return false;
        }
        offset = off.units;
    }
    long long tx = rx.units;
    if (duplex == "+")
        tx = rx.units + offset;
    else if (duplex == "-")
        tx = rx.units - offset;
    else if (duplex == "split")
        tx = offset;
    else if (duplex != "" && duplex != "off") {
        why = "Duplex \"" + cols.Get(f, "Duplex") + "\" is not empty, +, -, split or off";
        return false;
    }
    if (duplex == "off")
        ch.tx.clear();
    else if (tx <= 0) {
        why = "Tx Frequency (Frequency and Offset) is not above 0 MHz";
        return false;
    } else
        ch.tx = UnitsToFrequencyText(static_cast<long>(tx));

    const std::string toneMode = cols.Get(f, "Tone");
    std::string pol = cols.Get(f, "DtcsPolarity");
    if (pol.empty())
        pol = "NN";
    if (pol.size() != 2 || (pol[0] != 'N' && pol[0] != 'R') || (pol[1] != 'N' && pol[1] != 'R')) {
        why = "DtcsPolarity \"" + pol + "\" is not NN, NR, RN or RR";
        return false;
    }
    std::string txKind, rxKind, txValue, rxValue;
    if (toneMode.empty()) {
    } else if (toneMode == "Tone") {
        txKind = "Tone";
        txValue = cols.Get(f, "rToneFreq");
    } else if (toneMode == "TSQL") {
        txKind = rxKind = "Tone";
        txValue = rxValue = cols.Get(f, "cToneFreq");
    } else if (toneMode == "DTCS") {
        txKind = rxKind = "DTCS";
        txValue = rxValue = cols.Get(f, "DtcsCode");
    } else if (toneMode == "Cross") {
        std::string cross = cols.Get(f, "CrossMode");
        if (cross.empty())
            cross = "Tone->Tone";
        const std::size_t arrow = cross.find("->");
        if (arrow == std::string::npos) {
            why = "CrossMode \"" + cross + "\" has no \"->\"";
            return false;
        }
        txKind = cross.substr(0, arrow);
        rxKind = cross.substr(arrow + 2);
        txValue = txKind == "Tone" ? cols.Get(f, "rToneFreq") : cols.Get(f, "DtcsCode");
        rxValue = rxKind == "Tone" ? cols.Get(f, "cToneFreq") : cols.Get(f, "RxDtcsCode");
    } else {
        why = "Tone \"" + toneMode + "\" is not empty, Tone, TSQL, DTCS or Cross";
        return false;
    }
    if (!ParseChirpTone(txKind, txValue, pol[0], ch.txTone, why) ||
        !ParseChirpTone(rxKind, rxValue, pol[1], ch.rxTone, why))
        return false;

    const std::string mode = cols.Get(f, "Mode");
    if (mode == "FM" || mode.empty())
        ch.bandwidth = ChannelFlag::Wide;
    else if (mode == "NFM")
        ch.bandwidth = ChannelFlag::Narrow;
    else {
        why = "Mode \"" + mode + "\" is not FM or NFM";
        return false;
    }
    const std::string skip = cols.Get(f, "Skip");
    if (skip.empty())
        ch.scan = ChannelFlag::Yes;
    else if (skip == "S")
        ch.scan = ChannelFlag::No;
    else if (skip == "P") {
        ch.scan = ChannelFlag::Yes;
        notes.push_back("Skip \"P\" (priority) is kept as scan add Yes");
    } else {
        why = "Skip \"" + skip + "\" is not empty, S or P";
        return false;
    }
    const std::string power = LowerAscii(cols.Get(f, "Power"));
    if (power.empty() || power == "high")
        ch.power = ChannelFlag::High;
    else if (power == "middle" || power == "mid" || power == "medium")
        ch.power = ChannelFlag::Middle;
    else if (power == "low")
        ch.power = ChannelFlag::Low;
    else {
        why = "Power \"" + cols.Get(f, "Power") + "\" is not High, Middle or Low";
        return false;
    }
    ch.lock = LowerAscii(cols.Get(f, "Comment")).find("unlock") != std::string::npos ? ChannelFlag::Unlock : ChannelFlag::Lock;
    ch.name = cols.Get(f, "Name");
    return true;
}

}  // namespace

// ---- public --------------------------------------------------------------------

std::string GridToCsv(const ITextGrid& grid)
{
    std::string out;
    std::vector<std::string> fields(kGridCols);
    for (int row = 0; row < kGridRows; ++row) {
        for (int col = 0; col < kGridCols; ++col)
            fields[col] = grid.TextMatrix(row, col);
        out += CsvLine(fields);
    }
    return out;
}

const std::vector<std::string>& ChirpColumns()
{
    static const std::vector<std::string> cols(std::begin(kChirpHeader), std::end(kChirpHeader));
    return cols;
}

std::string GridToChirpCsv(const ITextGrid& grid)
{
    std::string out = CsvLine(ChirpColumns());
    for (int row = 1; row < kGridRows; ++row)
        if (!grid.TextMatrix(row, kColRxFreq).empty())
            out += CsvLine(ChirpRow(grid, row));
    return out;
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
    ChirpColumnsFound chirpCols;
    std::size_t expectedFields = kGridCols;
    if (format == CsvFormat::Grid) {
        if (!IsHeadingRow(head.fields)) {
            report.error = "line " + std::to_string(head.line) +
                           ": the first line must be the grid headings (,Rx Frequency,Tx Frequency,...)";
            return report;
        }
    } else {
        for (std::size_t i = 0; i < head.fields.size(); ++i)
            chirpCols.index.emplace(LowerAscii(TrimBlanks(head.fields[i])), i);
        if (!chirpCols.index.count("location") || !chirpCols.index.count("frequency")) {
            report.error = "line " + std::to_string(head.line) +
                           ": the first line must be a header naming at least Location and Frequency";
            return report;
        }
        expectedFields = head.fields.size();
    }

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
        int row = 0;
        if (format == CsvFormat::Grid) {
            row = RowFromLabel(rec.fields[kColLabel]);
            if (!row) {
                reject(0, "row label \"" + rec.fields[kColLabel] + "\" is not Pr or 1 to 199");
                continue;
            }
        } else {
            long loc = 0;
            const std::string l = chirpCols.Get(rec.fields, "Location");
            if (!ParseWholeNumber(l, loc) || loc < 0 || loc > kGridRows - 2) {
                reject(0, "Location \"" + l + "\" is not 0 to 199");
                continue;
            }
            row = static_cast<int>(loc) + 1;
        }
        if (auto it = seen.find(row); it != seen.end()) {
            reject(row, RowName(row) + " was already given on line " + std::to_string(it->second));
            continue;
        }
        seen.emplace(row, rec.line);

        ChannelTexts ch;
        std::vector<std::string> notes;
        std::string why;
        bool ok;
        if (format == CsvFormat::Grid) {
            if (TrimBlanks(rec.fields[kColRxFreq]).empty()) {
                // An empty channel takes no settings, as in the grid.
                bool other = false;
                for (int c = kColTxFreq; c <= kColName; ++c)
                    other = other || !TrimBlanks(rec.fields[c]).empty();
                if (other)
                    report.issues.push_back(
                        {rec.line, row, false, "no Rx Frequency: the other cells of an empty channel are dropped"});
                continue;
            }
            ok = ChannelFromGridRow(rec.fields, ch, why);
        } else {
            ok = ChannelFromChirpRow(rec.fields, chirpCols, ch, notes, why);
        }
        if (!ok || !CommitChannel(grid, row, ch, chinese, why)) {
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
