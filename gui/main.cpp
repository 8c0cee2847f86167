#include <QApplication>
#include <QFileInfo>
#include <cstdio>

#include "core/app/Globals.h"
#include "gui/ProgramApp.h"
#include "gui/app/AppContext.h"
#include "gui/app/FirstPaintMark.h"

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
    // Options the toolkit knows are taken out of the arguments by now; any
    // other is a mistake, told with the usage rather than ignored.
    if (const QString unknown = CProgramApp::UnknownOption(QApplication::arguments().mid(1)); !unknown.isEmpty()) {
        const QString name = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
        // The usage in the language of Program.ini, which it also chooses for this line.
        const QString usage = CProgramApp::InfoOptionText({QStringLiteral("--help")}, name);
        const QString line =
            g_bChinese ? QString::fromUtf8("%1：未知选项“%2”\n") : QStringLiteral("%1: unknown option \"%2\"\n");
        std::fputs((line.arg(name, unknown) + usage).toLocal8Bit().constData(), stderr);
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Program"));
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(PROG_APP_ID));
    CProgramApp theApp;
    // A failed start has shown its message and written it to stderr.
    if (!theApp.InitInstance(QApplication::arguments().mid(1)))
        return 1;
    MarkFirstPaint(MainWindow());
    const int rc = QApplication::exec();
    theApp.ExitInstance();
    // Program.ini goes back to disk here, where a failure can still be told.
    CProgramApp::SaveProfile();
    return rc;
}
