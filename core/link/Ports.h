#pragma once
// The serial devices present on this machine, as COM Setup and `progtool ports`
// list them: the /dev/serial/by-id links of USB adapters (with the adapter's
// USB description), /dev/ttyUSB*, /dev/ttyACM*, and the /dev/ttyS* that have a
// UART behind them; on Windows the COM ports the system lists. Each is probed: can it be opened now, and if not, why
// and what the user can do about it.
#include <optional>
#include <string>
#include <vector>

#include "core/link/PortName.h"

enum class PortKind {
    ById,     // /dev/serial/by-id/<name>, a stable link to one of the others
    Usb,      // /dev/ttyUSB<n>: USB serial adapters (FTDI, CH340, CP210x, PL2303)
    Acm,      // /dev/ttyACM<n>: USB modem-class devices
    Builtin,  // /dev/ttyS<n>: the machine's own UARTs
    Com,      // COM<n> on Windows, where they are the system's own names
    Path,     // any other path the user typed or [Ports] names
};

enum class PortState {
    NotProbed,   // the scan was asked not to open devices
    Openable,    // opened and closed again just now
    Missing,     // no such device (unplugged, a dangling by-id link, a typing error)
    Busy,        // another program holds it
    Permission,  // the user may not open it (not in the dialout group)
    NotSerial,   // it exists but is no terminal device
    Failed,      // any other reason (reason holds the system's text)
};

struct SerialDevice {
    std::string path;  // what the user picks or types: "/dev/ttyUSB0"
    PortKind kind = PortKind::Path;
    std::string target;       // the device a by-id link resolves to; path itself otherwise
    std::string description;  // "FTDI FT232R USB UART (0403:6001)", "" when not known
    PortState state = PortState::NotProbed;
    std::string reason;  // the system's reason when not openable ("Permission denied")
    bool Openable() const { return state == PortState::Openable; }
};

struct PortScan {
    // The directory holding dev/ and sys/: "" is "/" unless the environment
    // variable PROG_DEVICE_ROOT names another (a prepared tree for tests).
    std::string root;
    bool probe = true;  // open each device to learn its state
};

// Every serial device present, by-id links first, then ttyUSB, ttyACM and
// ttyS, each group in natural order (ttyUSB2 before ttyUSB10).
std::vector<SerialDevice> ListSerialDevices(const PortScan& scan = {});

// One device by path, probed (a typed path, or what COM1..COM4 map to). The
// kind follows the name; a by-id link also gets its target and description.
SerialDevice DescribeSerialDevice(const std::string& path, const PortScan& scan = {});

// Opens path the way a transfer would, without touching the line settings,
// and closes it again. Sets state and reason.
void ProbeSerialDevice(SerialDevice& device);

// "by-id", "ttyUSB", "ttyACM", "ttyS", "COM", "path".
const char* PortKindName(PortKind kind);

// Another program that has a device open: a terminal program left running, a
// modem manager. Without a lock it is no "busy" to open(), yet it takes the
// radio's answers.
struct PortHolder {
    int pid = 0;
    std::string name;  // the process's command name ("minicom"), control bytes escaped
};

// The other processes that have path's device open, as far as /proc shows this
// user (their /proc/PID/fd). The far end of a pseudo-terminal, the process
// holding its master, is the device itself and is not one of them.
std::vector<PortHolder> PortHolders(const std::string& path);

// "in use by minicom (pid 1234)", or its Chinese; "" when there is none.
std::string PortHoldersText(const std::vector<PortHolder>& holders, bool chinese);

// What the user reads about a device's state, with the fix where there is one
// ("no permission: the user must be in the \"dialout\" group ...").
std::string PortStateText(const SerialDevice& device, bool chinese);

// What "progtool ports" prints: COM1..COM4 with the device each maps to
// ([Ports] of Program.ini) and whether it can be opened, then every serial
// device present. Outside text (paths, descriptions) is escaped for a terminal.
// Without scan.probe no device is opened: each is told present, missing or
// not a serial device (no character device node).
std::string PortListText(bool chinese, const PortScan& scan = {});

// One port named twice among the ports of a command: the same name, a link and
// its device, or a COM name and the device [Ports] maps it to. Two transfers on
// one device would talk over each other.
struct PortNamedTwice {
    std::string first, second;  // the two names as given, in their order
    std::string device;         // where both lead
};
// The first port named twice in names, if any.
std::optional<PortNamedTwice> FindPortNamedTwice(const std::vector<std::string>& names);
// The same for ports already resolved.
std::optional<PortNamedTwice> FindPortNamedTwice(const std::vector<ResolvedPort>& ports);

// A COM name beyond the four [Ports] maps ("COM5", "com12") that is no file
// either (on Linux; on Windows every COMn is the system's port): the transfer would open a relative file of that name.
// "" for any other name, else the message: only COM1 to COM4 are mapped, and the serial devices present
// (ListSerialDevices, not probed).
std::string UnmappedComNameText(const std::string& name, bool chinese, const PortScan& scan = {});
