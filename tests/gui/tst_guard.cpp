// A write running while the user opens a file, starts a new document, closes
// the document window, switches the language or exits: each asks first, No
// keeps the write going to its end, Yes stops it and says how far it got.
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QPointer>
#include <QtTest>

#include "tests/gui/support/RadioOnPty.h"
#include "gui/app/AppContext.h"
#include "gui/app/CommandIds.h"
#include "core/app/IniFile.h"
#include "gui/app/LanguageDlg.h"
#include "gui/ProgramApp.h"
#include "gui/app/Relaunch.h"
#include "gui/app/StringTable.h"
#include "core/app/StringIds.h"
#include "core/app/SettingsStore.h"
#include "gui/editor/ProgramView.h"
#include "gui/frame/ChildFrame.h"
#include "gui/editor/MSFlexGrid.h"
#include "gui/frame/MainFrame.h"
#include "gui/link/LinkController.h"
#include "gui/link/TransferWorker.h"
#include "gui/link/ProcessDlg.h"
#include "core/link/SimulatedRadio.h"
#include "core/radio/DatFile.h"
#include "gui/radio/ProgramDoc.h"
#include "tests/gui/support/ProgramFixture.h"

namespace {
const QString kAsk("A write to the radio on COM1 is in progress. Stop it? The radio will be left partly written.");
const QString kMixed("The radio now holds a mix of old and new settings: write to it again before using it.");

enum Path { Open, New, Exit, CloseWindow, Language };
// What ends the document of the write; Open only adds a window.
const Path kPaths[] = {New, Exit, CloseWindow, Language};
}  // namespace

class TestGuard : public ProgramFixture {
    Q_OBJECT

private:
    std::unique_ptr<CSimulatedRadio> m_radio;
    QList<MessageRequest> m_messages;
    QList<QMessageBox::StandardButton> m_answers;  // to the stop questions, in turn
    QStringList m_launched;
    QString m_otherFile;

    void Start(int replyDelayMs, const QByteArray& language = "English")
    {
        m_radio = std::make_unique<CSimulatedRadio>();
        OPEN_SIMULATED_RADIO(*m_radio);
        Image own{};
        own.fill(0xA5);
        m_radio->SetMemory(own);
        RadioFaults f;
        f.replyDelayMs = replyDelayMs;  // catches the write in the middle
        m_radio->SetFaults(f);
        m_radio->Start();

        ShellIni ini;
        ini.language = language;
        ini.extra = "\r\n[Ports]\r\nCOM1=" + QByteArray::fromStdString(m_radio->SlavePath()) + "\r\n";
        QVERIFY(NewProgramDir(ini));
        Image other{};
        other.fill(0x11);
        m_otherFile = m_dir->FilePath(QStringLiteral("other.dat"));
        QVERIFY(SaveDatFile(QFile::encodeName(m_otherFile).toStdString(), other).ok);

        SetMessageHook([this](const MessageRequest& r) {
            m_messages << r;
            if (r.buttons == (QMessageBox::Yes | QMessageBox::No))
                return m_answers.isEmpty() ? QMessageBox::No : m_answers.takeFirst();
            return (r.buttons & QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Cancel;
        });
        SetDialogHook([this](QDialog* d) {
            if (auto* fd = qobject_cast<QFileDialog*>(d)) {
                fd->selectFile(m_otherFile);
                return int(QDialog::Accepted);
            }
            if (auto* ld = qobject_cast<CLanguageDlg*>(d)) {
                ld->SetSelection(1);
                ld->accept();
                return ld->result();
            }
            return int(QDialog::Rejected);
        });
        SetRelaunchHook([this](const QString& program, const QStringList&) { m_launched << program; });

        QVERIFY(StartProgram());
        // The write alone: no backup read before it, no verify after it.
        KeepDataInDir();
        m_store.WriteDword(SettingsKey(theIniFile), kSettingBackupFirst, 0);
        m_store.WriteDword(SettingsKey(theIniFile), kSettingVerify, 0);
        QVERIFY(ShowFrame());
    }

    // Write (OK pressed with Enter) until well under way, then back to the main window.
    void StartWrite(CLinkController* link)
    {
        m_frame->Action(ID_WRITE)->trigger();
        CProcessDlg* dlg = link->ProcessDlg();
        QVERIFY(dlg->IsWindow());
        QTest::keyClick(dlg, Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([dlg] { return dlg->GetPos() >= 20; }, 20000));
        QApplication::setActiveWindow(m_frame);
        QVERIFY(QTest::qWaitForWindowActive(m_frame));
    }

    void Take(Path path)
    {
        switch (path) {
        case Open: QTest::keyClick(m_frame, Qt::Key_O, Qt::ControlModifier); break;
        case New: QTest::keyClick(m_frame, Qt::Key_N, Qt::ControlModifier); break;
        case Exit: {
            QMenu* file = m_frame->Menu(QStringLiteral("FileMenu"));
            file->popup(m_frame->mapToGlobal(QPoint(10, 10)));
            QTest::keyClick(file, Qt::Key_X);
            break;
        }
        case CloseWindow: QTest::keyClick(m_frame->ActiveView(), Qt::Key_F4, Qt::ControlModifier); break;
        case Language: m_frame->Action(ID_LANGUAGE)->trigger(); break;
        }
    }

    QString Texts() const
    {
        QStringList t;
        for (const MessageRequest& r : m_messages)
            t << r.text;
        return t.join(QLatin1Char('|'));
    }

    // Whether the path did what it does when nothing is running.
    bool Happened(Path path, const QPointer<CChildFrame>& before) const
    {
        switch (path) {
        case Open: return before && m_frame->ActiveDocument()->GetPathName() == m_otherFile;
        case New: return before.isNull() && m_frame->ActiveChildFrame();
        case Exit: return !m_frame->isVisible();
        case CloseWindow: return before && before->isHidden();
        case Language: return !m_frame->isVisible() && m_launched.size() == 1;
        }
        return false;
    }

private slots:
    void initTestCase() { SKIP_CLASS_WITHOUT_PTY(); }
    void cleanup() override
    {
        ProgramFixture::cleanup();
        m_radio.reset();
        m_messages.clear();
        m_answers.clear();
        m_launched.clear();
    }

    void yesStopsTheWriteAndTellsHowFar_data()
    {
        QTest::addColumn<int>("path");
        QTest::newRow("New (Ctrl+N)") << int(New);
        QTest::newRow("Exit (File menu, x)") << int(Exit);
        QTest::newRow("close the document window (Ctrl+F4)") << int(CloseWindow);
        QTest::newRow("Language") << int(Language);
    }

    void yesStopsTheWriteAndTellsHowFar()
    {
        QFETCH(int, path);
        Start(2);
        QPointer<CChildFrame> before = m_frame->ActiveChildFrame();
        CLinkController* link = before->GetLink();
        StartWrite(link);

        // No: nothing happens and the write goes on.
        m_answers = {QMessageBox::No};
        Take(Path(path));
        QVERIFY2(m_messages.size() == 1, qPrintable(Texts()));
        QCOMPARE(m_messages[0].text, kAsk);
        QCOMPARE(m_messages[0].defaultButton, QMessageBox::No);
        QVERIFY(!Happened(Path(path), before));
        // Nothing is done before the answer: a restart has not yet saved the language.
        QVERIFY(!m_dir->ReadIni().contains("Language=Chinese"));
        const std::size_t at = m_radio->FrameLog().size();
        QVERIFY(QTest::qWaitFor([&] { return m_radio->FrameLog().size() > at + 10; }, 20000));
        QVERIFY(link->IsTransferring());

        // Yes: stopped first, told how far, then the path goes on.
        m_answers = {QMessageBox::Yes};
        Take(Path(path));
        QVERIFY2(m_messages.size() >= 3, qPrintable(Texts()));
        QCOMPARE(m_messages[1].text, kAsk);
        const int frames = static_cast<int>(m_radio->FrameLog().size());
        QVERIFY(frames < 1023);
        // New asks its own question before anything is stopped.
        const int told = Path(path) == New ? 3 : 2;
        if (Path(path) == New)
            QCOMPARE(m_messages[2].text, LoadStringRes(IDS_CLEAR_ALL));
        QVERIFY2(m_messages.size() > told, qPrintable(Texts()));
        QCOMPARE(m_messages[told].text,
                 QString("The write to the radio on COM1 was stopped after %1 of 1023 frames (%2 of 8182 bytes). ")
                         .arg(frames)
                         .arg(frames * 8) +
                     kMixed);
        QCOMPARE(CTransferWorker::LiveThreads(), 0);
        QVERIFY(Happened(Path(path), before));
    }

    // Yes to "Stop it?" stops nothing yet: a Cancel at the save question that
    // follows leaves the write running to its end and the program open.
    void cancelAtTheSaveQuestionKeepsTheWrite_data()
    {
        QTest::addColumn<int>("path");
        QTest::newRow("Exit") << int(Exit);
        QTest::newRow("Language") << int(Language);
        QTest::newRow("New") << int(New);
    }
    void cancelAtTheSaveQuestionKeepsTheWrite()
    {
        QFETCH(int, path);
        Start(2);
        QApplication::setActiveWindow(m_frame);
        QVERIFY(QTest::qWaitForWindowActive(m_frame));
        CProgramView* view = m_frame->ActiveView();
        CMSFlexGrid& grid = view->Grid();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(2, kColRxFreq).center());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("146.52"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(view->GetDocument()->IsModified());
        CLinkController* link = m_frame->ActiveLink();
        StartWrite(link);
        m_answers = {QMessageBox::Yes};  // then Cancel at "Save changes"
        Take(Path(path));
        QVERIFY2(m_messages.size() == 2, qPrintable(Texts()));
        QCOMPARE(m_messages[0].text, kAsk);
        QCOMPARE(m_messages[1].text, QStringLiteral("Save changes to Channel Information?"));
        QVERIFY(link->IsTransferring());
        QVERIFY(QTest::qWaitFor([link] { return !link->IsTransferring(); }, 30000));
        QCOMPARE(static_cast<int>(m_radio->FrameLog().size()), 1023);
        QVERIFY(m_frame->isVisible() && m_launched.isEmpty());
        QVERIFY(view->GetDocument()->IsModified());
        QVERIFY(!m_dir->ReadIni().contains("Language=Chinese"));
    }

    void chineseTexts()
    {
        Start(2, "Chinese");
        StartWrite(m_frame->ActiveLink());
        m_answers = {QMessageBox::Yes};
        Take(New);
        QVERIFY2(m_messages.size() >= 3, qPrintable(Texts()));
        QCOMPARE(m_messages[0].text, QString("正在向COM1上的电台写数据。要停止吗？电台将只被写入一部分。"));
        QCOMPARE(m_messages[1].text, QString("所有数据将被清除！"));
        const int frames = static_cast<int>(m_radio->FrameLog().size());
        QCOMPARE(m_messages[2].text,
                 QString("向COM1上的电台写数据已停止：共1023帧，已写入%1帧（共8182字节，已写入%2字节）。"
                         "电台现在新旧设置混杂，使用前请重新写入。")
                     .arg(frames)
                     .arg(frames * 8));
    }

    void noLetsTheWriteFinish()
    {
        Start(2);
        QPointer<CChildFrame> before = m_frame->ActiveChildFrame();
        CLinkController* link = before->GetLink();
        CProgramDoc* doc = before->GetDocument();
        StartWrite(link);
        for (Path path : kPaths) {
            QVERIFY(link->IsTransferring());
            const int asked = static_cast<int>(m_messages.size());
            Take(path);
            QVERIFY2(m_messages.size() == asked + 1, qPrintable(Texts()));
            QCOMPARE(m_messages.last().text, kAsk);
            QVERIFY(!Happened(path, before));
        }
        // Open asks nothing: the file gets a window of its own and the write goes on.
        Take(Open);
        QVERIFY(Happened(Open, before));
        QVERIFY(link->IsTransferring());
        QVERIFY(QTest::qWaitFor([link] { return !link->ProcessDlg()->IsWindow(); }, 20000));
        QVERIFY2(m_messages.size() == 4, qPrintable(Texts()));
        QCOMPARE(static_cast<int>(m_radio->FrameLog().size()), 1023);
        const Image got = m_radio->Memory();
        for (int i = 0; i < mem::kWriteEnd; ++i)
            QVERIFY2(got[i] == doc->GetImage()[i], qPrintable(QString::number(i, 16)));
        QVERIFY(m_frame->isVisible());
        QVERIFY(m_launched.isEmpty());
    }
};

QTEST_MAIN(TestGuard)
#include "tst_guard.moc"
