#include "link/ComSetupDlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

#include "app/AppContext.h"
#include "app/CommandIds.h"
#include "app/IniFile.h"
#include "app/SettingsStore.h"
#include "editor/ProgramView.h"
#include "frame/HelpAccess.h"
#include "link/DialogUnits.h"
#include "link/SerialPort.h"

namespace {
const char* const kSettingCom = "com";

std::string SettingsKey() { return theIniFile.GetString("Setup", "AppName", ""); }
}  // namespace

CComSetupDlg::CComSetupDlg(CProgramView* view) : QDialog(view), m_pView(view)
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
    auto* buttons = new QButtonGroup(this);
    buttons->setExclusive(true);
    for (int i = 0; i < kPorts; ++i) {
        m_pButtons[i] = new QRadioButton(QStringLiteral("COM%1").arg(i + 1), this);
        SetControlId(m_pButtons[i], IDC_COM1 + i);
        m_pButtons[i]->setGeometry(DialogUnitRect(this, pos[i][0], pos[i][1], 34, 11));
        buttons->addButton(m_pButtons[i], i);
    }
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
    const std::uint32_t stored = AppSettings().ReadDword(SettingsKey(), kSettingCom).value_or(1);
    m_nPort = (stored >= 1 && stored <= kPorts ? static_cast<int>(stored) : 1) - 1;
    DoDataExchange(false);
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
    // The remembered port is shown checked even when the probe greyed it out.
    for (int i = 0; i < kPorts; ++i)
        m_pButtons[i]->setChecked(i == m_nPort);
}

void CComSetupDlg::OnOK()
{
    DoDataExchange(true);
    if (m_nPort < 0) {
        // Nothing checked: keep the port the view has rather than one that
        // cannot exist.
        QDialog::accept();
        return;
    }
    if (m_pView)
        m_pView->m_strPort = QString::asprintf("%s%d", "com", m_nPort + 1);
    AppSettings().WriteDword(SettingsKey(), kSettingCom, static_cast<std::uint32_t>(m_nPort + 1));
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
