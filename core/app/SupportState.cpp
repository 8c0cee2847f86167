#include "core/app/SupportState.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>

#include "core/app/DisplayText.h"
#include "core/app/IniFile.h"
#include "core/files/FileIO.h"
#include "core/files/TextFile.h"
#include "core/platform/Files.h"
#include "core/platform/LocalTime.h"
#include "core/platform/Paths.h"
#include "core/files/TextLanguage.h"

namespace {

std::string Now()
{
    const std::tm tm = platform::LocalTime(std::time(nullptr));
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t nl = text.find('\n', from);
        if (nl == std::string::npos)
            nl = text.size();
        if (nl > from)
            lines.push_back(text.substr(from, nl - from));
        from = nl + 1;
    }
    return lines;
}

// Messages may come from a transfer's thread and the window's at once.
std::mutex g_messagesLock;

}  // namespace

std::string ProgramDataFolder()
{
    const std::string data = platform::UserDataFolder();
    return data.empty() ? std::string() : platform::PathText(platform::PathOf(data) / kPackageName);
}

std::string LastTransferPath()
{
    return platform::PathText(platform::PathOf(ProgramDataFolder()) / "last-transfer.txt");
}

std::string LastMessagesPath()
{
    return platform::PathText(platform::PathOf(ProgramDataFolder()) / "last-messages.txt");
}

bool KeepDataFile(const std::string& name, const std::string& text, std::string* error)
{
    const std::filesystem::path folder = platform::PathOf(ProgramDataFolder());
    if (!folder.is_absolute()) {
        if (error)
            *error = "There is no data folder to keep \"" + name + "\" in";
        return false;
    }
    const std::string path = platform::PathText(folder / name);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder)) {
        if (error)
            *error = FileText("Cannot create the folder \"", "无法创建文件夹 \"") + platform::PathText(folder) +
                     "\": " + (ec ? ec.message() : std::strerror(ENOTDIR));
        return false;
    }
    // The file is ours, a link there is not: a save through it would replace
    // whatever it leads to. The link goes; the file takes its place.
    if (std::filesystem::is_symlink(platform::PathOf(path), ec) &&
        !std::filesystem::remove(platform::PathOf(path), ec)) {
        if (error)
            *error = "Cannot replace the link \"" + path + "\": " + ec.message();
        return false;
    }
    const FileResult saved = WriteFileAtomically(path, text.data(), text.size());
    if (!saved.ok && error)
        *error = saved.error;
    return saved.ok;
}

std::string OneLine(const std::string& text)
{
    std::string flat;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (text[i] == '\n' || text[i] == '\r')
            flat += i + 1 < text.size() ? " / " : "";
        else
            flat += text[i];
    }
    std::string line = EscapeControlBytes(flat);
    if (line.size() > kKeptLineLength) {
        std::size_t cut = kKeptLineLength;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;  // not inside a character
        line = line.substr(0, cut) + "...";
    }
    return line;
}

TextFileResult ReadKeptFile(const std::string& path, std::size_t limit)
{
    if (platform::LinkInfo(path).link) {
        TextFileResult r;
        r.error = "\"" + path + "\" is a link, not the program's own file; not read";
        return r;
    }
    return ReadBoundedTextFile(path, limit);
}

std::vector<std::string> ReadKeptLines(const std::string& path, std::size_t maxLines)
{
    if (platform::LinkInfo(path).type == platform::FileType::None)
        return {};
    const TextFileResult read = ReadKeptFile(path, kSupportStateReadLimit);
    if (!read.ok)
        return {OneLine(read.error)};
    std::vector<std::string> lines = SplitLines(read.text);
    if (lines.size() > maxLines)
        lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(maxLines));
    for (std::string& line : lines)
        line = OneLine(line);
    return lines;
}

bool RecordTransferResult(bool write, const std::string& port, bool ok, const std::string& message)
{
    const std::string line = Now() + "  " + (write ? "write" : "read") + "  " + OneLine(port) + "  " +
                             (ok ? "ok" : "failed: " + OneLine(message));
    return KeepDataFile("last-transfer.txt", line + "\n");
}

bool RecordShownMessage(const std::string& message)
{
    const std::lock_guard<std::mutex> hold(g_messagesLock);
    std::vector<std::string> lines = ReadKeptLines(LastMessagesPath(), kKeptMessages - 1);
    lines.push_back(Now() + "  " + OneLine(message));
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return KeepDataFile("last-messages.txt", text);
}
