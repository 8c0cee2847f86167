#include "core/files/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/files/TextFile.h"

namespace {

std::string SysError(int err) { return std::strerror(err); }

// The marker in our temporary files' names: ".NAME" + kTempMarker + six characters.
constexpr const char* kTempMarker = ".tr5-saving-";

// The file a chain of symbolic links ends at (path itself when it is no link);
// false for a loop or a chain too long to follow.
bool ResolveLinks(const std::string& path, std::string& target)
{
    namespace fs = std::filesystem;
    fs::path p(path);
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = p.string();
            return true;
        }
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size())
            return false;
        link.resize(static_cast<std::size_t>(n));
        const fs::path next(link);
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return false;
}

// Temporary files of earlier saves of the same file that were killed before
// they finished: ours by name, owner and kind, and no longer locked by a save.
void RemoveStaleTemps(const std::string& dir, const std::string& prefix)
{
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string full = dir + "/" + name;
        const int fd = ::open(full.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {
        }, now{};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(full.c_str(), &now) == 0 && now.st_ino == st.st_ino &&
            now.st_dev == st.st_dev)
            ::unlink(full.c_str());
        ::close(fd);
    }
    ::closedir(d);
}

}  // namespace

namespace {

constexpr const char* kReadOnlyFs = "the file system is read-only";

// As an editor does: a file without write permission for us, or with no write
// permission for anyone (read-only even to root), is kept.
std::string ReadOnlyReason(const std::string& target, const struct stat& st)
{
    const bool noWriteBits = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    if (!noWriteBits && ::access(target.c_str(), W_OK) == 0)
        return std::string();
    return !noWriteBits && errno == EROFS ? kReadOnlyFs : "the file is read-only";
}

// The longest file name the folder's file system takes.
std::size_t NameMax(const std::string& dir)
{
    const long n = ::pathconf(dir.c_str(), _PC_NAME_MAX);
    return n > 0 ? static_cast<std::size_t>(n) : 255;
}

// Where a save of path goes and what it replaces, or why it must not happen.
struct SavePlan {
    std::string target;  // path with its symbolic links followed
    std::string dir;     // the target's folder, where the temporary file goes
    bool exists = false;
    struct stat old {};
};

std::string PlanSave(const std::string& path, SavePlan& plan)
{
    // A symbolic link stays a link: the file it names is the one replaced.
    if (!ResolveLinks(path, plan.target))
        return "the symbolic link does not lead to a file (" + SysError(ELOOP) + ")";
    const std::string shown = plan.target == path ? std::string() : " (the link's target \"" + plan.target + "\")";
    plan.dir = std::filesystem::path(plan.target).parent_path().string();
    if (plan.dir.empty())
        plan.dir = ".";
    plan.exists = ::stat(plan.target.c_str(), &plan.old) == 0;
    if (plan.exists) {
        if (S_ISDIR(plan.old.st_mode))
            return "it is a directory" + shown + "; give a file name";
        if (!S_ISREG(plan.old.st_mode))
            return "it is not a regular file but a device, FIFO or socket" + shown +
                   "; only a regular file is replaced";
        if (const std::string why = ReadOnlyReason(plan.target, plan.old); !why.empty())
            return why + (why == kReadOnlyFs ? "" : shown + "; make it writable (chmod u+w) or save elsewhere");
    }
    struct stat ds {};
    if (::stat(plan.dir.c_str(), &ds) != 0)
        return "the folder \"" + plan.dir + "\" does not exist";
    if (!S_ISDIR(ds.st_mode))
        return "\"" + plan.dir + "\" is not a folder";
    if (::access(plan.dir.c_str(), W_OK | X_OK) != 0)
        return "the folder \"" + plan.dir + "\" is not writable (" + SysError(errno) +
               "); a save writes a new file there before it replaces the old one";
    if (const std::size_t name = std::filesystem::path(plan.target).filename().string().size(),
        limit = NameMax(plan.dir);
        name > limit)
        return "its name is " + std::to_string(name) + " bytes long; the file system takes at most " +
               std::to_string(limit);
    return std::string();
}

}  // namespace

FileResult CheckSaveTarget(const std::string& path)
{
    FileResult r;
    SavePlan plan;
    const std::string why = PlanSave(path, plan);
    if (!why.empty())
        r.error = "Cannot save \"" + path + "\": " + why;
    r.ok = why.empty();
    return r;
}

std::string ReadOnlyFileReason(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? ReadOnlyReason(path, st) : std::string();
}

FileResult WriteFileAtomically(const std::string& path, const void* data, std::size_t size)
{
    FileResult r;
    auto fail = [&](const std::string& reason) {
        r.error = "Cannot save \"" + path + "\": " + reason;
        return r;
    };
    SavePlan plan;
    if (const std::string why = PlanSave(path, plan); !why.empty())
        return fail(why);
    const std::string& target = plan.target;
    const std::string& dir = plan.dir;
    const bool exists = plan.exists;
    const struct stat& old = plan.old;
    const std::filesystem::path targetPath(target);
    std::string prefix = "." + targetPath.filename().string() + kTempMarker;
    // A name near the limit has no room for the marker: a short temporary name
    // in the same folder, cleaned up after a killed save as the long ones are.
    if (prefix.size() + 6 > NameMax(dir))
        prefix = kTempMarker;
    RemoveStaleTemps(dir, prefix);

    std::string tmpl;
    int fd = -1;
    // A temporary file of ours is locked while it is written, so a concurrent
    // save's clean-up never takes it; one that lost its name that way is redone.
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        tmpl = (std::filesystem::path(dir) / (prefix + "XXXXXX")).string();
        fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
        if (fd < 0)
            return fail(SysError(errno));
        struct stat mine {};
        if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &mine) != 0 || mine.st_nlink == 0) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0)
        return fail("its temporary file was removed while it was written");

    auto failFd = [&](int err) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        return fail(SysError(err));
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
        return fail(SysError(errno));
    r.ok = true;
    return r;
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat sa {};
    struct stat sb {};
    const bool hasA = ::stat(a.c_str(), &sa) == 0, hasB = ::stat(b.c_str(), &sb) == 0;
    if (hasA || hasB)
        return hasA && hasB && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    // Neither is there yet: the same name once the links are followed.
    std::string ta, tb;
    if (!ResolveLinks(a, ta) || !ResolveLinks(b, tb))
        return false;
    std::error_code ea, eb;
    const auto ca = std::filesystem::weakly_canonical(ta, ea), cb = std::filesystem::weakly_canonical(tb, eb);
    return !ea && !eb && ca == cb;
}

FileResult CheckOutputNotInput(const std::string& output, const std::vector<std::string>& inputs)
{
    FileResult r;
    for (const std::string& in : inputs)
        if (SameFile(output, in)) {
            r.error =
                "Cannot save \"" + output + "\": it is " +
                (in == output ? std::string("the input file itself") : "the input \"" + in + "\" (the same file)");
            return r;
        }
    r.ok = true;
    return r;
}

FileKind ExistingFileKind(const std::string& path)
{
    std::string error;
    const int fd = OpenRegularFile(path, error);
    if (fd < 0)
        return FileKind::None;
    unsigned char head[65536];
    ssize_t n;
    do
        n = ::read(fd, head, sizeof head);
    while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n <= 0)
        return FileKind::None;  // empty: nothing to lose (unreadable: the save tells why)
    const auto size = static_cast<std::size_t>(n);
    if (size >= 5 && std::memcmp(head, "%PDF-", 5) == 0)
        return FileKind::Pdf;
    // Text in UTF-8 or GB18030 never holds a NUL or 0xFF byte; a radio image
    // always has one (unused records and fields are 0xFF).
    if (std::memchr(head, 0x00, size) || std::memchr(head, 0xFF, size))
        return FileKind::Binary;
    return FileKind::Text;
}

FileResult CheckOutputKind(const std::string& path, FileKind writes, bool force, std::uint64_t binarySize)
{
    FileResult r;
    const FileKind has = ExistingFileKind(path);
    r.ok = force || has == FileKind::None || has == writes;
    struct stat st {};
    if (r.ok && !force && has == FileKind::Binary && writes == FileKind::Binary && binarySize > 0 &&
        ::stat(path.c_str(), &st) == 0 && static_cast<std::uint64_t>(st.st_size) != binarySize) {
        r.ok = false;
        r.error = "Cannot save \"" + path + "\": the file exists and holds " + std::to_string(st.st_size) +
                  " bytes of binary data, not the " + std::to_string(binarySize) + " bytes saved here";
        return r;
    }
    if (r.ok)
        return r;
    const auto name = [](FileKind k) {
        switch (k) {
        case FileKind::Text: return "text";
        case FileKind::Pdf: return "a PDF document";
        case FileKind::Binary: return "binary data (a radio image, for one)";
        case FileKind::None: break;
        }
        return "";
    };
    r.error = "Cannot save \"" + path + "\": the file exists and holds " + name(has) + ", not " + name(writes);
    return r;
}

CFileUpdateLock::~CFileUpdateLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CFileUpdateLock::Acquire(const std::string& path, std::chrono::milliseconds wait, std::string& error)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        std::string unused;
        const int fd = OpenRegularFile(path, unused);
        if (fd < 0)
            return true;
        bool locked = false;
        for (;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                locked = true;
                break;
            }
            if (errno != EWOULDBLOCK && errno != EINTR) {
                // A file system without locks: the change goes ahead unguarded, as before.
                ::close(fd);
                return true;
            }
            if (std::chrono::steady_clock::now() >= deadline)
                break;
            ::usleep(20000);
        }
        if (!locked) {
            ::close(fd);
            error = "\"" + path + "\" is in use by another program (it stayed locked for " +
                    std::to_string(std::chrono::duration_cast<std::chrono::seconds>(wait).count()) + " s)";
            return false;
        }
        struct stat held {};
        struct stat now {};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &now) == 0 && held.st_dev == now.st_dev &&
            held.st_ino == now.st_ino) {
            m_fd = fd;
            return true;
        }
        // Replaced while we waited: the lock guards the old file, not the one
        // that will be read.
        ::close(fd);
        if (std::chrono::steady_clock::now() >= deadline) {
            error = "\"" + path + "\" is in use by another program (it was replaced again and again)";
            return false;
        }
    }
}
