#pragma once
// The backups of progtool's reads: where they go, what they may prune, and
// what the user is told of both.
#include <string>
#include <vector>

#include "core/link/Backups.h"
#include "core/radio/Image.h"

namespace cli {

class Args;

// A complete read is also kept in the window's backup folder unless
// --no-backup: true when it was kept (its path told, and the old backups
// pruned for it) or not asked for; a failed backup is reported and fails the
// read's run (its file is still saved).
bool SaveReadBackup(const Args& args, const std::string& port, const Image& image);
// Where a read's backup goes and what it may prune.
struct BackupPlace {
    std::string into;   // a folder the user named (audit --backup-dir); "" for the window's backup folder
    int alsoKeep = 0;   // more backups than the window keeps (a run's own reads are never pruned by the run)
    bool prune = true;  // `into` is pruned only when asked (--prune)
};
struct ReadBackup : BackupResult {
    std::string folder;  // where it went
    int keep = 0;        // the program's own backups kept there
};
// The backup itself, safe to call from several threads. Never prunes a file
// named on the command line (SetCommandLine).
ReadBackup BackUpRead(const std::string& port, const Image& image, const BackupPlace& place = {});
// "removed the old backup PATH (...)", for each one a backup pruned.
void TellRemovedBackups(const ReadBackup& backup);
// The command's words: a file among them is never pruned as an old backup.
void SetCommandLine(const std::vector<std::string>& words);
std::vector<std::string> CommandLineFiles();

}  // namespace cli
