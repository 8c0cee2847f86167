#pragma once
// The document's two codec steps, shared by the window and the tool: the image
// shown as grid texts and edit ranges, and those brought back into the image
// before every save and write to the radio.
#include <string>

#include "core/radio/Bands.h"
#include "core/radio/DatFile.h"
#include "core/radio/Image.h"
#include "core/radio/TextGrid.h"

// Image to grid: erased edit ranges get the factory bands, the band limits
// follow the image, and the records become rows 1..200. Returns the numbers
// of the four edit boxes. The radio type sync (SyncRadioType) comes after it.
EditRanges DecodeDocument(Image& image, ITextGrid& grid, bool chinese);
// Grid to image: the edit ranges as given (unchecked) into the band limits and
// the image, then rows 1..200 into the records and names. What still shows
// what its bytes read keeps them: an unchanged document encodes to itself.
void EncodeDocument(const EditRanges& ranges, const ITextGrid& grid, Image& image);

// A document without a window, as the command-line tool holds it.
struct ChannelDocument {
    Image image{};
    CTextGrid grid;
    EditRanges ranges;

    // Takes `loaded` and decodes it, headings and row labels included.
    void Open(const Image& loaded, bool chinese);
    // Loads a .dat file and opens it; on failure nothing changes.
    DatResult Load(const std::string& path, bool chinese);
    // Brings the image up to date from the grid and the edit ranges.
    void Encode();
    // Encode, then write the image to a .dat file atomically.
    DatResult Save(const std::string& path);
};
