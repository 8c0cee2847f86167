#include <QApplication>
#include <QFileInfo>
#include <cstdio>

#include "core/app/IniFile.h"
#include "gui/ProgramApp.h"

int main(int argc, char** argv)
{
    // --help and --version are answered before the toolkit starts: no display needed.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QString info = CProgramApp::InfoOptionText(args, QFileInfo(QString::fromLocal8Bit(argv[0])).fileName());
    if (!info.isEmpty()) {
        std::fputs(info.toLocal8Bit().constData(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Program"));
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kPackageName));
    CProgramApp theApp;
    // A failed start has shown its message and written it to stderr.
    if (!theApp.InitInstance(QApplication::arguments().mid(1)))
        return 1;
    const int rc = QApplication::exec();
    theApp.ExitInstance();
    // Program.ini goes back to disk here, where a failure can still be told.
    CProgramApp::SaveProfile();
    return rc;
}
