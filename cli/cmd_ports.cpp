#include <iostream>

#include "cli/Common.h"
#include "core/link/SerialPort.h"

namespace cli {

int CmdPorts(const std::vector<std::string>& argv)
{
    const Args args(argv, {}, {});
    args.RequirePositional(0, "");
    SetUpLanguage(args);
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "COM" + std::to_string(n);
        CPosixSerialPort port;
        const bool ok = port.Open(name);
        const std::string device = ok ? port.DevicePath() : MapPortName(name);
        std::cout << name << "  " << PadRight(device, 16) << "  ";
        if (ok)
            std::cout << "can be opened\n";
        else
            std::cout << "cannot be opened: " << port.ErrorText() << "\n";
        port.Close();
    }
    return kExitOk;
}

}  // namespace cli
