#include <iostream>

#include "cli/Common.h"
#include "core/app/Globals.h"
#include "core/link/Ports.h"
#include "core/link/SerialPort.h"

namespace cli {

namespace {

std::string StateText(const SerialDevice& d)
{
    if (d.Openable())
        return "can be opened";
    return "cannot be opened: " + d.reason + " (" + PortStateText(d, g_bChinese != 0) + ")";
}

}  // namespace

int CmdPorts(const std::vector<std::string>& argv)
{
    const Args args(argv, {}, {});
    args.RequirePositional(0, "");
    SetUpLanguage(args);
    const auto lookup = PortsLookup();
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "COM" + std::to_string(n);
        const SerialDevice d = DescribeSerialDevice(MapPortName(name, lookup));
        std::cout << name << "  " << PadRight(d.path, 16) << "  " << StateText(d) << "\n";
    }
    const std::vector<SerialDevice> devices = ListSerialDevices();
    std::cout << "\n" << (devices.empty() ? "no serial devices found" : "serial devices present:") << "\n";
    for (const SerialDevice& d : devices) {
        std::cout << PadRight(d.path, 16) << "  " << PadRight(PortKindName(d.kind), 6);
        if (!d.description.empty())
            std::cout << "  " << d.description;
        if (d.target != d.path)
            std::cout << "  -> " << d.target;
        std::cout << "  " << StateText(d) << "\n";
    }
    return kExitOk;
}

}  // namespace cli
