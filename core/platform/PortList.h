#pragma once
// The serial ports present on this machine, what each is, and whether it can
// be opened now: the list COM Setup and `progtool ports` show.
#include <string>
#include <vector>

#include "core/platform/Serial.h"

namespace platform {

struct PresentPort {
    std::string path;         // what the user picks or types: "/dev/ttyUSB0", "COM3"
    std::string target;       // the device a link (/dev/serial/by-id) leads to; path otherwise
    std::string description;  // "FTDI FT232R USB UART (0403:6001)"; "" when not known
    bool probed = false;      // the listing had to open it to know it is there:
    SerialError probe;        // ... and this is what that open gave
};

// Every serial port present, in the order the user reads them. root holds
// dev/ and sys/ on Linux ("" is "/"; Windows asks the system and ignores it).
// probe: the listing may open a device to learn whether it is there at all.
std::vector<PresentPort> ListPorts(const std::string& root, bool probe);

// What is known of one port by its path, without opening it.
PresentPort DescribePort(const std::string& path, const std::string& root);

// Opens path the way a transfer would, without touching the line settings,
// and closes it again: fault None when it could be opened.
SerialError ProbePort(const std::string& path);

// Another process that has the device open, as far as the system tells this
// user (Linux: /proc; none are known on Windows). The far end of a
// pseudo-terminal, the process holding its master, is not one of them.
struct PortUser {
    int pid = 0;
    std::string name;  // its command name, as the system has it (unescaped)
};
std::vector<PortUser> PortUsers(const std::string& path);

// Who may open a device node: the group that owns it (links followed) and
// whether the current user is listed in that group, by the group's member
// list or as the user's primary group. Listed while the open is still
// refused means this login session predates the membership. Windows has no
// such group: all empty there.
struct DeviceGroup {
    std::string group;    // "dialout", "uucp"; "" when unknown
    bool listed = false;  // the user is a member
    std::string user;     // the user's login name; "" when unknown
};
DeviceGroup DeviceOwnerGroup(const std::string& path);

// How many seconds ago path appeared: the change time of the node itself,
// or of the link when path is one (a /dev/serial/by-id link is made when the
// adapter is plugged in). Paths are as ListPorts gives them, under its root.
// -1 when not known (a missing path; always on Windows, which keeps no such
// time for a port).
long long DeviceAgeSeconds(const std::string& path);

}  // namespace platform
