#include "core/platform/Files.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "core/platform/win32/Utf16.h"

namespace platform {

namespace {

// The sentinel of a CReadFile that names a device: told, never opened (a
// serial port or the console would be taken or read).
constexpr std::intptr_t kDeviceHandle = -2;

HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

std::string LastError() { return SystemMessage(GetLastError()); }

bool NotFound(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

// A name Windows takes as a device wherever it stands: CON, PRN, AUX, NUL,
// COM1..COM9, LPT1..LPT9 (an extension or trailing spaces do not change that),
// and any "\\.\" path. upper: the device's name, for telling two apart.
bool DeviceName(const std::string& path, std::string& upper)
{
    if (path.size() > 4 && (path.compare(0, 4, "\\\\.\\") == 0 || path.compare(0, 4, "//./") == 0)) {
        upper = path.substr(4);
    } else {
        const std::size_t slash = path.find_last_of("/\\:");
        upper = path.substr(slash == std::string::npos ? 0 : slash + 1);
        upper = upper.substr(0, upper.find('.'));
        while (!upper.empty() && upper.back() == ' ')
            upper.pop_back();
    }
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (path.size() > 4 && (path.compare(0, 4, "\\\\.\\") == 0 || path.compare(0, 4, "//./") == 0))
        return true;
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL")
        return true;
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

FileInfo DeviceInfo(const std::string& upper)
{
    FileInfo f;
    f.type = FileType::Device;
    f.device = std::hash<std::string>{}(upper) | 1;
    f.id = FileId{0, f.device};  // one device under two names is one file, two devices are not
    f.nullDevice = upper == "NUL";
    return f;
}

std::int64_t Nanoseconds(const FILETIME& t)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 100;
}

FileInfo FromHandle(HANDLE h)
{
    FileInfo f;
    switch (GetFileType(h)) {
    case FILE_TYPE_CHAR: f.type = FileType::Device; return f;
    case FILE_TYPE_PIPE: f.type = FileType::Fifo; return f;
    case FILE_TYPE_DISK: break;
    default: f.type = FileType::Other; return f;
    }
    BY_HANDLE_FILE_INFORMATION i{};
    if (!GetFileInformationByHandle(h, &i))
        return f;
    f.type = (i.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileType::Directory : FileType::Regular;
    // Only a symbolic link is a link: other reparse points (cloud files,
    // deduplicated files) are the files themselves.
    FILE_ATTRIBUTE_TAG_INFO tag{};
    f.link = (i.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
             GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) &&
             tag.ReparseTag == IO_REPARSE_TAG_SYMLINK;
    f.writeBits = !(i.dwFileAttributes & FILE_ATTRIBUTE_READONLY) || f.type == FileType::Directory;
    f.size = (static_cast<std::uint64_t>(i.nFileSizeHigh) << 32) | i.nFileSizeLow;
    f.modified = f.changed = Nanoseconds(i.ftLastWriteTime);
    f.id = FileId{i.dwVolumeSerialNumber, (static_cast<std::uint64_t>(i.nFileIndexHigh) << 32) | i.nFileIndexLow};
    return f;
}

FileInfo InfoOf(const std::string& path, bool follow)
{
    if (std::string upper; DeviceName(path, upper))
        return DeviceInfo(upper);
    const std::wstring wide = Utf16(path);
    const HANDLE h =
        CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        const FileInfo f = FromHandle(h);
        CloseHandle(h);
        return f;
    }
    const DWORD code = GetLastError();
    FileInfo f;
    // A file no one may open (a page file): what its attributes tell.
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!NotFound(code) && GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &a)) {
        f.type = (a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileType::Directory : FileType::Regular;
        f.writeBits = !(a.dwFileAttributes & FILE_ATTRIBUTE_READONLY) || f.type == FileType::Directory;
        f.size = (static_cast<std::uint64_t>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
        f.modified = f.changed = Nanoseconds(a.ftLastWriteTime);
        return f;
    }
    f.notFound = NotFound(code);
    return f;
}

// A file made and removed in dir: the only sure test that a new file may be
// made there (folder permissions are lists, the read-only attribute means
// nothing on a folder).
bool ProbeFolder(const std::string& dir, DWORD& code)
{
    static std::mt19937 random{std::random_device{}()};
    const std::wstring probe = Utf16(dir) + L"\\.tr5-probe-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(random() % 1000000);
    const HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        code = GetLastError();
        return false;
    }
    CloseHandle(h);
    return true;
}

bool WriteAll(HANDLE h, const void* data, std::size_t size)
{
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD done = 0;
        if (!WriteFile(h, p, chunk, &done, nullptr))
            return false;
        p += done;
        size -= done;
    }
    return true;
}

// The update locks this process holds, by the file they lock: a save of
// that file must release it for a moment where Windows cannot rename over
// an open file (before Windows 10, Wine).
struct HeldLock {
    FileId id;
    std::intptr_t* handle;
};
std::mutex g_locksMutex;
std::vector<HeldLock> g_locks;

// The lock held at from is now held at to (nullptr: released).
void MoveLock(std::intptr_t* from, std::intptr_t* to)
{
    const std::lock_guard<std::mutex> hold(g_locksMutex);
    for (auto it = g_locks.begin(); it != g_locks.end(); ++it)
        if (it->handle == from) {
            if (to)
                it->handle = to;
            else
                g_locks.erase(it);
            return;
        }
}

bool LockFar(HANDLE h)
{
    OVERLAPPED at{};
    at.Offset = 0xFFFFFFFE;
    at.OffsetHigh = 0x7FFFFFFF;
    return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}

// Renames the open file h over target. POSIX semantics first (Windows 10
// and later): a target another handle holds open with FILE_SHARE_DELETE, as
// the update lock does, is replaced all the same; else the classic rename.
bool RenameOver(HANDLE h, const std::wstring& target)
{
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetFullPathNameW(target.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0)
            return false;
        if (n < full.size()) {
            full.resize(n);
            break;
        }
        full.resize(n + 1);
    }
    struct Rename {
        DWORD flags;  // ReplaceIfExists for the classic class
        HANDLE root;
        DWORD length;
        WCHAR name[1];
    };
    const std::size_t bytes = full.size() * sizeof(WCHAR);
    std::vector<unsigned char> buffer(sizeof(Rename) + bytes);
    auto* info = reinterpret_cast<Rename*>(buffer.data());
    info->root = nullptr;
    info->length = static_cast<DWORD>(bytes);
    memcpy(info->name, full.data(), bytes);
    constexpr int kFileRenameInfoEx = 22;
    constexpr DWORD kReplaceIfExists = 0x1, kPosixSemantics = 0x2;
    info->flags = kReplaceIfExists | kPosixSemantics;
    if (SetFileInformationByHandle(h, static_cast<FILE_INFO_BY_HANDLE_CLASS>(kFileRenameInfoEx), info,
                                   static_cast<DWORD>(buffer.size())))
        return true;
    info->flags = TRUE;
    return SetFileInformationByHandle(h, FileRenameInfo, info, static_cast<DWORD>(buffer.size()));
}

}  // namespace

FileInfo Info(const std::string& path) { return InfoOf(path, true); }

FileInfo LinkInfo(const std::string& path) { return InfoOf(path, false); }

FileInfo StreamInfo(int stream)
{
    const HANDLE h = GetStdHandle(stream == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return FileInfo();
    return FromHandle(h);
}

bool SameNode(const FileInfo& a, const FileInfo& b)
{
    if (a.type == FileType::None || b.type == FileType::None)
        return false;
    if (a.device != 0 || b.device != 0)
        return a.device == b.device;
    return a.type != FileType::Device && a.id == b.id;
}

std::string MakeWritableHint(bool chinese)
{
    // A read-only file on Windows is its attribute, not a permission bit.
    return chinese ? "清除该文件的只读属性：在其“属性”中取消勾选“只读”，或运行 attrib -r 文件名"
                   : "clear the file's read-only attribute: untick Read-only in its Properties, or run attrib -r FILE";
}

Access WriteAccess(const std::string& path)
{
    const FileInfo f = Info(path);
    if (f.type == FileType::Directory) {
        DWORD code = 0;
        if (ProbeFolder(path, code))
            return Access::Yes;
        return code == ERROR_ACCESS_DENIED   ? Access::Denied
               : code == ERROR_WRITE_PROTECT ? Access::ReadOnlyFileSystem
                                             : Access::Other;
    }
    if (f.type == FileType::None)
        return Access::Other;
    if (!f.writeBits)
        return Access::Denied;
    const HANDLE h =
        CreateFileW(Utf16(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return Access::Yes;
    }
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED: return Access::Denied;
    case ERROR_WRITE_PROTECT: return Access::ReadOnlyFileSystem;
    // In use by another program, not read-only: the save itself tells.
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return Access::Yes;
    default: return Access::Other;
    }
}

bool FolderWritable(const std::string& dir, std::string& why)
{
    DWORD code = 0;
    if (ProbeFolder(dir, code))
        return true;
    why = SystemMessage(code);
    return false;
}

std::size_t NameMax(const std::string&) { return 255; }

bool ReadLink(const std::string& path, std::string& target, bool& failed)
{
    failed = false;
    if (!LinkInfo(path).link)
        return false;
    std::error_code ec;
    const std::filesystem::path to = std::filesystem::read_symlink(std::filesystem::path(Utf16(path)), ec);
    if (ec) {
        failed = true;
        return true;
    }
    target = Utf8(to.wstring());
    return true;
}

std::vector<std::string> ListFolder(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE h = FindFirstFileW((Utf16(dir) + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(Utf8(name));
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return names;
}

std::string FileNameRefused(const std::string& path)
{
    // "C:" and "\\?\C:" start a path: their colon is the drive's.
    std::size_t from = 0;
    if (path.compare(0, 4, "\\\\?\\") == 0 || path.compare(0, 4, "\\\\.\\") == 0)
        from = 4;
    if (path.size() >= from + 2 && path[from + 1] == ':' && std::isalpha(static_cast<unsigned char>(path[from])))
        from += 2;
    for (std::size_t i = from; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (c < 32 || std::strchr("<>:\"|?*", c) != nullptr)
            return SystemMessage(ERROR_INVALID_NAME);
    }
    return std::string();
}

bool DeviceFileName(const std::string& name)
{
    std::string upper;
    return DeviceName(name, upper);
}

bool CopyReplacing(const std::string& from, const std::string& to)
{
    // Not std::filesystem::copy_file: MinGW's refuses to replace ("File exists").
    return CopyFileW(Utf16(from).c_str(), Utf16(to).c_str(), FALSE) != 0;
}

bool MakeFolder(const std::string& dir)
{
    CreateDirectoryW(Utf16(dir).c_str(), nullptr);
    return Info(dir).type == FileType::Directory;
}

bool RemoveAbandonedTemp(const std::string& path)
{
    // A save still writing its temporary file holds it open without sharing
    // it for deletion, so the removal fails; links are left alone.
    const FileInfo f = LinkInfo(path);
    return f.type == FileType::Regular && !f.link && DeleteFileW(Utf16(path).c_str());
}

std::string ReplaceAtomically(const std::string& dir, const std::string& prefix, const std::string& target,
                              const void* data, std::size_t size)
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::wstring temp;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i)
            name += kChars[random() % (sizeof kChars - 1)];
        temp = Utf16(dir + "\\" + name);
        // Not shared for deleting: another save's clean-up cannot take it while it is written.
        h = CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return LastError();
    }
    if (h == INVALID_HANDLE_VALUE)
        return LastError();
    if (!WriteAll(h, data, size) || !FlushFileBuffers(h)) {
        const std::string why = LastError();
        CloseHandle(h);
        DeleteFileW(temp.c_str());
        return why;
    }
    // Renamed while still open, so no clean-up can take it in between; where
    // that is not possible, closed and moved.
    if (RenameOver(h, Utf16(target))) {
        CloseHandle(h);
        return std::string();
    }
    // Our own update lock holds the target open: let go for the rename, and
    // lock the new file in its place.
    if (const FileInfo old = Info(target); old.type == FileType::Regular) {
        const std::lock_guard<std::mutex> hold(g_locksMutex);
        for (auto it = g_locks.begin(); it != g_locks.end(); ++it) {
            if (!(it->id == old.id))
                continue;
            std::intptr_t* held = it->handle;
            g_locks.erase(it);
            CloseHandle(AsHandle(*held));
            *held = -1;
            const bool renamed = RenameOver(h, Utf16(target));
            const HANDLE again =
                CreateFileW(Utf16(target).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
            if (again != INVALID_HANDLE_VALUE && LockFar(again)) {
                *held = reinterpret_cast<std::intptr_t>(again);
                g_locks.push_back({FromHandle(again).id, held});
            } else if (again != INVALID_HANDLE_VALUE) {
                CloseHandle(again);
            }
            if (renamed) {
                CloseHandle(h);
                return std::string();
            }
            break;
        }
    }
    CloseHandle(h);
    if (!MoveFileExW(temp.c_str(), Utf16(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const std::string why = LastError();
        DeleteFileW(temp.c_str());
        return why;
    }
    return std::string();
}

std::string WriteInPlace(const std::string& path, const std::string& text)
{
    // OPEN_ALWAYS and a cut at the end: CREATE_ALWAYS would refuse a hidden file.
    const HANDLE h = CreateFileW(Utf16(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return LastError();
    const bool ok = WriteAll(h, text.data(), text.size()) && SetEndOfFile(h);
    const std::string why = ok ? std::string() : LastError();
    CloseHandle(h);
    return why;
}

std::string CreateIfMissing(const std::string& path)
{
    const HANDLE h = CreateFileW(Utf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return LastError();
    CloseHandle(h);
    return std::string();
}

CReadFile::~CReadFile() { Close(); }

CReadFile::CReadFile(CReadFile&& other) noexcept : m_handle(other.m_handle)
{
    other.m_handle = -1;
    MoveLock(&other.m_handle, &m_handle);
}

CReadFile& CReadFile::operator=(CReadFile&& other) noexcept
{
    if (this != &other) {
        Close();
        m_handle = other.m_handle;
        other.m_handle = -1;
        MoveLock(&other.m_handle, &m_handle);
    }
    return *this;
}

void CReadFile::Close()
{
    MoveLock(&m_handle, nullptr);
    if (m_handle != -1 && m_handle != kDeviceHandle)
        CloseHandle(AsHandle(m_handle));
    m_handle = -1;
}

bool CReadFile::Open(const std::string& path, std::string& why)
{
    Close();
    if (std::string upper; DeviceName(path, upper)) {
        m_handle = kDeviceHandle;
        return true;
    }
    // Shared for writing and deleting: a save may replace the file while it
    // is read or locked, as on POSIX. A folder opens too, to be told as one.
    const HANDLE h =
        CreateFileW(Utf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        why = LastError();
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(h);
    return true;
}

FileInfo CReadFile::Info() const
{
    if (m_handle == kDeviceHandle)
        return DeviceInfo(std::string());
    if (m_handle == -1)
        return FileInfo();
    return FromHandle(AsHandle(m_handle));
}

long long CReadFile::Read(void* to, std::size_t size, std::string& why)
{
    if (m_handle == -1 || m_handle == kDeviceHandle) {
        why = SystemMessage(ERROR_INVALID_HANDLE);
        return -1;
    }
    DWORD done = 0;
    const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    if (!ReadFile(AsHandle(m_handle), to, chunk, &done, nullptr)) {
        const DWORD code = GetLastError();
        if (code == ERROR_HANDLE_EOF || code == ERROR_BROKEN_PIPE)
            return 0;
        why = SystemMessage(code);
        return -1;
    }
    return done;
}

CReadFile::Lock CReadFile::TryLock()
{
    if (m_handle == -1 || m_handle == kDeviceHandle)
        return Lock::Unsupported;
    // Windows' locks are mandatory for the bytes they cover: one byte far
    // beyond any end is locked, so every reader goes on while two updates
    // still exclude each other.
    if (LockFar(AsHandle(m_handle))) {
        const std::lock_guard<std::mutex> hold(g_locksMutex);
        g_locks.push_back({Info().id, &m_handle});
        return Lock::Locked;
    }
    const DWORD code = GetLastError();
    return code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING ? Lock::Busy : Lock::Unsupported;
}

int OpenOutput(const std::string& path, FileInfo& opened, std::string& why, bool& noReader)
{
    noReader = false;
    std::wstring wide = Utf16(path);
    if (std::string upper; DeviceName(path, upper)) {
        // Only the null device is opened: a port or the console is never taken.
        if (upper != "NUL") {
            why = SystemMessage(ERROR_ACCESS_DENIED);
            return -1;
        }
        wide = L"NUL";
    }
    // OPEN_ALWAYS and a cut at the end: CREATE_ALWAYS would refuse a hidden file.
    const HANDLE h =
        CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        why = LastError();
        return -1;
    }
    opened = FromHandle(h);
    if (wide == L"NUL")
        opened = DeviceInfo("NUL");
    else if (opened.type == FileType::Regular && !SetEndOfFile(h)) {
        why = LastError();
        CloseHandle(h);
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        why = SystemMessage(ERROR_TOO_MANY_OPEN_FILES);
        CloseHandle(h);
    }
    return fd;
}

int CloseOutput(int fd) { return _close(fd) == 0 ? 0 : errno; }

}  // namespace platform
