#pragma once
// COM Setup (template 135): chooses the port of the next transfers among
// COM1..COM4, each shown with the device [Ports] maps it to (read afresh at
// every opening) and greyed out when it cannot be opened now; or any serial
// device present, from the list beside them or typed as a path. The list says
// why a device cannot be opened, and is scanned again while the dialog is
// open: a device unplugged meanwhile is shown as gone, never chosen silently.
// The dialog shows the port of the window it was opened from; its OK gives
// that window and every window without a port of its own the choice, which
// is remembered as "com" (COM1..COM4) or as a device path.
#include <QDialog>
#include <QStringList>
#include <vector>

#include "core/link/Ports.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimer;
class QTreeWidget;

class CComSetupDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 135, IDC_COM1 = 1007 };
    static constexpr int kPorts = 4;
    static constexpr int kDevice = kPorts;  // m_nPort of a device path
    enum DeviceColumn { kColPath, kColKind, kColDescription, kColState };

    explicit CComSetupDlg(QWidget* parent = nullptr);

    // The port of the window the dialog is opened from, checked at the next
    // opening; own: the window keeps it whatever COM Setup chose for the
    // others (the radio read in it). Without a window, the remembered port.
    // transferPort: the port the window's transfer holds now ("" for none),
    // shown as in use by it rather than as one that cannot be opened.
    void SetWindowPort(const QString& port, bool own, const QString& transferPort = QString());
    // The ports other windows' transfers hold now: told as such, not as held
    // by another program.
    void SetOtherTransfers(const QStringList& ports) { m_otherTransferPorts = ports; }
    // Probes the ports afresh and checks the window's port.
    void OnInitDialog();
    // Hands the checked port on (PortChosen) and into the settings store, then closes with OK.
    void OnOK();
    // Radio buttons to m_nPort (save) or m_nPort to radio buttons.
    void DoDataExchange(bool save);
    // Scans the devices present again: new ones are added, vanished ones
    // marked gone (the dialog does this on a timer while it is open).
    void Rescan();

    QRadioButton* PortButton(int index) const;
    // The device a COM button maps to, under the button.
    QLabel* PortDevice(int index) const;
    // Says why no port is checked; hidden otherwise.
    QLabel* PortNote() const { return m_pNote; }
    // Says that the window keeps a port of its own and which the others use.
    QLabel* WindowNote() const { return m_pWindowNote; }
    QTreeWidget* DeviceList() const { return m_pList; }
    QRadioButton* DeviceButton() const { return m_pDeviceButton; }
    QLineEdit* DeviceEdit() const { return m_pDeviceEdit; }
    // The state of the device in the box: can it be opened, and if not why.
    QLabel* DeviceState() const { return m_pDeviceState; }

    int m_nPort = -1;  // 0..3 for COM1..COM4, kDevice for the device path, -1 for none

signals:
    // OK with a port checked: "com1".."com4" or a device path, the name the
    // next transfers open (already remembered for the other windows).
    void PortChosen(const QString& port);
    // F1 asked for the help topic of context (before the help opens).
    void HelpRequested(int context);

public slots:
    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Row {
        SerialDevice device;
        bool gone = false;
    };
    void FillList();
    void ShowDeviceState();
    int RowOf(const QString& path) const;
    QString StateText(const Row& row) const;
    // The window's own transfer holds `name` (a COM name or a device path).
    bool HeldByTransfer(const std::string& name) const;
    bool HeldByOtherWindow(const std::string& name) const;

    QRadioButton* m_pButtons[kPorts] = {};
    QLabel* m_pDevices[kPorts] = {};
    QLabel* m_pNote = nullptr;
    QLabel* m_pWindowNote = nullptr;
    QString m_strWindowPort;
    QString m_strTransferPort;
    QStringList m_otherTransferPorts;
    bool m_bOwnPort = false;
    QButtonGroup* m_pGroup = nullptr;
    QTreeWidget* m_pList = nullptr;
    QRadioButton* m_pDeviceButton = nullptr;
    QLineEdit* m_pDeviceEdit = nullptr;
    QLabel* m_pDeviceState = nullptr;
    QTimer* m_pRescan = nullptr;
    std::vector<Row> m_rows;
};
