#pragma once
// Verify after a write: what the radio gives back against what was sent
// (0x0000..0x1FF5; the ten bytes after it are never written). Differences are
// named the way the user knows them: a channel with its columns ("channel 5:
// Rx Frequency, Tx Tone"), an option by its label in Optional Features, the
// band settings, or bytes no screen shows.
#include <string>
#include <vector>

#include "core/radio/Image.h"
#include "core/radio/ImageDiff.h"

struct WriteDifference {
    std::string where;              // in the language asked for
    std::vector<ByteRange> ranges;  // differing addresses, ascending (AddressRangesText tells them)
};

// One entry per channel, option or other field that differs, in address order.
std::vector<WriteDifference> CompareWrittenImage(const Image& sent, const Image& back, bool chinese);
