#pragma once
// Where the program and the user's files are: the executable's folder, the
// home, the per-user settings and data folders, and whether a folder may be
// written; and which system this is.
// Paths are UTF-8.
#include <string>

namespace platform {

// The folder of the running executable (links followed); the working folder
// when that cannot be told.
std::string ExecutableFolder();

// The user's folder for settings files: $XDG_CONFIG_HOME when absolute, else
// ~/.config ($HOME, else the password database); %APPDATA% on Windows. ""
// when there is none.
std::string UserConfigFolder();

// The user's folder for data (backups), where the window keeps it too:
// $XDG_DATA_HOME, else ~/.local/share; %LOCALAPPDATA% on Windows.
std::string UserDataFolder();

// The user's home folder ($HOME, else the password database; %USERPROFILE%
// on Windows), without a trailing separator; "" when there is none.
std::string HomeFolder();

// The login name of the user running the program (the password database,
// else $USER; %USERNAME% on Windows); "" when there is none.
std::string UserName();

// The operating system's name, release and machine for a support report:
// "Linux 6.1.0-18-amd64 #1 SMP ... x86_64", "Windows 10.0 build 19045".
std::string SystemDescription();

// Whether files may be made in dir (access W_OK; on Windows a trial file).
bool CanWriteFolder(const std::string& dir);

// A number the window keeps among its per-user settings under key (its
// QSettings: ~/.config/KEY.conf's [General]; on Windows the registry's
// HKEY_CURRENT_USER\Software\KEY); false when it is missing or not a number.
bool WindowSettingNumber(const std::string& key, const std::string& name, long long& value);

}  // namespace platform
