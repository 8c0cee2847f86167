// Qt's own floor for bench_startup: a maximized main window with one label,
// built with the same Qt and flags as the program, and nothing else.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "gui/app/FirstPaintMark.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Program"), &window));
    window.showMaximized();
    MarkFirstPaint(&window);
    return QApplication::exec();
}
