#pragma once
// The channel grid: a table of text cells with one fixed heading row and one
// fixed label column, a current cell the program reads and moves, and the
// notifications the channel view edits through (EnterCell, LeaveCell, Scroll,
// MouseDown). Sizes and positions are in twips (pixels * 1440 / logical dpi).
//
// The cells live in CGridModel, which is also the ITextGrid the channel codec
// reads and writes. Row 0 and column 0 are shown by the table's headers, so
// they stay in view while the data cells scroll.
#include <QAbstractTableModel>
#include <QColor>
#include <QLabel>
#include <QTableView>
#include <QVector>
#include <set>

#include "core/editor/GridSelection.h"
#include "core/radio/TextGrid.h"

// A rectangle of cells, corners included.
struct CellRange {
    int top = 0, left = 0, bottom = 0, right = 0;
    bool Contains(int row, int col) const { return row >= top && row <= bottom && col >= left && col <= right; }
    bool IsCell() const { return top == bottom && left == right; }
};

class CMSFlexGrid;
class QAccessibleInterface;

// The grid's accessibility (a table of the data cells): the factory is
// installed once per process by the grid's constructor.
void InstallGridAccessibleFactory();
// The interface of a data cell (grid row and column, the fixed ones counted),
// kept until the grid's shape changes; nullptr for a fixed or absent cell.
QAccessibleInterface* GridCellInterface(CMSFlexGrid* grid, int row, int col);

class CGridModel : public QAbstractTableModel, public ITextGrid {
    Q_OBJECT
public:
    explicit CGridModel(QObject* parent = nullptr);

    int Rows() const { return m_nRows; }
    int Cols() const { return m_nCols; }
    void Resize(int rows, int cols);

    QString Cell(int row, int col) const;
    void SetCell(int row, int col, const QString& text);

    short ColAlignment(int col) const;
    void SetColAlignment(int col, short alignment);
    // The colour set for the fixed cells, and the one they are drawn in: the
    // same, unless it would not read on the headings' ground.
    QColor FixedColor() const { return m_fixedColor; }
    QColor ShownFixedColor() const { return m_shownFixedColor; }
    void SetFixedColor(const QColor& set, const QColor& shown);

    // ITextGrid: UTF-8 text, out-of-range cells read as "" and ignore writes.
    std::string TextMatrix(int row, int col) const override;
    void SetTextMatrix(int row, int col, const std::string& text) override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    bool Valid(int row, int col) const { return row >= 0 && col >= 0 && row < m_nRows && col < m_nCols; }
    void CellChanged(int row, int col);

    int m_nRows = 0;
    int m_nCols = 0;
    QVector<QString> m_cells;
    QVector<short> m_alignment;
    QColor m_fixedColor = Qt::black;
    QColor m_shownFixedColor = Qt::black;
};

class CMSFlexGrid : public QTableView, public ITextGrid, public IGridSelection {
    Q_OBJECT
public:
    explicit CMSFlexGrid(QWidget* parent = nullptr);

    long GetRows() const { return m_model.Rows(); }
    void SetRows(long rows);
    long GetCols() const { return m_model.Cols(); }
    void SetCols(long cols);
    long GetFixedRows() const { return m_nFixedRows; }
    void SetFixedRows(long n);
    long GetFixedCols() const { return m_nFixedCols; }
    void SetFixedCols(long n);

    // The current cell. Moving it raises LeaveCell for the cell left and
    // EnterCell for the cell entered, exactly as a click does.
    long GetRow() const { return m_nRow; }
    void SetRow(long row);
    long GetCol() const { return m_nCol; }
    void SetCol(long col);

    QString GetText() const { return m_model.Cell(m_nRow, m_nCol); }
    void SetText(const QString& text) { m_model.SetCell(m_nRow, m_nCol, text); }
    QString GetTextMatrix(long row, long col) const { return m_model.Cell(row, col); }
    void SetTextMatrix(long row, long col, const QString& text) { m_model.SetCell(row, col, text); }

    // Colours are COLORREF values: 0x00BBGGRR.
    unsigned long GetForeColorFixed() const;
    void SetForeColorFixed(unsigned long colorref);
    // What the row labels and headings are drawn in: the colour set, made
    // readable on the palette's button colour they are painted on.
    QColor ShownFixedColor() const { return m_model.ShownFixedColor(); }
    long GetHighLight() const { return m_nHighLight; }
    void SetHighLight(long n);
    // The frame that marks the current cell: 0 none, 1 light (dotted), 2 heavy
    // (a solid band in the highlight colour, FocusFrameWidth pixels wide).
    long GetFocusRect() const { return m_nFocusRect; }
    void SetFocusRect(long n);
    int FocusFrameWidth() const;

    // Rectangle of the current cell in twips, relative to the area the overlay
    // editors live in (the viewport).
    long GetCellLeft() const;
    long GetCellTop() const;
    long GetCellWidth() const;
    long GetCellHeight() const;

    short GetColAlignment(long col) const { return m_model.ColAlignment(col); }
    void SetColAlignment(long col, short alignment) { m_model.SetColAlignment(col, alignment); }
    long GetColWidth(long col) const;
    void SetColWidth(long col, long twips);

    // ITextGrid over the cells, for the channel codec.
    std::string TextMatrix(int row, int col) const override { return m_model.TextMatrix(row, col); }
    void SetTextMatrix(int row, int col, const std::string& text) override { m_model.SetTextMatrix(row, col, text); }

    CGridModel& Model() { return m_model; }
    int TwipsToPixelsX(long twips) const;
    int TwipsToPixelsY(long twips) const;
    long PixelsToTwipsX(int px) const;
    long PixelsToTwipsY(int px) const;

    // Index of a cell in the table, for tests and painting.
    QRect CellRect(int row, int col) const;
    // Where a menu asked for from the keyboard opens: below the current cell.
    QPoint CurrentCellMenuPos() const;
    // What a screen reader calls a data cell: "Channel 5, Rx Frequency, 146.52000"
    // (an editor over it, which reads its own text, without the text).
    QString CellName(int row, int col, bool withText = true) const;

    // The selection: rectangles of data cells, the last one running from the
    // current cell to its extent. Moving the current cell collapses it to that
    // cell; a click with Shift extends it, with Ctrl adds to it; a press on the
    // row labels or headings selects whole rows or columns.
    QList<CellRange> SelectedRanges() const;
    // More than the current cell is selected.
    bool HasRangeSelection() const override;
    bool IsSelected(int row, int col) const override;
    std::set<int> SelectedRows() const override;
    std::set<int> SelectedCols() const override;
    // Rows whose every data column is selected.
    bool AreWholeRowsSelected() const override;
    // The current cell alone.
    void SelectCurrentCell();
    // The last range reaches from the current cell to (row, col).
    void ExtendSelection(int row, int col);
    int CurrentRow() const override { return static_cast<int>(m_nRow); }
    int CurrentCol() const override { return static_cast<int>(m_nCol); }
    void SelectRange(int row, int col, int toRow, int toCol) override
    {
        SetRow(row);
        SetCol(col);
        if (toRow != row || toCol != col)
            ExtendSelection(toRow, toCol);
    }
    // Whole rows (the current cell goes to the first, its column kept).
    void SelectRows(const std::set<int>& rows) override;
    void SelectAll();
    // The current cell was last moved by a right-button press (for the
    // context menu): no editor opens there.
    bool IsContextPress() const { return m_bContextPress; }

    // Keyboard navigation never lands on a column the user cannot see (width 0).
    bool IsColumnShown(int col) const override;
    // The next shown data column from col in direction step (+1 or -1); -1 when none.
    int NextShownCol(int col, int step) const;
    // Rows a page key moves by: the rows that fit in the viewport.
    int PageRows() const;

signals:
    void SelectionChanged();
    void ContextMenuRequested(const QPoint& globalPos);
    void EnterCell();
    void LeaveCell();
    void Scroll();
    void MouseDown(short button, short shift, int x, int y);
    // A press on the label of a selected whole channel moved far enough to
    // be a drag of the selected channels.
    void RowDragRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // keepSelection: the caller has set the selection the move belongs to.
    void MoveTo(int row, int col, bool keepSelection = false);
    void SetRanges(const QList<CellRange>& ranges);
    CellRange RangeOf(int row1, int col1, int row2, int col2) const;
    // A press or drag on the row labels (rows) or the headings (columns).
    void HeaderPress(bool rows, int index, Qt::KeyboardModifiers mods);
    void HeaderDrag(bool rows, int index);
    void ApplyFixed();
    void UpdateCorner();
    void UpdateFixedColor(const QColor& set);

    CGridModel m_model;
    QLabel* m_pCorner = nullptr;  // cell (0, 0), where both headers meet
    long m_nFixedRows = 1;
    long m_nFixedCols = 1;
    int m_nRow = 1;
    int m_nCol = 1;
    long m_nHighLight = 1;
    long m_nFocusRect = 1;
    int m_nDefaultColWidthPx = 64;
    QList<CellRange> m_ranges;  // never empty once the grid has data cells
    int m_nExtentRow = 1;       // the far corner of the last range
    int m_nExtentCol = 1;
    bool m_bDragSelecting = false;
    bool m_bContextPress = false;
    int m_nHeaderAnchor = -1;  // row or column a header drag started on
    int m_nDragRow = -1;       // label of a selected channel pressed: a drag, or a click once released
    QPoint m_dragStart;

    friend class CGridDelegate;
};
