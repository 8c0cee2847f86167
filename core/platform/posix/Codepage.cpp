#include "core/platform/Codepage.h"

#include <iconv.h>

#include <cerrno>

namespace platform {

bool Gb18030ToUtf8(const std::string& bytes, std::string& out)
{
    iconv_t cd = ::iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string text(bytes.size() * 4 + 4, '\0');  // at most four UTF-8 bytes a character
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* to = text.data();
    std::size_t toLeft = text.size();
    const bool ok = ::iconv(cd, &in, &inLeft, &to, &toLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
    ::iconv_close(cd);
    if (!ok)
        return false;
    text.resize(text.size() - toLeft);
    out = std::move(text);
    return true;
}

}  // namespace platform
