#include "gui/link/LinkSettings.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "core/link/Backups.h"
#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "core/platform/Files.h"
#include "core/platform/Paths.h"
#include "gui/app/AppContext.h"
#include "bridge/CorePath.h"

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

int ComPortNumber(const QString& port) { return ComPortNumber(CorePath(port)); }

QString PortLabel(const QString& port) { return FromCorePath(PortLabel(CorePath(port))); }

ResolvedPort ResolvePort(const QString& port) { return ResolvePort(CorePath(port)); }

QString RememberedPort()
{
    const std::string key = SettingsKey(theIniFile);
    const std::optional<std::string> device = AppSettings().ReadString(key, kSettingDevice);
    if (device && !device->empty())
        return FromCorePath(*device);
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
        AppSettings().WriteString(key, kSettingDevice, CorePath(port));
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
    // The folder progtool backs up into too: one rule, in the core.
    return QString::fromStdString(::BackupFolder(platform::UserDataFolder()));
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
        std::ofstream probe(platform::PathOf(CorePath(path)), std::ios::app);
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
    auto out = std::make_shared<std::ofstream>(platform::PathOf(CorePath(path)), std::ios::app);
    if (!*out) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return nullptr;
    }
    return out;
}
