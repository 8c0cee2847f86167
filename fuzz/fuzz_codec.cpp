// The channel codec: image -> grid -> image -> grid. The first encode may
// normalise what the radio left (unknown words, absent values); after it the
// grid and the image are stable, every byte outside the records, names and
// band records survives, and an emptied record is all 0xFF.
#include <algorithm>
#include <cstring>
#include <string>

#include "core/radio/ChannelCodec.h"
#include "core/radio/Document.h"
#include "fuzz/FuzzSupport.h"

namespace {

bool Owned(std::size_t offset)
{
    const std::size_t records = mem::kChannelBase + mem::kChannelSize * mem::kChannelCount;
    const std::size_t names = mem::kNameBase + mem::kNameSize * mem::kChannelCount;
    return offset < records || (offset >= mem::kNameBase && offset < names) ||
           (offset >= mem::kSelectedBand && offset < mem::kSelectedBand + 3u) ||
           (offset >= mem::kVhfRange && offset < mem::kVhfRange + 3u) ||
           (offset >= mem::kUhfRange && offset < mem::kUhfRange + 3u);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const bool chinese = in.Byte() & 1;
    fuzz::SetLanguage(chinese);
    Image original;
    original.fill(0xFF);
    std::memcpy(original.data(), in.Here(), std::min(in.Remaining(), kImageSize));

    Image image = original;
    CTextGrid g1, g2, g3;
    const EditRanges ranges = DecodeDocument(image, g1, chinese);
    const Image decoded = image;  // erased edit ranges filled in
    EncodeDocument(ranges, g1, image);
    const Image once = image;
    const EditRanges ranges2 = DecodeDocument(image, g2, chinese);
    EncodeDocument(ranges2, g2, image);
    DecodeDocument(image, g3, chinese);

    for (int row = 1; row < kGridRows; ++row)
        FUZZ_CHECK(fuzz::RowText(g2, row) == fuzz::RowText(g3, row),
                   "row " + std::to_string(row) + " " + fuzz::RowText(g2, row) + " became " + fuzz::RowText(g3, row));
    FUZZ_CHECK(image == once, "the image changed at the second encode");

    for (std::size_t i = 0; i < kImageSize; ++i)
        if (!Owned(i))
            FUZZ_CHECK(once[i] == decoded[i], "byte " + std::to_string(i) + " changed by the codec");

    for (int n = 0; n < mem::kChannelCount; ++n) {
        const std::uint8_t* rec = once.data() + mem::kChannelBase + mem::kChannelSize * n;
        if (rec[3] != 0x00 && rec[3] != 0xFF)
            continue;
        const bool allFF = std::all_of(rec, rec + mem::kChannelSize, [](std::uint8_t b) { return b == 0xFF; });
        FUZZ_CHECK(allFF,
                   "record " + std::to_string(n) + " reads as empty but is not all 0xFF; row was " +
                       fuzz::RowText(g1, n + 1));
    }
    return 0;
}
