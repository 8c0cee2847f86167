#pragma once
// The radio's 8192-byte configuration memory, mirrored byte for byte.
#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kImageSize = 8192;
inline constexpr std::size_t kBlockSize = 16;
inline constexpr std::size_t kBlockCount = kImageSize / kBlockSize;

using Image = std::array<std::uint8_t, kImageSize>;

// Memory map. Multi-byte numbers are packed BCD, least significant byte first;
// 0xFF marks an absent value. Bytes not named here are never interpreted and
// must survive every decode/encode untouched.
namespace mem {
inline constexpr int kChannelBase = 0x0000;  // 200 records of 16 bytes
inline constexpr int kChannelSize = 16;
inline constexpr int kChannelCount = 200;
inline constexpr int kNameBase = 0x0CA0;  // 200 names of 8 codes
inline constexpr int kNameSize = 8;
inline constexpr int kSelectedBand = 0x0FF0;  // band record; overlaps channel 106's name
inline constexpr int kOptionClear = 0x12E0;   // 6 bytes set to 0xFF by the options OK
inline constexpr int kOptionClearLen = 6;
inline constexpr int kPowerOnName = 0x12E8;  // 6 name codes
inline constexpr int kPowerOnNameLen = 6;
inline constexpr int kBeep = 0x1FC0;  // bit 0
inline constexpr int kSquelch = 0x1FC1;
inline constexpr int kTimeOutTimer = 0x1FC3;
inline constexpr int kVSqlAdjust = 0x1FC4;
inline constexpr int kUSqlAdjust = 0x1FC5;
inline constexpr int kRadioType = 0x1FD6;
inline constexpr int kBandIndex = 0x1FD7;
inline constexpr int kStep = 0x1FE0;
inline constexpr int kFlags1 = 0x1FE1;  // display, busy, scan mode, LED, keypad lock
inline constexpr int kFlags2 = 0x1FE2;  // encoder, priority scan, mode
inline constexpr int kVoiceSensitivity = 0x1FE4;
inline constexpr int kAltCallTone = 0x1FE5;  // no dialog field; new documents hold 0x01
inline constexpr int kBatterySaver = 0x1FE6;
inline constexpr int kCallTone = 0x1FE7;
inline constexpr int kPriScanTime = 0x1FE8;
inline constexpr int kVhfRange = 0x1FF0;  // band record
inline constexpr int kUhfRange = 0x1FF3;  // band record
inline constexpr int kWriteEnd = 0x1FF6;  // 0x1FF6..0x1FFF are read but never written

// "The channels" of a memory, as one unit a radio takes from a plan while
// keeping everything radio-wide: the 200 records, their names and the VHF and
// UHF band limits. The selected band record shares channel 106's first three
// name bytes; it is the radio's model, so it stays out.
struct Span {
    int first = 0;
    int last = 0;  // inclusive
};
inline constexpr Span kChannelArea[] = {
    {kChannelBase, kChannelBase + kChannelSize* kChannelCount - 1},  // 0x0000-0x0C7F
    {kNameBase, kSelectedBand - 1},                                  // 0x0CA0-0x0FEF
    {kSelectedBand + 3, kNameBase + kNameSize* kChannelCount - 1},   // 0x0FF3-0x12DF
    {kVhfRange, kUhfRange + 2},                                      // 0x1FF0-0x1FF5
};
}  // namespace mem

// The contents File New gives: all 0xFF except the option defaults and edit ranges.
Image NewDocumentImage();

// `radio` with `plan`'s channel area (mem::kChannelArea) put in; every other
// byte stays the radio's own.
Image WithChannelsOf(const Image& radio, const Image& plan);
