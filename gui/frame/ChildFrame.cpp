#include "frame/ChildFrame.h"

#include <QCloseEvent>
#include <QIcon>

#include "editor/ProgramView.h"
#include "link/LinkController.h"
#include "radio/ProgramDoc.h"

CChildFrame::CChildFrame(CProgramDoc* doc, QWidget* parent)
    : QMdiSubWindow(parent), m_pDocument(doc), m_pView(nullptr)
{
    m_pDocument->setParent(this);
    setObjectName(QStringLiteral("ChildFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_pView = new CProgramView(doc, this);
    setWidget(m_pView);
    setWindowTitle(doc->GetTitle());
    setGeometry(0, 0, kWidth, kHeight);
}

CChildFrame::~CChildFrame()
{
    // The view goes first: it reaches into the document while it is torn down.
    delete m_pView;
    m_pView = nullptr;
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (CLinkController::ConfirmStop({m_pView}))
        hide();
}
