#include "core/radio/CsvChirpLayout.h"

#include <cstdio>
#include <iterator>
#include <map>

#include "core/editor/CellCommit.h"
#include "core/radio/Csv.h"
#include "core/radio/CsvLayout.h"
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

bool ChannelFromChirpRow(const std::vector<std::string>& f, const ChirpColumnsFound& cols, CsvChannel& ch,
                         std::vector<std::string>& notes, std::string& why)
{
    const std::string freq = cols.Get(f, "Frequency");
    const EnteredFrequency rx = ParseEnteredFrequency(freq);
    if (!rx.number) {
        why = FrequencyFormatReason("Frequency", freq);
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
            why = FrequencyFormatReason("Offset", offsetText);
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

class ChirpLayoutReader : public CsvLayoutReader {
public:
    bool ReadHeader(const std::vector<std::string>& fields, std::string& why) override
    {
        for (std::size_t i = 0; i < fields.size(); ++i)
            m_cols.index.emplace(LowerAscii(TrimBlanks(fields[i])), i);
        m_fieldCount = fields.size();
        if (m_cols.index.count("location") && m_cols.index.count("frequency"))
            return true;
        why = "the first line must be a header naming at least Location and Frequency";
        return false;
    }

    std::size_t FieldCount() const override { return m_fieldCount; }

    int RowOf(const std::vector<std::string>& f, std::string& why) const override
    {
        long loc = 0;
        const std::string l = m_cols.Get(f, "Location");
        if (!ParseWholeNumber(l, loc) || loc < 0 || loc > kGridRows - 2) {
            why = "Location \"" + l + "\" is not 0 to 199";
            return 0;
        }
        return static_cast<int>(loc) + 1;
    }

    Line ReadChannel(const std::vector<std::string>& f, CsvChannel& ch, std::vector<std::string>& notes,
                     std::string& why) const override
    {
        return ChannelFromChirpRow(f, m_cols, ch, notes, why) ? Line::Channel : Line::Refused;
    }

private:
    ChirpColumnsFound m_cols;
    std::size_t m_fieldCount = 0;
};

}  // namespace

std::unique_ptr<CsvLayoutReader> MakeChirpLayoutReader() { return std::make_unique<ChirpLayoutReader>(); }

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
