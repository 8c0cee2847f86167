#include "core/link/SerialPort.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "core/app/Globals.h"

namespace {

// per * n + constant milliseconds, held to what an int carries.
int Deadline(int per, std::size_t n, int constant)
{
    const long long ms = static_cast<long long>(per) * static_cast<long long>(n) + constant;
    return static_cast<int>(std::min<long long>(ms, std::numeric_limits<int>::max()));
}

// "device: reason" and the hint for the failure's class.
std::string OpenFailureText(const std::string& device, const std::string& reason, platform::SerialFault fault)
{
    std::string text = device + ": " + reason;
    if (fault == platform::SerialFault::Denied) {
        if (g_bChinese)
            text += "\n当前用户没有使用串口设备的权限（例如需加入 \"dialout\" 组）。";
        else
            text +=
                "\nThe user must be allowed to use serial devices (for example be a member of the \"dialout\" group).";
    } else if (fault == platform::SerialFault::Busy) {
        text += g_bChinese ? "\n该端口正被其他程序使用。" : "\nThe port is in use by another program.";
    }
    return text;
}

}  // namespace

std::string OpenErrorText(const std::string& device, int err)
{
    platform::SerialFault fault = platform::SerialFault::Other;
    if (err == EACCES || err == EPERM)
        fault = platform::SerialFault::Denied;
    else if (err == EBUSY || err == EWOULDBLOCK)
        fault = platform::SerialFault::Busy;
    return OpenFailureText(device, std::strerror(err), fault);
}

CSerialPort::~CSerialPort() { Close(); }

bool CSerialPort::Open(const std::string& device)
{
    Close();
    m_bLost = false;
    m_fault = platform::SerialFault::None;
    m_strError.clear();
    m_strDevice = device;
    platform::SerialError error;
    if (!m_line.Open(m_strDevice, error)) {
        m_fault = error.fault;
        m_strError = OpenFailureText(m_strDevice, error.reason, error.fault);
        return false;
    }
    return true;
}

void CSerialPort::Close() { m_line.Close(m_bLost); }

void CSerialPort::SetIoError(const platform::SerialError& error)
{
    m_fault = error.fault;
    if (error.fault == platform::SerialFault::Lost) {
        m_bLost = true;
        m_strError = m_strDevice + ": " + (g_bChinese ? "设备连接已断开" : "the device was disconnected") + " (" +
                     error.call + ")";
        return;
    }
    m_strError = m_strDevice + ": " + error.call + ": " + error.reason;
}

bool CSerialPort::Read(std::uint8_t* buf, std::size_t n, std::size_t& got)
{
    got = 0;
    if (!m_line.IsOpen() || m_bLost) {
        if (!m_line.IsOpen()) {
            m_fault = platform::SerialFault::Other;
            m_strError = m_strDevice + ": port not open";
        }
        return false;
    }
    platform::SerialError error;
    if (!m_line.Read(buf, n, got, Deadline(kReadPerByte, n, kReadConstant), kReadInterval, error)) {
        SetIoError(error);
        return false;
    }
    return true;
}

bool CSerialPort::Write(const std::uint8_t* buf, std::size_t n, std::size_t& written)
{
    written = 0;
    if (!m_line.IsOpen() || m_bLost) {
        if (!m_line.IsOpen()) {
            m_fault = platform::SerialFault::Other;
            m_strError = m_strDevice + ": port not open";
        }
        return false;
    }
    platform::SerialError error;
    if (!m_line.Write(buf, n, written, Deadline(kWritePerByte, n, kWriteConstant), error)) {
        SetIoError(error);
        return false;
    }
    return true;
}

void CSerialPort::PurgeAbort()
{
    // Reads and writes here are synchronous and have returned, so no operation
    // is pending; buffered bytes stay (only a clear purge drops them).
}

void CSerialPort::PurgeClear() { m_line.Purge(); }
