#include "core/link/Ports.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/app/DisplayText.h"
#include "core/link/PortName.h"

namespace fs = std::filesystem;

namespace {

std::string Root(const PortScan& scan)
{
    if (!scan.root.empty())
        return scan.root;
    const char* env = std::getenv("PROG_DEVICE_ROOT");
    return env ? env : "";
}

std::string FirstLine(const fs::path& file)
{
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

PortKind KindOfName(const std::string& path)
{
    const std::string name = fs::path(path).filename().string();
    if (path.find("/serial/by-id/") != std::string::npos)
        return PortKind::ById;
    if (NumberedTty(name, "ttyUSB"))
        return PortKind::Usb;
    if (NumberedTty(name, "ttyACM"))
        return PortKind::Acm;
    if (NumberedTty(name, "ttyS"))
        return PortKind::Builtin;
    return PortKind::Path;
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

void FillById(SerialDevice& d)
{
    std::error_code ec;
    const fs::path link(d.path);
    fs::path target = fs::read_symlink(link, ec);
    if (ec)
        return;
    if (target.is_relative())
        target = link.parent_path() / target;
    d.target = target.lexically_normal().string();
}

}  // namespace

PortState PortStateFromErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:  // a ttyS without a UART behind it
        return PortState::Missing;
    case EBUSY:
    case EWOULDBLOCK: return PortState::Busy;
    case EACCES:
    case EPERM: return PortState::Permission;
    case ENOTTY: return PortState::NotSerial;
    default: return PortState::Failed;
    }
}

void ProbeSerialDevice(SerialDevice& d)
{
    // As a transfer opens it, but the line settings stay as they are: a probe
    // must not disturb a device another program is about to use.
    const int fd = ::open(d.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
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
    d.state = err ? PortStateFromErrno(err) : PortState::Openable;
    d.reason = err ? std::strerror(err) : "";
}

SerialDevice DescribeSerialDevice(const std::string& path, const PortScan& scan)
{
    SerialDevice d;
    d.path = path;
    d.kind = KindOfName(path);
    d.target = path;
    if (d.kind == PortKind::ById)
        FillById(d);
    const std::string root = Root(scan);
    const std::string ttyName = fs::path(d.target).filename().string();
    if (StartsWith(ttyName, "tty"))
        d.description = UsbDescription(root, ttyName);
    if (d.description.empty() && d.kind == PortKind::ById)
        d.description = DescriptionFromLinkName(fs::path(path).filename().string());
    if (scan.probe)
        ProbeSerialDevice(d);
    return d;
}

std::vector<SerialDevice> ListSerialDevices(const PortScan& scan)
{
    const std::string root = Root(scan);
    const fs::path dev(root + "/dev");
    std::vector<SerialDevice> out;
    for (const std::string& name : Names(dev / "serial" / "by-id", ""))
        out.push_back(DescribeSerialDevice((dev / "serial" / "by-id" / name).string(), scan));
    for (const char* prefix : {"ttyUSB", "ttyACM"})
        for (const std::string& name : Names(dev, prefix))
            out.push_back(DescribeSerialDevice((dev / name).string(), scan));
    // Every machine has ttyS0..ttyS31 whether a UART is there or not: only
    // those with one (a known UART type in sysfs, or one that opens) count.
    for (const std::string& name : Names(dev, "ttyS")) {
        std::error_code ec;
        const fs::path type = fs::path(root + "/sys") / "class" / "tty" / name / "type";
        if (fs::exists(type, ec) && std::atoi(FirstLine(type).c_str()) == 0)
            continue;
        SerialDevice d = DescribeSerialDevice((dev / name).string(), scan);
        if (!fs::exists(type, ec) && scan.probe && d.state == PortState::Missing)
            continue;
        out.push_back(std::move(d));
    }
    return out;
}

namespace {

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

std::vector<PortHolder> PortHolders(const std::string& path)
{
    std::vector<PortHolder> out;
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
        // Any program may name itself anything: the name is shown escaped.
        if (holds && !farEnd)
            out.push_back({std::atoi(pid.c_str()), EscapeControlBytes(FirstLine(proc->path() / "comm"))});
    }
    std::sort(out.begin(), out.end(), [](const PortHolder& a, const PortHolder& b) { return a.pid < b.pid; });
    return out;
}

std::string PortHoldersText(const std::vector<PortHolder>& holders, bool chinese)
{
    std::string list;
    for (const PortHolder& h : holders) {
        if (!list.empty())
            list += chinese ? "、" : ", ";
        list += chinese ? h.name + "（进程 " + std::to_string(h.pid) + "）"
                        : h.name + " (pid " + std::to_string(h.pid) + ")";
    }
    if (list.empty())
        return list;
    return chinese ? "正被 " + list + " 占用" : "in use by " + list;
}

const char* PortKindName(PortKind kind)
{
    switch (kind) {
    case PortKind::ById: return "by-id";
    case PortKind::Usb: return "ttyUSB";
    case PortKind::Acm: return "ttyACM";
    case PortKind::Builtin: return "ttyS";
    case PortKind::Path: break;
    }
    return "path";
}

std::string PortStateText(const SerialDevice& d, bool chinese)
{
    switch (d.state) {
    case PortState::NotProbed: return chinese ? "未检查" : "not checked";
    case PortState::Openable: return chinese ? "可以打开" : "can be opened";
    case PortState::Missing:
        return chinese ? "不存在：未插入或没有该设备" : "missing: not plugged in, or no such device";
    case PortState::Busy: return chinese ? "忙：正被其他程序使用" : "busy: in use by another program";
    case PortState::Permission:
        return chinese ? "无权限：当前用户需加入 \"dialout\" 组（之后重新登录）"
                       : "no permission: the user must be a member of the \"dialout\" group (log in again after "
                         "joining it)";
    case PortState::NotSerial: return chinese ? "不是串口设备" : "not a serial device";
    case PortState::Failed: break;
    }
    return (chinese ? "无法打开：" : "cannot be opened: ") + d.reason;
}

std::optional<PortNamedTwice> FindPortNamedTwice(const std::vector<std::string>& names)
{
    return FindPortNamedTwice(ResolvePorts(names));
}

std::optional<PortNamedTwice> FindPortNamedTwice(const std::vector<ResolvedPort>& ports)
{
    std::vector<std::pair<std::string, std::string>> seen;  // device, name
    for (const ResolvedPort& port : ports) {
        std::error_code ec;
        const std::string device = fs::weakly_canonical(port.device, ec).string();
        for (const auto& [dev, first] : seen)
            if (dev == device)
                return PortNamedTwice{first, port.name, device};
        seen.emplace_back(device, port.name);
    }
    return std::nullopt;
}

std::string UnmappedComNameText(const std::string& name, bool chinese, const PortScan& scan)
{
    if (name.size() < 4 || (name.compare(0, 3, "COM") != 0 && name.compare(0, 3, "com") != 0) ||
        name.find_first_not_of("0123456789", 3) != std::string::npos || MapPortName(name) != name)
        return {};
    std::error_code ec;
    if (fs::exists(fs::symlink_status(name, ec)))
        return {};
    PortScan quick = scan;
    quick.probe = false;
    std::string present;
    for (const SerialDevice& d : ListSerialDevices(quick))
        present += (present.empty() ? "" : ", ") + d.path;
    if (chinese)
        return EscapeControlBytes(name) + "：只有 COM1 至 COM4 有映射（由 Program.ini 的 [Ports] 设定），也没有名为 " +
               EscapeControlBytes(name) + " 的文件；" +
               (present.empty() ? std::string("未找到串口设备") : "现有串口设备：" + present);
    return EscapeControlBytes(name) +
           ": only COM1 to COM4 are mapped (by [Ports] in Program.ini) and there is no file " +
           EscapeControlBytes(name) + "; " +
           (present.empty() ? std::string("no serial device is present") : "serial devices present: " + present);
}
