// Notices a window that changed while its picture in docs/screenshots did not:
// each screenshotted window is rebuilt as scripts/screenshot.sh shows it, its
// widget tree (classes, object names, texts, cells, visibility) hashed and
// compared with docs/screenshots/widget-trees.sha. Pixels and sizes are left
// out, so other fonts give the same hash. PROG_WRITE_WIDGET_TREES=1 writes the
// file instead (screenshot.sh does, after taking the pictures).
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextEdit>
#include <QtTest>
#include <memory>

#include "tests/gui/support/RadioOnPty.h"
#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "core/link/SimulatedRadio.h"
#include "core/radio/DatFile.h"
#include "gui/ProgramApp.h"
#include "gui/app/AppContext.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/CommandIds.h"
#include "gui/frame/MainFrame.h"
#include "gui/link/CheckConnectionDlg.h"
#include "gui/link/TransferWorker.h"
#include "tests/gui/support/ShellSupport.h"

namespace {

const char* const kSums = PROG_SOURCE_DIR "/docs/screenshots/widget-trees.sha";

QString Texts(const QWidget* w)
{
    QStringList t;
    if (w->isWindow())
        t << w->windowTitle();
    // Whether the port's device is there depends on the computer, not on the window.
    if (auto* l = qobject_cast<const QLabel*>(w))
        t << QString(l->text()).remove(QCoreApplication::translate("CMainFrame", " - not present"));
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        t << b->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        t << e->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        t << g->title();
    // Only the current item: the lists of ports hold the serial devices of this computer.
    if (auto* c = qobject_cast<const QComboBox*>(w))
        t << c->currentText();
    if (auto* e = qobject_cast<const QTextEdit*>(w))
        t << e->toPlainText();
    if (auto* v = qobject_cast<const QAbstractItemView*>(w); v && v->model()) {
        const QAbstractItemModel* m = v->model();
        for (int c = 0; c < m->columnCount(); ++c)
            t << m->headerData(c, Qt::Horizontal).toString();
        for (int r = 0; r < m->rowCount(); ++r)
            for (int c = 0; c < m->columnCount(); ++c)
                t << m->index(r, c).data().toString();
    }
    for (const QAction* a : w->actions())
        t << a->text() << QString::number(a->isEnabled());
    return t.join(QLatin1Char('|'));
}

// One line per widget, depth first in child order. Times and the simulated
// radios' pseudo-terminals vary from run to run.
void Tree(const QWidget* w, int depth, QString& out)
{
    static const QRegularExpression times(QStringLiteral("(< )?[0-9.]+ m?s\\b"));
    static const QRegularExpression ptys(QStringLiteral("/dev/pts/[0-9]+"));
    out += QString(depth, QLatin1Char(' ')) + QLatin1String(w->metaObject()->className()) + QLatin1Char(' ') +
           w->objectName() + QLatin1Char(' ') + QString::number(w->isVisible()) + QLatin1Char(' ') +
           Texts(w).replace(times, QStringLiteral("N s")).replace(ptys, QStringLiteral("/dev/pts/N")) +
           QLatin1Char('\n');
    for (const QObject* o : w->children())
        if (auto* c = qobject_cast<const QWidget*>(o); c && !c->isWindow())
            Tree(c, depth + 1, out);
}

QByteArray Hash(const QWidget* w)
{
    QString tree;
    Tree(w, 0, tree);
    return QCryptographicHash::hash(tree.toUtf8(), QCryptographicHash::Sha256).toHex();
}

}  // namespace

class TestScreenshots : public QObject {
    Q_OBJECT

private:
    CMemorySettingsStore m_store;
    QMap<QString, QByteArray> m_hashes;  // picture -> hash of its window

    // The program as screenshot.sh starts it: its own Program.ini in `language`.
    std::unique_ptr<CProgramApp> Start(ShellDir& dir, const QByteArray& language, const QByteArray& ports,
                                       const QStringList& args)
    {
        ShellIni ini;
        ini.language = language;
        ini.extra = ports;
        return StartProgramIn(dir, ini, args);
    }

private slots:
    void initTestCase()
    {
        SetAppSettingsStore(&m_store);
        SetHelpHook([](int, const QUrl&) {});
    }

    void mainWindow_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::newRow("main_en.png") << QByteArray("English");
        QTest::newRow("main_zh.png") << QByteArray("Chinese");
    }
    void mainWindow()
    {
        QFETCH(QByteArray, language);
        ShellDir dir;
        auto app = Start(dir, language, {}, {QStringLiteral(PROG_SOURCE_DIR "/res/samples/sample.dat")});
        QVERIFY(app);
        app->MainFrame()->showMaximized();
        QCoreApplication::processEvents();
        m_hashes[QLatin1String(QTest::currentDataTag())] = Hash(app->MainFrame());
        // The editing picture: the same window with the grid's context menu open.
        if (language == "English")
            m_hashes[QStringLiteral("editing.png")] =
                QCryptographicHash::hash(Hash(app->MainFrame()) + Hash(app->MainFrame()->GridMenu()),
                                         QCryptographicHash::Sha256)
                    .toHex();
        theIniFile.SetWriteBackOnClose(false);
    }

    // COM1 a radio that is switched off, COM2 one that answers; checked in that order.
    void checkConnection()
    {
        Image sample{};
        QVERIFY(LoadDatFile(PROG_SOURCE_DIR "/res/samples/sample.dat", sample).ok);
        CSimulatedRadio off, on;
        QByteArray ports = "\r\n[Ports]\r\n";
        int n = 0;
        for (CSimulatedRadio* r : {&off, &on}) {
            OPEN_SIMULATED_RADIO(*r);
            r->SetMemory(sample);
            ports += "COM" + QByteArray::number(++n) + "=" + QByteArray::fromStdString(r->SlavePath()) + "\r\n";
        }
        RadioFaults silent;
        silent.silent = true;
        off.SetFaults(silent);
        off.Start();
        on.Start();
        ShellDir dir;
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.FilePath(QStringLiteral("data"))));
        MessageRecorder messages;
        DialogRecorder dialogs;
        {
            auto app = Start(dir, "English", ports, {});
            QVERIFY(app);
            app->MainFrame()->showNormal();
            dialogs.handler = [&](QDialog* d) {
                auto* c = qobject_cast<CCheckConnectionDlg*>(d);
                if (!c)
                    return int(QDialog::Rejected);
                c->show();
                for (const char* picture : {"check_silent_en.png", "check_answers_en.png"}) {
                    QSignalSpy ended(c, &CCheckConnectionDlg::CheckEnded);
                    QTest::keyClick(c->PortBox(), Qt::Key_Return);
                    if (ended.count() == 0 && !ended.wait(20000))
                        break;
                    m_hashes[QLatin1String(picture)] = Hash(c);
                    c->PortBox()->setEditText(QStringLiteral("COM2"));
                }
                c->done(QDialog::Rejected);
                return c->result();
            };
            app->MainFrame()->Action(ID_CHECK_CONNECTION)->trigger();
            QCOMPARE(m_hashes.count(QStringLiteral("check_answers_en.png")), 1);
            theIniFile.SetWriteBackOnClose(false);
        }
        CTransferWorker::WaitForAll();
        qunsetenv("XDG_DATA_HOME");
    }

    // Every picture's window against the stored hash, or the stored hashes written.
    void picturesFollowTheirWindows()
    {
#ifdef _WIN32
        QSKIP("the pictures show the Linux window; the Windows ones are taken under Wine by scripts/windows.sh");
#endif
        QFile file(QString::fromUtf8(kSums));
        if (qEnvironmentVariableIsSet("PROG_WRITE_WIDGET_TREES")) {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            for (auto it = m_hashes.cbegin(); it != m_hashes.cend(); ++it)
                file.write(it.value() + "  " + it.key().toUtf8() + "\n");
            return;
        }
        QVERIFY2(file.open(QIODevice::ReadOnly), "docs/screenshots/widget-trees.sha is missing");
        QMap<QString, QByteArray> stored;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (const qsizetype gap = line.indexOf("  "); gap > 0)
                stored[QString::fromUtf8(line.mid(gap + 2))] = line.left(gap);
        QStringList stale;
        for (auto it = m_hashes.cbegin(); it != m_hashes.cend(); ++it)
            if (stored.value(it.key()) != it.value())
                stale << it.key();
        QVERIFY2(stale.isEmpty(), qPrintable(QStringLiteral("the window changed since docs/screenshots/%1 was taken: "
                                                            "run scripts/screenshot.sh")
                                                 .arg(stale.join(QStringLiteral(", docs/screenshots/")))));
    }
};

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
