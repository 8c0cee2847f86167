#include "gui/frame/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QPageSetupDialog>
#include <QPointer>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "gui/app/FileDialogs.h"
#include "gui/app/AboutDlg.h"
#include "gui/app/AppContext.h"
#include "gui/app/AppPrinter.h"
#include "gui/app/AppResources.h"
#include "gui/app/CommandIds.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "gui/app/MessageBox.h"
#include "gui/app/Relaunch.h"
#include "gui/app/ShownText.h"
#include "gui/app/SupportReportDlg.h"
#include "gui/app/StringTable.h"
#include "gui/editor/PrintJob.h"
#include "gui/editor/ProgramView.h"
#include "gui/frame/ChildFrame.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/LanguageDlg.h"
#include "gui/app/LastFolder.h"
#include "gui/frame/MDIClientWnd.h"
#include "gui/frame/NavigationBar.h"
#include "core/exchange/StockLists.h"
#include "core/files/TextFile.h"
#include "core/radio/RadioCatalogue.h"
#include "core/link/PortName.h"
#include "core/radio/DatFile.h"
#include "gui/link/BackupsDlg.h"
#include "gui/link/LinkController.h"
#include "gui/link/LinkSession.h"
#include "gui/link/LinkSettings.h"
#include "gui/radio/ProgramDoc.h"

#include "gui/options/OptionFeaturesDlg.h"
#include "gui/radio/ProductInfoDlg.h"
#include "bridge/CorePath.h"

CMainFrame* CMainFrame::s_pInstance = nullptr;

namespace {
const char* const kChannelInformation[2] = {"Channel Information", "信道信息"};
const char* const kOptionFeatures[2] = {"Optional Features", "可选功能"};
const char* const kProductInformation[2] = {"Product Information", "类型设置"};

QString Builtin(const char* const texts[2]) { return QString::fromUtf8(texts[g_bChinese ? 1 : 0]); }
}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent)
{
    s_pInstance = this;
    EnsureAppResources();
    setObjectName(QStringLiteral("MainFrame"));
    setProperty(kMainCaptionProperty, tr("Program"));
    setWindowTitle(tr("Program"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    resize(1000, 600);
    setAcceptDrops(true);  // a .dat file dropped here opens

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_pNavBar = new CNavigationBar(this);
    m_pMdiClient = new CMDIClientWnd(central);
    layout->addWidget(m_pNavBar);
    layout->addWidget(m_pMdiClient, 1);
    setCentralWidget(central);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateNavigationBar();

    connect(m_pMdiClient, &QMdiArea::subWindowActivated, this, [this] { OnSubWindowActivated(); });
    UpdateFrameMenu();
    // A restart for a language change ends the transfers of every document
    // window and asks to save what is unsaved; the new instance opens the
    // document again. The close of the main window that follows at once does
    // not ask again; a restart that stops before it (the language could not be
    // saved) leaves the next close asking as usual.
    SetRelaunchGuard([this](const std::function<bool()>& commit) {
        if (!PrepareToQuit(commit))
            return false;
        m_bAnswered = true;
        QMetaObject::invokeMethod(
            this, [this] { m_bAnswered = false; }, Qt::QueuedConnection);
        return true;
    });
    SetRelaunchArguments([this] {
        CProgramDoc* doc = ActiveDocument();
        return doc && doc->HasFilePath() ? QStringList{doc->GetPathName()} : QStringList();
    });
    CProgramDoc::SetSaveCommand([this](CProgramDoc* doc) { return SaveDocument(doc); });
}

CMainFrame::~CMainFrame()
{
    // Document windows first: their views reach back into the frame while they go.
    for (CChildFrame* f : ChildFrames())
        delete f;
    delete m_pProductInfoDlg;
    delete m_pOptionFeaturesDlg;
    if (s_pInstance == this) {
        s_pInstance = nullptr;
        SetRelaunchGuard(nullptr);
        SetRelaunchArguments(nullptr);
        CProgramDoc::SetSaveCommand(nullptr);
    }
}

CMainFrame* CMainFrame::Instance() { return s_pInstance; }

CChildFrame* CMainFrame::ActiveChildFrame() const
{
    // Not a child frame any more once its own destructor has run.
    return qobject_cast<CChildFrame*>(m_pActiveChild.data());
}

CProgramDoc* CMainFrame::ActiveDocument() const
{
    CChildFrame* f = FrontChildFrame();
    return f ? f->GetDocument() : nullptr;
}

CProgramView* CMainFrame::ActiveView() const
{
    CChildFrame* f = FrontChildFrame();
    return f ? f->GetView() : nullptr;
}

CLinkController* CMainFrame::ActiveLink() const
{
    CChildFrame* f = FrontChildFrame();
    return f ? f->GetLink() : nullptr;
}

QList<CChildFrame*> CMainFrame::ChildFrames() const
{
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* w : m_pMdiClient->subWindowList())
        if (auto* f = qobject_cast<CChildFrame*>(w))
            frames.append(f);
    return frames;
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

QAction* CMainFrame::AddAction(int id, const QString& text, const QString& tip, const QString& statusTip)
{
    auto* a = new QAction(text, this);
    a->setData(id);
    a->setObjectName(QStringLiteral("action%1").arg(id));
    if (!tip.isEmpty())
        a->setToolTip(tip);
    a->setStatusTip(statusTip);
    addAction(a);  // accelerators work with every menu set
    m_actions.insert(id, a);
    return a;
}

void CMainFrame::ConnectViewCommand(int id, void (CProgramView::*slot)())
{
    connect(Action(id), &QAction::triggered, this, [this, slot] {
        if (CProgramView* v = ActiveView())
            (v->*slot)();
    });
}

void CMainFrame::ConnectLinkCommand(int id, void (CLinkController::*slot)())
{
    connect(Action(id), &QAction::triggered, this, [this, slot] {
        if (CLinkController* link = ActiveLink())
            (link->*slot)();
    });
}

void CMainFrame::ConnectPrintCommand(int id, void (CPrintJob::*run)())
{
    connect(Action(id), &QAction::triggered, this, [this, run] {
        if (CProgramView* v = ActiveView()) {
            CPrintJob job(v->Grid(), v->GetDocument(), v);
            (job.*run)();
        }
    });
}

void CMainFrame::CreateActions()
{
    AddAction(ID_FILE_NEW, tr("&New"), tr("New"), tr("Create a new document"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    AddAction(ID_FILE_OPEN, tr("&Open..."), tr("Open"), tr("Open an existing document"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    AddAction(ID_FILE_CLOSE, tr("&Close"), QString(), tr("Close the channel window"));
    AddAction(ID_FILE_SAVE, tr("&Save"), tr("Save"), tr("Save the active document"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    AddAction(ID_FILE_SAVE_AS, tr("Save &As..."), QString(), tr("Save the active document with a new name"));
    AddAction(ID_FILE_BACKUPS, tr("&Backups..."), QString(), tr("Open a backup of what a radio held when it was read"));
    AddAction(ID_FILE_PRINT, tr("&Print..."), tr("Print"), tr("Print the channel list and the options"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    AddAction(ID_FILE_PRINT_DIRECT, tr("Print &Direct"), QString(), tr("Print on the default printer"));
    AddAction(ID_FILE_PRINT_PREVIEW, tr("Print Pre&view"), QString(), tr("Display full pages"));
    AddAction(ID_FILE_PRINT_SETUP, tr("P&rint Setup..."), QString(), tr("Change the printer and printing options"));
    AddAction(ID_APP_EXIT, tr("E&xit"), QString(), tr("Quit the application"));
    AddAction(ID_CHANNEL_INFORMATION, tr("&Channel Information"), QString(), tr("Show the channel window"));
    AddAction(ID_OPTION_FEATURES, tr("&Optional Features"), QString(), tr("Edit the radio-wide options"));
    AddAction(ID_PRODUCT_INFORMATION, tr("Product Infor&mation"), QString(),
              tr("Choose the radio type and frequency band"));
    AddAction(ID_READ, tr("&Read"), tr("Read"), tr("Read the whole memory from the radio"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    AddAction(ID_WRITE, tr("&Write"), tr("Write"), tr("Write the whole memory to the radio"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    AddAction(ID_VIEW_TOOLBAR, tr("&Toolbar"), QString(), tr("Show or hide the toolbar"))->setCheckable(true);
    AddAction(ID_VIEW_STATUS_BAR, tr("&Status Bar"), QString(), tr("Show or hide the status bar"))->setCheckable(true);
    AddAction(ID_CONTROL_BAR, tr("&Control Bar"), QString(), tr("Show or hide the navigation bar"))->setCheckable(true);
    AddAction(ID_COM_SETUP, tr("&Com Setup"), QString(), tr("Choose the serial port of the radio"));
    AddAction(ID_CHECK_CONNECTION, tr("Check Co&nnection..."), QString(),
              tr("Find out why the radio does not answer on its port, or which port the cable is"));
    AddAction(ID_LANGUAGE, tr("&Language"), QString(), tr("Choose the language of the program"));
    AddAction(ID_LOG_SERIAL, tr("Log Serial &Traffic..."), QString(),
              tr("Write every byte sent to and received from the radio to a file"))
        ->setCheckable(true);
    AddAction(ID_APP_ABOUT, tr("&About Program..."), tr("About"),
              tr("Display program information, version number and copyright"));
    // No shortcut: F1 goes to the focused window first (the channel view and the
    // dialogs answer it with their own topics) and reaches keyPressEvent below otherwise.
    AddAction(ID_HELP, tr("&Help Topics"), QString(), tr("Open the help contents"));
    AddAction(ID_SUPPORT_REPORT, tr("Save Support &Report..."), QString(),
              tr("Show what a support report holds, then save it to attach to a bug report"));
    AddAction(ID_NEXT_PANE, tr("Next Pane"), QString(),
              tr("Move to the next of the navigation tree, the band limits and the channel grid"))
        ->setShortcut(QKeySequence(Qt::Key_F6));
    AddAction(ID_PREV_PANE, tr("Previous Pane"), QString(),
              tr("Move to the previous of the navigation tree, the band limits and the channel grid"))
        ->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    AddAction(ID_WINDOW_CASCADE, tr("&Cascade"), QString(), tr("Arrange the document windows so that they overlap"));
    AddAction(ID_WINDOW_TILE, tr("&Tile"), QString(), tr("Arrange the document windows side by side"));
    AddAction(ID_NEXT_WINDOW, tr("Next Window"), QString(), tr("Switch to the next window"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab));
    AddAction(ID_PREV_WINDOW, tr("Previous Window"), QString(), tr("Switch to the previous window"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab));

    CreateUndoActions();
    CreateEditActions();

    connect(Action(ID_FILE_NEW), &QAction::triggered, this, [this] { OnFileNew(); });
    connect(Action(ID_FILE_OPEN), &QAction::triggered, this, [this] { OnFileOpen(); });
    connect(Action(ID_FILE_PRINT_SETUP), &QAction::triggered, this, [this] { OnFilePrintSetup(); });
    connect(Action(ID_APP_ABOUT), &QAction::triggered, this, [this] { OnAppAbout(); });
    connect(Action(ID_FILE_CLOSE), &QAction::triggered, this, [this] { OnFileClose(); });
    connect(Action(ID_FILE_SAVE), &QAction::triggered, this, [this] { OnFileSave(); });
    connect(Action(ID_FILE_SAVE_AS), &QAction::triggered, this, [this] { OnFileSaveAs(); });
    connect(Action(ID_FILE_BACKUPS), &QAction::triggered, this, [this] { OnFileBackups(); });
    connect(Action(ID_LOG_SERIAL), &QAction::triggered, this, [this](bool on) { OnLogSerialTraffic(on); });
    connect(Action(ID_APP_EXIT), &QAction::triggered, this, [this] { close(); });
    connect(Action(ID_CHANNEL_INFORMATION), &QAction::triggered, this, [this] { OnChannelInformation(); });
    connect(Action(ID_OPTION_FEATURES), &QAction::triggered, this, [this] { OnOptionFeatures(); });
    connect(Action(ID_PRODUCT_INFORMATION), &QAction::triggered, this, [this] { OnProductInformation(); });
    connect(Action(ID_CONTROL_BAR), &QAction::triggered, this, [this] { OnControlBar(); });
    connect(Action(ID_VIEW_TOOLBAR), &QAction::triggered, this, [this](bool on) { m_pToolBar->setVisible(on); });
    connect(Action(ID_VIEW_STATUS_BAR), &QAction::triggered, this, [this](bool on) { statusBar()->setVisible(on); });
    connect(Action(ID_HELP), &QAction::triggered, this, [this] { WinHelp(ID_HELP); });
    connect(Action(ID_SUPPORT_REPORT), &QAction::triggered, this, [this] { OnSupportReport(); });
    connect(Action(ID_NEXT_PANE), &QAction::triggered, this, [this] { MoveToPane(+1); });
    connect(Action(ID_PREV_PANE), &QAction::triggered, this, [this] { MoveToPane(-1); });
    connect(Action(ID_NEXT_WINDOW), &QAction::triggered, this, [this] { ActivateWindow(+1); });
    connect(Action(ID_WINDOW_CASCADE), &QAction::triggered, this, [this] { m_pMdiClient->cascadeSubWindows(); });
    connect(Action(ID_WINDOW_TILE), &QAction::triggered, this, [this] { m_pMdiClient->tileSubWindows(); });
    connect(Action(ID_PREV_WINDOW), &QAction::triggered, this, [this] { ActivateWindow(-1); });
    // A read opens a document of its own: nothing the window shows is replaced,
    // so there are no unsaved changes to ask about.
    ConnectLinkCommand(ID_READ, &CLinkController::OnRead);
    ConnectLinkCommand(ID_WRITE, &CLinkController::OnWrite);
    ConnectLinkCommand(ID_COM_SETUP, &CLinkController::OnComSetup);
    ConnectLinkCommand(ID_CHECK_CONNECTION, &CLinkController::OnCheckConnection);
    connect(Action(ID_LANGUAGE), &QAction::triggered, this, [this] {
        if (CProgramView* v = ActiveView())
            RunLanguageCommand(v);
    });
    ConnectPrintCommand(ID_FILE_PRINT, &CPrintJob::Print);
    ConnectPrintCommand(ID_FILE_PRINT_DIRECT, &CPrintJob::PrintDirect);
    ConnectPrintCommand(ID_FILE_PRINT_PREVIEW, &CPrintJob::Preview);
}

void CMainFrame::CreateUndoActions()
{
    // One undo stack per document; the group follows the active one and
    // names the step each command would take back ("Undo Paste 12 channels").
    m_pUndoGroup = new QUndoGroup(this);
    QAction* undo = AddAction(ID_EDIT_UNDO, tr("&Undo"), tr("Undo"), tr("Undo the last change"));
    undo->setShortcuts(QKeySequence::Undo);
    QAction* redo = AddAction(ID_EDIT_REDO, tr("&Redo"), tr("Redo"), tr("Redo the change undone last"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
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
    ConnectViewCommand(ID_EDIT_UNDO, &CProgramView::OnEditUndo);
    ConnectViewCommand(ID_EDIT_REDO, &CProgramView::OnEditRedo);
}

void CMainFrame::CreateEditActions()
{
    // Clipboard, whole channels, fill and find: the Edit menu and the grid's
    // context menu share them; each works on the active channel window.
    const struct {
        int id;
        QString text;
        QString statusTip;
        QList<QKeySequence> keys;
        void (CProgramView::*slot)();
    } commands[] = {
        // clang-format off
        {ID_EDIT_CUT, tr("Cu&t"), tr("Copy the selected cells and clear them"), {QKeySequence::Cut},
         &CProgramView::OnEditCut},
        {ID_EDIT_COPY, tr("Cop&y"), tr("Copy the selected cells as text a spreadsheet reads"), {QKeySequence::Copy},
         &CProgramView::OnEditCopy},
        {ID_EDIT_COPY_HEADINGS, tr("Copy with Headin&gs"), tr("Copy the selected cells after a line of headings"),
         {}, &CProgramView::OnEditCopyWithHeadings},
        {ID_EDIT_PASTE, tr("&Paste"), tr("Paste cells copied here or in a spreadsheet"), {QKeySequence::Paste},
         &CProgramView::OnEditPaste},
        {ID_EDIT_CLEAR, tr("Cl&ear\tDel"), tr("Clear the selected cells"), {}, &CProgramView::OnEditClear},
        {ID_EDIT_SET_CELLS, tr("Set Selected Cells..."),
         tr("Set every selected cell of one column to one value (in a cell: type it, then Ctrl+Enter)"),
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)},
         &CProgramView::OnSetSelectedCells},
        {ID_EDIT_SELECT_ALL, tr("Select &All"), tr("Select every channel"), {QKeySequence::SelectAll},
         &CProgramView::OnEditSelectAll},
        {ID_EDIT_FIND, tr("&Find..."), tr("Find a channel by name or frequency"), {QKeySequence::Find},
         &CProgramView::OnEditFind},
        {ID_EDIT_REPEAT, tr("Find Ne&xt"), tr("Find the next channel that matches"), {QKeySequence(Qt::Key_F3)},
         &CProgramView::OnEditFindNext},
        {ID_CHANNEL_INSERT, tr("&Insert Empty Channel"), tr("Insert empty channels before the selected ones"), {},
         &CProgramView::OnInsertChannels},
        {ID_CHANNEL_DELETE, tr("&Delete Channels"), tr("Delete the selected channels; the following move up"), {},
         &CProgramView::OnDeleteChannels},
        {ID_CHANNEL_MOVE_UP, tr("Mo&ve Up"), tr("Move the selected channels up"), {QKeySequence(Qt::CTRL | Qt::Key_Up)},
         &CProgramView::OnMoveChannelsUp},
        {ID_CHANNEL_MOVE_DOWN, tr("Move Do&wn"), tr("Move the selected channels down"),
         {QKeySequence(Qt::CTRL | Qt::Key_Down)}, &CProgramView::OnMoveChannelsDown},
        {ID_CHANNEL_CLEAR, tr("Clear Cha&nnels"), tr("Empty the selected channels"), {},
         &CProgramView::OnClearChannels},
        {ID_SORT_RX, tr("by &Rx Frequency"), tr("Sort the selected channels by receive frequency"), {},
         &CProgramView::OnSortByRxFrequency},
        {ID_SORT_NAME, tr("by &Name"), tr("Sort the selected channels by name"), {}, &CProgramView::OnSortByName},
        {ID_SORT_TONE, tr("by &Tone"), tr("Sort the selected channels by receive tone"), {},
         &CProgramView::OnSortByTone},
        {ID_FILL_DOWN, tr("Fi&ll Down"), tr("Copy the first selected row into the rest of the selection"),
         {QKeySequence(Qt::CTRL | Qt::Key_D)}, &CProgramView::OnFillDown},
        {ID_FILL_SERIES_6K25, tr("&6.25 kHz"), tr("Step the frequencies of the selected rows by 6.25 kHz"), {},
         &CProgramView::OnFillSeries6k25},
        {ID_FILL_SERIES_12K5, tr("&12.5 kHz"), tr("Step the frequencies of the selected rows by 12.5 kHz"), {},
         &CProgramView::OnFillSeries12k5},
        {ID_FILL_SERIES_25K, tr("&25 kHz"), tr("Step the frequencies of the selected rows by 25 kHz"), {},
         &CProgramView::OnFillSeries25k},
        // clang-format on
    };
    for (const auto& c : commands) {
        AddAction(c.id, c.text, QString(), c.statusTip)->setShortcuts(c.keys);
        ConnectViewCommand(c.id, c.slot);
    }
    AddAction(ID_FILE_IMPORT_CHANNELS, tr("&Import Channels..."), QString(),
              tr("Replace the channels with those of a CSV file, after a preview"));
    ConnectViewCommand(ID_FILE_IMPORT_CHANNELS, &CProgramView::OnImportChannels);
    AddAction(ID_FILE_EXPORT_CHANNELS, tr("&Export Channels..."), QString(), tr("Write the channels to a CSV file"));
    ConnectViewCommand(ID_FILE_EXPORT_CHANNELS, &CProgramView::OnExportChannels);
}

QList<QAction*> CMainFrame::BuildEditMenu(QMenu* menu)
{
    auto add = [this, menu](std::initializer_list<int> ids) {
        for (int id : ids) {
            if (id)
                menu->addAction(Action(id));
            else
                menu->addSeparator();
        }
    };
    add({ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_COPY_HEADINGS, ID_EDIT_PASTE, ID_EDIT_CLEAR, ID_EDIT_SET_CELLS, 0,
         ID_CHANNEL_INSERT, ID_CHANNEL_DELETE, ID_CHANNEL_MOVE_UP, ID_CHANNEL_MOVE_DOWN, ID_CHANNEL_CLEAR});
    QMenu* sort = menu->addMenu(tr("Sort C&hannels"));
    sort->setObjectName(QStringLiteral("SortMenu"));
    for (int id : {ID_SORT_RX, ID_SORT_NAME, ID_SORT_TONE})
        sort->addAction(Action(id));
    menu->addSeparator();
    menu->addAction(Action(ID_FILL_DOWN));
    QMenu* series = menu->addMenu(tr("Fill &Series"));
    series->setObjectName(QStringLiteral("FillSeriesMenu"));
    for (int id : {ID_FILL_SERIES_6K25, ID_FILL_SERIES_12K5, ID_FILL_SERIES_25K})
        series->addAction(Action(id));
    for (QMenu* m : {sort, series})
        m->installEventFilter(this);  // F1 over an item opens that command's topic
    return menu->actions();
}

void CMainFrame::CreateMenus()
{
    auto makeMenu = [this](const QString& name, const QString& title, std::initializer_list<int> ids) {
        auto* m = new QMenu(title, this);
        m->setObjectName(name);
        for (int id : ids) {
            if (id == 0)
                m->addSeparator();
            else
                m->addAction(Action(id));
        }
        m->installEventFilter(this);  // F1 over an item opens that command's topic
        connect(m, &QMenu::aboutToShow, this, [this] { UpdateFrameMenu(); });
        return m;
    };
    // The recent files, in both File menus.
    m_pRecentMenu = new QMenu(tr("Recent &Files"), this);
    m_pRecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    connect(m_pRecentMenu, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    // Menu 128, shown while no document exists.
    m_mainMenus = {
        makeMenu(QStringLiteral("FileMenu"), tr("&File"),
                 {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_BACKUPS, 0, ID_FILE_PRINT_SETUP, 0, ID_APP_EXIT}),
        makeMenu(QStringLiteral("ViewMenu"), tr("&View"), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}),
        makeMenu(QStringLiteral("HelpMenu"), tr("&Help"), {ID_APP_ABOUT, ID_HELP, 0, ID_SUPPORT_REPORT}),
    };
    // Menu 129: File, Edit, Program, View, Setup, Help.
    m_docMenus = {
        makeMenu(QStringLiteral("FileMenu"), tr("&File"),
                 {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_BACKUPS, 0,
                  ID_FILE_IMPORT_CHANNELS, ID_FILE_EXPORT_CHANNELS, 0, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW,
                  ID_FILE_PRINT_SETUP, 0, ID_APP_EXIT}),
        makeMenu(QStringLiteral("EditMenu"), tr("&Edit"), {ID_EDIT_UNDO, ID_EDIT_REDO, 0}),
        makeMenu(QStringLiteral("ProgramMenu"), tr("&Program"), {ID_READ, ID_WRITE}),
        makeMenu(QStringLiteral("ViewMenu"), tr("&View"), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_CONTROL_BAR}),
        makeMenu(QStringLiteral("SetupMenu"), tr("&Setup"),
                 {ID_COM_SETUP, ID_CHECK_CONNECTION, ID_LOG_SERIAL, ID_LANGUAGE}),
        makeMenu(QStringLiteral("WindowMenu"), tr("&Window"),
                 {ID_WINDOW_CASCADE, ID_WINDOW_TILE, ID_NEXT_WINDOW, ID_PREV_WINDOW}),
        makeMenu(QStringLiteral("HelpMenu"), tr("&Help"), {ID_APP_ABOUT, ID_HELP, 0, ID_SUPPORT_REPORT}),
    };
    // The open windows, numbered, after the arrangements.
    QMenu* windows = m_docMenus[5];
    connect(windows, &QMenu::aboutToShow, this, [this, windows] { FillWindowMenu(windows); });
    for (QMenu* file : {m_mainMenus[0], m_docMenus[0]})
        file->insertMenu(Action(ID_APP_EXIT), m_pRecentMenu)->setObjectName(QStringLiteral("RecentFiles"));
    // Import Channels: from a file of the user's, or from a stock list shipped with the program.
    auto* import = new QMenu(tr("&Import Channels"), this);
    import->setObjectName(QStringLiteral("ImportChannelsMenu"));
    m_docMenus[0]->insertMenu(Action(ID_FILE_IMPORT_CHANNELS), import);
    m_docMenus[0]->removeAction(Action(ID_FILE_IMPORT_CHANNELS));
    Action(ID_FILE_IMPORT_CHANNELS)->setText(tr("From &File..."));
    import->addAction(Action(ID_FILE_IMPORT_CHANNELS));
    m_pStockMenu = import->addMenu(tr("&Stock lists"));
    m_pStockMenu->setObjectName(QStringLiteral("StockListsMenu"));
    connect(m_pStockMenu, &QMenu::aboutToShow, this, [this] { FillStockMenu(); });
    for (QMenu* m : {import, m_pStockMenu})
        m->installEventFilter(this);  // F1 over an item opens the import's topic
    for (QMenu* file : {m_mainMenus[0], m_docMenus[0]})
        file->insertSeparator(Action(ID_APP_EXIT));
    // The Edit menu: undo, the editing commands, find, then the windows it always offered.
    QMenu* edit = m_docMenus[1];
    BuildEditMenu(edit);
    edit->addSeparator();
    for (int id : {int(ID_EDIT_SELECT_ALL), int(ID_EDIT_FIND), int(ID_EDIT_REPEAT), 0, int(ID_CHANNEL_INFORMATION),
                   int(ID_OPTION_FEATURES), int(ID_PRODUCT_INFORMATION)}) {
        if (id)
            edit->addAction(Action(id));
        else
            edit->addSeparator();
    }
    // The grid's context menu: the same commands.
    m_pGridMenu = new QMenu(this);
    m_pGridMenu->setObjectName(QStringLiteral("GridMenu"));
    BuildEditMenu(m_pGridMenu);
    m_pGridMenu->installEventFilter(this);
    m_bDocMenus = true;  // forces the first UpdateFrameMenu to install a set
    for (QMenu* m : m_mainMenus)
        menuBar()->addMenu(m);
    m_bDocMenus = false;
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
    const struct {
        int id;
        const char* icon;
    } buttons[] = {// The buttons users know, in their usual places; ours follow them.
                   {ID_FILE_NEW, "new"},  {ID_FILE_OPEN, "open"},  {ID_FILE_SAVE, "save"}, {0, nullptr},
                   {ID_READ, "read"},     {ID_WRITE, "write"},     {0, nullptr},           {ID_FILE_PRINT, "print"},
                   {0, nullptr},          {ID_APP_ABOUT, "about"}, {0, nullptr},           {ID_EDIT_UNDO, "undo"},
                   {ID_EDIT_REDO, "redo"}};
    for (const auto& b : buttons) {
        if (b.id == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* a = Action(b.id);
        a->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(b.icon))));
        m_pToolBar->addAction(a);
    }
    Action(ID_VIEW_TOOLBAR)->setChecked(true);
    connect(m_pToolBar, &QToolBar::visibilityChanged, this,
            [this](bool on) { Action(ID_VIEW_TOOLBAR)->setChecked(on); });
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setAccessibleName(tr("Status bar"));
    menuBar()->setAccessibleName(tr("Menu bar"));
    // Both name ports and files: plain text, never markup.
    m_pReadyLabel = new QLabel(tr("Ready"), bar);
    m_pReadyLabel->setTextFormat(Qt::PlainText);
    bar->addWidget(m_pReadyLabel, 1);
    m_pPortLabel = new QLabel(bar);
    m_pPortLabel->setObjectName(QStringLiteral("PortIndicator"));
    m_pPortLabel->setTextFormat(Qt::PlainText);
    m_pPortLabel->setFrameShape(QFrame::Panel);
    m_pPortLabel->setFrameShadow(QFrame::Sunken);
    bar->addPermanentWidget(m_pPortLabel);
    const QString indicators[] = {tr("CAP"), tr("NUM"), tr("SCRL")};
    for (const QString& text : indicators) {
        auto* label = new QLabel(text, bar);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + 12);
        bar->addPermanentWidget(label);
    }
    Action(ID_VIEW_STATUS_BAR)->setChecked(true);
}

void CMainFrame::CreateNavigationBar()
{
    QTreeWidget* tree = m_pNavBar->Tree();
    m_pTreeRoot = new QTreeWidgetItem(tree, QStringList(IniString(g_strLanguage, "Company")));
    new QTreeWidgetItem(m_pTreeRoot, QStringList(Builtin(kChannelInformation)));
    new QTreeWidgetItem(m_pTreeRoot, QStringList(Builtin(kOptionFeatures)));
    // The dialog has no other way in from the tree as first made; this entry is ours.
    new QTreeWidgetItem(m_pTreeRoot, QStringList(Builtin(kProductInformation)));
    m_pTreeRoot->setExpanded(true);
    m_bSelectingRoot = true;
    tree->setCurrentItem(m_pTreeRoot);
    m_bSelectingRoot = false;
    connect(tree, &QTreeWidget::currentItemChanged, this, &CMainFrame::OnSelChangedTree);
    tree->installEventFilter(this);  // its keys: an entry is chosen with the arrows, opened with Enter
    connect(m_pNavBar, &CNavigationBar::closeRequested, this, [this] {
        m_pNavBar->hide();
        UpdateFrameMenu();
    });
    Action(ID_CONTROL_BAR)->setChecked(true);
}

void CMainFrame::OnSelChangedTree()
{
    // Our own re-selection of the root below notifies again: that one is ignored.
    if (m_bSelectingRoot)
        return;
    QTreeWidget* tree = m_pNavBar->Tree();
    // The entry under the pointer counts, not the item the notification names.
    const QPoint p = tree->viewport()->mapFromGlobal(QCursor::pos());
    QTreeWidgetItem* hit = tree->itemAt(p);
    OpenTreeEntry(hit);
    // Back to the root so that choosing the same entry again is again a change. The
    // selection is set once more after the press is finished, which would otherwise
    // leave the pressed entry highlighted.
    auto selectRoot = [this, tree] {
        m_bSelectingRoot = true;
        tree->setCurrentItem(m_pTreeRoot);
        m_bSelectingRoot = false;
    };
    selectRoot();
    QMetaObject::invokeMethod(this, selectRoot, Qt::QueuedConnection);
}

void CMainFrame::MoveToPane(int step)
{
    // Round the navigation tree, the band boxes and the grid of the window in
    // front, each while it is on show; Tab keeps moving inside the grid.
    enum { kTree, kBands, kGrid };
    CChildFrame* child = ActiveChildFrame();
    CProgramView* view = child && child->isVisible() ? child->GetView() : nullptr;
    QTreeWidget* tree = m_pNavBar->Tree();
    QList<int> panes;
    if (m_pNavBar->isVisible())
        panes << kTree;
    if (view)
        panes << kBands << kGrid;
    if (panes.isEmpty())
        return;
    const QWidget* focus = QApplication::focusWidget();
    int at = -1;
    if (focus && (focus == tree || tree->isAncestorOf(focus)))
        at = kTree;
    else if (view && view->FocusedPane() != CProgramView::Pane::None)
        at = view->FocusedPane() == CProgramView::Pane::Grid ? kGrid : kBands;
    const int n = static_cast<int>(panes.size());
    const int index = panes.indexOf(at);
    const int next = panes[index < 0 ? (step > 0 ? 0 : n - 1) : (index + step + n) % n];
    // Leaving the grid is leaving its cell: the open editor commits first.
    if (at == kGrid && next != kGrid)
        view->CommitEditor(CommitTrigger::LeaveCell);
    if (next == kTree)
        tree->setFocus(Qt::ShortcutFocusReason);
    else
        view->FocusPane(next == kGrid ? CProgramView::Pane::Grid : CProgramView::Pane::BandBoxes);
}

void CMainFrame::ActivateWindow(int step)
{
    // The document windows on show, in the order they were opened; a closed
    // (hidden) one is passed over.
    QList<CChildFrame*> shown;
    for (CChildFrame* f : ChildFrames())
        if (f->isVisible())
            shown << f;
    if (shown.isEmpty())
        return;
    const int n = static_cast<int>(shown.size());
    const int index = shown.indexOf(ActiveChildFrame());
    CChildFrame* next = shown[index < 0 ? 0 : (index + step + n) % n];
    m_pMdiClient->setActiveSubWindow(next);
    next->GetView()->FocusPane(CProgramView::Pane::Grid);
}

void CMainFrame::OpenTreeEntry(const QTreeWidgetItem* item)
{
    const QString text = item ? item->text(0) : QString();
    if (text == Builtin(kChannelInformation))
        OnChannelInformation();
    else if (text == Builtin(kOptionFeatures))
        OnOptionFeatures();
    else if (text == Builtin(kProductInformation))
        OnProductInformation();
}

bool CMainFrame::OnTreeKey(QKeyEvent* key)
{
    // The pointer decides what a selection change opens, so a key never opens
    // an entry by moving to it: the tree moves as it does, with the handler
    // standing aside, and Enter or Space opens the entry the keys reached.
    // Then the root is the selected item again, as after a click.
    QTreeWidget* tree = m_pNavBar->Tree();
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const bool open =
        plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space);
    if (open)
        OpenTreeEntry(tree->currentItem());
    m_bSelectingRoot = true;
    if (open)
        tree->setCurrentItem(m_pTreeRoot);
    else
        QCoreApplication::sendEvent(tree, key);
    m_bSelectingRoot = false;
    key->accept();
    return true;
}

void CMainFrame::OnControlBar()
{
    m_pNavBar->setVisible(!m_pNavBar->isVisible());
    UpdateFrameMenu();
}

void CMainFrame::OnChannelInformation()
{
    CChildFrame* f = ActiveChildFrame();
    if (!f) {
        showNormal();
        return;
    }
    // With the active window shown, the window closed last comes back.
    if (!f->isHidden()) {
        const QList<QMdiSubWindow*> history = m_pMdiClient->subWindowList(QMdiArea::ActivationHistoryOrder);
        for (auto it = history.crbegin(); it != history.crend(); ++it)
            if (auto* hidden = qobject_cast<CChildFrame*>(*it); hidden && hidden->isHidden()) {
                f = hidden;
                break;
            }
    }
    f->showNormal();
    f->show();
    m_pMdiClient->setActiveSubWindow(f);
    UpdateFrameMenu();
}

void CMainFrame::OnProductInformation()
{
    // Documents hidden by Close are no target; with none at all the dialog
    // sets the choice for new documents.
    if (!ActiveDocument() && !ChildFrames().isEmpty())
        return;
    if (!m_pProductInfoDlg)
        m_pProductInfoDlg = new CProductInfoDlg(this);
    m_pProductInfoDlg->SetDocument(ActiveDocument());
    m_pProductInfoDlg->DoModal();
}

void CMainFrame::OnOptionFeatures()
{
    // The dialog edits the active document's image: without one there is nothing to show.
    if (!ActiveDocument())
        return;
    if (!m_pOptionFeaturesDlg)
        m_pOptionFeaturesDlg = new COptionFeaturesDlg(this);
    m_pOptionFeaturesDlg->SetDocument(ActiveDocument());
    m_pOptionFeaturesDlg->DoModal();
}

CChildFrame* CMainFrame::FrontChildFrame() const
{
    CChildFrame* active = ActiveChildFrame();
    if (active && !active->isHidden())
        return active;
    const QList<QMdiSubWindow*> stack = m_pMdiClient->subWindowList(QMdiArea::StackingOrder);
    for (auto it = stack.crbegin(); it != stack.crend(); ++it)
        if (auto* f = qobject_cast<CChildFrame*>(*it); f && !f->isHidden())
            return f;
    return nullptr;
}

void CMainFrame::OnFileNew()
{
    // The question and the window it clears are the one the user sees; with
    // every window hidden there is nothing on screen to clear, and a hidden
    // document is asked about only when it really closes.
    if (CChildFrame* child = FrontChildFrame()) {
        // Asked first, stopped last: a Cancel at the next question must find
        // the transfer still running, not the radio half written.
        QList<QPointer<CLinkController>> stopping;
        if (!CLinkController::AskStop({child->GetLink()}, &stopping))
            return;
        child->GetView()->FlushEdits();
        if (child->GetDocument()->IsModified()) {
            // Unsaved changes: the user saves or discards them, or stays.
            if (!child->GetDocument()->SaveModified(this))
                return;
        } else {
            MessageRequest r;
            r.parent = this;
            r.text = LoadStringRes(IDS_CLEAR_ALL);
            r.buttons = QMessageBox::Ok | QMessageBox::Cancel;
            r.icon = QMessageBox::Warning;
            if (AppMessageBox(r) != QMessageBox::Ok)
                return;
        }
        const QPointer<CChildFrame> alive(child);
        CLinkController::Stop(stopping);
        if (alive)
            DestroyChildFrame(child);
    }
    NewDocument();
}

void CMainFrame::OnFileOpen()
{
    QFileDialog dlg(this, tr("Open"));
    UseProgramFileDialog(dlg);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters({tr("Program Document (*.dat)"), tr("All Files (*)")});
    OpenInLastFolder(dlg, FolderKind::Documents);
    if (ExecDialog(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    RememberFolder(FolderKind::Documents, dlg.selectedFiles().constFirst());
    OpenDocumentFile(dlg.selectedFiles().constFirst());
}

void CMainFrame::OnFilePrintSetup()
{
    QPageSetupDialog dlg(&AppPrinter(), this);
    ExecDialog(&dlg);
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg dlg(this);
    ExecDialog(&dlg);
}

void CMainFrame::OnSupportReport()
{
    // The front document as its window shows it, asked for only when the user ticks it.
    const auto document = [this](Image& image, QString& name) {
        CProgramDoc* doc = ActiveDocument();
        CProgramView* view = ActiveView();
        if (!doc || !view)
            return false;
        // Not EncodeImage: committing an editor or band box here would be an edit.
        image = view->ShownImage();
        name = doc->GetPathName().isEmpty() ? doc->GetTitle() : QFileInfo(doc->GetPathName()).fileName();
        return true;
    };
    CSupportReportDlg dlg(this, document, [this](const QString& path) { return FrameOfFile(path) != nullptr; });
    ExecDialog(&dlg);
}

void CMainFrame::OnFileClose()
{
    // As the close box: the window hides once a transfer there may stop.
    if (CChildFrame* f = FrontChildFrame())
        f->close();
}

bool CMainFrame::SaveTo(CProgramDoc* doc, const QString& path)
{
    QString error;
    if (!doc->OnSaveDocument(path, &error)) {
        MessageRequest r;
        r.parent = this;
        r.text = tr("The document could not be saved.");
        r.detail = error;
        AppMessageBox(r);
        return false;
    }
    AddRecentFile(path);
    return true;
}

bool CMainFrame::OnFileSave() { return SaveDocument(ActiveDocument()); }

bool CMainFrame::OnFileSaveAs() { return SaveDocument(ActiveDocument(), true); }

QStringList CMainFrame::RecentFiles() const
{
    QStringList files;
    const std::string key = SettingsKey(theIniFile);
    for (int i = 1; i <= kRecentFileCount; ++i)
        if (const auto path = AppSettings().ReadString(key, kSettingRecentPrefix + std::to_string(i));
            path && !path->empty())
            files << QString::fromStdString(*path);
    return files;
}

void CMainFrame::WriteRecentFiles(const QStringList& files)
{
    const std::string key = SettingsKey(theIniFile);
    for (int i = 1; i <= kRecentFileCount; ++i)
        AppSettings().WriteString(key, kSettingRecentPrefix + std::to_string(i),
                                  i <= files.size() ? files[i - 1].toStdString() : std::string());
}

void CMainFrame::AddRecentFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = RecentFiles();
    files.removeAll(absolute);
    files.prepend(absolute);
    WriteRecentFiles(files.mid(0, kRecentFileCount));
}

void CMainFrame::FillRecentMenu()
{
    m_pRecentMenu->clear();
    const QStringList files = RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        // A name's own "&" is no mnemonic.
        QAction* a = m_pRecentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            ShownName(files[i]).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        a->setData(ID_FILE_MRU_FILE1 + i);
        connect(a, &QAction::triggered, this, [this, path = files[i]] { OpenRecentFile(path); });
    }
    if (files.isEmpty())
        m_pRecentMenu->addAction(tr("No recent files"))->setEnabled(false);
}

void CMainFrame::FillStockMenu()
{
    m_pStockMenu->clear();
    const bool mayChange = ActiveView() && !ActiveDocument()->IsReadOnly();
    const CRadioCatalogue catalogue(theIniFile);
    const int type = ActiveDocument() ? ActiveDocument()->GetImage()[mem::kRadioType] : -1;
    int number = 0;
    for (const StockList& list : ListStockLists(CIniFile::ProgramDir())) {
        // Numbered for the keyboard, as the recent files are; a title's own "&" is shown, not a mnemonic.
        const QString title = QString::fromStdString(g_bChinese ? list.titleZh : list.title);
        QString text = QString(title).replace(QLatin1Char('&'), QStringLiteral("&&"));
        if (++number <= 9)
            text = QStringLiteral("&%1 ").arg(number) + text;
        // A list for another radio type says so before it is chosen, and refuses when it is.
        const TextFileResult csv = ReadBoundedTextFile(list.path);
        const StockSummary summary = csv.ok ? SummarizeStockList(csv.text, catalogue) : StockSummary{};
        const QString mismatch = QString::fromStdString(StockTypeMismatch(summary, type, catalogue, g_bChinese != 0));
        if (!mismatch.isEmpty())
            text += tr(" (not for this radio type)");
        QAction* a = m_pStockMenu->addAction(text);
        a->setData(int(ID_FILE_IMPORT_CHANNELS));
        a->setStatusTip(
            tr("Import the channels of this stock list, after a preview (%1)").arg(QString::fromStdString(list.name)));
        a->setEnabled(mayChange);
        // The same path as a file the user picks, preview and all.
        connect(a, &QAction::triggered, this, [this, path = FromCorePath(list.path), title, mismatch] {
            if (!mismatch.isEmpty()) {
                AppMessageBox(this, tr("\"%1\" does not fit this radio type: %2. Nothing was imported.")
                                        .arg(ShownName(title), mismatch));
                return;
            }
            if (CProgramView* view = ActiveView())
                view->ImportChannelsFrom(path, true);
        });
    }
    if (m_pStockMenu->isEmpty())
        m_pStockMenu->addAction(tr("No stock lists found"))->setEnabled(false);
}

void CMainFrame::FillWindowMenu(QMenu* menu)
{
    const QList<QAction*> fixed = {Action(ID_WINDOW_CASCADE), Action(ID_WINDOW_TILE), Action(ID_NEXT_WINDOW),
                                   Action(ID_PREV_WINDOW)};
    for (QAction* a : menu->actions())
        if (!fixed.contains(a)) {
            menu->removeAction(a);
            a->deleteLater();
        }
    const QList<CChildFrame*> frames = ChildFrames();
    if (frames.isEmpty())
        return;
    menu->addSeparator();
    CChildFrame* front = FrontChildFrame();
    for (int i = 0; i < frames.size(); ++i) {
        CChildFrame* f = frames[i];
        // Numbered for the keyboard; a title's own "&" is shown, not a mnemonic. A
        // window closed (hidden) comes back when chosen.
        QString text = f->windowTitle().replace(QLatin1Char('&'), QStringLiteral("&&"));
        text = (i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QString()) + text;
        if (f->isHidden())
            text += tr(" (closed)");
        QAction* a = menu->addAction(text);
        a->setCheckable(true);
        a->setChecked(f == front);
        a->setStatusTip(tr("Show this window in front"));
        connect(a, &QAction::triggered, this, [this, frame = QPointer<CChildFrame>(f)] {
            if (frame)
                ShowChildFrame(frame);
        });
    }
}

void CMainFrame::NumberTitle(CChildFrame* frame)
{
    // The lowest number no other window of the same title shows; 1 shows none.
    const QString title = frame->GetDocument()->GetTitle();
    QList<int> taken;
    for (CChildFrame* f : ChildFrames())
        if (f != frame && f->GetDocument() && f->GetDocument()->GetTitle() == title)
            taken << f->TitleNumber();
    int number = 1;
    while (taken.contains(number))
        ++number;
    if (number != frame->TitleNumber())
        frame->SetTitleNumber(number);
}

void CMainFrame::OpenRecentFile(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        QStringList files = RecentFiles();
        files.removeAll(path);
        WriteRecentFiles(files);
        AppMessageBox(this, tr("%1 no longer exists; it is taken off the recent files.").arg(path));
        return;
    }
    OpenDocumentFile(path);
}

bool CMainFrame::PrepareToQuit(const std::function<bool()>& commit)
{
    QList<CChildFrame*> order = ChildFrames();
    // The window in front is asked about first.
    if (CChildFrame* active = ActiveChildFrame(); active && order.removeOne(active))
        order.prepend(active);
    QList<CLinkController*> links;
    QList<QPointer<CChildFrame>> frames;
    for (CChildFrame* f : order) {
        links << f->GetLink();
        frames << f;
    }
    QList<QPointer<CLinkController>> stopping;
    if (!CLinkController::AskStop(links, &stopping))
        return false;

    struct PendingSave {
        QPointer<CChildFrame> frame;
        QString path;
    };
    QList<PendingSave> saves;
    QStringList taken;
    for (const QPointer<CChildFrame>& f : std::as_const(frames)) {
        if (!f)
            continue;
        f->GetView()->FlushEdits();
        CProgramDoc* doc = f->GetDocument();
        if (!doc->IsModified())
            continue;
        // The question is about a window the user sees.
        ShowChildFrame(f);
        const CProgramDoc::SaveAnswer answer = doc->AskSaveChanges(this, SaveQuestionDetail(f));
        if (answer == CProgramDoc::SaveAnswer::Cancel)
            return false;
        if (!f)
            continue;
        if (answer != CProgramDoc::SaveAnswer::Save)
            continue;
        const QString path = doc->HasFilePath() ? doc->GetPathName() : AskSaveName(doc, taken);
        if (path.isEmpty())
            return false;
        taken << path;
        saves.append({f, path});
    }

    // Every answer is in: the saves, in the order asked.
    QStringList saved;
    for (const PendingSave& s : std::as_const(saves)) {
        if (!s.frame)
            continue;
        QString error;
        if (!s.frame->GetDocument()->OnSaveDocument(s.path, &error)) {
            MessageRequest r;
            r.parent = this;
            r.text = tr("The document could not be saved.") + QLatin1Char('\n') +
                     (saved.isEmpty() ? tr("Nothing was saved, and the program stays open.")
                                      : tr("The program stays open. Saved before it, and kept so: %1")
                                            .arg(saved.join(QStringLiteral(", "))));
            r.detail = error;
            AppMessageBox(r);
            return false;
        }
        AddRecentFile(s.path);
        saved << QDir::toNativeSeparators(s.path);
    }
    if (commit && !commit())
        return false;
    CLinkController::Stop(stopping);
    return true;
}

void CMainFrame::ShowChildFrame(CChildFrame* frame)
{
    frame->show();
    frame->raise();
    m_pMdiClient->setActiveSubWindow(frame);
    UpdateFrameMenu();
}

QString CMainFrame::SaveQuestionDetail(const CChildFrame* frame) const
{
    const QString title = frame->GetDocument()->GetTitle();
    for (CChildFrame* f : ChildFrames())
        if (f != frame && f->GetDocument()->GetTitle() == title)
            return frame->GetDocument()->Origin();
    return QString();
}

namespace {
// One file under two names (links, hard links), or one path not yet a file.
bool SameDocumentFile(const QString& a, const QString& b) { return SameFile(CorePath(a), CorePath(b)); }
}  // namespace

CChildFrame* CMainFrame::FrameOfFile(const QString& path, const CProgramDoc* except) const
{
    for (CChildFrame* f : ChildFrames()) {
        const CProgramDoc* doc = f->GetDocument();
        if (doc != except && doc->HasFilePath() && SameDocumentFile(doc->GetPathName(), path))
            return f;
    }
    return nullptr;
}

bool CMainFrame::SaveDocument(CProgramDoc* doc, bool askName)
{
    if (!doc)
        return false;
    // A new document's path name is only the application's name: ask where it goes.
    if (doc->HasFilePath() && !askName)
        return SaveTo(doc, doc->GetPathName());
    const QString path = AskSaveName(doc);
    return !path.isEmpty() && SaveTo(doc, path);
}

QString CMainFrame::AskSaveName(CProgramDoc* doc, const QStringList& taken)
{
    QFileDialog dlg(this, tr("Save As"));
    UseProgramFileDialog(dlg);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilter(tr("Program Document (*.dat)"));
    dlg.setDefaultSuffix(QStringLiteral("dat"));
    QString proposal = doc->GetPathName();
    // A document read from a radio or opened from a backup has no name yet: its title gives one.
    if (proposal.isEmpty())
        proposal = doc->GetTitle().replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]")),
                                           QStringLiteral("-"));
    if (!doc->HasFilePath() && !proposal.isEmpty() && QFileInfo(proposal).suffix().isEmpty())
        proposal += QStringLiteral(".dat");
    // A document with a file proposes that file, where it is; a new one its name in the last folder.
    OpenInLastFolder(dlg, FolderKind::Documents);
    if (!proposal.isEmpty())
        dlg.selectFile(proposal);
    if (ExecDialog(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    const QString path = dlg.selectedFiles().constFirst();
    RememberFolder(FolderKind::Documents, path);
    // As Open refuses a second window on one file, so does Save As: each
    // window's Save would overwrite the other's.
    const bool chosen =
        std::any_of(taken.begin(), taken.end(), [&](const QString& t) { return SameDocumentFile(t, path); });
    if (FrameOfFile(path, doc) || chosen) {
        MessageRequest r;
        r.parent = this;
        r.text = tr("%1 is open in another window of this program. Nothing was saved: choose another name, or "
                    "close that window first.")
                     .arg(QDir::toNativeSeparators(path));
        AppMessageBox(r);
        return QString();
    }
    return path;
}

CChildFrame* CMainFrame::AddChildFrame(CProgramDoc* doc)
{
    auto* frame = new CChildFrame(doc);
    ConnectLink(frame);
    // A window shown takes over from the one closed, so that Save, Write and
    // Print act on what the user sees.
    connect(frame, &CChildFrame::Closed, this, [this] {
        if (CChildFrame* front = FrontChildFrame())
            m_pMdiClient->setActiveSubWindow(front);
        // With none shown the commands have no document to act on.
        UpdateFrameMenu();
    });
    m_pUndoGroup->addStack(doc->UndoStack());
    connect(doc, &CProgramDoc::TitleChanged, this, [this, frame] { NumberTitle(frame); });
    frame->GetView()->SetContextMenu(m_pGridMenu);
    connect(frame->GetView(), &CProgramView::FilesDropped, this,
            [this, frame](const QStringList& paths) { OpenDroppedFiles(paths, frame); });
    m_pMdiClient->addSubWindow(frame);
    NumberTitle(frame);
    frame->setGeometry(0, 0, CChildFrame::kWidth, CChildFrame::kHeight);
    frame->GetView()->OnInitialUpdate();
    if (!frame->isMaximized())
        frame->move(CascadePosition(frame));
    frame->show();
    m_pActiveChild = frame;
    m_pMdiClient->setActiveSubWindow(frame);
    m_pUndoGroup->setActiveStack(doc->UndoStack());
    return frame;
}

QPoint CMainFrame::CascadePosition(const CChildFrame* frame) const
{
    // Down and right from the corner, a title bar's height at a time, to the
    // first place where no other window has its corner, so that none covers
    // another exactly; the corner again once the window would not fit.
    const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
    QList<QPoint> taken;
    for (CChildFrame* f : ChildFrames())
        if (f != frame && f->isVisible() && !f->isMaximized())
            taken << f->pos();
    const QRect room = m_pMdiClient->viewport()->rect();
    for (QPoint p(0, 0); step > 0 && room.contains(QRect(p, frame->size())); p += QPoint(step, step))
        if (!taken.contains(p))
            return p;
    return QPoint(0, 0);
}

bool CMainFrame::NewDocument()
{
    auto* doc = new CProgramDoc;
    doc->OnNewDocument();
    AddChildFrame(doc);
    UpdateFrameMenu();
    return true;
}

CChildFrame* CMainFrame::OpenImageDocument(const Image& image, const QString& title, const QString& origin)
{
    auto* doc = new CProgramDoc;
    doc->SetRadioImage(image, title, origin);
    // Like a file: the grid takes the radio type from the image.
    g_bNewDocument = false;
    CChildFrame* frame = AddChildFrame(doc);
    UpdateFrameMenu();
    return frame;
}

void CMainFrame::ConnectLink(CChildFrame* frame)
{
    CLinkSession* link = frame->GetLink()->Session();
    connect(link, &CLinkSession::RadioRead, this, [this, link](const Image& image, const QString& port) {
        // The radio's window talks to the same radio: a Write from it goes
        // where the read came from.
        CChildFrame* opened =
            OpenImageDocument(image, CLinkController::RadioDocumentTitle(port), CLinkController::RadioOrigin(port));
        CLinkSession* radio = opened->GetLink()->Session();
        radio->SetOwnPort(port);
        // The read's end, told next, is the new window's state as well.
        connect(
            link, &CLinkSession::TransferStatus, radio, [radio](const QString& text) { radio->SetTransferState(text); },
            Qt::SingleShotConnection);
        UpdatePortIndicator();
    });
    connect(link, &CLinkSession::PortChanged, this, [this] { UpdatePortIndicator(); });
    if (CProgramDoc* doc = frame->GetDocument())
        connect(doc, &CProgramDoc::ReadOnlyChanged, this, [this] { UpdateFrameMenu(); });
    connect(link, &CLinkSession::TransferStatus, this, [this] {
        UpdateTransferState();
        UpdatePortIndicator();
    });
}

void CMainFrame::UpdateTransferState()
{
    // The window in front tells its own transfers; one without any is ready.
    CLinkSession* link = ActiveLink() ? ActiveLink()->Session() : nullptr;
    m_pReadyLabel->setText(link && !link->TransferState().isEmpty() ? link->TransferState() : tr("Ready"));
}

void CMainFrame::UpdatePortIndicator()
{
    CLinkSession* link = ActiveLink() ? ActiveLink()->Session() : nullptr;
    m_pPortLabel->setVisible(link != nullptr);
    if (!link) {
        m_pPortLabel->clear();
        return;
    }
    const ResolvedPort port = ResolvePort(link->m_strPort);
    QString text = link->HasOwnPort() ? tr("Port: %1, kept for the radio read in this window") : tr("Port: %1");
    text = text.arg(ShownName(port.description));
    // A port remembered from an earlier run may have gone: it stays the port
    // (another would be a silent change), and the indicator says so.
    if (!QFileInfo::exists(FromCorePath(port.device)))
        text += tr(" - not present");
    m_pPortLabel->setText(text);
    m_pPortLabel->setToolTip(link->HasOwnPort()
                                 ? PlainToolTip(tr("This window writes to the radio read in it. The other windows use "
                                                   "%1, as chosen in COM Setup.")
                                                    .arg(ShownName(PortLabel(RememberedPort()))))
                                 : tr("Chosen in COM Setup for every window without a port of its own."));
}

void CMainFrame::OnFileBackups()
{
    CBackupsDlg dlg(this);
    if (ExecDialog(&dlg) != QDialog::Accepted || !dlg.Chosen())
        return;
    const BackupInfo& b = *dlg.Chosen();
    Image image{};
    const DatResult r = LoadDatFile(b.path, image);
    if (!r.ok) {
        MessageRequest m;
        m.parent = this;
        m.text = tr("The backup could not be opened.");
        m.detail = QString::fromStdString(r.error);
        AppMessageBox(m);
        return;
    }
    CChildFrame* opened = OpenImageDocument(
        image, CBackupsDlg::DocumentTitle(b),
        tr("opened from the backup %1").arg(QDir::toNativeSeparators(QString::fromStdString(b.path))));
    opened->GetDocument()->SetSourceFile(FromCorePath(b.path));
}

void CMainFrame::OnLogSerialTraffic(bool on)
{
    QString path;
    if (on) {
        QFileDialog dlg(this, tr("Log Serial Traffic"));
        UseProgramFileDialog(dlg);
        // The log grows: a file chosen again is added to, never replaced.
        dlg.setOption(QFileDialog::DontConfirmOverwrite);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setNameFilters({tr("Serial trace (*.trace *.txt)"), tr("All Files (*)")});
        dlg.setDefaultSuffix(QStringLiteral("trace"));
        OpenInLastFolder(dlg, FolderKind::Trace);
        if (ExecDialog(&dlg) == QDialog::Accepted && !dlg.selectedFiles().isEmpty()) {
            path = dlg.selectedFiles().constFirst();
            RememberFolder(FolderKind::Trace, path);
        }
    }
    QString error;
    if (!SetTracePath(path, &error)) {
        MessageRequest m;
        m.parent = this;
        m.text = tr("The serial trace cannot be written to this file.");
        m.detail = error;
        AppMessageBox(m);
        SetTracePath(QString(), nullptr);
    }
    Action(ID_LOG_SERIAL)->setChecked(!TracePath().isEmpty());
    Action(ID_LOG_SERIAL)
        ->setStatusTip(TracePath().isEmpty() ? tr("Write every byte sent to and received from the radio to a file")
                                             : tr("Logging serial traffic to %1").arg(ShownName(TracePath())));
}

bool CMainFrame::OpenDocumentFile(const QString& path)
{
    // A file open already is shown, not opened twice: two windows on one file
    // would each save over the other's changes.
    if (CChildFrame* f = FrameOfFile(path)) {
        ShowChildFrame(f);
        AddRecentFile(path);
        return true;
    }
    auto* doc = new CProgramDoc;
    QString error;
    if (!doc->OnOpenDocument(path, &error)) {
        delete doc;
        MessageRequest r;
        r.parent = this;
        r.text = tr("The document could not be opened.");
        r.detail = error;
        AppMessageBox(r);
        return false;
    }
    // A window of its own: the other documents stay open as they are, unsaved
    // changes and transfers included.
    AddChildFrame(doc);
    AddRecentFile(path);
    UpdateFrameMenu();
    return true;
}

void CMainFrame::DestroyChildFrame(CChildFrame* frame)
{
    if (!frame)
        return;
    m_pMdiClient->removeSubWindow(frame);
    if (m_pActiveChild == frame)
        m_pActiveChild = nullptr;
    delete frame;
    if (!m_pActiveChild)
        m_pUndoGroup->setActiveStack(nullptr);
    UpdateFrameMenu();
}

void CMainFrame::OnSubWindowActivated()
{
    if (auto* f = qobject_cast<CChildFrame*>(m_pMdiClient->activeSubWindow()))
        m_pActiveChild = f;
    CProgramDoc* doc = ActiveDocument();
    m_pUndoGroup->setActiveStack(doc ? doc->UndoStack() : nullptr);
    UpdateFrameMenu();
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
    const bool haveView = ActiveView() != nullptr;
    for (int id : {ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_PRINT, ID_FILE_PRINT_DIRECT,
                   ID_FILE_PRINT_PREVIEW, ID_READ, ID_WRITE, ID_COM_SETUP, ID_CHECK_CONNECTION, ID_LANGUAGE})
        Action(id)->setEnabled(haveView);
    for (int id : {ID_EDIT_COPY, ID_EDIT_COPY_HEADINGS, ID_EDIT_SELECT_ALL, ID_EDIT_FIND, ID_EDIT_REPEAT,
                   ID_FILE_EXPORT_CHANNELS})
        Action(id)->setEnabled(haveView);
    // While a transfer runs the document takes no change (the view also refuses it).
    const bool mayChange = haveView && !ActiveDocument()->IsReadOnly();
    for (int id : {ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_CLEAR, ID_EDIT_SET_CELLS, ID_CHANNEL_INSERT, ID_CHANNEL_DELETE,
                   ID_CHANNEL_MOVE_UP, ID_CHANNEL_MOVE_DOWN, ID_CHANNEL_CLEAR, ID_SORT_RX, ID_SORT_NAME, ID_SORT_TONE,
                   ID_FILL_DOWN, ID_FILL_SERIES_6K25, ID_FILL_SERIES_12K5, ID_FILL_SERIES_25K, ID_FILE_IMPORT_CHANNELS})
        Action(id)->setEnabled(mayChange);
    // Undo and redo follow the document in front.
    m_pUndoGroup->setActiveStack(haveView ? ActiveDocument()->UndoStack() : nullptr);
    Action(ID_EDIT_UNDO)->setEnabled(mayChange && m_pUndoGroup->canUndo());
    Action(ID_EDIT_REDO)->setEnabled(mayChange && m_pUndoGroup->canRedo());
    UpdatePortIndicator();
    UpdateTransferState();
    // Without any document it sets the choice for new documents.
    Action(ID_PRODUCT_INFORMATION)->setEnabled(haveView || ChildFrames().isEmpty());
    Action(ID_OPTION_FEATURES)->setEnabled(ActiveDocument() != nullptr);
    Action(ID_CONTROL_BAR)->setChecked(m_pNavBar->isVisibleTo(this));
    Action(ID_VIEW_STATUS_BAR)->setChecked(statusBar()->isVisibleTo(this));
    Action(ID_VIEW_TOOLBAR)->setChecked(m_pToolBar && m_pToolBar->isVisibleTo(this));
}

void CMainFrame::WinHelp(int context) { HtmlHelp(context); }

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // The key sent on by OnTreeKey itself goes to the tree.
    if (event->type() == QEvent::KeyPress && watched == m_pNavBar->Tree() && !m_bSelectingRoot)
        return OnTreeKey(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            if (QAction* a = menu->activeAction(); a && a->data().isValid()) {
                WinHelp(a->data().toInt());
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        WinHelp(ID_HELP);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowTitleChange || m_bKeepingCaption)
        return;
    // A maximized document window appends " - [its title]" to the frame's
    // caption; the caption here is only the one the program set.
    const QString caption = property(kMainCaptionProperty).toString();
    if (windowTitle() == caption)
        return;
    m_bKeepingCaption = true;
    setWindowTitle(caption);
    m_bKeepingCaption = false;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // A transfer still running is asked about first, then unsaved changes:
    // every answer is in before anything closes.
    if (!std::exchange(m_bAnswered, false) && !PrepareToQuit()) {
        event->ignore();
        return;
    }
    if (QWidget* help = HelpWindow())
        help->close();
    event->accept();
}

// ---------------------------------------------------------------------------
// Files dropped

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasUrls())
        return;
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        paths << (url.isLocalFile() ? url.toLocalFile() : url.toString());
    // On a document window's title or frame: that window is the target.
    QWidget* w = childAt(event->position().toPoint());
    while (w && !qobject_cast<CChildFrame*>(w))
        w = w->parentWidget();
    QPointer<CChildFrame> target = qobject_cast<CChildFrame*>(w);
    event->acceptProposedAction();
    // Opened once the drop is over: the program the files come from is not
    // held while a message or a preview waits for the user.
    QMetaObject::invokeMethod(
        this, [this, paths, target] { OpenDroppedFiles(paths, target); }, Qt::QueuedConnection);
}

void CMainFrame::OpenDroppedFiles(const QStringList& paths, CChildFrame* target)
{
    const QString kinds = tr("a radio document (.dat) or a channel list (.csv)");
    if (paths.size() != 1) {
        AppMessageBox(this,
                      tr("%n files were dropped: drop one file at a time, %1.", nullptr, static_cast<int>(paths.size()))
                          .arg(kinds));
        return;
    }
    const QString path = paths.constFirst();
    const QFileInfo info(path);
    if (!info.isAbsolute()) {
        AppMessageBox(this, tr("%1 is not a file on this computer: drop %2.").arg(path, kinds));
        return;
    }
    if (info.isDir()) {
        AppMessageBox(this, tr("%1 is a folder: drop %2.").arg(path, kinds));
        return;
    }
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("csv")) {
        if (!target || !target->GetView()) {
            AppMessageBox(this, tr("%1 is a channel list: drop it on the window of the configuration it goes "
                                   "into, and it is imported there after a preview.")
                                    .arg(path));
            return;
        }
        ShowChildFrame(target);
        target->GetView()->ImportChannelsFrom(path);
        return;
    }
    if (suffix != QLatin1String("dat")) {
        AppMessageBox(this, tr("%1 was not opened: drop %2.").arg(path, kinds));
        return;
    }
    // As File > Open: a file open already is shown; a missing, unreadable or
    // short file, a FIFO or a device is refused with the reason.
    const bool openAlready = FrameOfFile(path) != nullptr;
    if (!OpenDocumentFile(path) || openAlready || info.size() <= static_cast<qint64>(kImageSize))
        return;
    AppMessageBox(this,
                  tr("%1 is %2 bytes long, longer than a radio image: only its first %3 bytes were opened, and "
                     "saving it keeps those alone.")
                      .arg(path)
                      .arg(info.size())
                      .arg(kImageSize),
                  QMessageBox::Ok, QMessageBox::Information);
}
