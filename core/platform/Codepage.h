#pragma once
// Text in the code page Chinese Windows saves "ANSI" files in (GB18030, of
// which GBK and GB2312 are parts) turned into UTF-8, the program's own.
#include <string>

namespace platform {

// False, and out untouched, when bytes are no GB18030 text.
bool Gb18030ToUtf8(const std::string& bytes, std::string& out);

}  // namespace platform
