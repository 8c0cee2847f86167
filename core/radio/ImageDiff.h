#pragma once
// What differs between two memory images, in the words the user knows: the
// channels as the grid shows them, the option fields as Option Features shows
// them, the band edit ranges and the model, and whatever bytes differ beyond
// all of those, by offset range.
#include <string>
#include <vector>

#include "core/radio/Bands.h"
#include "core/radio/Image.h"

struct ByteRange {
    int first = 0;
    int last = 0;  // inclusive
    bool operator==(const ByteRange&) const = default;
};
// The offsets in [from, to) where a and b differ, neighbours joined into ranges.
std::vector<ByteRange> DifferingRanges(const Image& a, const Image& b, int from = 0,
                                       int to = static_cast<int>(kImageSize));
// "0x1234" or "0x1234-0x1240".
std::string ByteRangeText(const ByteRange& r);
// "0x0050-0x0053, 0x005A": the one way differing ranges are told (diff, verify).
std::string AddressRangesText(const std::vector<ByteRange>& ranges);

struct CellChange {
    int col = 0;  // grid column (kColRxFreq..kColName)
    std::string a, b;
};
enum class ChannelChange { Added, Removed, Changed };
struct ChannelDiff {
    int row = 0;  // grid row: 1 is "Pr", 2 is channel 1
    ChannelChange change = ChannelChange::Changed;
    // Added: the new channel's cells (a is ""); Removed: the old one's (b is "");
    // Changed: only the cells that differ.
    std::vector<CellChange> cells;
};
struct OptionDiff {
    int id = 0;        // control id of Option Features
    std::string a, b;  // the texts the dialog shows
};
// The radio model: type (0x1FD6) and band (0x1FD7) list positions and the
// selected band record (0x0FF0) as "%d-%dMHz", "" when erased.
struct ModelFacts {
    int type = 0;
    int band = 0;
    std::string bandRecord;
    bool operator==(const ModelFacts&) const = default;
};

struct ImageDiff {
    EditRanges rangesA, rangesB;
    ModelFacts modelA, modelB;
    std::vector<ChannelDiff> channels;
    std::vector<OptionDiff> options;
    // Bytes that differ where no field above explains the difference: bytes no
    // rule reads, bits a field leaves alone, spellings the fields read alike.
    std::vector<ByteRange> otherBytes;

    bool RangesDiffer() const;
    bool ModelDiffers() const { return !(modelA == modelB); }
    bool Equal() const;
};

// Grid and option texts come in the given language.
ImageDiff DiffImages(const Image& a, const Image& b, bool chinese);
// How a radio's memory differs from a plan in what a write can change: the
// bytes from mem::kWriteEnd on are never written, so they never make a radio
// differ from its plan (audit's "matches the plan", with or without a reconcile).
ImageDiff DiffWithPlan(const Image& plan, const Image& radio, bool chinese);
