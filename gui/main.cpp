#include <QApplication>

#include "gui/ProgramApp.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Program"));
    CProgramApp theApp;
    // A failed start has shown its message and written it to stderr.
    if (!theApp.InitInstance(QApplication::arguments().mid(1)))
        return 1;
    const int rc = QApplication::exec();
    theApp.ExitInstance();
    return rc;
}
