#include "core/link/Ports.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "core/link/SerialPort.h"

namespace fs = std::filesystem;

namespace {

std::string ReadLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

// Kind and description from /sys/class/tty/NAME; false when NAME is no serial device.
bool DescribeTty(const std::string& name, SerialPortInfo& info)
{
    const fs::path sys = fs::path("/sys/class/tty") / name;
    std::error_code ec;
    if (!fs::exists(sys / "device", ec))
        return false;  // consoles and terminals of the system have no device behind them
    // The serial core lists UARTs that are not fitted as type 0.
    if (fs::exists(sys / "type", ec) && ReadLine(sys / "type") == "0")
        return false;
    const fs::path device = fs::canonical(sys / "device", ec);
    const std::string driver = fs::read_symlink(sys / "device" / "driver", ec).filename().string();
    for (fs::path p = device; !ec && !p.empty() && p != p.root_path(); p = p.parent_path()) {
        if (!fs::exists(p / "idVendor", ec))
            continue;
        info.kind = driver == "cdc_acm" ? "usb-acm" : "usb-serial";
        std::string d = ReadLine(p / "manufacturer");
        const std::string product = ReadLine(p / "product");
        if (!product.empty())
            d += (d.empty() ? "" : " ") + product;
        d += (d.empty() ? "" : " ") + std::string("(") + ReadLine(p / "idVendor") + ":" + ReadLine(p / "idProduct") +
             ")";
        if (const std::string serial = ReadLine(p / "serial"); !serial.empty())
            d += " serial " + serial;
        info.description = d;
        return true;
    }
    info.kind = "serial";
    return true;
}

}  // namespace

SerialPortInfo ProbeSerialPort(const std::string& path)
{
    SerialPortInfo info;
    info.path = path;
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    if (!ec && real.parent_path() == "/dev/pts")
        info.kind = "pty";
    else if (ec || real.parent_path() != "/dev" || !DescribeTty(real.filename().string(), info))
        info.kind = "other";

    int err = 0;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        err = errno;
    else if (!isatty(fd))
        err = ENOTTY;
    else if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        err = EBUSY;  // the lock every transfer of this program holds
    if (fd >= 0)
        ::close(fd);  // closing drops the lock
    // An exclusive tty refuses a second open with EBUSY.
    info.busy = err == EBUSY || err == EWOULDBLOCK;
    info.openable = err == 0;
    if (err != 0) {
        const std::string text = OpenErrorText(path, err);
        info.reason = text.substr(std::min(text.size(), path.size() + 2));
    }
    return info;
}

std::vector<SerialPortInfo> ListSerialPorts()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/sys/class/tty", ec)) {
        SerialPortInfo probe;
        const std::string name = entry.path().filename().string();
        if (DescribeTty(name, probe) && fs::exists("/dev/" + name, ec))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::vector<SerialPortInfo> out;
    for (const std::string& name : names)
        out.push_back(ProbeSerialPort("/dev/" + name));
    return out;
}
