#include "core/files/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string LimitText(std::size_t limit)
{
    return limit % (1024 * 1024) == 0 ? std::to_string(limit / (1024 * 1024)) + " MB"
                                      : std::to_string(limit) + " bytes";
}

}  // namespace

int OpenRegularFile(const std::string& path, std::string& error, unsigned long long* size)
{
    const std::string name = "\"" + path + "\"";
    // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "Cannot open " + name + ": " + std::strerror(errno);
        return -1;
    }
    auto fail = [&](const std::string& reason) {
        ::close(fd);
        error = name + " " + reason;
        return -1;
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return fail(std::string("cannot be read: ") + std::strerror(errno));
    if (S_ISDIR(st.st_mode))
        return fail("is a directory, not a file");
    if (!S_ISREG(st.st_mode))
        return fail("is not a regular file but a device, FIFO or socket; give a file");
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (size)
        *size = static_cast<unsigned long long>(st.st_size);
    return fd;
}

TextFileResult ReadBoundedTextFile(const std::string& path, std::size_t limit)
{
    TextFileResult r;
    const std::string name = "\"" + path + "\"";
    unsigned long long size = 0;
    const int fd = OpenRegularFile(path, r.error, &size);
    if (fd < 0)
        return r;
    auto fail = [&](const std::string& reason) {
        ::close(fd);
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
        const ssize_t n = ::read(fd, r.text.data() + got, r.text.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(std::string("cannot be read: ") + std::strerror(errno));
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
        if (got > limit)
            return fail(tooLarge);
    }
    ::close(fd);
    r.text.resize(got);
    r.ok = true;
    return r;
}
