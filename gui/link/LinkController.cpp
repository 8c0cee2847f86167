#include "gui/link/LinkController.h"

#include <QEventLoop>
#include <QPushButton>
#include <QRegularExpression>

#include "gui/app/AppContext.h"
#include "core/app/Globals.h"
#include "gui/app/MessageBox.h"
#include "gui/app/StringTable.h"
#include "gui/editor/ProgramView.h"
#include "gui/link/ComSetupDlg.h"
#include "gui/link/ProcessDlg.h"
#include "core/link/SerialPort.h"
#include "gui/radio/ProgramDoc.h"

CLinkController::CLinkController(CProgramView* view) : QObject(view), m_pView(view)
{
    setObjectName(QStringLiteral("LinkController"));
    m_pProcessDlg = new CProcessDlg(view);
    m_pComSetupDlg = new CComSetupDlg(view);
    connect(m_pComSetupDlg.data(), &CComSetupDlg::PortChosen, this,
            [this](const QString& port) { m_pView->m_strPort = port; });
    connect(m_pProcessDlg.data(), &CProcessDlg::CancelRequested, this, &CLinkController::OnCancelRequested);

    CTransferWorker::Callbacks cb;
    cb.range = [this](int lower, int upper) { OnRange(lower, upper); };
    cb.progress = [this](int pos) { OnProgress(pos); };
    cb.prompt = [this](int id) { OnPrompt(id); };
    cb.finished = [this](const TransferResult& r, const Image& image) { OnFinished(r, image); };
    m_pWorker = std::make_unique<CTransferWorker>(this, std::move(cb));
}

CLinkController::~CLinkController()
{
    // Runs while the view is being torn down: only the worker is touched. It
    // cancels the transfer and lets its thread wind down on its own.
    m_pWorker.reset();
    // Its end will not be delivered any more: a stop waiting for it goes on.
    if (m_pWaitLoop)
        m_pWaitLoop->quit();
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
    m_bStopping = false;
    m_strPort = PortLabel(m_pView->m_strPort);
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
    // The user has already said stop: the question would only be in the way.
    if (m_bStopping) {
        m_pWorker->Answer(false);
        return;
    }
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

void CLinkController::OnFinished(const TransferResult& result, const Image& image)
{
    // Only a complete read changes the document: the worker read into its own
    // buffer, so a failed or cancelled read leaves the image as it was.
    if (result.Completed()) {
        if (CProgramDoc* doc = m_pView->GetDocument()) {
            if (!m_bWriting) {
                g_bNewDocument = false;
                // One undo step brings back the document as it was before the read.
                doc->ReplaceImage(image, tr("Read"));
            }
            // The radio now holds what the document shows.
            doc->SetModifiedBaseline();
        }
    }
    QPointer<CLinkController> self(this);
    TellEnd(result);
    if (!self)
        return;
    if (m_pProcessDlg)
        m_pProcessDlg->DestroyWindow();
    m_bStopping = false;
    if (m_pWaitLoop)
        m_pWaitLoop->quit();
}

void CLinkController::TellEnd(const TransferResult& r)
{
    if (r.Completed())
        return;
    // Cancel at the Retry/Cancel prompt: the handshake never ended and the
    // user has just been told why.
    if (r.outcome == TransferOutcome::Cancelled && r.messageId == IDS_COMM_ERROR && !m_bStopping)
        return;
    const auto n = [](int v) { return QString::number(v); };
    MessageRequest m;
    m.parent = MainWindow();
    m.icon = QMessageBox::Warning;
    if (r.outcome == TransferOutcome::Failed) {
        m.text = LoadStringRes(r.messageId);
        m.detail = QString::fromStdString(r.detail);
        if (m_bWriting && r.dataPhase) {
            if (!m.detail.isEmpty())
                m.detail += QLatin1Char('\n');
            m.detail += tr("%1 of %2 frames (%3 of %4 bytes) were written before the link failed. The radio "
                           "now holds a mix of old and new settings: write to it again before using it.")
                            .arg(n(r.frames), n(r.framesTotal), n(r.bytes), n(r.bytesTotal));
        }
    } else if (!m_bWriting) {
        m.text = tr("The read from the radio on %1 was stopped. Nothing is changed.").arg(m_strPort);
        m.icon = QMessageBox::Information;
    } else if (!r.dataPhase) {
        m.text = tr("The write to the radio on %1 was stopped before any data was sent. The radio is unchanged.")
                     .arg(m_strPort);
        m.icon = QMessageBox::Information;
    } else {
        m.text = tr("The write to the radio on %1 was stopped after %2 of %3 frames (%4 of %5 bytes). The radio "
                    "now holds a mix of old and new settings: write to it again before using it.")
                     .arg(m_strPort, n(r.frames), n(r.framesTotal), n(r.bytes), n(r.bytesTotal));
    }
    AppMessageBox(m);
}

void CLinkController::OnCancelRequested()
{
    if (m_pWorker)
        m_pWorker->Cancel();
}

bool CLinkController::ConfirmStop()
{
    if (!IsTransferring())
        return true;
    // Asked again from within a stop already under way: that one goes on.
    if (m_bStopping)
        return false;
    MessageRequest r;
    r.parent = MainWindow();
    r.text = m_bWriting ? tr("A write to the radio on %1 is in progress. Stop it? "
                             "The radio will be left partly written.")
                              .arg(m_strPort)
                        : tr("A read from the radio on %1 is in progress. Stop it? Nothing will be changed.")
                              .arg(m_strPort);
    r.buttons = QMessageBox::Yes | QMessageBox::No;
    r.defaultButton = QMessageBox::No;
    r.icon = QMessageBox::Warning;
    QPointer<CLinkController> self(this);
    if (AppMessageBox(r) != QMessageBox::Yes)
        return false;
    // It may have ended while the question was up, and told its end itself.
    if (!self || !IsTransferring())
        return true;

    m_bStopping = true;
    if (m_pProcessDlg)
        m_pProcessDlg->m_bCancel = true;
    m_pWorker->Cancel();
    // The engine stops after the frame in flight. Until its end has been told,
    // the user's input waits, so nothing else can reach this view meanwhile.
    QEventLoop loop;
    m_pWaitLoop = &loop;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (self)
        m_pWaitLoop = nullptr;
    return true;
}

bool CLinkController::ConfirmStop(const QList<CProgramView*>& views)
{
    for (CProgramView* v : views) {
        // A view whose link was never used has no controller and no transfer.
        auto* link = v ? v->findChild<CLinkController*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
        if (link && !link->ConfirmStop())
            return false;
    }
    return true;
}

QString CLinkController::PortLabel(const QString& port)
{
    // COM Setup stores its choice in lower case; the dialog shows it in upper.
    static const QRegularExpression setupName(QStringLiteral("^com[1-4]$"));
    return setupName.match(port).hasMatch() ? port.toUpper() : port;
}
