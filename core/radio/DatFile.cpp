#include "core/radio/DatFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SysError(int err) { return std::strerror(err); }

}  // namespace

DatResult LoadDatFile(const std::string& path, Image& image)
{
    DatResult r;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        r.error = "Cannot open \"" + path + "\": " + SysError(errno);
        return r;
    }
    Image buffer;
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), f);
    const bool readError = std::ferror(f);
    const int err = errno;
    std::fclose(f);
    if (readError) {
        r.error = "Cannot read \"" + path + "\": " + SysError(err);
        return r;
    }
    if (got < buffer.size()) {
        r.error = "\"" + path + "\" is too short: " + std::to_string(got) +
                  " bytes, a radio image has " + std::to_string(kImageSize) + " bytes";
        return r;
    }
    image = buffer;
    r.ok = true;
    return r;
}

DatResult WriteFileAtomically(const std::string& path, const void* data, std::size_t size)
{
    DatResult r;
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path dir = target.parent_path();
    if (dir.empty())
        dir = ".";
    std::string tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        r.error = "Cannot save \"" + path + "\": " + SysError(errno);
        return r;
    }
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        r.error = "Cannot save \"" + path + "\": " + SysError(err);
        return r;
    };
    // Keep the permissions of the file being replaced; a new file gets the usual 0666 & ~umask.
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    const auto* p = static_cast<const unsigned char*>(data);
    std::size_t left = size;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        r.error = "Cannot save \"" + path + "\": " + SysError(err);
        return r;
    }
    if (::rename(tmpl.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        r.error = "Cannot save \"" + path + "\": " + SysError(err);
        return r;
    }
    r.ok = true;
    return r;
}

DatResult SaveDatFile(const std::string& path, const Image& image)
{
    return WriteFileAtomically(path, image.data(), image.size());
}
