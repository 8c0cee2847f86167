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

std::string Trim(const std::string& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

std::string Lower(std::string s)
{
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x80)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

// Whole text is one integer (after trimming); false otherwise.
bool ParseInt(const std::string& text, long& value)
{
    const std::string t = Trim(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    value = std::strtol(t.c_str(), &end, 10);
    return end && *end == '\0';
}

// Whole text is one decimal number (after trimming).
bool IsNumber(const std::string& text)
{
    const std::string t = Trim(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    std::strtod(t.c_str(), &end);
    return end && *end == '\0';
}

// Megahertz with six decimals from 10 Hz units, exactly.
std::string MHz6(long long units)
{
    char text[48];
    const long long a = units < 0 ? -units : units;
    std::snprintf(text, sizeof text, "%s%lld.%05lld0", units < 0 ? "-" : "", a / 100000, a % 100000);
    return text;
}

// One word of a flag column, in whichever language it was written.
enum class Flag { None, High, Middle, Low, Lock, Unlock, Yes, No, Wide, Narrow };

Flag ReadFlagWord(int col, const std::string& text)
{
    const std::string t = Trim(text);
    for (bool zh : {false, true}) {
        const FlagWords& w = Words(zh);
        auto is = [&](const char* word) { return zh ? t == word : EqualsNoCase(t, word); };
        switch (col) {
        case kColPower:
            if (is(w.high)) return Flag::High;
            if (is(w.middle)) return Flag::Middle;
            if (is(w.low)) return Flag::Low;
            break;
        case kColLock:
            if (is(w.lock)) return Flag::Lock;
            if (is(w.unlock)) return Flag::Unlock;
            break;
        case kColScanAdd:
            if (is(w.yes)) return Flag::Yes;
            if (is(w.no)) return Flag::No;
            break;
        case kColBandwidth:
            if (is(w.wide)) return Flag::Wide;
            if (is(w.narrow)) return Flag::Narrow;
            break;
        default:
            break;
        }
    }
    return Flag::None;
}

std::string FlagText(Flag f, bool chinese)
{
    const FlagWords& w = Words(chinese);
    switch (f) {
    case Flag::High: return w.high;
    case Flag::Middle: return w.middle;
    case Flag::Low: return w.low;
    case Flag::Lock: return w.lock;
    case Flag::Unlock: return w.unlock;
    case Flag::Yes: return w.yes;
    case Flag::No: return w.no;
    case Flag::Wide: return w.wide;
    case Flag::Narrow: return w.narrow;
    case Flag::None: break;
    }
    return {};
}

// A tone as the grid writes it, picked apart.
struct Tone {
    enum Kind { None, Ctcss, Dcs } kind = None;
    std::string ctcss;  // "67.0"
    std::string dcs;    // "023"
    char polarity = 'N';  // 'N' normal, 'I' inverted
};

// Reads a grid tone the way the encoder stores it: "D" texts are DCS (inverted
// unless they carry "N"), other texts CTCSS by value, 0 meaning none.
Tone ToneFromGrid(const std::string& text)
{
    Tone t;
    if (text.find('D') != std::string::npos) {
        t.kind = Tone::Dcs;
        char code[16];
        std::snprintf(code, sizeof code, "%03d", std::atoi(text.c_str() + 1) % 1000);
        t.dcs = code;
        t.polarity = text.find('N', 1) != std::string::npos ? 'N' : 'I';
        return t;
    }
    const double v = std::atof(text.c_str());
    if (!(v > 0.0))
        return t;
    char hz[32];
    std::snprintf(hz, sizeof hz, "%3.1f", MulDecimal(std::trunc(MulDecimal(v, 10.0)), 0.1));
    t.kind = Tone::Ctcss;
    t.ctcss = hz;
    return t;
}

bool IsListedCtcss(const std::string& hz)
{
    const auto& l = CtcssTones();
    return std::find(l.begin(), l.end(), hz) != l.end();
}
bool IsListedDcs(const std::string& code)
{
    const auto& l = DcsCodes();
    return std::find(l.begin(), l.end(), code) != l.end();
}

// A CTCSS value typed as a number ("88.5", "88.50", "100") to its list text.
bool CtcssFromText(const std::string& text, std::string& hz)
{
    if (!IsNumber(text))
        return false;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%3.1f", std::atof(Trim(text).c_str()));
    hz = buf;
    return IsListedCtcss(hz);
}

bool DcsFromText(const std::string& text, std::string& code)
{
    long v = 0;
    if (!ParseInt(text, v) || v < 0 || v > 999)
        return false;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03ld", v);
    code = buf;
    return IsListedDcs(code);
}

std::string ToneText(const Tone& t, bool chinese)
{
    switch (t.kind) {
    case Tone::None: return ToneNames(chinese)[0];
    case Tone::Ctcss: return t.ctcss;
    case Tone::Dcs: return "D" + t.dcs + t.polarity;
    }
    return {};
}

// A tone cell of the grid layout: "None"/"无"/"", a listed CTCSS tone or a
// listed DCS code with suffix N or I (letters in either case).
bool ToneFromCell(const std::string& cell, Tone& tone, std::string& why)
{
    const std::string t = Trim(cell);
    tone = Tone{};
    if (t.empty() || EqualsNoCase(t, Words(false).none) || t == Words(true).none)
        return true;
    if (t[0] == 'D' || t[0] == 'd') {
        const char suffix = static_cast<char>(std::toupper(static_cast<unsigned char>(t.back())));
        if (t.size() >= 3 && (suffix == 'N' || suffix == 'I') && DcsFromText(t.substr(1, t.size() - 2), tone.dcs)) {
            tone.kind = Tone::Dcs;
            tone.polarity = suffix;
            return true;
        }
        why = "tone \"" + t + "\" is not a DCS code of the tone list (D023N .. D754I)";
        return false;
    }
    if (CtcssFromText(t, tone.ctcss)) {
        tone.kind = Tone::Ctcss;
        return true;
    }
    why = "tone \"" + t + "\" is not in the tone list";
    return false;
}

// The texts of one channel, ready for the cell commits; empty flag texts keep
// what the default row gives.
struct ChannelTexts {
    std::string rx, tx;
    Tone rxTone, txTone;
    Flag power = Flag::None, lock = Flag::None, scan = Flag::None, bandwidth = Flag::None;
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
    CommitCell(grid, row, kColRxTone, ToneText(ch.rxTone, chinese), CommitTrigger::LeaveCell, chinese);
    CommitCell(grid, row, kColTxTone, ToneText(ch.txTone, chinese), CommitTrigger::LeaveCell, chinese);
    const std::pair<int, Flag> flags[] = {
        {kColPower, ch.power}, {kColLock, ch.lock}, {kColScanAdd, ch.scan}, {kColBandwidth, ch.bandwidth}};
    for (const auto& [col, flag] : flags)
        if (flag != Flag::None)
            CommitCell(grid, row, col, FlagText(flag, chinese), CommitTrigger::LeaveCell, chinese);
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
    const std::string t = Trim(label);
    if (EqualsNoCase(t, "Pr"))
        return 1;
    long v = 0;
    if (ParseInt(t, v) && v >= 1 && v <= kGridRows - 2)
        return static_cast<int>(v) + 1;
    return 0;
}

bool ChannelFromGridRow(const std::vector<std::string>& f, ChannelTexts& ch, std::string& why)
{
    ch.rx = Trim(f[kColRxFreq]);
    ch.tx = Trim(f[kColTxFreq]);
    if (!ToneFromCell(f[kColRxTone], ch.rxTone, why) || !ToneFromCell(f[kColTxTone], ch.txTone, why))
        return false;
    const int flagCols[] = {kColPower, kColLock, kColScanAdd, kColBandwidth};
    Flag* targets[] = {&ch.power, &ch.lock, &ch.scan, &ch.bandwidth};
    for (int k = 0; k < 4; ++k) {
        const std::string cell = Trim(f[flagCols[k]]);
        if (cell.empty())
            continue;
        *targets[k] = ReadFlagWord(flagCols[k], cell);
        if (*targets[k] == Flag::None) {
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
    return Trim(f[kColRxFreq]) == GridHeading(kColRxFreq, false) ||
           Trim(f[kColRxFreq]) == GridHeading(kColRxFreq, true);
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
    const Tone rt = ToneFromGrid(cell(kColRxTone));
    const Tone tt = ToneFromGrid(cell(kColTxTone));
    std::string mode;
    if (tt.kind == Tone::None && rt.kind == Tone::None) {
        mode = "";
    } else if (tt.kind == Tone::Ctcss && rt.kind == Tone::None) {
        mode = "Tone";
        rTone = tt.ctcss;
    } else if (tt.kind == Tone::Ctcss && rt.kind == Tone::Ctcss && tt.ctcss == rt.ctcss) {
        mode = "TSQL";
        rTone = cTone = tt.ctcss;
    } else if (tt.kind == Tone::Dcs && rt.kind == Tone::Dcs && tt.dcs == rt.dcs) {
        mode = "DTCS";
        dtcs = rxDtcs = tt.dcs;
        txPol = ChirpPolarity(tt.polarity);
        rxPol = ChirpPolarity(rt.polarity);
    } else {
        mode = "Cross";
        std::string txPart, rxPart;
        if (tt.kind == Tone::Ctcss) {
            txPart = "Tone";
            rTone = tt.ctcss;
        } else if (tt.kind == Tone::Dcs) {
            txPart = "DTCS";
            dtcs = tt.dcs;
            txPol = ChirpPolarity(tt.polarity);
        }
        if (rt.kind == Tone::Ctcss) {
            rxPart = "Tone";
            cTone = rt.ctcss;
        } else if (rt.kind == Tone::Dcs) {
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
    f[12] = ReadFlagWord(kColBandwidth, cell(kColBandwidth)) == Flag::Narrow ? "NFM" : "FM";
    f[13] = txText.empty() ? StepText({rx}) : StepText({rx, tx});
    f[14] = ReadFlagWord(kColScanAdd, cell(kColScanAdd)) == Flag::No ? "S" : "";
    // An empty power cell is stored as Low by the encoder, so say so.
    const Flag power = ReadFlagWord(kColPower, cell(kColPower));
    f[15] = power == Flag::High ? "High" : power == Flag::Middle ? "Middle" : "Low";
    // The channel lock has no column of its own in this layout.
    f[16] = ReadFlagWord(kColLock, cell(kColLock)) == Flag::Unlock ? "Unlock" : "";
    return f;
}

struct ChirpColumnsFound {
    std::map<std::string, std::size_t> index;  // lower-case name -> position
    std::string Get(const std::vector<std::string>& f, const char* name) const
    {
        auto it = index.find(Lower(name));
        return it == index.end() || it->second >= f.size() ? std::string() : Trim(f[it->second]);
    }
};

bool ParseChirpTone(const std::string& kind, const std::string& text, char polarity, Tone& tone,
                    std::string& why)
{
    tone = Tone{};
    if (kind == "Tone") {
        if (!CtcssFromText(text, tone.ctcss)) {
            why = "CTCSS tone \"" + text + "\" is not in the tone list";
            return false;
        }
        tone.kind = Tone::Ctcss;
    } else if (kind == "DTCS") {
        if (!DcsFromText(text, tone.dcs)) {
            why = "DCS code \"" + text + "\" is not in the tone list";
            return false;
        }
        tone.kind = Tone::Dcs;
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

    const std::string duplex = Lower(cols.Get(f, "Duplex"));
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
        ch.bandwidth = Flag::Wide;
    else if (mode == "NFM")
        ch.bandwidth = Flag::Narrow;
    else {
        why = "Mode \"" + mode + "\" is not FM or NFM";
        return false;
    }
    const std::string skip = cols.Get(f, "Skip");
    if (skip.empty())
        ch.scan = Flag::Yes;
    else if (skip == "S")
        ch.scan = Flag::No;
    else if (skip == "P") {
        ch.scan = Flag::Yes;
        notes.push_back("Skip \"P\" (priority) is kept as scan add Yes");
    } else {
        why = "Skip \"" + skip + "\" is not empty, S or P";
        return false;
    }
    const std::string power = Lower(cols.Get(f, "Power"));
    if (power.empty() || power == "high")
        ch.power = Flag::High;
    else if (power == "middle" || power == "mid" || power == "medium")
        ch.power = Flag::Middle;
    else if (power == "low")
        ch.power = Flag::Low;
    else {
        why = "Power \"" + cols.Get(f, "Power") + "\" is not High, Middle or Low";
        return false;
    }
    ch.lock = Lower(cols.Get(f, "Comment")).find("unlock") != std::string::npos ? Flag::Unlock : Flag::Lock;
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
            chirpCols.index.emplace(Lower(Trim(head.fields[i])), i);
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
            if (!ParseInt(l, loc) || loc < 0 || loc > kGridRows - 2) {
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
            if (Trim(rec.fields[kColRxFreq]).empty()) {
                // An empty channel takes no settings, as in the grid.
                bool other = false;
                for (int c = kColTxFreq; c <= kColName; ++c)
                    other = other || !Trim(rec.fields[c]).empty();
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
