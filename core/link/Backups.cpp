#include "core/link/Backups.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/app/IniFile.h"
#include "core/platform/Files.h"
#include "core/platform/LocalTime.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/DatFile.h"

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
                        int keep)
{
    BackupResult r;
    std::error_code ec;
    fs::create_directories(platform::PathOf(folder), ec);
    if (ec || !fs::is_directory(platform::PathOf(folder))) {
        r.error = "Cannot create the folder \"" + folder + "\": " + (ec ? ec.message() : std::strerror(ENOTDIR));
        return r;
    }
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
    r.ok = true;
    r.path = path;
    r.pruned = PruneBackups(folder, keep, path);
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

int PruneBackups(const std::string& folder, int keep, const std::string& spare)
{
    struct Candidate {
        std::string path;
        bool spared;
        std::time_t age;  // the earlier of its modification time and its name's time
        std::time_t named;
        std::string name;
    };
    std::vector<Candidate> unpinned;
    for (const BackupInfo& b : ListBackups(folder, false)) {
        if (b.pinned)
            continue;
        std::error_code ec;
        const bool spared = !spare.empty() && fs::equivalent(platform::PathOf(b.path), platform::PathOf(spare), ec);
        // A name stamped later than the file (a clock set back, a new time
        // zone) or a file dated later than its name (a copy dated ahead, a
        // clock run forward) counts by the earlier of the two, so that no
        // stale backup outlives the new ones.
        const fs::file_time_type modified = fs::last_write_time(platform::PathOf(b.path), ec);
        const std::time_t onDisk =
            ec ? b.time : std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(modified));
        unpinned.push_back({b.path, spared, std::min(onDisk, b.time), b.time, b.name});
    }
    // Newest first: the one spared, then by age, the name's time, the name.
    std::sort(unpinned.begin(), unpinned.end(), [](const Candidate& a, const Candidate& b) {
        if (a.spared != b.spared)
            return a.spared;
        if (a.age != b.age)
            return a.age > b.age;
        return a.named != b.named ? a.named > b.named : a.name > b.name;
    });
    int deleted = 0;
    for (std::size_t i = static_cast<std::size_t>(std::max(keep, 0)); i < unpinned.size(); ++i) {
        if (unpinned[i].spared)
            continue;
        std::error_code ec;
        if (fs::remove(platform::PathOf(unpinned[i].path), ec))
            ++deleted;
    }
    return deleted;
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
            error = "Cannot unpin \"" + path + "\": " + ec.message();
        return !ec;
    }
    std::ofstream f(platform::PathOf(pin));
    if (!f) {
        error = "Cannot pin \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    f << "pinned\n";
    return true;
}
