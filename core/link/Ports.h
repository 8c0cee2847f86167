#pragma once
// The serial devices of this computer: what each is and whether it can be
// opened now, and why not.
#include <string>
#include <vector>

struct SerialPortInfo {
    std::string path;         // "/dev/ttyUSB0"
    std::string kind;         // "usb-serial", "usb-acm", "serial" (on the board), "pty", "other"
    std::string description;  // USB maker, product, vendor:product id and serial number; "" when unknown
    bool openable = false;
    std::string reason;  // why it cannot be opened (the system's reason and a hint), "" when it can
    bool busy = false;   // another program holds it
};

// Every serial device the system knows (USB adapters, CDC ACM devices, UARTs
// that are present), by path, each probed for opening.
std::vector<SerialPortInfo> ListSerialPorts();

// One device (any path, links followed) probed the way a transfer opens it:
// read and write, exclusive; closed again at once, its settings untouched.
SerialPortInfo ProbeSerialPort(const std::string& path);
