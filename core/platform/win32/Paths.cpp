#include "core/platform/Paths.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <windows.h>

#include "core/platform/Files.h"
#include "core/platform/win32/Utf16.h"

namespace platform {

namespace {

std::wstring Env(const wchar_t* name)
{
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0)
        return std::wstring();
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, value.data(), n);
    value.resize(got < n ? got : 0);
    return value;
}

// %NAME%, else the profile's own folder under it (AppData\Roaming, AppData\Local).
std::string KnownFolder(const wchar_t* name, const wchar_t* underProfile)
{
    std::wstring dir = Env(name);
    if (dir.empty()) {
        const std::wstring profile = Env(L"USERPROFILE");
        if (profile.empty())
            return std::string();
        dir = profile + L"\\" + underProfile;
    }
    return Utf8(dir);
}

}  // namespace

std::string ExecutableFolder()
{
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0)
            break;
        if (n < exe.size()) {
            exe.resize(n);
            const std::size_t slash = exe.find_last_of(L"\\/");
            if (slash != std::wstring::npos)
                return Utf8(exe.substr(0, slash == 2 && exe[1] == L':' ? 3 : slash));
            break;
        }
        exe.resize(exe.size() * 2);
    }
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    return ec ? std::string(".") : Utf8(cwd.wstring());
}

std::string UserConfigFolder() { return KnownFolder(L"APPDATA", L"AppData\\Roaming"); }

std::string UserDataFolder() { return KnownFolder(L"LOCALAPPDATA", L"AppData\\Local"); }

std::string HomeFolder()
{
    std::string dir = Utf8(Env(L"USERPROFILE"));
    while (dir.size() > 3 && (dir.back() == '\\' || dir.back() == '/'))
        dir.pop_back();
    return dir;
}

std::string UserName() { return Utf8(Env(L"USERNAME")); }

std::string SystemDescription()
{
    // GetVersionEx answers what the manifest claims; RtlGetVersion the real release.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto get =
        ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
              : nullptr;
    if (!get || get(&v) != 0)
        return "Windows";
    return "Windows " + std::to_string(v.dwMajorVersion) + "." + std::to_string(v.dwMinorVersion) + " build " +
           std::to_string(v.dwBuildNumber);
}

bool CanWriteFolder(const std::string& dir)
{
    std::string why;
    return FolderWritable(dir, why);
}

bool WindowSettingNumber(const std::string& key, const std::string& name, long long& value)
{
    // The window's QSettings keep it in HKEY_CURRENT_USER\Software\KEY: a
    // DWORD or QWORD, or text.
    const std::wstring subkey = L"Software\\" + Utf16(key), valueName = Utf16(name);
    DWORD type = 0;
    unsigned char data[512] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), valueName.c_str(),
                     RRF_RT_REG_DWORD | RRF_RT_REG_QWORD | RRF_RT_REG_SZ, &type, data, &size) != ERROR_SUCCESS)
        return false;
    if (type == REG_DWORD) {
        DWORD n = 0;
        memcpy(&n, data, sizeof n);
        value = static_cast<long long>(static_cast<std::int32_t>(n));
        return true;
    }
    if (type == REG_QWORD) {
        unsigned long long n = 0;
        memcpy(&n, data, sizeof n);
        value = static_cast<long long>(n);
        return true;
    }
    const std::string text = Utf8(reinterpret_cast<const wchar_t*>(data));
    errno = 0;
    char* end = nullptr;
    const long long n = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || end == text.c_str())
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end != '\0')
        return false;
    value = n;
    return true;
}

}  // namespace platform
