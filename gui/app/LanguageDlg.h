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
    // OK changes nothing itself: the command saves the choice once the restart is sure.
    int Selection() const;
    void SetSelection(int index);

    QRadioButton* m_pEnglish;  // 1006
    QRadioButton* m_pChinese;  // 1007

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The Language command (32799) of the channel window: runs the dialog and, after
// an accepted change and every question of the restart answered, saves
// Program.ini, closes the main window and relaunches. A Cancel anywhere, or a
// Program.ini that cannot be saved, leaves the setting as it was.
void RunLanguageCommand(QWidget* parent);
