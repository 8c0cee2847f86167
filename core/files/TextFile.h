#pragma once
// Text inputs (CSV, serial traces, Program.ini) are read whole, but only from
// a regular file and only up to a limit: a device or FIFO named by mistake
// would never end, and a huge file would take all memory.
#include <cstddef>
#include <string>

#include "core/platform/Files.h"

// A CSV of every channel is a few kB; a profile or a trace far below this.
inline constexpr std::size_t kTextFileLimit = 16u * 1024 * 1024;

struct TextFileResult {
    bool ok = false;
    std::string text;
    std::string error;  // names the file and the reason when !ok
};

// The whole of path when it is a regular file of at most limit bytes; never
// blocks on a FIFO. Refused: missing or unreadable files, directories, devices,
// FIFOs, sockets and longer files, each with its reason.
TextFileResult ReadBoundedTextFile(const std::string& path, std::size_t limit = kTextFileLimit);

// Opens path for reading into file when it is a regular file, without
// blocking on a FIFO, and tells its size; false with error naming the file
// and the reason, in the words of ReadBoundedTextFile. Every file input goes
// through it (text files, radio images).
bool OpenRegularFile(const std::string& path, platform::CReadFile& file, std::string& error,
                     unsigned long long* size = nullptr);
