#pragma once
// The About box: caption, version, copyright and owner lines from Program.ini.
#include <QDialog>

class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QLabel* m_pIcon;       // 1004
    QLabel* m_pVersion;    // 1001
    QLabel* m_pCopyright;  // 1002
    QLabel* m_pOwner;      // 1003
};
