#include "core/link/Backups.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

#include "core/app/IniFile.h"
#include "core/files/FileIO.h"
#include "core/files/TextFile.h"
#include "core/platform/Files.h"
#include "core/platform/LocalTime.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/DatFile.h"
#include "core/files/TextLanguage.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kStampLength = 15;  // YYYYMMDD-HHMMSS
constexpr int kShownNames = 3;

std::string PinPath(const std::string& path)
{
    return platform::PathText(platform::PathOf(path).replace_extension(".pin"));
}

bool Digits(const std::string& s, std::size_t from, std::size_t n)
{
    for (std::size_t i = from; i < from + n; ++i)
        if (i >= s.size() || s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

void ReadContents(BackupInfo& b)
{
    Image image{};
    const DatResult r = LoadDatFile(b.path, image);
    if (!r.ok) {
        b.error = r.error;
        return;
    }
    b.readable = true;
    CTextGrid grid;
    DecodeChannels(image, grid, false);
    for (int row = 1; row < kGridRows; ++row) {
        if (grid.TextMatrix(row, kColRxFreq).empty())
            continue;
        ++b.channels;
        const std::string name = grid.TextMatrix(row, kColName);
        if (!name.empty() && static_cast<int>(b.firstNames.size()) < kShownNames)
            b.firstNames.push_back(name);
    }
}

// The lists of one process change one at a time (the window's transfers and a
// fleet's reads save on threads of their own). Another process adding a line
// while one is rewritten may lose it: that backup is then never pruned.
std::mutex& ListLock()
{
    static std::mutex lock;
    return lock;
}

std::string ListPath(const std::string& dir) { return platform::PathText(platform::PathOf(dir) / kOwnBackupList); }

const char kListHeader[] =
    "# The backups tr5-programmer wrote into this folder, one file name a line.\n"
    "# Only these are ever pruned (the oldest beyond the number kept); a name taken out is never removed.\n";

// The names in a folder's list; `exists` tells whether it has one.
std::set<std::string> ReadOwnList(const std::string& dir, bool* exists = nullptr)
{
    std::set<std::string> names;
    const platform::FileInfo list = platform::LinkInfo(ListPath(dir));
    if (exists)
        *exists = list.type != platform::FileType::None || !list.notFound;
    // A list through a link names nothing: it may be any file of the user's.
    if (list.type != platform::FileType::Regular || list.link)
        return names;
    const TextFileResult r = ReadBoundedTextFile(ListPath(dir), 4u * 1024 * 1024);
    std::istringstream in(r.text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            names.insert(line);
    }
    return names;
}

// Only a list that is a plain file of its own (or none yet) is written: never
// through a link into another file, never into a FIFO that would hold the save.
bool ListWritable(const std::string& dir)
{
    const platform::FileInfo list = platform::LinkInfo(ListPath(dir));
    return list.notFound || (list.type == platform::FileType::Regular && !list.link);
}

bool WriteOwnList(const std::string& dir, const std::set<std::string>& names)
{
    if (!ListWritable(dir))
        return false;
    std::string text = kListHeader;
    for (const std::string& n : names)
        text += n + "\n";
    return WriteFileAtomically(ListPath(dir), text.data(), text.size()).ok;
}

// A program folder without a list: earlier versions wrote what is in it.
void AdoptEarlierBackups(const std::string& dir)
{
    bool listed = false;
    ReadOwnList(dir, &listed);
    std::error_code ec;
    if (listed || !fs::is_directory(platform::PathOf(dir), ec))
        return;
    std::set<std::string> names;
    for (fs::directory_iterator it(platform::PathOf(dir), ec), end; !ec && it != end; it.increment(ec)) {
        std::time_t t = 0;
        std::string port;
        const std::string name = platform::PathText(it->path().filename());
        std::error_code kindError;
        if (ParseBackupFileName(name, t, port) && it->is_regular_file(kindError))
            names.insert(name);
    }
    WriteOwnList(dir, names);
}

void RecordOwnBackup(const std::string& dir, const std::string& name)
{
    bool listed = false;
    ReadOwnList(dir, &listed);
    if (!listed) {
        WriteOwnList(dir, {name});
        return;
    }
    // One short line appended: another process's addition meanwhile stays.
    if (ListWritable(dir))
        std::ofstream(platform::PathOf(ListPath(dir)), std::ios::app) << name << "\n";
}

std::vector<std::string> Prune(const std::string& folder, const BackupPruning& pruning, const std::string& saved)
{
    if (!pruning.prune)
        return {};
    struct Candidate {
        std::string path;
        bool justSaved;
        std::time_t age;  // the earlier of its modification time and its name's time
        std::time_t named;
        std::string name;
        std::string dir;
    };
    std::map<std::string, std::set<std::string>> own;  // folder -> the names its list holds
    std::vector<Candidate> unpinned;
    for (const BackupInfo& b : ListBackups(folder, false)) {
        const std::string dir = platform::PathText(platform::PathOf(b.path).parent_path());
        if (!own.count(dir))
            own[dir] = ReadOwnList(dir);
        if (b.pinned || !own[dir].count(b.name) ||
            std::any_of(pruning.spare.begin(), pruning.spare.end(),
                        [&](const std::string& s) { return !s.empty() && SameFile(s, b.path); }))
            continue;
        const bool justSaved = !saved.empty() && SameFile(b.path, saved);
        // A name stamped later than the file (a clock set back, a new time
        // zone) or a file dated later than its name (a copy dated ahead, a
        // clock run forward) counts by the earlier of the two, so that no
        // stale backup outlives the new ones.
        std::error_code ec;
        const fs::file_time_type modified = fs::last_write_time(platform::PathOf(b.path), ec);
        const std::time_t onDisk =
            ec ? b.time : std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(modified));
        unpinned.push_back({b.path, justSaved, std::min(onDisk, b.time), b.time, b.name, dir});
    }
    // Newest first: the one just saved, then by age, the name's time, the name.
    std::sort(unpinned.begin(), unpinned.end(), [](const Candidate& a, const Candidate& b) {
        if (a.justSaved != b.justSaved)
            return a.justSaved;
        if (a.age != b.age)
            return a.age > b.age;
        return a.named != b.named ? a.named > b.named : a.name > b.name;
    });
    std::vector<std::string> removed;
    std::map<std::string, std::set<std::string>> gone;
    for (std::size_t i = unpinned.size(); i-- > static_cast<std::size_t>(std::max(pruning.keep, 0));) {
        if (unpinned[i].justSaved)
            continue;
        std::error_code ec;
        if (fs::remove(platform::PathOf(unpinned[i].path), ec)) {
            removed.push_back(unpinned[i].path);
            gone[unpinned[i].dir].insert(unpinned[i].name);
        }
    }
    // The lists forget what went, and what the user deleted by hand.
    for (const auto& [dir, names] : gone) {
        std::set<std::string> left;
        for (const std::string& n : ReadOwnList(dir)) {
            std::error_code ec;
            if (!names.count(n) && fs::exists(platform::PathOf(dir) / platform::PathOf(n), ec))
                left.insert(n);
        }
        WriteOwnList(dir, left);
    }
    return removed;
}

}  // namespace

std::string BackupFolder(const std::string& dataHome)
{
    return platform::PathText(platform::PathOf(dataHome) / kPackageName / "backups");
}

std::vector<std::string> BackupFoldersOf(const std::string& folder)
{
    std::vector<std::string> folders{folder};
    // Earlier versions kept them under the window's application name.
    const fs::path path = platform::PathOf(folder).lexically_normal();
    const fs::path last = path.has_filename() ? path : path.parent_path();
    if (last.filename() == "backups" && last.parent_path().filename() == kPackageName)
        folders.push_back(platform::PathText(last.parent_path().parent_path() / "Program" / "backups"));
    return folders;
}

std::string BackupFileName(std::time_t when, const std::string& port)
{
    const std::tm tm = platform::LocalTime(when);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    // A device path counts by its last part: "/dev/ttyUSB0" is "ttyUSB0".
    std::string name = platform::PathText(platform::PathOf(port).filename());
    if (name.empty())
        name = "radio";
    for (char& c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
              c == '.'))
            c = '_';
    return std::string(stamp) + "-" + name + ".dat";
}

bool ParseBackupFileName(const std::string& name, std::time_t& when, std::string& port)
{
    const std::string ext = ".dat";
    if (name.size() <= kStampLength + 1 + ext.size() || name.compare(name.size() - ext.size(), ext.size(), ext) != 0)
        return false;
    if (!Digits(name, 0, 8) || name[8] != '-' || !Digits(name, 9, 6) || name[kStampLength] != '-')
        return false;
    std::tm tm{};
    tm.tm_year = std::stoi(name.substr(0, 4)) - 1900;
    tm.tm_mon = std::stoi(name.substr(4, 2)) - 1;
    tm.tm_mday = std::stoi(name.substr(6, 2));
    tm.tm_hour = std::stoi(name.substr(9, 2));
    tm.tm_min = std::stoi(name.substr(11, 2));
    tm.tm_sec = std::stoi(name.substr(13, 2));
    tm.tm_isdst = -1;
    when = std::mktime(&tm);
    port = name.substr(kStampLength + 1, name.size() - kStampLength - 1 - ext.size());
    return when != static_cast<std::time_t>(-1);
}

BackupResult SaveBackup(const std::string& folder, const Image& image, const std::string& port, std::time_t when,
                        const BackupPruning& pruning)
{
    const std::lock_guard<std::mutex> hold(ListLock());
    BackupResult r;
    std::error_code ec;
    fs::create_directories(platform::PathOf(folder), ec);
    if (ec || !fs::is_directory(platform::PathOf(folder))) {
        r.error = FileText("Cannot create the folder \"", "无法创建文件夹 \"") + folder +
                  "\": " + (ec ? ec.message() : std::strerror(ENOTDIR));
        return r;
    }
    // Before this backup joins the list: only what was there already is the earlier versions'.
    if (pruning.programFolder)
        for (const std::string& dir : BackupFoldersOf(folder))
            AdoptEarlierBackups(dir);
    // Two reads within one second: the later one takes the next free second.
    std::string path;
    for (int i = 0; i < 60; ++i) {
        path = platform::PathText(platform::PathOf(folder) / BackupFileName(when + i, port));
        if (!fs::exists(platform::PathOf(path), ec))
            break;
    }
    const DatResult saved = SaveDatFile(path, image);
    if (!saved.ok) {
        r.error = saved.error;
        return r;
    }
    RecordOwnBackup(folder, platform::PathText(platform::PathOf(path).filename()));
    r.ok = true;
    r.path = path;
    r.removed = Prune(folder, pruning, path);
    return r;
}

std::vector<BackupInfo> ListBackups(const std::string& folder, bool contents)
{
    std::vector<BackupInfo> out;
    for (const std::string& dir : BackupFoldersOf(folder)) {
        std::error_code ec;
        for (fs::directory_iterator it(platform::PathOf(dir), ec), end; !ec && it != end; it.increment(ec)) {
            BackupInfo b;
            b.name = platform::PathText(it->path().filename());
            if (!ParseBackupFileName(b.name, b.time, b.port) || !it->is_regular_file(ec))
                continue;
            b.path = platform::PathText(it->path());
            b.pinned = IsBackupPinned(b.path);
            if (contents)
                ReadContents(b);
            out.push_back(std::move(b));
        }
    }
    std::sort(out.begin(), out.end(), [](const BackupInfo& a, const BackupInfo& b) {
        return a.time != b.time ? a.time > b.time : a.name > b.name;
    });
    return out;
}

std::vector<std::string> PruneBackups(const std::string& folder, const BackupPruning& pruning, const std::string& saved)
{
    const std::lock_guard<std::mutex> hold(ListLock());
    return Prune(folder, pruning, saved);
}

bool IsBackupPinned(const std::string& path)
{
    std::error_code ec;
    return fs::exists(platform::PathOf(PinPath(path)), ec);
}

bool SetBackupPinned(const std::string& path, bool pinned, std::string& error)
{
    const std::string pin = PinPath(path);
    std::error_code ec;
    if (!pinned) {
        fs::remove(platform::PathOf(pin), ec);
        if (ec)
            error = FileText("Cannot unpin \"", "无法取消固定 \"") + path + "\": " + ec.message();
        return !ec;
    }
    std::ofstream f(platform::PathOf(pin));
    if (!f) {
        error = FileText("Cannot pin \"", "无法固定 \"") + path + "\": " + std::strerror(errno);
        return false;
    }
    f << "pinned\n";
    return true;
}
