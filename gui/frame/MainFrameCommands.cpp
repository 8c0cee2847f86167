// The main frame's commands and menus, a row each, and what the frame makes
// of them: its actions, both menu sets and the grid's context menu, the
// toolbar, and the enabling and check marks of UpdateFrameMenu. A new command
// is a row of CommandTable (its id in gui/app/CommandIds.h) and its handler.
#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUndoGroup>
#include <algorithm>
#include <type_traits>

#include "gui/app/CommandIds.h"
#include "gui/app/LanguageDlg.h"
#include "gui/editor/PrintJob.h"
#include "gui/editor/ProgramView.h"
#include "gui/frame/ChildFrame.h"
#include "gui/frame/MDIClientWnd.h"
#include "gui/frame/MainFrame.h"
#include "gui/frame/NavigationBar.h"
#include "gui/link/LinkController.h"
#include "gui/radio/ProgramDoc.h"

namespace {
QString Text(const char* source) { return source ? QCoreApplication::translate("CMainFrame", source) : QString(); }

// What UpdateFrameMenu enables by.
struct CommandState {
    bool view = false;
    bool document = false;
    bool mayChange = false;
    bool canUndo = false;
    bool canRedo = false;
    bool noWindows = false;
};

bool Enabled(CommandEnable rule, const CommandState& s)
{
    switch (rule) {
    case CommandEnable::Always: return true;
    case CommandEnable::View: return s.view;
    case CommandEnable::Document: return s.document;
    case CommandEnable::MayChange: return s.mayChange;
    case CommandEnable::Undo: return s.mayChange && s.canUndo;
    case CommandEnable::Redo: return s.mayChange && s.canRedo;
    case CommandEnable::ProductInformation: return s.view || s.noWindows;
    }
    return true;
}

// The items of one menu or of the toolbar, in their order; a separator between groups.
template <typename Item, typename Add, typename Separate>
void Lay(QList<std::pair<int, Item>> items, Add add, Separate separate)
{
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0 && items[i].first / 10 != items[i - 1].first / 10)
            separate();
        add(items[i].second);
    }
}
}  // namespace

const QList<CommandRow>& CMainFrame::CommandTable()
{
    using E = CommandEnable;
    using C = CommandCheck;
    const unsigned bothFiles = kFileMenu | kDocFileMenu;
    const unsigned bothViews = kViewMenu | kDocViewMenu;
    const unsigned bothHelps = kHelpMenu | kDocHelpMenu;
    const unsigned editAndGrid = kEditMenu | kGridMenu;
    // In the order the frame has always held its actions. Toolbar: the buttons
    // users know, in their usual places; ours follow them.
    // clang-format off
    static const QList<CommandRow> rows = {
        {ID_FILE_NEW, QT_TR_NOOP("&New"), QT_TR_NOOP("New"), QT_TR_NOOP("Create a new document"),
         {QKeySequence(Qt::CTRL | Qt::Key_N)}, {bothFiles, 11}, "new", 11, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.m_docs.OnFileNew(); }},
        {ID_FILE_OPEN, QT_TR_NOOP("&Open..."), QT_TR_NOOP("Open"), QT_TR_NOOP("Open an existing document"),
         {QKeySequence(Qt::CTRL | Qt::Key_O)}, {bothFiles, 12}, "open", 12, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.m_docs.OnFileOpen(); }},
        {ID_FILE_CLOSE, QT_TR_NOOP("&Close"), nullptr, QT_TR_NOOP("Close the channel window"),
         {}, {kDocFileMenu, 13}, nullptr, 0, E::View, C::None,
         +[](CMainFrame& f, bool) { f.OnFileClose(); }},
        {ID_FILE_SAVE, QT_TR_NOOP("&Save"), QT_TR_NOOP("Save"), QT_TR_NOOP("Save the active document"),
         {QKeySequence(Qt::CTRL | Qt::Key_S)}, {kDocFileMenu, 14}, "save", 13, E::View, C::None,
         +[](CMainFrame& f, bool) { f.OnFileSave(); }},
        {ID_FILE_SAVE_AS, QT_TR_NOOP("Save &As..."), nullptr, QT_TR_NOOP("Save the active document with a new name"),
         {}, {kDocFileMenu, 15}, nullptr, 0, E::View, C::None,
         +[](CMainFrame& f, bool) { f.OnFileSaveAs(); }},
        {ID_FILE_BACKUPS, QT_TR_NOOP("&Backups..."), nullptr,
         QT_TR_NOOP("Open a backup of what a radio held when it was read"),
         {}, {bothFiles, 16}, nullptr, 0, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.m_docs.OnFileBackups(); }},
        {ID_FILE_PRINT, QT_TR_NOOP("&Print..."), QT_TR_NOOP("Print"),
         QT_TR_NOOP("Print the channel list and the options"),
         {QKeySequence(Qt::CTRL | Qt::Key_P)}, {kDocFileMenu, 31}, "print", 31, E::View, C::None,
         &CPrintJob::Print},
        {ID_FILE_PRINT_DIRECT, QT_TR_NOOP("Print &Direct"), nullptr, QT_TR_NOOP("Print on the default printer"),
         {}, {}, nullptr, 0, E::View, C::None,
         &CPrintJob::PrintDirect},
        {ID_FILE_PRINT_PREVIEW, QT_TR_NOOP("Print Pre&view"), nullptr, QT_TR_NOOP("Display full pages"),
         {}, {kDocFileMenu, 32}, nullptr, 0, E::View, C::None,
         &CPrintJob::Preview},
        {ID_FILE_PRINT_SETUP, QT_TR_NOOP("P&rint Setup..."), nullptr,
         QT_TR_NOOP("Change the printer and printing options"),
         {}, {bothFiles, 33}, nullptr, 0, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.OnFilePrintSetup(); }},
        {ID_APP_EXIT, QT_TR_NOOP("E&xit"), nullptr, QT_TR_NOOP("Quit the application"),
         {}, {bothFiles, 51}, nullptr, 0, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.close(); }},
        {ID_CHANNEL_INFORMATION, QT_TR_NOOP("&Channel Information"), nullptr, QT_TR_NOOP("Show the channel window"),
         {}, {kEditMenu, 61}, nullptr, 0, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.OnChannelInformation(); }},
        {ID_OPTION_FEATURES, QT_TR_NOOP("&Optional Features"), nullptr, QT_TR_NOOP("Edit the radio-wide options"),
         {}, {kEditMenu, 62}, nullptr, 0, E::Document, C::None,
         +[](CMainFrame& f, bool) { f.OnOptionFeatures(); }},
        {ID_PRODUCT_INFORMATION, QT_TR_NOOP("Product Infor&mation"), nullptr,
         QT_TR_NOOP("Choose the radio type and frequency band"),
         {}, {kEditMenu, 63}, nullptr, 0, E::ProductInformation, C::None,
         +[](CMainFrame& f, bool) { f.OnProductInformation(); }},
        // A read opens a document of its own: nothing the window shows is
        // replaced, so there are no unsaved changes to ask about.
        {ID_READ, QT_TR_NOOP("&Read"), QT_TR_NOOP("Read"), QT_TR_NOOP("Read the whole memory from the radio"),
         {QKeySequence(Qt::CTRL | Qt::Key_R)}, {kProgramMenu, 11}, "read", 21, E::View, C::None,
         &CLinkController::OnRead},
        {ID_WRITE, QT_TR_NOOP("&Write"), QT_TR_NOOP("Write"), QT_TR_NOOP("Write the whole memory to the radio"),
         {QKeySequence(Qt::CTRL | Qt::Key_W)}, {kProgramMenu, 12}, "write", 22, E::View, C::None,
         &CLinkController::OnWrite},
        {ID_VIEW_TOOLBAR, QT_TR_NOOP("&Toolbar"), nullptr, QT_TR_NOOP("Show or hide the toolbar"),
         {}, {bothViews, 11}, nullptr, 0, E::Always, C::ToolBar,
         +[](CMainFrame& f, bool on) { f.m_pToolBar->setVisible(on); }},
        {ID_VIEW_STATUS_BAR, QT_TR_NOOP("&Status Bar"), nullptr, QT_TR_NOOP("Show or hide the status bar"),
         {}, {bothViews, 12}, nullptr, 0, E::Always, C::StatusBar,
         +[](CMainFrame& f, bool on) { f.statusBar()->setVisible(on); }},
        {ID_CONTROL_BAR, QT_TR_NOOP("&Control Bar"), nullptr, QT_TR_NOOP("Show or hide the navigation bar"),
         {}, {kDocViewMenu, 13}, nullptr, 0, E::Always, C::NavigationBar,
         +[](CMainFrame& f, bool) { f.OnControlBar(); }},
        {ID_COM_SETUP, QT_TR_NOOP("&Com Setup"), nullptr, QT_TR_NOOP("Choose the serial port of the radio"),
         {}, {kSetupMenu, 11}, nullptr, 0, E::View, C::None,
         &CLinkController::OnComSetup},
        {ID_CHECK_CONNECTION, QT_TR_NOOP("Check Co&nnection..."), nullptr,
         QT_TR_NOOP("Find out why the radio does not answer on its port, or which port the cable is"),
         {}, {kSetupMenu, 12}, nullptr, 0, E::View, C::None,
         &CLinkController::OnCheckConnection},
        {ID_LANGUAGE, QT_TR_NOOP("&Language"), nullptr, QT_TR_NOOP("Choose the language of the program"),
         {}, {kSetupMenu, 14}, nullptr, 0, E::View, C::None,
         +[](CMainFrame& f, bool) {
             if (CProgramView* v = f.ActiveView())
                 RunLanguageCommand(v);
         }},
        {ID_LOG_SERIAL, QT_TR_NOOP("Log Serial &Traffic..."), nullptr,
         QT_TR_NOOP("Write every byte sent to and received from the radio to a file"),
         {}, {kSetupMenu, 13}, nullptr, 0, E::Always, C::ByHandler,
         +[](CMainFrame& f, bool on) { f.OnLogSerialTraffic(on); }},
        {ID_APP_ABOUT, QT_TR_NOOP("&About Program..."), QT_TR_NOOP("About"),
         QT_TR_NOOP("Display program information, version number and copyright"),
         {}, {bothHelps, 11}, "about", 41, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.OnAppAbout(); }},
        // No key: F1 goes to the focused window first (the channel view and the
        // dialogs answer it with their own topics) and reaches keyPressEvent otherwise.
        {ID_HELP, QT_TR_NOOP("&Help Topics"), nullptr, QT_TR_NOOP("Open the help contents"),
         {}, {bothHelps, 12}, nullptr, 0, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.WinHelp(ID_HELP); }},
        {ID_SUPPORT_REPORT, QT_TR_NOOP("Save Support &Report..."), nullptr,
         QT_TR_NOOP("Show what a support report holds, then save it to attach to a bug report"),
         {}, {bothHelps, 21}, nullptr, 0, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.OnSupportReport(); }},
        {ID_NEXT_PANE, QT_TR_NOOP("Next Pane"), nullptr,
         QT_TR_NOOP("Move to the next of the navigation tree, the band limits and the channel grid"),
         {QKeySequence(Qt::Key_F6)}, {}, nullptr, 0, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.MoveToPane(+1); }},
        {ID_PREV_PANE, QT_TR_NOOP("Previous Pane"), nullptr,
         QT_TR_NOOP("Move to the previous of the navigation tree, the band limits and the channel grid"),
         {QKeySequence(Qt::SHIFT | Qt::Key_F6)}, {}, nullptr, 0, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.MoveToPane(-1); }},
        {ID_WINDOW_CASCADE, QT_TR_NOOP("&Cascade"), nullptr,
         QT_TR_NOOP("Arrange the document windows so that they overlap"),
         {}, {kWindowMenu, 11}, nullptr, 0, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.m_pMdiClient->cascadeSubWindows(); }},
        {ID_WINDOW_TILE, QT_TR_NOOP("&Tile"), nullptr, QT_TR_NOOP("Arrange the document windows side by side"),
         {}, {kWindowMenu, 12}, nullptr, 0, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.m_pMdiClient->tileSubWindows(); }},
        {ID_NEXT_WINDOW, QT_TR_NOOP("Next Window"), nullptr, QT_TR_NOOP("Switch to the next window"),
         {QKeySequence(Qt::CTRL | Qt::Key_Tab)}, {kWindowMenu, 13}, nullptr, 0, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.ActivateWindow(+1); }},
        {ID_PREV_WINDOW, QT_TR_NOOP("Previous Window"), nullptr, QT_TR_NOOP("Switch to the previous window"),
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)}, {kWindowMenu, 14}, nullptr, 0, E::Always, C::None,
         +[](CMainFrame& f, bool) { f.ActivateWindow(-1); }},
        // One undo stack per document; the group follows the one in front
        // (CreateUndoNames names the step each would take back).
        {ID_EDIT_UNDO, QT_TR_NOOP("&Undo"), QT_TR_NOOP("Undo"), QT_TR_NOOP("Undo the last change"),
         QKeySequence::keyBindings(QKeySequence::Undo), {kEditMenu, 11}, "undo", 51, E::Undo, C::None,
         &CProgramView::OnEditUndo},
        {ID_EDIT_REDO, QT_TR_NOOP("&Redo"), QT_TR_NOOP("Redo"), QT_TR_NOOP("Redo the change undone last"),
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, {kEditMenu, 12},
         "redo", 52, E::Redo, C::None,
         &CProgramView::OnEditRedo},
        // Clipboard, whole channels, fill and find: the Edit menu and the grid's
        // context menu share them; each works on the channel window in front.
        {ID_EDIT_CUT, QT_TR_NOOP("Cu&t"), nullptr, QT_TR_NOOP("Copy the selected cells and clear them"),
         {QKeySequence::Cut}, {editAndGrid, 21}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnEditCut},
        {ID_EDIT_COPY, QT_TR_NOOP("Cop&y"), nullptr, QT_TR_NOOP("Copy the selected cells as text a spreadsheet reads"),
         {QKeySequence::Copy}, {editAndGrid, 22}, nullptr, 0, E::View, C::None,
         &CProgramView::OnEditCopy},
        {ID_EDIT_COPY_HEADINGS, QT_TR_NOOP("Copy with Headin&gs"), nullptr,
         QT_TR_NOOP("Copy the selected cells after a line of headings"),
         {}, {editAndGrid, 23}, nullptr, 0, E::View, C::None,
         &CProgramView::OnEditCopyWithHeadings},
        {ID_EDIT_PASTE, QT_TR_NOOP("&Paste"), nullptr, QT_TR_NOOP("Paste cells copied here or in a spreadsheet"),
         {QKeySequence::Paste}, {editAndGrid, 24}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnEditPaste},
        {ID_EDIT_CLEAR, QT_TR_NOOP("Cl&ear\tDel"), nullptr, QT_TR_NOOP("Clear the selected cells"),
         {}, {editAndGrid, 25}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnEditClear},
        {ID_EDIT_SET_CELLS, QT_TR_NOOP("Set Selected Cells..."), nullptr,
         QT_TR_NOOP("Set every selected cell of one column to one value (in a cell: type it, then Ctrl+Enter)"),
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}, {editAndGrid, 26},
         nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnSetSelectedCells},
        {ID_EDIT_SELECT_ALL, QT_TR_NOOP("Select &All"), nullptr, QT_TR_NOOP("Select every channel"),
         {QKeySequence::SelectAll}, {kEditMenu, 51}, nullptr, 0, E::View, C::None,
         &CProgramView::OnEditSelectAll},
        {ID_EDIT_FIND, QT_TR_NOOP("&Find..."), nullptr, QT_TR_NOOP("Find a channel by name or frequency"),
         {QKeySequence::Find}, {kEditMenu, 52}, nullptr, 0, E::View, C::None,
         &CProgramView::OnEditFind},
        {ID_EDIT_REPEAT, QT_TR_NOOP("Find Ne&xt"), nullptr, QT_TR_NOOP("Find the next channel that matches"),
         {QKeySequence(Qt::Key_F3)}, {kEditMenu, 53}, nullptr, 0, E::View, C::None,
         &CProgramView::OnEditFindNext},
        {ID_CHANNEL_INSERT, QT_TR_NOOP("&Insert Empty Channel"), nullptr,
         QT_TR_NOOP("Insert empty channels before the selected ones"),
         {}, {editAndGrid, 31}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnInsertChannels},
        {ID_CHANNEL_DELETE, QT_TR_NOOP("&Delete Channels"), nullptr,
         QT_TR_NOOP("Delete the selected channels; the following move up"),
         {}, {editAndGrid, 32}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnDeleteChannels},
        {ID_CHANNEL_MOVE_UP, QT_TR_NOOP("Mo&ve Up"), nullptr, QT_TR_NOOP("Move the selected channels up"),
         {QKeySequence(Qt::CTRL | Qt::Key_Up)}, {editAndGrid, 33}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnMoveChannelsUp},
        {ID_CHANNEL_MOVE_DOWN, QT_TR_NOOP("Move Do&wn"), nullptr, QT_TR_NOOP("Move the selected channels down"),
         {QKeySequence(Qt::CTRL | Qt::Key_Down)}, {editAndGrid, 34}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnMoveChannelsDown},
        {ID_CHANNEL_CLEAR, QT_TR_NOOP("Clear Cha&nnels"), nullptr, QT_TR_NOOP("Empty the selected channels"),
         {}, {editAndGrid, 35}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnClearChannels},
        {ID_SORT_RX, QT_TR_NOOP("by &Rx Frequency"), nullptr,
         QT_TR_NOOP("Sort the selected channels by receive frequency"),
         {}, {kSortMenu, 11}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnSortByRxFrequency},
        {ID_SORT_NAME, QT_TR_NOOP("by &Name"), nullptr, QT_TR_NOOP("Sort the selected channels by name"),
         {}, {kSortMenu, 12}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnSortByName},
        {ID_SORT_TONE, QT_TR_NOOP("by &Tone"), nullptr, QT_TR_NOOP("Sort the selected channels by receive tone"),
         {}, {kSortMenu, 13}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnSortByTone},
        {ID_FILL_DOWN, QT_TR_NOOP("Fi&ll Down"), nullptr,
         QT_TR_NOOP("Copy the first selected row into the rest of the selection"),
         {QKeySequence(Qt::CTRL | Qt::Key_D)}, {editAndGrid, 41}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnFillDown},
        {ID_FILL_SERIES_6K25, QT_TR_NOOP("&6.25 kHz"), nullptr,
         QT_TR_NOOP("Step the frequencies of the selected rows by 6.25 kHz"),
         {}, {kFillSeriesMenu, 11}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnFillSeries6k25},
        {ID_FILL_SERIES_12K5, QT_TR_NOOP("&12.5 kHz"), nullptr,
         QT_TR_NOOP("Step the frequencies of the selected rows by 12.5 kHz"),
         {}, {kFillSeriesMenu, 12}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnFillSeries12k5},
        {ID_FILL_SERIES_25K, QT_TR_NOOP("&25 kHz"), nullptr,
         QT_TR_NOOP("Step the frequencies of the selected rows by 25 kHz"),
         {}, {kFillSeriesMenu, 13}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnFillSeries25k},
        // File > Import Channels: from a file of the user's; the stock lists follow it.
        {ID_FILE_IMPORT_CHANNELS, QT_TR_NOOP("From &File..."), nullptr,
         QT_TR_NOOP("Replace the channels with those of a CSV file, after a preview"),
         {}, {kImportMenu, 11}, nullptr, 0, E::MayChange, C::None,
         &CProgramView::OnImportChannels},
        {ID_FILE_EXPORT_CHANNELS, QT_TR_NOOP("&Export Channels..."), nullptr,
         QT_TR_NOOP("Write the channels to a CSV file"),
         {}, {kDocFileMenu, 22}, nullptr, 0, E::View, C::None,
         &CProgramView::OnExportChannels},
    };
    // clang-format on
    return rows;
}

const QList<MenuRow>& CMainFrame::MenuTable()
{
    const unsigned bar = kHelpKeys | kRefreshOnShow;
    const unsigned submenu = kOnePerPlace | kHelpKeys;
    // The frame's own menus are made in this order, before any is filled.
    // clang-format off
    static const QList<MenuRow> rows = {
        // The recent files, in both File menus.
        {kRecentMenu, "RecentMenu", QT_TR_NOOP("Recent &Files"), {kFileMenu | kDocFileMenu, 41}, 0,
         [](CMainFrame& f, QMenu* m) { f.m_docs.FillRecentMenu(m); }, "RecentFiles"},
        // Menu 128, shown while no document exists.
        {kFileMenu, "FileMenu", QT_TR_NOOP("&File"), {kNoDocMenuBar, 1}, bar, nullptr},
        {kViewMenu, "ViewMenu", QT_TR_NOOP("&View"), {kNoDocMenuBar, 2}, bar, nullptr},
        {kHelpMenu, "HelpMenu", QT_TR_NOOP("&Help"), {kNoDocMenuBar, 3}, bar, nullptr},
        // Menu 129: File, Edit, Program, View, Setup, Window, Help.
        {kDocFileMenu, "FileMenu", QT_TR_NOOP("&File"), {kDocMenuBar, 1}, bar, nullptr},
        {kEditMenu, "EditMenu", QT_TR_NOOP("&Edit"), {kDocMenuBar, 2}, bar, nullptr},
        {kSortMenu, "SortMenu", QT_TR_NOOP("Sort C&hannels"), {kEditMenu | kGridMenu, 36}, submenu, nullptr},
        {kFillSeriesMenu, "FillSeriesMenu", QT_TR_NOOP("Fill &Series"), {kEditMenu | kGridMenu, 42}, submenu, nullptr},
        {kProgramMenu, "ProgramMenu", QT_TR_NOOP("&Program"), {kDocMenuBar, 3}, bar, nullptr},
        {kDocViewMenu, "ViewMenu", QT_TR_NOOP("&View"), {kDocMenuBar, 4}, bar, nullptr},
        {kSetupMenu, "SetupMenu", QT_TR_NOOP("&Setup"), {kDocMenuBar, 5}, bar, nullptr},
        // The open windows, numbered, after the arrangements.
        {kWindowMenu, "WindowMenu", QT_TR_NOOP("&Window"), {kDocMenuBar, 6}, bar,
         [](CMainFrame& f, QMenu* m) { f.FillWindowMenu(m); }},
        {kDocHelpMenu, "HelpMenu", QT_TR_NOOP("&Help"), {kDocMenuBar, 7}, bar, nullptr},
        // Import Channels: from a file of the user's, or from a stock list shipped with the program.
        {kImportMenu, "ImportChannelsMenu", QT_TR_NOOP("&Import Channels"), {kDocFileMenu, 21}, kHelpKeys, nullptr},
        {kStockMenu, "StockListsMenu", QT_TR_NOOP("&Stock lists"), {kImportMenu, 12}, submenu,
         [](CMainFrame& f, QMenu* m) { f.FillStockMenu(m); }},
        // The grid's context menu: the Edit menu's editing commands.
        {kGridMenu, "GridMenu", nullptr, {}, kHelpKeys, nullptr},
    };
    // clang-format on
    return rows;
}

QAction* CMainFrame::Action(int commandId) const { return m_actions.value(commandId, nullptr); }

QList<QMenu*> CMainFrame::CurrentMenus() const { return m_bDocMenus ? m_docMenus : m_mainMenus; }

QMenu* CMainFrame::Menu(const QString& objectName) const
{
    for (QMenu* m : CurrentMenus())
        if (m->objectName() == objectName)
            return m;
    return nullptr;
}

void CMainFrame::CreateActions()
{
    m_pUndoGroup = new QUndoGroup(this);
    for (const CommandRow& c : CommandTable()) {
        auto* a = new QAction(Text(c.text), this);
        a->setData(c.id);
        a->setObjectName(QStringLiteral("action%1").arg(c.id));
        if (c.toolTip)
            a->setToolTip(Text(c.toolTip));
        a->setStatusTip(Text(c.statusTip));
        a->setShortcuts(c.keys);
        a->setCheckable(c.check != CommandCheck::None);
        addAction(a);  // accelerators work with every menu set
        m_actions.insert(c.id, a);
        ConnectCommand(a, c.handler);
    }
    CreateUndoNames();
}

void CMainFrame::ConnectCommand(QAction* action, const CommandHandler& handler)
{
    std::visit(
        [this, action](auto run) {
            using Run = decltype(run);
            if constexpr (std::is_same_v<Run, FrameCommand>) {
                connect(action, &QAction::triggered, this, [this, run](bool checked) { run(*this, checked); });
            } else if constexpr (std::is_same_v<Run, void (CProgramView::*)()>) {
                connect(action, &QAction::triggered, this, [this, run] {
                    if (CProgramView* v = ActiveView())
                        (v->*run)();
                });
            } else if constexpr (std::is_same_v<Run, void (CLinkController::*)()>) {
                connect(action, &QAction::triggered, this, [this, run] {
                    if (CLinkController* link = ActiveLink())
                        (link->*run)();
                });
            } else {
                static_assert(std::is_same_v<Run, void (CPrintJob::*)()>);
                connect(action, &QAction::triggered, this, [this, run] {
                    if (CProgramView* v = ActiveView()) {
                        CPrintJob job(v->Grid(), v->GetDocument(), v);
                        (job.*run)();
                    }
                });
            }
        },
        handler);
}

void CMainFrame::CreateUndoNames()
{
    // Undo and redo name the step they would take back ("Undo Paste 12 channels").
    QAction* undo = Action(ID_EDIT_UNDO);
    QAction* redo = Action(ID_EDIT_REDO);
    auto name = [](QAction* a, const QString& bare, const QString& withStep, const QString& step) {
        a->setText(step.isEmpty() ? bare : withStep.arg(step));
        a->setToolTip(a->text().remove(QLatin1Char('&')));
    };
    connect(m_pUndoGroup, &QUndoGroup::undoTextChanged, this,
            [=, this](const QString& step) { name(undo, tr("&Undo"), tr("&Undo %1"), step); });
    connect(m_pUndoGroup, &QUndoGroup::redoTextChanged, this,
            [=, this](const QString& step) { name(redo, tr("&Redo"), tr("&Redo %1"), step); });
    connect(m_pUndoGroup, &QUndoGroup::canUndoChanged, this, [this] { UpdateFrameMenu(); });
    connect(m_pUndoGroup, &QUndoGroup::canRedoChanged, this, [this] { UpdateFrameMenu(); });
}

void CMainFrame::CreateMenus()
{
    for (const MenuRow& m : MenuTable())
        if (!(m.traits & kOnePerPlace)) {
            auto* menu = new QMenu(Text(m.title), this);
            menu->setObjectName(QLatin1String(m.objectName));
            m_menus.insert(m.menu, menu);
        }
    for (const MenuRow& m : MenuTable())
        if (!(m.traits & kOnePerPlace))
            FillMenu(m_menus.value(m.menu), m);
    for (const unsigned bar : {kNoDocMenuBar, kDocMenuBar}) {
        QList<std::pair<int, QMenu*>> menus;
        for (const MenuRow& m : MenuTable())
            if (m.place.menus & bar)
                menus.append({m.place.at, m_menus.value(m.menu)});
        QList<QMenu*>& set = bar == kNoDocMenuBar ? m_mainMenus : m_docMenus;
        Lay(
            menus, [&set](QMenu* m) { set << m; }, [] {});
    }
    m_bDocMenus = true;  // forces the first UpdateFrameMenu to install a set
    for (QMenu* m : m_mainMenus)
        menuBar()->addMenu(m);
    m_bDocMenus = false;
}

void CMainFrame::FillMenu(QMenu* menu, const MenuRow& row)
{
    if (row.traits & kHelpKeys)
        menu->installEventFilter(this);  // F1 over an item opens that command's topic
    if (row.traits & kRefreshOnShow)
        connect(menu, &QMenu::aboutToShow, this, [this] { UpdateFrameMenu(); });
    if (row.fill)
        connect(menu, &QMenu::aboutToShow, this, [this, menu, fill = row.fill] { fill(*this, menu); });
    // A command's row or a submenu's.
    using Item = std::pair<const CommandRow*, const MenuRow*>;
    QList<std::pair<int, Item>> items;
    for (const CommandRow& c : CommandTable())
        if (c.menu.menus & row.menu)
            items.append({c.menu.at, {&c, nullptr}});
    for (const MenuRow& m : MenuTable())
        if (m.place.menus & row.menu)
            items.append({m.place.at, {nullptr, &m}});
    Lay(
        items,
        [this, menu](const Item& item) {
            if (item.first) {
                menu->addAction(Action(item.first->id));
                return;
            }
            const MenuRow& sub = *item.second;
            QAction* entry = nullptr;
            if (sub.traits & kOnePerPlace) {
                QMenu* own = menu->addMenu(Text(sub.title));
                own->setObjectName(QLatin1String(sub.objectName));
                FillMenu(own, sub);
                entry = own->menuAction();
            } else {
                entry = menu->addMenu(m_menus.value(sub.menu));
            }
            if (sub.actionName)
                entry->setObjectName(QLatin1String(sub.actionName));
        },
        [menu] { menu->addSeparator(); });
}

void CMainFrame::CreateToolBar()
{
    m_pToolBar = addToolBar(tr("Toolbar"));
    m_pToolBar->setObjectName(QStringLiteral("ToolBar"));
    m_pToolBar->setIconSize(QSize(18, 19));
    m_pToolBar->setMovable(true);
    // The button that shows the buttons a narrow window has no room for: a
    // screen reader finds it (a check box) while it is hidden, too.
    if (auto* more = m_pToolBar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(tr("More toolbar buttons"));
    QList<std::pair<int, const CommandRow*>> buttons;
    for (const CommandRow& c : CommandTable())
        if (c.icon)
            buttons.append({c.toolAt, &c});
    Lay(
        buttons,
        [this](const CommandRow* c) {
            QAction* a = Action(c->id);
            a->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(c->icon))));
            m_pToolBar->addAction(a);
        },
        [this] { m_pToolBar->addSeparator(); });
    Action(ID_VIEW_TOOLBAR)->setChecked(true);
    connect(m_pToolBar, &QToolBar::visibilityChanged, this,
            [this](bool on) { Action(ID_VIEW_TOOLBAR)->setChecked(on); });
}

void CMainFrame::UpdateFrameMenu()
{
    const bool haveDoc = ActiveChildFrame() != nullptr;
    if (haveDoc != m_bDocMenus) {
        m_bDocMenus = haveDoc;
        menuBar()->clear();
        for (QMenu* m : CurrentMenus())
            menuBar()->addMenu(m);
    }
    CommandState s;
    s.view = ActiveView() != nullptr;
    s.document = ActiveDocument() != nullptr;
    // While a transfer runs the document takes no change (the view also refuses it).
    s.mayChange = s.view && !ActiveDocument()->IsReadOnly();
    s.noWindows = ChildFrames().isEmpty();
    // Undo and redo follow the document in front.
    m_pUndoGroup->setActiveStack(s.view ? ActiveDocument()->UndoStack() : nullptr);
    s.canUndo = m_pUndoGroup->canUndo();
    s.canRedo = m_pUndoGroup->canRedo();
    for (const CommandRow& c : CommandTable()) {
        QAction* a = Action(c.id);
        if (c.enable != CommandEnable::Always)
            a->setEnabled(Enabled(c.enable, s));
        switch (c.check) {
        case CommandCheck::ToolBar: a->setChecked(m_pToolBar && m_pToolBar->isVisibleTo(this)); break;
        case CommandCheck::StatusBar: a->setChecked(statusBar()->isVisibleTo(this)); break;
        case CommandCheck::NavigationBar: a->setChecked(m_pNavBar->isVisibleTo(this)); break;
        case CommandCheck::None:
        case CommandCheck::ByHandler: break;
        }
    }
    UpdatePortIndicator();
    UpdateTransferState();
}
