#pragma once
// One state of a document as undo brings it back: the image bytes, every
// channel text of the grid (the working copy of the channel area) and the
// four band boxes as typed. Consecutive undo steps share their snapshots, so
// a snapshot is compact: the texts are kept in one buffer.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/radio/Image.h"
#include "core/radio/TextGrid.h"

// The band boxes in the order VHF lower, VHF upper, UHF lower, UHF upper.
using BandTexts = std::array<std::string, 4>;

class CEditSnapshot {
public:
    CEditSnapshot() = default;
    // Rows 1..200, columns 1..9 of `grid`; headings and labels are not part of it.
    CEditSnapshot(const Image& image, const ITextGrid& grid, const BandTexts& bands);

    // Writes the state back; cells already holding their text are left alone.
    void Restore(Image& image, ITextGrid& grid, BandTexts& bands) const;

    const Image& GetImage() const { return m_image; }
    const BandTexts& Bands() const { return m_bands; }
    std::string Cell(int row, int col) const;

    // Memory the snapshot holds, for the undo limit's budget.
    std::size_t Bytes() const;

    bool operator==(const CEditSnapshot& other) const = default;

private:
    static std::size_t Index(int row, int col);

    Image m_image{};
    std::string m_text;                 // every cell's text, one after the other
    std::vector<std::uint32_t> m_ends;  // where each cell's text ends in m_text
    BandTexts m_bands;
};
