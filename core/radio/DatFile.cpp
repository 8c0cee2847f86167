#include "core/radio/DatFile.h"

#include <algorithm>

#include "core/files/TextFile.h"

DatResult LoadDatFile(const std::string& path, Image& image)
{
    DatResult r;
    // Only a regular file: /dev/zero would pass for an image of zero bytes,
    // and a FIFO would hold the caller forever.
    unsigned long long size = 0;
    platform::CReadFile file;
    if (!OpenRegularFile(path, file, r.error, &size))
        return r;
    Image buffer;
    std::size_t got = 0;
    // One byte beyond the image tells a longer file, also one that grew since it was opened.
    std::uint8_t beyond = 0;
    while (got <= buffer.size()) {
        std::uint8_t* to = got < buffer.size() ? buffer.data() + got : &beyond;
        std::string why;
        const long long n = file.Read(to, got < buffer.size() ? buffer.size() - got : 1, why);
        if (n < 0) {
            r.error = "Cannot read \"" + path + "\": " + why;
            return r;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    file.Close();
    if (got < buffer.size()) {
        r.error = "\"" + path + "\" is too short: " + std::to_string(got) + " bytes, a radio image has " +
                  std::to_string(kImageSize) + " bytes";
        return r;
    }
    image = buffer;
    r.length = std::max<std::uint64_t>(size, got);
    r.ok = true;
    return r;
}

ImageLengthCheck CheckImageLength(const std::string& path, std::uint64_t length, ImageUse use, bool force)
{
    ImageLengthCheck c;
    if (length <= kImageSize)
        return c;
    const std::string beyond = std::to_string(length - kImageSize);
    const std::string what =
        "\"" + path + "\" is " + std::to_string(length) + " bytes long, " + beyond + " more than a radio image";
    c.refused = use != ImageUse::Read && !force;
    if (!c.refused)
        c.text = what + ": only its first " + std::to_string(kImageSize) + " bytes are the radio's memory" +
                 (use == ImageUse::Rewrite ? "; the " + beyond + " byte(s) beyond are not saved back" : "");
    else if (use == ImageUse::Send)
        c.text = what + ": probably not a radio image (only its first " + std::to_string(kImageSize) +
                 " bytes would be sent)";
    else
        c.text =
            what + ": saving it would lose the " + beyond + " byte(s) beyond the first " + std::to_string(kImageSize);
    return c;
}

DatResult SaveDatFile(const std::string& path, const Image& image)
{
    return WriteFileAtomically(path, image.data(), image.size());
}
