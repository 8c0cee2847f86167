#include "core/radio/DatFile.h"

#include <algorithm>

#include "core/files/TextFile.h"
#include "core/files/TextLanguage.h"

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
            r.error = FileText("Cannot read \"", "无法读取 \"") + path + "\": " + why;
            return r;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    file.Close();
    if (got < buffer.size()) {
        r.error = "\"" + path + FileText("\" is too short: ", "\" 太短: ") + std::to_string(got) +
                  FileText(" bytes, a radio image has ", " 字节, 电台映像有 ") + std::to_string(kImageSize) +
                  FileText(" bytes", " 字节");
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
    const std::string size = std::to_string(kImageSize);
    const std::string what = "\"" + path + FileText("\" is ", "\" 长 ") + std::to_string(length) +
                             FileText(" bytes long, ", " 字节, 比电台映像多 ") + beyond +
                             FileText(" more than a radio image", " 字节");
    c.refused = use != ImageUse::Read && !force;
    if (!c.refused)
        c.text = what + FileText(": only its first ", ": 只有前 ") + size +
                 FileText(" bytes are the radio's memory", " 字节是电台的数据") +
                 (use == ImageUse::Rewrite ? FileText("; the ", "; 其后的 ") + beyond +
                                                 FileText(" byte(s) beyond are not saved back", " 字节不会保存回去")
                                           : std::string());
    else if (use == ImageUse::Send)
        c.text = what + FileText(": probably not a radio image (only its first ", ": 可能不是电台映像 (只会发送前 ") +
                 size + FileText(" bytes would be sent)", " 字节)");
    else
        c.text =
            what + (FileTextsChinese() ? ": 保存会丢失前 " + size + " 字节之后的 " + beyond + " 字节"
                                       : ": saving it would lose the " + beyond + " byte(s) beyond the first " + size);
    return c;
}

DatResult SaveDatFile(const std::string& path, const Image& image)
{
    return WriteFileAtomically(path, image.data(), image.size());
}
