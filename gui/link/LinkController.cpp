#include "gui/link/LinkController.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTime>
#include <QTimer>
#include <algorithm>

#include "core/app/BiText.h"
#include "core/app/Globals.h"
#include "core/app/Messages.h"
#include "core/app/SupportState.h"
#include "core/link/Ports.h"
#include "core/link/Protocol.h"
#include "core/link/RadioCheck.h"
#include "core/link/TransferText.h"
#include "core/link/Verify.h"
#include "gui/app/AppContext.h"
#include "gui/app/MessageBox.h"
#include "gui/app/ShownText.h"
#include "gui/app/StringTable.h"
#include "gui/link/CheckConnectionDlg.h"
#include "gui/link/ComSetupDlg.h"
#include "gui/link/LinkSession.h"
#include "gui/link/LinkSettings.h"
#include "gui/link/ProcessDlg.h"
#include "gui/radio/ProgramDoc.h"
#include "bridge/CorePath.h"

namespace {

constexpr int kShownDifferences = 12;

// Every link of the program: a port held by one window's transfer is told as
// such in the others.
QList<CLinkController*>& Links()
{
    static QList<CLinkController*> links;
    return links;
}  // in the message; the detail lists them all

QString Seconds(double s) { return QString::number(s, 'f', 1); }

QString MinutesSeconds(double s)
{
    const int total = static_cast<int>(s + 0.5);
    return QStringLiteral("%1:%2").arg(total / 60).arg(total % 60, 2, 10, QLatin1Char('0'));
}

QString Q(const std::string& s) { return FromCorePath(s); }

}  // namespace

CLinkController::CLinkController(CProgramDoc* doc, QWidget* window, QObject* parent)
    : QObject(parent), m_pDocument(doc), m_pWindow(window), m_pSession(new CLinkSession(this))
{
    setObjectName(QStringLiteral("LinkController"));
    Links().append(this);
    connect(m_pSession, &CLinkSession::PortChanged, this, &CLinkController::OnPortChanged);

    CTransferWorker::Callbacks cb;
    cb.stage = [this](TransferStage stage) { OnStage(stage); };
    cb.range = [this](int lower, int upper) { OnRange(lower, upper); };
    cb.progress = [this](int pos) { OnProgress(pos); };
    cb.attempt = [this](int attempt) { OnAttempt(attempt); };
    cb.prompt = [this](int id, const TransferResult& sofar, const std::string& kept) { OnPrompt(id, sofar, kept); };
    cb.finished = [this](const TransferReport& report) { OnFinished(report); };
    m_pWorker = std::make_unique<CTransferWorker>(this, std::move(cb));
}

CLinkController::~CLinkController()
{
    // Runs while the document window is being torn down: only the worker is
    // touched. It cancels the transfer and lets its thread wind down on its own.
    Links().removeOne(this);
    m_pWorker.reset();
    // Its end will not be delivered any more: a stop waiting for it goes on.
    if (m_pWaitLoop)
        m_pWaitLoop->quit();
    // Its windows go with it (already gone when the window they sat on went first).
    delete m_pProcessDlg.data();
    delete m_pComSetupDlg.data();
    delete m_pCheckDlg.data();
}

CProcessDlg* CLinkController::ProcessDlg()
{
    if (!m_pProcessDlg && !m_bProcessDlgMade) {
        m_bProcessDlgMade = true;
        m_pProcessDlg = new CProcessDlg(m_pWindow);
        connect(m_pProcessDlg.data(), &CProcessDlg::CancelRequested, this, &CLinkController::OnCancelRequested);
        // OK is posted: the window may go in between, and then nothing starts.
        connect(m_pProcessDlg.data(), &CProcessDlg::TransferRequested, this, &CLinkController::Transfer,
                Qt::QueuedConnection);
    }
    return m_pProcessDlg;
}

CComSetupDlg* CLinkController::ComSetupDlg()
{
    if (!m_pComSetupDlg && !m_bComSetupDlgMade) {
        m_bComSetupDlgMade = true;
        m_pComSetupDlg = new CComSetupDlg(m_pWindow);
        // The window COM Setup was confirmed in follows the choice, even one
        // that kept a port of its own until now.
        connect(m_pComSetupDlg.data(), &CComSetupDlg::PortChosen, m_pSession, &CLinkSession::FollowPort);
    }
    return m_pComSetupDlg;
}

CCheckConnectionDlg* CLinkController::CheckConnectionDlg()
{
    if (!m_pCheckDlg && !m_bCheckDlgMade) {
        m_bCheckDlgMade = true;
        m_pCheckDlg = new CCheckConnectionDlg(m_pWindow);
        // Find my cable's port is this window's and COM Setup's choice, as
        // COM Setup's OK makes it.
        connect(m_pCheckDlg.data(), &CCheckConnectionDlg::PortChosen, m_pSession, &CLinkSession::FollowPort);
        m_pCheckDlg->SetTransferLookup([](const ResolvedPort& port) {
            for (const CLinkController* link : Links())
                if (link->IsTransferring() && FindPortNamedTwice({link->m_port, port}))
                    return link->m_pDocument ? link->m_pDocument->GetTitle() : QString();
            return QString();
        });
    }
    return m_pCheckDlg;
}

void CLinkController::OnCheckConnection() { CheckConnection(m_pSession->m_strPort); }

void CLinkController::CheckConnection(const QString& port, bool start)
{
    CCheckConnectionDlg* dlg = CheckConnectionDlg();
    // Open already (a transfer on another port failed meanwhile): it stays as it is.
    if (!dlg || dlg->isVisible())
        return;
    dlg->SetPort(port);
    dlg->OnInitDialog();
    if (start) {
        QPointer<CCheckConnectionDlg> shown(dlg);
        QTimer::singleShot(0, dlg, [shown] {
            if (shown && shown->isVisible())
                shown->OnCheck();
        });
    }
    ExecDialog(dlg);
}

void CLinkController::OnComSetup()
{
    CComSetupDlg* dlg = ComSetupDlg();
    if (!dlg)
        return;
    dlg->SetWindowPort(m_pSession->m_strPort, m_pSession->HasOwnPort(), TransferPort());
    QStringList others;
    for (const CLinkController* other : Links())
        if (other != this && other->IsTransferring())
            others << Q(other->m_port.name);
    dlg->SetOtherTransfers(others);
    dlg->OnInitDialog();
    ExecDialog(dlg);
}

QString CLinkController::TransferPort() const { return IsTransferring() ? Q(m_port.name) : QString(); }

QString CLinkController::PortText() const { return ShownName(m_port.label); }

QString CLinkController::PortDeviceText() const { return ShownName(m_port.description); }

int CLinkController::PhaseNumber(TransferStage stage) const
{
    const auto it = std::find(m_phases.begin(), m_phases.end(), stage);
    return it == m_phases.end() ? 0 : static_cast<int>(it - m_phases.begin()) + 1;
}

QString CLinkController::OperationText(TransferStage stage) const
{
    const int n = PhaseNumber(stage), of = static_cast<int>(m_phases.size());
    if (n > 0 && of > 1) {
        switch (stage) {
        case TransferStage::Backup:
            return tr("%1 of %2: backing up the radio on %3 before writing to it").arg(n).arg(of).arg(PortDeviceText());
        case TransferStage::Write: return tr("%1 of %2: writing to %3").arg(n).arg(of).arg(PortDeviceText());
        case TransferStage::Verify:
            return tr("%1 of %2: verifying %3, reading the radio back").arg(n).arg(of).arg(PortDeviceText());
        case TransferStage::Read: break;
        }
    }
    switch (stage) {
    case TransferStage::Backup:
        return tr("Backing up the radio on %1: reading it before the write").arg(PortDeviceText());
    case TransferStage::Write: return tr("Writing to %1").arg(PortDeviceText());
    case TransferStage::Verify: return tr("Verifying %1: reading the radio back").arg(PortDeviceText());
    case TransferStage::Read: break;
    }
    return tr("Reading from %1").arg(PortDeviceText());
}

QString CLinkController::StateText(TransferStage stage) const
{
    const int n = PhaseNumber(stage), of = static_cast<int>(m_phases.size());
    if (n > 0 && of > 1) {
        switch (stage) {
        case TransferStage::Backup: return tr("%1 of %2: backing up the radio on %3...").arg(n).arg(of).arg(PortText());
        case TransferStage::Write: return tr("%1 of %2: writing to the radio on %3...").arg(n).arg(of).arg(PortText());
        case TransferStage::Verify: return tr("%1 of %2: verifying the radio on %3...").arg(n).arg(of).arg(PortText());
        case TransferStage::Read: break;
        }
    }
    return stage == TransferStage::Read ? tr("Reading from the radio on %1...").arg(PortText())
                                        : tr("Writing to the radio on %1...").arg(PortText());
}

void CLinkController::OnPortChanged()
{
    CProcessDlg* dlg = m_pProcessDlg;
    if (!dlg || !dlg->IsWindow() || IsTransferring())
        return;
    m_port = ResolvePort(m_pSession->m_strPort);
    dlg->SetOperation(OperationText(m_pSession->m_bWrite ? TransferStage::Write : TransferStage::Read));
}

bool CLinkController::ShowProcessWindow(bool write)
{
    CProcessDlg* dlg = ProcessDlg();
    if (!dlg || dlg->IsWindow() || IsTransferring())
        return false;
    m_pSession->m_bWrite = write;
    if (write && m_pDocument)
        m_pDocument->CommitOpenEditor();
    if (g_bChinese)
        dlg->m_strCaption = write ? QStringLiteral("写数据") : QStringLiteral("读数据");
    else
        dlg->m_strCaption = write ? QStringLiteral("Write Data") : QStringLiteral("Read Data");
    m_port = ResolvePort(m_pSession->m_strPort);
    m_phases.clear();  // known at OK, from the boxes ticked then
    // The user's remembered choices, whatever was read before: the radio on
    // the cable now may not be the one read (a clone written after a swap).
    dlg->SetWriteChoices(write, write && BackupBeforeWriteSetting(), write && VerifyAfterWriteSetting());
    dlg->SetOperation(OperationText(write ? TransferStage::Write : TransferStage::Read));
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
    const bool write = m_pSession->m_bWrite;

    CProgramDoc* doc = m_pDocument;
    if (doc)
        doc->CommitOpenEditor();
    if (write) {
        dlg->SetRange(0, 511);
        if (doc)
            doc->EncodeImage();
    } else {
        dlg->SetRange(0, 512);
    }
    if (!doc) {
        dlg->DestroyWindow();
        return;
    }
    // Resolved once for the whole job, here where Program.ini belongs, from
    // [Ports] as the file holds it now: the worker opens its device, the
    // messages and the trace name it.
    m_port = ResolvePort(m_pSession->m_strPort);
    // Another window's transfer holding the port would make this one fail as
    // if another program held it: said as it is, and nothing is started.
    if (const CLinkController* other = TransferOnPort(m_port)) {
        MessageRequest m;
        m.parent = MainWindow();
        m.text = tr("%1 is in use by a transfer in another window of this program (%2). Wait until it has ended, "
                    "or choose another port in COM Setup.")
                     .arg(PortDeviceText(), other->m_pDocument ? ShownName(other->m_pDocument->GetTitle()) : QString());
        AppMessageBox(m);
        if (m_pProcessDlg)
            m_pProcessDlg->DestroyWindow();
        return;
    }
    // Check Connection holds the port: the transfer would find it busy.
    if (CCheckConnectionDlg::IsCheckingDevice(m_port)) {
        MessageRequest m;
        m.parent = MainWindow();
        m.text = tr("%1 is being checked by Check Connection. Wait until the check has ended, then start the "
                    "transfer again.")
                     .arg(PortDeviceText());
        AppMessageBox(m);
        if (m_pProcessDlg)
            m_pProcessDlg->DestroyWindow();
        return;
    }
    TransferPlan plan;
    plan.write = write;
    plan.port = m_port;
    plan.image = doc->GetImage();
    plan.backupFolder = CorePath(BackupFolder());
    plan.chinese = g_bChinese != 0;
    m_backupFolder = plan.backupFolder;
    if (write) {
        plan.backupFirst = dlg->BackupFirstBox()->isChecked();
        plan.verify = dlg->VerifyBox()->isChecked();
        SetVerifyAfterWriteSetting(plan.verify);
        SetBackupBeforeWriteSetting(plan.backupFirst);
    }
    // The header of the serial trace, and of the trace kept when the handshake fails.
    plan.traceHeader = {QStringLiteral("%1 %2, %3")
                            .arg(write ? QStringLiteral("write to") : QStringLiteral("read from"),
                                 Q(m_port.description), QDateTime::currentDateTime().toString(Qt::ISODate))
                            .toStdString()};
    if (!TracePath().isEmpty()) {
        QString error;
        plan.trace = OpenTraceFile(&error);
        if (!plan.trace) {
            MessageRequest m;
            m.parent = MainWindow();
            m.text = tr("The serial trace cannot be written, so the transfer was not started.");
            m.detail = error;
            AppMessageBox(m);
            if (m_pProcessDlg)
                m_pProcessDlg->DestroyWindow();
            return;
        }
    }
    m_bStopping = false;
    m_sent = doc->GetImage();
    m_phases = {TransferStage::Read};
    if (write) {
        m_phases = {TransferStage::Write};
        if (plan.backupFirst)
            m_phases.insert(m_phases.begin(), TransferStage::Backup);
        if (plan.verify)
            m_phases.push_back(TransferStage::Verify);
    }
    std::vector<CTimeLeft::Kind> kinds;
    for (TransferStage stage : m_phases)
        kinds.push_back(stage == TransferStage::Write ? CTimeLeft::Kind::Write : CTimeLeft::Kind::Read);
    m_timeLeft = CTimeLeft(std::move(kinds));
    doc->SetReadOnly(true, write ? tr("Writing to the radio on %1: the channels cannot be changed until the "
                                      "transfer has ended.")
                                       .arg(PortText())
                                 : tr("Reading from the radio on %1: the channels cannot be changed until the "
                                      "transfer has ended.")
                                       .arg(PortText()));
    m_jobClock.start();
    m_pWorker->Start(std::move(plan));
    m_pSession->SetTransferState(StateText(m_phases.front()));
    if (dlg->m_bCancel)
        m_pWorker->Cancel();
}

void CLinkController::OnStage(TransferStage stage)
{
    m_stage = stage;
    m_dataClock.invalidate();
    if (const int n = PhaseNumber(stage))
        m_timeLeft.Begin(static_cast<std::size_t>(n - 1));
    m_pSession->SetTransferState(StateText(stage));
    if (!m_pProcessDlg)
        return;
    m_pProcessDlg->SetOperation(OperationText(stage));
    m_pProcessDlg->SetDetails(QString());
    m_pProcessDlg->SetAttempt(0);
}

void CLinkController::OnRange(int lower, int upper)
{
    m_nUpper = upper;
    if (m_pProcessDlg)
        m_pProcessDlg->SetRange(lower, upper);
}

void CLinkController::OnProgress(int pos)
{
    if (!m_pProcessDlg)
        return;
    m_pProcessDlg->SetPos(pos);
    m_pProcessDlg->SetAttempt(0);
    // The rate counts from the first block, so the handshake does not lower it.
    if (!m_dataClock.isValid()) {
        m_dataClock.start();
        m_nFirstPos = pos;
    }
    const int total = m_stage == TransferStage::Write ? proto::kLastWriteAddress + proto::kLastWriteSize
                                                      : static_cast<int>(kImageSize);
    const int bytes = pos >= m_nUpper ? total : std::min(total, pos * static_cast<int>(kBlockSize));
    const int percent = m_nUpper > 0 ? pos * 100 / m_nUpper : 0;
    const double secs = static_cast<double>(m_dataClock.elapsed()) / 1000.0;
    const int counted = (pos - m_nFirstPos) * static_cast<int>(kBlockSize);
    m_timeLeft.Progress(pos, static_cast<double>(m_jobClock.nsecsElapsed()) / 1e9);
    QString text = tr("%1%, %2 of %3 bytes").arg(percent).arg(bytes).arg(total);
    const double left = m_timeLeft.SecondsLeft();
    if (counted > 0 && secs > 0.2 && left >= 0) {
        // The time left is the whole job's: the phases still to come too.
        text += (m_phases.size() > 1 ? tr(", %1 bytes/s, %2 left in all") : tr(", %1 bytes/s, %2 left"))
                    .arg(static_cast<int>(counted / secs))
                    .arg(MinutesSeconds(left));
    }
    m_pProcessDlg->SetDetails(text);
}

void CLinkController::OnAttempt(int attempt)
{
    if (m_pProcessDlg)
        m_pProcessDlg->SetAttempt(attempt);
}

void CLinkController::OfferCheck(MessageRequest& m, const std::string& keptTrace) const
{
    m.text += QLatin1Char('\n') + tr("Setup > Check Connection... finds out why the radio does not answer.");
    m.buttons |= QMessageBox::Help;
    m.helpButton = tr("C&heck Connection...");
    if (!keptTrace.empty()) {
        if (!m.detail.isEmpty())
            m.detail += QLatin1Char('\n');
        m.detail += tr("The serial trace of the failed handshake is kept for a support report in %1.")
                        .arg(ShownName(QDir::toNativeSeparators(Q(keptTrace))));
    }
}

void CLinkController::OnPrompt(int textId, const TransferResult& sofar, const std::string& keptTrace)
{
    // The user has already said stop: the question would only be in the way.
    if (m_bStopping) {
        m_pWorker->Answer(false);
        return;
    }
    QPointer<CLinkController> self(this);
    MessageRequest r;
    // The main window outlives every document window: a box owned by one
    // would go with it if it were closed while the box is up.
    r.parent = MainWindow();
    r.text = LoadStringRes(textId);
    // What the radio did, so that "check the connections" is not the only clue.
    if (sofar.handshakeFault != HandshakeFault::None)
        r.text += QLatin1Char('\n') + QString::fromStdString(HandshakeFaultText(sofar, g_bChinese != 0));
    r.buttons = QMessageBox::Retry | QMessageBox::Cancel;
    r.icon = QMessageBox::Warning;
    OfferCheck(r, keptTrace);
    const QMessageBox::StandardButton answer = AppMessageBox(r);
    if (!self)
        return;
    // Check Connection... stops the transfer (the check needs its port) and
    // opens once it has ended.
    AskCheckAfter(answer);
    if (m_pWorker)
        m_pWorker->Answer(answer == QMessageBox::Retry);
}

void CLinkController::OnFinished(const TransferReport& report)
{
    CProgramDoc* doc = m_pDocument;
    if (doc)
        doc->SetReadOnly(false);
    const double secs = static_cast<double>(m_jobClock.elapsed()) / 1000.0;
    // Only a complete read brings a document: the worker read into its own
    // buffer, so a failed or cancelled read changes nothing.
    if (report.Completed() && report.stage == TransferStage::Read &&
        !m_pSession->DeliverRadioRead(report.image, Q(m_port.label)) && doc) {
        // Nobody to open a new document: the read replaces this one as one undo
        // step, and its file is let go so that Save cannot overwrite it with the
        // radio's data. Unmodified, as a read's own window is: the radio and
        // its backup hold it; undoing the read shows the changes again.
        g_bNewDocument = false;
        doc->ReplaceImage(report.image, tr("Read"));
        doc->SetRadioImage(report.image, RadioDocumentTitle(Q(m_port.label)), RadioOrigin(Q(m_port.label)));
        doc->SetModifiedBaseline();
    }
    RecordEnd(report);
    const QString pruned = PruneBackupsFor(report);
    // A write leaves the modified state alone: what the radio holds is in no file.
    QPointer<CLinkController> self(this);
    QString status = TellEnd(report, secs);
    if (!self)
        return;
    if (!pruned.isEmpty())
        status += QLatin1Char(' ') + pruned;
    m_pSession->SetTransferState(status);
    if (m_pProcessDlg)
        m_pProcessDlg->DestroyWindow();
    m_bStopping = false;
    if (m_pWaitLoop)
        m_pWaitLoop->quit();
    // Asked for at the failed handshake's message: the port is free now.
    if (!m_strCheckAfter.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this, port = m_strCheckAfter] { CheckConnection(port, true); }, Qt::QueuedConnection);
        m_strCheckAfter.clear();
    }
}

void CLinkController::RecordEnd(const TransferReport& report) const
{
    // Kept for a support report, in English as progtool keeps it; a failure to keep it is silent.
    const TransferResult& r = report.result;
    std::string failure;
    if (report.radioChanged) {
        failure = RadioChangedText(report.changes, false);
    } else if (!r.Completed()) {
        failure = r.outcome == TransferOutcome::Cancelled && r.messageId != IDS_COMM_ERROR
                      ? CancelledText(r, TransferPart::Read, {}, false).piece
                      : EnglishMessage(r.messageId);
        if (!r.detail.empty())
            failure += " (" + r.detail + ")";
        if (!r.dataPhase && r.handshakeFault != HandshakeFault::None)
            failure += "; " + HandshakeFaultText(r, false);
    }
    RecordTransferResult(m_pSession->m_bWrite, m_port.description, r.Completed(), failure);
}

std::vector<std::string> CLinkController::OpenDocumentFiles()
{
    std::vector<std::string> files;
    for (const CLinkController* link : Links()) {
        const CProgramDoc* doc = link->m_pDocument;
        if (!doc)
            continue;
        if (doc->HasFilePath())
            files.push_back(CorePath(doc->GetPathName()));
        if (!doc->SourceFile().isEmpty())
            files.push_back(CorePath(doc->SourceFile()));
    }
    return files;
}

QString CLinkController::PruneBackupsFor(const TransferReport& report) const
{
    if (!report.backupTried || !report.backup.ok)
        return {};
    BackupPruning pruning;
    pruning.keep = BackupsKept();
    pruning.spare = OpenDocumentFiles();
    const std::vector<std::string> removed = PruneBackups(m_backupFolder, pruning, report.backup.path);
    if (removed.empty())
        return {};
    QStringList names;
    for (const std::string& path : removed)
        names << ShownName(QFileInfo(Q(path)).fileName());
    return tr("Removed the old backup(s) %1: only the newest %2 are kept.")
        .arg(names.join(QStringLiteral(", ")))
        .arg(pruning.keep);
}

QString CLinkController::RadioDocumentTitle(const QString& port)
{
    return tr("%1 - radio on %2").arg(IniString(g_strLanguage, "AppName"), ShownName(port));
}

QString CLinkController::RadioOrigin(const QString& port)
{
    return tr("read from the radio on %1 at %2")
        .arg(ShownName(port), QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

void CLinkController::TellBackupFailed(const TransferReport& report, bool wroteNothing)
{
    MessageRequest m;
    m.parent = MainWindow();
    m.icon = QMessageBox::Warning;
    m.text = wroteNothing ? tr("The radio's memory could not be kept in the backup folder %1, so nothing was written "
                               "to the radio. Untick \"Back up the radio first\" to write without a backup.")
                                .arg(ShownName(BackupFolder()))
                          : tr("The radio was read, but its backup could not be saved in the folder %1.")
                                .arg(ShownName(BackupFolder()));
    m.detail = QString::fromStdString(report.backup.error);
    AppMessageBox(m);
}

QString CLinkController::TellEnd(const TransferReport& report, double secs)
{
    const TransferResult& r = report.result;
    QPointer<CLinkController> self(this);
    if (report.traceFailed) {
        MessageRequest m;
        m.parent = MainWindow();
        m.text = tr("The serial trace could not be written completely to %1.").arg(ShownName(TracePath()));
        AppMessageBox(m);
        if (!self)
            return {};
    }
    // The outcomes' words are the core's, which progtool tells too.
    const bool zh = g_bChinese != 0;
    const std::string port = PortText().toStdString();
    MessageRequest m;
    m.parent = MainWindow();
    m.icon = QMessageBox::Warning;
    const bool atPrompt = r.outcome == TransferOutcome::Cancelled && r.messageId == IDS_COMM_ERROR && !m_bStopping;

    if (report.stage == TransferStage::Read || report.stage == TransferStage::Backup) {
        const bool backup = report.stage == TransferStage::Backup;
        if (r.Completed()) {
            if (report.backupTried && !report.backup.ok)
                TellBackupFailed(report, backup);
            return backup ? tr("Nothing was written to the radio on %1.").arg(PortText())
                          : tr("Read the radio on %1 in %2 s.").arg(PortText(), Seconds(secs));
        }
        const QString status = backup ? tr("Nothing was written to the radio on %1.").arg(PortText())
                                      : tr("The read from the radio on %1 did not complete.").arg(PortText());
        // Cancel at the Retry/Cancel prompt: the handshake never ended and the
        // user has just been told why.
        if (atPrompt)
            return status;
        if (r.outcome == TransferOutcome::Failed) {
            m.text = LoadStringRes(r.messageId);
            m.detail = QString::fromStdString(r.detail);
            if (!r.dataPhase && r.handshakeFault != HandshakeFault::None)
                m.text += QLatin1Char('\n') + QString::fromStdString(HandshakeFaultText(r, g_bChinese != 0));
            if (backup) {
                if (!m.detail.isEmpty())
                    m.detail += QLatin1Char('\n');
                m.detail += tr("The radio could not be read for its backup, so nothing was written to it.");
            }
            if (HandshakeFailed(r))
                OfferCheck(m, report.keptTrace);
        } else {
            m.icon = QMessageBox::Information;
            m.text = QString::fromStdString(
                CancelledText(r, backup ? TransferPart::Backup : TransferPart::Read, port, zh).sentence);
        }
        AskCheckAfter(AppMessageBox(m));
        return status;
    }

    if (report.stage == TransferStage::Verify) {
        if (!r.Completed()) {
            if (!atPrompt) {
                m.text = QString::fromStdString(WriteCompletedText(port, zh).sentence);
                m.detail = r.outcome == TransferOutcome::Failed
                               ? LoadStringRes(r.messageId) + QLatin1Char('\n') + QString::fromStdString(r.detail)
                               : QString();
                AppMessageBox(m);
            }
            return tr("Wrote the radio on %1 in %2 s; not verified.").arg(PortText(), Seconds(secs));
        }
        const std::vector<WriteDifference> diffs = CompareWrittenImage(m_sent, report.image, g_bChinese != 0);
        if (diffs.empty())
            return tr("Wrote the radio on %1 and verified it in %2 s: it holds what was sent.")
                .arg(PortText(), Seconds(secs));
        QStringList shown, all;
        for (const WriteDifference& d : diffs) {
            const QString where = QString::fromStdString(d.where);
            if (shown.size() < kShownDifferences)
                shown << where;
            all << QStringLiteral("%1 (%2)").arg(where, QString::fromStdString(AddressRangesText(d.ranges)));
        }
        if (diffs.size() > static_cast<std::size_t>(kShownDifferences))
            shown << tr("and %1 more").arg(static_cast<int>(diffs.size()) - kShownDifferences);
        m.text = QString::fromStdString(ReadBackDiffersText({}, port, zh).sentence) + QStringLiteral("\n") +
                 shown.join(QLatin1Char('\n')) + QStringLiteral("\n") +
                 tr("Write to the radio again; if they still differ, the radio may be faulty.");
        m.detail = all.join(QLatin1Char('\n'));
        AppMessageBox(m);
        return tr("Wrote the radio on %1; the verify found %2 difference(s).").arg(PortText()).arg(diffs.size());
    }

    // The check before a write after its backup ended the job: nothing was sent.
    if (report.checkEnded) {
        const QString status = tr("Nothing was written to the radio on %1.").arg(PortText());
        if (report.radioChanged) {
            QStringList shown, all;
            for (const WriteDifference& d : report.changes) {
                const QString where = QString::fromStdString(d.where);
                if (shown.size() < kShownDifferences)
                    shown << where;
                all << QStringLiteral("%1 (%2)").arg(where, QString::fromStdString(AddressRangesText(d.ranges)));
            }
            m.text = tr("A radio was changed: the radio on %1 is not the one just backed up. Nothing was written "
                        "to it, and its memory has no backup.")
                         .arg(PortText()) +
                     QLatin1Char('\n') + tr("It differs from the backup in: %1").arg(shown.join(QStringLiteral(", "))) +
                     QLatin1Char('\n') + tr("Write again to back this radio up first.");
            m.detail = all.join(QLatin1Char('\n'));
            AppMessageBox(m);
            return status;
        }
        if (atPrompt)
            return status;
        if (r.outcome == TransferOutcome::Failed) {
            m.text = LoadStringRes(r.messageId);
            if (!r.dataPhase && r.handshakeFault != HandshakeFault::None)
                m.text += QLatin1Char('\n') + QString::fromStdString(HandshakeFaultText(r, g_bChinese != 0));
            m.detail = QString::fromStdString(r.detail);
            if (!m.detail.isEmpty())
                m.detail += QLatin1Char('\n');
            m.detail += QString::fromStdString(NotCheckedText({}, zh).sentence);
            if (HandshakeFailed(r))
                OfferCheck(m, report.keptTrace);
        } else {
            m.icon = QMessageBox::Information;
            m.text = QString::fromStdString(CancelledText(r, TransferPart::Check, port, zh).sentence);
        }
        AskCheckAfter(AppMessageBox(m));
        return status;
    }

    // The write itself.
    if (r.Completed())
        return tr("Wrote the radio on %1 in %2 s.").arg(PortText(), Seconds(secs));
    const QString status = tr("The write to the radio on %1 did not complete.").arg(PortText());
    if (atPrompt)
        return status;
    if (r.outcome == TransferOutcome::Failed) {
        m.text = LoadStringRes(r.messageId);
        m.detail = QString::fromStdString(r.detail);
        if (r.dataPhase) {
            if (!m.detail.isEmpty())
                m.detail += QLatin1Char('\n');
            m.detail += QString::fromStdString(
                JoinSentences(StoppedText(r, TransferPart::Write, zh).sentence, PartlyWrittenText(zh).sentence, zh));
        } else if (HandshakeFailed(r)) {
            if (r.handshakeFault != HandshakeFault::None)
                m.text += QLatin1Char('\n') + QString::fromStdString(HandshakeFaultText(r, g_bChinese != 0));
            OfferCheck(m, report.keptTrace);
        }
    } else if (!r.dataPhase) {
        m.text = QString::fromStdString(CancelledText(r, TransferPart::Write, port, zh).sentence);
        m.icon = QMessageBox::Information;
    } else {
        m.text = QString::fromStdString(JoinSentences(CancelledText(r, TransferPart::Write, port, zh).sentence,
                                                      PartlyWrittenText(zh).sentence, zh));
    }
    AskCheckAfter(AppMessageBox(m));
    return status;
}

void CLinkController::AskCheckAfter(QMessageBox::StandardButton answer)
{
    // The message's Check Connection...: opened once the transfer has ended.
    if (answer == QMessageBox::Help)
        m_strCheckAfter = Q(m_port.name);
}

void CLinkController::OnCancelRequested()
{
    if (m_pWorker)
        m_pWorker->Cancel();
}

bool CLinkController::ConfirmStop()
{
    if (!AskStop())
        return false;
    Stop();
    return true;
}

bool CLinkController::AskStop()
{
    if (!IsTransferring())
        return true;
    // Asked again from within a stop already under way: that one goes on.
    if (m_bStopping)
        return false;
    MessageRequest r;
    r.parent = MainWindow();
    r.text = m_pSession->m_bWrite
                 ? tr("A write to the radio on %1 is in progress. Stop it? "
                      "The radio will be left partly written.")
                       .arg(PortText())
                 : tr("A read from the radio on %1 is in progress. Stop it? Nothing will be changed.").arg(PortText());
    r.buttons = QMessageBox::Yes | QMessageBox::No;
    r.defaultButton = QMessageBox::No;
    r.icon = QMessageBox::Warning;
    return AppMessageBox(r) == QMessageBox::Yes;
}

void CLinkController::Stop()
{
    // It may have ended meanwhile, and told its end itself; or a stop is
    // under way already.
    if (!IsTransferring() || m_bStopping)
        return;
    QPointer<CLinkController> self(this);
    m_bStopping = true;
    if (m_pProcessDlg)
        m_pProcessDlg->m_bCancel = true;
    m_pWorker->Cancel();
    // The engine stops after the frame in flight. Until its end has been told,
    // the user's input waits, so nothing else can reach this window meanwhile.
    QEventLoop loop;
    m_pWaitLoop = &loop;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (self)
        m_pWaitLoop = nullptr;
}

bool CLinkController::ConfirmStop(const QList<CLinkController*>& links)
{
    QList<QPointer<CLinkController>> agreed;
    for (CLinkController* link : links) {
        if (!AskStop({link}, &agreed))
            return false;
        Stop(agreed);
        agreed.clear();
    }
    return true;
}

bool CLinkController::AskStop(const QList<CLinkController*>& links, QList<QPointer<CLinkController>>* agreed)
{
    for (CLinkController* link : links) {
        if (!link)
            continue;
        QPointer<CLinkController> guard(link);
        if (!link->AskStop())
            return false;
        if (guard && link->IsTransferring())
            agreed->append(guard);
    }
    return true;
}

void CLinkController::Stop(const QList<QPointer<CLinkController>>& links)
{
    for (const QPointer<CLinkController>& link : links)
        if (link)
            link->Stop();
}

CLinkController* CLinkController::TransferOnPort(const ResolvedPort& port) const
{
    for (CLinkController* other : Links())
        if (other != this && other->IsTransferring() && FindPortNamedTwice({other->m_port, port}))
            return other;
    return nullptr;
}
