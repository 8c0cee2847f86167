// Safe transfers in the whole program against simulated radios on
// pseudo-terminals: a read opens a new untitled document and keeps a backup,
// Write backs the radio up and verifies, the document is read-only meanwhile,
// the serial trace, File > Backups... and COM Setup's device list.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>
#include <memory>

#include "tests/gui/support/RadioOnPty.h"
#include "core/link/Backups.h"
#include "core/link/RadioCheck.h"
#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "core/link/SerialPort.h"
#include "core/link/SimulatedRadio.h"
#include "core/link/Trace.h"
#include "core/radio/DatFile.h"
#include "gui/ProgramApp.h"
#include "gui/app/AppContext.h"
#include "gui/app/CommandIds.h"
#include "gui/app/StringTable.h"
#include "gui/editor/MSFlexGrid.h"
#include "gui/editor/ProgramView.h"
#include "gui/frame/ChildFrame.h"
#include "gui/frame/MDIClientWnd.h"
#include "gui/frame/MainFrame.h"
#include "gui/link/BackupsDlg.h"
#include "gui/link/ComSetupDlg.h"
#include "gui/link/LinkController.h"
#include "gui/link/LinkSession.h"
#include "gui/link/LinkSettings.h"
#include "gui/link/TransferWorker.h"
#include "gui/link/ProcessDlg.h"
#include "gui/radio/ProgramDoc.h"
#include "tests/gui/support/ProgramFixture.h"

namespace {

Image Sample()
{
    Image img{};
    LoadDatFile(PROG_SOURCE_DIR "/res/samples/sample.dat", img);
    return img;
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Image LoadImage(const QString& path)
{
    Image img{};
    LoadDatFile(QFile::encodeName(path).toStdString(), img);
    return img;
}

}  // namespace

class TestXfer : public ProgramFixture {
    Q_OBJECT

private:
    std::unique_ptr<CSimulatedRadio> m_radio;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<DialogRecorder> m_dialogs;

    // The radio answers on radioPort; `ports` adds further [Ports] lines.
    void Start(const RadioFaults& faults = {}, const QByteArray& ports = {}, const QByteArray& radioPort = "COM1")
    {
        m_radio = std::make_unique<CSimulatedRadio>();
        OPEN_SIMULATED_RADIO(*m_radio);
        m_radio->SetMemory(Sample());
        m_radio->SetFaults(faults);
        m_radio->Start();
        ShellIni ini;
        ini.extra =
            "\r\n[Ports]\r\n" + radioPort + "=" + QByteArray::fromStdString(m_radio->SlavePath()) + "\r\n" + ports;
        QVERIFY(NewProgramDir(ini));
        KeepDataInDir();
        m_messages = std::make_unique<MessageRecorder>();
        m_dialogs = std::make_unique<DialogRecorder>();
        QVERIFY(StartProgram());
        QVERIFY(ShowFrame());
    }

    CProcessDlg* Process() { return m_frame->ActiveLink()->ProcessDlg(); }

    // Read or Write from the menu; `ready` sees the waiting window, then OK.
    void Begin(int command, const std::function<void(CProcessDlg*)>& ready = {})
    {
        m_frame->Action(command)->trigger();
        CProcessDlg* dlg = Process();
        QVERIFY(dlg->IsWindow());
        if (ready)
            ready(dlg);
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
    }
    void Run(int command, const std::function<void(CProcessDlg*)>& ready = {})
    {
        QPointer<CProcessDlg> dlg = Process();
        Begin(command, ready);
        QVERIFY(QTest::qWaitFor([&] { return !dlg || !dlg->IsWindow(); }, 30000));
        CTransferWorker::WaitForAll();
    }
    QString Texts() const
    {
        QStringList t;
        for (const MessageRequest& r : m_messages->requests)
            t << r.text + QStringLiteral(" / ") + r.detail;
        return t.join(QLatin1Char('|'));
    }

private slots:
    void initTestCase() { SKIP_CLASS_WITHOUT_PTY(); }
    void cleanup() override
    {
        ProgramFixture::cleanup();
        m_radio.reset();
        m_dialogs.reset();
        m_messages.reset();
    }

    void readOpensANewDocumentAndKeepsABackup()
    {
        Start();
        const QString mine = m_dir->FilePath(QStringLiteral("mine.dat"));
        QVERIFY(SaveDatFile(QFile::encodeName(mine).toStdString(), NewDocumentImage()).ok);
        QVERIFY(m_frame->OpenDocumentFile(mine));
        CChildFrame* opened = m_frame->ActiveChildFrame();
        const QByteArray before = FileBytes(mine);
        Run(ID_READ);
        QVERIFY2(m_messages->requests.isEmpty(), qPrintable(Texts()));

        // A window of its own, untitled, beside the new document of the start
        // and the file's; the file's window stays as it was.
        QCOMPARE(m_frame->ChildFrames().size(), 3);
        CProgramDoc* read = m_frame->ActiveDocument();
        QVERIFY(m_frame->ActiveChildFrame() != opened && opened->isVisible());
        QCOMPARE(read->GetTitle(), QString("Test Tool - radio on COM1"));
        QCOMPARE(m_frame->ActiveChildFrame()->windowTitle(), read->GetTitle());
        QVERIFY(!read->HasFilePath());
        QCOMPARE(opened->GetDocument()->GetPathName(), mine);
        QVERIFY(m_frame->StatusText()->text().startsWith(QStringLiteral("Read the radio on COM1 in ")));
        QVERIFY(m_frame->PortIndicator()->text().contains(QString::fromStdString(m_radio->SlavePath())));

        // The backup holds exactly what the radio sent.
        const std::vector<BackupInfo> backups = ListBackups(QFile::encodeName(BackupFolder()).toStdString());
        QCOMPARE(backups.size(), std::size_t{1});
        QVERIFY(LoadImage(QString::fromStdString(backups[0].path)) == m_radio->Memory());
        QCOMPARE(backups[0].port, std::string("COM1"));

        // Ctrl+S offers Save As; the file that was open is untouched.
        bool saveAs = false;
        m_dialogs->handler = [&](QDialog* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            saveAs = fd && fd->acceptMode() == QFileDialog::AcceptSave;
            return int(QDialog::Rejected);
        };
        QTest::keyClick(m_frame->ActiveView(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(saveAs);
        QCOMPARE(FileBytes(mine), before);

        // File > Backups... lists it, and one an earlier version kept under its
        // old folder name; pinned, then opened as another untitled document.
        QVERIFY(QDir().mkpath(m_dir->FilePath(QStringLiteral("data/Program/backups"))));
        QVERIFY(QFile::copy(QString::fromStdString(backups[0].path),
                            m_dir->FilePath(QStringLiteral("data/Program/backups/20200101-120000-COM2.dat"))));
        int rows = 0;
        QString channels, names, earlier;
        m_dialogs->handler = [&](QDialog* d) {
            auto* b = qobject_cast<CBackupsDlg*>(d);
            rows = b->List()->topLevelItemCount();
            earlier = rows > 1 ? b->List()->topLevelItem(1)->text(CBackupsDlg::kColPort) : QString();
            QTreeWidgetItem* item = b->List()->topLevelItem(0);
            channels = item->text(CBackupsDlg::kColChannels);
            names = item->text(CBackupsDlg::kColNames);
            item->setCheckState(CBackupsDlg::kColPinned, Qt::Checked);
            QTest::mouseClick(b->OpenButton(), Qt::LeftButton);
            return b->result();
        };
        m_frame->Action(ID_FILE_BACKUPS)->trigger();
        QCOMPARE(rows, 2);
        QCOMPARE(earlier, QStringLiteral("COM2"));
        QCOMPARE(channels, QString::number(backups[0].channels));
        QVERIFY2(names.startsWith(QStringLiteral("CALL")), qPrintable(names));
        QVERIFY(IsBackupPinned(backups[0].path));
        QCOMPARE(m_frame->ChildFrames().size(), 4);
        QVERIFY(m_frame->ActiveDocument()->GetTitle().startsWith(QStringLiteral("Test Tool - backup of COM1, ")));
        QVERIFY(m_frame->ActiveDocument()->GetImage() == read->GetImage());
    }

    void writeWithBackupAndVerify_data()
    {
        QTest::addColumn<int>("fault");  // 0 none, 1 a lost write frame, 2 the line cut at frame 300
        QTest::addColumn<bool>("backupFirst");
        QTest::newRow("verified, backed up first") << 0 << true;
        QTest::newRow("radio loses a frame") << 1 << false;
        QTest::newRow("write cut") << 2 << false;
    }
    void writeWithBackupAndVerify()
    {
        QFETCH(int, fault);
        QFETCH(bool, backupFirst);
        RadioFaults f;
        // Frames count from the handshake of the write (a backup read has its own).
        f.loseWriteAtFrame = fault == 1 ? 2 : -1;
        f.dropAtFrame = fault == 2 ? 300 : -1;
        Start(f);
        const Image old = m_radio->Memory();
        // An edit of the user's, in no file: a write is no save.
        QApplication::setActiveWindow(m_frame);
        QVERIFY(QTest::qWaitForWindowActive(m_frame));
        CMSFlexGrid& grid = m_frame->ActiveView()->Grid();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(6, kColRxFreq).center());
        for (QChar c : QStringLiteral("146.5\r"))
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
        bool backupDefault = false, verifyDefault = false;
        Run(ID_WRITE, [&](CProcessDlg* dlg) {
            backupDefault = dlg->BackupFirstBox()->isChecked() && dlg->BackupFirstBox()->isVisible();
            verifyDefault = dlg->VerifyBox()->isChecked();
            if (!backupFirst)
                QTest::mouseClick(dlg->BackupFirstBox(), Qt::LeftButton);
        });
        QVERIFY(backupDefault && verifyDefault);
        const std::vector<BackupInfo> backups = ListBackups(QFile::encodeName(BackupFolder()).toStdString());
        QCOMPARE(backups.size(), std::size_t{backupFirst ? 1u : 0u});
        if (fault == 0) {
            QVERIFY2(m_messages->requests.isEmpty(), qPrintable(Texts()));
            QVERIFY(LoadImage(QString::fromStdString(backups[0].path)) == old);
            // The frames read again before the write tell it is still the radio backed up.
            QCOMPARE(m_radio->FrameLog().size(), 1024 + RadioCheckFrames().size() + 1023 + 1024);
            QVERIFY2(m_frame->StatusText()->text().contains(QStringLiteral("verified")),
                     qPrintable(m_frame->StatusText()->text()));
            // The radio on the cable now may be another one than the radio just
            // read (a clone written after a swap): the next Write offers its backup again.
            m_frame->Action(ID_WRITE)->trigger();
            QVERIFY(Process()->BackupFirstBox()->isChecked());
            Process()->OnCancel();
        } else if (fault == 1) {
            QCOMPARE(m_messages->requests.size(), 1);
            const MessageRequest& m = m_messages->requests[0];
            QVERIFY2(m.text.contains(QStringLiteral("\nchannel 1: Rx Frequency, Tx Frequency\n")), qPrintable(m.text));
            QVERIFY2(m.detail.contains(QStringLiteral("(0x0010-0x0017)")), qPrintable(m.detail));
            QVERIFY(m_frame->StatusText()->text().contains(QStringLiteral("the verify found 1 difference")));
        } else {
            // A cut write is told how far it went; there is nothing to verify.
            QCOMPARE(m_messages->requests.size(), 1);
            QCOMPARE(m_messages->requests[0].text, LoadStringRes(61454));
            QVERIFY(m_messages->requests[0].detail.contains(QStringLiteral("300 of 1023 frames")));
            QVERIFY(m_frame->StatusText()->text().contains(QStringLiteral("did not complete")));
        }
        // Whatever the write did, the edit is still unsaved, and Exit asks about it.
        QCOMPARE(grid.GetTextMatrix(6, kColRxFreq), QStringLiteral("146.50000"));
        QCOMPARE(m_frame->ActiveChildFrame()->windowTitle(), QStringLiteral("Channel Information*"));
        m_frame->Action(ID_APP_EXIT)->trigger();
        QCOMPARE(m_messages->requests.last().text, QStringLiteral("Save changes to Channel Information?"));
        QVERIFY(m_frame->isVisible());
    }

    // A read prunes only the program's own backups beyond the number kept,
    // never a file open in a window, and says what went.
    void backupsOpenInAWindowAreNotPruned()
    {
        m_store.WriteDword("TanagerTest", kSettingBackupKeep, 1);
        Start();
        // Left by an earlier version: the oldest opened from File > Backups...,
        // the next one opened as a file.
        const QString folder = BackupFolder();
        QVERIFY(QDir().mkpath(folder));
        QStringList files;
        for (const char* name : {"20200101-120000-COM1.dat", "20200102-120000-COM1.dat", "20200103-120000-COM1.dat"}) {
            files << folder + QLatin1Char('/') + QLatin1String(name);
            QVERIFY(SaveDatFile(QFile::encodeName(files.last()).toStdString(), Sample()).ok);
        }
        m_dialogs->handler = [&](QDialog* d) {
            auto* b = qobject_cast<CBackupsDlg*>(d);
            b->List()->setCurrentItem(b->List()->topLevelItem(2));  // newest first
            QTest::mouseClick(b->OpenButton(), Qt::LeftButton);
            return b->result();
        };
        m_frame->Action(ID_FILE_BACKUPS)->trigger();
        QVERIFY(m_frame->OpenDocumentFile(files[1]));
        Run(ID_READ);
        QVERIFY2(m_messages->requests.isEmpty(), qPrintable(Texts()));
        QVERIFY(QFile::exists(files[0]) && QFile::exists(files[1]));
        QVERIFY(!QFile::exists(files[2]));
        const QString status = m_frame->StatusText()->text();
        QVERIFY2(status.endsWith(QStringLiteral(" Removed the old backup(s) 20200103-120000-COM1.dat: only the newest "
                                                "1 are kept.")),
                 qPrintable(status));
    }

    // A radio swapped for another once it was backed up is not written: the
    // user is told a radio was changed; the other radio keeps its memory.
    void aRadioSwappedAfterItsBackupIsNotWritten()
    {
        Start();
        Image other = Sample();
        other[mem::kSquelch] = 7;
        m_radio->SwapAfterRead(other);
        Run(ID_WRITE);
        QCOMPARE(m_messages->requests.size(), 1);
        const QString text = m_messages->requests[0].text;
        QVERIFY2(text.startsWith(QStringLiteral("A radio was changed: the radio on COM1 is not the one just backed "
                                                "up. Nothing was written to it, and its memory has no backup.\n"
                                                "It differs from the backup in: Squelch Level")),
                 qPrintable(text));
        QVERIFY(m_radio->Memory() == other);
        for (const RadioFrame& f : m_radio->FrameLog())
            QVERIFY(f.command != 'W');
        QCOMPARE(m_frame->StatusText()->text(), QStringLiteral("Nothing was written to the radio on COM1."));
    }

    void backupFolderThatCannotBeMade()
    {
        Start();
        const QString file = m_dir->WriteFile(QStringLiteral("plain"), "x");
        qputenv("XDG_DATA_HOME", QFile::encodeName(file));
        Run(ID_READ);
        // The read completes; the user is told where the backup failed and why.
        QCOMPARE(m_frame->ChildFrames().size(), 2);
        QCOMPARE(m_messages->requests.size(), 1);
        QVERIFY2(m_messages->requests[0].text.contains(BackupFolder()), qPrintable(Texts()));
        QVERIFY2(m_messages->requests[0].detail.contains(QStringLiteral("Not a directory")), qPrintable(Texts()));
    }

    void serialTrace()
    {
        Start();
        QDir(m_dir->Path()).mkpath(QStringLiteral("logs"));
        const QString trace = m_dir->FilePath(QStringLiteral("logs/link.trace"));
        m_dialogs->handler = [&](QDialog* d) {
            static_cast<QFileDialog*>(d)->selectFile(trace);
            return int(QDialog::Accepted);
        };
        m_frame->Action(ID_LOG_SERIAL)->trigger();
        QVERIFY(m_frame->Action(ID_LOG_SERIAL)->isChecked());
        QCOMPARE(TracePath(), trace);
        Run(ID_READ);
        std::ifstream in(QFile::encodeName(trace).toStdString());
        std::vector<TraceRecord> records;
        std::string error;
        QVERIFY2(ParseTrace(in, records, error), error.c_str());
        int requests = 0;
        for (const TraceFrame& f : DecodeTrace(records))
            requests += f.kind == TraceFrameKind::ReadRequest;
        QCOMPARE(requests, 1024);

        // The file's folder gone: the next transfer does not start, and says why.
        QDir(m_dir->FilePath(QStringLiteral("logs"))).removeRecursively();
        const std::uint64_t sent = m_radio->BytesReceived();
        Run(ID_READ);
        QCOMPARE(m_radio->BytesReceived(), sent);
        QCOMPARE(m_messages->requests.size(), 1);
        QVERIFY(m_messages->requests[0].text.contains(QStringLiteral("not started")));
        QVERIFY(m_messages->requests[0].detail.startsWith(trace));
    }

    void documentReadOnlyWhileTransferring()
    {
        RadioFaults slow;
        slow.replyDelayMs = 2;
        Start(slow);
        CProgramView* view = m_frame->ActiveView();
        CProgramDoc* doc = m_frame->ActiveDocument();
        const Image before = doc->GetImage();
        Begin(ID_READ);
        CProcessDlg* dlg = Process();
        QVERIFY(QTest::qWaitFor([dlg] { return dlg->GetPos() >= 20; }, 20000));

        QVERIFY(view->ReadOnlyBanner()->isVisible());
        QVERIFY(view->ReadOnlyBanner()->text().startsWith(QStringLiteral("Reading from the radio on COM1")));
        QVERIFY(view->BandEdit(IDC_VHF_LOW)->isReadOnly());
        view->Grid().SetRow(3);
        view->Grid().SetCol(1);
        QTest::keyClick(&view->Grid(), Qt::Key_1);
        QVERIFY(view->OpenEditor() == nullptr);
        m_dialogs->handler = [](QDialog* d) {
            d->accept();  // OK is refused while the read runs
            return d->result();
        };
        m_frame->Action(ID_OPTION_FEATURES)->trigger();
        QCOMPARE(m_messages->requests.size(), 1);
        QCOMPARE(m_messages->requests[0].text, doc->ReadOnlyReason());
        // The editing commands change nothing either, from the keys or the menu.
        QApplication::clipboard()->setText(QStringLiteral("146.52000\t146.52000"));
        const QString cell = view->Grid().GetTextMatrix(2, 1);
        for (int id : {ID_EDIT_PASTE, ID_EDIT_UNDO, ID_CHANNEL_DELETE, ID_SORT_RX})
            QVERIFY2(!m_frame->Action(id)->isEnabled(), qPrintable(QString::number(id)));
        view->Grid().SetRow(2);
        QTest::keyClick(&view->Grid(), Qt::Key_Delete);
        view->OnEditPaste();
        QCOMPARE(m_messages->requests.size(), 3);
        QCOMPARE(m_messages->requests[2].text, doc->ReadOnlyReason());
        QCOMPARE(view->Grid().GetTextMatrix(2, 1), cell);

        // What the Process window says meanwhile.
        QCOMPARE(dlg->InstructionText()->text(),
                 QString("Keep the radio on and the cable connected until this window closes."));
        QCOMPARE(dlg->OperationText()->text(),
                 QString("Reading from COM1 (%1)").arg(QString::fromStdString(m_radio->SlavePath())));
        QVERIFY(QTest::qWaitFor([dlg] { return dlg->DetailsText()->text().contains(QStringLiteral("left")); }, 5000));
        QVERIFY2(dlg->DetailsText()->text().contains(
                     QRegularExpression(QStringLiteral("^\\d+%, \\d+ of 8192 bytes, \\d+ bytes/s, \\d+:\\d\\d left$"))),
                 qPrintable(dlg->DetailsText()->text()));

        QVERIFY(QTest::qWaitFor([dlg] { return !dlg->IsWindow(); }, 30000));
        QVERIFY(!view->ReadOnlyBanner()->isVisible());
        QVERIFY(!view->BandEdit(IDC_VHF_LOW)->isReadOnly());
        QVERIFY(doc->GetImage() == before);
    }

    void silentRadioShowsItsAttempts()
    {
        RadioFaults silent;
        silent.silent = true;
        Start(silent);
        m_frame->Action(ID_READ)->trigger();
        CProcessDlg* dlg = Process();
        QCOMPARE(dlg->InstructionText()->text(), QString("Switch the radio on, connect the cable, press OK."));
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor(
            [dlg] { return dlg->AttemptText()->text().contains(QStringLiteral("attempt 3 of 15")); }, 20000));
        QTest::keyClick(dlg, Qt::Key_Escape);
        QVERIFY(QTest::qWaitFor([dlg] { return !dlg->IsWindow(); }, 20000));
    }

    // COM Setup's choice, remembered from an earlier run, is the port of every
    // window; a window read from a radio keeps that radio's port.
    void everyWindowUsesThePortComSetupShows()
    {
        CSimulatedRadio other;
        OPEN_SIMULATED_RADIO(other);
        m_store.WriteDword("TanagerTest", kSettingCom, 3);
        Start({}, "COM2=" + QByteArray::fromStdString(other.SlavePath()) + "\r\n", "COM3");
        const QString com3 = QString::fromStdString(m_radio->SlavePath());
        CChildFrame* first = m_frame->ActiveChildFrame();
        QCOMPARE(m_frame->PortIndicator()->text(), QString("Port: COM3 (%1)").arg(com3));
        Run(ID_READ);
        QVERIFY2(m_messages->requests.isEmpty(), qPrintable(Texts()));
        QCOMPARE(static_cast<int>(m_radio->FrameLog().size()), 1024);
        CChildFrame* radio = m_frame->ActiveChildFrame();
        QCOMPARE(radio->GetDocument()->GetTitle(), QString("Test Tool - radio on COM3"));

        // COM Setup shows the port of the window it is opened from.
        int checked = -1;
        QString note;
        std::function<void(CComSetupDlg*)> answer;
        m_dialogs->handler = [&](QDialog* d) {
            auto* c = static_cast<CComSetupDlg*>(d);
            checked = -1;
            for (int i = 0; i < CComSetupDlg::kPorts; ++i)
                checked = c->PortButton(i)->isChecked() ? i : checked;
            note = c->WindowNote()->isHidden() ? QString() : c->WindowNote()->text();
            c->show();
            answer(c);
            return c->result();
        };
        // COM2 chosen in the first window: it and every window made later use
        // it; the radio's window keeps COM3.
        m_frame->MdiClient()->setActiveSubWindow(first);
        answer = [](CComSetupDlg* c) {
            QTest::mouseClick(c->PortButton(1), Qt::LeftButton);
            QTest::keyClick(c, Qt::Key_Return);
        };
        m_frame->Action(ID_COM_SETUP)->trigger();
        QCOMPARE(checked, 2);
        QVERIFY(note.isEmpty());
        QCOMPARE(m_frame->PortIndicator()->text(),
                 QString("Port: COM2 (%1)").arg(QString::fromStdString(other.SlavePath())));
        QCOMPARE(m_store.ReadDword("TanagerTest", kSettingCom).value_or(0), 2u);

        m_frame->MdiClient()->setActiveSubWindow(radio);
        QCOMPARE(m_frame->PortIndicator()->text(),
                 QString("Port: COM3 (%1), kept for the radio read in this window").arg(com3));
        // Opened there it shows COM3 and why; Cancel changes nothing.
        answer = [](CComSetupDlg* c) { QTest::keyClick(c, Qt::Key_Escape); };
        m_frame->Action(ID_COM_SETUP)->trigger();
        QCOMPARE(checked, 2);
        QCOMPARE(note,
                 QString("This window keeps COM3, the port of the radio read in it. The other windows use COM2."));
        QCOMPARE(radio->GetLink()->Session()->m_strPort, QString("COM3"));
        QCOMPARE(m_store.ReadDword("TanagerTest", kSettingCom).value_or(0), 2u);

        // A new document's window takes COM2.
        m_frame->MdiClient()->setActiveSubWindow(first);
        QTest::keyClick(m_frame, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(m_frame->ActiveChildFrame() != first && m_frame->ActiveChildFrame() != radio);
        QCOMPARE(m_frame->ActiveLink()->Session()->m_strPort, QString("com2"));
    }

    // The status bar tells the transfer of the window in front: running, or
    // how it ended; a window without one is ready.
    void statusBarTellsTheWindowInFront()
    {
        RadioFaults slow;
        slow.replyDelayMs = 1;
        Start(slow);
        CChildFrame* first = m_frame->ActiveChildFrame();
        QLabel* status = m_frame->StatusText();
        QCOMPARE(status->text(), QString("Ready"));
        CChildFrame* other = m_frame->OpenImageDocument(Sample(), QStringLiteral("other"));
        m_frame->MdiClient()->setActiveSubWindow(first);
        Begin(ID_READ);
        CProcessDlg* dlg = Process();
        QVERIFY(QTest::qWaitFor([dlg] { return dlg->GetPos() >= 20; }, 20000));
        const QString reading("Reading from the radio on COM1...");
        QCOMPARE(status->text(), reading);
        m_frame->MdiClient()->setActiveSubWindow(other);
        QCOMPARE(status->text(), QString("Ready"));
        m_frame->MdiClient()->setActiveSubWindow(first);
        QCOMPARE(status->text(), reading);

        // The end: the radio's new window and the one that read it tell it.
        QVERIFY(QTest::qWaitFor([dlg] { return !dlg->IsWindow(); }, 30000));
        const QString read = status->text();
        QVERIFY2(read.startsWith(QStringLiteral("Read the radio on COM1 in ")), qPrintable(read));
        QVERIFY(m_frame->ActiveChildFrame() != first && m_frame->ActiveChildFrame() != other);
        m_frame->MdiClient()->setActiveSubWindow(first);
        QCOMPARE(status->text(), read);
        m_frame->MdiClient()->setActiveSubWindow(other);
        QCOMPARE(status->text(), QString("Ready"));
    }

    // A port held by a transfer of this program is said to be so: in another
    // window a transfer there is not started, and COM Setup in the window
    // itself keeps the port checked.
    void aPortHeldByATransferHereIsToldAsSuch()
    {
        RadioFaults slow;
        slow.replyDelayMs = 1;
        Start(slow);
        CChildFrame* first = m_frame->ActiveChildFrame();
        CChildFrame* other = m_frame->OpenImageDocument(Sample(), QStringLiteral("other"));
        m_frame->MdiClient()->setActiveSubWindow(first);
        Begin(ID_READ);
        CProcessDlg* reading = Process();
        QVERIFY(QTest::qWaitFor([reading] { return reading->GetPos() >= 20; }, 20000));

        m_frame->MdiClient()->setActiveSubWindow(other);
        Begin(ID_WRITE);
        QTRY_VERIFY(!Process()->IsWindow());
        QVERIFY(!other->GetLink()->IsTransferring());
        QCOMPARE(m_messages->requests.size(), 1);
        const QString told = m_messages->requests[0].text;
        QVERIFY2(told.startsWith(QStringLiteral("COM1 (")) &&
                     told.contains(QStringLiteral(") is in use by a transfer in another window of this program "
                                                  "(Channel Information).")),
                 qPrintable(told));

        m_frame->MdiClient()->setActiveSubWindow(first);
        bool checked = false;
        QString note;
        m_dialogs->handler = [&](QDialog* d) {
            auto* dlg = static_cast<CComSetupDlg*>(d);
            checked = dlg->PortButton(0)->isChecked() && dlg->PortButton(0)->isEnabled();
            note = dlg->PortNote()->isHidden() ? QString() : dlg->PortNote()->text();
            return int(QDialog::Rejected);
        };
        m_frame->Action(ID_COM_SETUP)->trigger();
        QVERIFY(checked);
        QCOMPARE(note, QStringLiteral("COM1 is in use by this window."));
        // From the other window: in use here, not by another program.
        m_frame->MdiClient()->setActiveSubWindow(other);
        QString tip;
        m_dialogs->handler = [&](QDialog* d) {
            auto* dlg = static_cast<CComSetupDlg*>(d);
            tip = dlg->PortButton(0)->toolTip();
            note = dlg->PortNote()->isHidden() ? QString() : dlg->PortNote()->text();
            return int(QDialog::Rejected);
        };
        m_frame->Action(ID_COM_SETUP)->trigger();
        QVERIFY2(tip.endsWith(QStringLiteral(": in use by another window's transfer")), qPrintable(tip));
        QCOMPARE(note, QStringLiteral("COM1 is in use by another window."));
        QVERIFY(QTest::qWaitFor([reading] { return !reading->IsWindow(); }, 30000));
    }

    // Back up, write and verify: the Process window names each phase, and its
    // time left is for all three.
    void timeLeftCoversBackupWriteAndVerify()
    {
        RadioFaults slow;
        slow.replyDelayMs = 1;
        Start(slow);
        Begin(ID_WRITE,
              [](CProcessDlg* dlg) { QVERIFY(dlg->BackupFirstBox()->isChecked() && dlg->VerifyBox()->isChecked()); });
        CProcessDlg* dlg = Process();
        QStringList phases;  // each phase's name as it comes
        const auto see = [&] {
            const QString op = dlg->OperationText()->text();
            const int colon = op.indexOf(QLatin1Char(':'));
            if (dlg->IsWindow() && colon > 0 && (phases.isEmpty() || !op.startsWith(phases.last())))
                phases << op.left(colon + 2) + op.mid(colon + 2).section(QLatin1Char(' '), 0, 0);
        };
        // Halfway through the backup, what is left covers at least the rest of
        // the backup and the whole verify at the rate measured.
        QVERIFY(QTest::qWaitFor(
            [&] {
                see();
                return dlg->GetPos() >= 256 && dlg->DetailsText()->text().contains(QStringLiteral("left"));
            },
            30000));
        const QString details = dlg->DetailsText()->text();
        const QRegularExpressionMatch m =
            QRegularExpression(
                QStringLiteral("^\\d+%, (\\d+) of 8192 bytes, (\\d+) bytes/s, (\\d+):(\\d\\d) left in all$"))
                .match(details);
        QVERIFY2(m.hasMatch(), qPrintable(details));
        const double rate = m.captured(2).toDouble();
        const int left = m.captured(3).toInt() * 60 + m.captured(4).toInt();
        QVERIFY2(left >= (8192 - m.captured(1).toInt()) / rate + 8192 / rate - 1, qPrintable(details));

        QVERIFY(QTest::qWaitFor(
            [&] {
                see();
                return !dlg->IsWindow();
            },
            60000));
        QCOMPARE(phases, (QStringList{"1 of 3: backing", "2 of 3: writing", "3 of 3: verifying"}));
        QVERIFY2(m_frame->StatusText()->text().contains(QStringLiteral("verified")),
                 qPrintable(m_frame->StatusText()->text()));
    }

    void comSetupListsDevicesAndAppliesPortsAtOnce()
    {
        Start();
        // The devices present: an adapter with a radio, one held by another
        // program, one missing.
        CSimulatedRadio second, held;
        QVERIFY(second.OpenPty() && held.OpenPty());
        second.SetMemory(Sample());
        second.Start();
        const QString root = m_dir->FilePath(QStringLiteral("root"));
        QDir().mkpath(root + QStringLiteral("/dev"));
        const QString usb0 = root + QStringLiteral("/dev/ttyUSB0"), usb1 = root + QStringLiteral("/dev/ttyUSB1"),
                      acm0 = root + QStringLiteral("/dev/ttyACM0");
        QVERIFY(QFile::link(QString::fromStdString(second.SlavePath()), usb0));
        QVERIFY(QFile::link(QString::fromStdString(held.SlavePath()), usb1));
        QVERIFY(QFile::link(root + QStringLiteral("/dev/nothing"), acm0));
        qputenv("PROG_DEVICE_ROOT", QFile::encodeName(root));
        CSerialPort holder;
        QVERIFY(holder.Open(held.SlavePath()));
        // COM2 is added to Program.ini while the program runs.
        ShellIni ini;
        ini.extra = "\r\n[Ports]\r\nCOM1=" + QByteArray::fromStdString(m_radio->SlavePath()) +
                    "\r\nCOM2=" + QFile::encodeName(usb0) + "\r\n";
        m_dir->WriteIni(ini);

        QMap<QString, QString> state;
        bool com2 = false, refusedGone = false;
        m_dialogs->handler = [&](QDialog* d) {
            auto* c = static_cast<CComSetupDlg*>(d);
            com2 = c->PortButton(1)->isEnabled() && c->PortDevice(1)->toolTip().contains(usb0);
            QTreeWidget* list = c->DeviceList();
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                state[list->topLevelItem(i)->text(CComSetupDlg::kColPath)] =
                    list->topLevelItem(i)->text(CComSetupDlg::kColState);
            list->setCurrentItem(list->findItems(usb0, Qt::MatchExactly).value(0));
            // Unplugged while the dialog is open: shown as gone, OK refused.
            QFile::remove(usb0);
            c->Rescan();
            state[QStringLiteral("gone")] =
                list->findItems(usb0, Qt::MatchExactly).value(0)->text(CComSetupDlg::kColState);
            c->accept();
            refusedGone = c->isVisible() || c->result() != QDialog::Accepted;
            QFile::link(QString::fromStdString(second.SlavePath()), usb0);
            c->Rescan();
            c->accept();
            return c->result();
        };
        m_frame->Action(ID_COM_SETUP)->trigger();
        QVERIFY(com2);
        QCOMPARE(state.value(usb0), QString("can be opened"));
        QCOMPARE(state.value(usb1), QString("busy: in use by another program"));
        QVERIFY(state.value(acm0).startsWith(QStringLiteral("missing")));
        QCOMPARE(state.value(QStringLiteral("gone")), QString("gone: it was unplugged"));
        QVERIFY(refusedGone);
        QVERIFY(m_messages->requests.value(0).text.contains(QStringLiteral("is gone")));
        // The device path is the port now, and kept under its own name.
        QCOMPARE(m_frame->ActiveLink()->Session()->m_strPort, usb0);
        QCOMPARE(m_store.ReadString(SettingsKey(theIniFile), kSettingDevice).value_or(""), usb0.toStdString());
        QVERIFY(m_frame->PortIndicator()->text().contains(usb0));
        Run(ID_READ);
        QCOMPARE(static_cast<int>(second.FrameLog().size()), 1024);
        QCOMPARE(m_frame->ActiveDocument()->GetTitle(), QString("Test Tool - radio on %1").arg(usb0));
        // Its window writes back where the read came from.
        QCOMPARE(m_frame->ActiveLink()->Session()->m_strPort, usb0);
        second.Stop();
    }
};

QTEST_MAIN(TestXfer)
#include "tst_xfer.moc"
