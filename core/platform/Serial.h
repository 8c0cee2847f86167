#pragma once
// A serial device as the radio link uses it: opened by name at 9600 8N1 raw
// and held exclusively, read against a deadline, written whole, purged and
// closed. The caller turns a failure into the user's text.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The classes of failure the user is told apart.
enum class SerialFault {
    None,
    Missing,    // no such device (unplugged, mistyped)
    Busy,       // another program, or this one, holds it
    Denied,     // the user may not open it
    NotSerial,  // it exists but is no serial device
    Lost,       // the device vanished or the other end hung up
    Other,
};

struct SerialError {
    SerialFault fault = SerialFault::None;
    std::string call;    // the failing call, for I/O errors: "read", "poll", "hang-up"
    std::string reason;  // the system's text ("Permission denied")
};

class SerialLine {
public:
    SerialLine();
    ~SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    // Opens device ("/dev/ttyUSB0", "COM7") for reading and writing, refuses
    // it when another holder has it, and sets 9600 8N1, binary, no flow
    // control; the driver's refusal of a line setting is ignored.
    bool Open(const std::string& device, SerialError& error);
    bool IsOpen() const;
    // Empties the buffers and restores the driver's former settings unless
    // the line was lost, then releases the device.
    void Close(bool lost);

    // Reads up to n bytes: returns once n arrived, totalMs after the call, or
    // intervalMs after the last byte received, whichever comes first. A
    // time-out is no failure (got < n); false means the read itself failed.
    bool Read(std::uint8_t* buf, std::size_t n, std::size_t& got, int totalMs, int intervalMs, SerialError& error);
    // Writes n bytes within totalMs; a time-out leaves written < n and true.
    bool Write(const std::uint8_t* buf, std::size_t n, std::size_t& written, int totalMs, SerialError& error);
    // Drops what waits in both directions.
    void Purge();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The device a COM Setup name stands for when [Ports] does not map it:
// /dev/ttyUSB(n-1) on Linux, COMn itself on Windows.
std::string DefaultComDevice(int n);
// True where every COMn is a device name of the system (Windows).
bool ComNamesAreDevices();

}  // namespace platform
