// The serial port's rules that differ between the systems: what COM names
// stand for, and how a port that cannot be opened is told apart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/link/PortName.h"
#include "core/link/Ports.h"
#include "core/link/SerialPort.h"
#include "tests/support/TempDir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

TEST(PlatformSerial, PortsThatCannotBeOpenedAreToldApartAndNamed)
{
    const fs::path dir = fs::temp_directory_path() / "platform-serial-test";
    fs::create_directories(dir);
    const std::string file = (dir / "image.dat").string();
    std::ofstream(file) << "not a port";
    const struct {
        std::string path;
        PortState state;
    } cases[] = {
        {(dir / "no-such-port").string(), PortState::Missing},
        {"COM250", PortState::Missing},  // Windows: no such port; Linux: no such file
        {file, PortState::NotSerial},
        {dir.string(), PortState::Failed},
    };
    for (const auto& c : cases) {
        SerialDevice d;
        d.path = c.path;
        ProbeSerialDevice(d);
        EXPECT_EQ(d.state, c.state) << c.path << ": " << d.reason;
        EXPECT_FALSE(d.reason.empty()) << c.path;
        CSerialPort port;
        EXPECT_FALSE(port.Open(c.path)) << c.path;
        EXPECT_EQ(port.ErrorText().rfind(c.path + ": ", 0), 0u) << port.ErrorText();
        EXPECT_FALSE(port.IsOpen());
    }
    fs::remove_all(dir);
}

TEST(PlatformSerial, ComNamesAreTheSystemsPortsOnlyOnWindows)
{
    const PortsTable none = [](const std::string&) { return std::string(); };
    EXPECT_EQ(MapPortName("com3", none), kWindows ? "COM3" : "/dev/ttyUSB2");
    EXPECT_EQ(MapPortName("COM1", [](const std::string&) { return std::string("COM9"); }), "COM9");
    PortScan quick;
    quick.probe = false;
    EXPECT_STREQ(PortKindName(DescribeSerialDevice("COM12", quick).kind), kWindows ? "COM" : "path");
    // Beyond COM4 a name is a port of its own on Windows, a mistake on Linux.
    EXPECT_EQ(UnmappedComNameText("COM12", false, quick).empty(), kWindows);
}

TEST(PlatformSerial, OnWindowsTheSpellingsOfOneComPortAreOnePort)
{
    for (const char* other : {"\\\\.\\com12", "\\\\?\\COM12", "com12"}) {
        const auto twice = FindPortNamedTwice(std::vector<std::string>{"COM12", other});
        ASSERT_EQ(twice.has_value(), kWindows) << other;
        if (twice) {
            EXPECT_EQ(twice->device, "COM12") << other;
        }
    }
}

// A second node of one device (a bind mount, a node made with its number) is
// the same port, whatever its path.
TEST(PlatformSerial, OneDeviceUnderASecondNodeIsOnePort)
{
#ifdef _WIN32
    GTEST_SKIP() << "device nodes are POSIX's";
#else
    testenv::TempDir dir;
    const std::string node = (dir.Path() / "null-again").string();
    struct stat null {};
    ASSERT_EQ(::stat("/dev/null", &null), 0);
    if (::mknod(node.c_str(), S_IFCHR | 0666, null.st_rdev) != 0)
        GTEST_SKIP() << "making a device node needs CAP_MKNOD";
    const auto twice = FindPortNamedTwice(std::vector<std::string>{"/dev/null", node});
    ASSERT_TRUE(twice.has_value());
    EXPECT_EQ(twice->first, "/dev/null");
    EXPECT_EQ(twice->second, node);
    EXPECT_FALSE(FindPortNamedTwice(std::vector<std::string>{"/dev/null", "/dev/zero"}).has_value());
#endif
}
