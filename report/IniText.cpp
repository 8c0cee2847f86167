#include "report/IniText.h"

#include <QByteArray>
#include <QStringDecoder>

QString FromIni(const std::string& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArray::fromStdString(bytes));
    if (!utf8.hasError())
        return text;
    QStringDecoder gb("GB18030");
    if (gb.isValid())
        return gb(QByteArray::fromStdString(bytes));
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
