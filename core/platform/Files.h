#pragma once
// The file system as the program's files need it: what a name is, reading a
// regular file, replacing one whole, folders, the update lock and the trace
// output. Paths are UTF-8; a failure's reason is the system's own text.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// A UTF-8 path as std::filesystem takes it, and back: a plain std::string
// would be read in Windows' ANSI code page (on POSIX both are the bytes as
// they are).
inline std::filesystem::path PathOf(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string PathText(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

enum class FileType { None, Regular, Directory, Device, Fifo, Socket, Other };

// Which file a name leads to: two names of one file (hard links, links) have
// the same identity (device and inode; on Windows volume and file index).
struct FileId {
    std::uint64_t volume = 0;
    std::uint64_t node = 0;
    bool operator==(const FileId&) const = default;
};

struct FileInfo {
    FileType type = FileType::None;  // None: the name leads nowhere that can be asked
    bool notFound = false;           // None because no such file (not, say, no permission)
    bool link = false;               // a symbolic link itself (LinkInfo only)
    bool writeBits = true;           // false: read-only to everyone (no write bit; Windows' read-only attribute)
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds, for telling a changed file
    std::int64_t changed = 0;   // the inode's change time (Windows: the last write too)
    FileId id;
    std::uint64_t device = 0;  // for a Device: which one (two names of one device are equal)
    bool nullDevice = false;   // /dev/null, NUL: output thrown away
};

// stat(): links followed. LinkInfo: lstat(), a link is told as itself.
FileInfo Info(const std::string& path);
FileInfo LinkInfo(const std::string& path);
// The standard output (1) or error (2) as opened now.
FileInfo StreamInfo(int stream);
// Whether two infos name one file, or one device under two names.
bool SameNode(const FileInfo& a, const FileInfo& b);

// Whether we may write path (a file, or a folder for a new file in it).
enum class Access { Yes, Denied, ReadOnlyFileSystem, Other };
Access WriteAccess(const std::string& path);
// How the user makes a read-only file writable, for "make it writable (...)":
// "chmod u+w" on POSIX, clearing the read-only attribute on Windows.
std::string MakeWritableHint(bool chinese);
// Why the system takes no file of this name, in its words ("" when it does):
// on Windows a name with < > : " | ? * or a control character (but for the
// drive's colon); POSIX takes any name.
std::string FileNameRefused(const std::string& path);
// Whether the system takes a file of this name (its last part) as a device
// wherever it stands: CON, NUL, COM1... on Windows; never on POSIX.
bool DeviceFileName(const std::string& name);
// Whether a new file can be made in dir and named there; why not, the system's words.
bool FolderWritable(const std::string& dir, std::string& why);
// The longest name a file in dir may have, in bytes.
std::size_t NameMax(const std::string& dir);
// The target of the symbolic link path: false when path is no link.
bool ReadLink(const std::string& path, std::string& target, bool& failed);

// The names in dir ("." and ".." left out); empty when it cannot be read.
std::vector<std::string> ListFolder(const std::string& dir);
// Makes the folder (private to the user on POSIX, 0700); false when it is not there after.
bool MakeFolder(const std::string& dir);
// Removes a temporary file an earlier save left when it was killed: only a
// regular file of ours that no save has in use. False when it was kept.
bool RemoveAbandonedTemp(const std::string& path);

// Writes data to a new temporary file dir/prefix+6 characters, flushes it to
// the disk and renames it over target, which keeps its mode and owner where
// we may (POSIX). "" when done; otherwise the reason, nothing left behind.
std::string ReplaceAtomically(const std::string& dir, const std::string& prefix, const std::string& target,
                              const void* data, std::size_t size);
// Rewrites path in place with text (a file we may write but whose folder we
// may not): truncated, or where that is refused overwritten with zeros first.
// "" when done, otherwise the reason.
std::string WriteInPlace(const std::string& path, const std::string& text);
// Copies the file from over to, replacing a file there (a backup copy); false when it failed.
bool CopyReplacing(const std::string& from, const std::string& to);
// Creates path empty when it does not exist (never truncates); the reason when it fails.
std::string CreateIfMissing(const std::string& path);

// A file open for reading; closed when destroyed.
class CReadFile {
public:
    CReadFile() = default;
    ~CReadFile();
    CReadFile(CReadFile&& other) noexcept;
    CReadFile& operator=(CReadFile&& other) noexcept;
    CReadFile(const CReadFile&) = delete;
    CReadFile& operator=(const CReadFile&) = delete;

    // Opens path without waiting on a FIFO's writer; the system's reason when it cannot.
    bool Open(const std::string& path, std::string& why);
    // What is open (fstat).
    FileInfo Info() const;
    // Up to size bytes; 0 at the end, -1 with why.
    long long Read(void* to, std::size_t size, std::string& why);
    // An exclusive advisory lock without waiting: Windows locks a byte far
    // beyond the end, so that reads of the file through other handles go on.
    enum class Lock { Locked, Busy, Unsupported };
    Lock TryLock();
    bool IsOpen() const { return m_handle != -1; }
    void Close();

private:
    std::intptr_t m_handle = -1;
};

// Opens path for a stream of output (created, or truncated), without waiting
// for a FIFO's reader: a descriptor for the caller's stream buffer, closed by
// CloseOutput; -1 with why (noReader: a FIFO nobody reads). opened: what it is.
int OpenOutput(const std::string& path, FileInfo& opened, std::string& why, bool& noReader);
// Closes it: 0, or the error number (errno) of a write that failed at last.
int CloseOutput(int fd);

}  // namespace platform
