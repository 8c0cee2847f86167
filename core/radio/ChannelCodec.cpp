#include "core/radio/ChannelCodec.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/radio/Decimal.h"

namespace {

const std::vector<std::string> kCtcss = {
    "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",  "91.5",
    "94.8",  "97.4",  "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3",
    "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "159.8", "162.2", "165.5", "167.9",
    "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6", "199.5",
    "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3", "254.1",
};

const std::vector<std::string> kDcs = {
    "023", "025", "026", "031", "032", "036", "043", "047", "051", "053", "054", "065", "071", "072", "073",
    "074", "114", "115", "116", "122", "125", "131", "132", "134", "143", "145", "152", "155", "156", "162",
    "165", "172", "174", "205", "212", "223", "225", "226", "243", "244", "245", "246", "251", "252", "255",
    "261", "263", "265", "266", "271", "274", "306", "311", "315", "325", "331", "332", "343", "346", "351",
    "356", "364", "365", "371", "411", "412", "413", "423", "431", "432", "445", "446", "452", "454", "455",
    "462", "464", "465", "466", "503", "506", "516", "523", "526", "532", "546", "565", "606", "612", "624",
    "627", "631", "632", "645", "654", "662", "664", "703", "712", "723", "731", "732", "734", "743", "754",
};

constexpr FlagWords kEnglishWords = {"High", "Middle", "Low", "Lock", "Unlock", "Yes", "No", "Wide", "Narrow", "None"};
constexpr FlagWords kChineseWords = {"高", "中", "低", "锁定", "未锁定", "有", "无", "宽", "窄", "无"};

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

std::vector<std::string> BuildToneNames(bool chinese)
{
    std::vector<std::string> names;
    names.reserve(kToneCount);
    names.push_back(Words(chinese).none);
    names.insert(names.end(), kCtcss.begin(), kCtcss.end());
    for (const auto& code : kDcs)
        names.push_back("D" + code + "N");
    for (const auto& code : kDcs)
        names.push_back("D" + code + "I");
    return names;
}

bool Is(const std::string& text, const char* a, const char* b) { return text == a || text == b; }

}  // namespace

const std::vector<std::string>& ToneNames(bool chinese)
{
    static const std::vector<std::string> english = BuildToneNames(false);
    static const std::vector<std::string> chineseNames = BuildToneNames(true);
    return chinese ? chineseNames : english;
}

const std::vector<std::string>& CtcssTones() { return kCtcss; }
const std::vector<std::string>& DcsCodes() { return kDcs; }

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

const FlagWords& Words(bool chinese) { return chinese ? kChineseWords : kEnglishWords; }

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
    std::snprintf(text, sizeof text, "%3.1f", MulDecimal(t, 0.1));
    return text;
}

void EncodeTone(const std::string& text, std::uint8_t& low, std::uint8_t& high)
{
    low = high = 0xFF;
    if (text.find('D') == std::string::npos) {
        const double t = std::trunc(MulDecimal(std::atof(text.c_str()), 10.0));
        // A CTCSS high byte must stay within 0x01..0x79: below 10.0 Hz it would
        // be 0x00 (no tone) and from 800.0 Hz on it would read back as a DCS code.
        if (!(t >= 100 && t <= 7999))
            return;
        const int v = static_cast<int>(t);
        high = ToBcd(v / 100);
        low = ToBcd(v % 100);
        return;
    }
    const std::string rest = text.substr(1);
    errno = 0;
    const long parsed = std::strtol(rest.c_str(), nullptr, 10);  // atoi without its overflow
    const bool normal = rest.find('N') != std::string::npos;
    // The first digit lives in the low six bits of the high byte; a larger or
    // negative number cannot be stored and would become some other code.
    const long maxFirst = normal ? 0x3F : 0x3E;
    if (errno == ERANGE || parsed < 0 || parsed / 100 > maxFirst)
        return;
    const int v = static_cast<int>(parsed);
    high = static_cast<std::uint8_t>(v / 100 + (normal ? 0x80 : 0xC0));
    low = ToBcd(v % 100);
}

void DecodeChannels(const Image& image, ITextGrid& grid, bool chinese)
{
    const FlagWords& w = Words(chinese);
    for (int n = 0; n < mem::kChannelCount; ++n) {
        const int row = n + 1;
        const std::uint8_t* rec = image.data() + mem::kChannelBase + mem::kChannelSize * n;
        if (rec[3] == 0x00 || rec[3] == 0xFF) {
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
        const char* power = "";
        switch ((flags >> 4) & 0x03) {
        case 0: power = w.low; break;
        case 1: power = w.middle; break;
        case 2: power = w.high; break;
        default: break;  // 11 has no word
        }
        grid.SetTextMatrix(row, kColPower, power);
        grid.SetTextMatrix(row, kColLock, (flags & 0x08) ? w.lock : w.unlock);
        grid.SetTextMatrix(row, kColScanAdd, (flags & 0x04) ? w.yes : w.no);
        grid.SetTextMatrix(row, kColBandwidth, (flags & 0x02) ? w.wide : w.narrow);

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
    const FlagWords& en = Words(false);
    const FlagWords& zh = Words(true);
    for (int n = 0; n < mem::kChannelCount; ++n) {
        const int row = n + 1;
        std::uint8_t* rec = image.data() + mem::kChannelBase + mem::kChannelSize * n;
        const std::string rx = grid.TextMatrix(row, kColRxFreq);
        if (rx.empty()) {
            // The name bytes stay: an empty channel never shows them.
            std::memset(rec, 0xFF, mem::kChannelSize);
            continue;
        }
        EncodeFrequency(rx, rec);
        EncodeFrequency(grid.TextMatrix(row, kColTxFreq), rec + 4);
        EncodeTone(grid.TextMatrix(row, kColRxTone), rec[8], rec[9]);
        EncodeTone(grid.TextMatrix(row, kColTxTone), rec[10], rec[11]);

        // Words of either language are accepted; unknown words fall to the
        // field's default (Low, locked, scan add, wide). Bits 7, 6 and 0 are the radio's.
        std::uint8_t flags = rec[12] & 0xC1;
        const std::string power = grid.TextMatrix(row, kColPower);
        if (Is(power, en.high, zh.high))
            flags |= 0x20;
        else if (Is(power, en.middle, zh.middle))
            flags |= 0x10;
        if (!Is(grid.TextMatrix(row, kColLock), en.unlock, zh.unlock))
            flags |= 0x08;
        if (!Is(grid.TextMatrix(row, kColScanAdd), en.no, zh.no))
            flags |= 0x04;
        if (!Is(grid.TextMatrix(row, kColBandwidth), en.narrow, zh.narrow))
            flags |= 0x02;
        rec[12] = flags;

        const std::string name = grid.TextMatrix(row, kColName);
        std::uint8_t* nameBytes = image.data() + mem::kNameBase + mem::kNameSize * n;
        for (std::size_t i = 0; i < static_cast<std::size_t>(mem::kNameSize); ++i)
            nameBytes[i] = i < name.size() ? EncodeNameChar(static_cast<unsigned char>(name[i])) : 0xFF;
    }
}
