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
    // A REG_DWORD comes back as a signed int: its 32 bits are the value.
    if (v.typeId() == QMetaType::Int)
        return static_cast<std::uint32_t>(v.toInt());
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok || n < 0 || n > 0xFFFFFFFFLL)
        return std::nullopt;
    return static_cast<std::uint32_t>(n);
}

// A write of what is stored already leaves the file alone: every write
// rewrites and syncs the whole file, and the window writes the radio type and
// the recent files each time it opens a document, mostly unchanged.
void CQtSettingsStore::WriteDword(const std::string& key, const std::string& name, std::uint32_t value)
{
    std::unique_ptr<QSettings> s(Open(key));
    const QString n = QString::fromStdString(name);
    bool ok = false;
    if (const QVariant old = s->value(n);
        old.isValid() && old.typeId() != QMetaType::LongLong && old.toUInt(&ok) == value && ok)
        return;
    // An unsigned int: a REG_DWORD in the registry (a long long would be a
    // REG_QWORD), a plain number in a settings file.
    s->setValue(n, static_cast<uint>(value));
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
    const QString n = QString::fromStdString(name);
    const QVariant old = s->value(n);
    if (value.empty()) {
        if (s->contains(n))
            s->remove(n);
        return;
    }
    const QString text = QString::fromStdString(value);
    if (!old.isValid() || old.typeId() != QMetaType::QString || old.toString() != text)
        s->setValue(n, text);
}

void CQtSettingsStore::RemoveValue(const std::string& key, const std::string& name)
{
    std::unique_ptr<QSettings> s(Open(key));
    if (s->contains(QString::fromStdString(name)))
        s->remove(QString::fromStdString(name));
}
