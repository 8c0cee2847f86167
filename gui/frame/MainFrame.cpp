#include "gui/frame/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
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
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUrl>
#include <utility>

#include "gui/app/FileDialogs.h"
#include "gui/app/AboutDlg.h"
#include "gui/app/AppContext.h"
#include "gui/app/AppPrinter.h"
#include "gui/app/AppResources.h"
#include "gui/app/CommandIds.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "gui/app/MessageBox.h"
#include "gui/app/Relaunch.h"
#include "gui/app/ShownText.h"
#include "gui/app/SupportReportDlg.h"
#include "gui/editor/ProgramView.h"
#include "gui/frame/ChildFrame.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/LastFolder.h"
#include "gui/frame/MDIClientWnd.h"
#include "gui/frame/NavigationBar.h"
#include "core/exchange/StockLists.h"
#include "core/files/TextFile.h"
#include "core/radio/RadioCatalogue.h"
#include "core/link/PortName.h"
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
        if (!m_docs.PrepareToQuit(commit))
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
    CProgramDoc::SetSaveCommand([this](CProgramDoc* doc) { return m_docs.SaveDocument(doc); });
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
    CSupportReportDlg dlg(this, document, [this](const QString& path) { return m_docs.FrameOfFile(path) != nullptr; });
    ExecDialog(&dlg);
}

void CMainFrame::OnFileClose()
{
    // As the close box: the window hides once a transfer there may stop.
    if (CChildFrame* f = FrontChildFrame())
        f->close();
}

bool CMainFrame::OnFileSave() { return m_docs.SaveDocument(ActiveDocument()); }

bool CMainFrame::OnFileSaveAs() { return m_docs.SaveDocument(ActiveDocument(), true); }

void CMainFrame::FillStockMenu(QMenu* menu)
{
    menu->clear();
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
        QAction* a = menu->addAction(text);
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
    if (menu->isEmpty())
        menu->addAction(tr("No stock lists found"))->setEnabled(false);
}

void CMainFrame::FillWindowMenu(QMenu* menu)
{
    // The commands stay (they carry their ids); the list after them, of the last time, goes.
    const QList<QAction*> actions = menu->actions();
    qsizetype commands = 0;
    for (qsizetype i = 0; i < actions.size(); ++i)
        if (actions[i]->data().isValid())
            commands = i + 1;
    for (qsizetype i = commands; i < actions.size(); ++i) {
        menu->removeAction(actions[i]);
        actions[i]->deleteLater();
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

void CMainFrame::ShowChildFrame(CChildFrame* frame)
{
    frame->show();
    frame->raise();
    m_pMdiClient->setActiveSubWindow(frame);
    UpdateFrameMenu();
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
    frame->GetView()->SetContextMenu(GridMenu());
    connect(frame->GetView(), &CProgramView::FilesDropped, this,
            [this, frame](const QStringList& paths) { m_docs.OpenDroppedFiles(paths, frame); });
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

void CMainFrame::ConnectLink(CChildFrame* frame)
{
    CLinkSession* link = frame->GetLink()->Session();
    connect(link, &CLinkSession::RadioRead, this, [this, link](const Image& image, const QString& port) {
        // The radio's window talks to the same radio: a Write from it goes
        // where the read came from.
        CChildFrame* opened = m_docs.OpenImageDocument(image, CLinkController::RadioDocumentTitle(port),
                                                       CLinkController::RadioOrigin(port));
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
    if (!std::exchange(m_bAnswered, false) && !m_docs.PrepareToQuit()) {
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
        this, [this, paths, target] { m_docs.OpenDroppedFiles(paths, target); }, Qt::QueuedConnection);
}
