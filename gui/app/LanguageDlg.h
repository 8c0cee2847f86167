#pragma once
// The Language dialog and the command around it: a change is written to
// Program.ini and the program starts again in the new language.
#include <QDialog>

class QRadioButton;

class CLanguageDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLanguageDlg(QWidget* parent = nullptr);

    // 0 English, 1 Chinese; the interface now running is selected when the dialog opens.
    int Selection() const;
    void SetSelection(int index);
    // Set by an OK that chose the other language; never reset in this run.
    bool m_bChanged = false;

    QRadioButton* m_pEnglish;  // 1006
    QRadioButton* m_pChinese;  // 1007

public slots:
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The Language command (32799) of the channel window: runs the dialog and, after
// an accepted change, saves Program.ini, closes the main window and relaunches.
void RunLanguageCommand(QWidget* parent);
