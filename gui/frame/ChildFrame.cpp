#include "gui/frame/ChildFrame.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QKeySequence>
#include <QMdiArea>
#include <QMenu>
#include <QMetaObject>
#include <algorithm>

#include "gui/app/AppResources.h"
#include "gui/editor/ProgramView.h"
#include "gui/link/LinkController.h"
#include "gui/radio/ProgramDoc.h"

CChildFrame::CChildFrame(CProgramDoc* doc, QWidget* parent)
    : QMdiSubWindow(parent), m_pDocument(doc), m_pView(nullptr), m_pLink(nullptr)
{
    m_pDocument->setParent(this);
    setObjectName(QStringLiteral("ChildFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Close keeps Ctrl+F4 only: Ctrl+W is the program's Write, wherever the focus is.
    if (QMenu* menu = systemMenu())
        for (QAction* a : menu->actions())
            if (a->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_W)))
                a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    m_pView = new CProgramView(doc, this);
    connect(m_pView, &CProgramView::InitialUpdateStarting, this, [this] {
        FitToArea();
        LoadIcon();
    });
    setWidget(m_pView);
    // The link's dialogs sit over the form.
    m_pLink = new CLinkController(doc, m_pView, this);
    connect(doc, &CProgramDoc::TitleChanged, this, &CChildFrame::UpdateCaption);
    connect(doc, &CProgramDoc::ModifiedChanged, this, &CChildFrame::UpdateCaption);
    UpdateCaption();
    setGeometry(0, 0, kWidth, kHeight);
}

CChildFrame::~CChildFrame()
{
    // The link goes first: a transfer still running is cancelled and ends on
    // its own thread without touching the window or the document again.
    delete m_pLink;
    m_pLink = nullptr;
    // Then the view: it reaches into the document while it is torn down.
    delete m_pView;
    m_pView = nullptr;
    // Then the document, while this is still a child frame: its undo stack
    // leaving the main frame's undo group makes the frame update its menus,
    // which asks the active child frame for its view and document. Left to
    // QWidget's destructor, that would call into a frame already destroyed.
    CProgramDoc* doc = m_pDocument;
    m_pDocument = nullptr;
    disconnect(doc, nullptr, this, nullptr);
    delete doc;
}

QSize CChildFrame::FormFrameSize() const
{
    // A maximized window has no title bar or border of its own: the size is
    // the one it had last time it was not maximized.
    if (!isMaximized() || !m_formFrameSize.isValid())
        m_formFrameSize = sizeHint();
    return m_formFrameSize;
}

void CChildFrame::FitToArea()
{
    // Shrinking only, to the form's size.
    if (!isMaximized())
        resize(size().boundedTo(FormFrameSize()));
    Refit();
}

void CChildFrame::Refit()
{
    QMdiArea* area = mdiArea();
    if (!area)
        return;
    if (m_pWatchedArea != area->viewport()) {
        m_pWatchedArea = area->viewport();
        m_pWatchedArea->installEventFilter(this);
    }
    const QRect room = area->viewport()->rect();
    const QSize form = FormFrameSize();
    m_bFitting = true;
    if (form.width() > room.width() || form.height() > room.height()) {
        if (!isMaximized()) {
            // The state alone: a window hidden by Close stays hidden.
            setWindowState(windowState() | Qt::WindowMaximized);
            m_bFitMaximized = true;
        }
    } else if (isMaximized()) {
        if (m_bFitMaximized) {
            setWindowState(windowState() & ~Qt::WindowMaximized);
            setGeometry(QRect(QPoint(0, 0), form));
            m_bFitMaximized = false;
        }
    } else if (!room.contains(geometry())) {
        // A window the user made larger, or moved, comes back inside the area.
        QRect g(geometry().topLeft(), size().boundedTo(room.size()));
        g.moveLeft(std::clamp(g.left(), 0, room.width() - g.width()));
        g.moveTop(std::clamp(g.top(), 0, room.height() - g.height()));
        setGeometry(g);
    }
    m_bFitting = false;
}

void CChildFrame::showEvent(QShowEvent* event)
{
    QMdiSubWindow::showEvent(event);
    FocusGridLater();
}

void CChildFrame::FocusGridLater()
{
    // The window hands the focus to its first control, a band box, once it
    // is shown or restored; the grid takes it after that.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (isVisible() && mdiArea() && mdiArea()->activeSubWindow() == this)
                m_pView->FocusGrid();
        },
        Qt::QueuedConnection);
}

void CChildFrame::changeEvent(QEvent* event)
{
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        FocusGridLater();
    // The user maximizing or restoring the window takes it over from the fit.
    if (event->type() == QEvent::WindowStateChange && !m_bFitting) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if (!change->isOverride() &&
            ((change->oldState() ^ windowState()) & (Qt::WindowMaximized | Qt::WindowMinimized)))
            m_bFitMaximized = false;
    }
}

bool CChildFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pWatchedArea && event->type() == QEvent::Resize)
        Refit();
    return QMdiSubWindow::eventFilter(watched, event);
}

void CChildFrame::LoadIcon() { setWindowIcon(TitleIcon()); }

void CChildFrame::UpdateCaption()
{
    // The title, and a "*" after it while there are unsaved changes.
    const QString number = m_nTitleNumber > 1 ? QStringLiteral(" (%1)").arg(m_nTitleNumber) : QString();
    setWindowTitle(m_pDocument->GetTitle() + number + (m_pDocument->IsModified() ? QStringLiteral("*") : QString()));
}

void CChildFrame::SetTitleNumber(int number)
{
    m_nTitleNumber = number;
    UpdateCaption();
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (!CLinkController::ConfirmStop({m_pLink}))
        return;
    // Closing only hides the window: the document stays as it is, unsaved
    // changes included, and is asked about when it really closes. An edit
    // still open is taken into it first, so that the question knows of it.
    m_pView->FlushEdits();
    hide();
    emit Closed();
}
