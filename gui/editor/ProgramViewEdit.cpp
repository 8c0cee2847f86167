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
#include "bridge/CorePath.h"

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
        m_pDocument->Change(tr("Band Limits"), {});  // typed into the boxes already
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
    ShowNotice(m_commands.ClearCells(action));
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
    ShowNotice(m_commands.Paste(text, csv, mime->data(QString::fromLatin1(kChannelBytesMime)).toStdString()));
}

void CProgramView::ShowNotice(const EditNotice& notice)
{
    if (notice.Empty())
        return;
    MessageRequest request;
    request.parent = this;
    request.text = notice.text;
    request.detail = notice.detail;
    request.icon = notice.icon == EditNotice::Icon::Warning ? QMessageBox::Warning : QMessageBox::Information;
    if (notice.caution)
        request.caption = LoadStringRes(IDS_CAUTION);
    AppMessageBox(request);
}

void CProgramView::OnEditSelectAll()
{
    BeginEdit();
    m_grid.SelectAll();
}

// ---------------------------------------------------------------------------
// Whole channels

std::set<int> CProgramView::SelectedChannelRows() const { return m_commands.SelectedChannelRows(); }

void CProgramView::OnInsertChannels()
{
    if (BeginChange())
        ShowNotice(m_commands.InsertChannels());
}

void CProgramView::OnDeleteChannels()
{
    if (BeginChange())
        m_commands.DeleteChannels();
}

void CProgramView::OnMoveChannelsUp()
{
    if (BeginChange())
        m_commands.MoveChannels(-1);
}

void CProgramView::OnMoveChannelsDown()
{
    if (BeginChange())
        m_commands.MoveChannels(+1);
}

void CProgramView::OnClearChannels()
{
    if (BeginChange())
        ShowNotice(m_commands.ClearChannels());
}

void CProgramView::SortChannels(SortKey key)
{
    if (BeginChange())
        m_commands.SortChannels(key);
}

void CProgramView::OnSortByRxFrequency() { SortChannels(SortKey::RxFrequency); }

void CProgramView::OnSortByName() { SortChannels(SortKey::Name); }

void CProgramView::OnSortByTone() { SortChannels(SortKey::Tone); }

// ---------------------------------------------------------------------------
// Fill

void CProgramView::OnFillDown()
{
    if (BeginChange())
        ShowNotice(m_commands.FillDown());
}

void CProgramView::FillSeries(long stepUnits)
{
    if (BeginChange())
        ShowNotice(m_commands.FillSeries(stepUnits));
}

void CProgramView::OnFillSeries6k25() { FillSeries(625); }

void CProgramView::OnFillSeries12k5() { FillSeries(1250); }

void CProgramView::OnFillSeries25k() { FillSeries(2500); }

// ---------------------------------------------------------------------------
// One value for many cells

bool CProgramView::RefuseSeveralColumns(const std::vector<int>& cols)
{
    const EditNotice refusal = m_commands.RefuseSeveralColumns(cols);
    ShowNotice(refusal);
    return !refusal.Empty();
}

void CProgramView::SetSelectionFromEditor()
{
    QWidget* editor = OpenEditor();
    if (!editor || RefuseChange())
        return;
    // Several columns: the editor stays open with its text, for Enter to set its own cell.
    if (RefuseSeveralColumns(m_commands.SelectedShownCols()))
        return;
    const std::string text = EditorText(editor);
    HideEditor(editor);
    ShowNotice(m_commands.SetSelectedCells(static_cast<int>(m_grid.GetCol()), text));
}

void CProgramView::OnSetSelectedCells()
{
    if (!BeginChange())
        return;
    const std::vector<int> cols = m_commands.SelectedShownCols();
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
    ShowNotice(m_commands.SetSelectedCells(col, list ? list->currentText().toStdString() : edit->text().toStdString()));
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
    FindFrom();
}

void CProgramView::OnEditFindNext()
{
    if (m_strFind.isEmpty()) {
        OnEditFind();
        return;
    }
    BeginEdit();
    FindFrom();
}

void CProgramView::FindFrom() { ShowNotice(m_commands.Find(m_strFind)); }

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
    m_commands.ApplyImport(confirm.Preview());
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
        m_commands.ApplyOrder(order, tr("Move %n Channel(s)", nullptr, static_cast<int>(rows.size())),
                              RowsAfter(order, rows));
        return;
    }
    const QString sourceTitle =
        drop.source && drop.source->m_pDocument ? drop.source->m_pDocument->GetTitle() : QString();
    // A move takes the channels out of their window only when every one of them landed whole.
    const QString kept =
        drop.move ? tr("Nothing was moved: %1 keeps every channel dragged.").arg(sourceTitle) : QString();
    const std::size_t channels = ParseChannelBytesText(drop.bytes.toStdString()).size();
    const std::size_t lines = ParsePastedText(drop.csv.toStdString(), true).rows.size();
    if (channels == 0 && lines == 0)
        return;
    const int count = static_cast<int>(channels ? channels : lines);
    const QString action =
        drop.move ? tr("Move %n Channel(s) Here", nullptr, count) : tr("Drop %n Channel(s)", nullptr, count);
    bool whole = false;
    ShowNotice(
        m_commands.DropChannels(drop.csv.toStdString(), drop.bytes.toStdString(), drop.row, action, kept, whole));
    if (!drop.move || !drop.source || !whole)
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
    source->m_commands.ApplyOrder(DeleteOrder(rows),
                                  tr("Move %n Channel(s) to %1", nullptr, static_cast<int>(rows.size()))
                                      .arg(m_pDocument ? m_pDocument->GetTitle() : QString()),
                                  {});
}
