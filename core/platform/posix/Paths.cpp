#include "core/platform/Paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <vector>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "core/platform/Files.h"

namespace platform {

namespace {

std::string JoinPath(const std::string& dir, const std::string& name)
{
    return (dir.empty() || dir.back() == '/') ? dir + name : dir + "/" + name;
}

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A path without empty, "." and resolvable ".." parts or a trailing slash, as
// the window's Qt cleans the folders it names.
std::string CleanPath(const std::string& path)
{
    const bool absolute = !path.empty() && path.front() == '/';
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (!absolute)
                parts.push_back(part);
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out = absolute ? "/" : "";
    for (std::size_t i = 0; i < parts.size(); ++i)
        out += (i ? "/" : "") + parts[i];
    return out.empty() ? "." : out;
}

// The home folder as the window's Qt takes it: $HOME, else the root.
std::string QtHome()
{
    const std::string home = Env("HOME");
    return CleanPath(home.empty() ? "/" : home);
}

}  // namespace

std::string ExecutableFolder()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exe = fs::canonical("/proc/self/exe", ec);
    if (!ec && exe.has_parent_path())
        return exe.parent_path().string();
    char buf[PATH_MAX];
    if (::getcwd(buf, sizeof buf))
        return buf;
    return ".";
}

std::string UserConfigFolder()
{
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    const std::string xdg = Env("XDG_CONFIG_HOME");
    if (!xdg.empty() && xdg[0] == '/')
        return xdg;
    std::string dir = Env("HOME");
    if (dir.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
            dir = pw->pw_dir;
    }
    if (dir.empty())
        return std::string();
    return JoinPath(dir, ".config");
}

std::string UserDataFolder()
{
    // Relative is invalid and ignored, as for XDG_CONFIG_HOME: backups and
    // kept traces must not land wherever the program happened to start.
    const std::string xdg = Env("XDG_DATA_HOME");
    if (!xdg.empty() && xdg[0] == '/')
        return xdg;
    return QtHome() + "/.local/share";
}

std::string HomeFolder()
{
    std::string dir = Env("HOME");
    if (dir.empty())
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
            dir = pw->pw_dir;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir == "/" ? std::string() : dir;
}

std::string UserName()
{
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name)
        return pw->pw_name;
    return Env("USER");
}

std::string SystemDescription()
{
    utsname u{};
    if (::uname(&u) != 0)
        return "unknown";
    return std::string(u.sysname) + " " + u.release + " " + u.version + " " + u.machine;
}

bool CanWriteFolder(const std::string& dir) { return ::access(dir.c_str(), W_OK) == 0; }

namespace {

// The number under [General] name in the QSettings file path; 0 when the file
// has no such key, -1 when the key holds no number.
int SettingsFileNumber(const std::string& path, const std::string& name, long long& value)
{
    CReadFile file;
    std::string why;
    if (!file.Open(path, why) || file.Info().type != FileType::Regular)
        return 0;
    std::string text;
    char chunk[4096];
    for (long long n; text.size() < (1u << 20) && (n = file.Read(chunk, sizeof chunk, why)) > 0;)
        text.append(chunk, static_cast<std::size_t>(n));

    const auto trim = [](std::string s) {
        const std::size_t first = s.find_first_not_of(" \t\r");
        if (first == std::string::npos)
            return std::string();
        return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
    };
    // Keys outside any group are written under [General].
    bool general = false, found = false;
    std::string number;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = trim(text.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            general = line == "[General]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (general && eq != std::string::npos && trim(line.substr(0, eq)) == name) {
            number = trim(line.substr(eq + 1));
            found = true;
        }
    }
    if (number.size() >= 2 && number.front() == '"' && number.back() == '"')
        number = trim(number.substr(1, number.size() - 2));
    if (!found)
        return 0;
    errno = 0;
    char* endp = nullptr;
    const long long n = std::strtoll(number.c_str(), &endp, 10);
    if (number.empty() || errno != 0 || *endp != '\0' || endp == number.c_str())
        return -1;
    value = n;
    return 1;
}

}  // namespace

bool WindowSettingNumber(const std::string& key, const std::string& name, long long& value)
{
    // Where QSettings keeps a user's settings for an organisation of that
    // name, then the system-wide ones it falls back to.
    std::string base = Env("XDG_CONFIG_HOME");
    if (base.empty())
        base = QtHome() + "/.config";
    else if (base[0] != '/') {
        std::error_code ec;
        base = (std::filesystem::current_path(ec) / base).string();
    }
    std::vector<std::string> files{CleanPath(base + "/" + key + ".conf")};
    std::string dirs = Env("XDG_CONFIG_DIRS");
    if (dirs.empty())
        dirs = "/etc/xdg";
    for (std::size_t start = 0; start <= dirs.size();) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        if (end > start)
            files.push_back(CleanPath(dirs.substr(start, end - start) + "/" + key + ".conf"));
        start = end + 1;
    }
    for (const std::string& file : files)
        if (const int found = SettingsFileNumber(file, name, value); found != 0)
            return found > 0;
    return false;
}

}  // namespace platform
