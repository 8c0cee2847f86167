#pragma once
// Files in and out, whatever they hold: atomic saves, the checks every output
// passes before anything is written, and the lock of a change made in place.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FileResult {
    bool ok = false;
    std::string error;         // names the file and the reason when !ok
    std::uint64_t length = 0;  // a read's file length, where the reader tells it
};

// Writes any byte string atomically (the .dat image, CSV, PDF, Program.ini):
// a temporary ".NAME.tr5-saving-XXXXXX" in the target's folder is written,
// flushed and renamed over the target. A symbolic link stays a link and its
// target is replaced. Refused: a directory, device, FIFO or socket, and a file
// that is read-only (to us, or to everyone: no write bit at all). A replaced
// file keeps its mode and, as far as we may set them, its owner and group; a
// new one gets 0666 less the umask. Temporary files of our own left by a save
// that was killed are removed on the next save of the same file.
FileResult WriteFileAtomically(const std::string& path, const void* data, std::size_t size);

// What WriteFileAtomically would refuse before it writes anything: the same
// message, for checking an output path before a long transfer.
FileResult CheckSaveTarget(const std::string& path);

// Why an existing file is kept as it is by every save, as an editor keeps it:
// no write permission for us, or no write bit at all (read-only even to root).
// "" when it may be written, or does not exist. Links are followed.
std::string ReadOnlyFileReason(const std::string& path);

// Whether a and b name the same file: after links, the same device and inode
// (hard links too); when neither exists yet, the same path once the links
// are followed.
bool SameFile(const std::string& a, const std::string& b);

// Every command that writes a file asks this first: its output must not be
// one of the files it reads (SameFile), or the save would destroy its input.
FileResult CheckOutputNotInput(const std::string& output, const std::vector<std::string>& inputs);

// What an existing file holds, by its first 64 KB.
enum class FileKind {
    None,    // missing, empty, or not a regular file (WriteFileAtomically refuses those)
    Text,    // no NUL or 0xFF byte: CSV, a serial trace
    Pdf,     // begins "%PDF-"
    Binary,  // anything else, such as a radio image
};
FileKind ExistingFileKind(const std::string& path);

// An output that replaces an existing file of another kind than it `writes`
// (a CSV over a radio image, a PDF over a CSV) only with `force`.
// `binarySize`, for binary outputs of one length (radio images): an existing
// binary file of another length is another kind too (a program, an archive).
FileResult CheckOutputKind(const std::string& path, FileKind writes, bool force, std::uint64_t binarySize = 0);

// What a command that changes a file in place (reads it, changes it, saves it
// over itself) holds for the whole of it: an exclusive advisory lock (flock)
// on the file, so that two runs on one file cannot both read the old contents
// and one silently lose the other's change. Released when destroyed.
namespace platform {
class CReadFile;
}

class CFileUpdateLock {
public:
    CFileUpdateLock();
    ~CFileUpdateLock();
    CFileUpdateLock(const CFileUpdateLock&) = delete;
    CFileUpdateLock& operator=(const CFileUpdateLock&) = delete;

    // Locks the file path names, waiting up to `wait` for another holder. Once
    // locked, path must still name that file: a save of the other run replaced
    // it (a new inode), so the new one is opened and locked instead. False
    // with error ("\"path\" is in use by another program ...") when it stayed
    // locked; true without a lock when path is no regular file that opens (the
    // load that follows tells why).
    bool Acquire(const std::string& path, std::chrono::milliseconds wait, std::string& error);
    bool Held() const;

private:
    std::unique_ptr<platform::CReadFile> m_file;
};
// How long a command waits for a file another program is changing.
inline constexpr std::chrono::seconds kFileLockWait{10};
