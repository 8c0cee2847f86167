#pragma once
// The main window: menus, toolbar, status bar, the navigation bar at the left
// and the document windows in the area behind them.
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <functional>

#include "core/radio/Image.h"

class CChildFrame;
class CLinkController;
class CMDIClientWnd;
class CNavigationBar;
class COptionFeaturesDlg;
class CProductInfoDlg;
class CProgramDoc;
class CPrintJob;
class CProgramView;
class QDialog;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QTreeWidgetItem;
class QUndoGroup;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The one main frame of the process (nullptr while none exists).
    static CMainFrame* Instance();

    // The active document window, even while it is hidden by Close; nullptr when none exists.
    CChildFrame* ActiveChildFrame() const;
    // The document window the user sees in front: the active one unless it is
    // hidden, else the topmost one shown; nullptr when none is shown. Every
    // document command acts on it, and is disabled without it: a document
    // hidden by Close takes no command until Channel Information shows it.
    CChildFrame* FrontChildFrame() const;
    // The document, view and link of FrontChildFrame.
    CProgramDoc* ActiveDocument() const;
    CProgramView* ActiveView() const;
    CLinkController* ActiveLink() const;
    QList<CChildFrame*> ChildFrames() const;

    // The action of a command id (menus, toolbar and accelerators share it); nullptr if unknown.
    QAction* Action(int commandId) const;

    CNavigationBar* NavigationBar() const { return m_pNavBar; }
    CMDIClientWnd* MdiClient() const { return m_pMdiClient; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    // The top-level menus now shown: the document set while a document exists.
    QList<QMenu*> CurrentMenus() const;
    QMenu* Menu(const QString& objectName) const;
    // The menu a right click on the grid shows.
    QMenu* GridMenu() const { return m_pGridMenu; }
    QTreeWidgetItem* TreeRoot() const { return m_pTreeRoot; }
    // The status bar's message pane (the active window's transfer: running,
    // or how it ended) and its port.
    QLabel* StatusText() const { return m_pReadyLabel; }
    QLabel* PortIndicator() const { return m_pPortLabel; }

    // The framework's document handling: a new default document, or one from a file.
    // A failed open shows a message naming the file and the reason and changes
    // nothing; an open adds a window and leaves the others as they are.
    bool NewDocument();
    bool OpenDocumentFile(const QString& path);
    // A document of an image without a file (a read from the radio, a
    // backup): Save asks for a name. The windows open until now stay. origin
    // tells it apart from another of the same title.
    CChildFrame* OpenImageDocument(const Image& image, const QString& title, const QString& origin = QString());
    // Destroys a document window and its document without asking anything.
    void DestroyChildFrame(CChildFrame* frame);

    // Commands of the frame.
    void OnFileNew();  // guarded: asks before discarding the document in front
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppAbout();
    void OnSupportReport();
    void OnControlBar();
    void OnChannelInformation();
    void OnProductInformation();
    void OnOptionFeatures();
    void OnFileClose();
    void OnFileBackups();
    void OnLogSerialTraffic(bool on);
    bool OnFileSave();
    bool OnFileSaveAs();
    // Save of any document: to its file, or Save As when it has none (or `askName`).
    // A file open in another window is refused: two windows would save over each other.
    bool SaveDocument(CProgramDoc* doc, bool askName = false);
    // The recent files, most recent first (kept in the per-user settings).
    QStringList RecentFiles() const;
    void AddRecentFile(const QString& path);
    void OpenRecentFile(const QString& path);
    QMenu* RecentMenu() const { return m_pRecentMenu; }
    // Exit and the language relaunch. Every question comes first and does
    // nothing: a transfer running may stop? then each document with unsaved
    // changes, its window shown in front: "Save changes to <name>?" (and where,
    // for one without a file). Only with no Cancel are the saves made, in
    // order, then `commit` runs (the relaunch's language), then the transfers
    // stop. False: the program stays, transfers run on, and every document is
    // as it was, but those saved before a save that failed.
    bool PrepareToQuit(const std::function<bool()>& commit = {});
    // Every help request of the frame ends here: the command id is the context number.
    void WinHelp(int context);

    // Refreshes the menu set and which commands are enabled or checked.
    void UpdateFrameMenu();

public slots:
    void OnSelChangedTree();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Files dropped on the main window (a document window's own drops come through its view).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddAction(int id, const QString& text, const QString& tip, const QString& statusTip);
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateNavigationBar();
    void OnSubWindowActivated();
    // What choosing a tree entry does (Channel Information, Optional Features, Product Information).
    void OpenTreeEntry(const QTreeWidgetItem* item);
    // A key in the tree: Enter and Space open the entry the other keys moved to.
    bool OnTreeKey(QKeyEvent* key);
    // F6 (+1) and Shift+F6 (-1): the focus to the next navigation tree, band boxes or grid.
    void MoveToPane(int step);
    // Ctrl+Tab (+1) and Ctrl+Shift+Tab (-1): the next document window on show.
    void ActivateWindow(int step);
    // A new document window's link: its reads, port and transfer ends reach the frame.
    void ConnectLink(CChildFrame* frame);
    // The status bar's port: the active window's, with its device.
    void UpdatePortIndicator();
    // The status bar's message: the active window's transfer state, else "Ready".
    void UpdateTransferState();
    void CreateUndoActions();
    void FillRecentMenu();
    // File > Import Channels > Stock lists: the lists beside the program, by title.
    void FillStockMenu();
    // Window: the arrangements, then every document window, numbered.
    void FillWindowMenu(QMenu* menu);
    // Tells apart windows of one title: "Channel Information (2)".
    void NumberTitle(CChildFrame* frame);
    void WriteRecentFiles(const QStringList& files);
    void CreateEditActions();
    // The editing commands into `menu` (the Edit menu and the grid's context menu).
    QList<QAction*> BuildEditMenu(QMenu* menu);
    // Files dropped on the main window, or on `target`'s document window: one
    // radio document (.dat) opens as File > Open does; one channel list (.csv)
    // is imported into `target` after its preview; anything else is refused,
    // and so are several files at once.
    void OpenDroppedFiles(const QStringList& paths, CChildFrame* target);
    // A new document window: its document joins the undo group.
    CChildFrame* AddChildFrame(CProgramDoc* doc);
    QPoint CascadePosition(const CChildFrame* frame) const;
    bool SaveTo(CProgramDoc* doc, const QString& path);
    // The Save As dialog for doc: the name chosen, "" when cancelled or refused
    // (open in another window, or among `taken`).
    QString AskSaveName(CProgramDoc* doc, const QStringList& taken = {});
    // The window whose document has `path` as its file, other than `except`'s.
    CChildFrame* FrameOfFile(const QString& path, const CProgramDoc* except = nullptr) const;
    // Shows a document window in front, and the commands follow it.
    void ShowChildFrame(CChildFrame* frame);
    // Beside "Save changes to <title>?": where the document came from, when
    // another open document has the same title.
    QString SaveQuestionDetail(const CChildFrame* frame) const;
    // A command of the window in front: of its view, its link, or a print job of it.
    void ConnectViewCommand(int id, void (CProgramView::*slot)());
    void ConnectLinkCommand(int id, void (CLinkController::*slot)());
    void ConnectPrintCommand(int id, void (CPrintJob::*run)());

    static CMainFrame* s_pInstance;

    CMDIClientWnd* m_pMdiClient = nullptr;
    CNavigationBar* m_pNavBar = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QLabel* m_pReadyLabel = nullptr;
    QLabel* m_pPortLabel = nullptr;
    QMap<int, QAction*> m_actions;
    QList<QMenu*> m_mainMenus;  // menu 128: no document
    QList<QMenu*> m_docMenus;   // menu 129: with a document
    bool m_bDocMenus = false;
    QTreeWidgetItem* m_pTreeRoot = nullptr;
    bool m_bSelectingRoot = false;
    bool m_bKeepingCaption = false;
    bool m_bAnswered = false;  // the relaunch asked about every document; its close does not ask again
    // Held as the sub-window: while a child frame is torn down, the MDI area
    // and the undo group still signal, and it must read as no child frame.
    QPointer<QMdiSubWindow> m_pActiveChild;
    CProductInfoDlg* m_pProductInfoDlg = nullptr;
    COptionFeaturesDlg* m_pOptionFeaturesDlg = nullptr;
    QUndoGroup* m_pUndoGroup = nullptr;
    QMenu* m_pGridMenu = nullptr;
    QMenu* m_pRecentMenu = nullptr;
    QMenu* m_pStockMenu = nullptr;
};
