#pragma once
// The channel window: band edit boxes above the channel grid, the overlay
// cell editors, and the editing commands of the document window. The link
// (gui/link/LinkSession) and printing (CPrintJob) are not the view's.
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPalette>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <set>
#include <vector>

#include "core/editor/CellCommit.h"
#include "core/radio/Image.h"
#include "core/editor/CellEntry.h"
#include "gui/app/ControlId.h"
#include "gui/editor/ChannelCommands.h"
#include "gui/editor/MSFlexGrid.h"
#include "gui/radio/ProgramDoc.h"

class QComboBox;
class QLabel;
class QMenu;
class QKeyEvent;
class QMimeData;

// Control ids the help contexts and the tests address the view's controls by.
enum ProgramViewControl {
    IDC_GRID = 1000,
    IDC_VHF_LOW = 1003,
    IDC_VHF_HIGH = 1004,
    IDC_UHF_LOW = 1005,
    IDC_UHF_HIGH = 1006,
    IDC_EDIT_NAME = 1126,
    IDC_COMBO_LOCK = 1127,
    IDC_COMBO_POWER = 1129,
    IDC_COMBO_SCANADD = 1134,
    IDC_COMBO_BANDWIDTH = 1135,
    IDC_EDIT_RXFREQ = 2127,
    IDC_EDIT_TXFREQ = 2128,
    IDC_COMBO_RXTONE = 2132,
    IDC_COMBO_TXTONE = 2133,
};

class CProgramView : public QWidget, public CProgramDoc::IWorkingCopy {
    Q_OBJECT
public:
    explicit CProgramView(CProgramDoc* doc, QWidget* parent = nullptr);
    ~CProgramView() override;

    CProgramDoc* GetDocument() const { return m_pDocument; }

    // The form's own size; the document window fits it into the work area.
    QSize sizeHint() const override;
    // The grid takes the keyboard focus (when the window shows again).
    void FocusGrid();
    // The parts of the window F6 goes round: the band boxes and the grid with its editors.
    enum class Pane { None, BandBoxes, Grid };
    Pane FocusedPane() const;
    // Focuses the first band box, or the grid (its open editor if any).
    void FocusPane(Pane pane);

    void OnInitialUpdate();
    // Image to grid, band boxes and band limits; registry sync and caption.
    void ImageToGrid();
    // Commits the open editor, then band boxes and grid rows into the image.
    void GridToImage();
    // The image as the grid and band boxes show it, the document untouched:
    // an open editor's text is not committed.
    Image ShownImage() const;

    // The working copy the document's undo steps snapshot: grid texts and band boxes.
    CEditSnapshot TakeSnapshot() const override;
    void RestoreSnapshot(const CEditSnapshot& snapshot) override;
    void DecodeImage(Image& image) override;
    void CommitOpenEditor() override { OnLeaveCellGrid(); }
    void EncodeImage(Image& image) override;
    BandTexts BandBoxTexts() const;
    // The band boxes' texts as the last undo step left them.
    BandTexts ShownBandTexts() const;
    // "Channel 12, Rx Frequency" ("Pr, ..." for row 1): how messages and undo steps name a cell.
    static QString CellName(int row, int col) { return CChannelCommands::CellName(row, col); }
    // What a channel name holds, as the name editors' refusals and the paste
    // reports say it: up to `limit` characters of A-Z, 0-9, - and _.
    static QString NameRuleText(int limit) { return CChannelCommands::NameRuleText(limit); }
    // A name editor's rules on `edit`: letters turn upper case as typed; a key
    // the name cannot hold, or one past `limit` characters (or past the
    // longer name the edit was given), is refused with NameRuleText beside it.
    static void ApplyNameRules(QLineEdit* edit, int limit);

    // Commits the open editor of the current cell (as LeaveCell does); false
    // when the value was refused.
    bool CommitEditor(CommitTrigger trigger = CommitTrigger::LeaveCell);
    QWidget* EditorForColumn() const;
    void ShowEditor();
    // The editor of the current column when it is open, else nullptr.
    QWidget* OpenEditor() const;

    // Grid notifications.
    void OnEnterCellGrid();
    void OnLeaveCellGrid();
    void OnMouseDownGrid(short button, short shift, int x, int y);
    void OnScrollGrid();
    // More than one cell selected: the open editor is committed and closes.
    void OnSelectionChanged();

    // Leaving a band edit box: the VHF (1003/1004) or UHF (1005/1006) rule,
    // for a typed change only (CommitBandBoxes).
    void OnKillFocusVhf();
    void OnKillFocusUhf();

    CMSFlexGrid& Grid() { return m_grid; }
    QLineEdit* BandEdit(int id);
    // Any of the view's controls by id (band boxes, grid, overlay editors).
    QWidget* Control(int id) const;
    const QStringList& ToneNames() const { return m_toneNames; }

    // The document is read-only while a transfer runs: no editor opens, the
    // band boxes take no typing, the grid is greyed under a banner that says why.
    bool IsReadOnly() const;
    QLabel* ReadOnlyBanner() const { return m_pReadOnlyBanner; }
    // The tip under the name editor saying what a name holds; nullptr until a key was refused.
    QLabel* NameRule() const { return m_pNameRule; }
    // Commits the open editor and records band boxes typed but not yet left:
    // before anything asks whether the document is modified.
    void FlushEdits();
    // Band boxes typed but not yet left become an undo step of their own.
    void RecordBandBoxes();

    // The menu the grid shows on a right click (the frame's editing commands).
    void SetContextMenu(QMenu* menu) { m_pContextMenu = menu; }
    QMenu* ContextMenu() const { return m_pContextMenu; }
    // Rows of the selection that hold channels 1..199 ("Pr" never moves).
    std::set<int> SelectedChannelRows() const;

    // Dragging whole channels between document windows: what a drag of the
    // selected channels carries (the rows as CSV and tab-separated text, and
    // which window and rows they come from); nullptr unless whole channels
    // are selected.
    QMimeData* ChannelDragData() const;
    static constexpr const char* kChannelRowsMime = "application/x-radio-channel-rows";
    // The 16 record and 8 name bytes of each whole channel copied or dragged.
    static constexpr const char* kChannelBytesMime = "application/x-radio-channel-bytes";

public slots:
    // Undo and redo of the document's steps; an open editor with typed text
    // only loses that text.
    void OnEditUndo();
    void OnEditRedo();
    // The clipboard: the selection's texts as tab-separated text and as CSV.
    void OnEditCut();
    void OnEditCopy();
    void OnEditCopyWithHeadings();
    void OnEditPaste();
    // Delete: the selected cells are cleared (an empty Rx empties its channel).
    void OnEditClear();
    void OnEditSelectAll();
    void OnEditFind();
    void OnEditFindNext();
    // Whole channels of the selection.
    void OnInsertChannels();
    void OnDeleteChannels();
    void OnMoveChannelsUp();
    void OnMoveChannelsDown();
    void OnClearChannels();
    void OnSortByRxFrequency();
    void OnSortByName();
    void OnSortByTone();
    void OnFillDown();
    void OnFillSeries6k25();
    void OnFillSeries12k5();
    void OnFillSeries25k();
    // One value for every selected cell of one column, asked in a dialog
    // offering the column's values.
    void OnSetSelectedCells();
    // Channel lists in the two CSV layouts of the command-line tool.
    void OnImportChannels();
    void OnExportChannels();

signals:
    // OnInitialUpdate begins: the window around the form fits it before the grid fills.
    void InitialUpdateStarting();
    // Files were dropped on the window; a channel list (.csv) is imported
    // here, everything else is the frame's to open or refuse.
    void FilesDropped(const QStringList& paths);

public:
    // Import Channels from `path`, with its preview, as the file dialog's choice would.
    void ImportChannelsFrom(const QString& path, bool chirpLayout = false);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    // F1: the help topic of the focused control.
    virtual void OnHelp(int context);

private:
    void OnReadOnlyChanged(bool readOnly);
    // The overlay editors are made when the first cell is edited (or a control
    // is looked up), not with the window: the first paint does not need them.
    void EnsureEditors();
    void CreateEditors();
    void OpenEditorOnCurrentCell();
    void HideEditor(QWidget* editor);
    void HideAllEditors();
    // Enter and Tab (step +1), Shift+Tab (-1): commit, then the next shown cell
    // of the row, or the first of the next row, wrapping at the grid's ends.
    void MoveToNextCell(int step);
    // Up, Down and the page keys: commit, then the same column delta rows away.
    void MoveRows(int delta);
    // Escape: the editor closes and the cell keeps its text.
    void CancelEditor();
    // Whether an open cell editor or a band box handles a shortcut key itself.
    bool EditorTakesShortcut(QWidget* editor, const QKeyEvent* key) const;
    // Keys that belong to the grid and its editors; true when handled.
    bool OnGridKey(QWidget* widget, QKeyEvent* key);
    // The name editor refused a key: what a name holds shows below the cell
    // until the next key it takes, or the editor closes.
    void ShowNameRule();
    void HideNameRule();
    // Selects the first item of an open list that begins with the text typed so
    // far (fresh: a new search starting with `text`).
    void SearchList(QComboBox* list, const QString& text, bool fresh);
    QStringList ListItems(const QComboBox* combo) const;
    // Editing commands: the edit in progress first, one undo step after.
    void BeginEdit();
    // A command that would change the document while a transfer runs: the user
    // is told why (the banner's text) and true is returned.
    bool RefuseChange();
    // RefuseChange, then BeginEdit: false when the command must not go on.
    bool BeginChange();
    void CopySelection(bool headings);
    // The text an open cell editor commits (a list: its chosen item, else the cell's text).
    std::string EditorText(QWidget* editor) const;
    // A selection over several columns takes no single value: the user is told, nothing changes.
    bool RefuseSeveralColumns(const std::vector<int>& cols);
    // Ctrl+Enter in a cell editor: its value for every selected cell of the column.
    void SetSelectionFromEditor();
    // Drag events on the grid (onGrid) or elsewhere on the window: channels
    // dragged from a document window land on the row under the pointer,
    // files anywhere. True when the event was a drag's.
    bool OnDragEvent(QEvent* event, bool onGrid);
    struct ChannelDrop;
    void DropChannels(const ChannelDrop& drop);
    void StartChannelDrag();
    void RegisterDragSource();
    void UnregisterDragSource();
    void ClearSelectedCells(const QString& action);
    // The whole channels of `rows` as this window would save them: bytes for a copy or a drag.
    std::vector<ChannelBytes> ShownChannelBytes(const std::set<int>& rows) const;
    // Clipboard or drag data of whole channels: texts as TSV and CSV, and their bytes.
    QMimeData* ChannelsMimeData(const std::vector<int>& rows, const std::vector<int>& cols, bool headings) const;
    void FillSeries(long stepUnits);
    void SortChannels(SortKey key);
    // Find Next from the current row; a notice when no channel matches.
    void FindFrom();
    // A command's notice in a message box over the view.
    void ShowNotice(const EditNotice& notice);

private:
    CProgramDoc* m_pDocument;
    // Band limit boxes in the order the form binds them: 1004, 1003, 1006, 1005.
    QLineEdit m_editVhfHigh;
    QLineEdit m_editVhfLow;
    QLineEdit m_editUhfHigh;
    QLineEdit m_editUhfLow;
    CMSFlexGrid m_grid;
    // The editing commands on the document, the grid's texts and its selection.
    CChannelCommands m_commands;
    bool m_bFirstUpdate = true;

    // Overlay editors, children of the grid's viewport, made by EnsureEditors
    // once the first OnInitialUpdate has run, with the lists of its language.
    QLineEdit* m_editRxFreq = nullptr;
    QLineEdit* m_editTxFreq = nullptr;
    QComboBox* m_comboRxTone = nullptr;
    QComboBox* m_comboTxTone = nullptr;
    QComboBox* m_comboPower = nullptr;
    QComboBox* m_comboLock = nullptr;
    QLineEdit* m_editName = nullptr;
    QComboBox* m_comboScanAdd = nullptr;
    QComboBox* m_comboBandwidth = nullptr;

    QStringList m_toneNames;
    bool m_bChineseLists = false;
    QString m_strListSearch;
    QElapsedTimer m_listSearchTime;
    QLabel* m_pReadOnlyBanner = nullptr;
    QLabel* m_pNameRule = nullptr;  // what a name holds, after a refused key
    QPalette m_gridPalette;
    QMenu* m_pContextMenu = nullptr;  // the frame's
    QString m_strFind;                // what Find looked for last
    int m_nDragId = 0;                // tells this window apart in the channels a drag carries
};
