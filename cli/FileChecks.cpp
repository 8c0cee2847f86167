#include "cli/FileChecks.h"

#include "cli/Args.h"
#include "cli/Output.h"
#include "core/app/Globals.h"
#include "core/files/FileIO.h"
#include "core/files/TextFile.h"
#include "core/platform/Files.h"

namespace cli {

void RefuseStdoutDash(const std::string& value, const std::string& option)
{
    if (value == "-")
        throw UsageError(option +
                         Tr(" -: \"-\" stands for standard output only with export -o -; give a file name "
                            "(./- for a file named -)",
                            " -: \"-\" 只在 export -o - 中表示标准输出; 请给出文件名 (名为 - 的文件写作 ./-)"));
}

namespace {

// What a loaded file's length allows; false (refusal printed) when it is refused.
bool CheckLength(const std::string& path, const DatResult& loaded, ImageUse use, bool force)
{
    const ImageLengthCheck c = CheckImageLength(path, loaded.length, use, force);
    if (c.refused)
        Error(c.text + (use == ImageUse::Send ? Tr("; nothing was sent (--force sends them all the same)",
                                                   "; 未发送任何数据 (用 --force 照样发送)")
                                              : Tr("; it is unchanged (--force saves the image without them)",
                                                   "; 文件未改动 (用 --force 保存不含多余字节的映像)")));
    else if (!c.text.empty())
        Warn(c.text);
    return !c.refused;
}

}  // namespace

bool LoadImageFile(const std::string& path, Image& image, ImageUse use, bool force)
{
    Image loaded{};
    const DatResult r = LoadDatFile(path, loaded);
    if (!r.ok)
        Error(r.error);
    if (!r.ok || !CheckLength(path, r, use, force))
        return false;
    image = loaded;
    return true;
}

bool CheckOutput(const std::string& output, const std::vector<std::string>& inputs, FileKind kind, bool force,
                 const std::string& nothing)
{
    RefuseStdoutDash(output, Tr("the output", "输出"));
    std::string after = nothing.empty() ? std::string(Tr("; nothing was written", "; 未写入任何内容")) : nothing;
    DatResult r = CheckOutputNotInput(output, inputs);
    if (r.ok) {
        // A radio image is kImageSize bytes: a binary file of another length is no image.
        r = CheckOutputKind(output, kind, force, kind == FileKind::Binary ? kImageSize : 0);
        if (!r.ok)
            after += Tr(" (--force replaces it)", " (用 --force 替换)");
    }
    if (r.ok)
        r = CheckSaveTarget(output);
    if (!r.ok)
        Error(r.error + after);
    return r.ok;
}

bool RefuseExistingRead(const std::string& output, bool force)
{
    if (force || platform::LinkInfo(output).type == platform::FileType::None)
        return true;
    Error(output +
          Tr(": the file exists (--force replaces it); nothing was read", ": 文件已存在 (用 --force 替换); 未读取"));
    return false;
}

bool WriteOutput(const std::string& path, const std::string& bytes)
{
    const DatResult r = WriteFileAtomically(path, bytes.data(), bytes.size());
    if (!r.ok)
        Error(r.error);
    return r.ok;
}

bool SaveImageFile(const std::string& path, const Image& image)
{
    const DatResult r = SaveDatFile(path, image);
    if (!r.ok)
        Error(r.error);
    return r.ok;
}

bool ReadTextFile(const std::string& path, std::string& text)
{
    TextFileResult r = ReadBoundedTextFile(path);
    if (!r.ok) {
        Error(r.error);
        return false;
    }
    text = std::move(r.text);
    return true;
}

bool LoadDocument(const std::string& path, ChannelDocument& doc)
{
    const DatResult r = doc.Load(path, g_bChinese != 0);
    if (!r.ok)
        Error(r.error);
    return r.ok && CheckLength(path, r, ImageUse::Read, false);
}

}  // namespace cli
