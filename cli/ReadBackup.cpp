#include "cli/ReadBackup.h"

#include <ctime>
#include <mutex>

#include "cli/Args.h"
#include "cli/Output.h"
#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "core/files/FileIO.h"
#include "core/link/Backups.h"
#include "core/platform/Paths.h"

namespace cli {

namespace {
std::vector<std::string> g_commandLine;
}  // namespace

void SetCommandLine(const std::vector<std::string>& words) { g_commandLine = words; }

std::vector<std::string> CommandLineFiles()
{
    // Every word, and the value of "--opt=value": only a word naming a file
    // can be a backup, and only files are compared.
    std::vector<std::string> files;
    for (const std::string& w : g_commandLine) {
        files.push_back(w);
        if (const std::size_t eq = w.find('='); w.rfind("--", 0) == 0 && eq != std::string::npos)
            files.push_back(w.substr(eq + 1));
    }
    return files;
}

ReadBackup BackUpRead(const std::string& port, const Image& image, const BackupPlace& place)
{
    // Fleet reads finish on their own threads; the settings and the file names
    // of one second are shared between them.
    static std::mutex lock;
    const std::lock_guard<std::mutex> hold(lock);
    // The window's backup folder and number to keep: the program's name in
    // the user's data folder, its settings under [Setup] AppName.
    const std::string own = BackupFolder(platform::UserDataFolder());
    const std::string folder = place.into.empty() ? own : place.into;
    // Read as the window's Qt reads it: a number beyond an int keeps its low 32 bits.
    long long kept = kDefaultBackupKeep;
    if (!platform::WindowSettingNumber(SettingsKey(theIniFile), kSettingBackupKeep, kept))
        kept = kDefaultBackupKeep;
    const int keep = static_cast<int>(static_cast<unsigned long long>(kept) & 0xFFFFFFFFu);
    BackupPruning pruning;
    pruning.keep = (keep > 0 ? keep : kDefaultBackupKeep) + place.alsoKeep;
    pruning.prune = place.into.empty() || place.prune;
    pruning.programFolder = place.into.empty() || SameFile(place.into, own);
    pruning.spare = CommandLineFiles();
    ReadBackup r;
    static_cast<BackupResult&>(r) = SaveBackup(folder, image, port, std::time(nullptr), pruning);
    r.folder = folder;
    r.keep = pruning.keep;
    return r;
}

void TellRemovedBackups(const ReadBackup& backup)
{
    for (const std::string& path : backup.removed)
        Note(Tr("removed the old backup ", "已删除旧备份 ") + path + Tr(" (the newest ", " (保留程序自己的最新 ") +
             std::to_string(backup.keep) + Tr(" of the program's own are kept)", " 个备份)"));
}

bool SaveReadBackup(const Args& args, const std::string& port, const Image& image)
{
    if (args.Has("--no-backup"))
        return true;
    const ReadBackup r = BackUpRead(port, image);
    if (r.ok) {
        Note(Tr("backup: ", "备份: ") + r.path);
        TellRemovedBackups(r);
    } else {
        Error(Tr("the backup in ", "备份到 ") + r.folder + Tr(" failed: ", " 失败: ") + r.error);
    }
    return r.ok;
}

}  // namespace cli
