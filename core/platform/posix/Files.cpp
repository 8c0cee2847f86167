#include "core/platform/Files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string SysError(int err) { return std::strerror(err); }

FileInfo FromStat(const struct stat& st)
{
    FileInfo f;
    f.type = S_ISREG(st.st_mode)                          ? FileType::Regular
             : S_ISDIR(st.st_mode)                        ? FileType::Directory
             : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? FileType::Device
             : S_ISFIFO(st.st_mode)                       ? FileType::Fifo
             : S_ISSOCK(st.st_mode)                       ? FileType::Socket
                                                          : FileType::Other;
    f.link = S_ISLNK(st.st_mode);
    f.writeBits = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    f.size = static_cast<std::uint64_t>(st.st_size);
    f.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    f.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    f.id = FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    // Only a character device is compared by its number: a block device's
    // number means nothing to a serial trace.
    if (S_ISCHR(st.st_mode)) {
        f.device = static_cast<std::uint64_t>(st.st_rdev) + 1;
        struct stat null {};
        f.nullDevice = ::stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) && null.st_rdev == st.st_rdev;
    }
    return f;
}

FileInfo Failed()
{
    FileInfo f;
    f.notFound = errno == ENOENT;
    return f;
}

}  // namespace

FileInfo Info(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? FromStat(st) : Failed();
}

FileInfo LinkInfo(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? FromStat(st) : Failed();
}

FileInfo StreamInfo(int stream)
{
    struct stat st {};
    return ::fstat(stream, &st) == 0 ? FromStat(st) : Failed();
}

bool SameNode(const FileInfo& a, const FileInfo& b)
{
    if (a.type == FileType::None || b.type == FileType::None)
        return false;
    return a.id == b.id || (a.device != 0 && a.device == b.device);
}

Access WriteAccess(const std::string& path)
{
    if (::access(path.c_str(), W_OK) == 0)
        return Access::Yes;
    return errno == EACCES ? Access::Denied : errno == EROFS ? Access::ReadOnlyFileSystem : Access::Other;
}

std::string MakeWritableHint(bool) { return "chmod u+w"; }

bool FolderWritable(const std::string& dir, std::string& why)
{
    if (::access(dir.c_str(), W_OK | X_OK) == 0)
        return true;
    why = SysError(errno);
    return false;
}

std::size_t NameMax(const std::string& dir)
{
    const long n = ::pathconf(dir.c_str(), _PC_NAME_MAX);
    return n > 0 ? static_cast<std::size_t>(n) : 255;
}

bool ReadLink(const std::string& path, std::string& target, bool& failed)
{
    failed = false;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return false;
    std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n < 0 || static_cast<std::size_t>(n) >= link.size()) {
        failed = true;
        return true;
    }
    link.resize(static_cast<std::size_t>(n));
    target = link;
    return true;
}

std::vector<std::string> ListFolder(const std::string& dir)
{
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return names;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(d);
    return names;
}

std::string FileNameRefused(const std::string&) { return std::string(); }

bool DeviceFileName(const std::string&) { return false; }

bool CopyReplacing(const std::string& from, const std::string& to)
{
    std::error_code ec;
    return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
}

bool MakeFolder(const std::string& dir)
{
    ::mkdir(dir.c_str(), 0700);
    struct stat st {};
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveAbandonedTemp(const std::string& path)
{
    // Ours by owner and kind, and no longer locked by the save writing it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {
    }, now{};
    bool removed = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &now) == 0 && now.st_ino == st.st_ino &&
        now.st_dev == st.st_dev)
        removed = ::unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
}

std::string ReplaceAtomically(const std::string& dir, const std::string& prefix, const std::string& target,
                              const void* data, std::size_t size)
{
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    std::string tmpl;
    int fd = -1;
    // A temporary file of ours is locked while it is written, so a concurrent
    // save's clean-up never takes it; one that lost its name that way is redone.
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        tmpl = (std::filesystem::path(dir) / (prefix + "XXXXXX")).string();
        fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
        if (fd < 0)
            return SysError(errno);
        struct stat mine {};
        if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &mine) != 0 || mine.st_nlink == 0) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0)
        return "its temporary file was removed while it was written";

    auto failFd = [&](int err) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        return SysError(err);
    };
    if (exists) {
        // Keep the replaced file's owner where we may (root, or a group we are in) and its mode.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
            (void)groupOnly;  // where not even that, the file is ours, as a new file would be
        }
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    const auto* p = static_cast<const unsigned char*>(data);
    std::size_t left = size;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failFd(errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        return failFd(errno);
    if (::rename(tmpl.c_str(), target.c_str()) != 0)
        return failFd(errno);
    // Closing releases the lock only after the temporary name is gone.
    if (::close(fd) != 0)
        return SysError(errno);
    return std::string();
}

namespace {

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string WriteInPlace(const std::string& path, const std::string& text)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int openError = errno;
        // Cannot truncate: overwrite in place. The file keeps its length; the
        // zero bytes left after shorter text read back as empty lines.
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            return SysError(openError);
        struct stat st {};
        bool ok = ::fstat(fd, &st) == 0;
        if (ok && st.st_size > 0) {
            const std::string zeros(static_cast<std::size_t>(st.st_size), '\0');
            ok = WriteAll(fd, zeros.data(), zeros.size());
        }
        if (!ok || ::lseek(fd, 0, SEEK_SET) != 0) {
            const int err = errno;
            ::close(fd);
            return SysError(err);
        }
    }
    const bool written = WriteAll(fd, text.data(), text.size());
    const int writeError = errno;
    if (!written) {
        ::close(fd);
        return SysError(writeError);
    }
    if (::close(fd) != 0)
        return SysError(errno);
    return std::string();
}

std::string CreateIfMissing(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return SysError(errno);
    ::close(fd);
    return std::string();
}

CReadFile::~CReadFile() { Close(); }

CReadFile::CReadFile(CReadFile&& other) noexcept : m_handle(other.m_handle) { other.m_handle = -1; }

CReadFile& CReadFile::operator=(CReadFile&& other) noexcept
{
    if (this != &other) {
        Close();
        m_handle = other.m_handle;
        other.m_handle = -1;
    }
    return *this;
}

void CReadFile::Close()
{
    if (m_handle != -1)
        ::close(static_cast<int>(m_handle));
    m_handle = -1;
}

bool CReadFile::Open(const std::string& path, std::string& why)
{
    Close();
    // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = SysError(errno);
        return false;
    }
    // Reads of what it turns out to be (a regular file) wait for the data as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_handle = fd;
    return true;
}

FileInfo CReadFile::Info() const
{
    struct stat st {};
    if (m_handle == -1 || ::fstat(static_cast<int>(m_handle), &st) != 0)
        return Failed();
    return FromStat(st);
}

long long CReadFile::Read(void* to, std::size_t size, std::string& why)
{
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(m_handle), to, size);
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            why = SysError(errno);
            return -1;
        }
    }
}

CReadFile::Lock CReadFile::TryLock()
{
    for (;;) {
        if (::flock(static_cast<int>(m_handle), LOCK_EX | LOCK_NB) == 0)
            return Lock::Locked;
        if (errno == EWOULDBLOCK)
            return Lock::Busy;
        if (errno != EINTR)
            return Lock::Unsupported;
    }
}

int OpenOutput(const std::string& path, FileInfo& opened, std::string& why, bool& noReader)
{
    noReader = false;
    // A FIFO nobody reads is refused at once (ENXIO) instead of holding the caller.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        noReader = errno == ENXIO;
        why = SysError(errno);
        return -1;
    }
    opened = StreamInfo(fd);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

int CloseOutput(int fd) { return ::close(fd) == 0 ? 0 : errno; }

}  // namespace platform
