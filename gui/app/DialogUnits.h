#pragma once
// Dialog templates are laid out in dialog units: a quarter of the font's
// average character width across, an eighth of its height down.
#include <QFontMetrics>
#include <QRect>
#include <QWidget>

inline QRect DialogUnitRect(const QWidget* dialog, int x, int y, int w, int h)
{
    const QFontMetrics fm(dialog->font());
    const int bx = fm.averageCharWidth() > 0 ? fm.averageCharWidth() : 6;
    const int by = fm.height() > 0 ? fm.height() : 13;
    return QRect(x * bx / 4, y * by / 8, w * bx / 4, h * by / 8);
}

inline QFont DialogTemplateFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(9);
    return font;
}
