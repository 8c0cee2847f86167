#include "core/link/Ports.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

PortKind KindOfName(const std::string& name)
{
    if (name.rfind("ttyUSB", 0) == 0)
        return PortKind::Usb;
    if (name.rfind("ttyACM", 0) == 0)
        return PortKind::Acm;
    if (name.rfind("ttyS", 0) == 0)
        return PortKind::Builtin;
    return PortKind::Path;
}

// The USB description of /sys/class/tty/NAME; false when NAME is no serial
// device with something behind it.
bool DescribeTty(const std::string& name, std::string& description)
{
    const fs::path sys = fs::path("/sys/class/tty") / name;
    std::error_code ec;
    if (!fs::exists(sys / "device", ec))
        return false;  // consoles and virtual terminals have no device behind them
    // The serial core lists UARTs that are not fitted as type 0.
    if (fs::exists(sys / "type", ec) && ReadLine(sys / "type") == "0")
        return false;
    for (fs::path p = fs::canonical(sys / "device", ec); !ec && p.has_relative_path(); p = p.parent_path()) {
        if (!fs::exists(p / "idVendor", ec))
            continue;
        std::string d = ReadLine(p / "manufacturer");
        if (const std::string product = ReadLine(p / "product"); !product.empty())
            d += (d.empty() ? "" : " ") + product;
        d += (d.empty() ? "(" : " (") + ReadLine(p / "idVendor") + ":" + ReadLine(p / "idProduct") + ")";
        description = d;
        break;
    }
    return true;
}

// "ttyUSB2" before "ttyUSB10".
bool NaturalLess(const std::string& a, const std::string& b)
{
    const auto split = [](const std::string& s) {
        const std::size_t digits = s.find_last_not_of("0123456789") + 1;
        const std::string number = s.substr(digits);
        return std::make_pair(s.substr(0, digits), number.empty() ? -1L : std::stol(number));
    };
    return split(a) < split(b);
}

PortState StateOfErrno(int err)
{
    switch (err) {
    case 0: return PortState::Openable;
    case ENOENT:
    case ENODEV:
    case ENXIO: return PortState::Missing;
    case EBUSY:
    case EWOULDBLOCK: return PortState::Busy;
    case EACCES:
    case EPERM: return PortState::Permission;
    case ENOTTY: return PortState::NotSerial;
    default: return PortState::Failed;
    }
}

}  // namespace

const char* PortKindName(PortKind kind)
{
    switch (kind) {
    case PortKind::ById: return "by-id";
    case PortKind::Usb: return "ttyUSB";
    case PortKind::Acm: return "ttyACM";
    case PortKind::Builtin: return "ttyS";
    case PortKind::Path: return "path";
    }
    return "";
}

SerialDevice DescribeSerialDevice(const std::string& path)
{
    SerialDevice d;
    d.path = path;
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    d.target = ec ? path : real.string();
    if (!ec && real.parent_path() == "/dev") {
        const std::string name = real.filename().string();
        std::string description;
        if (DescribeTty(name, description)) {
            d.kind = fs::path(path).parent_path() == "/dev/serial/by-id" ? PortKind::ById : KindOfName(name);
            d.description = description;
        }
    }

    int err = 0;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        err = errno;
    else if (!isatty(fd))
        err = ENOTTY;
    else if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        err = EBUSY;  // the lock every transfer of this program holds
    if (fd >= 0)
        ::close(fd);  // and the lock goes with it
    d.state = StateOfErrno(err);
    if (err != 0)
        d.reason = std::strerror(err);
    return d;
}

std::vector<SerialDevice> ListSerialDevices()
{
    std::error_code ec;
    std::vector<std::string> links, ttys;
    for (const auto& e : fs::directory_iterator("/dev/serial/by-id", ec))
        links.push_back(e.path().string());
    for (const auto& e : fs::directory_iterator("/sys/class/tty", ec)) {
        const std::string name = e.path().filename().string();
        std::string description;
        if (KindOfName(name) != PortKind::Path && DescribeTty(name, description) && fs::exists("/dev/" + name, ec))
            ttys.push_back(name);
    }
    std::sort(links.begin(), links.end());
    std::sort(ttys.begin(), ttys.end(), [](const std::string& a, const std::string& b) {
        return KindOfName(a) != KindOfName(b) ? KindOfName(a) < KindOfName(b) : NaturalLess(a, b);
    });
    std::vector<SerialDevice> out;
    for (const std::string& l : links)
        out.push_back(DescribeSerialDevice(l));
    for (const std::string& t : ttys)
        out.push_back(DescribeSerialDevice("/dev/" + t));
    return out;
}
