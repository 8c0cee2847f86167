// The channel view's link commands: Read, Write, COM Setup and the transfer
// the Process window's OK starts.
#include "gui/editor/ProgramView.h"

#include <QMetaMethod>

#include "gui/app/MessageBox.h"
#include "gui/link/ComSetupDlg.h"
#include "gui/link/LinkController.h"
#include "gui/link/ProcessDlg.h"

CLinkController* CProgramView::Link()
{
    if (!m_pLink)
        m_pLink = new CLinkController(this);
    return m_pLink;
}

void CProgramView::OnRead() { Link()->ShowProcessWindow(false); }

void CProgramView::OnWrite() { Link()->ShowProcessWindow(true); }

void CProgramView::OnTransfer() { Link()->Transfer(); }

void CProgramView::OnComSetup()
{
    CComSetupDlg* dlg = Link()->ComSetupDlg();
    if (!dlg)
        return;
    dlg->OnInitDialog();
    ExecDialog(dlg);
}

bool CProgramView::DeliverRadioRead(const Image& image, const QString& port)
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&CProgramView::RadioRead)))
        return false;
    emit RadioRead(image, port);
    return true;
}
