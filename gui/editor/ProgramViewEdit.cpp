// The channel view's editing commands: undo and redo, the clipboard, whole
// channels, fill and find. Every change goes through the core's rules and
// ends as one undo step of the document.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "core/app/Globals.h"
#include "core/app/StringIds.h"
#include "core/editor/ChannelRows.h"
#include "core/exchange/ImportPreview.h"
#include "core/radio/ChannelCodec.h"
#include "core/exchange/CsvChannels.h"
#include "core/radio/DatFile.h"
#include "core/files/TextFile.h"
#include "gui/app/LastFolder.h"
#include "gui/app/MessageBox.h"
#include "gui/app/StringTable.h"
#include "gui/editor/ImportPreviewDlg.h"
#include "gui/editor/ProgramView.h"
#include "report/CorePath.h"

namespace {

constexpr const char* kCsvMime = "text/csv";

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::vector<int> Sorted(const std::set<int>& s) { return {s.begin(), s.end()}; }

}  // namespace

// ---------------------------------------------------------------------------
// Undo and redo

void CProgramView::FlushEdits()
{
    CommitEditor(CommitTrigger::LeaveCell);
    RecordBandBoxes();
}

void CProgramView::RecordBandBoxes()
{
    const CEditSnapshot* last = m_pDocument ? m_pDocument->LastState() : nullptr;
    if (last && last->Bands() != BandBoxTexts())
        m_pDocument->RecordChange(tr("Band Limits"));
}

void CProgramView::OnEditUndo()
{
    if (!m_pDocument || RefuseChange())
        return;
    // Text typed into an open editor is the latest change: only it goes.
    if (auto* edit = qobject_cast<QLineEdit*>(OpenEditor()); edit && edit->text() != m_grid.GetText()) {
        CancelEditor();
        return;
    }
    HideEditor(OpenEditor());
    RecordBandBoxes();
    m_pDocument->UndoStack()->undo();
}

void CProgramView::OnEditRedo()
{
    if (!m_pDocument || RefuseChange())
        return;
    HideEditor(OpenEditor());
    m_pDocument->UndoStack()->redo();
}

void CProgramView::OnSelectionChanged()
{
    if (m_grid.HasRangeSelection() && OpenEditor()) {
        CommitEditor(CommitTrigger::LeaveCell);
        HideEditor(OpenEditor());
    }
}

bool CProgramView::RefuseChange()
{
    if (!IsReadOnly())
        return false;
    MessageRequest r;
    r.parent = this;
    r.text = m_pDocument->ReadOnlyReason();
    r.icon = QMessageBox::Information;
    AppMessageBox(r);
    return true;
}

bool CProgramView::BeginChange()
{
    if (RefuseChange())
        return false;
    BeginEdit();
    return true;
}

void CProgramView::BeginEdit()
{
    FlushEdits();
    HideEditor(OpenEditor());
}

// ---------------------------------------------------------------------------
// Clipboard

void CProgramView::CopySelection(bool headings)
{
    CommitEditor(CommitTrigger::LeaveCell);
    const std::vector<int> cols = CopiedColumns(m_grid.SelectedCols());
    const TextBlock block = CopyBlock(m_grid, Sorted(m_grid.SelectedRows()), cols, headings);
    auto* mime = new QMimeData;
    mime->setText(Q(BlockToTsv(block)));
    mime->setData(QString::fromLatin1(kCsvMime), QByteArray::fromStdString(BlockToCsv(block)));
    QApplication::clipboard()->setMimeData(mime);
}

void CProgramView::OnEditCopy() { CopySelection(false); }

void CProgramView::OnEditCopyWithHeadings() { CopySelection(true); }

void CProgramView::OnEditCut()
{
    if (RefuseChange())
        return;
    CopySelection(false);
    ClearSelectedCells(tr("Cut %n channel(s)", nullptr, static_cast<int>(m_grid.SelectedRows().size())));
}

void CProgramView::OnEditClear()
{
    if (RefuseChange())
        return;
    ClearSelectedCells(tr("Clear %n channel(s)", nullptr, static_cast<int>(m_grid.SelectedRows().size())));
}

void CProgramView::ClearSelectedCells(const QString& action)
{
    BeginEdit();
    // What typing can empty: the frequencies and the name. A list always shows
    // an item, and an empty Rx Frequency empties the whole channel anyway.
    std::vector<CellText> cells;
    for (int row : m_grid.SelectedRows())
        for (int col : m_grid.SelectedCols())
            if (m_grid.IsSelected(row, col) && (col == kColRxFreq || col == kColTxFreq || col == kColName))
                cells.push_back({row, col, std::string()});
    EnterAndRecord(cells, 0, QString(), action);
}

void CProgramView::OnEditPaste()
{
    if (!BeginChange())
        return;
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime)
        return;
    const bool csv = mime->hasFormat(QString::fromLatin1(kCsvMime));
    const std::string text = csv ? mime->data(QString::fromLatin1(kCsvMime)).toStdString() : mime->text().toStdString();
    const PastedBlock block = ParsePastedText(text, csv);
    if (block.rows.empty())
        return;
    const std::set<int> rows = m_grid.SelectedRows();
    const std::set<int> cols = m_grid.SelectedCols();
    const int top = *rows.begin();
    const int left = m_grid.AreWholeRowsSelected() ? kColRxFreq : *cols.begin();
    std::vector<CellText> cells;
    int beyond = 0;
    if (block.rows.size() == 1 && block.rows.front().size() == 1 && block.columns.empty() &&
        m_grid.HasRangeSelection()) {
        // One value fills every selected cell the user can see.
        for (int row : rows)
            for (int col : cols)
                if (m_grid.IsSelected(row, col) && m_grid.IsColumnShown(col))
                    cells.push_back({row, col, block.rows.front().front()});
    } else {
        cells = PlaceBlock(block, top, left, beyond);
    }
    std::set<int> touched;
    for (const CellText& c : cells)
        touched.insert(c.row);
    EnterAndRecord(cells, beyond, tr("Not pasted:"),
                   tr("Paste %n channel(s)", nullptr, static_cast<int>(touched.size())));
    // The pasted rows stay selected.
    if (cells.size() > 1) {
        std::set<int> pastedCols;
        for (const CellText& c : cells)
            pastedCols.insert(c.col);
        m_grid.SetRow(top);
        m_grid.SetCol(*pastedCols.begin());
        m_grid.ExtendSelection(*touched.rbegin(), *pastedCols.rbegin());
    }
}

void CProgramView::EnterAndRecord(const std::vector<CellText>& cells, int beyond, const QString& refusedHeading,
                                  const QString& action)
{
    const bool chinese = g_bChinese != 0;
    const EntryReport report = EnterCells(m_grid, cells, chinese);
    if (m_pDocument)
        m_pDocument->RecordChange(action);
    if (report.refused.empty() && beyond == 0)
        return;
    QStringList lines;
    for (const RefusedCell& r : report.refused) {
        const QString value = Q(r.text);
        QString why;
        switch (r.why) {
        case CellRefusal::NotAFrequency:
            why = tr("\"%1\" is not a frequency (megahertz with up to five decimals, e.g. 145.125; \"MHz\" or \"M\" "
                     "may follow)")
                      .arg(value);
            break;
        case CellRefusal::OutOfRange:
            why = tr("\"%1\" is out of range: %2").arg(value, Q(BandRangesText(chinese)));
            break;
        case CellRefusal::OffStep: why = tr("\"%1\" is not on the 2.5 kHz or 6.25 kHz step").arg(value); break;
        case CellRefusal::NotInList: why = tr("\"%1\" is not one of this column's items").arg(value); break;
        case CellRefusal::EmptyChannel: why = tr("\"%1\" needs a channel with an Rx Frequency").arg(value); break;
        case CellRefusal::BeyondLastChannel:
        case CellRefusal::None: why = tr("\"%1\" lies outside the grid").arg(value); break;
        }
        if (r.withheld > 0)
            why += tr("; the channel's %n other cell(s) were not entered either", nullptr, r.withheld);
        lines << CellName(r.row, r.col) + QStringLiteral(": ") + why;
    }
    if (beyond > 0)
        lines << tr("%n cell(s) beyond the last channel or column were left out.", nullptr, beyond);
    // Every refusal is listed, however many: the box shows the list in an area
    // that scrolls and can be copied.
    MessageRequest request;
    request.parent = this;
    request.caption = LoadStringRes(IDS_CAUTION);
    int cellsLeft = beyond;
    for (const RefusedCell& r : report.refused)
        cellsLeft += 1 + r.withheld;
    request.text =
        tr("%1 %n cell(s)", nullptr, cellsLeft).arg(refusedHeading.isEmpty() ? tr("Not changed:") : refusedHeading);
    request.detail = lines.join(QLatin1Char('\n'));
    request.icon = QMessageBox::Warning;
    AppMessageBox(request);
}

void CProgramView::OnEditSelectAll()
{
    BeginEdit();
    m_grid.SelectAll();
}

// ---------------------------------------------------------------------------
// Whole channels

std::set<int> CProgramView::SelectedChannelRows() const
{
    std::set<int> rows = m_grid.SelectedRows();
    rows.erase(1);
    return rows;
}

void CProgramView::ApplyOrder(const std::vector<int>& order, const QString& action, const std::set<int>& selectAfter)
{
    if (order.empty() || IsIdentity(order) || !m_pDocument)
        return;
    ApplyChannelOrder(order, m_pDocument->m_image, m_grid);
    m_pDocument->RecordChange(action);
    if (!selectAfter.empty())
        m_grid.SelectRows(selectAfter);
}

void CProgramView::OnInsertChannels()
{
    if (!BeginChange())
        return;
    const std::set<int> rows = SelectedChannelRows();
    if (rows.empty())
        return;
    const int first = *rows.begin();
    const int count = static_cast<int>(rows.size());
    int blocking = 0;
    const ChannelOrder order = InsertEmptyOrder(m_grid, first, count, blocking);
    if (order.empty()) {
        if (blocking > 0)
            AppMessageBox(this,
                          tr("Channel %1 is in use: inserting %n empty channel(s) would push it off the end. "
                             "Delete or move the last channels first.",
                             nullptr, count)
                              .arg(blocking - 1),
                          QMessageBox::Ok, QMessageBox::Warning, LoadStringRes(IDS_CAUTION));
        return;
    }
    std::set<int> inserted;
    for (int r = first; r < first + count; ++r)
        inserted.insert(r);
    ApplyOrder(order, tr("Insert %n Empty Channel(s)", nullptr, count), inserted);
}

void CProgramView::OnDeleteChannels()
{
    if (!BeginChange())
        return;
    const std::set<int> rows = SelectedChannelRows();
    if (rows.empty())
        return;
    ApplyOrder(DeleteOrder(rows), tr("Delete %n Channel(s)", nullptr, static_cast<int>(rows.size())), {*rows.begin()});
}

void CProgramView::MoveChannels(int delta)
{
    if (!BeginChange())
        return;
    const std::set<int> rows = SelectedChannelRows();
    const ChannelOrder order = MoveOrder(rows, delta);
    ApplyOrder(order, delta < 0 ? tr("Move Up") : tr("Move Down"), RowsAfter(order, rows));
}

void CProgramView::OnMoveChannelsUp() { MoveChannels(-1); }

void CProgramView::OnMoveChannelsDown() { MoveChannels(+1); }

void CProgramView::OnClearChannels()
{
    if (!BeginChange())
        return;
    std::vector<CellText> cells;
    for (int row : m_grid.SelectedRows())
        cells.push_back({row, kColRxFreq, std::string()});
    EnterAndRecord(cells, 0, QString(), tr("Clear %n channel(s)", nullptr, static_cast<int>(cells.size())));
}

void CProgramView::SortChannels(int key, const QString& action)
{
    if (!BeginChange())
        return;
    const std::set<int> rows = SelectedChannelRows();
    // A range of channels sorts in itself; otherwise all of them.
    const bool range = rows.size() >= 2;
    const int first = range ? *rows.begin() : kFirstChannelRow;
    const int last = range ? *rows.rbegin() : kGridRows - 1;
    std::set<int> sorted;
    if (range)
        for (int r = first; r <= last; ++r)
            sorted.insert(r);
    ApplyOrder(SortOrder(m_grid, first, last, static_cast<SortKey>(key)), action, sorted);
}

void CProgramView::OnSortByRxFrequency()
{
    SortChannels(static_cast<int>(SortKey::RxFrequency), tr("Sort by Rx Frequency"));
}

void CProgramView::OnSortByName() { SortChannels(static_cast<int>(SortKey::Name), tr("Sort by Name")); }

void CProgramView::OnSortByTone() { SortChannels(static_cast<int>(SortKey::Tone), tr("Sort by Tone")); }

// ---------------------------------------------------------------------------
// Fill

void CProgramView::OnFillDown()
{
    if (!BeginChange())
        return;
    std::vector<int> cols;
    for (int col : m_grid.SelectedCols())
        if (col >= kColRxFreq && (m_grid.AreWholeRowsSelected() || m_grid.IsColumnShown(col)))
            cols.push_back(col);
    EnterAndRecord(FillDownCells(m_grid, Sorted(m_grid.SelectedRows()), cols), 0, tr("Not filled:"), tr("Fill Down"));
}

void CProgramView::FillSeries(long stepUnits)
{
    if (!BeginChange())
        return;
    EnterAndRecord(FillSeriesCells(m_grid, Sorted(m_grid.SelectedRows()), stepUnits), 0, tr("Not filled:"),
                   tr("Fill Series"));
}

void CProgramView::OnFillSeries6k25() { FillSeries(625); }

void CProgramView::OnFillSeries12k5() { FillSeries(1250); }

void CProgramView::OnFillSeries25k() { FillSeries(2500); }

// ---------------------------------------------------------------------------
// Find

void CProgramView::OnEditFind()
{
    BeginEdit();
    QDialog dlg(this);
    dlg.setObjectName(QStringLiteral("FindDlg"));
    dlg.setWindowTitle(tr("Find"));
    auto* edit = new QLineEdit(m_strFind, &dlg);
    edit->setObjectName(QStringLiteral("FindText"));
    edit->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Find Next"));
    connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(new QLabel(tr("A channel name, or a frequency (145.5 finds 145.50000):"), &dlg));
    layout->addWidget(edit);
    layout->addWidget(buttons);
    if (ExecDialog(&dlg) != QDialog::Accepted || edit->text().trimmed().isEmpty())
        return;
    m_strFind = edit->text();
    FindFrom(static_cast<int>(m_grid.GetRow()));
}

void CProgramView::OnEditFindNext()
{
    if (m_strFind.isEmpty()) {
        OnEditFind();
        return;
    }
    BeginEdit();
    FindFrom(static_cast<int>(m_grid.GetRow()));
}

void CProgramView::FindFrom(int row)
{
    int col = 0;
    const int found = FindChannel(m_grid, m_strFind.toStdString(), row, col);
    if (!found) {
        AppMessageBox(this, tr("No channel matches \"%1\".").arg(m_strFind), QMessageBox::Ok, QMessageBox::Information);
        return;
    }
    m_grid.SetRow(found);
    m_grid.SetCol(col);
}

// ---------------------------------------------------------------------------
// Channel lists

namespace {
// The two layouts a file dialog offers, grid first.
QStringList CsvFilters()
{
    return {CProgramView::tr("Channel grid, as progtool export (*.csv)"),
            CProgramView::tr("Channel list, Location,Name,Frequency,... (*.csv)")};
}
}  // namespace

void CProgramView::OnImportChannels()
{
    if (!BeginChange())
        return;
    QFileDialog dlg(this, tr("Import Channels"));
    dlg.setObjectName(QStringLiteral("ImportChannelsDlg"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters(CsvFilters());
    OpenInLastFolder(dlg, FolderKind::Channels);
    if (ExecDialog(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty() || !m_pDocument)
        return;
    const QString path = dlg.selectedFiles().constFirst();
    RememberFolder(FolderKind::Channels, path);
    const CsvFormat chosen = dlg.selectedNameFilter() == CsvFilters().at(1) ? CsvFormat::Chirp : CsvFormat::Grid;
    const TextFileResult csv = ReadBoundedTextFile(CorePath(path));
    if (!csv.ok) {
        AppMessageBox(this, tr("%1 cannot be read: %2").arg(path, Q(csv.error)));
        return;
    }
    // The headings tell the layout; the filter only decides a file that neither layout reads.
    const CsvFormat format = DetectCsvFormat(csv.text, chosen);
    CImportPreviewDlg confirm(QFileInfo(path).fileName(), m_grid, csv.text, format, g_bChinese != 0, this);
    // A file no choice can use is refused before the dialog shows.
    if (!confirm.Preview().report.ok) {
        AppMessageBox(this, tr("%1 cannot be imported: %2").arg(path, Q(confirm.Preview().report.error)));
        return;
    }
    if (ExecDialog(&confirm) != QDialog::Accepted)
        return;
    const ImportPreview& preview = confirm.Preview();
    for (const std::vector<int>* rows : {&preview.added, &preview.changed, &preview.removed})
        for (int row : *rows)
            for (int col = kColRxFreq; col <= kColName; ++col)
                m_grid.SetTextMatrix(row, col, preview.result.TextMatrix(row, col));
    m_pDocument->RecordChange(tr("Import Channels"));
}

void CProgramView::OnExportChannels()
{
    CommitEditor(CommitTrigger::LeaveCell);
    QFileDialog dlg(this, tr("Export Channels"));
    dlg.setObjectName(QStringLiteral("ExportChannelsDlg"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilters(CsvFilters());
    dlg.setDefaultSuffix(QStringLiteral("csv"));
    OpenInLastFolder(dlg, FolderKind::Channels);
    if (ExecDialog(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    const QString path = dlg.selectedFiles().constFirst();
    RememberFolder(FolderKind::Channels, path);
    const bool chirp = dlg.selectedNameFilter() == CsvFilters().at(1);
    const std::string text = chirp ? GridToChirpCsv(m_grid) : GridToCsv(m_grid);
    // Written whole or not at all, as documents are.
    const DatResult saved = WriteFileAtomically(CorePath(path), text.data(), text.size());
    if (!saved.ok)
        AppMessageBox(this, tr("%1 cannot be written: %2").arg(path, Q(saved.error)));
}
