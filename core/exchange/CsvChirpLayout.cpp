#include "core/exchange/CsvChirpLayout.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>

#include "core/editor/CellCommit.h"
#include "core/files/Csv.h"
#include "core/exchange/CsvLayout.h"
#include "core/radio/Decimal.h"

namespace {

// Megahertz with six decimals from 10 Hz units, exactly.
std::string MHz6(long long units)
{
    char text[48];
    const long long a = units < 0 ? -units : units;
    std::snprintf(text, sizeof text, "%s%lld.%05lld0", units < 0 ? "-" : "", a / 100000, a % 100000);
    return text;
}

const char* const kChirpHeader[] = {"Location",  "Name",      "Frequency", "Duplex",       "Offset",     "Tone",
                                    "rToneFreq", "cToneFreq", "DtcsCode",  "DtcsPolarity", "RxDtcsCode", "CrossMode",
                                    "Mode",      "TStep",     "Skip",      "Power",        "Comment",    "URCALL",
                                    "RPT1CALL",  "RPT2CALL",  "DVCODE"};

// A field's value quoted in a reason: "145.5" in English, “145.5” in Chinese.
std::string Quoted(const std::string& value, bool zh) { return zh ? "“" + value + "”" : "\"" + value + "\""; }

char ChirpPolarity(char gridPolarity) { return gridPolarity == 'N' ? 'N' : 'R'; }

// Largest step of the radio's usual set that all the given frequencies sit on.
std::string StepText(std::initializer_list<long long> units)
{
    static const std::pair<long long, const char*> steps[] = {{2500, "25.00"}, {1250, "12.50"}, {1000, "10.00"},
                                                              {625, "6.25"},   {500, "5.00"},   {250, "2.50"}};
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

std::vector<std::string> ChirpRow(const ITextGrid& grid, int row, ChirpPower powerAs)
{
    std::vector<std::string> f(std::size(kChirpHeader));
    auto cell = [&](int col) { return grid.TextMatrix(row, col); };
    const long long rx = ParseEnteredFrequency(cell(kColRxFreq)).units;
    const std::string txText = cell(kColTxFreq);
    f[0] = std::to_string(row - 1);
    f[1] = FormulaSafeText(cell(kColName));
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
    if (powerAs == ChirpPower::Watts)
        f[15] = power == ChannelFlag::High ? "5.0W" : power == ChannelFlag::Middle ? "2.0W" : "1.0W";
    else
        f[15] = power == ChannelFlag::High ? "High" : power == ChannelFlag::Middle ? "Middle" : "Low";
    // The channel lock has no column of its own in this layout.
    f[16] = FlagOfTypedWord(kColLock, cell(kColLock)) == ChannelFlag::Unlock ? "Unlock" : "";
    return f;
}

struct ChirpColumnsFound {
    std::map<std::string, std::size_t> index;  // lower-case name -> position
    bool Has(const char* name) const { return index.count(LowerAscii(name)) != 0; }
    std::string Get(const std::vector<std::string>& f, const char* name) const
    {
        auto it = index.find(LowerAscii(name));
        return it == index.end() || it->second >= f.size() ? std::string() : TrimBlanks(f[it->second]);
    }
};

// One side of a channel's tone: "Tone" (a CTCSS value), "DTCS" (a code, 'R'
// polarity inverted) or "" (none).
bool ParseChirpTone(const std::string& kind, const std::string& text, char polarity, ChannelTone& tone,
                    std::string& why, ImportReason& reason, bool zh)
{
    tone = ChannelTone{};
    if (kind == "Tone") {
        if (!CtcssFromText(text, tone.ctcss)) {
            why = zh ? "CTCSS 亚音 " + Quoted(text, zh) + " 不是本电台能存储的（50 个亚音 67.0 至 254.1）"
                     : "CTCSS tone " + Quoted(text, zh) + " is not one this radio holds (the 50 tones 67.0 to 254.1)";
            reason = ImportReason::ToneUnsupported;
            return false;
        }
        tone.kind = ChannelTone::Ctcss;
    } else if (kind == "DTCS") {
        if (!DcsFromText(text, tone.dcs)) {
            why = zh ? "DCS 数码 " + Quoted(text, zh) + " 不是本电台能存储的（105 个数码 023 至 754）"
                     : "DCS code " + Quoted(text, zh) + " is not one this radio holds (the 105 codes 023 to 754)";
            reason = ImportReason::ToneUnsupported;
            return false;
        }
        tone.kind = ChannelTone::Dcs;
        tone.polarity = polarity == 'R' ? 'I' : 'N';
    }
    return true;
}

// Power words, or watts: "5.0W", "4W", "0.5W", "50W", "5 W" (in milliwatts).
bool ParseWatts(const std::string& text, long long& milliwatts)
{
    std::size_t i = 0;
    long long whole = 0, frac = 0, scale = 1000;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && whole < 1000000; ++i, digits = true)
        whole = whole * 10 + (text[i] - '0');
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, digits = true)
            if (scale > 1)
                frac += (text[i] - '0') * (scale /= 10);
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (!digits || i + 1 != text.size() || (text[i] != 'W' && text[i] != 'w'))
        return false;
    milliwatts = whole * 1000 + frac;
    return true;
}

ChannelFlag PowerWord(const std::string& text)
{
    const std::string w = LowerAscii(text);
    if (w.empty() || w == "high")
        return ChannelFlag::High;
    if (w == "med" || w == "mid" || w == "middle" || w == "medium")
        return ChannelFlag::Middle;
    if (w == "low")
        return ChannelFlag::Low;
    return ChannelFlag::None;
}

// How watts map to the three levels, decided once for the whole file.
struct WattLevels {
    std::map<long long, ChannelFlag> level;  // milliwatts -> High, Middle or Low
};

// The tone modes of the layout as the sides they set: the kind and the column
// of the transmit and the receive tone.
struct ToneSides {
    std::string txKind, rxKind;
    const char* txColumn = "";
    const char* rxColumn = "";
};

bool ChannelFromChirpRow(const std::vector<std::string>& f, const ChirpColumnsFound& cols, const WattLevels& watts,
                         CsvChannel& ch, std::vector<std::string>& notes, std::string& why, ImportReason& kind, bool zh)
{
    // "Mode "AM" is not FM or NFM": the column, its value, and what is accepted.
    auto notOneOf = [zh](const std::string& column, const std::string& value, const char* accepted) {
        return column + " " + Quoted(value, zh) + (zh ? " 不是 " : " is not ") + accepted + (zh ? " 之一" : "");
    };
    const std::string freq = cols.Get(f, "Frequency");
    const EnteredFrequency rx = ParseEnteredFrequency(freq);
    if (!rx.number) {
        why = FrequencyFormatReason("Frequency", freq, zh);
        return false;
    }
    if (!rx.valid || rx.units <= 0) {
        why = zh ? "Frequency " + Quoted(freq, zh) + (rx.valid ? " 不大于 0 MHz" : " 超出范围") + "；频段为 " +
                       BandRangesText(true)
                 : "Frequency " + Quoted(freq, zh) + " is " + (rx.valid ? "not above 0 MHz" : "out of range") +
                       "; the bands are " + BandRangesText(false);
        kind = ImportReason::OutsideBands;
        return false;
    }
    ch.rx = rx.text;

    const std::string duplex = LowerAscii(cols.Get(f, "Duplex"));
    const std::string offsetText = cols.Get(f, "Offset");
    long long offset = 0;
    if (duplex == "+" || duplex == "-" || duplex == "split") {
        const EnteredFrequency off = ParseEnteredFrequency(offsetText);
        if (!off.number) {
            why = FrequencyFormatReason("Offset", offsetText, zh);
            return false;
        }
        if (!off.valid || off.units < 0) {
            why = "Offset " + Quoted(offsetText, zh) + (zh ? " 为负或过大" : " is negative or too large");
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
        why = notOneOf("Duplex", cols.Get(f, "Duplex"), zh ? "空、+、-、split 或 off" : "empty, +, -, split or off");
        return false;
    }
    if (duplex == "off")
        ch.tx.clear();
    else if (tx <= 0) {
        why = zh ? "发射频率（Frequency 与 Offset）不大于 0 MHz"
                 : "Tx Frequency (Frequency and Offset) is not above 0 MHz";
        return false;
    } else
        ch.tx = UnitsToFrequencyText(static_cast<long>(tx));

    const std::string toneMode = cols.Get(f, "Tone");
    std::string pol = cols.Get(f, "DtcsPolarity");
    if (pol.empty())
        pol = "NN";
    if (pol.size() != 2 || (pol[0] != 'N' && pol[0] != 'R') || (pol[1] != 'N' && pol[1] != 'R')) {
        why = notOneOf("DtcsPolarity", pol, zh ? "NN、NR、RN 或 RR" : "NN, NR, RN or RR");
        return false;
    }
    // Without a RxDtcsCode column (older files) the one code serves both sides.
    const char* rxCode = cols.Has("RxDtcsCode") ? "RxDtcsCode" : "DtcsCode";
    ToneSides sides;
    if (toneMode.empty()) {
    } else if (toneMode == "Tone") {
        sides = {"Tone", "", "rToneFreq", ""};
    } else if (toneMode == "TSQL") {
        sides = {"Tone", "Tone", "cToneFreq", "cToneFreq"};
    } else if (toneMode == "TSQL-R") {
        sides = {"", "Tone", "", "cToneFreq"};
    } else if (toneMode == "DTCS") {
        sides = {"DTCS", "DTCS", "DtcsCode", "DtcsCode"};
    } else if (toneMode == "DTCS-R") {
        sides = {"", "DTCS", "", "DtcsCode"};
    } else if (toneMode == "Cross") {
        static const char* const kCrossModes[] = {"Tone->Tone", "Tone->DTCS", "DTCS->Tone", "DTCS->DTCS",
                                                  "->Tone",     "->DTCS",     "Tone->",     "DTCS->"};
        std::string cross = cols.Get(f, "CrossMode");
        if (cross.empty())
            cross = "Tone->Tone";
        if (std::find(std::begin(kCrossModes), std::end(kCrossModes), cross) == std::end(kCrossModes)) {
            why = notOneOf("CrossMode", cross,
                           zh ? "Tone->Tone、Tone->DTCS、DTCS->Tone、DTCS->DTCS、->Tone、->DTCS、Tone-> 或 DTCS->"
                              : "Tone->Tone, Tone->DTCS, DTCS->Tone, DTCS->DTCS, ->Tone, ->DTCS, Tone-> or DTCS->");
            return false;
        }
        const std::size_t arrow = cross.find("->");
        sides.txKind = cross.substr(0, arrow);
        sides.rxKind = cross.substr(arrow + 2);
        sides.txColumn = sides.txKind == "Tone" ? "rToneFreq" : "DtcsCode";
        sides.rxColumn = sides.rxKind == "Tone" ? "cToneFreq" : rxCode;
    } else {
        why = notOneOf(
            "Tone", toneMode,
            zh ? "空、Tone、TSQL、TSQL-R、DTCS、DTCS-R 或 Cross" : "empty, Tone, TSQL, TSQL-R, DTCS, DTCS-R or Cross");
        return false;
    }
    if (!ParseChirpTone(sides.txKind, cols.Get(f, sides.txColumn), pol[0], ch.txTone, why, kind, zh) ||
        !ParseChirpTone(sides.rxKind, cols.Get(f, sides.rxColumn), pol[1], ch.rxTone, why, kind, zh))
        return false;

    const std::string mode = cols.Get(f, "Mode");
    if (mode == "FM" || mode.empty())
        ch.bandwidth = ChannelFlag::Wide;
    else if (mode == "NFM")
        ch.bandwidth = ChannelFlag::Narrow;
    else {
        why = "Mode " + Quoted(mode, zh) +
              (zh ? " 是本电台不支持的模式（FM 或 NFM）" : " is one this radio cannot do (FM or NFM)");
        kind = ImportReason::ModeUnsupported;
        return false;
    }
    const std::string skip = cols.Get(f, "Skip");
    if (skip.empty())
        ch.scan = ChannelFlag::Yes;
    else if (skip == "S")
        ch.scan = ChannelFlag::No;
    else if (skip == "P") {
        ch.scan = ChannelFlag::Yes;
        notes.push_back(zh ? "Skip “P”（优先）按扫描添加 Yes 保存" : "Skip \"P\" (priority) is kept as scan add Yes");
    } else {
        why = notOneOf("Skip", skip, zh ? "空、S 或 P" : "empty, S or P");
        return false;
    }
    const std::string power = cols.Get(f, "Power");
    ch.power = PowerWord(power);
    if (long long mw = 0; ch.power == ChannelFlag::None && ParseWatts(power, mw) && watts.level.count(mw)) {
        ch.power = watts.level.at(mw);
        ch.powerMapped = true;
    }
    if (ch.power == ChannelFlag::None) {
        why = notOneOf("Power", power,
                       zh ? "High、Med、Mid、Middle、Low、空或 5.0W 这样的瓦数"
                          : "High, Med, Mid, Middle, Low, empty or watts such as 5.0W");
        return false;
    }
    ch.lock = LowerAscii(cols.Get(f, "Comment")).find("unlock") != std::string::npos ? ChannelFlag::Unlock
                                                                                     : ChannelFlag::Lock;
    ch.name = cols.Get(f, "Name");
    return true;
}

class ChirpLayoutReader : public CsvLayoutReader {
public:
    explicit ChirpLayoutReader(bool chinese) : m_bChinese(chinese) {}

    bool ReadHeader(const std::vector<std::string>& fields, std::string& why) override
    {
        for (std::size_t i = 0; i < fields.size(); ++i)
            m_cols.index.emplace(LowerAscii(TrimBlanks(fields[i])), i);
        m_fieldCount = fields.size();
        for (const char* required : {"Location", "Frequency"})
            if (!m_cols.Has(required)) {
                why = m_bChinese ? std::string("标题行没有 ") + required +
                                       " 列；信道表格式需要 Location 和 Frequency（顺序不限），其他认识的列有则采用"
                                 : std::string("the header has no ") + required +
                                       " column; the channel-list layout needs Location and Frequency, in any order, "
                                       "and takes the other columns it knows when they are there";
                return false;
            }
        return true;
    }

    std::size_t FieldCount() const override { return m_fieldCount; }

    // Watts map by rank within the file: the highest value is High, the lowest
    // Low, any other Middle, and a single value High. A file holding only the
    // watts this program exports (5.0W, 2.0W, 1.0W) gets those levels back.
    void SurveyLine(const std::vector<std::string>& fields) override
    {
        if (fields.size() != m_fieldCount)
            return;
        const std::string power = m_cols.Get(fields, "Power");
        if (long long mw = 0; PowerWord(power) == ChannelFlag::None && ParseWatts(power, mw))
            m_seenWatts.emplace(mw, power);
    }

    void EndSurvey(std::vector<std::string>& notes) override
    {
        const std::map<long long, std::string>& seen = m_seenWatts;
        if (seen.empty())
            return;
        const bool ownWatts = std::all_of(seen.begin(), seen.end(), [](const auto& s) {
            return s.first == 5000 || s.first == 2000 || s.first == 1000;
        });
        std::string note = m_bChinese ? "功率：" : "power:";
        for (auto it = seen.rbegin(); it != seen.rend(); ++it) {
            ChannelFlag level = ChannelFlag::Middle;
            if (ownWatts)
                level = it->first == 5000   ? ChannelFlag::High
                        : it->first == 2000 ? ChannelFlag::Middle
                                            : ChannelFlag::Low;
            else if (it == seen.rbegin())
                level = ChannelFlag::High;
            else if (it->first == seen.begin()->first)
                level = ChannelFlag::Low;
            m_watts.level[it->first] = level;
            note += std::string(it == seen.rbegin() ? (m_bChinese ? "" : " ") : (m_bChinese ? "，" : ", ")) +
                    it->second + " -> " + FlagWord(level, m_bChinese);
        }
        notes.push_back(note);
    }

    int RowOf(const std::vector<std::string>& f, std::string& why, ImportReason& kind) const override
    {
        long loc = 0;
        const std::string l = m_cols.Get(f, "Location");
        if (!ParseWholeNumber(l, loc) || loc < 0 || loc > kGridRows - 2) {
            why = m_bChinese ? "Location " + Quoted(l, true) + " 不在 0 至 199 之间（重新编号可把各行放在连续的信道上）"
                             : "Location " + Quoted(l, false) +
                                   " is not 0 to 199 (renumbering places rows on consecutive channels)";
            kind = ImportReason::LocationOutside;
            return 0;
        }
        return static_cast<int>(loc) + 1;
    }

    Line ReadChannel(const std::vector<std::string>& f, CsvChannel& ch, std::vector<std::string>& notes,
                     std::string& why, ImportReason& kind) const override
    {
        return ChannelFromChirpRow(f, m_cols, m_watts, ch, notes, why, kind, m_bChinese) ? Line::Channel
                                                                                         : Line::Refused;
    }

private:
    bool m_bChinese;
    ChirpColumnsFound m_cols;
    WattLevels m_watts;
    std::map<long long, std::string> m_seenWatts;  // milliwatts -> first spelling
    std::size_t m_fieldCount = 0;
};

}  // namespace

std::unique_ptr<CsvLayoutReader> MakeChirpLayoutReader(bool chinese)
{
    return std::make_unique<ChirpLayoutReader>(chinese);
}

const std::vector<std::string>& ChirpColumns()
{
    static const std::vector<std::string> cols(std::begin(kChirpHeader), std::end(kChirpHeader));
    return cols;
}

std::string GridToChirpCsv(const ITextGrid& grid, ChirpPower power)
{
    std::string out = CsvLine(ChirpColumns());
    for (int row = 1; row < kGridRows; ++row)
        if (!grid.TextMatrix(row, kColRxFreq).empty())
            out += CsvLine(ChirpRow(grid, row, power));
    return out;
}
