#include "core/files/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/files/TextLanguage.h"

namespace {

std::string LimitText(std::size_t limit)
{
    return limit % (1024 * 1024) == 0 ? std::to_string(limit / (1024 * 1024)) + " MB"
                                      : std::to_string(limit) + FileText(" bytes", " 字节");
}

}  // namespace

bool OpenRegularFile(const std::string& path, platform::CReadFile& file, std::string& error, unsigned long long* size)
{
    const std::string name = "\"" + path + "\"";
    if (std::string why; !file.Open(path, why)) {
        error = FileText("Cannot open ", "无法打开 ") + name + ": " + why;
        return false;
    }
    auto fail = [&](const std::string& reason) {
        file.Close();
        error = name + " " + reason;
        return false;
    };
    const platform::FileInfo st = file.Info();
    if (st.type == platform::FileType::None)
        return fail(FileText("cannot be read: ", "无法读取: ") + std::strerror(errno));
    if (st.type == platform::FileType::Directory)
        return fail(FileText("is a directory, not a file", "是目录, 不是文件"));
    if (st.type != platform::FileType::Regular)
        return fail(FileText("is not a regular file but a device, FIFO or socket; give a file",
                             "不是普通文件, 而是设备、FIFO 或套接字; 请给出一个文件"));
    if (size)
        *size = st.size;
    return true;
}

TextFileResult ReadBoundedTextFile(const std::string& path, std::size_t limit)
{
    TextFileResult r;
    const std::string name = "\"" + path + "\"";
    unsigned long long size = 0;
    platform::CReadFile file;
    if (!OpenRegularFile(path, file, r.error, &size))
        return r;
    auto fail = [&](const std::string& reason) {
        r.error = name + " " + reason;
        return r;
    };
    const std::string tooLarge =
        FileText("is too large: a text file here may have at most ", "太大: 这里的文本文件最多 ") + LimitText(limit);
    if (size > limit)
        return fail(tooLarge + FileText(", it has ", ", 它有 ") + std::to_string(size) + FileText(" bytes", " 字节"));
    r.text.resize(static_cast<std::size_t>(size));
    std::size_t got = 0;
    for (;;) {
        // One byte beyond the limit tells a file that grew past it.
        if (got == r.text.size())
            r.text.resize(std::min(limit + 1, got + 65536));
        std::string why;
        const long long n = file.Read(r.text.data() + got, r.text.size() - got, why);
        if (n < 0)
            return fail(FileText("cannot be read: ", "无法读取: ") + why);
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
        if (got > limit)
            return fail(tooLarge);
    }
    r.text.resize(got);
    r.ok = true;
    return r;
}
