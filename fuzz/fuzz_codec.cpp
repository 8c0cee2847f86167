// The channel codec: image -> grid -> image -> grid. Decoding may fill erased
// band edit ranges; encoding the unchanged grid then changes no byte at all,
// and the grid and the image stay as they are.
#include <algorithm>
#include <cstring>
#include <string>

#include "core/radio/ChannelCodec.h"
#include "core/radio/Document.h"
#include "fuzz/FuzzSupport.h"

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
        FUZZ_CHECK(once[i] == decoded[i], "byte " + std::to_string(i) + " changed by encoding an unchanged grid");
    return 0;
}
