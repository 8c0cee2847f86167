#pragma once
// A port as the user names it, and the device a transfer opens for it.
// COM Setup's four names ("COM1".."COM4", or "com1".."com4" as it stores them)
// map through [Ports] of Program.ini (COM1=/dev/ttyUSB0); without an entry
// COMn is /dev/ttyUSB(n-1) on Linux and the port COMn itself on Windows. Any
// other name is taken as a device path. A transfer resolves its port once
// (ResolvePort) and hands the result on: the device to the engine, the label
// and description to its messages and trace.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// 1..4 for the names COM Setup's buttons stand for, else 0: "COM12" or
// "Com1" are paths like any other.
int ComPortNumber(const std::string& name);

// "COM1" for "com1" or "COM1"; any other name as it is.
std::string PortLabel(const std::string& name);

using PortsTable = std::function<std::string(const std::string& key)>;

// The device name leads to, looking COMn up in table.
std::string MapPortName(const std::string& name, const PortsTable& table);
// [Ports] of Program.ini as the file holds it now: read again only when the
// file changed since the last call (its size, times or inode), so an entry
// added while the program runs applies at once. Without a readable file, what
// theIniFile loaded counts.
PortsTable PortsLookup();
// The same, looking the keys up with PortsLookup().
std::string MapPortName(const std::string& name);

// One port as a transfer uses it, resolved once.
struct ResolvedPort {
    std::string name;         // as the user gave it: "com1", "COM3", "/dev/ttyUSB0"
    std::string label;        // PortLabel(name): "COM1"
    std::string device;       // what is opened: "/dev/ttyUSB0"
    std::string description;  // "COM1 (/dev/ttyUSB0)"; the device alone when the name is the device
    bool operator==(const ResolvedPort&) const = default;
};

ResolvedPort ResolvePort(const std::string& name, const PortsTable& table);
ResolvedPort ResolvePort(const std::string& name);
// Each name resolved against one reading of [Ports].
std::vector<ResolvedPort> ResolvePorts(const std::vector<std::string>& names);

// How many times [Ports] was read from Program.ini in this process.
std::uint64_t PortsTableReads();
