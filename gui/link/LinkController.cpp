#include "link/LinkController.h"

#include <QPushButton>

#include "app/AppContext.h"
#include "app/Globals.h"
#include "app/MessageBox.h"
#include "app/StringTable.h"
#include "editor/ProgramView.h"
#include "link/ComSetupDlg.h"
#include "link/ProcessDlg.h"
#include "link/SerialPort.h"
#include "radio/ProgramDoc.h"

CLinkController::CLinkController(CProgramView* view) : QObject(view), m_pView(view)
{
    setObjectName(QStringLiteral("LinkController"));
    m_pProcessDlg = new CProcessDlg(view);
    m_pComSetupDlg = new CComSetupDlg(view);
    connect(m_pProcessDlg.data(), &CProcessDlg::CancelRequested, this, &CLinkController::OnCancelRequested);

    CTransferWorker::Callbacks cb;
    cb.range = [this](int lower, int upper) { OnRange(lower, upper); };
    cb.progress = [this](int pos) { OnProgress(pos); };
    cb.prompt = [this](int id) { OnPrompt(id); };
    cb.message = [this](int id, const QString& detail) { OnMessage(id, detail); };
    cb.finished = [this](LinkOutcome o, int id, const Image& image) { OnFinished(o, id, image); };
    m_pWorker = std::make_unique<CTransferWorker>(this, std::move(cb));
}

CLinkController::~CLinkController()
{
    // Runs while the view is being torn down: only the worker is touched. It
    // cancels the transfer and lets its thread wind down on its own.
    m_pWorker.reset();
}

CProcessDlg* CLinkController::ProcessDlg() const { return m_pProcessDlg; }

CComSetupDlg* CLinkController::ComSetupDlg() const { return m_pComSetupDlg; }

bool CLinkController::ShowProcessWindow(bool write)
{
    CProcessDlg* dlg = m_pProcessDlg;
    if (!dlg || dlg->IsWindow() || IsTransferring())
        return false;
    m_pView->m_bWrite = write;
    if (write)
        m_pView->OnLeaveCellGrid();
    if (g_bChinese)
        dlg->m_strCaption = write ? QStringLiteral("写数据") : QStringLiteral("读数据");
    else
        dlg->m_strCaption = write ? QStringLiteral("Write Data") : QStringLiteral("Read Data");
    dlg->Create();
    return true;
}

void CLinkController::Transfer()
{
    CProcessDlg* dlg = m_pProcessDlg;
    // OK is posted; the window may have gone in between, and a second OK must
    // not start a second transfer.
    if (!dlg || !dlg->IsWindow() || IsTransferring())
        return;
    const bool write = m_pView->m_bWrite;

    m_pView->OnLeaveCellGrid();
    if (write) {
        dlg->SetRange(0, 511);
        m_pView->GridToImage();
    } else {
        dlg->SetRange(0, 512);
    }
    CProgramDoc* doc = m_pView->GetDocument();
    if (!doc) {
        dlg->DestroyWindow();
        return;
    }
    // Program.ini belongs to this thread: the port name is mapped here.
    const std::string device = MapPortName(m_pView->m_strPort.toStdString());
    m_bWriting = write;
    m_pWorker->Start(write, device, doc->m_image);
    if (dlg->m_bCancel)
        m_pWorker->Cancel();
}

void CLinkController::OnRange(int lower, int upper)
{
    if (m_pProcessDlg)
        m_pProcessDlg->SetRange(lower, upper);
}

void CLinkController::OnProgress(int pos)
{
    if (m_pProcessDlg)
        m_pProcessDlg->SetPos(pos);
}

void CLinkController::OnPrompt(int textId)
{
    QPointer<CLinkController> self(this);
    MessageRequest r;
    // The main window outlives every view: a box owned by the view would go
    // with it if the view were closed while the box is up.
    r.parent = MainWindow();
    r.text = LoadStringRes(textId);
    r.buttons = QMessageBox::Retry | QMessageBox::Cancel;
    r.icon = QMessageBox::Warning;
    const bool retry = AppMessageBox(r) == QMessageBox::Retry;
    if (self && m_pWorker)
        m_pWorker->Answer(retry);
}

void CLinkController::OnMessage(int textId, const QString& detail)
{
    QPointer<CLinkController> self(this);
    MessageRequest r;
    r.parent = MainWindow();
    r.text = LoadStringRes(textId);
    r.detail = detail;
    r.buttons = QMessageBox::Ok;
    r.icon = QMessageBox::Warning;
    AppMessageBox(r);
    if (self && m_pWorker)
        m_pWorker->Answer(false);
}

void CLinkController::OnFinished(LinkOutcome outcome, int, const Image& image)
{
    // Only a complete read changes the document: the worker read into its own
    // buffer, so a failed or cancelled read leaves the image as it was.
    if (outcome == LinkOutcome::Completed && !m_bWriting) {
        if (CProgramDoc* doc = m_pView->GetDocument()) {
            g_bNewDocument = false;
            doc->m_image = image;
            m_pView->ImageToGrid();
        }
    }
    if (m_pProcessDlg)
        m_pProcessDlg->DestroyWindow();
}

void CLinkController::OnCancelRequested()
{
    if (m_pWorker)
        m_pWorker->Cancel();
}
