#pragma once
// Automatic backups of what radios held: every complete read is kept as
// <timestamp>-<port>.dat ("20260501-143005-COM1.dat", local time) in a
// per-user folder that the window and progtool both name. The newest ones are
// kept, older ones pruned, except those the user pinned (a "<name>.pin"
// marker beside the file). Only backups the program wrote itself are ever
// pruned: each folder lists them in kOwnBackupList, so a file of the user's
// that happens to be named like a backup (a plan, a copy) is never removed.
#include <ctime>
#include <string>
#include <vector>

#include "core/radio/Image.h"

inline constexpr int kDefaultBackupKeep = 50;
// The file in a backup folder naming, one a line, the backups the program wrote there.
inline constexpr char kOwnBackupList[] = "tr5-programmer-backups.txt";

struct BackupInfo {
    std::string path;
    std::string name;      // file name
    std::time_t time = 0;  // from the name
    std::string port;      // from the name
    bool pinned = false;
    bool readable = false;                // the contents below were read
    std::string error;                    // why not, naming the file
    int channels = 0;                     // channels in use
    std::vector<std::string> firstNames;  // names of the first named channels, in channel order
};

struct BackupResult {
    bool ok = false;
    std::string path;                  // the backup written
    std::string error;                 // names the folder or file and the system's reason
    std::vector<std::string> removed;  // older backups deleted to keep the number, oldest first
};

// What a save may prune. Never a pinned backup, one of `spare` (the files
// named on the command line, the documents open in a window: compared as
// files, through links) or a file the program did not write into that folder.
struct BackupPruning {
    bool prune = true;  // false: nothing is removed (a folder the user named, unless asked)
    int keep = kDefaultBackupKeep;
    // The program's own folder (BackupFolder): earlier versions kept no list
    // there, so when its list is first made, the backups already in it (and
    // in the folder BackupFoldersOf adds) are taken as theirs.
    bool programFolder = true;
    std::vector<std::string> spare;
};

// The folder backups go to under the user's data folder ($XDG_DATA_HOME, else
// ~/.local/share): "<dataHome>/tr5-programmer/backups", after the program's name.
std::string BackupFolder(const std::string& dataHome);
// The folders a backup folder stands for: itself and, for the program's own
// folder, the one earlier versions wrote ("<dataHome>/Program/backups"), whose
// backups are still listed, opened, pinned and pruned with the others.
std::vector<std::string> BackupFoldersOf(const std::string& folder);

// "20260501-143005-COM1.dat": the port as the user names it, with every
// character a file name should not hold turned into '_'.
std::string BackupFileName(std::time_t when, const std::string& port);
// The time and port of a backup's file name; false when it follows no backup naming.
bool ParseBackupFileName(const std::string& name, std::time_t& when, std::string& port);

// Creates the folder when needed, writes the image atomically (a later
// second when the name is taken), adds it to the folder's list and prunes as
// `pruning` allows (PruneBackups); the backup just written is never among
// those pruned.
BackupResult SaveBackup(const std::string& folder, const Image& image, const std::string& port, std::time_t when,
                        const BackupPruning& pruning = {});

// The backups in the folder (and those BackupFoldersOf adds), newest first;
// with contents, each file is read for its channel count and first names
// (names in the given language's codec).
std::vector<BackupInfo> ListBackups(const std::string& folder, bool contents = true);

// Deletes the oldest of the program's own unpinned backups beyond the
// `pruning.keep` newest (over BackupFoldersOf(folder)); returns the paths
// removed, oldest first. Files it did not write, pinned backups and
// `pruning.spare` neither count nor go; `saved` (a backup just saved) does not
// go and counts as the newest. Oldest by the files' modification times: the
// local time in a name can run backwards (a new time zone, a clock set back);
// the name's time only breaks a tie. Nothing when `pruning.prune` is false.
std::vector<std::string> PruneBackups(const std::string& folder, const BackupPruning& pruning,
                                      const std::string& saved = {});

// Pins or unpins one backup; false with error naming the file and the reason.
bool SetBackupPinned(const std::string& path, bool pinned, std::string& error);
bool IsBackupPinned(const std::string& path);
