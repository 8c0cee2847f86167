#include "core/platform/Codepage.h"

#include <windows.h>

#include "core/platform/win32/Utf16.h"

namespace platform {

bool Gb18030ToUtf8(const std::string& bytes, std::string& out)
{
    constexpr UINT kGb18030 = 54936;
    if (bytes.empty()) {
        out.clear();
        return true;
    }
    const int n =
        ::MultiByteToWideChar(kGb18030, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0)
        return false;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(kGb18030, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    out = Utf8(wide);
    return true;
}

}  // namespace platform
