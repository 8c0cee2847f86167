#include "gui/link/ComSetupDlg.h"

#include <algorithm>

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "gui/app/AppContext.h"
#include "gui/app/ControlId.h"
#include "gui/app/CommandIds.h"
#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/DialogUnits.h"
#include "core/link/SerialPort.h"

CComSetupDlg::CComSetupDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ComSetupDlg"));
    setFont(DialogTemplateFont());
    setWindowTitle(tr("COM Setup"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    SetControlId(ok, 1);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    SetControlId(cancel, 2);
    auto* group = new QGroupBox(QStringLiteral("COM"), this);
    ok->setGeometry(DialogUnitRect(this, 33, 81, 35, 14));
    cancel->setGeometry(DialogUnitRect(this, 109, 82, 35, 14));
    group->setGeometry(DialogUnitRect(this, 20, 13, 139, 57));

    const int pos[kPorts][2] = {{37, 28}, {105, 28}, {37, 50}, {105, 50}};
    m_pGroup = new QButtonGroup(this);
    m_pGroup->setExclusive(true);
    for (int i = 0; i < kPorts; ++i) {
        m_pButtons[i] = new QRadioButton(QStringLiteral("COM%1").arg(i + 1), this);
        SetControlId(m_pButtons[i], IDC_COM1 + i);
        // The template's width is too narrow for indicator and text in this
        // font; the button grows to its text, its place stays.
        QRect r = DialogUnitRect(this, pos[i][0], pos[i][1], 34, 11);
        r.setWidth(std::max(r.width(), m_pButtons[i]->sizeHint().width()));
        r.setHeight(std::max(r.height(), m_pButtons[i]->sizeHint().height()));
        m_pButtons[i]->setGeometry(r);
        m_pGroup->addButton(m_pButtons[i], i);
    }
    connect(m_pGroup, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            m_pNote->hide();
    });
    // Between the group and the buttons: why no port is checked.
    m_pNote = new QLabel(this);
    m_pNote->setObjectName(QStringLiteral("PortNote"));
    m_pNote->setGeometry(DialogUnitRect(this, 20, 71, 139, 9));
    m_pNote->hide();
    setFixedSize(DialogUnitRect(this, 0, 0, 178, 109).size());

    connect(ok, &QPushButton::clicked, this, &CComSetupDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CComSetupDlg::reject);
}

QRadioButton* CComSetupDlg::PortButton(int index) const
{
    return index >= 0 && index < kPorts ? m_pButtons[index] : nullptr;
}

void CComSetupDlg::OnInitDialog()
{
    // Each opening probes afresh: a port another program holds right now is
    // greyed out, one it has since released comes back.
    for (int n = 1; n <= kPorts; ++n) {
        CPosixSerialPort probe;
        const bool ok = probe.Open("com" + std::to_string(n));
        probe.Close();
        m_pButtons[n - 1]->setEnabled(ok);
    }

    // A value outside 1..4 (a damaged store) counts as missing: COM1, rather
    // than no port at all, which OK would turn into "com0".
    const std::uint32_t stored = AppSettings().ReadDword(SettingsKey(theIniFile), kSettingCom).value_or(1);
    m_nPort = (stored >= 1 && stored <= kPorts ? static_cast<int>(stored) : 1) - 1;
    DoDataExchange(false);

    // A stored port that cannot be opened now is not offered as the choice:
    // nothing is checked, and the note says why. OK then keeps the port in use.
    m_pNote->hide();
    if (m_nPort >= 0 && !m_pButtons[m_nPort]->isEnabled()) {
        m_pNote->setText(tr("COM%1 cannot be opened now.").arg(m_nPort + 1));
        m_pNote->show();
        m_nPort = -1;
        DoDataExchange(false);
    }
}

void CComSetupDlg::DoDataExchange(bool save)
{
    if (save) {
        m_nPort = -1;
        for (int i = 0; i < kPorts; ++i)
            if (m_pButtons[i]->isChecked())
                m_nPort = i;
        return;
    }
    // An exclusive group cannot uncheck its last button; -1 needs it lifted briefly.
    m_pGroup->setExclusive(false);
    for (int i = 0; i < kPorts; ++i)
        m_pButtons[i]->setChecked(i == m_nPort);
    m_pGroup->setExclusive(true);
}

void CComSetupDlg::OnOK()
{
    DoDataExchange(true);
    if (m_nPort < 0) {
        // Nothing checked: the port in use stays rather than one that cannot
        // exist.
        QDialog::accept();
        return;
    }
    emit PortChosen(QString::asprintf("%s%d", "com", m_nPort + 1));
    AppSettings().WriteDword(SettingsKey(theIniFile), kSettingCom, static_cast<std::uint32_t>(m_nPort + 1));
    QDialog::accept();
}

void CComSetupDlg::accept() { OnOK(); }

void CComSetupDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        emit HelpRequested(ID_COM_SETUP);
        HtmlHelp(ID_COM_SETUP);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
