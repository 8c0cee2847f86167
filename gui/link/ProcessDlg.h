#pragma once
// The Process window: a modeless dialog (template 131) that starts a transfer
// with OK and shows its progress. The object lives as long as its link; only
// its window comes and goes.
#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

class CProcessDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 131, IDC_PROGRESS = 1001, IDC_POSITION = 1009 };

    explicit CProcessDlg(QWidget* parent);

    // Makes the window exist: initialises it, shows it and centres it.
    void Create();
    // Takes the window away; the object stays for the next transfer.
    void DestroyWindow();
    bool IsWindow() const { return m_bWindow; }

    void OnInitDialog();
    // OK or Enter: disables OK and asks for the transfer (TransferRequested).
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

    // Texts beside the template's controls: what to do (the first line), the
    // operation with port and device, percent, bytes, rate and time left, and
    // the handshake attempt while the radio does not answer.
    QLabel* InstructionText() const { return m_pInstruction; }
    QLabel* OperationText() const { return m_pOperation; }
    QLabel* DetailsText() const { return m_pDetails; }
    QLabel* AttemptText() const { return m_pAttempt; }
    void SetOperation(const QString& text);
    void SetDetails(const QString& text);
    // 0 or 1 hides the count: only an unanswered attempt is worth showing.
    void SetAttempt(int attempt);

    // The Write confirmation: back the radio up first, verify afterwards.
    // Set before Create; the window grows to hold them.
    void SetWriteChoices(bool show, bool backupFirst, bool verify);
    QCheckBox* BackupFirstBox() const { return m_pBackupFirst; }
    QCheckBox* VerifyBox() const { return m_pVerify; }

    QString m_strCaption;
    bool m_bCancel = false;

signals:
    // OK was pressed: the transfer is to begin.
    void TransferRequested();
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
    QLabel* m_pInstruction;
    QLabel* m_pOperation;
    QLabel* m_pDetails;
    QLabel* m_pAttempt;
    QCheckBox* m_pBackupFirst;
    QCheckBox* m_pVerify;
    bool m_bWriteChoices = false;
    int m_nStep = 1;
    bool m_bWindow = false;
};
