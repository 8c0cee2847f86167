#pragma once
// The serial port the transfer talks through. ISerialPort carries the time-out
// and purge behaviour the radio link relies on, so tests can stand in for it;
// CPosixSerialPort is the real thing on a termios device.
#include <cstddef>
#include <cstdint>
#include <string>

#include <termios.h>

class ISerialPort {
public:
    virtual ~ISerialPort() = default;

    // Opens and configures the device (9600 8N1 raw, exclusive): a path, COM
    // names already resolved (ResolvePort). On failure ErrorText() names the
    // device and the system's reason.
    virtual bool Open(const std::string& device) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;

    // Reads up to n bytes: returns once n arrived, after 100 ms per byte plus
    // 90 ms in all, or once 50 ms of silence follow a received byte. A time-out
    // is no failure (got < n); false means the call itself failed.
    virtual bool Read(std::uint8_t* buf, std::size_t n, std::size_t& got) = 0;
    // Writes n bytes within 50 ms per byte plus 50 ms; false on failure.
    virtual bool Write(const std::uint8_t* buf, std::size_t n, std::size_t& written) = 0;

    virtual void PurgeAbort() = 0;  // drop pending reads and writes
    virtual void PurgeClear() = 0;  // empty both buffers

    // True once the other end has hung up or the device vanished.
    virtual bool IsLost() const = 0;
    // Device and reason of the last failure, "" when none.
    virtual std::string ErrorText() const = 0;
    // The device the last Open used.
    virtual std::string DevicePath() const = 0;
};

// "device: reason", with a hint on how to get access when the reason is EACCES.
std::string OpenErrorText(const std::string& device, int err);

// Serial port on a POSIX tty: a non-blocking descriptor and a poll loop against
// steady-clock deadlines, because VMIN/VTIME cannot express total time-outs.
class CPosixSerialPort : public ISerialPort {
public:
    CPosixSerialPort() = default;
    ~CPosixSerialPort() override;
    CPosixSerialPort(const CPosixSerialPort&) = delete;
    CPosixSerialPort& operator=(const CPosixSerialPort&) = delete;

    bool Open(const std::string& device) override;
    bool IsOpen() const override { return m_fd >= 0; }
    void Close() override;
    bool Read(std::uint8_t* buf, std::size_t n, std::size_t& got) override;
    bool Write(const std::uint8_t* buf, std::size_t n, std::size_t& written) override;
    void PurgeAbort() override;
    void PurgeClear() override;
    bool IsLost() const override { return m_bLost; }
    std::string ErrorText() const override { return m_strError; }
    std::string DevicePath() const override { return m_strDevice; }

    int Fd() const { return m_fd; }

    // Time-out constants, milliseconds.
    static constexpr int kReadInterval = 50;
    static constexpr int kReadPerByte = 100;
    static constexpr int kReadConstant = 90;
    static constexpr int kWritePerByte = 50;
    static constexpr int kWriteConstant = 50;

private:
    void SetLost(const char* what);
    void SetIoError(const char* what, int err);

    int m_fd = -1;
    bool m_bLost = false;
    bool m_bHaveSaved = false;
    std::string m_strError;
    std::string m_strDevice;
    struct termios m_saved {};  // the driver's settings, restored on close
};
