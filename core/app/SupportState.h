#pragma once
// What a support report tells of the past: the last transfer's result and the
// last messages the user was shown, kept small in the user's data folder (as
// the kept serial trace is) by both the window and progtool.
//
// Keeping them never fails what the user did: a write that fails is dropped
// (the file is replaced atomically, so it is the old one or the new one).
// Reading caps what it takes: a damaged or huge file cannot bloat a report.
#include <cstddef>
#include <string>
#include <vector>

#include "core/files/TextFile.h"

// The program's folder in the user's data folder ($XDG_DATA_HOME/tr5-programmer,
// %LOCALAPPDATA%\tr5-programmer); "" without one.
std::string ProgramDataFolder();
// "last-transfer.txt" and "last-messages.txt" there.
std::string LastTransferPath();
std::string LastMessagesPath();

// The messages kept, and the longest line kept of one (longer are cut).
inline constexpr std::size_t kKeptMessages = 20;
inline constexpr std::size_t kKeptLineLength = 400;
// The most of either file a report reads.
inline constexpr std::size_t kSupportStateReadLimit = 64 * 1024;

// Replaces the file `name` of the program's data folder with text, atomically,
// the folder made when missing; a symbolic link there is replaced, not followed.
// False with error naming the file and the reason.
bool KeepDataFile(const std::string& name, const std::string& text, std::string* error = nullptr);

// "2026-12-08 17:20:22  read  COM1 (/dev/ttyUSB0)  ok" (or "failed: message"),
// one line, replacing the one before.
bool RecordTransferResult(bool write, const std::string& port, bool ok, const std::string& message);
// Adds a time-stamped line to the last messages, keeping the last kKeptMessages.
bool RecordShownMessage(const std::string& message);

// `text` as one line of at most kKeptLineLength characters: line ends become
// " / ", control bytes and invalid UTF-8 are escaped.
std::string OneLine(const std::string& text);

// A file of the program's data folder, at most limit bytes. A link there is
// refused, not followed: whoever planted it would have the report quote the
// file it leads to.
TextFileResult ReadKeptFile(const std::string& path, std::size_t limit);

// The lines of a kept file, each as OneLine makes it, the last maxLines of
// them; empty when the file is missing. A file over kSupportStateReadLimit or
// of another kind gives one line saying so.
std::vector<std::string> ReadKeptLines(const std::string& path, std::size_t maxLines = kKeptMessages);
