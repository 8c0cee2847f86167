#pragma once
// The serial devices present on this machine: the /dev/serial/by-id links of
// USB adapters, /dev/ttyUSB*, /dev/ttyACM* and the /dev/ttyS* with a UART
// behind them, each with what it is and whether it can be opened now, and why not.
#include <string>
#include <vector>

enum class PortKind {
    ById,     // /dev/serial/by-id/<name>, a stable link to one of the others
    Usb,      // /dev/ttyUSB<n>: USB serial adapters
    Acm,      // /dev/ttyACM<n>: USB modem-class devices
    Builtin,  // /dev/ttyS<n>: the machine's own UARTs
    Path,     // any other path (a typed one, a [Ports] entry, a pseudo-terminal)
};

enum class PortState {
    NotProbed,
    Openable,    // opened and closed again just now
    Missing,     // no such device
    Busy,        // another program holds it
    Permission,  // the user may not open it
    NotSerial,   // it exists but is no terminal device
    Failed,      // any other reason
};

struct SerialDevice {
    std::string path;  // "/dev/ttyUSB0"
    PortKind kind = PortKind::Path;
    std::string target;       // the device a link resolves to; path itself otherwise
    std::string description;  // USB maker, product and vendor:product id; "" when not known
    PortState state = PortState::NotProbed;
    std::string reason;  // the system's reason when not openable ("Device or resource busy")
    bool Openable() const { return state == PortState::Openable; }
};

// Every serial device present, by-id links first, then ttyUSB, ttyACM and
// ttyS, each group in natural order (ttyUSB2 before ttyUSB10), each probed.
std::vector<SerialDevice> ListSerialDevices();

// One device by path (links followed), probed the way a transfer opens it:
// read and write, exclusive; closed again at once, its line settings untouched.
SerialDevice DescribeSerialDevice(const std::string& path);

// "by-id", "ttyUSB", "ttyACM", "ttyS", "path".
const char* PortKindName(PortKind kind);
