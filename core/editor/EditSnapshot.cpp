#include "core/editor/EditSnapshot.h"

namespace {
constexpr int kDataCols = kColName - kColRxFreq + 1;
constexpr std::size_t kCells = static_cast<std::size_t>(kGridRows - 1) * kDataCols;
}  // namespace

std::size_t CEditSnapshot::Index(int row, int col)
{
    return static_cast<std::size_t>(row - 1) * kDataCols + static_cast<std::size_t>(col - kColRxFreq);
}

CEditSnapshot::CEditSnapshot(const Image& image, const ITextGrid& grid, const BandTexts& bands)
    : m_image(image), m_bands(bands)
{
    m_ends.reserve(kCells);
    m_text.reserve(kCells * 6);
    for (int row = 1; row < kGridRows; ++row)
        for (int col = kColRxFreq; col <= kColName; ++col) {
            m_text += grid.TextMatrix(row, col);
            m_ends.push_back(static_cast<std::uint32_t>(m_text.size()));
        }
}

std::string CEditSnapshot::Cell(int row, int col) const
{
    if (m_ends.empty() || row < 1 || row >= kGridRows || col < kColRxFreq || col > kColName)
        return {};
    const std::size_t i = Index(row, col);
    const std::size_t begin = i == 0 ? 0 : m_ends[i - 1];
    return m_text.substr(begin, m_ends[i] - begin);
}

void CEditSnapshot::Restore(Image& image, ITextGrid& grid, BandTexts& bands) const
{
    image = m_image;
    bands = m_bands;
    for (int row = 1; row < kGridRows; ++row)
        for (int col = kColRxFreq; col <= kColName; ++col)
            grid.SetTextMatrix(row, col, Cell(row, col));
}

std::size_t CEditSnapshot::Bytes() const
{
    std::size_t n = sizeof *this + m_text.capacity() + m_ends.capacity() * sizeof(std::uint32_t);
    for (const std::string& b : m_bands)
        n += b.capacity();
    return n;
}
