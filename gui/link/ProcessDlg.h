#pragma once
// The Process window: a modeless dialog (template 131) that starts a transfer
// with OK and shows its progress. The object lives as long as its view; only
// its window comes and goes.
#include <QDialog>
#include <QString>

class CProgramView;
class QLabel;
class QProgressBar;
class QPushButton;

class CProcessDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 131, IDC_PROGRESS = 1001, IDC_POSITION = 1009 };

    explicit CProcessDlg(CProgramView* view);

    // Makes the window exist: initialises it, shows it and centres it.
    void Create();
    // Takes the window away; the object stays for the next transfer.
    void DestroyWindow();
    bool IsWindow() const { return m_bWindow; }

    void OnInitDialog();
    // OK or Enter: disables OK and asks the view for the transfer.
    void OnOK();
    // Cancel, the close box or Escape: before OK the window goes at once,
    // during a transfer only the flag is set.
    void OnCancel();

    void SetRange(int lower, int upper);
    void SetPos(int pos);
    int GetPos() const;
    int RangeLower() const;
    int RangeUpper() const;
    void StepIt();

    QPushButton* OkButton() const { return m_pOk; }
    QPushButton* CancelButton() const { return m_pCancel; }
    QProgressBar* ProgressBar() const { return m_ctlProgress; }
    QLabel* PositionText() const { return m_pPosition; }

    CProgramView* m_pView;
    QString m_strCaption;
    bool m_bCancel = false;

signals:
    // Cancel was pressed while a transfer runs.
    void CancelRequested();

public slots:
    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QProgressBar* m_ctlProgress;
    QPushButton* m_pOk;
    QPushButton* m_pCancel;
    QLabel* m_pPosition;
    int m_nStep = 1;
    bool m_bWindow = false;
};
