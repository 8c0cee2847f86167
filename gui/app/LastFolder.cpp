#include "gui/app/LastFolder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <string>

#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "gui/app/AppContext.h"

namespace {
std::string SettingName(FolderKind kind)
{
    const char* names[] = {"Documents", "Channels", "Trace", "Report", "Support"};
    return kSettingFolderPrefix + std::string(names[static_cast<int>(kind)]);
}
}  // namespace

QString LastFolder(FolderKind kind)
{
    const auto folder = AppSettings().ReadString(SettingsKey(theIniFile), SettingName(kind));
    if (!folder || folder->empty())
        return QString();
    const QString path = QString::fromStdString(*folder);
    return QFileInfo(path).isDir() ? path : QString();
}

void OpenInLastFolder(QFileDialog& dialog, FolderKind kind)
{
    const QString folder = LastFolder(kind);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
}

void RememberFolder(FolderKind kind, const QString& file)
{
    if (file.isEmpty())
        return;
    const QString folder = QFileInfo(file).absolutePath();
    AppSettings().WriteString(SettingsKey(theIniFile), SettingName(kind), QDir::cleanPath(folder).toStdString());
}
