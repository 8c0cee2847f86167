#include "gui/ProgramApp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMenu>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

#include "gui/app/AppContext.h"
#include "gui/app/AppResources.h"
#include "gui/app/CommandIds.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/app/Language.h"
#include "gui/app/MessageBox.h"
#include "gui/app/HelpAccess.h"
#include "gui/frame/MainFrame.h"

namespace {
CProgramApp* g_pApp = nullptr;

QString& programDirOverride()
{
    static QString dir;
    return dir;
}
}  // namespace

CProgramApp::CProgramApp() { g_pApp = this; }

CProgramApp::~CProgramApp()
{
    ExitInstance();
    if (g_pApp == this)
        g_pApp = nullptr;
}

CProgramApp* CProgramApp::Instance() { return g_pApp; }

QString CProgramApp::ProgramDir()
{
    if (!programDirOverride().isEmpty())
        return programDirOverride();
    return QString::fromStdString(CIniFile::ProgramDir());
}

void CProgramApp::SetProgramDirForTests(const QString& dir) { programDirOverride() = dir; }

QString CProgramApp::FindLanguageModule(const QString& dir, const QString& language)
{
    const QString wanted = language + QStringLiteral(".qm");
    QDir d(dir);
    if (QFileInfo(d.filePath(wanted)).isFile())
        return d.filePath(wanted);
    // Module names are matched ignoring case, as the program's file names always were.
    const QStringList entries = d.entryList(QDir::Files);
    for (const QString& name : entries)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return d.filePath(name);
    return QString();
}

QStringList CProgramApp::FindToolkitTranslations(const QString& dir, const QString& language)
{
    // English is the toolkit's own language; nothing to load for it.
    if (language.isEmpty() || language.startsWith(QLatin1String("en")))
        return {};
    // Standard buttons and file dialogs (qtbase): a copy shipped beside the
    // program first, then the system's Qt translations.
    const QLocale locale(language);
    QStringList files;
    for (const QString& catalog : {QStringLiteral("qtbase")}) {
        for (const QString& where : {dir, QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
            QTranslator probe;
            if (probe.load(locale, catalog, QStringLiteral("_"), where)) {
                files << probe.filePath();
                break;
            }
        }
    }
    return files;
}

QString CProgramApp::InfoOptionText(const QStringList& args, const QString& invokedAs)
{
    const bool help = args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
    if (!help && !args.contains(QStringLiteral("--version")))
        return QString();
    const ProfilePaths profile = LocateProfile(ProgramDir().toStdString(), "Program.ini");
    theIniFile.LoadProfile(profile, false, true, false);
    ApplyLanguage(LanguageFromSetting(theIniFile.GetString("Setup", "Language", "")));
    if (!help) {
        // The first line for scripts, the program's name as it was started
        // ("tr5-programmer 1.0"), then the About box's lines.
        QString text = invokedAs + QStringLiteral(" " PROG_VERSION "\n");
        for (const char* key : {"Version", "Copyrights", "Copyrights Owner"}) {
            const QString line = IniString(g_strLanguage, key);
            if (!line.isEmpty())
                text += line + QLatin1Char('\n');
        }
        return text;
    }
    const QString read = QString::fromStdString(profile.read);
    const QString save = QString::fromStdString(profile.save);
    if (g_bChinese)
        return QString::fromUtf8(
                   "用法：%1 [选项] [文件.dat]\n"
                   "TR-5 写频软件的窗口程序：读写电台的存储器，编辑信道和功能设置，打印报表。\n\n"
                   "  文件.dat    打开该电台数据文件（8192 字节），不新建文档\n"
                   "  --help      显示本帮助后退出\n"
                   "  --version   显示版本后退出\n\n"
                   "设置（Program.ini）读取自 %2\n"
                   "              保存到 %3\n"
                   "不开窗口做同样的工作：progtool(1)。\n")
            .arg(invokedAs, read, save);
    return QStringLiteral(
               "usage: %1 [OPTION] [FILE.dat]\n"
               "The TR-5 programming tool's window: read and write the radio's memory, edit its\n"
               "channels and optional features, print the report.\n\n"
               "  FILE.dat    open this radio image (8192 bytes) instead of a new document\n"
               "  --help      print this help and exit\n"
               "  --version   print the version and exit\n\n"
               "Settings (Program.ini) are read from %2\n"
               "                       and saved to %3\n"
               "The same work without a window: progtool(1).\n")
        .arg(invokedAs, read, save);
}

QString CProgramApp::UnknownOption(const QStringList& args)
{
    for (const QString& a : args) {
        if (a == QLatin1String("--"))
            break;
        if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("--help") && a != QLatin1String("-h") &&
            a != QLatin1String("--version"))
            return a;
    }
    return QString();
}

bool CProgramApp::SaveProfile()
{
    theIniFile.Save(false);
    theIniFile.SetWriteBackOnClose(false);
    if (!theIniFile.SaveFailed())
        return true;
    std::fprintf(stderr, "Program: %s\n", theIniFile.SaveError().c_str());
    std::fflush(stderr);
    return false;
}

bool CProgramApp::Fail(const QString& message, const QString& detail)
{
    m_strLastError = detail.isEmpty() ? message : message + QStringLiteral(": ") + detail;
    std::fprintf(stderr, "Program: %s\n", m_strLastError.toLocal8Bit().constData());
    std::fflush(stderr);
    return false;
}

bool CProgramApp::InitInstance(const QStringList& args)
{
    m_strLastError.clear();
    SetMessageCaption(QStringLiteral("Program"));
    const QString dir = ProgramDir();

    // 1. Program.ini beside the executable, or the user's copy when the program's
    // folder is read-only (installed); written back at exit when changed.
    // One that cannot be read (a FIFO, a device, far too large) leaves the defaults.
    // A change rewrites only its own line: the notes and blank lines a user or
    // the package put in the file stay.
    theIniFile.SetKeepLayout(true);
    if (!theIniFile.LoadProfile(LocateProfile(dir.toStdString(), "Program.ini"), true, true, false) &&
        !theIniFile.LoadError().empty()) {
        std::fprintf(stderr, "Program: %s\n", theIniFile.LoadError().c_str());
        std::fflush(stderr);
    }

    // 2-3. The language, decided by the same rule as the command-line tool's.
    ApplyLanguage(LanguageFromSetting(theIniFile.GetString("Setup", "Language", "")));
    g_bNewDocument = false;
    SetHelpDirectory(dir);

    // 4-5. The language module supplies every menu, dialog and message text.
    if (m_pTranslator) {
        QCoreApplication::removeTranslator(m_pTranslator.get());
        m_pTranslator.reset();
    }
    for (const auto& qt : m_qtTranslators)
        QCoreApplication::removeTranslator(qt.get());
    m_qtTranslators.clear();
    const QString language = QString::fromStdString(g_strLanguage);
    const QString module = FindLanguageModule(dir, language);
    auto translator = std::make_unique<QTranslator>();
    if (module.isEmpty() || !translator->load(module)) {
        const QString text =
            g_bChinese ? QString::fromUtf8("加载语言链接库失败") : QStringLiteral("Load language DLL fail");
        MessageRequest r;
        r.text = text;
        r.caption = QStringLiteral("Program");
        r.icon = QMessageBox::Warning;
        const QString file = QDir(dir).filePath(language + QStringLiteral(".qm"));
        r.detail = module.isEmpty() ? QStringLiteral("%1 was not found.").arg(file)
                                    : QStringLiteral("%1 is not a language module.").arg(module);
        // The reason reaches a terminal or script before the box waits for a click.
        Fail(text, r.detail);
        AppMessageBox(r);
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    m_pTranslator = std::move(translator);
    // The toolkit's own texts in the module's language.
    for (const QString& file : FindToolkitTranslations(dir, m_pTranslator->language())) {
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(file)) {
            QCoreApplication::installTranslator(qt.get());
            m_qtTranslators.push_back(std::move(qt));
        }
    }

    // 8-9. The main frame; documents are made by the frame (document, child frame, view).
    m_pMainFrame = std::make_unique<CMainFrame>();
    SetMainWindow(m_pMainFrame.get());

    // 10. The command line: a file name opens that file, nothing makes a new document.
    QString fileArg;
    for (qsizetype i = 0; i < args.size() && fileArg.isEmpty(); ++i)
        if (args[i] == QLatin1String("--"))
            fileArg = args.value(i + 1);
        else if (!args[i].startsWith(QLatin1Char('-')))
            fileArg = args[i];
    const bool ok = fileArg.isEmpty() ? (m_pMainFrame->OnFileNew(), m_pMainFrame->ActiveChildFrame() != nullptr)
                                      : m_pMainFrame->OpenDocumentFile(fileArg);
    if (!ok) {
        SetMainWindow(nullptr);
        m_pMainFrame.reset();
        return Fail(QStringLiteral("Cannot start"), fileArg.isEmpty()
                                                        ? QStringLiteral("no document could be created")
                                                        : QStringLiteral("%1 could not be opened").arg(fileArg));
    }

    // 11. Maximized.
    m_pMainFrame->showMaximized();

    // 12. "title.ico" from the current directory brands the window; else the built-in icon.
    m_pMainFrame->setWindowIcon(TitleIcon());

    // 13. The company name captions every message box that brings no caption of
    // its own. Not the application display name: X11 would append that to every
    // window title.
    SetMessageCaption(IniString(g_strLanguage, "Company"));

    // 14. The first Help item carries the About title.
    // A title without a letter of its own gets A (Alt+H, A), its first "A" or,
    // as the Chinese menus mark theirs, "(&A)"; the toolbar and tips show it plain.
    const QString aboutTitle = IniString(g_strLanguage, "About Title");
    QString aboutItem = aboutTitle;
    if (QKeySequence::mnemonic(aboutItem).isEmpty()) {
        const qsizetype a = aboutItem.indexOf(QLatin1Char('a'), 0, Qt::CaseInsensitive);
        if (a >= 0)
            aboutItem.insert(a, QLatin1Char('&'));
        else
            aboutItem += QStringLiteral("(&A)");
    }
    QAction* about = m_pMainFrame->Action(ID_APP_ABOUT);
    about->setText(aboutItem);
    about->setIconText(aboutTitle);

    // 15. ShowLang converted as atoi does: 0 removes the Language command.
    const std::string showLang = theIniFile.GetString("Setup", "ShowLang", "");
    if (std::atoi(showLang.c_str()) == 0) {
        for (QMenu* m : m_pMainFrame->findChildren<QMenu*>())
            m->removeAction(m_pMainFrame->Action(ID_LANGUAGE));
    }
    return true;
}

void CProgramApp::ExitInstance()
{
    if (m_pMainFrame) {
        SetMainWindow(nullptr);
        m_pMainFrame.reset();
    }
    // The help engine belongs to the application object and would otherwise go
    // with it, after the event loop's timers: its window's views, told that the
    // models went, would start timers there ("QBasicTimer can only be used with
    // threads started with QThread").
    CloseHelp();
    if (m_pTranslator)
        QCoreApplication::removeTranslator(m_pTranslator.get());
    for (const auto& qt : m_qtTranslators)
        QCoreApplication::removeTranslator(qt.get());
    m_pTranslator.reset();
    m_qtTranslators.clear();
}
