// The radio link from the window: the Process window's states, Read and Write
// refused while it exists, COM Setup's probing and settings, and whole
// transfers through the real port code against the simulated radio on a
// pseudo-terminal, with the event loop measured while they run.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>
#include <algorithm>
#include <iterator>
#include <memory>
#include <functional>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "tests/gui/support/RadioOnPty.h"
#include "gui/app/AppContext.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "gui/app/MessageBox.h"
#include "core/app/SettingsStore.h"
#include "gui/app/StringTable.h"
#include "gui/editor/ProgramView.h"
#include "gui/app/HelpAccess.h"
#include "gui/link/ComSetupDlg.h"
#include "gui/link/LinkController.h"
#include "gui/link/LinkSession.h"
#include "gui/link/TransferWorker.h"
#include "gui/link/ProcessDlg.h"
#include "core/link/SerialPort.h"
#include "core/link/SimulatedRadio.h"
#include "core/radio/Bands.h"
#include "core/radio/DatFile.h"
#include "core/radio/RadioCatalogue.h"
#include "gui/radio/ProgramDoc.h"
#include "tests/support/TestEnv.h"

namespace {

constexpr int kOpenPortFail = 61453;
constexpr int kCommError = 61451;
constexpr int kInterrupt = 61454;

Image Pattern(unsigned seed)
{
    Image img{};
    std::uint32_t x = seed * 2654435761u + 7;
    for (auto& b : img) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return img;
}

// Process-wide state for one test: Program.ini with [Ports], settings in
// memory, message boxes answered and recorded.
// The [Ports] line that maps a COM name to the simulated radio's device.
QString PortLine(const char* com, const CSimulatedRadio& radio)
{
    return QStringLiteral("%1=%2\n").arg(QLatin1String(com), QString::fromStdString(radio.SlavePath()));
}

class LinkEnv {
public:
    explicit LinkEnv(const QString& ports = QString())
        : m_ini("[Setup]\nLanguage=English\nAppName=LinkTestApp\n" + testenv::RadioTypeLines() +
                "[English]\nAppName=TR-5 Programming Tool\n[Ports]\n" + ports.toStdString())
    {
        testenv::SetLanguage(false);
        // Backups go to the test's own folder; a write is the write alone
        // unless a test asks for the backup and the verify.
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(m_ini.Path("data")));
        m_store.WriteDword("LinkTestApp", kSettingBackupFirst, 0);
        m_store.WriteDword("LinkTestApp", kSettingVerify, 0);
        SetAppSettingsStore(&m_store);
        SetMessageHook([this](const MessageRequest& r) {
            m_messages << r;
            if (m_onMessage)
                return m_onMessage(r);
            return (r.buttons & QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
        });
    }
    ~LinkEnv()
    {
        SetMessageHook({});
        SetDialogHook({});
        SetHelpHook({});
        SetAppSettingsStore(nullptr);
        g_bChinese = 0;
        theIniFile.Clear();
    }
    QString Path(const QString& name) const { return QString::fromStdString(m_ini.Path(name.toStdString())); }
    QStringList Texts() const
    {
        QStringList t;
        for (const MessageRequest& r : m_messages)
            t << r.text;
        return t;
    }

    testenv::ProgramIni m_ini;
    CMemorySettingsStore m_store;
    QList<MessageRequest> m_messages;
    std::function<QMessageBox::StandardButton(const MessageRequest&)> m_onMessage;
};

struct ViewUnderTest {
    CProgramDoc doc;
    std::unique_ptr<CProgramView> view;
    std::unique_ptr<CLinkController> link;

    ViewUnderTest() : ViewUnderTest(QString()) {}
    // A document opened from `datPath`; a new one when it is empty.
    explicit ViewUnderTest(const QString& datPath)
    {
        QString error;
        if (datPath.isEmpty())
            doc.OnNewDocument();
        else
            opened = doc.OnOpenDocument(datPath, &error);
        view = std::make_unique<CProgramView>(&doc);
        view->resize(900, 500);
        view->show();
        view->OnInitialUpdate();
        link = std::make_unique<CLinkController>(&doc, view.get());
    }
    CProcessDlg* Dlg() { return link->ProcessDlg(); }
    bool opened = false;
};

// The radio's memory as ImageToGrid leaves it after a read, so a complete
// read can be compared byte for byte.
Image SyncedRadioImage(unsigned seed)
{
    Image img = Pattern(seed);
    img[mem::kRadioType] = 0;
    img[mem::kBandIndex] = 1;
    CMemorySettingsStore scratch;
    SyncRadioType(img, false, theIniFile, scratch, g_strLanguage);
    return img;
}

bool WaitWindowGone(CProcessDlg* dlg, int ms = 20000)
{
    return QTest::qWaitFor([dlg] { return !dlg->IsWindow(); }, ms);
}

// The longest gap between the ticks of a 10 ms timer while it runs.
class StallMeter {
public:
    StallMeter()
    {
        m_clock.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.elapsed();
            m_max = std::max(m_max, now - m_last);
            m_last = now;
        });
        m_timer.start(10);
    }
    qint64 Max() const { return m_max; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_max = 0;
};

// The simulated radio started, answering with the faults `fault` sets.
void StartWith(CSimulatedRadio& radio, const std::function<void(RadioFaults&)>& fault)
{
    RadioFaults f;
    fault(f);
    radio.SetFaults(f);
    radio.Start();
}

bool CanOpen(const std::string& device)
{
    CSerialPort p;
    const bool ok = p.Open(device);
    p.Close();
    return ok;
}

}  // namespace

class TestLink : public QObject {
    Q_OBJECT
private slots:
    void processWindowStates();
    void readWriteRefusedWhileWindowExists();
    void chineseTitles();
    void cancelBeforeOkSendsNothing();
    void completeRead();
    void writeSendsCommittedEdit();
    void untouchedBytesAreSavedAndWrittenAsRead();
    void failedReadLeavesImage_data();
    void failedReadLeavesImage();
    void stoppedTransferTellsHowFar_data();
    void stoppedTransferTellsHowFar();
    void missingDeviceShowsReason();
    void permissionDeniedHint();
    void promptAnsweredOnGuiThread();
    void silentRadioKeepsLoopAlive();
    void closeViewMidTransfer();
    void questionNobodyAnswersHoldsNoWorker();
    void comSetupProbesAndStores();
    void comSetupBusyAndOddValues();
    void comSetupHelp();
};

void TestLink::processWindowStates()
{
    LinkEnv env;
    ViewUnderTest t;
    CProcessDlg* dlg = t.Dlg();
    QVERIFY(!dlg->IsWindow());

    t.link->OnRead();
    QVERIFY(dlg->IsWindow());
    QVERIFY(dlg->isVisible());
    QCOMPARE(dlg->windowTitle(), QString("Read Data"));
    QCOMPARE(dlg->RangeLower(), 0);
    QCOMPARE(dlg->RangeUpper(), 305);
    QCOMPARE(dlg->GetPos(), 0);
    QCOMPARE(dlg->PositionText()->text(), QString("0"));
    // A count of nothing yet is no "0" between the buttons.
    QVERIFY(!dlg->PositionText()->isVisible());
    QVERIFY(dlg->OkButton()->isEnabled());
    QVERIFY(!dlg->m_bCancel);
    QCOMPARE(dlg->ProgressBar()->objectName(), QString("ctl1001"));
    QCOMPARE(dlg->PositionText()->objectName(), QString("ctl1009"));

    // Positions count blocks and show beside the bar.
    dlg->SetRange(0, 512);
    dlg->StepIt();
    dlg->StepIt();
    QCOMPARE(dlg->PositionText()->text(), QString("2"));

    // Cancel while waiting: the window goes at once.
    dlg->CancelButton()->click();
    QVERIFY(!dlg->IsWindow());
    QVERIFY(!dlg->isVisible());
    QVERIFY(dlg->m_bCancel);

    // The next window starts afresh; the close box is Cancel too.
    t.link->OnWrite();
    QVERIFY(dlg->IsWindow());
    QCOMPARE(dlg->windowTitle(), QString("Write Data"));
    QCOMPARE(dlg->GetPos(), 0);
    QCOMPARE(dlg->PositionText()->text(), QString("0"));
    QCOMPARE(dlg->RangeUpper(), 305);
    QVERIFY(!dlg->m_bCancel);
    QVERIFY(dlg->OkButton()->isEnabled());
    dlg->close();
    QVERIFY(!dlg->IsWindow());

    // Escape is Cancel as well.
    t.link->OnRead();
    QTest::keyClick(dlg, Qt::Key_Escape);
    QVERIFY(!dlg->IsWindow());
}

void TestLink::readWriteRefusedWhileWindowExists()
{
    LinkEnv env(QStringLiteral("COM1=/nonexistent/link-test-tty\n"));
    ViewUnderTest t;
    CProcessDlg* dlg = t.Dlg();

    t.link->OnRead();
    t.link->OnWrite();
    QCOMPARE(t.link->Session()->m_bWrite, false);
    QCOMPARE(dlg->windowTitle(), QString("Read Data"));

    // Enter starts the transfer like OK; OK stays disabled and a second
    // Enter starts nothing more.
    QTest::keyClick(dlg->OkButton(), Qt::Key_Return);
    QVERIFY(!dlg->OkButton()->isEnabled());
    dlg->accept();
    t.link->OnWrite();
    QCOMPARE(t.link->Session()->m_bWrite, false);
    QCOMPARE(dlg->windowTitle(), QString("Read Data"));
    QVERIFY(WaitWindowGone(dlg));
    // The one transfer failed to open the port: one message, not two.
    QCOMPARE(env.m_messages.size(), 1);
    QCOMPARE(env.m_messages[0].text.isEmpty(), false);

    // Once the window is gone the commands work again.
    t.link->OnWrite();
    QCOMPARE(t.link->Session()->m_bWrite, true);
    QCOMPARE(dlg->windowTitle(), QString("Write Data"));
    dlg->OnCancel();
}

void TestLink::chineseTitles()
{
    LinkEnv env;
    g_bChinese = 1;
    ViewUnderTest t;
    t.link->OnRead();
    QCOMPARE(t.Dlg()->windowTitle(), QString::fromUtf8("读数据"));
    t.Dlg()->OnCancel();
    t.link->OnWrite();
    QCOMPARE(t.Dlg()->windowTitle(), QString::fromUtf8("写数据"));
    t.Dlg()->OnCancel();
}

void TestLink::cancelBeforeOkSendsNothing()
{
    CSimulatedRadio radio;
    OPEN_SIMULATED_RADIO(radio);
    radio.Start();
    LinkEnv env(PortLine("COM1", radio));
    ViewUnderTest t;
    const Image before = t.doc.GetImage();
    t.link->OnRead();
    t.Dlg()->CancelButton()->click();
    QTest::qWait(300);
    QCOMPARE(radio.BytesReceived(), std::uint64_t{0});
    QVERIFY(t.doc.GetImage() == before);
    QVERIFY(g_bNewDocument);
    QVERIFY(env.m_messages.isEmpty());
    radio.Stop();
}

void TestLink::completeRead()
{
    CSimulatedRadio radio;
    OPEN_SIMULATED_RADIO(radio);
    LinkEnv env(PortLine("COM2", radio));
    const Image memory = SyncedRadioImage(3);
    radio.SetMemory(memory);
    radio.Start();

    ViewUnderTest t;
    t.link->Session()->m_strPort = QStringLiteral("com2");
    QVERIFY(g_bNewDocument);
    const Image fresh = t.doc.GetImage();
    CProcessDlg* dlg = t.Dlg();
    StallMeter meter;
    t.link->OnRead();
    dlg->OkButton()->click();
    QVERIFY(dlg->PositionText()->isVisible());  // counting from OK on
    QVERIFY(WaitWindowGone(dlg));
    radio.Stop();

    QVERIFY2(env.m_messages.isEmpty(), qPrintable(env.Texts().join('|')));
    QVERIFY(t.doc.GetImage() == memory);
    QVERIFY(!g_bNewDocument);
    QCOMPARE(dlg->RangeUpper(), 512);
    QCOMPARE(dlg->GetPos(), 512);
    QCOMPARE(dlg->PositionText()->text(), QString("512"));
    QCOMPARE(static_cast<int>(radio.FrameLog().size()), 1024);
    // The grid shows the radio's band boxes.
    Image copy = memory;
    const EditRanges r = EditRangesFromImage(copy);
    QCOMPARE(t.view->BandEdit(IDC_VHF_LOW)->text(), QString::number(r.vhfLow));
    // The port was closed: it opens again.
    QVERIFY(CanOpen(radio.SlavePath()));
    QVERIFY2(meter.Max() < 500, qPrintable(QString::number(meter.Max())));
    CTransferWorker::WaitForAll();
    QCOMPARE(CTransferWorker::LiveThreads(), 0);
    // What was read counts as unmodified; one undo step brings back the document before the read.
    QVERIFY(!t.doc.IsModified());
    t.doc.UndoStack()->undo();
    QVERIFY(t.doc.GetImage() == fresh);
    QVERIFY(t.doc.IsModified());
}

void TestLink::writeSendsCommittedEdit()
{
    CSimulatedRadio radio;
    OPEN_SIMULATED_RADIO(radio);
    LinkEnv env(PortLine("COM1", radio));
    const Image radioOwn = Pattern(9);
    radio.SetMemory(radioOwn);
    radio.Start();

    ViewUnderTest t;
    // An edit left open in the grid: Write must commit it before the window.
    t.view->Grid().SetRow(2);
    t.view->Grid().SetCol(1);
    auto* edit = qobject_cast<QLineEdit*>(t.view->OpenEditor());
    QVERIFY(edit);
    edit->setText(QStringLiteral("146.5"));
    t.link->OnWrite();
    QVERIFY(t.view->OpenEditor() == nullptr);
    QVERIFY(t.view->Grid().GetTextMatrix(2, 1).startsWith(QStringLiteral("146.5")));

    CProcessDlg* dlg = t.Dlg();
    dlg->OkButton()->click();
    QVERIFY(WaitWindowGone(dlg));
    radio.Stop();
    QVERIFY2(env.m_messages.isEmpty(), qPrintable(env.Texts().join('|')));
    QCOMPARE(dlg->RangeUpper(), 511);
    QCOMPARE(dlg->GetPos(), 511);

    const Image got = radio.Memory();
    for (int i = 0; i < mem::kWriteEnd; ++i)
        QVERIFY2(got[i] == t.doc.GetImage()[i], qPrintable(QString::number(i, 16)));
    for (int i = mem::kWriteEnd; i < static_cast<int>(kImageSize); ++i)
        QCOMPARE(got[i], radioOwn[i]);
    QVERIFY(t.doc.IsModified());  // written, but in no file
    // Channel 1 (row 2) receive frequency, packed BCD least significant first.
    QCOMPARE(got[16], std::uint8_t{0x00});
    QCOMPARE(got[17], std::uint8_t{0x00});
    QCOMPARE(got[18], std::uint8_t{0x65});
    QCOMPARE(got[19], std::uint8_t{0x14});
    QCOMPARE(static_cast<int>(radio.FrameLog().size()), 1023);
}

void TestLink::untouchedBytesAreSavedAndWrittenAsRead()
{
    CSimulatedRadio radio;
    OPEN_SIMULATED_RADIO(radio);
    LinkEnv env(PortLine("COM1", radio));
    radio.Start();

    // Random bytes everywhere (odd nibbles, power bits 11, stray codes, edit
    // ranges), "Pr" reading 1649.74351 MHz, an empty record with stray bytes.
    Image file = Pattern(21);
    const std::uint8_t pr[] = {0x51, 0x43, 0x97, 0xFE};
    std::copy(std::begin(pr), std::end(pr), file.begin());
    file[16 * 7 + 3] = 0x00;
    file[16 * 106 + 3] = 0xFF;  // channel 106 empty: its name bytes are the selected band's
    const QString path = env.Path("odd.dat");
    QVERIFY(SaveDatFile(path.toStdString(), file).ok);
    ViewUnderTest t(path);
    QVERIFY(t.opened);
    QCOMPARE(t.view->Grid().GetTextMatrix(1, 1), QStringLiteral("1649.74351"));
    // What the window writes itself: the selected band record.
    auto asRead = [&](const Image& got, int end) {
        for (int i = 0; i < end; ++i)
            if ((i < mem::kSelectedBand || i >= mem::kSelectedBand + 3) && got[i] != file[i])
                return QString::number(i, 16);
        return QString();
    };

    const QString saved = env.Path("saved.dat");
    QString error;
    QVERIFY2(t.doc.OnSaveDocument(saved, &error), qPrintable(error));
    Image savedImage{};
    QVERIFY(LoadDatFile(saved.toStdString(), savedImage).ok);
    QCOMPARE(asRead(savedImage, static_cast<int>(kImageSize)), QString());

    t.link->OnWrite();
    CProcessDlg* dlg = t.Dlg();
    dlg->OkButton()->click();
    QVERIFY(WaitWindowGone(dlg));
    radio.Stop();
    QVERIFY2(env.m_messages.isEmpty(), qPrintable(env.Texts().join('|')));
    QCOMPARE(asRead(radio.Memory(), mem::kWriteEnd), QString());
}

void TestLink::failedReadLeavesImage_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("message");
    QTest::newRow("short reply") << 0 << kInterrupt;
    QTest::newRow("missing ack") << 1 << kInterrupt;
    QTest::newRow("line dropped") << 2 << kInterrupt;
}

void TestLink::failedReadLeavesImage()
{
    QFETCH(int, fault);
    QFETCH(int, message);
    CSimulatedRadio radio;
    OPEN_SIMULATED_RADIO(radio);
    LinkEnv env(PortLine("COM1", radio));
    radio.SetMemory(Pattern(5));
    RadioFaults f;
    if (fault == 0)
        f.shortReplyAtFrame = 300;
    else if (fault == 1)
        f.missingAckAtFrame = 300;
    else
        f.dropAtFrame = 300;
    radio.SetFaults(f);
    radio.Start();

    ViewUnderTest t;
    const Image before = t.doc.GetImage();
    const QString cell = t.view->Grid().GetTextMatrix(2, 1);
    t.link->OnRead();
    t.Dlg()->OkButton()->click();
    QVERIFY(WaitWindowGone(t.Dlg()));
    radio.Stop();

    QCOMPARE(env.m_messages.size(), 1);
    QCOMPARE(env.m_messages[0].text, LoadStringRes(message));
    QCOMPARE(env.m_messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(t.doc.GetImage() == before);
    QVERIFY(g_bNewDocument);
    QCOMPARE(t.view->Grid().GetTextMatrix(2, 1), cell);
    QVERIFY(t.Dlg()->GetPos() > 100);
    if (fault != 2)
        QVERIFY(CanOpen(radio.SlavePath()));
    CTransferWorker::WaitForAll();
}

void TestLink::stoppedTransferTellsHowFar_data()
{
    QTest::addColumn<bool>("write");
    // 0: Escape mid-way, 1: Escape in the handshake, 2: the radio fails, 3: Yes to the stop question
    QTest::addColumn<int>("how");
    QTest::newRow("read stopped") << false << 0;
    QTest::newRow("read stopped by the question") << false << 3;
    QTest::newRow("write stopped") << true << 0;
    QTest::newRow("write stopped before data") << true << 1;
    QTest::newRow("write failed at frame 300") << true << 2;
}

void TestLink::stoppedTransferTellsHowFar()
{
    QFETCH(bool, write);
    QFETCH(int, how);
    CSimulatedRadio radio;
    OPEN_SIMULATED_RADIO(radio);
    LinkEnv env(PortLine("COM1", radio));
    const Image radioOwn = Pattern(6);
    radio.SetMemory(radioOwn);
    RadioFaults f;
    f.replyDelayMs = 1;  // long enough to press Escape in the middle
    f.silent = how == 1;
    f.missingAckAtFrame = how == 2 ? 300 : -1;
    radio.SetFaults(f);
    radio.Start();

    ViewUnderTest t;
    const Image before = t.doc.GetImage();
    CProcessDlg* dlg = t.Dlg();
    write ? t.link->OnWrite() : t.link->OnRead();
    QTest::keyClick(dlg, Qt::Key_Return);
    if (how == 0 || how == 3)
        QVERIFY(QTest::qWaitFor([dlg] { return dlg->GetPos() >= 40; }, 20000));
    if (how == 1)
        QVERIFY(QTest::qWaitFor([&] { return radio.EntryCodesSeen() >= 1; }, 20000));
    if (how == 3) {
        env.m_onMessage = [](const MessageRequest& r) {
            return r.buttons & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok;
        };
        // Returns once the read has ended and its end was told.
        QVERIFY(t.link->ConfirmStop());
        QVERIFY(!dlg->IsWindow());
        QCOMPARE(env.m_messages.value(0).text,
                 QString("A read from the radio on COM1 is in progress. Stop it? Nothing will be changed."));
    } else if (how != 2) {
        QTest::keyClick(dlg, Qt::Key_Escape);
        // Cancel during a transfer only raises the flag; the transfer closes the window.
        QVERIFY(dlg->m_bCancel);
        QVERIFY(dlg->IsWindow());
    }
    QVERIFY(WaitWindowGone(dlg));
    radio.Stop();
    QVERIFY(CanOpen(radio.SlavePath()));
    QCOMPARE(env.m_messages.size(), how == 3 ? 2 : 1);
    const MessageRequest& m = env.m_messages.last();
    if (!write) {
        QCOMPARE(m.text, QString("The read from the radio on COM1 was stopped. Nothing is changed."));
        QVERIFY(t.doc.GetImage() == before);
        QVERIFY(g_bNewDocument);
        QVERIFY(static_cast<int>(radio.FrameLog().size()) < 1024);
        return;
    }
    // The radio took the frames it received and keeps its own bytes after them;
    // the message counts those it acknowledged (not the one it failed to).
    const int taken = static_cast<int>(radio.FrameLog().size());
    const int frames = how == 2 ? taken - 1 : taken;
    QVERIFY(taken < 1023);
    const Image got = radio.Memory();
    for (int i = 0; i < static_cast<int>(kImageSize); ++i)
        QVERIFY2(got[i] == (i < taken * 8 ? t.doc.GetImage()[i] : radioOwn[i]), qPrintable(QString::number(i, 16)));
    const QString mixed("The radio now holds a mix of old and new settings: write to it again before using it.");
    if (how == 1) {
        QCOMPARE(m.text, QString("The write to the radio on COM1 was stopped before any data was sent. "
                                 "The radio is unchanged."));
    } else if (how == 2) {
        QCOMPARE(m.text, LoadStringRes(kInterrupt));
        QCOMPARE(m.detail,
                 QString("300 of 1023 frames (2400 of 8182 bytes) were written before the link failed. ") + mixed);
    } else {
        QCOMPARE(m.text, QString("The write to the radio on COM1 was stopped after %1 of 1023 frames (%2 of 8182 "
                                 "bytes). ")
                                 .arg(frames)
                                 .arg(frames * 8) +
                             mixed);
    }
}

void TestLink::missingDeviceShowsReason()
{
    LinkEnv env(QStringLiteral("COM3=/nonexistent/link-test-tty\n"));
    ViewUnderTest t;
    t.link->Session()->m_strPort = QStringLiteral("COM3");
    // Write first: the grid is encoded even though the port then fails.
    t.link->OnWrite();
    t.Dlg()->OkButton()->click();
    QVERIFY(WaitWindowGone(t.Dlg()));
    QCOMPARE(env.m_messages.size(), 1);
    QCOMPARE(env.m_messages[0].text, LoadStringRes(kOpenPortFail));
    QVERIFY(env.m_messages[0].detail.contains(QStringLiteral("/nonexistent/link-test-tty")));
#ifdef _WIN32
    // Windows' own words: "cannot find the path" (Wine: "Path not found").
    QVERIFY2(env.m_messages[0].detail.contains(QRegularExpression(QStringLiteral("cannot find|not found"))),
             qPrintable(env.m_messages[0].detail));
#else
    QVERIFY(env.m_messages[0].detail.contains(QString::fromLocal8Bit(strerror(ENOENT))));
#endif
}

void TestLink::permissionDeniedHint()
{
    LinkEnv env;
    const QString path = env.Path(QStringLiteral("locked-tty"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QFile::setPermissions(path, QFileDevice::Permissions());
#ifdef _WIN32
    QSKIP("no file closed to its owner by its mode on Windows");
#else
    ViewUnderTest t;
    t.link->Session()->m_strPort = path;
    // Root opens any file: as root the transfer runs as nobody, to whom the
    // file is closed, and root comes back whatever happens.
    struct AsNobody {
        bool root = ::geteuid() == 0;
        AsNobody() { root = root && ::seteuid(65534) == 0; }
        ~AsNobody()
        {
            if (root && ::seteuid(0) != 0)
                std::abort();
        }
    } asNobody;
    QVERIFY(::faccessat(AT_FDCWD, qPrintable(path), R_OK, AT_EACCESS) != 0);
    t.link->OnRead();
    t.Dlg()->OkButton()->click();
    QVERIFY(WaitWindowGone(t.Dlg()));
    QCOMPARE(env.m_messages.size(), 1);
    QCOMPARE(env.m_messages[0].text, LoadStringRes(kOpenPortFail));
    QVERIFY(env.m_messages[0].detail.contains(path));
    QVERIFY(env.m_messages[0].detail.contains(QStringLiteral("serial devices")));
#endif
}

void TestLink::promptAnsweredOnGuiThread()
{
    // No closing acknowledgement: the prompt comes at the first attempt. Retry once,
    // then Cancel: two prompts, no further message, the image as it was.
    CSimulatedRadio radio;
    OPEN_SIMULATED_RADIO(radio);
    LinkEnv env(PortLine("COM1", radio));
    StartWith(radio, [](RadioFaults& f) { f.missingFinalAcks = INT_MAX; });
    int prompts = 0;
    QThread* asked = nullptr;
    env.m_onMessage = [&](const MessageRequest& r) {
        asked = QThread::currentThread();
        if (r.buttons & QMessageBox::Retry)
            return ++prompts == 1 ? QMessageBox::Retry : QMessageBox::Cancel;
        return QMessageBox::Ok;
    };
    ViewUnderTest t;
    const Image before = t.doc.GetImage();
    t.link->OnRead();
    t.Dlg()->OkButton()->click();
    QVERIFY(WaitWindowGone(t.Dlg(), 30000));
    radio.Stop();
    QCOMPARE(prompts, 2);
    QCOMPARE(env.m_messages.size(), 2);
    // Each prompt says what the radio did and after how many attempts.
    const QString missing = QStringLiteral(
        "\nthe radio sent its identification but did not acknowledge the end of the "
        "handshake (%1)\nSetup > Check Connection... finds out why the radio does not answer.");
    QCOMPARE(env.m_messages[0].text, LoadStringRes(kCommError) + missing.arg(QStringLiteral("1 handshake attempt")));
    QCOMPARE(env.m_messages[1].text, LoadStringRes(kCommError) + missing.arg(QStringLiteral("2 handshake attempts")));
    QCOMPARE(asked, QApplication::instance()->thread());
    QVERIFY(radio.EntryCodesSeen() >= 2);
    QVERIFY(t.doc.GetImage() == before);
}

void TestLink::silentRadioKeepsLoopAlive()
{
    // Fifteen unanswered attempts take seconds; the window keeps its turn
    // all the while.
    CSimulatedRadio radio;
    OPEN_SIMULATED_RADIO(radio);
    LinkEnv env(PortLine("COM1", radio));
    StartWith(radio, [](RadioFaults& f) { f.silent = true; });
    ViewUnderTest t;
    StallMeter meter;
    t.link->OnRead();
    t.Dlg()->OkButton()->click();
    QVERIFY(WaitWindowGone(t.Dlg(), 30000));
    radio.Stop();
    QCOMPARE(env.m_messages.size(), 1);
    QCOMPARE(env.m_messages[0].text,
             LoadStringRes(kCommError) +
                 QStringLiteral("\nthe radio did not answer the entry code (15 handshake attempts)\nSetup > Check "
                                "Connection... finds out why the radio does not answer."));
    // Exactly fifteen attempts before the prompt, each a whole entry code.
    QCOMPARE(radio.EntryCodesSeen(), 15);
    QCOMPARE(radio.BytesReceived(), std::uint64_t{15 * 7});
    QVERIFY2(meter.Max() < 500, qPrintable(QString::number(meter.Max())));
}

void TestLink::closeViewMidTransfer()
{
    CSimulatedRadio radio;
    OPEN_SIMULATED_RADIO(radio);
    LinkEnv env(PortLine("COM1", radio));
    StartWith(radio, [](RadioFaults& f) { f.replyDelayMs = 1; });
    auto t = std::make_unique<ViewUnderTest>();
    CProcessDlg* dlg = t->Dlg();
    QPointer<CProcessDlg> watch(dlg);
    t->link->OnRead();
    dlg->OkButton()->click();
    QVERIFY(QTest::qWaitFor([dlg] { return dlg->GetPos() >= 20; }, 20000));
    // The document window goes mid-transfer (as opening another file does
    // with a closed window): view, dialogs and document are freed at once.
    t.reset();
    QVERIFY(watch.isNull());
    QTest::qWait(100);  // queued progress for the freed view must be dropped
    QElapsedTimer clock;
    clock.start();
    CTransferWorker::WaitForAll();
    QVERIFY(clock.elapsed() < 3000);
    QCOMPARE(CTransferWorker::LiveThreads(), 0);
    QVERIFY(CanOpen(radio.SlavePath()));
    QVERIFY(static_cast<int>(radio.FrameLog().size()) < 1024);
    QVERIFY(env.m_messages.isEmpty());
    radio.Stop();
}

void TestLink::questionNobodyAnswersHoldsNoWorker()
{
    // The Retry/Cancel question is pending when its window is closed (the
    // answer then finds nobody to tell), or when the event loop has ended
    // (nobody answers at all): the worker must not wait for it forever, and
    // the port is released.
    for (const bool closeAtPrompt : {true, false}) {
        CSimulatedRadio radio;
        OPEN_SIMULATED_RADIO(radio);
        LinkEnv env(PortLine("COM1", radio));
        StartWith(radio, [](RadioFaults& f) { f.missingFinalAcks = INT_MAX; });
        auto t = std::make_unique<ViewUnderTest>();
        env.m_onMessage = [&](const MessageRequest&) {
            t.reset();
            return QMessageBox::Retry;
        };
        t->link->OnRead();
        t->Dlg()->OkButton()->click();
        if (closeAtPrompt) {
            QVERIFY(QTest::qWaitFor([&] { return t == nullptr; }, 20000));
        } else {
            QCoreApplication::processEvents();  // the posted OK starts the worker
            QVERIFY(t->link->IsTransferring());
            QTest::qSleep(1500);  // first attempt over, the question queued, no events processed
            QCOMPARE(radio.EntryCodesSeen(), 1);
        }
        QElapsedTimer clock;
        clock.start();
        CTransferWorker::WaitForAll();
        QVERIFY(clock.elapsed() < (closeAtPrompt ? 3000 : 1000));
        QCOMPARE(CTransferWorker::LiveThreads(), 0);
        QVERIFY(CanOpen(radio.SlavePath()));
        if (!closeAtPrompt) {
            env.m_onMessage = nullptr;
            t.reset();
            QCoreApplication::processEvents();
        }
        QCOMPARE(env.m_messages.size(), closeAtPrompt ? 1 : 0);
        radio.Stop();
    }
}

void TestLink::comSetupProbesAndStores()
{
    CSimulatedRadio r1, r3;
    OPEN_SIMULATED_RADIO(r1);
    OPEN_SIMULATED_RADIO(r3);
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("not-a-tty"));
    QFile pf(plain);
    QVERIFY(pf.open(QIODevice::WriteOnly));
    pf.close();
    LinkEnv env(QStringLiteral("COM1=%1\nCOM2=/nonexistent/link-test-tty\nCOM3=%2\nCOM4=%3\n")
                    .arg(QString::fromStdString(r1.SlavePath()), QString::fromStdString(r3.SlavePath()), plain));
    ViewUnderTest t;
    CComSetupDlg* dlg = t.link->ComSetupDlg();
    QCOMPARE(dlg->m_nPort, -1);

    std::function<int(QDialog*)> onExec;
    SetDialogHook([&](QDialog* d) { return onExec ? onExec(d) : int(QDialog::Rejected); });

    // First use: COM1 checked; the ports that do not open are greyed out.
    QList<bool> enabled;
    bool com1Checked = false;
    onExec = [&](QDialog* d) {
        auto* c = static_cast<CComSetupDlg*>(d);
        for (int i = 0; i < 4; ++i)
            enabled << c->PortButton(i)->isEnabled();
        com1Checked = c->PortButton(0)->isChecked() && c->m_nPort == 0;
        // Cancel changes nothing.
        c->reject();
        return c->result();
    };
    t.link->OnComSetup();
    QCOMPARE(enabled, (QList<bool>{true, false, true, false}));
    QVERIFY(com1Checked);
    // Each port's name is shown whole in the dialog's font, inside the group.
    const QRect group = dlg->findChild<QGroupBox*>()->geometry();
    for (int i = 0; i < 4; ++i) {
        QRadioButton* b = dlg->PortButton(i);
        QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->text()));
        QVERIFY2(group.contains(b->geometry()), qPrintable(b->text()));
    }
    QCOMPARE(dlg->PortButton(2)->objectName(), QString("ctl1009"));
    QCOMPARE(t.link->Session()->m_strPort, QString("COM1"));
    QVERIFY(!env.m_store.ReadDword("LinkTestApp", "com"));

    // A stored 3 is the port of a window made now, and its COM Setup shows it.
    env.m_store.WriteDword("LinkTestApp", "com", 3);
    {
        ViewUnderTest u;
        QCOMPARE(u.link->Session()->m_strPort, QString("com3"));
        onExec = [&](QDialog* d) {
            auto* c = static_cast<CComSetupDlg*>(d);
            if (!c->PortButton(2)->isChecked())
                return int(QDialog::Rejected);
            c->accept();
            return c->result();
        };
        u.link->OnComSetup();
        QCOMPARE(env.m_store.ReadDword("LinkTestApp", "com").value_or(0), 3u);
    }
    // Confirmed there, it is the port of every window that follows the choice.
    QCOMPARE(t.link->Session()->m_strPort, QString("com3"));

    // Choosing COM1 stores the 1-based number.
    onExec = [&](QDialog* d) {
        auto* c = static_cast<CComSetupDlg*>(d);
        QTest::mouseClick(c->PortButton(0), Qt::LeftButton);
        c->accept();
        return c->result();
    };
    t.link->OnComSetup();
    QCOMPARE(t.link->Session()->m_strPort, QString("com1"));
    QCOMPARE(env.m_store.ReadDword("LinkTestApp", "com").value_or(0), 1u);

    // The chosen name reaches the transfer: com1 maps to the pseudo-terminal.
    r1.Start();
    const Image memory = SyncedRadioImage(11);
    r1.SetMemory(memory);
    t.link->OnRead();
    t.Dlg()->OkButton()->click();
    QVERIFY(WaitWindowGone(t.Dlg()));
    r1.Stop();
    QVERIFY(t.doc.GetImage() == memory);
}

void TestLink::comSetupBusyAndOddValues()
{
    CSimulatedRadio r2;
    OPEN_SIMULATED_RADIO(r2);
    LinkEnv env(QStringLiteral("COM1=/nonexistent/a\nCOM2=%1\nCOM3=/nonexistent/b\nCOM4=/nonexistent/c\n")
                    .arg(QString::fromStdString(r2.SlavePath())));
    env.m_store.WriteDword("LinkTestApp", "com", 2);
    auto t = std::make_unique<ViewUnderTest>();
    bool enabled = false, checked = false;
    QString note;
    bool accept = false;
    SetDialogHook([&](QDialog* d) {
        auto* c = static_cast<CComSetupDlg*>(d);
        enabled = c->PortButton(1)->isEnabled();
        checked = c->PortButton(1)->isChecked();
        note = c->PortNote()->isHidden() ? QString() : c->PortNote()->text();
        if (accept)
            c->accept();
        else
            c->reject();
        return c->result();
    });

    // Free: COM2 can be opened.
    t->link->OnComSetup();
    QVERIFY(enabled);

    // Held by someone else: greyed out at the next opening. As the window's
    // port it is not shown checked (never a checked, greyed button); a note
    // says why, and OK keeps the port in use and the stored choice.
    {
        CSerialPort holder;
        QVERIFY(holder.Open(r2.SlavePath()));
        accept = true;
        t->link->OnComSetup();
        QVERIFY(!enabled);
        QVERIFY(!checked);
        QVERIFY2(note.contains(QLatin1String("COM2")), qPrintable(note));
        QCOMPARE(t->link->Session()->m_strPort, QString("com2"));
        QCOMPARE(env.m_store.ReadDword("LinkTestApp", "com").value_or(0), 2u);
    }
    // Released: probed afresh, checked again, no note.
    accept = false;
    t->link->OnComSetup();
    QVERIFY(enabled);
    QVERIFY(checked);
    QVERIFY(note.isEmpty());

    // A stored value outside 1..4 counts as COM1, never as "com0"; COM1 cannot
    // be opened here, so OK keeps the port in use.
    for (std::uint32_t odd : {0u, 9u}) {
        env.m_store.WriteDword("LinkTestApp", "com", odd);
        t = std::make_unique<ViewUnderTest>();
        accept = true;
        t->link->OnComSetup();
        QVERIFY2(note.contains(QLatin1String("COM1")), qPrintable(note));
        QCOMPARE(t->link->Session()->m_strPort, QString("COM1"));
        QCOMPARE(env.m_store.ReadDword("LinkTestApp", "com").value_or(0), odd);
    }
}

void TestLink::comSetupHelp()
{
    LinkEnv env;
    ViewUnderTest t;
    CComSetupDlg* dlg = t.link->ComSetupDlg();
    QList<int> contexts;
    connect(dlg, &CComSetupDlg::HelpRequested, [&](int c) { contexts << c; });
    SetDialogHook([&](QDialog* d) {
        d->show();
        QTest::keyClick(static_cast<CComSetupDlg*>(d)->PortButton(0), Qt::Key_F1);
        d->hide();
        return int(QDialog::Rejected);
    });
    t.link->OnComSetup();
    QCOMPARE(contexts, QList<int>{32777});
}

QTEST_MAIN(TestLink)
#include "tst_link.moc"
