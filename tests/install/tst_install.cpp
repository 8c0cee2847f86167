// The window's start-up against an installed program folder the user cannot
// write to: run by check_install.sh with PROG_INSTALLED_DIR (<prefix>/lib/<package>)
// and XDG_CONFIG_HOME set, as a user without write access to that folder.
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QtTest>

#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "gui/ProgramApp.h"
#include "gui/app/AppContext.h"
#include "gui/app/CommandIds.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/LanguageDlg.h"
#include "gui/app/Relaunch.h"
#include "gui/editor/ProgramView.h"
#include "gui/frame/MainFrame.h"
#include "tests/gui/support/ShellSupport.h"

namespace {
QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestInstall : public QObject {
    Q_OBJECT

private:
    QString m_dir;
    QString m_userIni;
    CMemorySettingsStore m_store;

private slots:
    void initTestCase()
    {
        m_dir = qEnvironmentVariable("PROG_INSTALLED_DIR");
        QVERIFY2(QFileInfo(m_dir + QStringLiteral("/Program")).isExecutable(), qPrintable(m_dir));
        // The point of the test: the program's folder really is read-only for this user.
        QVERIFY(!QFileInfo(m_dir).isWritable());
        m_userIni = QString::fromStdString(UserProfilePath("Program.ini"));
        QVERIFY(m_userIni.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME") + QLatin1Char('/')));
        QVERIFY(!QFileInfo::exists(m_userIni));
        SetAppSettingsStore(&m_store);
        CProgramApp::SetProgramDirForTests(m_dir);
    }

    void languageChangeGoesToTheUsersCopyAndComesBack()
    {
        const QByteArray shipped = ReadAll(m_dir + QStringLiteral("/Program.ini"));
        auto app = std::make_unique<CProgramApp>();
        QVERIFY(app->InitInstance({}));
        QCOMPARE(int(g_bChinese), 0);

        QStringList launched;
        QByteArray userIniAtLaunch;
        SetRelaunchHook([&](const QString& program, const QStringList&) {
            launched << program;
            userIniAtLaunch = ReadAll(m_userIni);
        });
        DialogRecorder dialogs;
        dialogs.handler = [](QDialog* d) {
            auto* dlg = qobject_cast<CLanguageDlg*>(d);
            dlg->SetSelection(1);
            dlg->accept();
            return dlg->result();
        };
        RunLanguageCommand(app->MainFrame()->ActiveView());
        QCOMPARE(launched.size(), 1);
        QVERIFY2(userIniAtLaunch.contains("Language=Chinese"), userIniAtLaunch.constData());
        // The whole profile moved over: the radio types and ports come along.
        QVERIFY(userIniAtLaunch.contains("Type1=") && userIniAtLaunch.contains("[Ports]"));
        QCOMPARE(ReadAll(m_dir + QStringLiteral("/Program.ini")), shipped);
        app.reset();
        QVERIFY(CProgramApp::SaveProfile());

        // The restart reads the user's copy: Chinese menus, Chinese help from the installed collection.
        app = std::make_unique<CProgramApp>();
        QVERIFY(app->InitInstance({}));
        QCOMPARE(int(g_bChinese), 1);
        QCOMPARE(app->MainFrame()->CurrentMenus().first()->title(), QString::fromUtf8("文件(&F)"));
        QCOMPARE(QString::fromStdString(theIniFile.GetSavePath()), m_userIni);
        ResetHelpState();
        QUrl topic;
        SetHelpHook([&topic](int, const QUrl& url) { topic = url; });
        HtmlHelp(ID_LANGUAGE);
        QCOMPARE(topic.scheme(), QStringLiteral("qthelp"));
        SetHelpHook(nullptr);
        SetRelaunchHook(nullptr);
        app.reset();
        theIniFile.SetWriteBackOnClose(false);
    }
};

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
