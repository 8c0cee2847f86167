#pragma once
// The channel grid's selection as the editing commands see it: the grid
// widget has one, and so has a plain selection a test sets up.
#include <set>

class IGridSelection {
public:
    virtual ~IGridSelection() = default;
    virtual std::set<int> SelectedRows() const = 0;
    virtual std::set<int> SelectedCols() const = 0;
    virtual bool IsSelected(int row, int col) const = 0;
    // Rows whose every data column is selected.
    virtual bool AreWholeRowsSelected() const = 0;
    // More than the current cell is selected.
    virtual bool HasRangeSelection() const = 0;
    // A column the user can see (the lock column may be hidden).
    virtual bool IsColumnShown(int col) const = 0;
    virtual int CurrentRow() const = 0;
    virtual int CurrentCol() const = 0;
    // The current cell at (row, col), the selection reaching from it to (toRow,
    // toCol): the current cell alone when they are the same.
    virtual void SelectRange(int row, int col, int toRow, int toCol) = 0;
    // Whole rows, the current cell on the first.
    virtual void SelectRows(const std::set<int>& rows) = 0;
};
