#pragma once
// Text from outside the program (a port or file name, a device's description,
// a folder) as the window shows it. Such a name may hold any bytes and any
// characters: a label or tooltip that read it as markup would show
// "/tmp/<i>x" in italics, and a control character would hide or fake what
// follows it.
#include <QString>
#include <QStringList>
#include <QTextDocument>
#include <string>

#include "core/app/DisplayText.h"

// The name with control characters and bytes that are no UTF-8 written as \xHH.
inline QString ShownName(const std::string& name) { return QString::fromStdString(EscapeControlBytes(name)); }
inline QString ShownName(const QString& name) { return ShownName(name.toStdString()); }

// A tooltip is read as markup whenever it looks like some: one quoting a name
// that does is given as markup that shows its plain text.
inline QString PlainToolTip(const QString& text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

// A message of several lines quoting such names: each line as ShownName
// shows it, the line breaks kept.
inline QString ShownLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = ShownName(line);
    return lines.join(QLatin1Char('\n'));
}
