#pragma once
// The application object: start-up in order (Program.ini, language, language
// module, main frame, first document, branding). It sits on top of the window
// layer, beside main(): nothing below includes it.
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class CMainFrame;
class QTranslator;

class CProgramApp {
public:
    CProgramApp();
    ~CProgramApp();
    CProgramApp(const CProgramApp&) = delete;
    CProgramApp& operator=(const CProgramApp&) = delete;

    // Start-up. args are the command-line arguments after the program name. On
    // failure the user has been told, LastError() says why, and no window is left.
    bool InitInstance(const QStringList& args);
    QString LastError() const { return m_strLastError; }
    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    // Destroys the main frame (the end of the message loop).
    void ExitInstance();

    static CProgramApp* Instance();

    // The text "--help" or "--version" prints, in the language Program.ini
    // chooses; empty when args ask for neither. invokedAs names the program in
    // the usage line. Needs no application object and no display.
    static QString InfoOptionText(const QStringList& args, const QString& invokedAs);
    // The first argument that is an option this program does not know (the
    // toolkit's own, -platform and the like, are gone from args by then);
    // empty when there is none. Everything after "--" is a file.
    static QString UnknownOption(const QStringList& args);

    // Writes Program.ini back when it was changed; a failure goes to stderr.
    // The process's end calls it, so nothing is written at static destruction.
    static bool SaveProfile();

    // Where Program.ini, the language modules and the help collections are read
    // (the directory of the running executable unless a test chose another).
    static QString ProgramDir();
    static void SetProgramDirForTests(const QString& dir);

    // The language module file for a Language value in dir: the exact name, else
    // the one whose name matches ignoring case; empty when there is none.
    static QString FindLanguageModule(const QString& dir, const QString& language);

    // The toolkit's own translations (qtbase_*.qm) for a module
    // language such as "zh_CN": beside the program, else among Qt's installed
    // translations; none for English or when they are not installed.
    static QStringList FindToolkitTranslations(const QString& dir, const QString& language);

private:
    bool Fail(const QString& message, const QString& detail);

    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<QTranslator> m_pTranslator;
    std::vector<std::unique_ptr<QTranslator>> m_qtTranslators;
    QString m_strLastError;
};
