#include "core/radio/Document.h"

#include "core/radio/ChannelCodec.h"

EditRanges DecodeDocument(Image& image, ITextGrid& grid, bool chinese)
{
    const EditRanges ranges = EditRangesFromImage(image);
    DecodeChannels(image, grid, chinese);
    return ranges;
}

void EncodeDocument(const EditRanges& ranges, const ITextGrid& grid, Image& image)
{
    EditRangesToImage(ranges, image);
    EncodeChannels(grid, image);
}

void ChannelDocument::Open(const Image& loaded, bool chinese)
{
    image = loaded;
    FillGridLabels(grid, chinese);
    ranges = DecodeDocument(image, grid, chinese);
}

DatResult ChannelDocument::Load(const std::string& path, bool chinese)
{
    Image loaded{};
    const DatResult r = LoadDatFile(path, loaded);
    if (r.ok)
        Open(loaded, chinese);
    return r;
}

void ChannelDocument::Encode() { EncodeDocument(ranges, grid, image); }

DatResult ChannelDocument::Save(const std::string& path)
{
    Encode();
    return SaveDatFile(path, image);
}
