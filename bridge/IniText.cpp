#include "bridge/IniText.h"

#include <QByteArray>
#include <QStringDecoder>

#include "core/platform/Codepage.h"

QString FromIni(const std::string& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArray::fromStdString(bytes));
    if (!utf8.hasError())
        return text;
    // The system's converter: Qt converts GB18030 only where it has ICU, not on Windows.
    if (std::string converted; platform::Gb18030ToUtf8(bytes, converted))
        return QString::fromStdString(converted);
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
