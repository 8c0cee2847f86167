#include "gui/link/ProcessDlg.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "gui/app/AppContext.h"
#include "gui/app/ControlId.h"
#include "gui/editor/ProgramView.h"
#include "gui/app/DialogUnits.h"

CProcessDlg::CProcessDlg(CProgramView* view) : QDialog(view), m_pView(view)
{
    setObjectName(QStringLiteral("ProcessDlg"));
    setFont(DialogTemplateFont());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setModal(false);
    setWindowTitle(tr("Process"));

    m_pOk = new QPushButton(tr("OK"), this);
    m_pOk->setDefault(true);
    m_pOk->setAutoDefault(true);
    SetControlId(m_pOk, 1);
    m_pCancel = new QPushButton(tr("Cancel"), this);
    m_pCancel->setAutoDefault(false);
    SetControlId(m_pCancel, 2);
    m_ctlProgress = new QProgressBar(this);
    m_ctlProgress->setTextVisible(false);
    SetControlId(m_ctlProgress, IDC_PROGRESS);
    m_pPosition = new QLabel(QStringLiteral("0"), this);
    m_pPosition->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    SetControlId(m_pPosition, IDC_POSITION);

    m_pOk->setGeometry(DialogUnitRect(this, 23, 40, 42, 14));
    m_pCancel->setGeometry(DialogUnitRect(this, 140, 40, 42, 14));
    m_ctlProgress->setGeometry(DialogUnitRect(this, 23, 21, 159, 9));
    m_pPosition->setGeometry(DialogUnitRect(this, 83, 40, 40, 14));
    setFixedSize(DialogUnitRect(this, 0, 0, 206, 73).size());

    connect(m_pOk, &QPushButton::clicked, this, &CProcessDlg::OnOK);
    connect(m_pCancel, &QPushButton::clicked, this, &CProcessDlg::OnCancel);
}

void CProcessDlg::Create()
{
    OnInitDialog();
    m_bWindow = true;
    show();
    QWidget* owner = MainWindow();
    const QRect area = owner ? owner->frameGeometry()
                             : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                                 : QRect());
    if (area.isValid())
        move(area.center() - rect().center());
    raise();
    activateWindow();
}

void CProcessDlg::DestroyWindow()
{
    m_bWindow = false;
    hide();
}

void CProcessDlg::OnInitDialog()
{
    SetRange(0, 305);
    SetPos(0);
    m_nStep = 1;
    setWindowTitle(m_strCaption);
    m_bCancel = false;
    // A new window starts waiting: OK enabled, the focus on it.
    m_pOk->setEnabled(true);
    m_pOk->setFocus(Qt::OtherFocusReason);
}

void CProcessDlg::OnOK()
{
    // Enter on a window whose transfer has begun must not start a second one.
    if (!m_bWindow || !m_pOk->isEnabled())
        return;
    m_pOk->setEnabled(false);
    m_pCancel->setFocus(Qt::OtherFocusReason);
    if (CProgramView* view = m_pView)
        QMetaObject::invokeMethod(view, [view] { view->OnTransfer(); }, Qt::QueuedConnection);
}

void CProcessDlg::OnCancel()
{
    if (!m_bWindow)
        return;
    m_bCancel = true;
    if (m_pOk->isEnabled()) {
        DestroyWindow();
        return;
    }
    emit CancelRequested();
}

void CProcessDlg::accept() { OnOK(); }

void CProcessDlg::reject() { OnCancel(); }

void CProcessDlg::closeEvent(QCloseEvent* event)
{
    // The close box is Cancel; the window itself goes only through DestroyWindow.
    event->ignore();
    OnCancel();
}

void CProcessDlg::SetRange(int lower, int upper) { m_ctlProgress->setRange(lower, upper); }

void CProcessDlg::SetPos(int pos)
{
    m_ctlProgress->setValue(pos);
    m_pPosition->setText(QString::asprintf("%d", GetPos()));
}

int CProcessDlg::GetPos() const { return m_ctlProgress->value(); }

int CProcessDlg::RangeLower() const { return m_ctlProgress->minimum(); }

int CProcessDlg::RangeUpper() const { return m_ctlProgress->maximum(); }

void CProcessDlg::StepIt() { SetPos(GetPos() + m_nStep); }
