#include "gui/editor/MSFlexGrid.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <utility>

#include "gui/app/Announce.h"
#include "gui/app/Contrast.h"

namespace {

// Cell alignment codes of the grid: 0-2 left, 3-5 centre, 6-8 right; within
// each group top, middle, bottom. 9 is "general" (text left, middle).
Qt::Alignment ToQtAlignment(short a)
{
    if (a < 0 || a > 8)
        return Qt::AlignLeft | Qt::AlignVCenter;
    static const Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static const Qt::Alignment vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return horizontal[a / 3] | vertical[a % 3];
}

// The row labels' header. Its width is always fixed (the label column's
// width), so the size hint QTableView asks for on every layout need not
// measure the text of all 200 labels, as QHeaderView's own does.
class CRowHeader : public QHeaderView {
public:
    explicit CRowHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}
    QSize sizeHint() const override
    {
        if (minimumWidth() != maximumWidth())
            return QHeaderView::sizeHint();
        return {maximumWidth(), defaultSectionSize()};
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// CGridModel

CGridModel::CGridModel(QObject* parent) : QAbstractTableModel(parent) { Resize(2, 2); }

void CGridModel::Resize(int rows, int cols)
{
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    QVector<QString> cells(static_cast<qsizetype>(rows) * cols);
    for (int r = 0; r < std::min(rows, m_nRows); ++r)
        for (int c = 0; c < std::min(cols, m_nCols); ++c)
            cells[r * cols + c] = m_cells[r * m_nCols + c];
    QVector<short> alignment(cols, short(9));
    for (int c = 0; c < std::min(cols, m_nCols); ++c)
        alignment[c] = m_alignment[c];
    beginResetModel();
    m_nRows = rows;
    m_nCols = cols;
    m_cells = std::move(cells);
    m_alignment = std::move(alignment);
    endResetModel();
}

QString CGridModel::Cell(int row, int col) const { return Valid(row, col) ? m_cells[row * m_nCols + col] : QString(); }

void CGridModel::SetCell(int row, int col, const QString& text)
{
    if (!Valid(row, col))
        return;
    QString& cell = m_cells[row * m_nCols + col];
    if (cell == text)
        return;
    cell = text;
    CellChanged(row, col);
}

void CGridModel::CellChanged(int row, int col)
{
    // Row 0 and column 0 are drawn by the headers.
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    if (col == 0)
        emit headerDataChanged(Qt::Vertical, row, row);
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

std::string CGridModel::TextMatrix(int row, int col) const { return Cell(row, col).toStdString(); }

void CGridModel::SetTextMatrix(int row, int col, const std::string& text)
{
    SetCell(row, col, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

short CGridModel::ColAlignment(int col) const { return (col >= 0 && col < m_nCols) ? m_alignment[col] : short(0); }

void CGridModel::SetColAlignment(int col, short alignment)
{
    if (col < 0 || col >= m_nCols)
        return;
    m_alignment[col] = alignment;
    if (m_nRows > 0)
        emit dataChanged(index(0, col), index(m_nRows - 1, col), {Qt::TextAlignmentRole});
}

void CGridModel::SetFixedColor(const QColor& set, const QColor& shown)
{
    m_fixedColor = set;
    m_shownFixedColor = shown;
    if (m_nCols > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_nCols - 1);
    if (m_nRows > 0)
        emit headerDataChanged(Qt::Vertical, 0, m_nRows - 1);
}

int CGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_nRows; }
int CGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_nCols; }

QVariant CGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !Valid(index.row(), index.column()))
        return {};
    switch (role) {
    case Qt::DisplayRole: return Cell(index.row(), index.column());
    case Qt::TextAlignmentRole: return QVariant::fromValue(ToQtAlignment(m_alignment[index.column()]));
    default: return {};
    }
}

QVariant CGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const int row = orientation == Qt::Horizontal ? 0 : section;
    const int col = orientation == Qt::Horizontal ? section : 0;
    if (!Valid(row, col))
        return {};
    switch (role) {
    case Qt::DisplayRole: return Cell(row, col);
    case Qt::ForegroundRole: return m_shownFixedColor;
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    default: return {};
    }
}

Qt::ItemFlags CGridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

// ---------------------------------------------------------------------------
// CGridDelegate: cells are never drawn as selected or focused unless the
// grid's HighLight asks for the current cell to stand out.

class CGridDelegate : public QStyledItemDelegate {
public:
    explicit CGridDelegate(CMSFlexGrid* grid) : QStyledItemDelegate(grid), m_pGrid(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~(QStyle::State_HasFocus | QStyle::State_Selected);
        const bool current = index.row() == m_pGrid->m_nRow && index.column() == m_pGrid->m_nCol;
        if (m_pGrid->m_nHighLight != 0 && current)
            option->state |= QStyle::State_Selected;
        // A selection of more than one cell shows; the current cell keeps its frame instead.
        if (!current && m_pGrid->HasRangeSelection() && m_pGrid->IsSelected(index.row(), index.column()))
            option->state |= QStyle::State_Selected | QStyle::State_Active;
    }

private:
    CMSFlexGrid* m_pGrid;
};

// ---------------------------------------------------------------------------
// CMSFlexGrid

CMSFlexGrid::CMSFlexGrid(QWidget* parent) : QTableView(parent)
{
    // Before the model is set: a reader listening would otherwise get Qt's own table for the grid.
    InstallGridAccessibleFactory();
    setVerticalHeader(new CRowHeader(this));
    setModel(&m_model);
    setItemDelegate(new CGridDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAutoScroll(false);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::StrongFocus);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    // The control's default column width and row height follow its font.
    const QFontMetrics fm(font());
    m_nDefaultColWidthPx = fm.horizontalAdvance(QStringLiteral("0")) * 10 + 6;
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultSectionSize(m_nDefaultColWidthPx);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fm.height() + 4);
    verticalHeader()->setMinimumSectionSize(fm.height() + 4);
    verticalHeader()->setSectionsClickable(false);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setFixedWidth(m_nDefaultColWidthPx);

    m_pCorner = new QLabel(this);
    m_pCorner->setAlignment(Qt::AlignCenter);
    m_pCorner->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The corner shows cell (0, 0): a change of another row label or heading leaves it.
    connect(&m_model, &QAbstractItemModel::headerDataChanged, this, [this](Qt::Orientation, int first, int) {
        if (first == 0)
            UpdateCorner();
    });
    connect(&m_model, &QAbstractItemModel::modelReset, this, [this] { UpdateCorner(); });

    m_model.Resize(2, 2);
    ApplyFixed();
    UpdateFixedColor(m_model.FixedColor());

    // Presses on the row labels and headings select whole rows and columns.
    verticalHeader()->viewport()->installEventFilter(this);
    horizontalHeader()->viewport()->installEventFilter(this);

    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { emit Scroll(); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { emit Scroll(); });
    // The current cell's new text is announced: the user's edit. Whole rows and
    // blocks (paste, fill, a read) reach a reader as the item view's model change.
    connect(&m_model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& from, const QModelIndex& to) {
        if (from != to || from.row() != m_nRow || from.column() != m_nCol)
            return;
        if (QAccessibleInterface* cell = GridCellInterface(this, from.row(), from.column())) {
            QAccessibleValueChangeEvent changed(cell, m_model.Cell(from.row(), from.column()));
            Announce(&changed);
        }
    });
}

void CMSFlexGrid::ApplyFixed()
{
    // Row 0 and column 0 are shown by the headers, never as data cells.
    horizontalHeader()->setVisible(m_nFixedRows > 0);
    verticalHeader()->setVisible(m_nFixedCols > 0);
    for (int r = 0; r < m_model.Rows(); ++r)
        setRowHidden(r, r < m_nFixedRows);
    for (int c = 0; c < m_model.Cols(); ++c)
        setColumnHidden(c, c < m_nFixedCols);
    const int rows = m_model.Rows(), cols = m_model.Cols();
    m_nRow = std::clamp<int>(m_nRow, std::min<int>(m_nFixedRows, rows - 1), std::max(rows - 1, 0));
    m_nCol = std::clamp<int>(m_nCol, std::min<int>(m_nFixedCols, cols - 1), std::max(cols - 1, 0));
    m_ranges = {RangeOf(m_nRow, m_nCol, m_nRow, m_nCol)};
    m_nExtentRow = m_nRow;
    m_nExtentCol = m_nCol;
    viewport()->update();
}

void CMSFlexGrid::SetRows(long rows)
{
    if (rows < 0 || rows == m_model.Rows())
        return;
    m_model.Resize(static_cast<int>(rows), m_model.Cols());
    ApplyFixed();
}

void CMSFlexGrid::SetCols(long cols)
{
    if (cols < 0 || cols == m_model.Cols())
        return;
    m_model.Resize(m_model.Rows(), static_cast<int>(cols));
    ApplyFixed();
}

void CMSFlexGrid::SetFixedRows(long n)
{
    // One heading row at most: the header shows row 0.
    m_nFixedRows = std::clamp<long>(n, 0, 1);
    ApplyFixed();
}

void CMSFlexGrid::SetFixedCols(long n)
{
    m_nFixedCols = std::clamp<long>(n, 0, 1);
    ApplyFixed();
}

void CMSFlexGrid::SetRow(long row)
{
    if (row < 0 || row >= m_model.Rows())
        return;
    MoveTo(static_cast<int>(row), m_nCol);
}

void CMSFlexGrid::SetCol(long col)
{
    if (col < 0 || col >= m_model.Cols())
        return;
    MoveTo(m_nRow, static_cast<int>(col));
}

void CMSFlexGrid::MoveTo(int row, int col, bool keepSelection)
{
    if (row == m_nRow && col == m_nCol) {
        if (!keepSelection && HasRangeSelection())
            SelectCurrentCell();
        return;
    }
    emit LeaveCell();
    m_nRow = row;
    m_nCol = col;
    if (!keepSelection) {
        const bool wasRange = HasRangeSelection();
        m_ranges = {RangeOf(row, col, row, col)};
        m_nExtentRow = row;
        m_nExtentCol = col;
        if (wasRange)
            emit SelectionChanged();
    }
    // Bring the new cell into view before EnterCell, so that the editor the
    // view opens there is placed after any scrolling, not discarded by it.
    if (row >= m_nFixedRows && col >= m_nFixedCols)
        scrollTo(m_model.index(row, col), QAbstractItemView::EnsureVisible);
    viewport()->update();
    emit EnterCell();
    // A reader announces the cell entered; an editor the view opened there (and
    // took the focus to) announces itself.
    if (hasFocus())
        if (QAccessibleInterface* cell = GridCellInterface(this, row, col)) {
            QAccessibleEvent focus(cell, QAccessible::Focus);
            Announce(&focus);
        }
}

unsigned long CMSFlexGrid::GetForeColorFixed() const
{
    const QColor c = m_model.FixedColor();
    return static_cast<unsigned long>(c.red()) | (static_cast<unsigned long>(c.green()) << 8) |
           (static_cast<unsigned long>(c.blue()) << 16);
}

void CMSFlexGrid::SetForeColorFixed(unsigned long colorref)
{
    UpdateFixedColor(QColor(int(colorref & 0xFF), int((colorref >> 8) & 0xFF), int((colorref >> 16) & 0xFF)));
}

void CMSFlexGrid::UpdateFixedColor(const QColor& set)
{
    // The headers inherit the grid's palette; they paint their sections on its button colour.
    const QColor shown = ReadableOn(set, palette().color(QPalette::Button));
    if (set != m_model.FixedColor() || shown != m_model.ShownFixedColor())
        m_model.SetFixedColor(set, shown);
}

void CMSFlexGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    // A dark desktop palette, set now or later, would hide the blue headings.
    if (event->type() == QEvent::PaletteChange)
        UpdateFixedColor(m_model.FixedColor());
}

void CMSFlexGrid::SetHighLight(long n)
{
    m_nHighLight = n;
    viewport()->update();
}

void CMSFlexGrid::SetFocusRect(long n)
{
    m_nFocusRect = std::clamp<long>(n, 0, 2);
    viewport()->update();
}

int CMSFlexGrid::FocusFrameWidth() const { return static_cast<int>(m_nFocusRect); }

int CMSFlexGrid::TwipsToPixelsX(long twips) const { return static_cast<int>(twips * logicalDpiX() / 1440); }
int CMSFlexGrid::TwipsToPixelsY(long twips) const { return static_cast<int>(twips * logicalDpiY() / 1440); }
long CMSFlexGrid::PixelsToTwipsX(int px) const { return static_cast<long>(px) * 1440 / logicalDpiX(); }
long CMSFlexGrid::PixelsToTwipsY(int px) const { return static_cast<long>(px) * 1440 / logicalDpiY(); }

QRect CMSFlexGrid::CellRect(int row, int col) const { return visualRect(m_model.index(row, col)); }

QPoint CMSFlexGrid::CurrentCellMenuPos() const
{
    return viewport()->mapToGlobal(CellRect(m_nRow, m_nCol).bottomLeft());
}

QString CMSFlexGrid::CellName(int row, int col, bool withText) const
{
    const QString channel = GetTextMatrix(row, 0).trimmed();
    const QString heading = GetTextMatrix(0, col).simplified();
    const QString text = withText ? GetTextMatrix(row, col) : QString();
    return text.isEmpty() ? tr("Channel %1, %2").arg(channel, heading)
                          : tr("Channel %1, %2, %3").arg(channel, heading, text);
}

bool CMSFlexGrid::IsColumnShown(int col) const
{
    return col >= m_nFixedCols && col < m_model.Cols() && !isColumnHidden(col) && columnWidth(col) > 0;
}

int CMSFlexGrid::NextShownCol(int col, int step) const
{
    for (int c = col + step; c >= m_nFixedCols && c < m_model.Cols(); c += step)
        if (IsColumnShown(c))
            return c;
    return -1;
}

int CMSFlexGrid::PageRows() const { return std::max(1, viewport()->height() / std::max(1, rowHeight(m_nRow))); }

long CMSFlexGrid::GetCellLeft() const { return PixelsToTwipsX(CellRect(m_nRow, m_nCol).left()); }
long CMSFlexGrid::GetCellTop() const { return PixelsToTwipsY(CellRect(m_nRow, m_nCol).top()); }
long CMSFlexGrid::GetCellWidth() const { return PixelsToTwipsX(columnWidth(m_nCol)); }
long CMSFlexGrid::GetCellHeight() const { return PixelsToTwipsY(rowHeight(m_nRow)); }

long CMSFlexGrid::GetColWidth(long col) const
{
    if (col < 0 || col >= m_model.Cols())
        return 0;
    if (col < m_nFixedCols)
        return PixelsToTwipsX(verticalHeader()->width());
    return PixelsToTwipsX(columnWidth(static_cast<int>(col)));
}

void CMSFlexGrid::SetColWidth(long col, long twips)
{
    if (col < 0 || col >= m_model.Cols() || twips < 0)
        return;
    const int px = TwipsToPixelsX(twips);
    if (col < m_nFixedCols)
        verticalHeader()->setFixedWidth(px);
    else
        setColumnWidth(static_cast<int>(col), px);
}

void CMSFlexGrid::mousePressEvent(QMouseEvent* event)
{
    // A click makes the cell under the mouse current (one LeaveCell, one
    // EnterCell), then reports MouseDown; clicking the current cell again only
    // reports MouseDown, which reopens its editor.
    const QModelIndex i = indexAt(event->position().toPoint());
    const bool onCell = i.isValid() && i.row() >= m_nFixedRows && i.column() >= m_nFixedCols;
    const bool left = event->button() == Qt::LeftButton;
    m_bContextPress = false;
    if (onCell && left && (event->modifiers() & Qt::ShiftModifier)) {
        ExtendSelection(i.row(), i.column());
    } else if (onCell && left && (event->modifiers() & Qt::ControlModifier)) {
        QList<CellRange> ranges = m_ranges;
        ranges << RangeOf(i.row(), i.column(), i.row(), i.column());
        m_ranges = ranges;
        m_nExtentRow = i.row();
        m_nExtentCol = i.column();
        MoveTo(i.row(), i.column(), true);
        viewport()->update();
        emit SelectionChanged();
    } else if (onCell && !left && IsSelected(i.row(), i.column())) {
        // A right press inside the selection keeps it for the context menu.
        m_bContextPress = true;
    } else if (onCell) {
        m_bContextPress = !left;
        MoveTo(i.row(), i.column());
        m_bDragSelecting = left;
    }
    short shift = 0;
    if (event->modifiers() & Qt::ShiftModifier)
        shift |= 1;
    if (event->modifiers() & Qt::ControlModifier)
        shift |= 2;
    if (event->modifiers() & Qt::AltModifier)
        shift |= 4;
    short button = 0;
    if (event->button() == Qt::LeftButton)
        button = 1;
    else if (event->button() == Qt::RightButton)
        button = 2;
    else if (event->button() == Qt::MiddleButton)
        button = 4;
    const QPoint p = event->position().toPoint();
    emit MouseDown(button, shift, p.x(), p.y());
    m_bContextPress = false;  // it only holds while this press moves the current cell
    event->accept();
}

// The grid keeps its own selection and has no in-place editing: the item
// view's own mouse handling (selection, drag, edit triggers) stays out of the way.
void CMSFlexGrid::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (!m_bDragSelecting || !(event->buttons() & Qt::LeftButton))
        return;
    const QModelIndex i = indexAt(event->position().toPoint());
    if (i.isValid() && i.row() >= m_nFixedRows && i.column() >= m_nFixedCols &&
        (i.row() != m_nExtentRow || i.column() != m_nExtentCol))
        ExtendSelection(i.row(), i.column());
}

void CMSFlexGrid::mouseReleaseEvent(QMouseEvent* event)
{
    m_bDragSelecting = false;
    event->accept();
}
void CMSFlexGrid::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CMSFlexGrid::keyPressEvent(QKeyEvent* event)
{
    // With the focus on the grid itself the arrow keys move the current cell,
    // across columns without width as if they were not there.
    const int firstRow = static_cast<int>(m_nFixedRows);
    const int lastRow = m_model.Rows() - 1;
    const int page = PageRows();
    // With Shift the far corner of the selection moves instead of the current cell.
    const bool extend = (event->modifiers() & Qt::ShiftModifier) != 0;
    int row = extend ? m_nExtentRow : m_nRow, col = extend ? m_nExtentCol : m_nCol;
    auto shownFrom = [this](int c, int step) { return IsColumnShown(c) ? c : NextShownCol(c, step); };
    switch (event->key()) {
    case Qt::Key_Up: row = std::max(firstRow, row - 1); break;
    case Qt::Key_Down: row = std::min(lastRow, row + 1); break;
    case Qt::Key_Left: col = NextShownCol(col, -1); break;
    case Qt::Key_Right: col = NextShownCol(col, +1); break;
    case Qt::Key_PageUp: row = std::max(firstRow, row - page); break;
    case Qt::Key_PageDown: row = std::min(lastRow, row + page); break;
    case Qt::Key_Home: col = shownFrom(static_cast<int>(m_nFixedCols), +1); break;
    case Qt::Key_End: col = shownFrom(m_model.Cols() - 1, -1); break;
    default: event->ignore(); return;
    }
    if (col >= 0 && extend) {
        ExtendSelection(row, col);
        scrollTo(m_model.index(row, col));
    } else if (col >= 0) {
        MoveTo(row, col);
    }
    event->accept();
}

void CMSFlexGrid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    const QRect cell = CellRect(m_nRow, m_nCol);
    if (m_nFocusRect == 0 || cell.width() <= 0 || cell.height() <= 0 || m_nRow < m_nFixedRows || m_nCol < m_nFixedCols)
        return;
    QPainter painter(viewport());
    if (m_nFocusRect == 1) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = cell;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        return;
    }
    // A band inside the cell's edges: an editor laid inside it leaves it visible.
    const QColor color = palette().color(QPalette::Active, QPalette::Highlight);
    const int w = FocusFrameWidth();
    painter.fillRect(QRect(cell.left(), cell.top(), cell.width(), w), color);
    painter.fillRect(QRect(cell.left(), cell.bottom() - w + 1, cell.width(), w), color);
    painter.fillRect(QRect(cell.left(), cell.top(), w, cell.height()), color);
    painter.fillRect(QRect(cell.right() - w + 1, cell.top(), w, cell.height()), color);
}

void CMSFlexGrid::contextMenuEvent(QContextMenuEvent* event)
{
    // From the cells, the row labels and the headings alike, at the pointer;
    // from the keyboard, below the current cell.
    emit ContextMenuRequested(event->reason() == QContextMenuEvent::Keyboard ? CurrentCellMenuPos()
                                                                             : event->globalPos());
    event->accept();
}

void CMSFlexGrid::focusInEvent(QFocusEvent* event)
{
    // The item view would make its first cell current on focus; the grid keeps
    // its own current cell, so only repaint.
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void CMSFlexGrid::UpdateCorner()
{
    m_pCorner->setText(m_model.Cell(0, 0));
    QPalette p = m_pCorner->palette();
    p.setColor(QPalette::WindowText, m_model.ShownFixedColor());
    m_pCorner->setPalette(p);
}

void CMSFlexGrid::updateGeometries()
{
    QTableView::updateGeometries();
    if (!m_pCorner)  // called by setModel, before the corner exists
        return;
    // The corner cell belongs to both the heading row and the label column.
    const bool both = m_nFixedRows > 0 && m_nFixedCols > 0;
    m_pCorner->setVisible(both);
    if (both) {
        const int f = frameWidth();
        m_pCorner->setGeometry(f, f, verticalHeader()->width(), horizontalHeader()->height());
        m_pCorner->raise();
    }
}

// ---------------------------------------------------------------------------
// Selection

CellRange CMSFlexGrid::RangeOf(int row1, int col1, int row2, int col2) const
{
    return {std::min(row1, row2), std::min(col1, col2), std::max(row1, row2), std::max(col1, col2)};
}

void CMSFlexGrid::SetRanges(const QList<CellRange>& ranges)
{
    m_ranges = ranges;
    viewport()->update();
    emit SelectionChanged();
}

QList<CellRange> CMSFlexGrid::SelectedRanges() const { return m_ranges; }

bool CMSFlexGrid::HasRangeSelection() const
{
    return m_ranges.size() > 1 || (m_ranges.size() == 1 && !m_ranges.front().IsCell());
}

bool CMSFlexGrid::IsSelected(int row, int col) const
{
    for (const CellRange& r : m_ranges)
        if (r.Contains(row, col))
            return true;
    return false;
}

std::set<int> CMSFlexGrid::SelectedRows() const
{
    std::set<int> rows;
    for (const CellRange& r : m_ranges)
        for (int row = r.top; row <= r.bottom; ++row)
            rows.insert(row);
    return rows;
}

std::set<int> CMSFlexGrid::SelectedCols() const
{
    std::set<int> cols;
    for (const CellRange& r : m_ranges)
        for (int col = r.left; col <= r.right; ++col)
            cols.insert(col);
    return cols;
}

bool CMSFlexGrid::AreWholeRowsSelected() const
{
    for (int row : SelectedRows())
        for (int col = static_cast<int>(m_nFixedCols); col < m_model.Cols(); ++col)
            if (!IsSelected(row, col))
                return false;
    return true;
}

void CMSFlexGrid::SelectCurrentCell()
{
    m_nExtentRow = m_nRow;
    m_nExtentCol = m_nCol;
    SetRanges({RangeOf(m_nRow, m_nCol, m_nRow, m_nCol)});
}

void CMSFlexGrid::ExtendSelection(int row, int col)
{
    row = std::clamp<int>(row, static_cast<int>(m_nFixedRows), m_model.Rows() - 1);
    col = std::clamp<int>(col, static_cast<int>(m_nFixedCols), m_model.Cols() - 1);
    QList<CellRange> ranges = m_ranges;
    if (ranges.isEmpty())
        ranges << CellRange{};
    ranges.back() = RangeOf(m_nRow, m_nCol, row, col);
    m_nExtentRow = row;
    m_nExtentCol = col;
    SetRanges(ranges);
}

void CMSFlexGrid::SelectRows(const std::set<int>& rows)
{
    QList<CellRange> ranges;
    const int lastCol = m_model.Cols() - 1;
    for (int row : rows) {
        if (row < m_nFixedRows || row >= m_model.Rows())
            continue;
        if (!ranges.isEmpty() && ranges.back().bottom == row - 1)
            ranges.back().bottom = row;
        else
            ranges << CellRange{row, static_cast<int>(m_nFixedCols), row, lastCol};
    }
    if (ranges.isEmpty())
        return;
    m_ranges = ranges;
    MoveTo(ranges.front().top, m_nCol, true);
    m_nExtentRow = ranges.back().bottom;
    m_nExtentCol = lastCol;
    SetRanges(ranges);
}

void CMSFlexGrid::SelectAll()
{
    m_nExtentRow = m_model.Rows() - 1;
    m_nExtentCol = m_model.Cols() - 1;
    SetRanges({RangeOf(static_cast<int>(m_nFixedRows), static_cast<int>(m_nFixedCols), m_nExtentRow, m_nExtentCol)});
}

void CMSFlexGrid::HeaderPress(bool rows, int index, Qt::KeyboardModifiers mods)
{
    const int firstRow = static_cast<int>(m_nFixedRows), lastRow = m_model.Rows() - 1;
    const int firstCol = static_cast<int>(m_nFixedCols), lastCol = m_model.Cols() - 1;
    auto span = [&](int from, int to) {
        return rows ? RangeOf(from, firstCol, to, lastCol) : RangeOf(firstRow, from, lastRow, to);
    };
    QList<CellRange> ranges;
    if (mods & Qt::ShiftModifier) {
        m_nHeaderAnchor = rows ? m_nRow : m_nCol;
        ranges = m_ranges;
        ranges.back() = span(m_nHeaderAnchor, index);
    } else {
        m_nHeaderAnchor = index;
        if (mods & Qt::ControlModifier)
            ranges = m_ranges;
        ranges << span(index, index);
    }
    m_ranges = ranges;
    if (!(mods & Qt::ShiftModifier)) {
        // The current cell goes into the new row (or column), keeping its column (row).
        const int col = IsColumnShown(m_nCol) ? m_nCol : NextShownCol(0, +1);
        MoveTo(rows ? index : m_nRow, rows ? col : index, true);
    }
    m_nExtentRow = rows ? index : lastRow;
    m_nExtentCol = rows ? lastCol : index;
    SetRanges(ranges);
}

void CMSFlexGrid::HeaderDrag(bool rows, int index)
{
    if (m_nHeaderAnchor < 0 || m_ranges.isEmpty())
        return;
    QList<CellRange> ranges = m_ranges;
    ranges.back() = rows ? RangeOf(m_nHeaderAnchor, static_cast<int>(m_nFixedCols), index, m_model.Cols() - 1)
                         : RangeOf(static_cast<int>(m_nFixedRows), m_nHeaderAnchor, m_model.Rows() - 1, index);
    if (ranges.back().top != m_ranges.back().top || ranges.back().bottom != m_ranges.back().bottom ||
        ranges.back().left != m_ranges.back().left || ranges.back().right != m_ranges.back().right)
        SetRanges(ranges);
}

bool CMSFlexGrid::eventFilter(QObject* watched, QEvent* event)
{
    const bool rows = watched == verticalHeader()->viewport();
    if (!rows && watched != horizontalHeader()->viewport())
        return QTableView::eventFilter(watched, event);
    QHeaderView* header = rows ? verticalHeader() : horizontalHeader();
    const int fixed = static_cast<int>(rows ? m_nFixedRows : m_nFixedCols);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint p = me->position().toPoint();
        const int index = header->logicalIndexAt(rows ? p.y() : p.x());
        if (index < fixed)
            return true;
        // A right press on a selected row keeps the selection for the context menu.
        const bool keep = me->button() == Qt::RightButton &&
                          (rows ? IsSelected(index, NextShownCol(0, +1)) : IsSelected(m_nRow, index));
        // A press on a selected channel's label may start a drag of the
        // selected channels; it selects that channel alone only when released.
        if (rows && me->button() == Qt::LeftButton && me->modifiers() == Qt::NoModifier && AreWholeRowsSelected() &&
            IsSelected(index, NextShownCol(0, +1))) {
            m_nDragRow = index;
            m_dragStart = p;
            return true;
        }
        m_bContextPress = me->button() != Qt::LeftButton;
        if (!keep)
            HeaderPress(rows, index, me->button() == Qt::LeftButton ? me->modifiers() : Qt::NoModifier);
        m_bContextPress = false;
        if (me->button() != Qt::LeftButton)
            m_nHeaderAnchor = -1;
        return true;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint p = me->position().toPoint();
        if (m_nDragRow >= 0 && (me->buttons() & Qt::LeftButton)) {
            if ((p - m_dragStart).manhattanLength() >= QApplication::startDragDistance()) {
                m_nDragRow = -1;
                emit RowDragRequested();
            }
            return true;
        }
        if (m_nHeaderAnchor < 0 || !(me->buttons() & Qt::LeftButton))
            return false;
        const int index = header->logicalIndexAt(rows ? p.y() : p.x());
        if (index >= fixed)
            HeaderDrag(rows, index);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (const int pressed = std::exchange(m_nDragRow, -1); pressed >= 0)
            HeaderPress(rows, pressed, Qt::NoModifier);
        m_nHeaderAnchor = -1;
        return true;
    default: return QTableView::eventFilter(watched, event);
    }
}
