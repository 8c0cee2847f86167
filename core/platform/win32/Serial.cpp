#include "core/platform/Serial.h"

#include "core/platform/PortList.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cwctype>

#include "core/platform/win32/Utf16.h"

namespace platform {

namespace {

// "COM7" and other bare device names live under \\.\ (COM10 and above only
// open that way); a path is opened as given.
std::wstring DeviceName(const std::string& device)
{
    if (device.find_first_of("\\/:") == std::string::npos)
        return L"\\\\.\\" + Utf16(device);
    return Utf16(device);
}

// A named object per port, held while the port is open: the driver refuses a
// second opener on Windows, but not every serial driver does (Wine's, a
// virtual port's), so copies of this program also keep off each other's port.
std::wstring HolderName(const std::wstring& device)
{
    std::wstring name = device.rfind(L"\\\\.\\", 0) == 0 ? device.substr(4) : device;
    for (wchar_t& c : name)
        c = c == L'\\' ? L'/' : static_cast<wchar_t>(std::towupper(c));
    return L"Local\\tr5-programmer-serial-" + name;
}

bool Failed(SerialError& error, SerialFault fault, const char* call, DWORD code)
{
    error = {fault, call, SystemMessage(code)};
    return false;
}

SerialFault OpenFault(DWORD code, bool deviceName)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST: return SerialFault::Missing;
    // A COM port another program has open refuses with "Access is denied".
    case ERROR_ACCESS_DENIED: return deviceName ? SerialFault::Busy : SerialFault::Other;
    case ERROR_SHARING_VIOLATION: return SerialFault::Busy;
    default: return SerialFault::Other;
    }
}

// An I/O error of a device that went away (an unplugged USB adapter).
bool LostCode(DWORD code)
{
    switch (code) {
    case ERROR_NOT_READY:  // Wine's port once the far end hung up
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_OPERATION_ABORTED:
    case ERROR_INVALID_HANDLE:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_ACCESS_DENIED:
    case ERROR_BROKEN_PIPE: return true;
    default: return false;
    }
}

bool IoFailed(SerialError& error, const char* call, DWORD code)
{
    return Failed(error, LostCode(code) ? SerialFault::Lost : SerialFault::Other, call, code);
}

}  // namespace

struct SerialLine::State {
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE holder = nullptr;  // the named object of HolderName
    bool haveSaved = false;
    DCB savedDcb{};
    COMMTIMEOUTS savedTimeouts{};
    COMMTIMEOUTS timeouts{};  // as last set, so a read or write sets them only when they change
    bool timeoutsSet = false;

    bool SetTimeouts(const COMMTIMEOUTS& t)
    {
        if (timeoutsSet && t.ReadIntervalTimeout == timeouts.ReadIntervalTimeout &&
            t.ReadTotalTimeoutMultiplier == timeouts.ReadTotalTimeoutMultiplier &&
            t.ReadTotalTimeoutConstant == timeouts.ReadTotalTimeoutConstant &&
            t.WriteTotalTimeoutMultiplier == timeouts.WriteTotalTimeoutMultiplier &&
            t.WriteTotalTimeoutConstant == timeouts.WriteTotalTimeoutConstant)
            return true;
        COMMTIMEOUTS copy = t;
        timeoutsSet = SetCommTimeouts(handle, &copy) != 0;
        timeouts = t;
        return timeoutsSet;
    }
};

SerialLine::SerialLine() : m_state(std::make_unique<State>()) {}

SerialLine::~SerialLine() { Close(false); }

bool SerialLine::IsOpen() const { return m_state->handle != INVALID_HANDLE_VALUE; }

bool SerialLine::Open(const std::string& device, SerialError& error)
{
    Close(false);
    error = {};
    const std::wstring name = DeviceName(device);
    const bool deviceName = name.rfind(L"\\\\.\\", 0) == 0;
    // Share mode 0: no other opener while the transfer runs.
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        return Failed(error, OpenFault(code, deviceName), "open", code);
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) {
        const DWORD code = GetLastError();
        CloseHandle(h);
        return Failed(error, SerialFault::NotSerial, "open", code);
    }
    State& s = *m_state;
    s.holder = CreateMutexW(nullptr, FALSE, HolderName(name).c_str());
    if (s.holder && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(s.holder);
        s.holder = nullptr;
        CloseHandle(h);
        return Failed(error, SerialFault::Busy, "open", ERROR_ACCESS_DENIED);
    }
    s.savedDcb = dcb;
    s.haveSaved = GetCommTimeouts(h, &s.savedTimeouts) != 0;
    SetupComm(h, 1024, 512);

    // 9600 8N1 in binary mode; no flow control of either kind (XON/XOFF would
    // swallow 0x11/0x13, and a cable without CTS would stall every write).
    // Failures are ignored: a driver that refuses still gets its chance.
    dcb.BaudRate = CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;  // else one framing error stops every read until cleared
    if (dcb.fDtrControl == DTR_CONTROL_HANDSHAKE)
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
    if (dcb.fRtsControl == RTS_CONTROL_HANDSHAKE || dcb.fRtsControl == RTS_CONTROL_TOGGLE)
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
    SetCommState(h, &dcb);
    s.handle = h;
    s.timeoutsSet = false;
    return true;
}

void SerialLine::Close(bool lost)
{
    State& s = *m_state;
    if (s.handle == INVALID_HANDLE_VALUE)
        return;
    if (!lost) {
        PurgeComm(s.handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
        SetCommState(s.handle, &s.savedDcb);
        if (s.haveSaved)
            SetCommTimeouts(s.handle, &s.savedTimeouts);
    }
    CloseHandle(s.handle);
    s.handle = INVALID_HANDLE_VALUE;
    if (s.holder)
        CloseHandle(s.holder);
    s.holder = nullptr;
    s.haveSaved = false;
    s.timeoutsSet = false;
}

namespace {
using Clock = std::chrono::steady_clock;
long long MsSince(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}
}  // namespace

bool SerialLine::Read(std::uint8_t* buf, std::size_t n, std::size_t& got, int totalMs, int intervalMs,
                      SerialError& error)
{
    got = 0;
    if (n == 0)
        return true;
    State& s = *m_state;
    const long long total = totalMs > 0 ? totalMs : 1;
    const long long interval = intervalMs > 0 ? intervalMs : 1;
    const Clock::time_point start = Clock::now();
    for (;;) {
        const long long left = total - MsSince(start);
        if (left <= 0)
            break;
        // The driver keeps both clocks: the total from the call, the interval
        // from the last byte received (only once one has come), as the POSIX
        // poll loop. A read resumed after bytes ends after the interval's silence.
        const long long callTotal = got > 0 ? std::min(left, interval) : left;
        COMMTIMEOUTS t = s.timeouts;
        t.ReadIntervalTimeout = static_cast<DWORD>(interval);
        t.ReadTotalTimeoutMultiplier = 0;
        t.ReadTotalTimeoutConstant = static_cast<DWORD>(callTotal);
        if (!s.SetTimeouts(t))
            return IoFailed(error, "SetCommTimeouts", GetLastError());
        DWORD k = 0;
        const std::size_t rest = n - got;
        const DWORD want = rest > MAXDWORD ? MAXDWORD : static_cast<DWORD>(rest);
        const Clock::time_point call = Clock::now();
        if (!ReadFile(s.handle, buf + got, want, &k, nullptr))
            return IoFailed(error, "read", GetLastError());
        got += k;
        if (got >= n)
            return true;
        // A read the driver's clocks did not end (returned before either) was
        // cut short: Wine ends one when a signal arrives, such as the Ctrl+C
        // the console turns into a stop. The rest is read as POSIX goes on
        // after EINTR; the stop is seen between frames.
        const long long took = MsSince(call);
        if (took + 2 >= callTotal || (k > 0 && took + 2 >= interval))
            break;
        DWORD errors = 0;
        if (k == 0 && !ClearCommError(s.handle, &errors, nullptr) && LostCode(GetLastError()))
            break;
    }
    // A read that timed out may have met a device that is gone: the driver
    // says so only when asked.
    DWORD errors = 0;
    if (!ClearCommError(s.handle, &errors, nullptr)) {
        const DWORD code = GetLastError();
        if (LostCode(code))
            return Failed(error, SerialFault::Lost, "read", code);
    }
    return true;
}

bool SerialLine::Write(const std::uint8_t* buf, std::size_t n, std::size_t& written, int totalMs, SerialError& error)
{
    written = 0;
    if (n == 0)
        return true;
    State& s = *m_state;
    const long long total = totalMs > 0 ? totalMs : 1;
    const Clock::time_point start = Clock::now();
    while (written < n) {
        const long long left = total - MsSince(start);
        if (left <= 0)
            break;
        COMMTIMEOUTS t = s.timeouts;
        t.WriteTotalTimeoutMultiplier = 0;
        t.WriteTotalTimeoutConstant = static_cast<DWORD>(left);
        if (!s.SetTimeouts(t))
            return IoFailed(error, "SetCommTimeouts", GetLastError());
        DWORD k = 0;
        const std::size_t rest = n - written;
        const DWORD want = rest > MAXDWORD ? MAXDWORD : static_cast<DWORD>(rest);
        const bool ok = WriteFile(s.handle, buf + written, want, &k, nullptr) != 0;
        written += k;
        if (!ok) {
            const DWORD code = GetLastError();
            // A write time-out is a short write, as on POSIX.
            if (code == ERROR_TIMEOUT || code == ERROR_SEM_TIMEOUT)
                return true;
            return IoFailed(error, "write", code);
        }
        // Short without a time-out: cut short as a read can be; the rest follows.
        if (k == 0 && MsSince(start) + 2 >= total)
            break;
    }
    return true;
}

void SerialLine::Purge()
{
    if (m_state->handle != INVALID_HANDLE_VALUE)
        PurgeComm(m_state->handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
}

SerialError ProbePort(const std::string& path)
{
    // Opened as a transfer opens it, but the line settings stay as they are.
    SerialError error;
    const std::wstring name = DeviceName(path);
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        Failed(error, OpenFault(code, name.rfind(L"\\\\.\\", 0) == 0), "open", code);
        return error;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) {
        Failed(error, SerialFault::NotSerial, "open", GetLastError());
    } else if (HANDLE held = OpenMutexW(SYNCHRONIZE, FALSE, HolderName(name).c_str())) {
        CloseHandle(held);
        Failed(error, SerialFault::Busy, "open", ERROR_ACCESS_DENIED);
    }
    CloseHandle(h);
    return error;
}

std::string DefaultComDevice(int n) { return "COM" + std::to_string(n); }

bool ComNamesAreDevices() { return true; }

}  // namespace platform
