#include "gui/link/ProcessDlg.h"

#include <algorithm>
#include <utility>

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "gui/app/AppContext.h"
#include "gui/app/ControlId.h"
#include "gui/app/DialogUnits.h"

CProcessDlg::CProcessDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ProcessDlg"));
    setFont(DialogTemplateFont());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
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
    m_ctlProgress->setAccessibleName(tr("Progress"));
    SetControlId(m_ctlProgress, IDC_PROGRESS);
    m_pPosition = new QLabel(QStringLiteral("0"), this);
    m_pPosition->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // The count of 16-byte blocks means nothing before a transfer: shown from OK on.
    m_pPosition->setAccessibleName(tr("Blocks of 16 bytes transferred"));
    m_pPosition->setToolTip(tr("Blocks of 16 bytes transferred"));
    SetControlId(m_pPosition, IDC_POSITION);

    m_pOk->setGeometry(DialogUnitRect(this, 23, 40, 42, 14));
    m_pCancel->setGeometry(DialogUnitRect(this, 140, 40, 42, 14));
    m_ctlProgress->setGeometry(DialogUnitRect(this, 23, 21, 159, 9));
    m_pPosition->setGeometry(DialogUnitRect(this, 83, 40, 40, 14));

    // Above the bar the first line, below the buttons the rest: the template's
    // controls keep their places and the window grows downwards.
    auto label = [this](const char* name, int y, int height, Qt::Alignment align) {
        auto* l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText);  // the port's name is no markup
        l->setWordWrap(true);
        l->setAlignment(align);
        l->setGeometry(DialogUnitRect(this, 6, y, 194, height));
        return l;
    };
    m_pInstruction = label("Instruction", 2, 18, Qt::AlignCenter);
    m_pOperation = label("Operation", 58, 18, Qt::AlignLeft | Qt::AlignTop);
    m_pDetails = label("Details", 77, 10, Qt::AlignLeft | Qt::AlignTop);
    m_pAttempt = label("Attempt", 88, 10, Qt::AlignLeft | Qt::AlignTop);
    m_pBackupFirst = new QCheckBox(tr("Back up the radio first (a full read, about 20 s)"), this);
    m_pBackupFirst->setObjectName(QStringLiteral("BackupFirst"));
    m_pVerify = new QCheckBox(tr("Verify after writing (reads the radio back)"), this);
    m_pVerify->setObjectName(QStringLiteral("Verify"));
    // As wide as their texts need in the font at hand (a wider face, a larger scale).
    for (const auto& [box, y] : {std::pair{m_pBackupFirst, 100}, std::pair{m_pVerify, 112}}) {
        QRect r = DialogUnitRect(this, 6, y, 194, 11);
        r.setWidth(std::max(r.width(), box->sizeHint().width()));
        box->setGeometry(r);
    }
    SetWriteChoices(false, false, false);

    connect(m_pOk, &QPushButton::clicked, this, &CProcessDlg::OnOK);
    connect(m_pCancel, &QPushButton::clicked, this, &CProcessDlg::OnCancel);
}

void CProcessDlg::Create()
{
    OnInitDialog();
    m_bWindow = true;
    show();
    QWidget* owner = MainWindow();
    const QRect area =
        owner ? owner->frameGeometry()
              : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect());
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
    m_pInstruction->setText(tr("Switch the radio on, connect the cable, press OK."));
    m_pDetails->clear();
    m_pPosition->hide();
    SetAttempt(0);
    m_pBackupFirst->setEnabled(true);
    m_pVerify->setEnabled(true);
    // A new window starts waiting: OK enabled, the focus on it.
    m_pOk->setEnabled(true);
    m_pOk->setFocus(Qt::OtherFocusReason);
}

void CProcessDlg::SetOperation(const QString& text) { m_pOperation->setText(text); }

void CProcessDlg::SetDetails(const QString& text) { m_pDetails->setText(text); }

void CProcessDlg::SetAttempt(int attempt)
{
    m_pAttempt->setText(attempt > 1 ? tr("No answer from the radio yet: attempt %1 of 15").arg(attempt) : QString());
}

void CProcessDlg::SetWriteChoices(bool show, bool backupFirst, bool verify)
{
    m_bWriteChoices = show;
    m_pBackupFirst->setVisible(show);
    m_pVerify->setVisible(show);
    m_pBackupFirst->setChecked(backupFirst);
    m_pVerify->setChecked(verify);
    QSize size = DialogUnitRect(this, 0, 0, 206, show ? 126 : 101).size();
    if (show)
        size.setWidth(
            std::max({size.width(), m_pBackupFirst->geometry().right() + DialogUnitRect(this, 0, 0, 6, 0).width(),
                      m_pVerify->geometry().right() + DialogUnitRect(this, 0, 0, 6, 0).width()}));
    setFixedSize(size);
}

void CProcessDlg::OnOK()
{
    // Enter on a window whose transfer has begun must not start a second one.
    if (!m_bWindow || !m_pOk->isEnabled())
        return;
    m_pOk->setEnabled(false);
    m_pPosition->show();
    m_pBackupFirst->setEnabled(false);
    m_pVerify->setEnabled(false);
    m_pInstruction->setText(tr("Keep the radio on and the cable connected until this window closes."));
    m_pCancel->setFocus(Qt::OtherFocusReason);
    emit TransferRequested();
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
