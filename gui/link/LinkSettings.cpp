#include "gui/link/LinkSettings.h"

#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "core/link/Backups.h"
#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "gui/app/AppContext.h"

namespace {

QString& Trace()
{
    static QString path;
    return path;
}

bool Flag(const char* name, bool def)
{
    return AppSettings().ReadDword(SettingsKey(theIniFile), name).value_or(def ? 1 : 0) != 0;
}

void SetFlag(const char* name, bool on) { AppSettings().WriteDword(SettingsKey(theIniFile), name, on ? 1 : 0); }

}  // namespace

int ComPortNumber(const QString& port) { return ComPortNumber(QFile::encodeName(port).toStdString()); }

QString PortLabel(const QString& port)
{
    return QFile::decodeName(QByteArray::fromStdString(PortLabel(QFile::encodeName(port).toStdString())));
}

ResolvedPort ResolvePort(const QString& port) { return ResolvePort(QFile::encodeName(port).toStdString()); }

QString RememberedPort()
{
    const std::string key = SettingsKey(theIniFile);
    const std::optional<std::string> device = AppSettings().ReadString(key, kSettingDevice);
    if (device && !device->empty())
        return QFile::decodeName(QByteArray::fromStdString(*device));
    const std::uint32_t n = AppSettings().ReadDword(key, kSettingCom).value_or(0);
    return n >= 1 && n <= 4 ? QStringLiteral("com%1").arg(n) : QStringLiteral("COM1");
}

void RememberPort(const QString& port)
{
    const std::string key = SettingsKey(theIniFile);
    if (const int n = ComPortNumber(port)) {
        AppSettings().WriteDword(key, kSettingCom, static_cast<std::uint32_t>(n));
        AppSettings().RemoveValue(key, kSettingDevice);
    } else {
        AppSettings().WriteString(key, kSettingDevice, QFile::encodeName(port).toStdString());
    }
    emit CPortChoice::Instance()->Chosen(port);
}

CPortChoice* CPortChoice::Instance()
{
    static CPortChoice choice;
    return &choice;
}

QString BackupFolder()
{
    return QFile::decodeName(
        ::BackupFolder(
            QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).toStdString())
            .c_str());
}

int BackupsKept()
{
    const std::uint32_t n =
        AppSettings().ReadDword(SettingsKey(theIniFile), kSettingBackupKeep).value_or(kDefaultBackupKeep);
    return n >= 1 && n <= 10000 ? static_cast<int>(n) : kDefaultBackupKeep;
}

void SetBackupsKept(int count)
{
    AppSettings().WriteDword(SettingsKey(theIniFile), kSettingBackupKeep, static_cast<std::uint32_t>(count));
}

bool VerifyAfterWriteSetting() { return Flag(kSettingVerify, true); }
void SetVerifyAfterWriteSetting(bool on) { SetFlag(kSettingVerify, on); }
bool BackupBeforeWriteSetting() { return Flag(kSettingBackupFirst, true); }
void SetBackupBeforeWriteSetting(bool on) { SetFlag(kSettingBackupFirst, on); }

QString TracePath() { return Trace(); }

bool SetTracePath(const QString& path, QString* error)
{
    if (!path.isEmpty()) {
        std::ofstream probe(QFile::encodeName(path).toStdString(), std::ios::app);
        if (!probe) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    Trace() = path;
    return true;
}

std::shared_ptr<std::ostream> OpenTraceFile(QString* error)
{
    const QString path = Trace();
    if (path.isEmpty())
        return nullptr;
    auto out = std::make_shared<std::ofstream>(QFile::encodeName(path).toStdString(), std::ios::app);
    if (!*out) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return nullptr;
    }
    return out;
}
