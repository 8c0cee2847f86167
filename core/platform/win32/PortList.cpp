#include "core/platform/PortList.h"

// clang-format off
#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

#include "core/platform/win32/Utf16.h"

namespace platform {

namespace {

bool IsComName(const std::wstring& name)
{
    return name.size() > 3 && _wcsnicmp(name.c_str(), L"COM", 3) == 0 &&
           std::all_of(name.begin() + 3, name.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// COM2 before COM10; other names after the COM ports, by name.
bool NaturalLess(const PresentPort& a, const PresentPort& b)
{
    auto key = [](const std::string& s) {
        const bool com = s.size() > 3 && _strnicmp(s.c_str(), "COM", 3) == 0;
        return std::make_pair(com ? std::atol(s.c_str() + 3) : 1L << 30, s);
    };
    return key(a.path) < key(b.path);
}

std::wstring RegistryString(HKEY key, const wchar_t* value)
{
    wchar_t buf[256] = {};
    DWORD size = sizeof buf - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return buf;
}

std::wstring DeviceProperty(HDEVINFO set, SP_DEVINFO_DATA& info, DWORD property)
{
    wchar_t buf[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &info, property, &type, reinterpret_cast<BYTE*>(buf),
                                           sizeof buf - sizeof(wchar_t), nullptr))
        return {};
    return buf;  // a REG_MULTI_SZ's first string
}

// "USB\VID_0403&PID_6001\..." -> "0403:6001"; "" for other buses.
std::string UsbIds(const std::wstring& hardwareId)
{
    std::wstring upper = hardwareId;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    const auto vid = upper.find(L"VID_");
    const auto pid = upper.find(L"PID_");
    if (vid == std::wstring::npos || pid == std::wstring::npos || vid + 8 > upper.size() || pid + 8 > upper.size())
        return {};
    std::string out = Utf8(upper.substr(vid + 4, 4) + L":" + upper.substr(pid + 4, 4));
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The ports Plug and Play knows, with their friendly names: "USB Serial Port
// (COM3)" becomes "USB Serial Port (0403:6001)" for an adapter on USB.
std::vector<PresentPort> PlugAndPlayPorts()
{
    std::vector<PresentPort> out;
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return out;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
        HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        const std::wstring name = RegistryString(key, L"PortName");
        RegCloseKey(key);
        if (!IsComName(name))
            continue;  // printer ports (LPT1) share the class
        std::wstring friendly = DeviceProperty(set, info, SPDRP_FRIENDLYNAME);
        if (friendly.empty())
            friendly = DeviceProperty(set, info, SPDRP_DEVICEDESC);
        // The friendly name ends in " (COM3)": the port is shown beside it already.
        if (const auto at = friendly.rfind(L" (" + name + L")"); at != std::wstring::npos)
            friendly.erase(at);
        std::string description = Utf8(friendly);
        const std::string ids = UsbIds(DeviceProperty(set, info, SPDRP_HARDWAREID));
        if (!ids.empty())
            description = description.empty() ? ids : description + " (" + ids + ")";
        PresentPort p;
        p.path = Utf8(name);
        p.target = p.path;
        p.description = description;
        out.push_back(std::move(p));
    }
    SetupDiDestroyDeviceInfoList(set);
    return out;
}

// HARDWARE\DEVICEMAP\SERIALCOMM: every port a serial driver has created,
// Plug and Play or not (virtual ports, Wine's).
std::vector<PresentPort> DeviceMapPorts()
{
    std::vector<PresentPort> out;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out;
    for (DWORD i = 0;; ++i) {
        wchar_t value[256] = {};
        wchar_t data[256] = {};
        DWORD valueSize = 255, dataSize = sizeof data - sizeof(wchar_t), type = 0;
        const LONG r =
            RegEnumValueW(key, i, value, &valueSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
        if (r == ERROR_NO_MORE_ITEMS)
            break;
        if (r != ERROR_SUCCESS || type != REG_SZ || !data[0])
            continue;
        PresentPort p;
        p.path = Utf8(data);
        p.target = p.path;
        out.push_back(std::move(p));
    }
    RegCloseKey(key);
    return out;
}

// The system's device names: a COM port no driver registered above (a
// mapped one, as Wine's dosdevices links) is still one of them.
std::vector<PresentPort> DosDevicePorts()
{
    std::vector<PresentPort> out;
    std::wstring names(65536, L'\0');
    const DWORD n = QueryDosDeviceW(nullptr, names.data(), static_cast<DWORD>(names.size()));
    for (std::size_t at = 0; at < n && names[at];) {
        const std::wstring name(names.c_str() + at);
        at += name.size() + 1;
        if (!IsComName(name))
            continue;
        PresentPort p;
        p.path = Utf8(name);
        p.target = p.path;
        out.push_back(std::move(p));
    }
    return out;
}

}  // namespace

std::vector<PresentPort> ListPorts(const std::string&, bool)
{
    std::vector<PresentPort> out = PlugAndPlayPorts();
    for (std::vector<PresentPort> more : {DeviceMapPorts(), DosDevicePorts()})
        for (PresentPort& p : more) {
            const bool known = std::any_of(out.begin(), out.end(), [&](const PresentPort& q) {
                return _stricmp(q.path.c_str(), p.path.c_str()) == 0;
            });
            if (!known)
                out.push_back(std::move(p));
        }
    std::sort(out.begin(), out.end(), NaturalLess);
    return out;
}

PresentPort DescribePort(const std::string& path, const std::string& root)
{
    for (PresentPort& p : ListPorts(root, false))
        if (_stricmp(p.path.c_str(), path.c_str()) == 0) {
            p.path = path;
            p.target = path;
            return p;
        }
    PresentPort p;
    p.path = path;
    p.target = path;
    return p;
}

// ProbePort is in Serial.cpp: it opens as SerialLine does.

std::vector<PortUser> PortUsers(const std::string&) { return {}; }

// Access to a COM port is no matter of groups, and Windows keeps no time of
// its arrival: nothing is known.
DeviceGroup DeviceOwnerGroup(const std::string&) { return {}; }

long long DeviceAgeSeconds(const std::string&) { return -1; }

}  // namespace platform
