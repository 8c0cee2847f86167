#pragma once
// The main window: menus, toolbar, status bar, the navigation bar at the left
// and the document windows in the area behind them.
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <functional>

#include "core/radio/Image.h"
#include "gui/frame/Commands.h"
#include "gui/frame/DocManager.h"

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

class CMainFrame : public QMainWindow, private CDocManager::IWindows {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The one main frame of the process (nullptr while none exists).
    static CMainFrame* Instance();

    // The active document window, even while it is hidden by Close; nullptr when none exists.
    CChildFrame* ActiveChildFrame() const override;
    // The document window the user sees in front: the active one unless it is
    // hidden, else the topmost one shown; nullptr when none is shown. Every
    // document command acts on it, and is disabled without it: a document
    // hidden by Close takes no command until Channel Information shows it.
    CChildFrame* FrontChildFrame() const override;
    // The document, view and link of FrontChildFrame.
    CProgramDoc* ActiveDocument() const;
    CProgramView* ActiveView() const;
    CLinkController* ActiveLink() const;
    QList<CChildFrame*> ChildFrames() const override;

    // The action of a command id (menus, toolbar and accelerators share it); nullptr if unknown.
    QAction* Action(int commandId) const;

    CNavigationBar* NavigationBar() const { return m_pNavBar; }
    CMDIClientWnd* MdiClient() const { return m_pMdiClient; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    // The top-level menus now shown: the document set while a document exists.
    QList<QMenu*> CurrentMenus() const;
    QMenu* Menu(const QString& objectName) const;
    // The menu a right click on the grid shows.
    QMenu* GridMenu() const { return m_menus.value(kGridMenu); }
    QTreeWidgetItem* TreeRoot() const { return m_pTreeRoot; }
    // The status bar's message pane (the active window's transfer: running,
    // or how it ended) and its port.
    QLabel* StatusText() const { return m_pReadyLabel; }
    QLabel* PortIndicator() const { return m_pPortLabel; }

    // The document manager's (new, open, the recent files), for the program's start and the tests.
    bool NewDocument() { return m_docs.NewDocument(); }
    bool OpenDocumentFile(const QString& path) { return m_docs.OpenDocumentFile(path); }
    CChildFrame* OpenImageDocument(const Image& image, const QString& title, const QString& origin = QString())
    {
        return m_docs.OpenImageDocument(image, title, origin);
    }
    QStringList RecentFiles() const { return m_docs.RecentFiles(); }
    QMenu* RecentMenu() const { return m_menus.value(kRecentMenu); }
    // Destroys a document window and its document without asking anything.
    void DestroyChildFrame(CChildFrame* frame) override;

    // Commands of the frame.
    void OnFileNew() { m_docs.OnFileNew(); }  // guarded: asks before discarding the document in front
    bool OnFileSave();
    bool OnFileSaveAs();
    void OnFilePrintSetup();
    void OnAppAbout();
    void OnSupportReport();
    void OnControlBar();
    void OnChannelInformation();
    void OnProductInformation();
    void OnOptionFeatures();
    void OnFileClose();
    void OnLogSerialTraffic(bool on);
    // Every help request of the frame ends here: the command id is the context number.
    void WinHelp(int context);

    // Refreshes the menu set and which commands are enabled or checked.
    void UpdateFrameMenu() override;

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
    // The tables of commands and menus (MainFrameCommands.cpp), and what the frame makes of them.
    static const QList<CommandRow>& CommandTable();
    static const QList<MenuRow>& MenuTable();
    void CreateActions();
    void ConnectCommand(QAction* action, const CommandHandler& handler);
    void CreateMenus();
    // The commands and submenus of `row` into `menu`, with the traits of `row`.
    void FillMenu(QMenu* menu, const MenuRow& row);
    void CreateToolBar();
    void CreateUndoNames();
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
    // File > Import Channels > Stock lists: the lists beside the program, by title.
    void FillStockMenu(QMenu* menu);
    // Window: the arrangements, then every document window, numbered.
    void FillWindowMenu(QMenu* menu);
    // Tells apart windows of one title: "Channel Information (2)".
    void NumberTitle(CChildFrame* frame);
    QPoint CascadePosition(const CChildFrame* frame) const;

    // What the document manager asks of the frame.
    QWidget* DialogParent() override { return this; }
    // A new document window: its document joins the undo group.
    CChildFrame* AddChildFrame(CProgramDoc* doc) override;
    // Shows a document window in front, and the commands follow it.
    void ShowChildFrame(CChildFrame* frame) override;

    static CMainFrame* s_pInstance;

    CMDIClientWnd* m_pMdiClient = nullptr;
    CNavigationBar* m_pNavBar = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QLabel* m_pReadyLabel = nullptr;
    QLabel* m_pPortLabel = nullptr;
    CDocManager m_docs{*this};
    QMap<int, QAction*> m_actions;
    QMap<unsigned, QMenu*> m_menus;  // the frame's menus by CommandMenu (a submenu of its own in each place is not)
    QList<QMenu*> m_mainMenus;       // menu 128: no document
    QList<QMenu*> m_docMenus;        // menu 129: with a document
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
};
