// Start-up, language modules, branding, the guarded File New, the document life
// cycle and the Language command, each run against a throw-away Program.ini.
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTreeWidget>
#include <QtTest>
#include <cstdio>
#include <functional>
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>  // dup, dup2
#else
#include <sys/stat.h>  // mkfifo
#include <unistd.h>
#endif

#include "gui/app/AboutDlg.h"
#include "gui/app/CommandIds.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "gui/app/LanguageDlg.h"
#include "gui/ProgramApp.h"
#include "gui/app/Relaunch.h"
#include "core/app/SettingsStore.h"
#include "gui/app/StringTable.h"
#include "gui/app/AppContext.h"
#include "gui/app/QtSettingsStore.h"
#include "gui/editor/ProgramView.h"
#include "gui/frame/ChildFrame.h"
#include "gui/app/HelpAccess.h"
#include "gui/frame/MDIClientWnd.h"
#include "gui/frame/MainFrame.h"
#include "gui/frame/NavigationBar.h"
#include "core/radio/DatFile.h"
#include "gui/radio/ProgramDoc.h"
#include "tests/gui/support/ProgramFixture.h"

namespace {
QStringList MenuTitles(CMainFrame* f)
{
    QStringList titles;
    for (QMenu* m : f->CurrentMenus())
        titles << m->title();
    return titles;
}

// Sends what the process writes to stderr into a file while it lives.
class StderrCapture {
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        const int to = ::open(QFile::encodeName(m_file.fileName()).constData(), O_WRONLY | O_APPEND);
        m_saved = ::dup(2);
        ::dup2(to, 2);
        ::close(to);
    }
    ~StderrCapture()
    {
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
    }
    QByteArray Text()
    {
        QFile f(m_file.fileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};

QByteArray DatBytes(std::uint8_t fill, int size = 8192)
{
    QByteArray b(size, char(fill));
    for (int i = 0; i < size; i += 97)
        b[i] = char(i & 0x7F);
    return b;
}
}  // namespace

class TestShell : public ProgramFixture {
    Q_OBJECT

private:
    // A new folder with both modules and the given ini; the app's start-up result.
    bool Start(const ShellIni& ini, const QStringList& args = {}) { return NewProgramDir(ini) && StartProgram(args); }

private slots:
    void init() override
    {
        ProgramFixture::init();
        SetHelpHook([](int, const QUrl&) {});
    }

    void englishStartUpAppliesBranding()
    {
        MessageRecorder messages;
        QVERIFY(Start(ShellIni{}));
        CMainFrame* f = m_app->MainFrame();
        QVERIFY(f && f == CMainFrame::Instance());
        QCOMPARE(int(g_bChinese), 0);
        QCOMPARE(QString::fromStdString(g_strHelpFile), QStringLiteral("enHelp.chm"));
        // The company captions message boxes; window titles stay exactly the program's own.
        QCOMPARE(MessageCaption(), QStringLiteral("Tanager Radio Works"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        QCOMPARE(f->Action(ID_APP_ABOUT)->text(), QStringLiteral("&About the Test Tool"));
        QCOMPARE(MenuTitles(f), QStringList({"&File", "&Edit", "&Program", "&View", "&Setup", "&Window", "&Help"}));
        QVERIFY(f->Menu("SetupMenu")->actions().contains(f->Action(ID_LANGUAGE)));
        QVERIFY(f->Menu("EditMenu")->actions().contains(f->Action(ID_PRODUCT_INFORMATION)));
        QCOMPARE(f->Menu("HelpMenu")->actions().value(0), f->Action(ID_APP_ABOUT));
        QVERIFY(f->isMaximized());
        QVERIFY(messages.requests.isEmpty());

        // No argument: one new document with its defaults, shown in a document window.
        CProgramDoc* doc = f->ActiveDocument();
        QVERIFY(doc);
        QCOMPARE(doc->GetTitle(), QStringLiteral("Channel Information"));
        QCOMPARE(doc->GetPathName(), QStringLiteral("TanagerTest"));
        QVERIFY(!doc->HasFilePath());
        QVERIFY(g_bNewDocument);
        QCOMPARE(doc->GetImage()[0x1FE1], 0xD4);
        QCOMPARE(doc->GetImage()[0x0010], 0xFF);
        QVERIFY(f->ActiveChildFrame()->isVisible());
        QVERIFY(f->MdiClient()->viewport()->rect().contains(f->ActiveChildFrame()->geometry()));

        QTreeWidgetItem* root = f->TreeRoot();
        QCOMPARE(root->text(0), QStringLiteral("Tanager Radio Works"));
        QCOMPARE(root->childCount(), 3);
        QCOMPARE(root->child(0)->text(0), QStringLiteral("Channel Information"));
        QCOMPARE(root->child(1)->text(0), QStringLiteral("Optional Features"));
        QCOMPARE(root->child(2)->text(0), QStringLiteral("Product Information"));
        QCOMPARE(f->NavigationBar()->Title(), QStringLiteral("Tanager Radio Works"));
    }

    void chineseStartUpTranslatesEverything()
    {
        ShellIni ini;
        ini.language = "Chinese";
        QVERIFY(Start(ini));
        CMainFrame* f = m_app->MainFrame();
        QCOMPARE(int(g_bChinese), 1);
        QCOMPARE(QString::fromStdString(g_strHelpFile), QStringLiteral("chHelp.chm"));
        QCOMPARE(MessageCaption(), QString::fromUtf8("唐纳格无线电"));
        QCOMPARE(f->Action(ID_APP_ABOUT)->text(), QString::fromUtf8("关于测试软件(&A)"));
        QCOMPARE(f->ActiveDocument()->GetTitle(), QString::fromUtf8("信道信息"));
        QCOMPARE(f->TreeRoot()->child(0)->text(0), QString::fromUtf8("信道信息"));
        QCOMPARE(f->TreeRoot()->child(1)->text(0), QString::fromUtf8("可选功能"));
        QCOMPARE(f->TreeRoot()->child(2)->text(0), QString::fromUtf8("类型设置"));
        // Every menu title, command, tip and message comes from the Chinese module.
        for (QMenu* m : f->CurrentMenus())
            QVERIFY2(!m->title().contains(QRegularExpression("[A-Za-z]{3}")), qPrintable(m->title()));
        for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_READ, ID_WRITE, ID_FILE_PRINT, ID_CONTROL_BAR,
                       ID_COM_SETUP, ID_LANGUAGE, ID_CHANNEL_INFORMATION, ID_OPTION_FEATURES}) {
            QAction* a = f->Action(id);
            QVERIFY2(!a->text().contains(QRegularExpression("[A-Za-z]{3}")), qPrintable(a->text()));
            QVERIFY2(!a->statusTip().contains(QRegularExpression("[A-Za-z]{3}")), qPrintable(a->statusTip()));
        }
        for (int id : {61448, 61451, 61452, 61453, 61454, 61456, 61458, 61460}) {
            const QString text = LoadStringRes(id);
            QVERIFY2(!text.isEmpty() && !text.contains(QRegularExpression("[A-Za-z]{4}")), qPrintable(text));
        }
    }

    void chineseInterfaceTranslatesToolkitTexts()
    {
        if (CProgramApp::FindToolkitTranslations(QString(), QStringLiteral("zh_CN")).isEmpty()) {
            // scripts/install-deps.sh installs it: in CI its absence is a failure.
            QVERIFY2(!qEnvironmentVariableIsSet("CI"), "qtbase_zh_CN.qm is not installed");
            QSKIP("qtbase_zh_CN.qm is not installed (Debian package qt6-translations-l10n)");
        }
        ShellIni ini;
        ini.language = "Chinese";
        QVERIFY(Start(ini));
        QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QString::fromUtf8("确定"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8("取消"));
        QFileDialog files;
        files.setOption(QFileDialog::DontUseNativeDialog);
        const QList<QLabel*> labels = files.findChildren<QLabel*>();
        QVERIFY(!labels.isEmpty());
        for (const QLabel* label : labels)
            QVERIFY2(!label->text().contains(QRegularExpression("[A-Za-z]{3}")), qPrintable(label->text()));
        for (const QAbstractButton* button : files.findChildren<QDialogButtonBox*>().value(0)->buttons())
            QVERIFY2(!button->text().contains(QRegularExpression("[A-Za-z]{3}")), qPrintable(button->text()));
        // Back in English, the toolkit is English again.
        m_app.reset();
        ini.language = "English";
        QVERIFY(Start(ini));
        QMessageBox english(QMessageBox::Warning, QString(), QString(), QMessageBox::Ok);
        QCOMPARE(english.button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
    }

    void languageRuleSelectsChineseEverywhere_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::newRow("lower case") << QByteArray("chinese");
        QTest::newRow("upper case") << QByteArray("CHINESE");
        QTest::newRow("comment leaves a blank") << QByteArray("Chinese // note");
    }
    void languageRuleSelectsChineseEverywhere()
    {
        // Labels built into the program, the module, the branding and the help
        // all follow the one rule: no half-English, half-Chinese interface.
        QFETCH(QByteArray, language);
        ShellIni ini;
        ini.language = language;
        QVERIFY(Start(ini));
        CMainFrame* f = m_app->MainFrame();
        QCOMPARE(int(g_bChinese), 1);
        QCOMPARE(QString::fromStdString(g_strHelpFile), QStringLiteral("chHelp.chm"));
        QCOMPARE(f->TreeRoot()->child(0)->text(0), QString::fromUtf8("信道信息"));
        QCOMPARE(f->ActiveDocument()->GetTitle(), QString::fromUtf8("信道信息"));
        QCOMPARE(MessageCaption(), QString::fromUtf8("唐纳格无线电"));
        QCOMPARE(f->CurrentMenus().first()->title(), QString::fromUtf8("文件(&F)"));
    }

    void missingModuleFailsStartUp_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unknown language") << QByteArray("French") << QStringLiteral("Load language DLL fail");
        QTest::newRow("Chinese module missing") << QByteArray("Chinese") << QString::fromUtf8("加载语言链接库失败");
        QTest::newRow("comment leaves a blank")
            << QByteArray("Chinese // note") << QString::fromUtf8("加载语言链接库失败");
        QTest::newRow("empty") << QByteArray("") << QStringLiteral("Load language DLL fail");
    }
    void missingModuleFailsStartUp()
    {
        QFETCH(QByteArray, language);
        QFETCH(QString, expected);
        m_dir = std::make_unique<ShellDir>();
        ShellIni ini;
        ini.language = language;
        m_dir->WriteIni(ini);
        m_dir->CopyModule(QStringLiteral("English.qm"), QStringLiteral("English.qm"));
        // The reason is on stderr before the box waits for a click.
        StderrCapture err;
        QByteArray errWhenShown;
        QList<MessageRequest> requests;
        SetMessageHook([&](const MessageRequest& r) {
            requests << r;
            errWhenShown = err.Text();
            return QMessageBox::Ok;
        });
        const bool started = StartProgram();
        SetMessageHook({});
        QVERIFY(!started);
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].text, expected);
        QVERIFY2(errWhenShown.contains(expected.toLocal8Bit()), errWhenShown.constData());
        QVERIFY2(errWhenShown.contains(".qm"), errWhenShown.constData());
        QCOMPARE(requests[0].caption, QStringLiteral("Program"));
        QCOMPARE(requests[0].icon, QMessageBox::Warning);
        QVERIFY(m_app->LastError().startsWith(expected));
        QVERIFY(!m_app->MainFrame());
        QVERIFY(!CMainFrame::Instance());
    }

    void brokenModuleAndMissingIniFail()
    {
        m_dir = std::make_unique<ShellDir>();
        m_dir->WriteIni(ShellIni{});
        m_dir->WriteFile(QStringLiteral("English.qm"), QByteArray("not a module"));
        MessageRecorder messages;
        QVERIFY(!StartProgram());
        QCOMPARE(messages.requests.value(0).text, QStringLiteral("Load language DLL fail"));

        // Without Program.ini every lookup is empty: the module ".qm" does not exist.
        QFile::remove(m_dir->FilePath(QStringLiteral("Program.ini")));
        m_dir->CopyModule(QStringLiteral("English.qm"), QStringLiteral("English.qm"));
        messages.requests.clear();
        QVERIFY(!StartProgram());
        QCOMPARE(messages.requests.value(0).text, QStringLiteral("Load language DLL fail"));
    }

    void showLangDecidesTheLanguageItem_data()
    {
        QTest::addColumn<QByteArray>("showLang");
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << QByteArray("<none>") << false;
        QTest::newRow("empty") << QByteArray("") << false;
        QTest::newRow("0") << QByteArray("0") << false;
        QTest::newRow("no") << QByteArray("no") << false;
        QTest::newRow("1") << QByteArray("1") << true;
        QTest::newRow("2") << QByteArray("2") << true;
        QTest::newRow("3x") << QByteArray("3x") << true;
    }
    void showLangDecidesTheLanguageItem()
    {
        QFETCH(QByteArray, showLang);
        QFETCH(bool, present);
        ShellIni ini;
        ini.showLang = showLang;
        QVERIFY(Start(ini));
        CMainFrame* f = m_app->MainFrame();
        QCOMPARE(f->Menu("SetupMenu")->actions().contains(f->Action(ID_LANGUAGE)), present);
        QVERIFY(f->Menu("SetupMenu")->actions().contains(f->Action(ID_COM_SETUP)));
    }

    void settingsRewrittenOnlyWhenChanged()
    {
#ifdef _WIN32
        // The radio type, band and port are REG_DWORD values, as the radio's
        // own software keeps them (QSettings reads a REG_DWORD back as an int,
        // a REG_QWORD as a long long).
        CQtSettingsStore store;
        store.WriteDword("TestSettingsDword", "Type", 3);
        store.WriteDword("TestSettingsDword", "com", 0xFFFFFFFFu);
        QSettings registry(QStringLiteral("HKEY_CURRENT_USER\\Software\\TestSettingsDword"), QSettings::NativeFormat);
        QCOMPARE(registry.value(QStringLiteral("Type")).typeId(), int(QMetaType::Int));
        QCOMPARE(store.ReadDword("TestSettingsDword", "Type"), std::optional<std::uint32_t>(3));
        QCOMPARE(store.ReadDword("TestSettingsDword", "com"), std::optional<std::uint32_t>(0xFFFFFFFFu));
        registry.remove(QString());
        QSKIP("the settings live in the registry on Windows: there is no file to watch");
#else
        // A write rewrites and syncs the whole file, and every start writes
        // the radio type and the recent files again, mostly unchanged.
        QTemporaryDir dir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        const QByteArray file = QFile::encodeName(dir.filePath(QStringLiteral("Test.conf")));
        const auto inode = [&] {
            struct stat st {};
            return ::stat(file.constData(), &st) == 0 ? st.st_ino : ino_t(0);
        };
        CQtSettingsStore store;
        store.WriteDword("Test", "Type", 3);
        store.WriteString("Test", "Recent1", "/a.dat");
        const struct {
            std::function<void()> write;
            bool rewritten;
        } steps[] = {
            {[&] { store.WriteDword("Test", "Type", 3); }, false},
            {[&] { store.WriteDword("Test", "Type", 4); }, true},
            {[&] { store.WriteString("Test", "Recent1", "/a.dat"); }, false},
            {[&] { store.WriteString("Test", "Recent1", "/b.dat"); }, true},
            {[&] { store.WriteString("Test", "Recent1", ""); }, true},
            {[&] { store.WriteString("Test", "Recent1", ""); }, false},
            {[&] { store.RemoveValue("Test", "Type"); }, true},
            {[&] { store.RemoveValue("Test", "Type"); }, false},
        };
        for (size_t i = 0; i < std::size(steps); ++i) {
            // A rewrite renames a new file over the old one: the inode changes.
            const ino_t before = inode();
            steps[i].write();
            QVERIFY2((inode() != before) == steps[i].rewritten, qPrintable(QString::number(i)));
        }
        QVERIFY(!store.ReadDword("Test", "Type"));
        QVERIFY(!store.ReadString("Test", "Recent1"));
        store.WriteDword("Test", "Type", 5);
        QCOMPARE(store.ReadDword("Test", "Type").value_or(0), 5u);
#endif
    }

    void titleIconFromCurrentDirectory()
    {
        const QString old = QDir::currentPath();
        QTemporaryDir cwd;
        QVERIFY(QDir::setCurrent(cwd.path()));
        QImage green(32, 32, QImage::Format_ARGB32);
        green.fill(QColor(0, 200, 0));
        QVERIFY(green.save(cwd.filePath(QStringLiteral("title.ico")), "ICO"));
        QVERIFY(Start(ShellIni{}));
        // The main window and the document window alike.
        auto centre = [](const QWidget* w) { return QColor(w->windowIcon().pixmap(32, 32).toImage().pixel(16, 16)); };
        QCOMPARE(centre(m_app->MainFrame()), QColor(0, 200, 0));
        QCOMPARE(centre(m_app->MainFrame()->ActiveChildFrame()), QColor(0, 200, 0));
        // Without the file, or with a FIFO of that name (which must not block
        // the start), the program's own icon, never the toolkit's.
        QFile::remove(cwd.filePath(QStringLiteral("title.ico")));
#ifdef _WIN32
        for ([[maybe_unused]] bool fifo : {false}) {  // no FIFO on Windows
#else
        for (bool fifo : {false, true}) {
            if (fifo)
                QCOMPARE(::mkfifo(qPrintable(cwd.filePath(QStringLiteral("title.ico"))), 0600), 0);
#endif
            m_app.reset();
            QVERIFY(StartProgram());
            const QImage own = QIcon(QStringLiteral(":/icons/app.png")).pixmap(32, 32).toImage();
            QVERIFY(!own.isNull());
            for (const QWidget* w : {static_cast<QWidget*>(m_app->MainFrame()),
                                     static_cast<QWidget*>(m_app->MainFrame()->ActiveChildFrame())})
                QCOMPARE(w->windowIcon().pixmap(32, 32).toImage(), own);
        }
        QVERIFY(QDir::setCurrent(old));
    }

    void gb18030BrandingIsDecoded()
    {
        // A Program.ini saved on a Chinese Windows system holds GB18030 bytes:
        // "唐纳格无线电" in them.
        ShellIni ini;
        ini.language = "Chinese";
        ini.chineseCompany = "\xcc\xc6\xc4\xc9\xb8\xf1\xce\xde\xcf\xdf\xb5\xe7";
        QVERIFY(Start(ini));
        QCOMPARE(MessageCaption(), QString::fromUtf8("唐纳格无线电"));
        QCOMPARE(m_app->MainFrame()->TreeRoot()->text(0), QString::fromUtf8("唐纳格无线电"));
    }

    void guardedFileNewAsksFirst()
    {
        QVERIFY(Start(ShellIni{}));
        CMainFrame* f = m_app->MainFrame();
        CProgramDoc* before = f->ActiveDocument();
        {
            Image im = before->GetImage();
            im[5] = 0x12;
            before->LoadImage(im);
        }
        MessageRecorder messages;
        messages.answer = QMessageBox::Cancel;
        f->Action(ID_FILE_NEW)->trigger();
        QCOMPARE(messages.requests.size(), 1);
        QCOMPARE(messages.requests[0].text, QStringLiteral("All data will be Cleared!"));
        QCOMPARE(messages.requests[0].caption, QStringLiteral("Tanager Radio Works"));
        QCOMPARE(messages.requests[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(f->ActiveDocument(), before);
        QCOMPARE(before->GetImage()[5], 0x12);

        messages.answer = QMessageBox::Ok;
        f->Action(ID_FILE_NEW)->trigger();
        QCOMPARE(messages.requests.size(), 2);
        QCOMPARE(f->ChildFrames().size(), 1);
        QVERIFY(f->ActiveDocument());
        QCOMPARE(f->ActiveDocument()->GetImage()[5], 0xFF);
        QVERIFY(g_bNewDocument);
    }

    void fileArgumentOpensThatFile()
    {
        m_dir = std::make_unique<ShellDir>();
        m_dir->WriteIni(ShellIni{});
        m_dir->CopyModule(QStringLiteral("English.qm"), QStringLiteral("English.qm"));
        const QByteArray bytes = DatBytes(0x5A, 9000);
        const QString path = m_dir->WriteFile(QStringLiteral("saved.dat"), bytes);
        QVERIFY(StartProgram({path}));
        CMainFrame* f = m_app->MainFrame();
        QCOMPARE(f->ChildFrames().size(), 1);
        CProgramDoc* doc = f->ActiveDocument();
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(doc->GetImage().data()), 0x0C80), bytes.left(0x0C80));
        QCOMPARE(doc->GetPathName(), path);
        QVERIFY(doc->HasFilePath());
        QVERIFY(!g_bNewDocument);
        // The branding of steps 14 and 15 applies the same way.
        QCOMPARE(f->Action(ID_APP_ABOUT)->text(), QStringLiteral("&About the Test Tool"));
    }

    void shortFileArgumentFailsStartUp()
    {
        m_dir = std::make_unique<ShellDir>();
        m_dir->WriteIni(ShellIni{});
        m_dir->CopyModule(QStringLiteral("English.qm"), QStringLiteral("English.qm"));
        const QString path = m_dir->WriteFile(QStringLiteral("short.dat"), DatBytes(0, 100));
        MessageRecorder messages;
        QVERIFY(!StartProgram({path}));
        QCOMPARE(messages.requests.size(), 1);
        QVERIFY(messages.requests[0].detail.contains(QStringLiteral("short.dat")));
        QVERIFY(m_app->LastError().contains(QStringLiteral("short.dat")));
        QVERIFY(!CMainFrame::Instance());
    }

    void openFromMenuKeepsWindowOnFailure()
    {
        QVERIFY(Start(ShellIni{}));
        CMainFrame* f = m_app->MainFrame();
        CChildFrame* first = f->ActiveChildFrame();
        const QString shortFile = m_dir->WriteFile(QStringLiteral("short.dat"), DatBytes(1, 100));
        const QString empty = m_dir->WriteFile(QStringLiteral("empty.dat"), QByteArray());
        const QString good = m_dir->WriteFile(QStringLiteral("good.dat"), DatBytes(0x33));

        DialogRecorder dialogs;
        QString choice;
        dialogs.handler = [&choice](QDialog* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            if (!fd)
                return int(QDialog::Rejected);
            fd->selectFile(choice);
            return int(QDialog::Accepted);
        };
        MessageRecorder messages;
        for (const QString& bad : {shortFile, empty}) {
            choice = bad;
            f->Action(ID_FILE_OPEN)->trigger();
            QCOMPARE(messages.requests.size(), 1);
            QVERIFY2(messages.requests[0].detail.contains(QFileInfo(bad).fileName()),
                     qPrintable(messages.requests[0].detail));
            QCOMPARE(f->ActiveChildFrame(), first);
            QVERIFY(first->isVisible());
            QVERIFY(g_bNewDocument);
            messages.requests.clear();
        }

        choice = good;
        f->Action(ID_FILE_OPEN)->trigger();
        QVERIFY(messages.requests.isEmpty());
        // A window of its own: the one open until now stays.
        QCOMPARE(f->ChildFrames().size(), 2);
        QVERIFY(first->isVisible());
        QVERIFY(f->ActiveChildFrame() != first);
        // Opened again, by another name, it is the same window, shown again.
        CChildFrame* goodWindow = f->ActiveChildFrame();
        goodWindow->close();
        choice = m_dir->FilePath(QStringLiteral("./good.dat"));
        f->Action(ID_FILE_OPEN)->trigger();
        QCOMPARE(f->ChildFrames().size(), 2);
        QCOMPARE(f->ActiveChildFrame(), goodWindow);
        QVERIFY(goodWindow->isVisible());
        QCOMPARE(f->ActiveDocument()->GetImage()[97], 97);
        QCOMPARE(f->ActiveChildFrame()->windowTitle(), QStringLiteral("good.dat"));
        QVERIFY(!g_bNewDocument);
    }

    void closeHidesAndChannelInformationShowsAgain()
    {
        QVERIFY(Start(ShellIni{}));
        CMainFrame* f = m_app->MainFrame();
        CChildFrame* child = f->ActiveChildFrame();
        CProgramDoc* doc = f->ActiveDocument();
        {
            Image im = doc->GetImage();
            im[3] = 0x42;
            doc->LoadImage(im);
        }
        MessageRecorder messages;
        f->Action(ID_FILE_CLOSE)->trigger();
        QVERIFY(child->isHidden());
        QCOMPARE(f->ActiveChildFrame()->GetDocument(), doc);
        QVERIFY(!f->ActiveDocument());  // a hidden document takes no command
        // The close box does the same.
        f->Action(ID_CHANNEL_INFORMATION)->trigger();
        QVERIFY(child->isVisible());
        QVERIFY(!child->close());
        QVERIFY(child->isHidden());
        f->Action(ID_CHANNEL_INFORMATION)->trigger();
        QVERIFY(child->isVisible());
        QCOMPARE(f->ActiveDocument(), doc);
        QCOMPARE(doc->GetImage()[3], 0x42);
        QVERIFY(messages.requests.isEmpty());
    }

    void saveWritesTheImageAndReportsFailure()
    {
        QVERIFY(Start(ShellIni{}));
        CMainFrame* f = m_app->MainFrame();
        CProgramDoc* doc = f->ActiveDocument();
        {
            Image im = doc->GetImage();
            im[0x12F0] = 0x77;  // an area no codec touches
            doc->LoadImage(im);
        }
        DialogRecorder dialogs;
        QString target = m_dir->FilePath(QStringLiteral("out"));
        QString proposed;
        dialogs.handler = [&](QDialog* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            proposed = fd->selectedFiles().value(0);
            fd->selectFile(target);
            return int(QDialog::Accepted);
        };
        // A new document has no file: Save asks, proposing the application's name.
        QVERIFY(f->OnFileSave());
        QCOMPARE(dialogs.names.size(), 1);
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("TanagerTest.dat"));
        const QString written = m_dir->FilePath(QStringLiteral("out.dat"));
        QCOMPARE(QFileInfo(written).size(), 8192);
        QVERIFY(doc->HasFilePath());
        Image back;
        QVERIFY(LoadDatFile(written.toStdString(), back).ok);
        QCOMPARE(back[0x12F0], 0x77);

        // Now Save goes to the same file without asking.
        {
            Image im = doc->GetImage();
            im[0x12F0] = 0x78;
            doc->LoadImage(im);
        }
        QVERIFY(f->OnFileSave());
        QCOMPARE(dialogs.names.size(), 1);
        QVERIFY(LoadDatFile(written.toStdString(), back).ok);
        QCOMPARE(back[0x12F0], 0x78);

        // A file another program holds locked for its change is not saved over: told, kept.
        MessageRecorder messages;
        {
            CFileUpdateLock held;
            std::string error;
            QVERIFY(held.Acquire(written.toStdString(), std::chrono::milliseconds(0), error) && held.Held());
            {
                Image im = doc->GetImage();
                im[0x12F0] = 0x79;
                doc->LoadImage(im);
            }
            QVERIFY(!f->OnFileSave());
        }
        QCOMPARE(messages.requests.size(), 1);
        QVERIFY2(messages.requests[0].detail.contains(QStringLiteral("is in use by another program")),
                 qPrintable(messages.requests[0].detail));
        QVERIFY(LoadDatFile(written.toStdString(), back).ok);
        QCOMPARE(back[0x12F0], 0x78);
        messages.requests.clear();
        {
            Image im = doc->GetImage();
            im[0x12F0] = 0x78;
            doc->LoadImage(im);
        }

        // A folder that does not exist: the message names the file, the old copy stays.
        target = m_dir->FilePath(QStringLiteral("missing/dir/x.dat"));
        QVERIFY(!f->OnFileSaveAs());
        QCOMPARE(messages.requests.size(), 1);
        QVERIFY(messages.requests[0].detail.contains(QStringLiteral("x.dat")));
        QVERIFY(LoadDatFile(written.toStdString(), back).ok);
        QCOMPARE(back[0x12F0], 0x78);
        QCOMPARE(QFileInfo(doc->GetPathName()), QFileInfo(written));
    }

    void aboutShowsBranding()
    {
        QVERIFY(Start(ShellIni{}));
        CAboutDlg dlg(m_app->MainFrame());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("About the Test Tool"));
        QCOMPARE(dlg.m_pVersion->text(), QStringLiteral("Test Tool 1.0"));
        QCOMPARE(dlg.m_pCopyright->text(), QStringLiteral("Copyright (C) 2026"));
        QCOMPARE(dlg.m_pOwner->text(), QStringLiteral("Test Owner"));
        QVERIFY(!dlg.m_pIcon->pixmap().isNull());
        DialogRecorder dialogs;
        m_app->MainFrame()->Action(ID_APP_ABOUT)->trigger();
        QCOMPARE(dialogs.names, QStringList{QStringLiteral("AboutDlg")});
    }

    void languageChangeSavesThenRelaunches()
    {
        // The user's and the package's notes, blank lines and line ends stay.
        ShellIni notes;
        notes.extra = "\n; a dealer's note\n[Ports]\n; COM1 is the USB cable\nCOM1 = /dev/ttyUSB0  \n\n";
        QVERIFY(Start(notes));
        const QByteArray before = m_dir->ReadIni();
        CMainFrame* f = m_app->MainFrame();
        QStringList launched;
        QByteArray iniAtLaunch;
        bool mainOpenAtLaunch = true;
        SetRelaunchHook([&](const QString& program, const QStringList&) {
            launched << program;
            iniAtLaunch = m_dir->ReadIni();
            mainOpenAtLaunch = f->isVisible();
        });
        DialogRecorder dialogs;
        int pick = 0;
        dialogs.handler = [&pick](QDialog* d) {
            auto* dlg = qobject_cast<CLanguageDlg*>(d);
            dlg->SetSelection(pick);
            dlg->accept();
            return dlg->result();
        };
        // The language already running: nothing written, no restart.
        pick = 0;
        RunLanguageCommand(f->ActiveView());
        QVERIFY(launched.isEmpty());
        QVERIFY(!theIniFile.IsModified());
        QVERIFY(f->isVisible());

        pick = 1;
        RunLanguageCommand(f->ActiveView());
        QCOMPARE(launched.size(), 1);
        QVERIFY(QFileInfo(launched[0]).isAbsolute());
        QCOMPARE(launched[0], QCoreApplication::applicationFilePath());
        QByteArray expected = before;
        expected.replace("Language=English", "Language=Chinese");
        QCOMPARE(iniAtLaunch, expected);
        QFile backup(m_dir->FilePath(QStringLiteral("Program.ini.001")));
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QCOMPARE(backup.readAll(), before);
        QVERIFY(!mainOpenAtLaunch);
    }

    void failedLanguageSaveIsToldAndKeepsTheWindow()
    {
        QVERIFY(Start(ShellIni{}));
        CMainFrame* f = m_app->MainFrame();
        // A folder where Program.ini was: it cannot be written, not even by root.
        const QString ini = m_dir->FilePath(QStringLiteral("Program.ini"));
        QVERIFY(QFile::remove(ini) && QDir().mkdir(ini));
        bool launched = false;
        SetRelaunchHook([&](const QString&, const QStringList&) { launched = true; });
        DialogRecorder dialogs;
        dialogs.handler = [](QDialog* d) {
            auto* dlg = qobject_cast<CLanguageDlg*>(d);
            dlg->SetSelection(1);
            dlg->accept();
            return dlg->result();
        };
        StderrCapture err;
        RunLanguageCommand(f->ActiveView());
        QVERIFY(!launched);
        QVERIFY(f->isVisible());
        const QString shown = f->statusBar()->currentMessage();
        QVERIFY2(shown.startsWith(QStringLiteral("The language choice could not be saved: ")) && shown.contains(ini),
                 qPrintable(shown));
        QVERIFY2(err.Text().contains(shown.toLocal8Bit()), err.Text().constData());
        // At the end of the process the same failure reaches stderr.
        QVERIFY(!CProgramApp::SaveProfile());
        QVERIFY2(err.Text().count(ini.toLocal8Bit()) >= 2, err.Text().constData());
    }

    void helpAndVersionSpeakTheProfilesLanguage_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("help") << QByteArray("English") << QStringLiteral("--help")
                              << QStringList{QStringLiteral("usage: Prog [OPTION] [FILE.dat]"),
                                             QStringLiteral("--version"), QStringLiteral("are read from <ini>")};
        QTest::newRow("help, Chinese") << QByteArray("Chinese") << QStringLiteral("-h")
                                       << QStringList{QString::fromUtf8("用法：Prog"),
                                                      QString::fromUtf8("读取自 <ini>")};
        QTest::newRow("version") << QByteArray("English") << QStringLiteral("--version")
                                 << QStringList{QStringLiteral("Prog " PROG_VERSION "\nTest Tool 1.0\n"
                                                               "Copyright (C) 2026\nTest Owner\n")};
        QTest::newRow("version, Chinese") << QByteArray("Chinese") << QStringLiteral("--version")
                                          << QStringList{QString::fromUtf8("Prog " PROG_VERSION "\n测试软件 1.0\n")};
    }
    void helpAndVersionSpeakTheProfilesLanguage()
    {
        QFETCH(QByteArray, language);
        QFETCH(QString, option);
        QFETCH(QStringList, expected);
        m_dir = std::make_unique<ShellDir>();
        ShellIni ini;
        ini.language = language;
        m_dir->WriteIni(ini);
        CProgramApp::SetProgramDirForTests(m_dir->Path());
        QVERIFY(CProgramApp::InfoOptionText({QStringLiteral("x.dat")}, QStringLiteral("Prog")).isEmpty());
        const QString text = CProgramApp::InfoOptionText({QStringLiteral("x.dat"), option}, QStringLiteral("Prog"));
        for (QString e : expected) {
            e.replace(QStringLiteral("<ini>"), m_dir->FilePath(QStringLiteral("Program.ini")));
            QVERIFY2(text.contains(e), qPrintable(text));
        }
    }

    void languageDialogStartsAtCurrentLanguageAndHasHelp()
    {
        ShellIni ini;
        ini.language = "Chinese";
        QVERIFY(Start(ini));
        CLanguageDlg dlg;
        QCOMPARE(dlg.Selection(), 1);
        QList<int> contexts;
        SetHelpHook([&contexts](int c, const QUrl&) { contexts << c; });
        ResetHelpState();
        SetHelpDirectory(QStringLiteral(PROG_BIN_DIR));
        QTest::keyClick(&dlg, Qt::Key_F1);
        QCOMPARE(contexts, QList<int>{32799});
        // Its OK alone changes nothing; the command writes "English" once the restart is sure.
        dlg.SetSelection(0);
        dlg.accept();
        QCOMPARE(theIniFile.GetString("Setup", "Language", ""), std::string("Chinese"));
        bool launched = false;
        SetRelaunchHook([&](const QString&, const QStringList&) { launched = true; });
        DialogRecorder dialogs;
        dialogs.handler = [](QDialog* d) {
            auto* lang = static_cast<CLanguageDlg*>(d);
            lang->SetSelection(0);
            lang->accept();
            return lang->result();
        };
        RunLanguageCommand(m_app->MainFrame()->ActiveView());
        QVERIFY(launched);
        QVERIFY(m_dir->ReadIni().contains("Language=English"));
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
