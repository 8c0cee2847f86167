#include "core/link/Ports.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "core/app/DisplayText.h"
#include "core/link/PortName.h"
#include "core/platform/Files.h"
#include "core/platform/PortList.h"

namespace fs = std::filesystem;

namespace {

std::string Root(const PortScan& scan)
{
    if (!scan.root.empty())
        return scan.root;
    const char* env = std::getenv("PROG_DEVICE_ROOT");
    return env ? env : "";
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// "ttyUSB" with a number after it, nothing else.
bool NumberedTty(const std::string& name, const std::string& prefix)
{
    return name.size() > prefix.size() && StartsWith(name, prefix) &&
           std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// "COM3", "com12", in any case.
bool IsComName(const std::string& name)
{
    std::string upper = name.substr(0, 3);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return upper == "COM" && NumberedTty("COM" + name.substr(3), "COM");
}

PortKind KindOfName(const std::string& path)
{
    const std::string name = fs::path(path).filename().string();
    if (path.find("/serial/by-id/") != std::string::npos)
        return PortKind::ById;
    if (platform::ComNamesAreDevices() && IsComName(path))
        return PortKind::Com;
    if (NumberedTty(name, "ttyUSB"))
        return PortKind::Usb;
    if (NumberedTty(name, "ttyACM"))
        return PortKind::Acm;
    if (NumberedTty(name, "ttyS"))
        return PortKind::Builtin;
    return PortKind::Path;
}

PortState StateOf(const platform::SerialError& probe)
{
    switch (probe.fault) {
    case platform::SerialFault::None: return PortState::Openable;
    case platform::SerialFault::Missing:
    case platform::SerialFault::Lost: return PortState::Missing;
    case platform::SerialFault::Busy: return PortState::Busy;
    case platform::SerialFault::Denied: return PortState::Permission;
    case platform::SerialFault::NotSerial: return PortState::NotSerial;
    case platform::SerialFault::Other: break;
    }
    return PortState::Failed;
}

void SetProbe(SerialDevice& d, const platform::SerialError& probe)
{
    d.state = StateOf(probe);
    d.reason = probe.reason;
}

// Where a device name leads, so that two names of one device compare equal:
// its canonical path; on Windows "com3", "COM3", "\\.\COM3" and "\\?\COM3" are all COM3.
std::string SameDeviceKey(const std::string& device)
{
    if (platform::ComNamesAreDevices()) {
        const std::string bare =
            StartsWith(device, "\\\\.\\") || StartsWith(device, "\\\\?\\") ? device.substr(4) : device;
        if (IsComName(bare))
            return "COM" + bare.substr(3);
    }
    std::error_code ec;
    return platform::PathText(fs::weakly_canonical(platform::PathOf(device), ec));
}

SerialDevice FromPresent(const platform::PresentPort& p, const PortScan& scan)
{
    SerialDevice d;
    d.path = p.path;
    d.kind = KindOfName(p.path);
    d.target = p.target;
    d.description = p.description;
    if (p.probed)
        SetProbe(d, p.probe);
    else if (scan.probe)
        ProbeSerialDevice(d);
    return d;
}

}  // namespace

void ProbeSerialDevice(SerialDevice& d) { SetProbe(d, platform::ProbePort(d.path)); }

SerialDevice DescribeSerialDevice(const std::string& path, const PortScan& scan)
{
    return FromPresent(platform::DescribePort(path, Root(scan)), scan);
}

std::vector<SerialDevice> ListSerialDevices(const PortScan& scan)
{
    std::vector<SerialDevice> out;
    for (const platform::PresentPort& p : platform::ListPorts(Root(scan), scan.probe))
        out.push_back(FromPresent(p, scan));
    return out;
}

std::vector<PortHolder> PortHolders(const std::string& path)
{
    std::vector<PortHolder> out;
    // Any program may name itself anything: the name is shown escaped.
    for (const platform::PortUser& user : platform::PortUsers(path))
        out.push_back({user.pid, EscapeControlBytes(user.name)});
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
    case PortKind::Com: return "COM";
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
    // By the path after links, and by the device itself: a second node of one
    // device (a bind mount, a node made with its number) is the same port.
    struct Seen {
        std::string key, name;
        platform::FileInfo info;
    };
    std::vector<Seen> seen;
    for (const ResolvedPort& port : ports) {
        const std::string device = SameDeviceKey(port.device);
        const platform::FileInfo info = platform::Info(port.device);
        for (const Seen& s : seen)
            if (s.key == device || platform::SameNode(s.info, info))
                return PortNamedTwice{s.name, port.name, device};
        seen.push_back({device, port.name, info});
    }
    return std::nullopt;
}

std::string UnmappedComNameText(const std::string& name, bool chinese, const PortScan& scan)
{
    if (name.size() < 4 || (name.compare(0, 3, "COM") != 0 && name.compare(0, 3, "com") != 0) ||
        name.find_first_not_of("0123456789", 3) != std::string::npos || MapPortName(name) != name ||
        platform::ComNamesAreDevices())
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

namespace {

std::string DeviceStateText(const SerialDevice& d, bool zh)
{
    // A list made without opening: a device node's presence is all it knows.
    // Windows has no node for a COM port to look at.
    if (d.state == PortState::NotProbed) {
        std::error_code ec;
        if (!platform::ComNamesAreDevices()) {
            const fs::file_status node = fs::status(platform::PathOf(d.path), ec);
            if (!fs::is_character_file(node)) {
                SerialDevice seen = d;
                seen.state = fs::exists(node) ? PortState::NotSerial : PortState::Missing;
                return PortStateText(seen, zh);
            }
        }
        return zh ? "存在（未打开）" : "present (not opened)";
    }
    if (d.Openable())
        return zh ? "可以打开" : "can be opened";
    // Without a state of its own the reason is the whole text: said once.
    if (d.state == PortState::Failed)
        return PortStateText(d, zh);
    return (zh ? "无法打开: " : "cannot be opened: ") + d.reason + " (" + PortStateText(d, zh) + ")";
}

}  // namespace

std::string PortListText(bool chinese, const PortScan& scan)
{
    std::string out;
    const auto lookup = PortsLookup();
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "COM" + std::to_string(n);
        const SerialDevice d = DescribeSerialDevice(MapPortName(name, lookup), scan);
        out += name + "  " + PadRight(EscapeControlBytes(d.path), 16) + "  " +
               EscapeControlBytes(DeviceStateText(d, chinese)) + "\n";
    }
    const std::vector<SerialDevice> devices = ListSerialDevices(scan);
    out += "\n";
    out += devices.empty() ? (chinese ? "未找到串口设备" : "no serial devices found")
                           : (chinese ? "现有串口设备:" : "serial devices present:");
    out += "\n";
    for (const SerialDevice& d : devices) {
        out += PadRight(EscapeControlBytes(d.path), 16) + "  " + PadRight(PortKindName(d.kind), 6);
        if (!d.description.empty())
            out += "  " + EscapeControlBytes(d.description);
        if (d.target != d.path)
            out += "  -> " + EscapeControlBytes(d.target);
        out += "  " + EscapeControlBytes(DeviceStateText(d, chinese)) + "\n";
    }
    return out;
}
