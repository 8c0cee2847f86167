#include "core/platform/PortList.h"

#include "core/platform/posix/OpenErrno.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <ctime>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {

namespace {

std::string FirstLine(const fs::path& file)
{
    // sysfs attributes are regular files; a FIFO in their place would block the open.
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return {};
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// "ttyUSB" with a number after it, nothing else.
bool NumberedTty(const std::string& name, const std::string& prefix)
{
    return name.size() > prefix.size() && StartsWith(name, prefix) &&
           std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// The USB device above a tty in sysfs: "manufacturer product (vid:pid)".
std::string UsbDescription(const std::string& root, const std::string& ttyName)
{
    std::error_code ec;
    const fs::path sys = fs::path(root + "/sys");
    fs::path dir = fs::canonical(sys / "class" / "tty" / ttyName / "device", ec);
    if (ec)
        return {};
    const fs::path top = fs::canonical(sys, ec);
    for (int depth = 0; depth < 8 && !ec && dir.has_parent_path() && dir != top; ++depth, dir = dir.parent_path()) {
        if (!fs::exists(dir / "idVendor", ec))
            continue;
        std::string text = FirstLine(dir / "manufacturer");
        const std::string product = FirstLine(dir / "product");
        if (!product.empty())
            text += (text.empty() ? "" : " ") + product;
        const std::string ids = FirstLine(dir / "idVendor") + ":" + FirstLine(dir / "idProduct");
        return text.empty() ? ids : text + " (" + ids + ")";
    }
    return {};
}

// A by-id name says much the same when sysfs is silent:
// usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0 -> "FTDI FT232R USB UART A50285BI".
std::string DescriptionFromLinkName(std::string name)
{
    if (StartsWith(name, "usb-"))
        name.erase(0, 4);
    if (const auto pos = name.rfind("-if"); pos != std::string::npos && pos > 0)
        name.erase(pos);
    std::replace(name.begin(), name.end(), '_', ' ');
    return name;
}

// ttyUSB2 before ttyUSB10.
bool NaturalLess(const std::string& a, const std::string& b)
{
    auto split = [](const std::string& s) {
        std::size_t i = s.size();
        while (i > 0 && s[i - 1] >= '0' && s[i - 1] <= '9')
            --i;
        const long n = i < s.size() ? std::strtol(s.c_str() + i, nullptr, 10) : -1;
        return std::make_pair(s.substr(0, i), n);
    };
    return split(a) < split(b);
}

std::vector<std::string> Names(const fs::path& dir, const std::string& prefix)
{
    std::vector<std::string> out;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (prefix.empty() || NumberedTty(name, prefix))
            out.push_back(name);
    }
    std::sort(out.begin(), out.end(), NaturalLess);
    return out;
}

bool IsById(const std::string& path) { return path.find("/serial/by-id/") != std::string::npos; }

// The index N of /dev/pts/N that the pseudo-terminal master open as fd of pid
// serves (its fdinfo's tty-index), -1 for any other file.
int PtyMasterIndex(const std::string& pid, const std::string& fd)
{
    std::error_code ec;
    const std::string target = fs::read_symlink("/proc/" + pid + "/fd/" + fd, ec).string();
    if (ec || (target != "/dev/ptmx" && target != "/dev/pts/ptmx"))
        return -1;
    std::ifstream info("/proc/" + pid + "/fdinfo/" + fd);
    for (std::string line; std::getline(info, line);)
        if (StartsWith(line, "tty-index:"))
            return std::atoi(line.c_str() + 10);
    return -1;
}

bool AllDigits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

SerialError ProbePort(const std::string& path)
{
    // As a transfer opens it, but the line settings stay as they are: a probe
    // must not disturb a device another program is about to use.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    int err = 0;
    if (fd < 0) {
        err = errno;
    } else {
        if (!::isatty(fd))
            err = ENOTTY;
        else if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            err = EBUSY;  // held by this program elsewhere (or a copy of it running as root)
        ::close(fd);
    }
    if (!err)
        return {};
    return {SerialFaultOfErrno(err), "open", std::strerror(err)};
}

PresentPort DescribePort(const std::string& path, const std::string& root)
{
    PresentPort d;
    d.path = path;
    d.target = path;
    if (IsById(path)) {
        std::error_code ec;
        const fs::path link(path);
        fs::path target = fs::read_symlink(link, ec);
        if (!ec) {
            if (target.is_relative())
                target = link.parent_path() / target;
            d.target = target.lexically_normal().string();
        }
    }
    const std::string ttyName = fs::path(d.target).filename().string();
    if (StartsWith(ttyName, "tty"))
        d.description = UsbDescription(root, ttyName);
    if (d.description.empty() && IsById(path))
        d.description = DescriptionFromLinkName(fs::path(path).filename().string());
    return d;
}

std::vector<PresentPort> ListPorts(const std::string& root, bool probe)
{
    const fs::path dev(root + "/dev");
    std::vector<PresentPort> out;
    for (const std::string& name : Names(dev / "serial" / "by-id", ""))
        out.push_back(DescribePort((dev / "serial" / "by-id" / name).string(), root));
    for (const char* prefix : {"ttyUSB", "ttyACM"})
        for (const std::string& name : Names(dev, prefix))
            out.push_back(DescribePort((dev / name).string(), root));
    // Every machine has ttyS0..ttyS31 whether a UART is there or not: only
    // those with one (a known UART type in sysfs, or one that opens) count.
    for (const std::string& name : Names(dev, "ttyS")) {
        std::error_code ec;
        const fs::path type = fs::path(root + "/sys") / "class" / "tty" / name / "type";
        if (fs::exists(type, ec) && std::atoi(FirstLine(type).c_str()) == 0)
            continue;
        PresentPort d = DescribePort((dev / name).string(), root);
        if (!fs::exists(type, ec) && probe) {
            d.probed = true;
            d.probe = ProbePort(d.path);
            if (d.probe.fault == SerialFault::Missing)
                continue;
        }
        out.push_back(std::move(d));
    }
    return out;
}

std::vector<PortUser> PortUsers(const std::string& path)
{
    std::vector<PortUser> out;
    struct stat device {};
    if (path.empty() || ::stat(path.c_str(), &device) != 0 || !S_ISCHR(device.st_mode))
        return out;
    // A pseudo-terminal's slave /dev/pts/N: the holder of master N is the radio's side.
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    int ptsIndex = -1;
    if (!ec && real.parent_path() == "/dev/pts" && AllDigits(real.filename().string()))
        ptsIndex = std::atoi(real.filename().c_str());
    const std::string self = std::to_string(::getpid());
    for (fs::directory_iterator proc("/proc", ec), end; !ec && proc != end; proc.increment(ec)) {
        const std::string pid = proc->path().filename().string();
        if (!AllDigits(pid) || pid == self)
            continue;
        bool holds = false, farEnd = false;
        std::error_code fdEc;
        for (fs::directory_iterator fd(proc->path() / "fd", fdEc); !fdEc && fd != end; fd.increment(fdEc)) {
            struct stat st {};
            if (::stat(fd->path().c_str(), &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == device.st_rdev)
                holds = true;
            else if (ptsIndex >= 0 && PtyMasterIndex(pid, fd->path().filename().string()) == ptsIndex)
                farEnd = true;
        }
        if (holds && !farEnd)
            out.push_back({std::atoi(pid.c_str()), FirstLine(proc->path() / "comm")});
    }
    std::sort(out.begin(), out.end(), [](const PortUser& a, const PortUser& b) { return a.pid < b.pid; });
    return out;
}

DeviceGroup DeviceOwnerGroup(const std::string& path)
{
    DeviceGroup out;
    const passwd* pw = ::getpwuid(::getuid());
    const bool known = pw != nullptr;
    const gid_t primary = known ? pw->pw_gid : 0;
    if (known && pw->pw_name)
        out.user = pw->pw_name;
    else if (const char* env = std::getenv("USER"))
        out.user = env;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return out;
    const struct group* gr = ::getgrgid(st.st_gid);
    if (!gr || !gr->gr_name)
        return out;
    out.group = gr->gr_name;
    out.listed = known && primary == st.st_gid;
    for (char** member = gr->gr_mem; !out.listed && member && *member; ++member)
        out.listed = out.user == *member;
    return out;
}

long long DeviceAgeSeconds(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return -1;
    const long long age = static_cast<long long>(std::time(nullptr)) - static_cast<long long>(st.st_ctime);
    return age < 0 ? 0 : age;
}

}  // namespace platform
