#include "gui/link/CheckConnectionDlg.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QGuiApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <sstream>

#include "core/app/DisplayText.h"
#include "core/app/Globals.h"
#include "core/link/SerialPort.h"
#include "core/link/Trace.h"
#include "gui/app/CommandIds.h"
#include "gui/app/DialogUnits.h"
#include "gui/app/HelpAccess.h"
#include "gui/link/LinkSettings.h"
#include "bridge/CorePath.h"

struct CCheckConnectionDlg::Job {
    std::atomic<bool> cancel{false};
};

namespace {

// What a device or the system named, shown: control and invalid bytes escaped.
QString Shown(const std::string& s) { return QString::fromStdString(EscapeControlBytes(s)); }

// The devices under a running check, in every dialog (the window's thread only).
std::vector<ResolvedPort>& Checking()
{
    static std::vector<ResolvedPort> ports;
    return ports;
}

void StopChecking(const ResolvedPort& port)
{
    auto& ports = Checking();
    for (auto it = ports.begin(); it != ports.end(); ++it)
        if (*it == port) {
            ports.erase(it);
            return;
        }
}

// The device that came while the list was watched: its stable by-id link when
// there is one (it carries the adapter's description), else the first.
SerialDevice NewDevice(const std::vector<SerialDevice>& added)
{
    for (const SerialDevice& d : added)
        if (d.kind == PortKind::ById)
            return d;
    return added.front();
}

// The device list is read without opening anything: a probe may toggle a
// device's lines, and it runs four times a second.
PortScan QuickScan()
{
    PortScan scan;
    scan.probe = false;
    return scan;
}

}  // namespace

CCheckConnectionDlg::CCheckConnectionDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CheckConnectionDlg"));
    setFont(DialogTemplateFont());
    setWindowTitle(tr("Check Connection"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto* portLabel = new QLabel(tr("&Port:"), this);
    m_pPort = new QComboBox(this);
    m_pPort->setObjectName(QStringLiteral("CheckPort"));
    m_pPort->setEditable(true);
    m_pPort->lineEdit()->setAccessibleName(tr("Port"));
    m_pPort->setInsertPolicy(QComboBox::NoInsert);
    // A long by-id name neither widens the dialog nor is cut: the box scrolls.
    m_pPort->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_pPort->setMinimumContentsLength(24);
    m_pPort->lineEdit()->setPlaceholderText(tr("COM1, /dev/ttyUSB0, or choose below"));
    portLabel->setBuddy(m_pPort);
    m_pPort->installEventFilter(this);
    m_pPort->lineEdit()->installEventFilter(this);
    m_pDevice = new QLabel(this);
    m_pDevice->setObjectName(QStringLiteral("CheckPortDevice"));
    m_pDevice->setTextFormat(Qt::PlainText);
    m_pDevice->setWordWrap(true);
    m_pDevice->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_pStep = new QLabel(this);
    m_pStep->setObjectName(QStringLiteral("CheckStep"));
    m_pStep->setTextFormat(Qt::PlainText);
    m_pStep->setWordWrap(true);
    m_pResult = new QTextEdit(this);
    m_pResult->setObjectName(QStringLiteral("CheckResult"));
    m_pResult->setAccessibleName(tr("Result"));
    m_pResult->setReadOnly(true);
    m_pResult->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_pResult->setMinimumSize(DialogUnitRect(this, 0, 0, 320, 120).size());

    m_pCheck = new QPushButton(tr("&Check"), this);
    m_pCheck->setDefault(true);
    m_pFind = new QPushButton(tr("&Find my cable..."), this);
    m_pNext = new QPushButton(tr("&Next"), this);
    m_pNext->hide();
    m_pUse = new QPushButton(tr("&Use this port"), this);
    m_pUse->hide();
    m_pCopy = new QPushButton(tr("C&opy report"), this);
    m_pCopy->setEnabled(false);
    m_pClose = new QPushButton(tr("Close"), this);

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(portLabel);
    portRow->addWidget(m_pPort, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_pCheck, m_pFind, m_pNext, m_pUse, m_pCopy})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(m_pClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(portRow);
    layout->addWidget(m_pDevice);
    layout->addWidget(m_pStep);
    layout->addWidget(m_pResult, 1);
    layout->addLayout(buttons);
    resize(DialogUnitRect(this, 0, 0, 340, 230).size());

    m_pFindTimer = new QTimer(this);
    m_pFindTimer->setInterval(static_cast<int>(kFindPoll.count()));
    connect(m_pFindTimer, &QTimer::timeout, this, &CCheckConnectionDlg::OnFindTick);
    connect(m_pPort, &QComboBox::currentTextChanged, this, [this] { ShowPortDevice(); });
    connect(m_pCheck, &QPushButton::clicked, this, &CCheckConnectionDlg::OnCheck);
    connect(m_pFind, &QPushButton::clicked, this, &CCheckConnectionDlg::OnFind);
    connect(m_pNext, &QPushButton::clicked, this, &CCheckConnectionDlg::OnNext);
    connect(m_pUse, &QPushButton::clicked, this, &CCheckConnectionDlg::OnUseFound);
    connect(m_pClose, &QPushButton::clicked, this, &CCheckConnectionDlg::reject);
    connect(m_pCopy, &QPushButton::clicked, this, [this] {
        if (m_report)
            QGuiApplication::clipboard()->setText(QString::fromStdString(
                DoctorTextBlock(*m_report, g_bChinese != 0, DoctorAudience::Window) + "\n" + m_strTrace));
    });
}

CCheckConnectionDlg::~CCheckConnectionDlg()
{
    if (!IsChecking())
        return;
    m_job->cancel = true;
    JoinCheck();
    StopChecking(m_checked);
}

bool CCheckConnectionDlg::IsCheckingDevice(const ResolvedPort& port)
{
    for (const ResolvedPort& p : Checking())
        if (FindPortNamedTwice({p, port}))
            return true;
    return false;
}

void CCheckConnectionDlg::SetPort(const QString& port) { m_strPort = port; }

void CCheckConnectionDlg::OnInitDialog()
{
    m_report.reset();
    m_strTrace.clear();
    m_found.reset();
    m_bCloseWhenDone = false;
    m_pStep->clear();
    m_pResult->clear();
    m_pUse->hide();
    m_pNext->hide();
    m_pCopy->setEnabled(false);
    FillPorts(m_strPort);
    SetBusy(false);
    m_pStep->setText(
        tr("Check tells whether the radio answers on this port, and if not, why. Find my cable "
           "tells which port the cable is."));
    m_pPort->setFocus();
}

void CCheckConnectionDlg::FillPorts(const QString& first)
{
    // The item shows the name escaped and carries it as it is.
    const QSignalBlocker block(m_pPort);
    m_pPort->clear();
    if (!first.isEmpty())
        m_pPort->addItem(Shown(CorePath(ComPortNumber(first) ? PortLabel(first) : first)), first);
    for (const SerialDevice& d : ListSerialDevices(QuickScan())) {
        const QString path = FromCorePath(d.path);
        if (path != first)
            m_pPort->addItem(Shown(d.path), path);
    }
    m_pPort->setCurrentIndex(m_pPort->count() > 0 ? 0 : -1);
    ShowPortDevice();
}

QString CCheckConnectionDlg::PortName() const
{
    const int i = m_pPort->currentIndex();
    if (i >= 0 && m_pPort->itemText(i) == m_pPort->currentText())
        return m_pPort->itemData(i).toString();
    return m_pPort->currentText().trimmed();
}

void CCheckConnectionDlg::ShowPortDevice()
{
    const QString name = PortName();
    if (name.isEmpty()) {
        m_pDevice->clear();
        return;
    }
    const ResolvedPort port = ResolvePort(name);
    const SerialDevice d = DescribeSerialDevice(port.device, QuickScan());
    m_pDevice->setText(d.description.empty() ? Shown(port.description)
                                             : tr("%1, %2").arg(Shown(port.description), Shown(d.description)));
}

void CCheckConnectionDlg::SetBusy(bool busy)
{
    m_pPort->setEnabled(!busy);
    m_pCheck->setEnabled(!busy);
    m_pFind->setEnabled(!busy);
    m_pUse->setEnabled(!busy);
    m_pClose->setText(busy ? tr("Cancel") : tr("Close"));
    m_pCopy->setEnabled(!busy && m_report.has_value() && !m_report->cancelled);
    if (!busy && !m_pUse->isVisible())
        m_pCheck->setDefault(true);
}

void CCheckConnectionDlg::ShowText(const QString& headline, const QStringList& todo, const QStringList& facts,
                                   const QString& factsTitle)
{
    // Every line is plain text (it may quote a device's name): escaped into
    // the page, never read as markup.
    QString html = QStringLiteral("<p><b>%1</b></p>").arg(headline.toHtmlEscaped());
    auto list = [&html](const QString& title, const QStringList& lines, const char* tag) {
        if (lines.isEmpty())
            return;
        html += QStringLiteral("<p>%1</p><%2>").arg(title.toHtmlEscaped(), QLatin1String(tag));
        for (const QString& l : lines)
            html += QStringLiteral("<li>%1</li>").arg(l.toHtmlEscaped());
        html += QStringLiteral("</%1>").arg(QLatin1String(tag));
    };
    list(tr("What to do:"), todo, "ol");
    list(factsTitle.isEmpty() ? tr("What was found:") : factsTitle, facts, "ul");
    m_pResult->setHtml(html);
}

void CCheckConnectionDlg::AppendStep(const QString& line)
{
    m_steps << line;
    m_pStep->setText(line);
    m_pResult->setPlainText(m_steps.join(QLatin1Char('\n')));
}

void CCheckConnectionDlg::OnCheck()
{
    if (IsChecking() || IsFinding())
        return;
    const QString name = PortName();
    m_report.reset();
    // The cable found, checked before it is used: Use this port stays offered.
    if (!m_found || FromCorePath(m_found->path) != name) {
        m_found.reset();
        m_pUse->hide();
    }
    if (name.isEmpty()) {
        m_pStep->clear();
        ShowText(tr("Type the port to check, or choose one from the list."));
        SetBusy(false);
        emit CheckEnded();
        return;
    }
    const ResolvedPort port = ResolvePort(name);
    // A transfer of this program holds it: the check would take the radio's
    // answers from it, and could only report the port busy.
    const QString holder = m_transferOn ? m_transferOn(port) : QString();
    if (!holder.isEmpty() || IsCheckingDevice(port)) {
        m_pStep->clear();
        ShowText(holder.isEmpty()
                     ? tr("%1 is being checked already.").arg(Shown(port.description))
                     : tr("%1 is in use by a transfer in this program (%2). Wait until it has ended, then check "
                          "again.")
                           .arg(Shown(port.description), Shown(holder.toStdString())));
        SetBusy(false);
        emit CheckEnded();
        return;
    }
    m_checked = port;
    Checking().push_back(port);
    m_steps.clear();
    m_pResult->clear();
    SetBusy(true);
    const int generation = ++m_nGeneration;
    auto job = std::make_shared<Job>();
    m_job = job;
    const std::vector<std::string> header = {"check connection on " + port.description + ", " +
                                             QDateTime::currentDateTime().toString(Qt::ISODate).toStdString()};
    // The thread ends before this object does (the destructor joins it), so
    // what it posts here finds the dialog, or is dropped with it.
    m_thread = std::thread([this, job, port, header, generation] {
        CSerialPort serial;
        std::ostringstream trace;
        DoctorReport report;
        {
            CTracingPort traced(serial, trace, header);
            DoctorOptions options;
            options.cancelled = [job] { return job->cancel.load(); };
            options.stepStarted = [this, generation](DoctorStep step, int attempt) {
                QMetaObject::invokeMethod(
                    this, [this, generation, step, attempt] { OnStepStarted(generation, step, attempt); },
                    Qt::QueuedConnection);
            };
            report = RunDoctor(port, traced, options);
        }
        QMetaObject::invokeMethod(
            this, [this, generation, report, text = trace.str()] { OnCheckEnded(generation, report, text); },
            Qt::QueuedConnection);
    });
}

void CCheckConnectionDlg::OnStepStarted(int generation, DoctorStep step, int attempt)
{
    if (generation != m_nGeneration || !IsChecking())
        return;
    switch (step) {
    case DoctorStep::Open: AppendStep(tr("Opening %1...").arg(Shown(m_checked.description))); break;
    case DoctorStep::Holders: AppendStep(tr("Looking for other programs that have the port open...")); break;
    case DoctorStep::EntryCode:
        AppendStep(tr("Sending the entry code, attempt %1 of %2...").arg(attempt).arg(kDoctorAttempts));
        break;
    case DoctorStep::Identification: AppendStep(tr("Asking the radio for its identification...")); break;
    case DoctorStep::ClosingAck: AppendStep(tr("Sending the closing acknowledgement...")); break;
    }
}

void CCheckConnectionDlg::OnCheckEnded(int generation, const DoctorReport& report, const std::string& trace)
{
    if (generation != m_nGeneration)
        return;
    JoinCheck();
    StopChecking(m_checked);
    m_report = report;
    m_strTrace = trace;
    if (report.cancelled) {
        m_pStep->setText(tr("The check was stopped."));
        // Stopped after the radio took the entry code, it stays in programming mode: the core says so.
        QStringList todo;
        for (const std::string& t : DoctorText(report, g_bChinese != 0, DoctorAudience::Window).todo)
            todo << Shown(t);
        ShowText(tr("The check of %1 was stopped before it came to a verdict.").arg(Shown(report.port.description)),
                 todo, m_steps, tr("The steps that ran:"));
    } else {
        const DoctorAdvice advice = DoctorText(report, g_bChinese != 0, DoctorAudience::Window);
        QStringList todo, facts;
        for (const std::string& t : advice.todo)
            todo << Shown(t);
        for (const std::string& f : advice.facts)
            facts << Shown(f);
        m_pStep->setText(tr("Checked in %1 s.").arg(report.seconds, 0, 'f', 1));
        ShowText(Shown(advice.headline), todo, facts);
    }
    SetBusy(false);
    emit CheckEnded();
    if (m_bCloseWhenDone) {
        m_bCloseWhenDone = false;
        QDialog::reject();
    }
}

void CCheckConnectionDlg::JoinCheck()
{
    if (m_thread.joinable())
        m_thread.join();
    m_job.reset();
}

void CCheckConnectionDlg::OnStop()
{
    if (IsChecking() && m_job) {
        m_job->cancel = true;
        m_pStep->setText(tr("Stopping the check..."));
    }
    if (IsFinding())
        EndFind(FindEnd::Cancelled);
}

void CCheckConnectionDlg::OnFind()
{
    if (IsChecking() || IsFinding())
        return;
    m_found.reset();
    m_gone.clear();
    m_pUse->hide();
    m_pFinder = std::make_unique<CCableFinder>(QuickScan());
    m_pFinder->Baseline();
    m_nFindStep = 1;
    SetBusy(true);
    m_pNext->show();
    m_pNext->setDefault(true);
    m_pNext->setFocus();
    QStringList present;
    for (const SerialDevice& d : m_pFinder->BaselineDevices())
        present << (d.description.empty() ? Shown(d.path) : tr("%1, %2").arg(Shown(d.path), Shown(d.description)));
    if (present.isEmpty())
        present << tr("no serial device");
    m_pStep->setText(tr("Step 1 of 2: unplug the cable from the computer, then press Next."));
    ShowText(tr("Step 1 of 2: unplug the programming cable from the computer's USB socket. If it is unplugged "
                "already, press Next."),
             {}, present, tr("Serial devices present now:"));
    m_findClock.start();
    m_pFindTimer->start();
}

void CCheckConnectionDlg::OnNext()
{
    if (m_nFindStep != 1)
        return;
    m_nFindStep = 2;
    m_pNext->hide();
    m_pClose->setFocus();
    m_findClock.restart();
    QStringList gone;
    for (const SerialDevice& d : m_gone)
        gone << Shown(d.path);
    ShowText(tr("Step 2 of 2: plug the cable in again. The device that appears is the cable."), {}, gone,
             tr("Gone when the cable was unplugged:"));
    OnFindTick();
}

void CCheckConnectionDlg::OnFindTick()
{
    if (!IsFinding() || !m_pFinder)
        return;
    const CCableFinder::Change change = m_pFinder->Poll();
    for (const SerialDevice& d : change.gone)
        if (std::none_of(m_gone.begin(), m_gone.end(), [&](const SerialDevice& g) { return g.path == d.path; }))
            m_gone.push_back(d);
    if (!change.added.empty()) {
        EndFind(FindEnd::Found, NewDevice(change.added));
        return;
    }
    // The cable seen to go: on to plugging it in.
    if (m_nFindStep == 1 && !change.gone.empty()) {
        OnNext();
        return;
    }
    const qint64 left = (kFindTimeoutMs - m_findClock.elapsed() + 999) / 1000;
    if (left <= 0) {
        EndFind(FindEnd::TimedOut);
        return;
    }
    if (m_nFindStep == 2)
        m_pStep->setText(tr("Step 2 of 2: plug the cable in. Waiting for it, %1 s left.").arg(left));
}

void CCheckConnectionDlg::EndFind(FindEnd end, const SerialDevice& device)
{
    m_pFindTimer->stop();
    m_nFindStep = 0;
    m_pFinder.reset();
    m_pNext->hide();
    FindResult result;
    result.end = end;
    result.device = device;
    result.gone = m_gone;
    const QString text = end == FindEnd::Cancelled
                             ? tr("Find my cable was stopped; the port is as it was.")
                             : tr("Find my cable: %1").arg(Shown(FindResultText(result, g_bChinese != 0)));
    if (end == FindEnd::Found) {
        m_found = device;
        // Check checks it from now on; Use this port also makes it the port
        // of the window and of COM Setup.
        FillPorts(FromCorePath(device.path));
        m_pUse->show();
        m_pUse->setDefault(true);
        m_pUse->setFocus();
        m_pStep->setText(tr("The cable is %1.").arg(Shown(device.path)));
        ShowText(text, {tr("Press Use this port to make it the port of this window and of COM Setup, then Check "
                           "to try the radio on it.")});
    } else {
        m_pStep->clear();
        ShowText(text);
    }
    SetBusy(false);
}

void CCheckConnectionDlg::OnUseFound()
{
    if (!m_found)
        return;
    const QString path = FromCorePath(m_found->path);
    m_found.reset();
    m_pUse->hide();
    RememberPort(path);
    emit PortChosen(path);
    FillPorts(path);
    SetBusy(false);
    m_pCheck->setFocus();
    m_pStep->setText(tr("%1 is now the port of this window and of COM Setup. Press Check to try the radio on it.")
                         .arg(Shown(CorePath(path))));
}

void CCheckConnectionDlg::reject()
{
    if (IsChecking() || IsFinding()) {
        OnStop();
        return;
    }
    QDialog::reject();
}

void CCheckConnectionDlg::closeEvent(QCloseEvent* event)
{
    // The close box while a check runs: it is stopped, and the dialog goes
    // once its port is closed.
    if (IsChecking()) {
        m_bCloseWhenDone = true;
        OnStop();
        event->ignore();
        return;
    }
    if (IsFinding())
        OnStop();
    QDialog::closeEvent(event);
}

bool CCheckConnectionDlg::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_pPort || watched == m_pPort->lineEdit()) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape) {
            keyPressEvent(key);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CCheckConnectionDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        emit HelpRequested(ID_CHECK_CONNECTION);
        HtmlHelp(ID_CHECK_CONNECTION);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
