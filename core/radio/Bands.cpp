#include "core/radio/Bands.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

std::int32_t g_nVhfLow = 13600000;
std::int32_t g_nVhfHigh = 17500000;
std::int32_t g_nUhfLow = 40000000;
std::int32_t g_nUhfHigh = 52000000;

namespace {

constexpr std::int64_t kUnitsPerMHz = 100000;

// Whole MHz to 10 Hz units. An edit box can hold any int; a value too large
// for the limit type is held at the type's end instead of wrapping round.
std::int32_t MHzToUnits(int mhz)
{
    const std::int64_t units = static_cast<std::int64_t>(mhz) * kUnitsPerMHz;
    if (units > INT32_MAX)
        return INT32_MAX;
    if (units < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(units);
}

void SetVhfLimits(int low, int high)
{
    g_nVhfLow = MHzToUnits(low);
    g_nVhfHigh = MHzToUnits(high);
}

void SetUhfLimits(int low, int high)
{
    g_nUhfLow = MHzToUnits(low);
    g_nUhfHigh = MHzToUnits(high);
}

bool AllFF(const Image& image, int offset)
{
    return image[offset] == 0xFF && image[offset + 1] == 0xFF && image[offset + 2] == 0xFF;
}

// One "%d" conversion: leading blanks, optional sign, digits. Returns false
// when no number starts at p; an out-of-range number is held at the int limits.
bool ReadInt(const char*& p, int& out)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(p, &end, 10);
    if (end == p)
        return false;
    out = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
    p = end;
    return true;
}

}  // namespace

bool IsInBand(std::int32_t n) { return (g_nVhfLow <= n && n < g_nVhfHigh) || (g_nUhfLow <= n && n < g_nUhfHigh); }

void EncodeBandRecord(int low, int high, std::uint8_t* rec3)
{
    // The record stores the last included MHz, not the exclusive edge. Digits
    // are taken with truncating division and each byte keeps its low 8 bits,
    // so 0-0 (H = -1) becomes 00 00 FF.
    const int l = low;
    const int h = high - 1;
    rec3[0] = static_cast<std::uint8_t>(16 * (l / 100) + (l / 10) % 10);
    rec3[1] = static_cast<std::uint8_t>(16 * (h / 100) + (h / 10) % 10);
    rec3[2] = static_cast<std::uint8_t>(16 * (l % 10) + h % 10);
}

BandRange DecodeBandRecord(const std::uint8_t* rec3)
{
    BandRange r;
    r.low = 100 * (rec3[0] >> 4) + 10 * (rec3[0] & 0x0F) + (rec3[2] >> 4);
    const int h = 100 * (rec3[1] >> 4) + 10 * (rec3[1] & 0x0F) + (rec3[2] & 0x0F);
    r.high = h + 1;
    return r;
}

EditRanges EditRangesFromImage(Image& image)
{
    // An erased record means the radio never had a range set: use the factory bands.
    if (AllFF(image, mem::kVhfRange)) {
        image[mem::kVhfRange] = 0x13;
        image[mem::kVhfRange + 1] = 0x17;
        image[mem::kVhfRange + 2] = 0x63;
    }
    if (AllFF(image, mem::kUhfRange)) {
        image[mem::kUhfRange] = 0x40;
        image[mem::kUhfRange + 1] = 0x51;
        image[mem::kUhfRange + 2] = 0x09;
    }
    const BandRange vhf = DecodeBandRecord(&image[mem::kVhfRange]);
    const BandRange uhf = DecodeBandRecord(&image[mem::kUhfRange]);
    EditRanges r;
    r.vhfLow = vhf.low;
    r.vhfHigh = vhf.high;
    r.uhfLow = uhf.low;
    r.uhfHigh = uhf.high;
    SetVhfLimits(r.vhfLow, r.vhfHigh);
    SetUhfLimits(r.uhfLow, r.uhfHigh);
    return r;
}

namespace {

// A record that already reads as the range keeps its bytes, digits above 9
// included: only a changed range is written.
void PutEditRange(int low, int high, std::uint8_t* rec3)
{
    const BandRange now = DecodeBandRecord(rec3);
    if (now.low != low || now.high != high)
        EncodeBandRecord(low, high, rec3);
}

}  // namespace

void EditRangesToImage(const EditRanges& r, Image& image)
{
    SetVhfLimits(r.vhfLow, r.vhfHigh);
    PutEditRange(r.vhfLow, r.vhfHigh, &image[mem::kVhfRange]);
    SetUhfLimits(r.uhfLow, r.uhfHigh);
    PutEditRange(r.uhfLow, r.uhfHigh, &image[mem::kUhfRange]);
}

void ApplyVhfEditRange(EditRanges& r)
{
    // An equal pair is accepted here (an empty band), unlike UHF.
    if (r.vhfLow > r.vhfHigh) {
        r.vhfLow = 130;
        r.vhfHigh = 180;
    }
    SetVhfLimits(r.vhfLow, r.vhfHigh);
}

void ApplyUhfEditRange(EditRanges& r)
{
    if (r.uhfLow >= r.uhfHigh) {
        r.uhfLow = 400;
        r.uhfHigh = 520;
    }
    SetUhfLimits(r.uhfLow, r.uhfHigh);
}

BandRange ParseBandItem(const std::string& item)
{
    BandRange r;
    const char* p = item.c_str();
    if (!ReadInt(p, r.low))
        return r;
    if (*p != '-')
        return r;
    ++p;
    ReadInt(p, r.high);
    return r;
}

std::vector<std::string> SplitBandList(const std::string& list)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    for (std::size_t pos; (pos = list.find('|', start)) != std::string::npos; start = pos + 1)
        items.push_back(list.substr(start, pos - start));
    items.push_back(list.substr(start));
    return items;
}

std::string BandListItem(const std::string& list, int index)
{
    const std::vector<std::string> items = SplitBandList(list);
    if (index >= 0 && static_cast<std::size_t>(index) < items.size())
        return items[static_cast<std::size_t>(index)];
    return items.back();
}
