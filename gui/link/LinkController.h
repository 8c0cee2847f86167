#pragma once
// The view's side of the radio link: its Process window, its COM Setup dialog
// and the transfer running on a worker thread. A child of the view, so it
// goes with the view; a transfer still running then is cancelled and finishes
// on its own thread, closing its port, without touching the view again.
#include <QObject>
#include <QPointer>
#include <memory>

#include "link/LinkWorker.h"

class CComSetupDlg;
class CProcessDlg;
class CProgramView;

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

private:
    void OnRange(int lower, int upper);
    void OnProgress(int pos);
    void OnPrompt(int textId);
    void OnMessage(int textId, const QString& detail);
    void OnFinished(LinkOutcome outcome, int messageId, const Image& image);
    void OnCancelRequested();

    CProgramView* m_pView;
    QPointer<CProcessDlg> m_pProcessDlg;
    QPointer<CComSetupDlg> m_pComSetupDlg;
    std::unique_ptr<CTransferWorker> m_pWorker;
    bool m_bWriting = false;
};
