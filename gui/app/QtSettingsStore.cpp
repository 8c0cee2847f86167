#include "gui/app/QtSettingsStore.h"

#include <QSettings>
#include <memory>

namespace {
QSettings* Open(const std::string& key)
{
#ifdef Q_OS_WIN
    return new QSettings(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + QString::fromStdString(key),
                         QSettings::NativeFormat);
#else
    return new QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(key));
#endif
}
}  // namespace

std::optional<std::uint32_t> CQtSettingsStore::ReadDword(const std::string& key, const std::string& name)
{
    std::unique_ptr<QSettings> s(Open(key));
    const QVariant v = s->value(QString::fromStdString(name));
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok || n < 0 || n > 0xFFFFFFFFLL)
        return std::nullopt;
    return static_cast<std::uint32_t>(n);
}

void CQtSettingsStore::WriteDword(const std::string& key, const std::string& name, std::uint32_t value)
{
    std::unique_ptr<QSettings> s(Open(key));
    s->setValue(QString::fromStdString(name), static_cast<qlonglong>(value));
}

std::optional<std::string> CQtSettingsStore::ReadString(const std::string& key, const std::string& name)
{
    std::unique_ptr<QSettings> s(Open(key));
    const QVariant v = s->value(QString::fromStdString(name));
    if (!v.isValid())
        return std::nullopt;
    return v.toString().toStdString();
}

void CQtSettingsStore::WriteString(const std::string& key, const std::string& name, const std::string& value)
{
    std::unique_ptr<QSettings> s(Open(key));
    if (value.empty())
        s->remove(QString::fromStdString(name));
    else
        s->setValue(QString::fromStdString(name), QString::fromStdString(value));
}

void CQtSettingsStore::RemoveValue(const std::string& key, const std::string& name)
{
    std::unique_ptr<QSettings> s(Open(key));
    s->remove(QString::fromStdString(name));
}
