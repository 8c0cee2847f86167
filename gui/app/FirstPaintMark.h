#pragma once
// For the start-up benchmark (bench/bench_startup): under PROG_FIRST_PAINT_MARK
// a window writes the line "first-paint" to stderr once its first paint has gone
// to the display. Header only, so the bare window the benchmark compares with
// uses the very same test without linking the program.

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>
#include <cstdio>

inline void MarkFirstPaint(QWidget* window)
{
    if (!window || !qEnvironmentVariableIsSet("PROG_FIRST_PAINT_MARK"))
        return;
    class CFirstPaint : public QObject {
    public:
        explicit CFirstPaint(QWidget* w) : QObject(w), m_pWindow(w) {}
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            auto* w = qobject_cast<QWidget*>(watched);
            if (event->type() == QEvent::Paint && w && w->window() == m_pWindow) {
                QCoreApplication::instance()->removeEventFilter(this);
                // Queued: it runs after the whole window has painted and been flushed.
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        std::fputs("first-paint\n", stderr);
                        std::fflush(stderr);
                        deleteLater();
                    },
                    Qt::QueuedConnection);
            }
            return false;
        }

    private:
        QWidget* m_pWindow;
    };
    QCoreApplication::instance()->installEventFilter(new CFirstPaint(window));
}
