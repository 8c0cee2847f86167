#pragma once
// COM Setup (template 135): chooses the port of the next transfers among
// COM1..COM4, greys out those that cannot be opened now, and remembers the
// choice as "com" under the settings key named after [Setup] AppName. A
// remembered port that cannot be opened is left unchecked, with a note.
#include <QDialog>

class QButtonGroup;
class QLabel;
class QRadioButton;

class CComSetupDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 135, IDC_COM1 = 1007 };
    static constexpr int kPorts = 4;

    explicit CComSetupDlg(QWidget* parent = nullptr);

    // Probes the ports afresh and checks the remembered one.
    void OnInitDialog();
    // Hands the checked port on (PortChosen) and into the settings store, then closes with OK.
    void OnOK();
    // Radio buttons to m_nPort (save) or m_nPort to radio buttons.
    void DoDataExchange(bool save);

    QRadioButton* PortButton(int index) const;
    // Says why no port is checked; hidden otherwise.
    QLabel* PortNote() const { return m_pNote; }

    int m_nPort = -1;  // 0..3 for COM1..COM4, -1 for none

signals:
    // OK with a port checked: "com1".."com4", the name the next transfers open.
    void PortChosen(const QString& port);
    // F1 asked for the help topic of context (before the help opens).
    void HelpRequested(int context);

public slots:
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRadioButton* m_pButtons[kPorts] = {};
    QLabel* m_pNote = nullptr;
    QButtonGroup* m_pGroup = nullptr;
};
