// The channel view's link commands: Read, Write, COM Setup and the transfer
// the Process window's OK starts.
#include "gui/editor/ProgramView.h"

#include <QMetaMethod>

#include "gui/app/MessageBox.h"
#include "gui/link/ComSetupDlg.h"
#include "gui/link/LinkController.h"
#include "gui/link/LinkSettings.h"
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

void CProgramView::InitPort()
{
    m_strPort = RememberedPort();
    connect(CPortChoice::Instance(), &CPortChoice::Chosen, this, [this](const QString& port) {
        if (m_bOwnPort || port == m_strPort)
            return;
        m_strPort = port;
        emit PortChanged();
    });
}

void CProgramView::SetOwnPort(const QString& port)
{
    m_strPort = port;
    m_bOwnPort = true;
    emit PortChanged();
}

void CProgramView::FollowPort(const QString& port)
{
    m_strPort = port;
    m_bOwnPort = false;
    emit PortChanged();
}

void CProgramView::SetTransferState(const QString& text)
{
    m_strTransferState = text;
    emit TransferStatus(text);
}

void CProgramView::OnComSetup()
{
    CComSetupDlg* dlg = Link()->ComSetupDlg();
    if (!dlg)
        return;
    dlg->SetWindowPort(m_strPort, m_bOwnPort, Link()->TransferPort());
    dlg->OnInitDialog();
    ExecDialog(dlg);
}

bool CProgramView::DeliverRadioRead(const Image& image, const QString& port)
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&CProgramView::RadioRead))) {
        SetOwnPort(port);
        return false;
    }
    emit RadioRead(image, port);
    return true;
}
