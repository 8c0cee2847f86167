#pragma once
// The channel grid as text: 201 rows x 10 columns. Row 0 holds the headings,
// column 0 the labels, row r the channel record r - 1 (row 1 is "Pr").
#include <string>
#include <vector>

inline constexpr int kGridRows = 201;
inline constexpr int kGridCols = 10;

enum GridColumn {
    kColLabel = 0,
    kColRxFreq = 1,
    kColTxFreq = 2,
    kColRxTone = 3,
    kColTxTone = 4,
    kColPower = 5,
    kColLock = 6,
    kColScanAdd = 7,
    kColBandwidth = 8,
    kColName = 9,
};

// Cell text by row and column; text is UTF-8.
class ITextGrid {
public:
    virtual ~ITextGrid() = default;
    virtual std::string TextMatrix(int row, int col) const = 0;
    virtual void SetTextMatrix(int row, int col, const std::string& text) = 0;
};

// A plain in-memory grid for the command-line tool and the tests.
class CTextGrid : public ITextGrid {
public:
    CTextGrid() : m_cells(kGridRows * kGridCols) {}
    std::string TextMatrix(int row, int col) const override { return m_cells.at(Index(row, col)); }
    void SetTextMatrix(int row, int col, const std::string& text) override { m_cells.at(Index(row, col)) = text; }

private:
    static std::size_t Index(int row, int col)
    {
        return static_cast<std::size_t>(row) * kGridCols + static_cast<std::size_t>(col);
    }
    std::vector<std::string> m_cells;
};
