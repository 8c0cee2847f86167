#include "core/files/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

#include "core/files/TextLanguage.h"
#include "core/files/TextFile.h"
#include "core/platform/Files.h"

namespace {

std::string SysError(int err) { return std::strerror(err); }

// "Cannot save "PATH": ", the start of every refusal of a save.
std::string CannotSave(const std::string& path)
{
    return FileText("Cannot save \"", "无法保存 \"") + path + FileText("\": ", "\": ");
}

// The marker in our temporary files' names: ".NAME" + kTempMarker + six characters.
constexpr const char* kTempMarker = ".tr5-saving-";

// The file a chain of symbolic links ends at (path itself when it is no link);
// false for a loop or a chain too long to follow.
bool ResolveLinks(const std::string& path, std::string& target)
{
    namespace fs = std::filesystem;
    fs::path p = platform::PathOf(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::string link;
        bool failed = false;
        if (!platform::ReadLink(platform::PathText(p), link, failed)) {
            target = platform::PathText(p);
            return true;
        }
        if (failed)
            return false;
        const fs::path next = platform::PathOf(link);
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return false;
}

// Temporary files of earlier saves of the same file that were killed before
// they finished: ours by name, owner and kind, and no longer locked by a save.
void RemoveStaleTemps(const std::string& dir, const std::string& prefix)
{
    for (const std::string& name : platform::ListFolder(dir)) {
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        platform::RemoveAbandonedTemp(dir + "/" + name);
    }
}

}  // namespace

namespace {

std::string ReadOnlyFsText() { return FileText("the file system is read-only", "文件系统是只读的"); }

// As an editor does: a file without write permission for us, or with no write
// permission for anyone (read-only even to root), is kept.
std::string ReadOnlyReason(const std::string& target, const platform::FileInfo& st)
{
    const bool noWriteBits = !st.writeBits;
    const platform::Access access = noWriteBits ? platform::Access::Other : platform::WriteAccess(target);
    if (access == platform::Access::Yes)
        return std::string();
    return access == platform::Access::ReadOnlyFileSystem ? ReadOnlyFsText()
                                                          : FileText("the file is read-only", "该文件是只读的");
}

// The longest file name the folder's file system takes.
std::size_t NameMax(const std::string& dir) { return platform::NameMax(dir); }

// Where a save of path goes and what it replaces, or why it must not happen.
struct SavePlan {
    std::string target;  // path with its symbolic links followed
    std::string dir;     // the target's folder, where the temporary file goes
    bool exists = false;
    platform::FileInfo old;
};

std::string PlanSave(const std::string& path, SavePlan& plan)
{
    // Refused before a transfer, not after it: a name the system takes no file of.
    if (const std::string why = platform::FileNameRefused(path); !why.empty())
        return why;
    // A symbolic link stays a link: the file it names is the one replaced.
    if (!ResolveLinks(path, plan.target))
        return FileText("the symbolic link does not lead to a file (", "该符号链接没有指向文件 (") + SysError(ELOOP) +
               ")";
    const std::string shown = plan.target == path ? std::string()
                                                  : FileText(" (the link's target \"", " (链接的目标 \"") +
                                                        plan.target + FileText("\")", "\")");
    plan.dir = platform::PathText(platform::PathOf(plan.target).parent_path());
    if (plan.dir.empty())
        plan.dir = ".";
    plan.old = platform::Info(plan.target);
    plan.exists = plan.old.type != platform::FileType::None;
    if (plan.exists) {
        if (plan.old.type == platform::FileType::Directory)
            return FileText("it is a directory", "它是一个目录") + shown +
                   FileText("; give a file name", "; 请给出文件名");
        if (plan.old.type != platform::FileType::Regular)
            return FileText("it is not a regular file but a device, FIFO or socket",
                            "它不是普通文件, 而是设备、FIFO 或套接字") +
                   shown + FileText("; only a regular file is replaced", "; 只有普通文件才会被替换");
        if (const std::string why = ReadOnlyReason(plan.target, plan.old); !why.empty())
            return why + (why == ReadOnlyFsText() ? std::string()
                                                  : shown + FileText("; make it writable (", "; 请使其可写 (") +
                                                        platform::MakeWritableHint(FileTextsChinese()) +
                                                        FileText(") or save elsewhere", ") 或保存到别处"));
    }
    const platform::FileInfo ds = platform::Info(plan.dir);
    if (ds.type == platform::FileType::None)
        return FileText("the folder \"", "文件夹 \"") + plan.dir + FileText("\" does not exist", "\" 不存在");
    if (ds.type != platform::FileType::Directory)
        return "\"" + plan.dir + FileText("\" is not a folder", "\" 不是文件夹");
    if (std::string why; !platform::FolderWritable(plan.dir, why))
        return FileText("the folder \"", "文件夹 \"") + plan.dir + FileText("\" is not writable (", "\" 不可写 (") +
               why +
               FileText("); a save writes a new file there before it replaces the old one",
                        "); 保存时要先在那里写入新文件, 再替换旧文件");
    if (const std::size_t name = platform::PathText(platform::PathOf(plan.target).filename()).size(),
        limit = NameMax(plan.dir);
        name > limit)
        return FileText("its name is ", "它的名称长 ") + std::to_string(name) +
               FileText(" bytes long; the file system takes at most ", " 字节; 文件系统最多接受 ") +
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
        r.error = CannotSave(path) + why;
    r.ok = why.empty();
    return r;
}

std::string ReadOnlyFileReason(const std::string& path)
{
    const platform::FileInfo st = platform::Info(path);
    return st.type == platform::FileType::Regular ? ReadOnlyReason(path, st) : std::string();
}

FileResult WriteFileAtomically(const std::string& path, const void* data, std::size_t size)
{
    FileResult r;
    auto fail = [&](const std::string& reason) {
        r.error = CannotSave(path) + reason;
        return r;
    };
    SavePlan plan;
    if (const std::string why = PlanSave(path, plan); !why.empty())
        return fail(why);
    const std::string& target = plan.target;
    const std::string& dir = plan.dir;
    std::string prefix = "." + platform::PathText(platform::PathOf(target).filename()) + kTempMarker;
    // A name near the limit has no room for the marker: a short temporary name
    // in the same folder, cleaned up after a killed save as the long ones are.
    if (prefix.size() + 6 > NameMax(dir))
        prefix = kTempMarker;
    RemoveStaleTemps(dir, prefix);
    if (const std::string why = platform::ReplaceAtomically(dir, prefix, target, data, size); !why.empty())
        return fail(why);
    r.ok = true;
    return r;
}

bool SameFile(const std::string& a, const std::string& b)
{
    const platform::FileInfo sa = platform::Info(a), sb = platform::Info(b);
    const bool hasA = sa.type != platform::FileType::None, hasB = sb.type != platform::FileType::None;
    if (hasA || hasB)
        return hasA && hasB && sa.id == sb.id;
    // Neither is there yet: the same name once the links are followed.
    std::string ta, tb;
    if (!ResolveLinks(a, ta) || !ResolveLinks(b, tb))
        return false;
    std::error_code ea, eb;
    const auto ca = std::filesystem::weakly_canonical(platform::PathOf(ta), ea),
               cb = std::filesystem::weakly_canonical(platform::PathOf(tb), eb);
    return !ea && !eb && ca == cb;
}

FileResult CheckOutputNotInput(const std::string& output, const std::vector<std::string>& inputs)
{
    FileResult r;
    for (const std::string& in : inputs)
        if (SameFile(output, in)) {
            r.error = CannotSave(output) + (in == output ? FileText("it is the input file itself", "它就是输入文件本身")
                                                         : FileText("it is the input \"", "它就是输入文件 \"") + in +
                                                               FileText("\" (the same file)", "\" (同一个文件)"));
            return r;
        }
    r.ok = true;
    return r;
}

FileKind ExistingFileKind(const std::string& path)
{
    std::string error;
    platform::CReadFile file;
    if (!OpenRegularFile(path, file, error))
        return FileKind::None;
    unsigned char head[65536];
    const long long n = file.Read(head, sizeof head, error);
    file.Close();
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
    platform::FileInfo st;
    if (r.ok && !force && has == FileKind::Binary && writes == FileKind::Binary && binarySize > 0 &&
        (st = platform::Info(path)).type != platform::FileType::None && st.size != binarySize) {
        r.ok = false;
        r.error = CannotSave(path) + FileText("the file exists and holds ", "该文件已存在, 含有 ") +
                  std::to_string(st.size) +
                  FileText(" bytes of binary data, not the ", " 字节的二进制数据, 而不是这里保存的 ") +
                  std::to_string(binarySize) + FileText(" bytes saved here", " 字节");
        return r;
    }
    if (r.ok)
        return r;
    const auto name = [](FileKind k) {
        switch (k) {
        case FileKind::Text: return FileText("text", "文本");
        case FileKind::Pdf: return FileText("a PDF document", "PDF 文档");
        case FileKind::Binary: return FileText("binary data (a radio image, for one)", "二进制数据 (例如电台映像)");
        case FileKind::None: break;
        }
        return std::string();
    };
    r.error = CannotSave(path) + FileText("the file exists and holds ", "该文件已存在, 含有 ") + name(has) +
              FileText(", not ", ", 而不是 ") + name(writes);
    return r;
}

CFileUpdateLock::CFileUpdateLock() = default;
CFileUpdateLock::~CFileUpdateLock() = default;

bool CFileUpdateLock::Held() const { return m_file && m_file->IsOpen(); }

bool CFileUpdateLock::Acquire(const std::string& path, std::chrono::milliseconds wait, std::string& error)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        std::string unused;
        auto file = std::make_unique<platform::CReadFile>();
        if (!OpenRegularFile(path, *file, unused))
            return true;
        bool locked = false;
        for (;;) {
            const platform::CReadFile::Lock got = file->TryLock();
            if (got == platform::CReadFile::Lock::Locked) {
                locked = true;
                break;
            }
            // A file system without locks: the change goes ahead unguarded, as before.
            if (got == platform::CReadFile::Lock::Unsupported)
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (!locked) {
            error =
                "\"" + path +
                FileText("\" is in use by another program (it stayed locked for ", "\" 正被其他程序使用 (锁定超过 ") +
                std::to_string(std::chrono::duration_cast<std::chrono::seconds>(wait).count()) + " s)";
            return false;
        }
        const platform::FileInfo held = file->Info(), now = platform::Info(path);
        if (held.type != platform::FileType::None && now.type != platform::FileType::None && held.id == now.id) {
            m_file = std::move(file);
            return true;
        }
        // Replaced while we waited: the lock guards the old file, not the one
        // that will be read.
        if (std::chrono::steady_clock::now() >= deadline) {
            error = "\"" + path +
                    FileText("\" is in use by another program (it was replaced again and again)",
                             "\" 正被其他程序使用 (它被一再替换)");
            return false;
        }
    }
}
