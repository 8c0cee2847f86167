#pragma once
// The radio link of one document window: its state (CLinkSession, owned
// here), its Process window, its COM Setup dialog and the transfer running on
// a worker thread. It works on the document and its own session, never on a
// view. The document window owns it, so it goes with the window; a transfer
// still running then is cancelled and finishes on its own thread, closing its
// port, without touching the window again. The dialogs are made the first time
// they are needed: a window that never transfers pays nothing for them.
#include <QElapsedTimer>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

#include "core/link/PortName.h"
#include "core/link/TimeLeft.h"
#include "gui/app/MessageBox.h"
#include "gui/link/TransferWorker.h"

class CCheckConnectionDlg;
class CComSetupDlg;
class CLinkSession;
class CProcessDlg;
class CProgramDoc;
class QEventLoop;
class QWidget;

class CLinkController : public QObject {
    Q_OBJECT
public:
    // doc: what the transfers read into and write from; window: where the
    // dialogs belong (the form of the document window).
    CLinkController(CProgramDoc* doc, QWidget* window, QObject* parent = nullptr);
    ~CLinkController() override;

    CLinkSession* Session() const { return m_pSession; }
    // The dialogs, made on first use.
    CProcessDlg* ProcessDlg();
    CComSetupDlg* ComSetupDlg();
    CCheckConnectionDlg* CheckConnectionDlg();
    bool IsTransferring() const { return m_pWorker && m_pWorker->IsRunning(); }
    // The port the running transfer holds, as the session names it; "" when none runs.
    QString TransferPort() const;

    // Program > Read and Write: the Process window, refused while it exists.
    void OnRead() { ShowProcessWindow(false); }
    void OnWrite() { ShowProcessWindow(true); }
    bool ShowProcessWindow(bool write);
    // Setup > COM Setup for this window.
    void OnComSetup();
    // Setup > Check Connection... on this window's port, or on port; `start`
    // runs the check at once (asked for at a failed handshake's message).
    void OnCheckConnection();
    void CheckConnection(const QString& port, bool start = false);
    // The Process window's OK: one complete transfer in the session's
    // direction (a write with the backup and the verify its window asks for).
    void Transfer();

    // Every path that would take the window or the program away while a
    // transfer runs asks here first. Yes stops the transfer and returns once
    // it has ended and the user was told how far it got; No leaves it running.
    // True when the caller may go on.
    bool ConfirmStop();
    // The same for each of the links, in turn.
    static bool ConfirmStop(const QList<CLinkController*>& links);
    // The question alone, for a path with more questions after it: nothing is
    // stopped. True when there is no transfer or the user said Yes; then
    // `agreed` holds the links to Stop once every answer is in.
    static bool AskStop(const QList<CLinkController*>& links, QList<QPointer<CLinkController>>* agreed);
    // Stops the transfer and returns once it has ended and the user was told.
    static void Stop(const QList<QPointer<CLinkController>>& links);

    // The title of a document read from the radio on port: "<AppName> - radio on COM1".
    static QString RadioDocumentTitle(const QString& port);
    // Where such a document came from, said now: "read from the radio on COM1 at 10:42:07".
    static QString RadioOrigin(const QString& port);

private:
    bool AskStop();
    void Stop();
    // The window of this program whose transfer holds the device of `port`, if any.
    CLinkController* TransferOnPort(const ResolvedPort& port) const;
    void OnStage(TransferStage stage);
    void OnRange(int lower, int upper);
    void OnProgress(int pos);
    void OnAttempt(int attempt);
    void OnPrompt(int textId, const TransferResult& sofar, const std::string& keptTrace);
    // A failed handshake's message offers Check Connection... (the Help
    // button) and says where its serial trace is kept.
    void OfferCheck(MessageRequest& message, const std::string& keptTrace) const;
    // The user pressed it: the check opens once the transfer has ended.
    void AskCheckAfter(QMessageBox::StandardButton answer);
    void OnFinished(const TransferReport& report);
    void OnCancelRequested();
    // Tells how the job ended; returns the status bar's text.
    QString TellEnd(const TransferReport& report, double seconds);
    // The result kept for a support report.
    void RecordEnd(const TransferReport& report) const;
    void TellBackupFailed(const TransferReport& report, bool wroteNothing);
    // The program's own old backups beyond the number kept, never a file open
    // in a window: the status bar's words for what went ("" for none).
    QString PruneBackupsFor(const TransferReport& report) const;
    // The files the documents open in the windows hold or were opened from.
    static std::vector<std::string> OpenDocumentFiles();
    // The Process window's line for a phase, and the status bar's; with more
    // than one phase both name it ("2 of 3: writing ...").
    QString OperationText(TransferStage stage) const;
    QString StateText(TransferStage stage) const;
    int PhaseNumber(TransferStage stage) const;
    // The window still waiting for OK shows the port its session has now.
    void OnPortChanged();
    // The port as the messages name it ("COM1") and with its device ("COM1 (/dev/ttyUSB0)"),
    // escaped for the screen: never the name to open or to hand on.
    QString PortText() const;
    QString PortDeviceText() const;

    CProgramDoc* m_pDocument;
    QPointer<QWidget> m_pWindow;
    CLinkSession* m_pSession;  // a child
    QPointer<CProcessDlg> m_pProcessDlg;
    QPointer<CComSetupDlg> m_pComSetupDlg;
    QPointer<CCheckConnectionDlg> m_pCheckDlg;
    // Made once: a dialog gone with its window is not made again.
    bool m_bProcessDlgMade = false;
    bool m_bComSetupDlgMade = false;
    bool m_bCheckDlgMade = false;
    // The handshake failed and the user asked to check the connection: the
    // port to check once the transfer has ended ("" for none).
    QString m_strCheckAfter;
    std::unique_ptr<CTransferWorker> m_pWorker;
    bool m_bStopping = false;  // the user chose to stop: no more questions
    // Of the running transfer (or the Process window waiting for OK), resolved
    // once: what the worker opens, the messages and the trace name.
    ResolvedPort m_port;
    Image m_sent{};              // what the write sends, for the verify
    std::string m_backupFolder;  // where the running job keeps its backup
    TransferStage m_stage = TransferStage::Read;
    std::vector<TransferStage> m_phases;  // of the running job, in order
    CTimeLeft m_timeLeft{{}};             // of the whole job
    int m_nUpper = 0;                     // of the step's progress range
    QElapsedTimer m_jobClock;             // the whole job
    QElapsedTimer m_dataClock;            // the step's data phase, from its first block
    int m_nFirstPos = 0;                  // the block the data clock started at
    QEventLoop* m_pWaitLoop = nullptr;    // ConfirmStop waiting for the end
};
