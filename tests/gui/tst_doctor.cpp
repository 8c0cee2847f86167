// Setup > Check Connection... in the whole program against simulated radios on
// pseudo-terminals: the verdict the user reads, the check and the transfers
// kept off each other's port, Find my cable with a device that appears, and
// the failed handshake's message that leads to the check.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <climits>
#include <fstream>
#include <memory>
#include <sstream>

#include "tests/gui/support/RadioOnPty.h"
#include "core/app/SettingsStore.h"
#include "core/link/SimulatedRadio.h"
#include "core/link/Trace.h"
#include "core/radio/DatFile.h"
#include "gui/ProgramApp.h"
#include "gui/app/AppContext.h"
#include "gui/app/CommandIds.h"
#include "gui/app/StringTable.h"
#include "gui/editor/ProgramView.h"
#include "gui/frame/ChildFrame.h"
#include "gui/frame/MainFrame.h"
#include "gui/link/ComSetupDlg.h"
#include "gui/link/CheckConnectionDlg.h"
#include "gui/link/LinkController.h"
#include "gui/link/LinkSession.h"
#include "gui/link/TransferWorker.h"
#include "gui/link/ProcessDlg.h"
#include "tests/gui/support/ProgramFixture.h"

namespace {

Image Sample()
{
    Image img{};
    LoadDatFile(PROG_SOURCE_DIR "/res/samples/sample.dat", img);
    return img;
}

// Enter in the port's box runs the check; true once it has ended.
bool RunCheck(CCheckConnectionDlg* c)
{
    QSignalSpy ended(c, &CCheckConnectionDlg::CheckEnded);
    QTest::keyClick(c->PortBox(), Qt::Key_Return);
    return ended.count() > 0 || ended.wait(20000);
}

QString Shown(const CCheckConnectionDlg* c) { return c->Result()->toPlainText(); }

}  // namespace

class TestDoctor : public ProgramFixture {
    Q_OBJECT

private:
    std::vector<std::unique_ptr<CSimulatedRadio>> m_radios;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<DialogRecorder> m_dialogs;

    // One simulated radio per fault set, on COM1, COM2, ...
    void Start(const std::vector<RadioFaults>& radios)
    {
        QByteArray ports = "\r\n[Ports]\r\n";
        for (const RadioFaults& f : radios) {
            m_radios.push_back(std::make_unique<CSimulatedRadio>());
            CSimulatedRadio& r = *m_radios.back();
            OPEN_SIMULATED_RADIO(r);
            r.SetMemory(Sample());
            r.SetFaults(f);
            r.Start();
            ports += "COM" + QByteArray::number(static_cast<int>(m_radios.size())) + "=" +
                     QByteArray::fromStdString(r.SlavePath()) + "\r\n";
        }
        ShellIni ini;
        ini.extra = ports;
        QVERIFY(NewProgramDir(ini));
        KeepDataInDir();
        m_messages = std::make_unique<MessageRecorder>();
        m_dialogs = std::make_unique<DialogRecorder>();
        QVERIFY(StartProgram());
        QVERIFY(ShowFrame());
    }

    // Setup > Check Connection... with `drive` as the user's hands in the dialog.
    void OpenCheck(const std::function<void(CCheckConnectionDlg*)>& drive)
    {
        QVERIFY(m_frame->Menu(QStringLiteral("SetupMenu"))->actions().contains(m_frame->Action(ID_CHECK_CONNECTION)));
        QVERIFY(m_frame->Action(ID_CHECK_CONNECTION)->isEnabled());
        m_dialogs->handler = [&](QDialog* d) {
            auto* c = qobject_cast<CCheckConnectionDlg*>(d);
            if (!c)
                return int(QDialog::Rejected);
            c->show();
            drive(c);
            if (c->isVisible())
                c->done(QDialog::Rejected);
            return c->result();
        };
        m_frame->Action(ID_CHECK_CONNECTION)->trigger();
    }

    QString Texts() const
    {
        QStringList t;
        for (const MessageRequest& r : m_messages->requests)
            t << r.text;
        return t.join(QLatin1Char('|'));
    }

private slots:
    void initTestCase() { SKIP_CLASS_WITHOUT_PTY(); }
    void cleanup() override
    {
        ProgramFixture::cleanup();
        m_radios.clear();
        m_dialogs.reset();
        m_messages.reset();
    }

    // The verdict as the user reads it, for a radio that is off, a cable that
    // echoes, a radio that answers and one that answers each byte late (its
    // delay measured, as progtool doctor tells it); the radio's memory is never touched.
    void verdicts_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("delay");
        QTest::addColumn<QString>("reads");
        QTest::newRow("silent") << 0 << 0 << QStringLiteral("nothing comes back: the radio does not answer");
        QTest::newRow("echo") << 1 << 0 << QStringLiteral("the cable is connected but the radio is not answering");
        QTest::newRow("answers") << 2 << 0 << QStringLiteral("54 52 35 56 00 01 02 03");
        const QString late = QStringLiteral("the radio answers too late: the entry code's acknowledgement came after ");
        QTest::newRow("600 ms late") << 2 << 600 << late + QStringLiteral("60");
        QTest::newRow("1500 ms late") << 2 << 1500 << late + QStringLiteral("150");
    }
    void verdicts()
    {
        QFETCH(int, fault);
        QFETCH(int, delay);
        QFETCH(QString, reads);
        RadioFaults f;
        f.silent = fault == 0;
        f.echo = fault == 1;
        f.replyDelayMs = delay;
        Start({f});
        QString port, device, shown;
        OpenCheck([&](CCheckConnectionDlg* c) {
            port = c->PortBox()->currentText();
            device = c->PortDevice()->text();
            QVERIFY(RunCheck(c));
            shown = Shown(c);
        });
        QCOMPARE(port, QStringLiteral("COM1"));
        QVERIFY2(device.contains(QString::fromStdString(m_radios[0]->SlavePath())), qPrintable(device));
        QVERIFY2(shown.contains(reads), qPrintable(shown));
        // The window's advice names its own button, not the tool's command.
        QVERIFY2(!shown.contains(QStringLiteral("progtool")), qPrintable(shown));
        QVERIFY2(fault != 0 || shown.contains(QStringLiteral("the Find my cable button")), qPrintable(shown));
        QVERIFY(m_radios[0]->Memory() == Sample());
        QVERIFY(m_radios[0]->FrameLog().empty());
        QVERIFY2(m_messages->requests.isEmpty(), qPrintable(Texts()));
    }

    // A check is not started on the port a transfer holds; a transfer is not
    // started on the port a check holds, which Escape stops; Escape again closes.
    void checkAndTransferKeepOffEachOther()
    {
        RadioFaults slow, silent;
        slow.replyDelayMs = 1;
        silent.silent = true;
        Start({slow, silent});
        CLinkController* link = m_frame->ActiveLink();
        link->OnRead();
        QPointer<CProcessDlg> process = link->ProcessDlg();
        QTest::keyClick(process, Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([&] { return process->GetPos() >= 10; }, 20000));
        QString refused;
        OpenCheck([&](CCheckConnectionDlg* c) {
            QVERIFY(RunCheck(c));
            refused = Shown(c);
        });
        QVERIFY2(refused.contains(QStringLiteral("is in use by a transfer in this program")), qPrintable(refused));
        QVERIFY(link->IsTransferring());
        QVERIFY(QTest::qWaitFor([&] { return !link->IsTransferring(); }, 30000));
        QVERIFY2(m_messages->requests.isEmpty(), qPrintable(Texts()));

        // The read's own window is in front now.
        link = m_frame->ActiveLink();
        link->Session()->FollowPort(QStringLiteral("COM2"));
        QString stopped;
        bool stayed = false, closed = false;
        OpenCheck([&](CCheckConnectionDlg* c) {
            QSignalSpy ended(c, &CCheckConnectionDlg::CheckEnded);
            QTest::keyClick(c->PortBox(), Qt::Key_Return);
            QVERIFY(QTest::qWaitFor([&] { return m_radios[1]->EntryCodesSeen() >= 1; }, 10000));
            // The Process window's OK while the check runs: refused, said why.
            link->OnRead();
            QTest::keyClick(link->ProcessDlg(), Qt::Key_Return);
            QVERIFY(QTest::qWaitFor([&] { return !m_messages->requests.isEmpty(); }, 5000));
            QVERIFY(!link->IsTransferring());
            QTest::keyClick(c, Qt::Key_Escape);
            QVERIFY(ended.count() > 0 || ended.wait(5000));
            stopped = Shown(c);
            stayed = c->isVisible();
            QTest::keyClick(c, Qt::Key_Escape);
            closed = !c->isVisible();
        });
        QVERIFY2(stopped.contains(QStringLiteral("was stopped")), qPrintable(stopped));
        QVERIFY(stayed && closed);
        QCOMPARE(m_messages->requests.size(), 1);
        QVERIFY2(m_messages->requests[0].text.contains(QStringLiteral("is being checked by Check Connection")),
                 qPrintable(Texts()));
    }

    // The failed handshake's Retry/Cancel message keeps its text and buttons,
    // points to the check and offers it; pressed, the transfer ends and the
    // check runs on its port. The trace of the attempts is kept.
    void failedHandshakeLeadsToTheCheck()
    {
        RadioFaults silent;
        silent.silent = true;
        Start({silent});
        m_messages->answer = QMessageBox::Help;
        QString port, shown;
        m_dialogs->handler = [&](QDialog* d) {
            if (auto* c = qobject_cast<CCheckConnectionDlg*>(d)) {
                c->show();
                QSignalSpy ended(c, &CCheckConnectionDlg::CheckEnded);
                if (ended.wait(10000))
                    shown = Shown(c);
                port = c->PortBox()->currentText();
            }
            return int(QDialog::Rejected);
        };
        m_frame->ActiveLink()->OnRead();
        QTest::keyClick(m_frame->ActiveLink()->ProcessDlg(), Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([&] { return !port.isEmpty(); }, 30000));
        QCOMPARE(port, QStringLiteral("COM1"));
        QVERIFY2(shown.contains(QStringLiteral("nothing comes back")), qPrintable(shown));
        QCOMPARE(m_messages->requests.size(), 1);
        const MessageRequest& m = m_messages->requests[0];
        QVERIFY(m.text.startsWith(LoadStringRes(61451) + QLatin1Char('\n')));
        QVERIFY2(m.text.contains(QStringLiteral("Setup > Check Connection...")), qPrintable(m.text));
        QCOMPARE(m.buttons, QMessageBox::Retry | QMessageBox::Cancel | QMessageBox::Help);
        QCOMPARE(m.helpButton, QStringLiteral("C&heck Connection..."));
        QCOMPARE(m_radios[0]->EntryCodesSeen(), 15 + kDoctorAttempts);
        QVERIFY(!m_frame->ActiveLink()->IsTransferring());

        const QString kept = QString::fromStdString(KeptTracePath());
        QVERIFY2(m.detail.contains(kept), qPrintable(m.detail));
        std::ifstream in(KeptTracePath());
        std::stringstream text;
        text << in.rdbuf();
        std::vector<TraceRecord> records;
        std::string error;
        QVERIFY2(ParseTrace(text, records, error), error.c_str());
        int entryCodes = 0;
        for (const TraceFrame& f : DecodeTrace(records))
            entryCodes += f.kind == TraceFrameKind::EntryCode;
        QCOMPARE(entryCodes, 15);
    }

    // Find my cable: Escape ends the watch; unplugged, then a device appears
    // and is in the port's box at once, so that Check checks it. Use this port
    // makes it the window's port and COM Setup's choice. Its by-id name, with
    // markup and a control byte in it, is shown as it is (the byte escaped)
    // wherever the window names it: the dialog, the status bar, COM Setup,
    // the read's banner, status and message. F1 opens the dialog's help.
    void findMyCable()
    {
        RadioFaults silent, slow;
        silent.silent = true;
        slow.replyDelayMs = 1;
        Start({silent, slow});
        QTemporaryDir root;
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("dev/serial/by-id"))));
        qputenv("PROG_DEVICE_ROOT", QFile::encodeName(root.path()));
        const QString name = QStringLiteral("usb-<i>Evil&amp;<u>x\\x1b[2J-if00-port0");
        const QString link = root.filePath(QStringLiteral("dev/serial/by-id/usb-<i>Evil&amp;<u>x\x1b[2J-if00-port0"));
        QList<int> help;
        QString cancelled, step2, found, boxed, checked;
        bool useStays = false;
        OpenCheck([&](CCheckConnectionDlg* c) {
            connect(c, &CCheckConnectionDlg::HelpRequested, this, [&](int context) { help << context; });
            QTest::keyClick(c, Qt::Key_F1);
            QTest::keyClick(c->FindButton(), Qt::Key_Space);
            QVERIFY(c->IsFinding() && c->NextButton()->isVisible());
            QTest::keyClick(c, Qt::Key_Escape);
            QVERIFY(!c->IsFinding() && c->isVisible());
            cancelled = Shown(c);

            QTest::keyClick(c->FindButton(), Qt::Key_Space);
            QTest::keyClick(c, Qt::Key_Return);  // Next: the cable was unplugged already
            step2 = c->StepLabel()->text();
            QVERIFY(QFile::link(QString::fromStdString(m_radios[1]->SlavePath()), link));
            QVERIFY(QTest::qWaitFor([&] { return c->UseButton()->isVisible(); }, 3000));
            found = Shown(c);
            boxed = c->PortBox()->currentText();
            QSignalSpy ended(c, &CCheckConnectionDlg::CheckEnded);
            QTest::mouseClick(c->CheckButton(), Qt::LeftButton);
            QVERIFY(ended.count() > 0 || ended.wait(20000));
            checked = Shown(c);
            useStays = c->UseButton()->isVisible() && c->UseButton()->isEnabled();
            QTest::mouseClick(c->UseButton(), Qt::LeftButton);
        });
        QCOMPARE(help, QList<int>{ID_CHECK_CONNECTION});
        QVERIFY2(!cancelled.isEmpty(), qPrintable(cancelled));
        QVERIFY2(step2.startsWith(QStringLiteral("Step 2 of 2")), qPrintable(step2));
        QVERIFY2(found.contains(name) && !found.contains(QChar(0x1b)), qPrintable(found));
        QVERIFY2(boxed.endsWith(name), qPrintable(boxed));
        QVERIFY2(checked.contains(QStringLiteral("54 52 35 56 00 01 02 03")), qPrintable(checked));
        QVERIFY(useStays);
        QCOMPARE(m_frame->ActiveLink()->Session()->m_strPort, link);
        QCOMPARE(QString::fromStdString(m_store.ReadString("TanagerTest", kSettingDevice).value_or("")), link);

        const auto plain = [&](const QString& shown) { return shown.contains(name) && !shown.contains(QChar(0x1b)); };
        QVERIFY2(plain(Rendered(m_frame->PortIndicator())), qPrintable(Rendered(m_frame->PortIndicator())));
        QString state;
        m_dialogs->handler = [&](QDialog* d) {
            if (auto* c = qobject_cast<CComSetupDlg*>(d))
                state = Rendered(c->DeviceState());
            return int(QDialog::Rejected);
        };
        m_frame->Action(ID_COM_SETUP)->trigger();
        QVERIFY2(plain(state) && state.endsWith(QStringLiteral(" can be opened.")), qPrintable(state));

        // A read there, stopped: its banner, the status bar and the message.
        CLinkController* read = m_frame->ActiveLink();
        read->OnRead();
        QPointer<CProcessDlg> process = read->ProcessDlg();
        QTest::keyClick(process, Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([&] { return process->GetPos() >= 10; }, 20000));
        const QString banner = Rendered(m_frame->ActiveChildFrame()->GetView()->ReadOnlyBanner());
        QTest::keyClick(process, Qt::Key_Escape);
        QVERIFY(QTest::qWaitFor([&] { return !read->IsTransferring(); }, 20000));
        QVERIFY2(plain(banner) && banner.startsWith(QStringLiteral("Reading from")), qPrintable(banner));
        const QString status = Rendered(m_frame->StatusText());
        QVERIFY2(plain(status) && status.endsWith(QStringLiteral(" did not complete.")), qPrintable(status));
        QCOMPARE(m_messages->requests.size(), 1);
        const QString message = RenderedMessage(m_messages->requests[0]);
        QVERIFY2(plain(message) && message.contains(QStringLiteral("was stopped")), qPrintable(message));
    }
};

QTEST_MAIN(TestDoctor)
#include "tst_doctor.moc"
