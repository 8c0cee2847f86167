#pragma once
// For the start-up benchmark (bench/bench_startup): under PROG_FIRST_PAINT_MARK
// a window writes the line "first-paint" to stderr once its first paint has gone
// to the display; under PROG_EXIT_AT_PAINT as well it then ends at once, so a
// profiler sees the start alone. Header only, so the bare window the benchmark
// compares with uses the very same test without linking the program.

#include <QEvent>
#include <QMetaObject>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

inline void MarkFirstPaint(QWidget* window)
{
    if (!window || !qEnvironmentVariableIsSet("PROG_FIRST_PAINT_MARK"))
        return;
    // The window's own paint comes first in each repaint of it; the queued
    // line follows once its children have painted and all went to the display.
    class CFirstPaint : public QObject {
    public:
        using QObject::QObject;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint) {
                watched->removeEventFilter(this);
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        std::fputs("first-paint\n", stderr);
                        std::fflush(stderr);
                        if (qEnvironmentVariableIsSet("PROG_EXIT_AT_PAINT"))
                            std::_Exit(0);
                        deleteLater();
                    },
                    Qt::QueuedConnection);
            }
            return false;
        }
    };
    window->installEventFilter(new CFirstPaint(window));
}
