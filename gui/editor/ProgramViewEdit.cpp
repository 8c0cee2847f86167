// The channel view's editing commands: undo and redo, the clipboard, whole
// channels, fill and find. Every change goes through the core's rules and
// ends as one undo step of the document.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDrag>
#include <QDropEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>

#include "core/app/Globals.h"
#include "core/app/StringIds.h"
#include "core/editor/ChannelRows.h"
#include "core/exchange/ImportPreview.h"
#include "core/radio/ChannelCodec.h"
#include "core/exchange/CsvChannels.h"
#include "core/radio/DatFile.h"
#include "core/files/TextFile.h"
#include "gui/app/FileDialogs.h"
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

// The document windows a drag of channels may come from, by their drag id.
QList<CProgramView*>& DragSources()
{
    static QList<CProgramView*> views;
    return views;
}

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

std::vector<ChannelBytes> CProgramView::ShownChannelBytes(const std::set<int>& rows) const
{
    const Image shown = ShownImage();
    std::vector<ChannelBytes> channels;
    for (int row : rows)
        channels.push_back(TakeChannelBytes(shown, row));
    return channels;
}

QMimeData* CProgramView::ChannelsMimeData(const std::vector<int>& rows, const std::vector<int>& cols,
                                          bool headings) const
{
    const TextBlock block = CopyBlock(m_grid, rows, cols, headings);
    auto* mime = new QMimeData;
    mime->setText(Q(BlockToTsv(block)));
    mime->setData(QString::fromLatin1(kCsvMime), QByteArray::fromStdString(BlockToCsv(block)));
    // Whole channels carry their bytes too: pasted or dropped in this program
    // they land byte for byte, the bytes no cell shows included.
    if (cols.size() == static_cast<std::size_t>(kColName))
        mime->setData(QString::fromLatin1(kChannelBytesMime),
                      QByteArray::fromStdString(ChannelBytesText(ShownChannelBytes({rows.begin(), rows.end()}))));
    return mime;
}

void CProgramView::CopySelection(bool headings)
{
    CommitEditor(CommitTrigger::LeaveCell);
    const std::vector<int> cols = CopiedColumns(m_grid.SelectedCols());
    QApplication::clipboard()->setMimeData(ChannelsMimeData(Sorted(m_grid.SelectedRows()), cols, headings));
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
    const std::vector<ChannelBytes> channels =
        ParseChannelBytesText(mime->data(QString::fromLatin1(kChannelBytesMime)).toStdString());
    if (!channels.empty() && channels.size() == block.rows.size() && left == kColRxFreq && m_pDocument) {
        // Whole channels copied in this program: their bytes, all of them.
        const EntryReport report = EnterChannels(m_pDocument->m_image, m_grid, top, channels, g_bChinese != 0, beyond);
        const int count = static_cast<int>(channels.size());
        RecordEntry(report, beyond, tr("Not pasted:"), tr("Paste %n channel(s)", nullptr, count));
        m_grid.SetRow(top);
        m_grid.SetCol(kColRxFreq);
        m_grid.ExtendSelection(std::min(top + count, kGridRows) - 1, kColName);
        return;
    }
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

EntryReport CProgramView::EnterAndRecord(const std::vector<CellText>& cells, int beyond, const QString& refusedHeading,
                                         const QString& action, const QString& note)
{
    const EntryReport report = EnterCells(m_grid, cells, g_bChinese != 0);
    RecordEntry(report, beyond, refusedHeading, action, note);
    return report;
}

void CProgramView::RecordEntry(const EntryReport& report, int beyond, const QString& refusedHeading,
                               const QString& action, const QString& note)
{
    const bool chinese = g_bChinese != 0;
    if (m_pDocument)
        m_pDocument->RecordChange(action);
    if (report.refused.empty() && report.renamed.empty() && beyond == 0)
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
        case CellRefusal::OffStep: why = tr("\"%1\": %2").arg(value, Q(StepRefusalText(r.text, chinese))); break;
        case CellRefusal::NotInList: why = tr("\"%1\" is not one of this column's items").arg(value); break;
        case CellRefusal::EmptyChannel: why = tr("\"%1\" needs a channel with an Rx Frequency").arg(value); break;
        case CellRefusal::BeyondLastChannel:
        case CellRefusal::None: why = tr("\"%1\" lies outside the grid").arg(value); break;
        }
        if (r.withheld > 0) {
            // The step refusal ends its sentence; the clause about the rest follows it.
            if (why.endsWith(QLatin1Char('.')) || why.endsWith(QChar(0x3002)))
                why.chop(1);
            why += tr("; the channel's %n other cell(s) were not entered either", nullptr, r.withheld);
        }
        lines << CellName(r.row, r.col) + QStringLiteral(": ") + why;
    }
    if (beyond > 0)
        lines << tr("%n cell(s) beyond the last channel or column were left out.", nullptr, beyond);
    for (const StoredNameCell& n : report.renamed)
        lines << CellName(n.row, kColName) + QStringLiteral(": ") +
                     tr("\"%1\" is stored as \"%2\". %3").arg(Q(n.text), Q(n.stored), NameRuleText(kNameRecordChars));
    // Every refusal is listed, however many: the box shows the list in an area
    // that scrolls and can be copied.
    MessageRequest request;
    request.parent = this;
    request.caption = LoadStringRes(IDS_CAUTION);
    int cellsLeft = beyond;
    for (const RefusedCell& r : report.refused)
        cellsLeft += 1 + r.withheld;
    QStringList heading;
    if (cellsLeft > 0)
        heading << tr("%1 %n cell(s)", nullptr, cellsLeft)
                       .arg(refusedHeading.isEmpty() ? tr("Not changed:") : refusedHeading);
    if (!report.renamed.empty())
        heading << tr("Stored otherwise than given: %n name(s)", nullptr, static_cast<int>(report.renamed.size()));
    request.text = heading.join(QLatin1Char('\n'));
    if (!note.isEmpty() && cellsLeft > 0)
        request.text += QLatin1Char('\n') + note;
    request.detail = lines.join(QLatin1Char('\n'));
    request.icon = cellsLeft > 0 ? QMessageBox::Warning : QMessageBox::Information;
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
// One value for many cells

std::vector<int> CProgramView::SelectedShownCols() const
{
    std::vector<int> cols;
    for (int col : m_grid.SelectedCols())
        if (m_grid.IsColumnShown(col))
            cols.push_back(col);
    return cols;
}

bool CProgramView::RefuseSeveralColumns(const std::vector<int>& cols)
{
    if (cols.size() == 1)
        return false;
    QStringList names;
    for (int col : cols)
        names << Q(GridHeading(col, g_bChinese != 0));
    AppMessageBox(this,
                  tr("A value is set in the cells of one column at a time, and the selection spans %n column(s) "
                     "(%1). Nothing was changed: select cells of one column.",
                     nullptr, static_cast<int>(cols.size()))
                      .arg(names.join(QStringLiteral(", "))),
                  QMessageBox::Ok, QMessageBox::Warning, LoadStringRes(IDS_CAUTION));
    return true;
}

void CProgramView::SetSelectedCells(int col, const std::string& text)
{
    std::vector<CellText> cells;
    for (int row : m_grid.SelectedRows())
        if (m_grid.IsSelected(row, col))
            cells.push_back({row, col, text});
    EnterAndRecord(cells, 0, tr("Not set:"), tr("Set %n cell(s)", nullptr, static_cast<int>(cells.size())));
}

void CProgramView::SetSelectionFromEditor()
{
    QWidget* editor = OpenEditor();
    if (!editor || RefuseChange())
        return;
    // Several columns: the editor stays open with its text, for Enter to set its own cell.
    if (RefuseSeveralColumns(SelectedShownCols()))
        return;
    const std::string text = EditorText(editor);
    HideEditor(editor);
    SetSelectedCells(static_cast<int>(m_grid.GetCol()), text);
}

void CProgramView::OnSetSelectedCells()
{
    if (!BeginChange())
        return;
    const std::vector<int> cols = SelectedShownCols();
    if (RefuseSeveralColumns(cols))
        return;
    const int col = cols.front();
    int count = 0, first = 0;
    for (int row : m_grid.SelectedRows())
        if (m_grid.IsSelected(row, col)) {
            first = first ? first : row;
            ++count;
        }
    const QString shown = m_grid.IsSelected(static_cast<int>(m_grid.GetRow()), col) && m_grid.GetCol() == col
                              ? m_grid.GetText()
                              : m_grid.GetTextMatrix(first, col);
    QDialog dlg(this);
    dlg.setObjectName(QStringLiteral("SetCellsDlg"));
    dlg.setWindowTitle(tr("Set Selected Cells"));
    auto* layout = new QVBoxLayout(&dlg);
    auto* label = new QLabel(
        tr("%1 of the %n selected cell(s):", nullptr, count).arg(Q(GridHeading(col, g_bChinese != 0))), &dlg);
    layout->addWidget(label);
    // A list column offers the items of its cell editor; the others take typing.
    QStringList items;
    if (col == kColRxTone || col == kColTxTone)
        items = m_toneNames;
    else
        for (const std::string& item : FlagListItems(col, m_bChineseLists))
            items << Q(item);
    QComboBox* list = nullptr;
    QLineEdit* edit = nullptr;
    if (!items.isEmpty()) {
        list = new QComboBox(&dlg);
        list->addItems(items);
        std::vector<std::string> options;
        for (const QString& item : items)
            options.push_back(item.toStdString());
        int current = ListEditorSelection(options, shown.toStdString());
        // A value the list lacks ("Middle", a tone read from a radio) is offered as the cell shows it.
        if (current < 0 && !shown.isEmpty() &&
            options.end() == std::find(options.begin(), options.end(), shown.toStdString())) {
            list->addItem(shown);
            current = list->count() - 1;
        }
        list->setCurrentIndex(std::max(0, current));
        list->setObjectName(QStringLiteral("SetCellsValue"));
        label->setBuddy(list);
        layout->addWidget(list);
    } else {
        edit = new QLineEdit(shown, &dlg);
        edit->setObjectName(QStringLiteral("SetCellsValue"));
        if (col == kColName)
            ApplyNameRules(edit, NameEditorLimit(shown.toStdString()));
        edit->selectAll();
        label->setBuddy(edit);
        layout->addWidget(edit);
        auto* hint = new QLabel(col == kColName ? NameRuleText(NameEditorLimit(shown.toStdString())) +
                                                      QLatin1Char(' ') + tr("Empty clears the names.")
                                                : tr("Megahertz, e.g. 145.125; empty clears the cells "
                                                     "(an empty Rx Frequency empties its channel)."),
                                &dlg);
        hint->setObjectName(QStringLiteral("SetCellsHint"));
        hint->setWordWrap(true);
        layout->addWidget(hint);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    layout->addWidget(buttons);
    FitCaption(&dlg);
    (list ? static_cast<QWidget*>(list) : edit)->setFocus();
    if (ExecDialog(&dlg) != QDialog::Accepted)
        return;
    SetSelectedCells(col, list ? list->currentText().toStdString() : edit->text().toStdString());
}

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
    auto* label = new QLabel(tr("A channel name, or a frequency (145.5 finds 145.50000):"), &dlg);
    label->setBuddy(edit);
    layout->addWidget(label);
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
    UseProgramFileDialog(dlg);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters(CsvFilters());
    OpenInLastFolder(dlg, FolderKind::Channels);
    if (ExecDialog(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty() || !m_pDocument)
        return;
    const QString path = dlg.selectedFiles().constFirst();
    RememberFolder(FolderKind::Channels, path);
    ImportChannelsFrom(path, dlg.selectedNameFilter() == CsvFilters().at(1));
}

void CProgramView::ImportChannelsFrom(const QString& path, bool chirpLayout)
{
    if (!m_pDocument || !BeginChange())
        return;
    const CsvFormat chosen = chirpLayout ? CsvFormat::Chirp : CsvFormat::Grid;
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
    // A list for another radio type: told at once, as progtool refuses it.
    if (confirm.Preview().FitsNoBand()) {
        AppMessageBox(this, tr("%1 cannot be imported: %2. Nothing was imported.")
                                .arg(path, Q(FitsNoBandText(confirm.Preview(), g_bChinese != 0))));
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
    UseProgramFileDialog(dlg);
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

// ---------------------------------------------------------------------------
// Drag and drop

struct CProgramView::ChannelDrop {
    QByteArray csv;
    QByteArray bytes;                // their records and names, when they come from this program
    CProgramView* source = nullptr;  // a window of this program, else a copy from elsewhere
    std::set<int> rows;              // the source's rows
    int row = 0;                     // where the first lands
    bool move = false;
};

void CProgramView::RegisterDragSource()
{
    static int lastId = 0;
    m_nDragId = ++lastId;
    DragSources().append(this);
}

void CProgramView::UnregisterDragSource() { DragSources().removeAll(this); }

QMimeData* CProgramView::ChannelDragData() const
{
    const std::set<int> rows = m_grid.SelectedRows();
    if (rows.empty() || !m_grid.AreWholeRowsSelected())
        return nullptr;
    QMimeData* mime = ChannelsMimeData(Sorted(rows), CopiedColumns(m_grid.SelectedCols()), false);
    // Which window and rows: a move takes them out of it once they landed.
    QStringList from{QString::number(QCoreApplication::applicationPid()), QString::number(m_nDragId)};
    for (int row : rows)
        from << QString::number(row);
    mime->setData(QString::fromLatin1(kChannelRowsMime), from.join(QLatin1Char(' ')).toLatin1());
    return mime;
}

void CProgramView::StartChannelDrag()
{
    CommitEditor(CommitTrigger::LeaveCell);
    QMimeData* mime = ChannelDragData();
    if (!mime)
        return;
    // The window the channels are dropped on does the work, this one's
    // removal for a move included; a drop elsewhere only copies the text.
    auto* drag = new QDrag(&m_grid);
    drag->setMimeData(mime);
    ExecDrag(drag, Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    drag->deleteLater();
}

bool CProgramView::event(QEvent* event)
{
    if (OnDragEvent(event, false))
        return true;
    return QWidget::event(event);
}

bool CProgramView::OnDragEvent(QEvent* event, bool onGrid)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::DragLeave)
        return true;
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QMimeData* mime = drop->mimeData();
    const bool channels = mime && mime->hasFormat(QString::fromLatin1(kChannelRowsMime));
    const bool files = mime && !channels && mime->hasUrls();
    const int row = onGrid ? m_grid.indexAt(drop->position().toPoint()).row() : -1;
    ChannelDrop what;
    if (channels) {
        const QList<QByteArray> from = mime->data(QString::fromLatin1(kChannelRowsMime)).split(' ');
        const bool here = from.size() > 2 && from[0].toLongLong() == QCoreApplication::applicationPid();
        for (CProgramView* view : DragSources())
            if (here && view->m_nDragId == from[1].toInt())
                what.source = view;
        for (qsizetype i = 2; i < from.size(); ++i)
            what.rows.insert(from[i].toInt());
        what.csv = mime->data(QString::fromLatin1(kCsvMime));
        what.bytes = mime->data(QString::fromLatin1(kChannelBytesMime));
        what.row = row;
        // Within one window the channels move, with Ctrl they are copied;
        // between windows they are copied, with Shift moved.
        what.move = what.source == this ? !(drop->modifiers() & Qt::ControlModifier)
                                        : what.source && (drop->modifiers() & Qt::ShiftModifier);
    }
    // Channels land on a row; a read-only document takes none (its banner says why).
    const bool wanted = files || (channels && row >= 1 && !what.rows.empty() && !IsReadOnly());
    if (type != QEvent::Drop || !wanted) {
        if (wanted) {
            drop->setDropAction(what.move ? Qt::MoveAction : Qt::CopyAction);
            drop->accept();
        } else {
            drop->ignore();
        }
        if (type != QEvent::Drop || !channels || row < 1)
            return true;
    }
    drop->setDropAction(what.move ? Qt::MoveAction : Qt::CopyAction);
    drop->accept();
    // The work comes after the drop is done: the program the drag came from
    // is not held while a question or a preview waits for the user.
    if (files) {
        QStringList paths;
        for (const QUrl& url : mime->urls())
            paths << (url.isLocalFile() ? url.toLocalFile() : url.toString());
        QMetaObject::invokeMethod(
            this, [this, paths] { emit FilesDropped(paths); }, Qt::QueuedConnection);
    } else {
        QPointer<CProgramView> source = what.source;
        QMetaObject::invokeMethod(
            this,
            [this, what, source]() mutable {
                what.source = source;  // a window closed meanwhile is no source any more
                DropChannels(what);
            },
            Qt::QueuedConnection);
    }
    return true;
}

void CProgramView::DropChannels(const ChannelDrop& drop)
{
    // The document takes no change while a transfer runs; an open editor is committed first.
    if (!BeginChange())
        return;
    if (drop.source == this && drop.move) {
        const std::set<int> rows(drop.rows.lower_bound(kFirstChannelRow), drop.rows.end());
        const ChannelOrder order = MoveToRowOrder(rows, drop.row);
        ApplyOrder(order, tr("Move %n Channel(s)", nullptr, static_cast<int>(rows.size())), RowsAfter(order, rows));
        return;
    }
    const PastedBlock block = ParsePastedText(drop.csv.toStdString(), true);
    const std::vector<ChannelBytes> channels = ParseChannelBytesText(drop.bytes.toStdString());
    if (block.rows.empty() && channels.empty())
        return;
    const QString sourceTitle =
        drop.source && drop.source->m_pDocument ? drop.source->m_pDocument->GetTitle() : QString();
    // A move takes the channels out of their window only when every one of them landed whole.
    const QString kept =
        drop.move ? tr("Nothing was moved: %1 keeps every channel dragged.").arg(sourceTitle) : QString();
    const int count = static_cast<int>(channels.empty() ? block.rows.size() : channels.size());
    const QString action =
        drop.move ? tr("Move %n Channel(s) Here", nullptr, count) : tr("Drop %n Channel(s)", nullptr, count);
    int beyond = 0;
    EntryReport report;
    std::set<int> landed;
    if (!channels.empty() && m_pDocument) {
        // Channels of this program land with every byte they hold.
        report = EnterChannels(m_pDocument->m_image, m_grid, drop.row, channels, g_bChinese != 0, beyond);
        RecordEntry(report, beyond, tr("Not dropped:"), action, kept);
        for (int r = drop.row; r < std::min(drop.row + count, int(kGridRows)); ++r)
            landed.insert(r);
    } else {
        const std::vector<CellText> cells = PlaceBlock(block, drop.row, kColRxFreq, beyond);
        report = EnterAndRecord(cells, beyond, tr("Not dropped:"), action, kept);
        for (const CellText& c : cells)
            landed.insert(c.row);
    }
    m_grid.SelectRows(landed);
    if (!drop.move || !drop.source || !report.refused.empty() || !report.renamed.empty() || beyond > 0)
        return;
    CProgramView* source = drop.source;
    if (source->IsReadOnly()) {
        AppMessageBox(this,
                      tr("The channels were copied, not moved: %1 takes no change while its transfer runs, so it "
                         "keeps them.")
                          .arg(sourceTitle),
                      QMessageBox::Ok, QMessageBox::Information);
        return;
    }
    source->BeginEdit();
    const std::set<int> rows(drop.rows.lower_bound(kFirstChannelRow), drop.rows.end());
    source->ApplyOrder(DeleteOrder(rows),
                       tr("Move %n Channel(s) to %1", nullptr, static_cast<int>(rows.size()))
                           .arg(m_pDocument ? m_pDocument->GetTitle() : QString()),
                       {});
}
