#pragma once
// File names between Qt and the core. The core takes UTF-8 on Windows (it
// converts at the system's calls) and a name's own bytes on POSIX, where a
// name need not be valid UTF-8: QFile's encoding keeps such a name as it is.
// Here, the lowest layer with Qt, so the report and the window share it.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

inline std::string CorePath(const QString& path)
{
#ifdef Q_OS_WIN
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

inline QString FromCorePath(const std::string& path)
{
#ifdef Q_OS_WIN
    return QString::fromStdString(path);
#else
    return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}
