#include "core/radio/ChannelCodec.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "core/radio/Decimal.h"

namespace {

const char* const kEnglishHeadings[kGridCols] = {
    "CH",    "Rx Frequency", "Tx Frequency", "Rx Tone",   "Tx Tone",
    "Power", "Cha Lock",     "Scan Add",     "Bandwidth", "Cha Name",
};
const char* const kChineseHeadings[kGridCols] = {
    "信道", "接收频率", "发射频率", "接收信令", "发射信令", "功率", "信道锁定", "扫描添加", "带宽", "信道名字",
};

// The radio's BCD is read without checking the nibbles: 0xA5 counts as 105.
int BcdValue(std::uint8_t b) { return 10 * (b >> 4) + (b & 0x0F); }
std::uint8_t ToBcd(int v) { return static_cast<std::uint8_t>(16 * (v / 10) + v % 10); }

// A channel is empty when the first digit pair of its receive frequency is
// 00 or FF; whatever the other digits read, the record holds a channel.
bool IsEmptyRecord(const std::uint8_t* rec) { return rec[3] == 0x00 || rec[3] == 0xFF; }

// The texts of columns 1..9 a record and its name bytes show.
using RecordTexts = std::array<std::string, kColName - kColRxFreq + 1>;

std::string& At(RecordTexts& texts, int col) { return texts[static_cast<std::size_t>(col - kColRxFreq)]; }
const std::string& At(const RecordTexts& texts, int col) { return texts[static_cast<std::size_t>(col - kColRxFreq)]; }

std::string DecodeName(const std::uint8_t* nameBytes)
{
    std::string name;
    for (int i = 0; i < mem::kNameSize; ++i) {
        const char c = nameBytes[i] == 0xFF ? 0 : DecodeNameChar(nameBytes[i]);
        if (c == 0)
            break;
        name.push_back(c);
    }
    return name;
}

RecordTexts DecodeRecord(const std::uint8_t* rec, const std::uint8_t* nameBytes, bool chinese)
{
    RecordTexts texts;
    // An empty channel hides its name even when the name bytes hold one.
    if (IsEmptyRecord(rec))
        return texts;
    At(texts, kColRxFreq) = DecodeFrequency(rec);
    At(texts, kColTxFreq) = DecodeFrequency(rec + 4);
    At(texts, kColRxTone) = DecodeTone(rec[8], rec[9], chinese);
    At(texts, kColTxTone) = DecodeTone(rec[10], rec[11], chinese);

    const std::uint8_t flags = rec[12];
    // Bits 5-4: 00 Low, 01 Middle, 10 High; 11 has no word.
    const ChannelFlag powers[] = {ChannelFlag::Low, ChannelFlag::Middle, ChannelFlag::High, ChannelFlag::None};
    At(texts, kColPower) = FlagWord(powers[(flags >> 4) & 0x03], chinese);
    At(texts, kColLock) = FlagWord((flags & 0x08) ? ChannelFlag::Lock : ChannelFlag::Unlock, chinese);
    At(texts, kColScanAdd) = FlagWord((flags & 0x04) ? ChannelFlag::Yes : ChannelFlag::No, chinese);
    At(texts, kColBandwidth) = FlagWord((flags & 0x02) ? ChannelFlag::Wide : ChannelFlag::Narrow, chinese);

    At(texts, kColName) = DecodeName(nameBytes);
    return texts;
}

// The selected band record lies over the first name bytes of one channel; the
// window writes it whenever it shows the image, so those bytes no longer hold
// what the name cell was decoded from.
constexpr int kBandRecordSize = 3;
struct SharedBytes {
    int first = 0, last = 0;  // name bytes [first, last) the band record also uses
};
SharedBytes BandRecordOverName(int n)
{
    const int start = mem::kNameBase + mem::kNameSize * n;
    const int first = std::max(start, mem::kSelectedBand);
    const int last = std::min(start + mem::kNameSize, mem::kSelectedBand + kBandRecordSize);
    return first < last ? SharedBytes{first - start, last - start} : SharedBytes{};
}

// Row `row` into record `rec` and its name bytes. A cell that still shows
// what its bytes decode to (in either language) keeps those bytes as they
// are: digits above 9, power bits 11, a tone's odd nibbles and stray name
// codes survive every save until the user changes that cell. A changed cell
// is encoded by the rules; bytes 13-15 and bits 7, 6 and 0 are never touched.
// `shared`: the name bytes the band record also uses.
void EncodeRow(const ITextGrid& grid, int row, std::uint8_t* rec, std::uint8_t* nameBytes, SharedBytes shared)
{
    const bool wasChannel = !IsEmptyRecord(rec);
    const RecordTexts shownEn = DecodeRecord(rec, nameBytes, false);
    const RecordTexts shownZh = DecodeRecord(rec, nameBytes, true);
    RecordTexts texts;
    bool blank = true;
    for (int col = kColRxFreq; col <= kColName; ++col) {
        At(texts, col) = grid.TextMatrix(row, col);
        blank = blank && At(texts, col).empty();
    }
    auto kept = [&](int col) {
        return wasChannel && (At(texts, col) == At(shownEn, col) || At(texts, col) == At(shownZh, col));
    };

    if (At(texts, kColRxFreq).empty()) {
        // An empty row over an empty record keeps it as found, hidden name
        // and all. A channel the user deleted is emptied; its name bytes stay,
        // as an empty channel never shows them.
        if (wasChannel || !blank)
            std::memset(rec, 0xFF, mem::kChannelSize);
        return;
    }
    if (!kept(kColRxFreq)) {
        std::uint8_t rx[4];
        EncodeFrequency(At(texts, kColRxFreq), rx);
        if (IsEmptyRecord(rx)) {
            // No receive frequency a record holds: the whole record is
            // emptied, never half written.
            std::memset(rec, 0xFF, mem::kChannelSize);
            return;
        }
        std::memcpy(rec, rx, 4);
    }
    if (!kept(kColTxFreq))
        EncodeFrequency(At(texts, kColTxFreq), rec + 4);
    if (!kept(kColRxTone))
        EncodeTone(At(texts, kColRxTone), rec[8], rec[9]);
    if (!kept(kColTxTone))
        EncodeTone(At(texts, kColTxTone), rec[10], rec[11]);

    // Words of either language are accepted; unknown words fall to the
    // field's default (Low, locked, scan add, wide).
    std::uint8_t flags = rec[12];
    auto flag = [&](int col) { return FlagOfCell(col, At(texts, col)); };
    if (!kept(kColPower)) {
        const ChannelFlag power = flag(kColPower);
        flags = static_cast<std::uint8_t>((flags & ~0x30) | (power == ChannelFlag::High     ? 0x20
                                                             : power == ChannelFlag::Middle ? 0x10
                                                                                            : 0x00));
    }
    auto setBit = [&](int col, std::uint8_t bit, bool on) {
        if (!kept(col))
            flags = static_cast<std::uint8_t>(on ? (flags | bit) : (flags & ~bit));
    };
    setBit(kColLock, 0x08, flag(kColLock) != ChannelFlag::Unlock);
    setBit(kColScanAdd, 0x04, flag(kColScanAdd) != ChannelFlag::No);
    setBit(kColBandwidth, 0x02, flag(kColBandwidth) != ChannelFlag::Narrow);
    rec[12] = flags;

    if (!kept(kColName)) {
        const std::string& name = At(texts, kColName);
        std::uint8_t codes[mem::kNameSize];
        for (std::size_t i = 0; i < static_cast<std::size_t>(mem::kNameSize); ++i)
            codes[i] = i < name.size() ? EncodeNameChar(static_cast<unsigned char>(name[i])) : 0xFF;
        // Over the band record the name is untouched when its text reads back
        // from its own codes there and the bytes after them: those stay.
        std::uint8_t mixed[mem::kNameSize];
        std::copy(nameBytes, nameBytes + mem::kNameSize, mixed);
        std::copy(codes + shared.first, codes + shared.last, mixed + shared.first);
        const bool untouched = wasChannel && shared.first < shared.last && DecodeName(mixed) == name;
        std::copy(untouched ? mixed : codes, (untouched ? mixed : codes) + mem::kNameSize, nameBytes);
    }
}

}  // namespace

std::uint8_t EncodeNameChar(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<std::uint8_t>(c - '0');
    if (c >= 'A' && c <= 'Z')
        return static_cast<std::uint8_t>(c - 'A' + 10);
    if (c == '-')
        return 36;
    if (c == '_')
        return 38;
    return 0xFF;
}

char DecodeNameChar(int code)
{
    if (code >= 0 && code <= 9)
        return static_cast<char>('0' + code);
    if (code >= 10 && code <= 35)
        return static_cast<char>('A' + code - 10);
    if (code == 36)
        return '-';
    if (code == 38)
        return '_';
    return 0;
}

std::string GridHeading(int col, bool chinese)
{
    if (col < 0 || col >= kGridCols)
        return {};
    return chinese ? kChineseHeadings[col] : kEnglishHeadings[col];
}

std::string GridRowLabel(int row)
{
    if (row == 1)
        return "Pr";
    if (row < 2 || row >= kGridRows)
        return {};
    char text[16];
    std::snprintf(text, sizeof text, "%3d", row - 1);
    return text;
}

void FillGridLabels(ITextGrid& grid, bool chinese)
{
    for (int col = 0; col < kGridCols; ++col)
        grid.SetTextMatrix(0, col, GridHeading(col, chinese));
    for (int row = 1; row < kGridRows; ++row)
        grid.SetTextMatrix(row, kColLabel, GridRowLabel(row));
}

std::string DecodeFrequency(const std::uint8_t* bcd4)
{
    if (bcd4[3] == 0x00 || bcd4[3] == 0xFF)
        return {};
    long n = 0;
    for (int i = 3; i >= 0; --i)
        n = 100 * n + BcdValue(bcd4[i]);
    // Nibbles above 9 may read 1000 MHz or more: shown as they read; the
    // encoder keeps such bytes while the cell is unchanged.
    return UnitsToFrequencyText(n);
}

void EncodeFrequency(const std::string& text, std::uint8_t* bcd4)
{
    long n = FrequencyTextToUnits(text.c_str());
    // Eight BCD digits hold 0..99999999; anything outside (a negative or huge
    // number) would wrap into a different frequency, so it is stored as absent.
    if (n <= 0 || n > 99999999) {
        std::memset(bcd4, 0xFF, 4);
        return;
    }
    long divisor = 1000000;
    for (int i = 3; i >= 0; --i, divisor /= 100) {
        bcd4[i] = ToBcd(static_cast<int>(n / divisor));
        n %= divisor;
    }
}

std::string DecodeTone(std::uint8_t low, std::uint8_t high, bool chinese)
{
    if (high == 0x00 || high == 0xFF)
        return Words(chinese).none;
    char text[32];
    if (high >= 0x80) {
        const bool inverted = high >= 0xC0;
        const int d = high - (inverted ? 0xC0 : 0x80);
        const int value = 100 * d + BcdValue(low);
        std::snprintf(text, sizeof text, inverted ? "%s%dI" : "%s%dN", d == 0 ? "D0" : "D", value);
        return text;
    }
    const int t = 100 * BcdValue(high) + BcdValue(low);
    return CtcssText(MulDecimal(t, 0.1));
}

void EncodeTone(const std::string& text, std::uint8_t& low, std::uint8_t& high)
{
    low = high = 0xFF;
    const ToneReading tone = ReadToneCell(text);
    if (!tone.dcs) {
        const double t = tone.tenths;
        // A CTCSS high byte must stay within 0x01..0x79: below 10.0 Hz it would
        // be 0x00 (no tone) and from 800.0 Hz on it would read back as a DCS code.
        if (!(t >= 100 && t <= 7999))
            return;
        const int v = static_cast<int>(t);
        high = ToBcd(v / 100);
        low = ToBcd(v % 100);
        return;
    }
    // The first digit lives in the low six bits of the high byte; a larger or
    // negative number cannot be stored and would become some other code.
    const long maxFirst = tone.normal ? 0x3F : 0x3E;
    if (tone.codeOverflow || tone.code < 0 || tone.code / 100 > maxFirst)
        return;
    const int v = static_cast<int>(tone.code);
    high = static_cast<std::uint8_t>(v / 100 + (tone.normal ? 0x80 : 0xC0));
    low = ToBcd(v % 100);
}

void DecodeChannel(const std::uint8_t* record, const std::uint8_t* name, ITextGrid& grid, int row, bool chinese)
{
    const RecordTexts texts = DecodeRecord(record, name, chinese);
    for (int col = kColRxFreq; col <= kColName; ++col)
        grid.SetTextMatrix(row, col, At(texts, col));
}

void DecodeChannels(const Image& image, ITextGrid& grid, bool chinese)
{
    for (int n = 0; n < mem::kChannelCount; ++n)
        DecodeChannel(image.data() + mem::kChannelBase + mem::kChannelSize * n,
                      image.data() + mem::kNameBase + mem::kNameSize * n, grid, n + 1, chinese);
}

void EncodeChannels(const ITextGrid& grid, Image& image)
{
    for (int n = 0; n < mem::kChannelCount; ++n)
        EncodeRow(grid, n + 1, image.data() + mem::kChannelBase + mem::kChannelSize * n,
                  image.data() + mem::kNameBase + mem::kNameSize * n, BandRecordOverName(n));
}
