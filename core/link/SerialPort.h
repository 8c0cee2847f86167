#pragma once
// The serial port the transfer talks through. ISerialPort carries the time-out
// and purge behaviour the radio link relies on, so tests can stand in for it;
// CSerialPort is the real thing on the system's serial device.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/platform/Serial.h"

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
    // The class of the last failure (None when there was none): a port that
    // cannot tell says Other for any failure.
    virtual platform::SerialFault Fault() const
    {
        return ErrorText().empty() ? platform::SerialFault::None : platform::SerialFault::Other;
    }
    // The device the last Open used.
    virtual std::string DevicePath() const = 0;
};

// "device: reason", with a hint on how to get access when the reason is EACCES.
std::string OpenErrorText(const std::string& device, int err);

// The system's serial port (core/platform/Serial.h) with the link's time-outs
// and the user's texts for its failures.
class CSerialPort : public ISerialPort {
public:
    CSerialPort() = default;
    ~CSerialPort() override;
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    bool Open(const std::string& device) override;
    bool IsOpen() const override { return m_line.IsOpen(); }
    void Close() override;
    bool Read(std::uint8_t* buf, std::size_t n, std::size_t& got) override;
    bool Write(const std::uint8_t* buf, std::size_t n, std::size_t& written) override;
    void PurgeAbort() override;
    void PurgeClear() override;
    bool IsLost() const override { return m_bLost; }
    std::string ErrorText() const override { return m_strError; }
    platform::SerialFault Fault() const override { return m_fault; }
    std::string DevicePath() const override { return m_strDevice; }

    // Time-out constants, milliseconds.
    static constexpr int kReadInterval = 50;
    static constexpr int kReadPerByte = 100;
    static constexpr int kReadConstant = 90;
    static constexpr int kWritePerByte = 50;
    static constexpr int kWriteConstant = 50;

private:
    void SetIoError(const platform::SerialError& error);

    platform::SerialLine m_line;
    bool m_bLost = false;
    platform::SerialFault m_fault = platform::SerialFault::None;
    std::string m_strError;
    std::string m_strDevice;
};
