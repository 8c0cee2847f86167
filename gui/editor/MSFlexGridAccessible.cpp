// The channel grid as a screen reader sees it: a table of the data cells (the
// heading row and the label column are its headers). The grid draws itself, so
// Qt's own table interface (which knows the item view's current index, not the
// grid's current cell and selection) is replaced through a factory.
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "gui/editor/MSFlexGrid.h"

namespace {

class CGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit CGridAccessible(CMSFlexGrid* grid);
    ~CGridAccessible() override;

    void* interface_cast(QAccessible::InterfaceType t) override;
    QAccessible::Role role() const override { return QAccessible::Table; }
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    // The selection is the user's: a reader does not change it.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // Table row and column of a grid cell, -1 when it is not one of the table.
    int TableRow(int gridRow) const;
    int TableColumn(int gridCol) const;
    QAccessibleInterface* GridCell(int gridRow, int gridCol) const;
    void ForgetCells();

private:
    CMSFlexGrid* Grid() const;
    // The grid columns the table shows: the data columns of non-zero width.
    QList<int> ShownColumns() const;

    mutable QHash<qint64, QAccessible::Id> m_cells;
};

class CGridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CGridCellAccessible(CMSFlexGrid* grid, int row, int col) : m_grid(grid), m_nRow(row), m_nCol(col) {}

    bool isValid() const override { return m_grid && m_nRow < m_grid->GetRows() && m_nCol < m_grid->GetCols(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_grid.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return m_grid->CellName(m_nRow, m_nCol);
        if (t == QAccessible::Value)
            return m_grid->GetTextMatrix(m_nRow, m_nCol);
        return {};
    }
    // A reader edits through the grid's own editors, never around its rules.
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = m_grid->CellRect(m_nRow, m_nCol);
        return QRect(m_grid->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.selectable = true;
        s.selected = m_grid->IsSelected(m_nRow, m_nCol);
        s.focused = m_grid->hasFocus() && m_grid->GetRow() == m_nRow && m_grid->GetCol() == m_nCol;
        s.invisible = !m_grid->IsColumnShown(m_nCol);
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    bool isSelected() const override { return isValid() && m_grid->IsSelected(m_nRow, m_nCol); }
    // The headings are in the name and in the table's descriptions.
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return Table() ? Table()->TableColumn(m_nCol) : -1; }
    int rowIndex() const override { return Table() ? Table()->TableRow(m_nRow) : -1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    CGridAccessible* Table() const { return dynamic_cast<CGridAccessible*>(parent()); }

    QPointer<CMSFlexGrid> m_grid;
    int m_nRow;
    int m_nCol;
};

QAccessibleInterface* GridFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("CMSFlexGrid"))
        if (auto* grid = qobject_cast<CMSFlexGrid*>(object))
            return new CGridAccessible(grid);
    return nullptr;
}

}  // namespace

void InstallGridAccessibleFactory()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(GridFactory);
    installed = true;
}

QAccessibleInterface* GridCellInterface(CMSFlexGrid* grid, int row, int col)
{
    // Another interface (one made before the factory was there) knows no cells.
    auto* table = dynamic_cast<CGridAccessible*>(QAccessible::queryAccessibleInterface(grid));
    return table ? table->GridCell(row, col) : nullptr;
}

CGridAccessible::CGridAccessible(CMSFlexGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

CGridAccessible::~CGridAccessible() { ForgetCells(); }

CMSFlexGrid* CGridAccessible::Grid() const { return static_cast<CMSFlexGrid*>(widget()); }

void* CGridAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QString CGridAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && Grid()->accessibleName().isEmpty())
        return CMSFlexGrid::tr("Channels");
    return QAccessibleWidget::text(t);
}

QList<int> CGridAccessible::ShownColumns() const
{
    QList<int> cols;
    for (int c = int(Grid()->GetFixedCols()); c < Grid()->GetCols(); ++c)
        if (Grid()->IsColumnShown(c))
            cols << c;
    return cols;
}

int CGridAccessible::rowCount() const { return std::max(0, int(Grid()->GetRows() - Grid()->GetFixedRows())); }
int CGridAccessible::columnCount() const { return int(ShownColumns().size()); }
int CGridAccessible::childCount() const { return rowCount() * columnCount(); }

int CGridAccessible::TableRow(int gridRow) const
{
    const int row = gridRow - int(Grid()->GetFixedRows());
    return row >= 0 && row < rowCount() ? row : -1;
}

int CGridAccessible::TableColumn(int gridCol) const { return int(ShownColumns().indexOf(gridCol)); }

QAccessibleInterface* CGridAccessible::GridCell(int gridRow, int gridCol) const
{
    if (TableRow(gridRow) < 0 || gridCol < Grid()->GetFixedCols() || gridCol >= Grid()->GetCols())
        return nullptr;
    const qint64 key = (qint64(gridRow) << 32) | gridCol;
    const auto it = m_cells.constFind(key);
    if (it != m_cells.constEnd())
        if (QAccessibleInterface* cell = QAccessible::accessibleInterface(*it))
            return cell;
    QAccessibleInterface* cell = new CGridCellAccessible(Grid(), gridRow, gridCol);
    m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

void CGridAccessible::ForgetCells()
{
    for (QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}

QAccessibleInterface* CGridAccessible::cellAt(int row, int column) const
{
    const QList<int> cols = ShownColumns();
    if (row < 0 || row >= rowCount() || column < 0 || column >= cols.size())
        return nullptr;
    return GridCell(row + int(Grid()->GetFixedRows()), cols[column]);
}

QAccessibleInterface* CGridAccessible::child(int index) const
{
    const int cols = columnCount();
    return cols > 0 && index >= 0 ? cellAt(index / cols, index % cols) : nullptr;
}

int CGridAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    auto* cell = child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
    if (!cell || child->parent() != this || !child->isValid())
        return -1;
    // A cell held from before the grid shrank, or in a hidden column, is no child now.
    const int row = cell->rowIndex(), column = cell->columnIndex();
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return -1;
    return row * columnCount() + column;
}

QAccessibleInterface* CGridAccessible::childAt(int x, int y) const
{
    const QPoint p = Grid()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex i = Grid()->indexAt(p);
    return i.isValid() ? GridCell(i.row(), i.column()) : nullptr;
}

QAccessibleInterface* CGridAccessible::focusChild() const
{
    return GridCell(int(Grid()->GetRow()), int(Grid()->GetCol()));
}

QList<QAccessibleInterface*> CGridAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> cells;
    const QList<int> cols = ShownColumns();
    for (int r = int(Grid()->GetFixedRows()); r < Grid()->GetRows(); ++r)
        for (int c : cols)
            if (Grid()->IsSelected(r, c))
                cells << GridCell(r, c);
    return cells;
}

int CGridAccessible::selectedCellCount() const { return int(selectedCells().size()); }

QString CGridAccessible::columnDescription(int column) const
{
    const QList<int> cols = ShownColumns();
    return column >= 0 && column < cols.size() ? Grid()->GetTextMatrix(0, cols[column]).simplified() : QString();
}

QString CGridAccessible::rowDescription(int row) const
{
    return row >= 0 && row < rowCount() ? Grid()->GetTextMatrix(row + Grid()->GetFixedRows(), 0).trimmed() : QString();
}

bool CGridAccessible::isRowSelected(int row) const
{
    const QList<int> cols = ShownColumns();
    const int r = row + int(Grid()->GetFixedRows());
    return row >= 0 && row < rowCount() && !cols.isEmpty() &&
           std::all_of(cols.begin(), cols.end(), [&](int c) { return Grid()->IsSelected(r, c); });
}

bool CGridAccessible::isColumnSelected(int column) const
{
    const QList<int> cols = ShownColumns();
    if (column < 0 || column >= cols.size() || rowCount() == 0)
        return false;
    for (int r = int(Grid()->GetFixedRows()); r < Grid()->GetRows(); ++r)
        if (!Grid()->IsSelected(r, cols[column]))
            return false;
    return true;
}

QList<int> CGridAccessible::selectedRows() const
{
    QList<int> rows;
    for (int r : Grid()->SelectedRows())
        if (isRowSelected(TableRow(r)))
            rows << TableRow(r);
    return rows;
}

QList<int> CGridAccessible::selectedColumns() const
{
    QList<int> cols;
    for (int c = 0; c < columnCount(); ++c)
        if (isColumnSelected(c))
            cols << c;
    return cols;
}

void CGridAccessible::modelChange(QAccessibleTableModelChangeEvent* event)
{
    // A cell keeps its place through a change of text; a change of shape makes new cells.
    if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
        ForgetCells();
}
