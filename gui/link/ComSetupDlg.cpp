#include "gui/link/ComSetupDlg.h"

#include <algorithm>

#include <QButtonGroup>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include "core/app/Globals.h"
#include "core/link/PortName.h"
#include "gui/app/AppContext.h"
#include "gui/app/CommandIds.h"
#include "gui/app/ControlId.h"
#include "gui/app/DialogUnits.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/MessageBox.h"
#include "gui/app/ShownText.h"
#include "gui/link/LinkSettings.h"
#include "bridge/CorePath.h"

namespace {

constexpr int kRescanMs = 1500;

QString Q(const std::string& s) { return FromCorePath(s); }
std::string S(const QString& s) { return CorePath(s); }

}  // namespace

CComSetupDlg::CComSetupDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ComSetupDlg"));
    setFont(DialogTemplateFont());
    setWindowTitle(tr("COM Setup"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

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
        // Under each button the device it stands for.
        m_pDevices[i] = new QLabel(this);
        m_pDevices[i]->setObjectName(QStringLiteral("PortDevice%1").arg(i + 1));
        m_pDevices[i]->setTextFormat(Qt::PlainText);
        m_pDevices[i]->setGeometry(DialogUnitRect(this, pos[i][0] + 2, pos[i][1] + 10, i % 2 ? 52 : 64, 9));
    }
    // Between the group and the buttons: why no port is checked.
    m_pNote = new QLabel(this);
    m_pNote->setObjectName(QStringLiteral("PortNote"));
    m_pNote->setTextFormat(Qt::PlainText);
    m_pNote->setGeometry(DialogUnitRect(this, 20, 71, 139, 9));
    m_pNote->hide();
    // Below the buttons: a window that keeps its own port says so.
    m_pWindowNote = new QLabel(this);
    m_pWindowNote->setObjectName(QStringLiteral("WindowNote"));
    m_pWindowNote->setTextFormat(Qt::PlainText);
    m_pWindowNote->setWordWrap(true);
    m_pWindowNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pWindowNote->setGeometry(DialogUnitRect(this, 20, 99, 150, 27));
    m_pWindowNote->hide();

    // Beside the template: every serial device present, or a path typed in.
    auto* listLabel = new QLabel(tr("Serial devices present:"), this);
    listLabel->setGeometry(DialogUnitRect(this, 178, 4, 254, 10));
    m_pList = new QTreeWidget(this);
    m_pList->setObjectName(QStringLiteral("DeviceList"));
    m_pList->setAccessibleName(tr("Serial devices present"));
    m_pList->setRootIsDecorated(false);
    m_pList->setAllColumnsShowFocus(true);
    m_pList->setHeaderLabels({tr("Device"), tr("Kind"), tr("Description"), tr("State")});
    m_pList->setGeometry(DialogUnitRect(this, 178, 15, 254, 71));
    m_pDeviceButton = new QRadioButton(tr("Device:"), this);
    m_pDeviceButton->setObjectName(QStringLiteral("DeviceButton"));
    QRect r = DialogUnitRect(this, 178, 90, 40, 11);
    r.setWidth(std::max(r.width(), m_pDeviceButton->sizeHint().width()));
    m_pDeviceButton->setGeometry(r);
    m_pGroup->addButton(m_pDeviceButton, kDevice);
    m_pDeviceEdit = new QLineEdit(this);
    m_pDeviceEdit->setObjectName(QStringLiteral("DeviceEdit"));
    m_pDeviceEdit->setAccessibleName(tr("Device path"));
#ifdef _WIN32
    m_pDeviceEdit->setPlaceholderText(tr("COM5, or choose above"));
#else
    m_pDeviceEdit->setPlaceholderText(tr("/dev/ttyUSB0, or choose above"));
#endif
    // Beside the button however wide its text: the edit gives up the room.
    QRect edit = DialogUnitRect(this, 222, 89, 210, 13);
    const int gap = DialogUnitRect(this, 0, 0, 4, 0).width();
    if (edit.left() < r.right() + gap)
        edit.setLeft(r.right() + gap);
    m_pDeviceEdit->setGeometry(edit);
    m_pDeviceState = new QLabel(this);
    m_pDeviceState->setObjectName(QStringLiteral("DeviceState"));
    // The notes quote device names as they were typed or found: plain text.
    m_pDeviceState->setTextFormat(Qt::PlainText);
    m_pDeviceState->setWordWrap(true);
    m_pDeviceState->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pDeviceState->setGeometry(DialogUnitRect(this, 178, 104, 254, 20));
    setFixedSize(DialogUnitRect(this, 0, 0, 440, 128).size());

    connect(m_pGroup, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            m_pNote->hide();
    });
    // A device chosen (selected by a click or the keys), not the item the list
    // makes current when Tab enters it: passing through changes nothing.
    connect(m_pList, &QTreeWidget::itemSelectionChanged, this, [this] {
        QTreeWidgetItem* item = m_pList->selectedItems().value(0);
        if (!item)
            return;
        m_pDeviceEdit->setText(item->text(kColPath));
        m_pDeviceButton->setChecked(true);
        ShowDeviceState();
    });
    connect(m_pDeviceEdit, &QLineEdit::textEdited, this, [this] {
        m_pDeviceButton->setChecked(true);
        ShowDeviceState();
    });
    m_pRescan = new QTimer(this);
    m_pRescan->setInterval(kRescanMs);
    connect(m_pRescan, &QTimer::timeout, this, &CComSetupDlg::Rescan);

    connect(ok, &QPushButton::clicked, this, &CComSetupDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CComSetupDlg::reject);
}

QRadioButton* CComSetupDlg::PortButton(int index) const
{
    return index >= 0 && index < kPorts ? m_pButtons[index] : nullptr;
}

QLabel* CComSetupDlg::PortDevice(int index) const { return index >= 0 && index < kPorts ? m_pDevices[index] : nullptr; }

QString CComSetupDlg::StateText(const Row& row) const
{
    if (row.gone)
        return tr("gone: it was unplugged");
    if (HeldByTransfer(row.device.path))
        return tr("in use by this window's transfer");
    if (HeldByOtherWindow(row.device.path))
        return tr("in use by another window's transfer");
    return Q(PortStateText(row.device, g_bChinese != 0));
}

bool CComSetupDlg::HeldByTransfer(const std::string& name) const
{
    return !m_strTransferPort.isEmpty() && FindPortNamedTwice({S(m_strTransferPort), name}).has_value();
}

bool CComSetupDlg::HeldByOtherWindow(const std::string& name) const
{
    for (const QString& p : m_otherTransferPorts)
        if (FindPortNamedTwice({S(p), name}))
            return true;
    return false;
}

void CComSetupDlg::SetWindowPort(const QString& port, bool own, const QString& transferPort)
{
    m_strWindowPort = port;
    m_bOwnPort = own;
    m_strTransferPort = transferPort;
}

void CComSetupDlg::OnInitDialog()
{
    // Each opening probes afresh: a port another program holds right now is
    // greyed out, one it has since released comes back; [Ports] is read from
    // Program.ini as it is now.
    const auto lookup = PortsLookup();
    for (int n = 1; n <= kPorts; ++n) {
        const SerialDevice d = DescribeSerialDevice(MapPortName("com" + std::to_string(n), lookup));
        // The window's own transfer has it open: busy, but this window's port all the same.
        const bool held = HeldByTransfer("com" + std::to_string(n));
        const bool heldElsewhere = !held && HeldByOtherWindow("com" + std::to_string(n));
        m_pButtons[n - 1]->setEnabled(d.Openable() || held);
        const QString state = held            ? tr("in use by this window's transfer")
                              : heldElsewhere ? tr("in use by another window's transfer")
                                              : Q(PortStateText(d, g_bChinese != 0));
        const QString tip = PlainToolTip(QStringLiteral("COM%1 = %2: %3").arg(n).arg(ShownName(d.path), state));
        m_pDevices[n - 1]->setText(
            m_pDevices[n - 1]->fontMetrics().elidedText(ShownName(d.path), Qt::ElideLeft, m_pDevices[n - 1]->width()));
        m_pDevices[n - 1]->setEnabled(d.Openable() || held);
        m_pDevices[n - 1]->setToolTip(tip);
        m_pButtons[n - 1]->setToolTip(tip);
    }
    m_rows.clear();
    for (SerialDevice& d : ListSerialDevices())
        m_rows.push_back({std::move(d), false});
    FillList();

    // The window's port is checked; the box keeps the device path remembered
    // unless the window's port is a path itself.
    const QString remembered = RememberedPort();
    const QString port = m_strWindowPort.isEmpty() ? remembered : m_strWindowPort;
    const int com = ComPortNumber(port);
    m_nPort = com ? com - 1 : kDevice;
    m_pDeviceEdit->setText(!com ? port : ComPortNumber(remembered) ? QString() : remembered);
    DoDataExchange(false);
    m_pWindowNote->setVisible(m_bOwnPort && PortLabel(port) != PortLabel(remembered));
    m_pWindowNote->setText(tr("This window keeps %1, the port of the radio read in it. The other windows use %2.")
                               .arg(ShownName(PortLabel(port)), ShownName(PortLabel(remembered))));
    ShowDeviceState();

    // The window's port that cannot be opened now is not offered as the
    // choice: nothing is checked, and the note says why. OK then keeps the
    // port in use. The port of the window's own transfer stays checked.
    m_pNote->hide();
    const bool deviceOk = m_nPort != kDevice || DescribeSerialDevice(S(m_pDeviceEdit->text())).Openable();
    if (HeldByTransfer(S(port))) {
        m_pNote->setText(com ? tr("COM%1 is in use by this window.").arg(com)
                             : tr("The device is in use by this window."));
        m_pNote->show();
    } else if (m_nPort >= 0 && (m_nPort == kDevice ? !deviceOk : !m_pButtons[m_nPort]->isEnabled())) {
        const bool elsewhere = HeldByOtherWindow(S(port));
        m_pNote->setText(
            m_nPort == kDevice
                ? (elsewhere ? tr("The device is in use by another window.") : tr("The device cannot be opened now."))
                : (elsewhere ? tr("COM%1 is in use by another window.") : tr("COM%1 cannot be opened now."))
                      .arg(m_nPort + 1));
        m_pNote->show();
        m_nPort = -1;
        DoDataExchange(false);
    }
    m_pRescan->start();
}

void CComSetupDlg::FillList()
{
    const QString current = m_pList->currentItem() ? m_pList->currentItem()->text(kColPath) : QString();
    const QSignalBlocker block(m_pList);
    m_pList->clear();
    for (const Row& row : m_rows) {
        auto* item = new QTreeWidgetItem(m_pList);
        item->setText(kColPath, Q(row.device.path));
        item->setText(kColKind, QString::fromLatin1(PortKindName(row.device.kind)));
        QString description = Q(row.device.description);
        if (row.device.target != row.device.path)
            description += (description.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("-> ") +
                           Q(row.device.target);
        item->setText(kColDescription, description);
        item->setText(kColState, StateText(row));
        item->setToolTip(kColState, PlainToolTip(StateText(row)));
        item->setToolTip(kColPath, PlainToolTip(ShownName(row.device.path)));
        if (row.gone || !row.device.Openable())
            for (int c = kColPath; c <= kColState; ++c)
                item->setForeground(c, palette().brush(QPalette::Disabled, QPalette::Text));
        if (item->text(kColPath) == current)
            m_pList->setCurrentItem(item);
    }
    for (int c = kColPath; c <= kColState; ++c)
        m_pList->resizeColumnToContents(c);
}

int CComSetupDlg::RowOf(const QString& path) const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (Q(m_rows[i].device.path) == path)
            return static_cast<int>(i);
    return -1;
}

void CComSetupDlg::Rescan()
{
    // Without opening what is known: a probe may toggle a device's lines.
    bool changed = false;
    std::vector<SerialDevice> now = ListSerialDevices({{}, false});
    for (Row& row : m_rows) {
        const bool present =
            std::any_of(now.begin(), now.end(), [&](const SerialDevice& d) { return d.path == row.device.path; });
        if (row.gone == present) {
            row.gone = !present;
            if (present)
                ProbeSerialDevice(row.device);
            changed = true;
        }
    }
    for (SerialDevice& d : now) {
        if (RowOf(Q(d.path)) >= 0)
            continue;
        ProbeSerialDevice(d);
        m_rows.push_back({std::move(d), false});
        changed = true;
    }
    if (changed) {
        FillList();
        ShowDeviceState();
    }
}

void CComSetupDlg::ShowDeviceState()
{
    const QString path = m_pDeviceEdit->text().trimmed();
    if (path.isEmpty()) {
        m_pDeviceState->clear();
        return;
    }
    const QString shown = ShownName(path);
    const int row = RowOf(path);
    if (row >= 0 && m_rows[static_cast<std::size_t>(row)].gone) {
        m_pDeviceState->setText(
            tr("%1 is gone: it was unplugged. Plug it in again or choose another device.").arg(shown));
        return;
    }
    if (HeldByTransfer(S(path))) {
        m_pDeviceState->setText(tr("%1 is in use by this window's transfer.").arg(shown));
        return;
    }
    if (HeldByOtherWindow(S(path))) {
        m_pDeviceState->setText(tr("%1 is in use by another window's transfer.").arg(shown));
        return;
    }
    const SerialDevice d = DescribeSerialDevice(S(path));
    m_pDeviceState->setText(
        d.Openable()
            ? tr("%1 can be opened.").arg(shown)
            : tr("%1 cannot be opened: %2 (%3)").arg(shown, Q(PortStateText(d, g_bChinese != 0)), ShownName(d.reason)));
}

void CComSetupDlg::DoDataExchange(bool save)
{
    if (save) {
        m_nPort = -1;
        for (int i = 0; i < kPorts; ++i)
            if (m_pButtons[i]->isChecked())
                m_nPort = i;
        if (m_pDeviceButton->isChecked())
            m_nPort = kDevice;
        return;
    }
    // An exclusive group cannot uncheck its last button; -1 needs it lifted briefly.
    m_pGroup->setExclusive(false);
    for (int i = 0; i < kPorts; ++i)
        m_pButtons[i]->setChecked(i == m_nPort);
    m_pDeviceButton->setChecked(m_nPort == kDevice);
    m_pGroup->setExclusive(true);
}

void CComSetupDlg::OnOK()
{
    DoDataExchange(true);
    if (m_nPort < 0) {
        // Nothing checked: the port in use stays rather than one that cannot
        // exist.
        m_pRescan->stop();
        QDialog::accept();
        return;
    }
    if (m_nPort == kDevice) {
        const QString path = m_pDeviceEdit->text().trimmed();
        const int row = RowOf(path);
        QString refusal;
        if (path.isEmpty())
            refusal = tr("Type the path of a serial device, or choose one from the list.");
        else if (row >= 0 && m_rows[static_cast<std::size_t>(row)].gone)
            refusal = tr("%1 is gone: it was unplugged. Plug it in again or choose another device.").arg(path);
        if (!refusal.isEmpty()) {
            AppMessageBox(this, refusal);
            return;
        }
        m_pRescan->stop();
        RememberPort(path);
        emit PortChosen(path);
        QDialog::accept();
        return;
    }
    m_pRescan->stop();
    const QString port = QString::asprintf("%s%d", "com", m_nPort + 1);
    RememberPort(port);
    emit PortChosen(port);
    QDialog::accept();
}

void CComSetupDlg::accept() { OnOK(); }

void CComSetupDlg::reject()
{
    m_pRescan->stop();
    QDialog::reject();
}

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
