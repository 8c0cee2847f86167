#include "core/platform/Codepage.h"

#include <windows.h>

#include "core/platform/win32/Utf16.h"

namespace platform {

namespace {

bool Decode(UINT codepage, const std::string& bytes, std::string& out)
{
    const int size = static_cast<int>(bytes.size());
    const int n = ::MultiByteToWideChar(codepage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (n <= 0)
        return false;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codepage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), n);
    out = Utf8(wide);
    return true;
}

}  // namespace

bool Gb18030ToUtf8(const std::string& bytes, std::string& out)
{
    if (bytes.empty()) {
        out.clear();
        return true;
    }
    // GB18030 itself; where the system lacks it (Wine), GBK (936), the part of
    // it that Chinese Windows' own files use.
    return Decode(54936, bytes, out) || Decode(936, bytes, out);
}

}  // namespace platform
