#include "core/radio/ChannelCodec.h"

#include <cstdio>
#include <cstring>

#include "core/radio/Decimal.h"

namespace {

const char* const kEnglishHeadings[kGridCols] = {
    "CH", "Rx Frequency", "Tx Frequency", "Rx Tone", "Tx Tone",
    "Power", "Cha Lock", "Scan Add", "Bandwidth", "Cha Name",
};
const char* const kChineseHeadings[kGridCols] = {
    "信道", "接收频率", "发射频率", "接收信令", "发射信令",
    "功率", "信道锁定", "扫描添加", "带宽", "信道名字",
};

// The radio's BCD is read without checking the nibbles: 0xA5 counts as 105.
int BcdValue(std::uint8_t b) { return 10 * (b >> 4) + (b & 0x0F); }
std::uint8_t ToBcd(int v) { return static_cast<std::uint8_t>(16 * (v / 10) + v % 10); }

// A record without a receive frequency it could hold (DecodeFrequency gives
// none) is an empty channel, saved all 0xFF.
bool IsEmptyRecord(const std::uint8_t* rec) { return DecodeFrequency(rec).empty(); }

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
    // Nibbles above 9 can read 1000 MHz or more, which eight BCD digits cannot
    // store again: shown and saved as absent, not as a different frequency.
    if (n > 99999999)
        return {};
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

void DecodeChannels(const Image& image, ITextGrid& grid, bool chinese)
{
    for (int n = 0; n < mem::kChannelCount; ++n) {
        const int row = n + 1;
        const std::uint8_t* rec = image.data() + mem::kChannelBase + mem::kChannelSize * n;
        if (IsEmptyRecord(rec)) {
            // An empty channel hides its name even when the name bytes hold one.
            for (int col = kColRxFreq; col <= kColName; ++col)
                grid.SetTextMatrix(row, col, "");
            continue;
        }
        grid.SetTextMatrix(row, kColRxFreq, DecodeFrequency(rec));
        grid.SetTextMatrix(row, kColTxFreq, DecodeFrequency(rec + 4));
        grid.SetTextMatrix(row, kColRxTone, DecodeTone(rec[8], rec[9], chinese));
        grid.SetTextMatrix(row, kColTxTone, DecodeTone(rec[10], rec[11], chinese));

        const std::uint8_t flags = rec[12];
        // Bits 5-4: 00 Low, 01 Middle, 10 High; 11 has no word.
        const ChannelFlag powers[] = {ChannelFlag::Low, ChannelFlag::Middle, ChannelFlag::High, ChannelFlag::None};
        grid.SetTextMatrix(row, kColPower, FlagWord(powers[(flags >> 4) & 0x03], chinese));
        grid.SetTextMatrix(row, kColLock, FlagWord((flags & 0x08) ? ChannelFlag::Lock : ChannelFlag::Unlock, chinese));
        grid.SetTextMatrix(row, kColScanAdd, FlagWord((flags & 0x04) ? ChannelFlag::Yes : ChannelFlag::No, chinese));
        grid.SetTextMatrix(row, kColBandwidth,
                           FlagWord((flags & 0x02) ? ChannelFlag::Wide : ChannelFlag::Narrow, chinese));

        const std::uint8_t* nameBytes = image.data() + mem::kNameBase + mem::kNameSize * n;
        std::string name;
        for (int i = 0; i < mem::kNameSize; ++i) {
            const char c = nameBytes[i] == 0xFF ? 0 : DecodeNameChar(nameBytes[i]);
            if (c == 0)
                break;
            name.push_back(c);
        }
        grid.SetTextMatrix(row, kColName, name);
    }
}

void EncodeChannels(const ITextGrid& grid, Image& image)
{
    for (int n = 0; n < mem::kChannelCount; ++n) {
        const int row = n + 1;
        std::uint8_t* rec = image.data() + mem::kChannelBase + mem::kChannelSize * n;
        EncodeFrequency(grid.TextMatrix(row, kColRxFreq), rec);
        if (IsEmptyRecord(rec)) {
            // No receive frequency, or none a record holds: the whole record
            // is emptied, never half written. The name bytes stay: an empty
            // channel never shows them.
            std::memset(rec, 0xFF, mem::kChannelSize);
            continue;
        }
        EncodeFrequency(grid.TextMatrix(row, kColTxFreq), rec + 4);
        EncodeTone(grid.TextMatrix(row, kColRxTone), rec[8], rec[9]);
        EncodeTone(grid.TextMatrix(row, kColTxTone), rec[10], rec[11]);

        // Words of either language are accepted; unknown words fall to the
        // field's default (Low, locked, scan add, wide). Bits 7, 6 and 0 are the radio's.
        std::uint8_t flags = rec[12] & 0xC1;
        auto flag = [&](int col) { return FlagOfCell(col, grid.TextMatrix(row, col)); };
        const ChannelFlag power = flag(kColPower);
        if (power == ChannelFlag::High)
            flags |= 0x20;
        else if (power == ChannelFlag::Middle)
            flags |= 0x10;
        if (flag(kColLock) != ChannelFlag::Unlock)
            flags |= 0x08;
        if (flag(kColScanAdd) != ChannelFlag::No)
            flags |= 0x04;
        if (flag(kColBandwidth) != ChannelFlag::Narrow)
            flags |= 0x02;
        rec[12] = flags;

        const std::string name = grid.TextMatrix(row, kColName);
        std::uint8_t* nameBytes = image.data() + mem::kNameBase + mem::kNameSize * n;
        for (std::size_t i = 0; i < static_cast<std::size_t>(mem::kNameSize); ++i)
            nameBytes[i] = i < name.size() ? EncodeNameChar(static_cast<unsigned char>(name[i])) : 0xFF;
    }
}
