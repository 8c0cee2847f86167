#pragma once
// The view's side of the radio link: its Process window, its COM Setup dialog
// and the transfer running on a worker thread. A child of the view, so it
// goes with the view; a transfer still running then is cancelled and finishes
// on its own thread, closing its port, without touching the view again.
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

#include "core/link/TimeLeft.h"
#include "gui/link/LinkWorker.h"

class CComSetupDlg;
class CProcessDlg;
class CProgramView;
class QEventLoop;

class CLinkController : public QObject {
    Q_OBJECT
public:
    explicit CLinkController(CProgramView* view);
    ~CLinkController() override;

    CProcessDlg* ProcessDlg() const;
    CComSetupDlg* ComSetupDlg() const;
    bool IsTransferring() const { return m_pWorker && m_pWorker->IsRunning(); }
    // The port the running transfer holds, as the view named it; "" when none runs.
    QString TransferPort() const { return IsTransferring() ? m_strPortName : QString(); }

    // Read / Write: refused while the Process window exists.
    bool ShowProcessWindow(bool write);
    // The Process window's OK: one complete transfer in the view's direction
    // (a write with the backup and the verify its window asks for).
    void Transfer();

    // Every path that would take the view or the program away while a
    // transfer runs asks here first. Yes stops the transfer and returns once
    // it has ended and the user was told how far it got; No leaves it running.
    // True when the caller may go on.
    bool ConfirmStop();
    // The same for each of the views whose link has been used, in turn.
    static bool ConfirmStop(const QList<CProgramView*>& views);
    // The question alone, for a path with more questions after it: nothing is
    // stopped. True when there is no transfer or the user said Yes; then
    // `agreed` holds the links to Stop once every answer is in.
    static bool AskStop(const QList<CProgramView*>& views, QList<QPointer<CLinkController>>* agreed);
    // Stops the transfer and returns once it has ended and the user was told.
    static void Stop(const QList<QPointer<CLinkController>>& links);

    // The port as the user chose it ("com3" from COM Setup shows as "COM3").
    static QString PortLabel(const QString& port);
    // "COM1 (/dev/ttyUSB0)", or the device path alone when the port is one;
    // [Ports] is read afresh.
    static QString PortWithDevice(const QString& port);
    // The title of a document read from the radio on port: "<AppName> - radio on COM1".
    static QString RadioDocumentTitle(const QString& port);
    // Where such a document came from, said now: "read from the radio on COM1 at 10:42:07".
    static QString RadioOrigin(const QString& port);

private:
    bool AskStop();
    void Stop();
    // The window of this program whose transfer holds `port`, if any.
    CLinkController* TransferOnPort(const QString& port) const;
    void OnStage(TransferStage stage);
    void OnRange(int lower, int upper);
    void OnProgress(int pos);
    void OnAttempt(int attempt);
    void OnPrompt(int textId, const TransferResult& sofar);
    void OnFinished(const TransferReport& report);
    void OnCancelRequested();
    // Tells how the job ended; returns the status bar's text.
    QString TellEnd(const TransferReport& report, double seconds);
    void TellBackupFailed(const TransferReport& report, bool wroteNothing);
    // The Process window's line for a phase, and the status bar's; with more
    // than one phase both name it ("2 of 3: writing ...").
    QString OperationText(TransferStage stage) const;
    QString StateText(TransferStage stage) const;
    int PhaseNumber(TransferStage stage) const;
    // The window still waiting for OK shows the port its view has now.
    void OnPortChanged();

    CProgramView* m_pView;
    QPointer<CProcessDlg> m_pProcessDlg;
    QPointer<CComSetupDlg> m_pComSetupDlg;
    std::unique_ptr<CTransferWorker> m_pWorker;
    bool m_bWriting = false;
    bool m_bStopping = false;           // the user chose to stop: no more questions
    QString m_strPort;                  // of the running transfer, as the messages show it
    QString m_strPortDevice;            // the same with its device
    QString m_strPortName;              // the same as the view names it ("com1", a device path)
    Image m_sent{};                     // what the write sends, for the verify
    TransferStage m_stage = TransferStage::Read;
    std::vector<TransferStage> m_phases;  // of the running job, in order
    CTimeLeft m_timeLeft{{}};             // of the whole job
    int m_nUpper = 0;                   // of the step's progress range
    QElapsedTimer m_jobClock;           // the whole job
    QElapsedTimer m_dataClock;          // the step's data phase, from its first block
    int m_nFirstPos = 0;                // the block the data clock started at
    QEventLoop* m_pWaitLoop = nullptr;  // ConfirmStop waiting for the end
};
