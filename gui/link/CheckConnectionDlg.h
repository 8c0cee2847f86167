#pragma once
// Setup > Check Connection...: checks one port with the connection doctor
// (RunDoctor, on a thread of its own so the dialog stays alive and can be
// cancelled), shows each step as it runs, then the verdict, what to do and
// what was found. "Find my cable" watches the device list while the user
// unplugs and plugs the cable, names the device that came and offers it as
// the port of the window and of COM Setup.
#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "core/link/Doctor.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTextEdit;
class QTimer;

class CCheckConnectionDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 140 };
    // How long Find my cable waits for the cable to come.
    static constexpr int kFindTimeoutMs = 60000;

    explicit CCheckConnectionDlg(QWidget* parent = nullptr);
    // A check still running is cancelled and waited for (one step's time-out).
    ~CCheckConnectionDlg() override;

    // The port offered first, as the user names it ("com1", a device path).
    void SetPort(const QString& port);
    // Names the window whose transfer holds port ("" when none does): the
    // check is not started on it.
    using TransferLookup = std::function<QString(const ResolvedPort& port)>;
    void SetTransferLookup(TransferLookup lookup) { m_transferOn = std::move(lookup); }
    // Lists the devices present afresh and forgets the last verdict.
    void OnInitDialog();

    // Check: runs the doctor on the port in the box.
    void OnCheck();
    // Find my cable: takes the device list and asks for the cable to be
    // unplugged; Next (or the cable seen to go) asks for it to be plugged in.
    void OnFind();
    void OnNext();
    // Use this port: the device found (in the port's box since it was found,
    // so that Check checks it) becomes the window's port and COM Setup's
    // choice (PortChosen).
    void OnUseFound();
    // Stops what runs (the check or the watch); the dialog stays.
    void OnStop();

    bool IsChecking() const { return m_thread.joinable(); }
    bool IsFinding() const { return m_nFindStep > 0; }
    // A check of any dialog holds this device now: transfers on it are refused.
    static bool IsCheckingDevice(const ResolvedPort& port);

    QComboBox* PortBox() const { return m_pPort; }
    QLabel* PortDevice() const { return m_pDevice; }
    QPushButton* CheckButton() const { return m_pCheck; }
    QPushButton* FindButton() const { return m_pFind; }
    QPushButton* NextButton() const { return m_pNext; }
    QPushButton* UseButton() const { return m_pUse; }
    QPushButton* CloseButton() const { return m_pClose; }
    // The step that runs, or what to do with the cable.
    QLabel* StepLabel() const { return m_pStep; }
    // The steps as they ran, then the verdict, what to do and the facts.
    QTextEdit* Result() const { return m_pResult; }
    // The last check's report, once it has ended.
    const std::optional<DoctorReport>& Report() const { return m_report; }

signals:
    // Use this port: the device chosen, already remembered as COM Setup's choice.
    void PortChosen(const QString& port);
    // A check ended (its report is in Report(), or it was refused).
    void CheckEnded();
    // F1 asked for the help topic of context (before the help opens).
    void HelpRequested(int context);

public slots:
    // Escape and Close: stops a check or a watch that runs, else closes.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Enter and Escape in the port's box are the dialog's: an editable combo
    // box would keep them (its inline completion takes the first Enter).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Job;
    void FillPorts(const QString& first);
    // The port in the box as it is opened: an item's own name, or the text typed.
    QString PortName() const;
    void ShowPortDevice();
    void OnStepStarted(int generation, DoctorStep step, int attempt);
    void OnCheckEnded(int generation, const DoctorReport& report, const std::string& trace);
    void OnFindTick();
    void EndFind(FindEnd end, const SerialDevice& device = {});
    void SetBusy(bool busy);
    // factsTitle: "" for "What was found:".
    void ShowText(const QString& headline, const QStringList& todo = {}, const QStringList& facts = {},
                  const QString& factsTitle = QString());
    void AppendStep(const QString& line);
    void JoinCheck();

    QComboBox* m_pPort = nullptr;
    QLabel* m_pDevice = nullptr;
    QLabel* m_pStep = nullptr;
    QTextEdit* m_pResult = nullptr;
    QPushButton* m_pCheck = nullptr;
    QPushButton* m_pFind = nullptr;
    QPushButton* m_pNext = nullptr;
    QPushButton* m_pUse = nullptr;
    QPushButton* m_pCopy = nullptr;
    QPushButton* m_pClose = nullptr;
    QTimer* m_pFindTimer = nullptr;

    QString m_strPort;
    TransferLookup m_transferOn;
    std::shared_ptr<Job> m_job;
    std::thread m_thread;
    int m_nGeneration = 0;
    ResolvedPort m_checked;  // the port the running check holds
    QStringList m_steps;     // of the running check, as shown
    std::optional<DoctorReport> m_report;
    std::string m_strTrace;  // the serial trace of the last check
    bool m_bCloseWhenDone = false;

    // Find my cable: 0 not running, 1 unplug, 2 plug in.
    int m_nFindStep = 0;
    std::unique_ptr<CCableFinder> m_pFinder;
    QElapsedTimer m_findClock;
    std::vector<SerialDevice> m_gone;
    std::optional<SerialDevice> m_found;
};
