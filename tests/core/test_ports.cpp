// The serial device list on a prepared dev/ and sys/ tree: pseudo-terminals
// stand in for adapters, a held one for a busy port, a plain file and dangling
// links for what cannot be opened.
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <future>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/app/IniFile.h"
#include "core/link/Ports.h"
#include "core/link/SerialPort.h"
#include "core/platform/posix/OpenErrno.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct Pty {
    int master = -1, slave = -1;
    std::string path;
    Pty()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = name;
    }
    ~Pty()
    {
        ::close(master);
        ::close(slave);
    }
};

class DeviceTree : public ::testing::Test {
protected:
    testenv::TempDir dir;
    const fs::path root = dir.Path();
    Pty usb0, usb10, s0;

    void SetUp() override
    {
        fs::create_directories(root / "dev/serial/by-id");
        fs::create_symlink(usb0.path, root / "dev/ttyUSB0");
        fs::create_symlink(usb10.path, root / "dev/ttyUSB10");
        std::ofstream(root / "dev/ttyUSB2") << "not a tty";
        fs::create_symlink(root / "dev/gone", root / "dev/ttyACM0");
        fs::create_symlink(s0.path, root / "dev/ttyS0");
        fs::create_symlink(s0.path, root / "dev/ttyS1");
        fs::create_symlink("../../ttyUSB0", root / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5-if00-port0");
        fs::create_symlink("../../ttyUSB7", root / "dev/serial/by-id/usb-Prolific_USB-Serial-if00-port0");
        // sysfs: ttyUSB0 sits under a USB device; ttyS1 has no UART.
        const fs::path usb = root / "sys/devices/usb1/1-1";
        fs::create_directories(usb / "1-1:1.0/ttyUSB0");
        const std::pair<const char*, const char*> attrs[] = {
            {"idVendor", "0403"}, {"idProduct", "6001"}, {"manufacturer", "FTDI"}, {"product", "FT232R USB UART"}};
        for (const auto& [name, value] : attrs)
            std::ofstream(usb / name) << value << "\n";
        fs::create_directories(root / "sys/class/tty/ttyUSB0");
        fs::create_symlink("../../../devices/usb1/1-1/1-1:1.0/ttyUSB0", root / "sys/class/tty/ttyUSB0/device");
        for (const auto& [name, type] : {std::pair{"ttyS0", "4"}, std::pair{"ttyS1", "0"}}) {
            fs::create_directories(root / "sys/class/tty" / name);
            std::ofstream(root / "sys/class/tty" / name / "type") << type << "\n";
        }
    }
    std::string Dev(const std::string& name) const { return (root / "dev" / name).string(); }
};

}  // namespace

TEST_F(DeviceTree, ListsEachKindWithItsState)
{
    CSerialPort holder;
    ASSERT_TRUE(holder.Open(usb10.path)) << holder.ErrorText();

    const std::vector<SerialDevice> list = ListSerialDevices({root.string(), true});
    struct Row {
        std::string path;
        PortKind kind;
        std::string target;
        std::string description;
        PortState state;
    };
    const std::string ftdi = "by-id/usb-FTDI_FT232R_USB_UART_A5-if00-port0";
    const std::string prolific = "by-id/usb-Prolific_USB-Serial-if00-port0";
    const Row want[] = {
        {"serial/" + ftdi, PortKind::ById, Dev("ttyUSB0"), "FTDI FT232R USB UART (0403:6001)", PortState::Openable},
        {"serial/" + prolific, PortKind::ById, Dev("ttyUSB7"), "Prolific USB-Serial", PortState::Missing},
        {"ttyUSB0", PortKind::Usb, Dev("ttyUSB0"), "FTDI FT232R USB UART (0403:6001)", PortState::Openable},
        {"ttyUSB2", PortKind::Usb, Dev("ttyUSB2"), "", PortState::NotSerial},
        {"ttyUSB10", PortKind::Usb, Dev("ttyUSB10"), "", PortState::Busy},
        {"ttyACM0", PortKind::Acm, Dev("ttyACM0"), "", PortState::Missing},
        {"ttyS0", PortKind::Builtin, Dev("ttyS0"), "", PortState::Openable},
    };
    ASSERT_EQ(list.size(), std::size(want));
    for (std::size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(want[i].path);
        EXPECT_EQ(list[i].path, Dev(want[i].path));
        EXPECT_EQ(list[i].kind, want[i].kind);
        EXPECT_EQ(list[i].target, want[i].target);
        EXPECT_EQ(list[i].description, want[i].description);
        EXPECT_EQ(list[i].state, want[i].state);
        EXPECT_EQ(list[i].reason.empty(), want[i].state == PortState::Openable);
    }
    holder.Close();
    SerialDevice freed = DescribeSerialDevice(Dev("ttyUSB10"), {root.string(), true});
    EXPECT_EQ(freed.state, PortState::Openable);

    // Without probing nothing is opened.
    for (const SerialDevice& d : ListSerialDevices({root.string(), false}))
        EXPECT_EQ(d.state, PortState::NotProbed) << d.path;
}

TEST(Ports, StatesFromErrnoAndTheirTexts)
{
    using platform::SerialFault;
    const std::pair<int, SerialFault> cases[] = {
        {ENOENT, SerialFault::Missing}, {ENODEV, SerialFault::Missing},       {EIO, SerialFault::Missing},
        {ELOOP, SerialFault::Missing},  {ENAMETOOLONG, SerialFault::Missing}, {EBUSY, SerialFault::Busy},
        {EACCES, SerialFault::Denied},  {EPERM, SerialFault::Denied},         {ENOTTY, SerialFault::NotSerial},
        {EINVAL, SerialFault::Other},
    };
    for (const auto& [err, fault] : cases)
        EXPECT_EQ(platform::SerialFaultOfErrno(err), fault) << err;

    SerialDevice d;
    d.state = PortState::Permission;
    for (bool chinese : {false, true})
        EXPECT_NE(PortStateText(d, chinese).find("\"dialout\""), std::string::npos);
    d.state = PortState::Failed;
    d.reason = "Input/output error";
    EXPECT_EQ(PortStateText(d, false), "cannot be opened: Input/output error");
}

TEST(Ports, PortsEntryAddedWhileRunningAppliesAtOnce)
{
    testenv::TempDir dir;
    const std::string ini = dir.File("Program.ini");
    std::ofstream(ini) << "[Setup]\nLanguage=English\n[Ports]\nCOM1=/dev/first\n";
    ASSERT_TRUE(theIniFile.Load(ini, false, true, false));
    EXPECT_EQ(MapPortName("COM1"), "/dev/first");
    EXPECT_EQ(MapPortName("com2"), "/dev/ttyUSB1");
    std::ofstream(ini) << "[Setup]\nLanguage=English\n[ports]\nCOM1=/dev/changed\ncom2=/dev/added\n";
    EXPECT_EQ(MapPortName("COM1"), "/dev/changed");
    EXPECT_EQ(MapPortName("com2"), "/dev/added");
    // The file gone: what was loaded still counts.
    fs::remove(ini);
    EXPECT_EQ(MapPortName("COM1"), "/dev/first");
    theIniFile.Clear();
}

TEST(Ports, ResolvedOnceWithLabelDeviceAndDescription)
{
    // COM3 is itself (as on Windows): named once, not "COM3 (COM3)".
    const PortsTable table = [](const std::string& key) {
        return key == "COM2" ? "/dev/ttyS1" : key == "COM3" ? "COM3" : "";
    };
    struct Case {
        const char* name;
        const char* label;
        const char* device;
        const char* description;
    };
    const Case cases[] = {
        {"com1", "COM1", "/dev/ttyUSB0", "COM1 (/dev/ttyUSB0)"},
        {"COM2", "COM2", "/dev/ttyS1", "COM2 (/dev/ttyS1)"},
        {"com3", "COM3", "COM3", "COM3"},
        {"com4", "COM4", "/dev/ttyUSB3", "COM4 (/dev/ttyUSB3)"},
        {"/dev/pts/7", "/dev/pts/7", "/dev/pts/7", "/dev/pts/7"},
        {"COM12", "COM12", "COM12", "COM12"},
        {"Com1", "Com1", "Com1", "Com1"},
    };
    for (const Case& c : cases) {
        const ResolvedPort p = ResolvePort(c.name, table);
        EXPECT_EQ(p, (ResolvedPort{c.name, c.label, c.device, c.description})) << c.name;
    }
}

TEST(Ports, PortsSectionIsReadAgainOnlyWhenTheFileChanged)
{
    const std::string ini = (fs::temp_directory_path() / "ports_cache_Program.ini").string();
    std::ofstream(ini) << "[Setup]\nLanguage=English\n[Ports]\nCOM1=/dev/first\n";
    ASSERT_TRUE(theIniFile.Load(ini, false, true, false));
    const std::uint64_t before = PortsTableReads();
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(ResolvePort("com1").device, "/dev/first");
    ResolvePort("/dev/ttyS0");  // a path needs no table
    EXPECT_EQ(PortsTableReads() - before, 1u);
    std::ofstream(ini) << "[Setup]\nLanguage=English\n[Ports]\nCOM1=/dev/changed\n";
    EXPECT_EQ(ResolvePort("COM1").device, "/dev/changed");
    EXPECT_EQ(ResolvePort("COM1").device, "/dev/changed");
    EXPECT_EQ(PortsTableReads() - before, 2u);
    fs::remove(ini);
    theIniFile.Clear();
}

// A FIFO where sysfs has an attribute: the list does not wait for a writer.
TEST_F(DeviceTree, FifoInSysfsDoesNotBlockTheList)
{
    const fs::path fifos[] = {root / "sys/devices/usb1/1-1/product", root / "sys/class/tty/ttyS0/type"};
    for (const fs::path& f : fifos) {
        fs::remove(f);
        ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0);
    }
    auto listed = std::async(std::launch::async, [&] { return ListSerialDevices({root.string(), false}).size(); });
    const bool blocked = listed.wait_for(std::chrono::seconds(5)) != std::future_status::ready;
    // Free a blocked reader: a writer's open lets its open return.
    while (listed.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        for (const fs::path& f : fifos)
            if (const int fd = ::open(f.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0)
                ::close(fd);
    EXPECT_FALSE(blocked);
    EXPECT_EQ(listed.get(), 6u);
}

TEST_F(DeviceTree, ComNamesBeyondTheMappedFourAreToldWithTheDevicesPresent)
{
    const PortScan scan{root.string(), true};
    for (const char* name : {"COM1", "COM4", "/dev/ttyUSB0", "COMX", "COM"})
        EXPECT_EQ(UnmappedComNameText(name, false, scan), "") << name;
    const std::string text = UnmappedComNameText("COM5", false, scan);
    EXPECT_EQ(text.rfind("COM5: only COM1 to COM4 are mapped (by [Ports] in Program.ini) and there is no file COM5; "
                         "serial devices present: " +
                             Dev("serial/by-id/usb-FTDI_FT232R_USB_UART_A5-if00-port0"),
                         0),
              0u)
        << text;
    EXPECT_NE(UnmappedComNameText("com12", true, scan).find("只有 COM1 至 COM4"), std::string::npos);
}
