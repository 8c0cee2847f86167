#include "core/files/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

std::string LimitText(std::size_t limit)
{
    return limit % (1024 * 1024) == 0 ? std::to_string(limit / (1024 * 1024)) + " MB"
                                      : std::to_string(limit) + " bytes";
}

}  // namespace

bool OpenRegularFile(const std::string& path, platform::CReadFile& file, std::string& error, unsigned long long* size)
{
    const std::string name = "\"" + path + "\"";
    if (std::string why; !file.Open(path, why)) {
        error = "Cannot open " + name + ": " + why;
        return false;
    }
    auto fail = [&](const std::string& reason) {
        file.Close();
        error = name + " " + reason;
        return false;
    };
    const platform::FileInfo st = file.Info();
    if (st.type == platform::FileType::None)
        return fail(std::string("cannot be read: ") + std::strerror(errno));
    if (st.type == platform::FileType::Directory)
        return fail("is a directory, not a file");
    if (st.type != platform::FileType::Regular)
        return fail("is not a regular file but a device, FIFO or socket; give a file");
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
    const std::string tooLarge = "is too large: a text file here may have at most " + LimitText(limit);
    if (size > limit)
        return fail(tooLarge + ", it has " + std::to_string(size) + " bytes");
    r.text.resize(static_cast<std::size_t>(size));
    std::size_t got = 0;
    for (;;) {
        // One byte beyond the limit tells a file that grew past it.
        if (got == r.text.size())
            r.text.resize(std::min(limit + 1, got + 65536));
        std::string why;
        const long long n = file.Read(r.text.data() + got, r.text.size() - got, why);
        if (n < 0)
            return fail("cannot be read: " + why);
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
