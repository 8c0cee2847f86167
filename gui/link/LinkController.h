#pragma once
// The view's side of the radio link: its Process window, its COM Setup dialog
// and the transfer running on a worker thread. A child of the view, so it
// goes with the view; a transfer still running then is cancelled and finishes
// on its own thread, closing its port, without touching the view again.
#include <QList>
#include <QObject>
#include <QPointer>
#include <memory>

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

    // Read / Write: refused while the Process window exists.
    bool ShowProcessWindow(bool write);
    // The Process window's OK: one complete transfer in the view's direction.
    void Transfer();

    // Every path that would take the view or the program away while a
    // transfer runs asks here first. Yes stops the transfer and returns once
    // it has ended and the user was told how far it got; No leaves it running.
    // True when the caller may go on.
    bool ConfirmStop();
    // The same for each of the views whose link has been used, in turn.
    static bool ConfirmStop(const QList<CProgramView*>& views);

    // The port as the user chose it ("com3" from COM Setup shows as "COM3").
    static QString PortLabel(const QString& port);

private:
    void OnRange(int lower, int upper);
    void OnProgress(int pos);
    void OnPrompt(int textId);
    void OnFinished(const TransferResult& result, const Image& image);
    void OnCancelRequested();
    void TellEnd(const TransferResult& result);

    CProgramView* m_pView;
    QPointer<CProcessDlg> m_pProcessDlg;
    QPointer<CComSetupDlg> m_pComSetupDlg;
    std::unique_ptr<CTransferWorker> m_pWorker;
    bool m_bWriting = false;
    bool m_bStopping = false;           // the user chose to stop: no more questions
    QString m_strPort;                  // of the running transfer, as the messages show it
    QEventLoop* m_pWaitLoop = nullptr;  // ConfirmStop waiting for the end
};
