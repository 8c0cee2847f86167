#include "core/link/SupportReport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <sstream>

#include "core/app/DisplayText.h"
#include "core/app/IniFile.h"
#include "core/app/SupportState.h"
#include "core/files/TextFile.h"
#include "core/link/Ports.h"
#include "core/link/Trace.h"
#include "core/platform/Files.h"
#include "core/platform/LocalTime.h"
#include "core/platform/Paths.h"
#include "core/radio/RadioCatalogue.h"
#include "core/radio/ShowText.h"

#ifndef PROG_VERSION
#define PROG_VERSION "unknown"
#endif
#ifndef PROG_BUILD_TYPE
#define PROG_BUILD_TYPE "unknown"
#endif

namespace {

// A failed handshake's trace is a few kB; a kept file far larger is no such trace.
constexpr std::size_t kKeptTraceReadLimit = 1024 * 1024;
// The longest value of Program.ini a report quotes, and the most of its lines.
constexpr std::size_t kIniValueLimit = 200;
constexpr std::size_t kIniLineLimit = 500;

std::string Compiler()
{
#if defined(__clang__)
    return "Clang " __clang_version__;
#elif defined(__GNUC__)
    return "GCC " __VERSION__;
#elif defined(_MSC_VER)
    return "MSVC " + std::to_string(_MSC_VER);
#else
    return "unknown";
#endif
}

std::string Pick(bool zh, const char* en, const char* chinese) { return zh ? chinese : en; }

std::string ProgramSection(const SupportFacts& f)
{
    std::string t;
    t += Pick(f.chinese, "Program: ", "程序: ") + f.program + " " PROG_VERSION "\n";
    t += Pick(f.chinese, "Build: ", "构建: ") + Compiler() + ", " PROG_BUILD_TYPE ", " __DATE__ "\n";
    t += Pick(f.chinese, "System: ", "系统: ") + EscapeControlBytes(platform::SystemDescription()) + "\n";
    t += "Qt: " + f.qt + "\n";
    t += Pick(f.chinese, "Language: ", "语言: ") + (f.chinese ? "zh" : "en") + "\n";
    return t;
}

std::string SettingsSection(const SupportFacts& f)
{
    if (!f.ini)
        return Pick(f.chinese, "(not loaded)\n", "(未载入)\n");
    std::string t = Pick(f.chinese, "File: ", "文件: ") + EscapeControlBytes(f.ini->GetFilePath()) + "\n";
    if (f.ini->GetSavePath() != f.ini->GetFilePath())
        t += Pick(f.chinese, "Saved to: ", "保存到: ") + EscapeControlBytes(f.ini->GetSavePath()) + "\n";
    std::vector<std::string> sections;
    f.ini->GetSectionNames(sections);
    std::size_t lines = 0;
    for (const std::string& section : sections) {
        // Headings count too: a file of empty sections is as long as one of keys.
        if (++lines > kIniLineLimit)
            return t + "...\n";
        t += "[" + EscapeControlBytes(section) + "]\n";
        std::vector<std::string> keys;
        f.ini->GetKeyNames(section, keys);
        for (const std::string& key : keys) {
            if (++lines > kIniLineLimit)
                return t + "...\n";
            std::string value = f.ini->GetString(section, key, "");
            if (value.size() > kIniValueLimit)
                value = value.substr(0, kIniValueLimit) + "...";
            t += EscapeControlBytes(key) + "=" + EscapeControlBytes(value) + "\n";
        }
    }
    return t;
}

std::string LinesSection(const std::vector<std::string>& lines, bool zh)
{
    if (lines.empty())
        return Pick(zh, "(none)\n", "(无)\n");
    std::string t;
    for (const std::string& line : lines)
        t += line + "\n";
    return t;
}

// Opening a port raises its control lines, which resets some attached boards
// and can hang up a program using it: a report, made just by looking, opens none.
std::string PortsSection(bool zh)
{
    PortScan scan;
    scan.probe = false;
    return Pick(zh,
                "Listed without opening any port. Check Connection and `progtool ports`\n"
                "open them to tell whether they can be used.\n",
                "列出时未打开任何串口。“检查连接”和 `progtool ports`\n会打开串口以确认能否使用。\n") +
           PortListText(zh, scan);
}

std::string TraceSection(bool zh)
{
    const std::string path = KeptTracePath();
    if (platform::LinkInfo(path).type == platform::FileType::None)
        return Pick(zh, "(none kept)\n", "(未保留)\n");
    std::string t = Pick(zh, "File: ", "文件: ") + EscapeControlBytes(path) + "\n";
    const TextFileResult read = ReadKeptFile(path, kKeptTraceReadLimit);
    if (!read.ok)
        return t + OneLine(read.error) + "\n";
    std::ostringstream decoded;
    std::string error;
    if (!WriteDecodedTrace(read.text, decoded, error))
        return t + Pick(zh, "not a serial trace: ", "不是串口记录: ") + OneLine(error) + "\n";
    // The summary is the last line: kept when the frames are cut.
    std::string text = decoded.str();
    std::size_t lines = 0, cut = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && ++lines == kReportTraceLines)
            cut = i + 1;
    if (cut != std::string::npos && cut < text.size()) {
        const std::size_t summary = text.rfind('\n', text.size() - 2) + 1;
        text = text.substr(0, cut) + "...\n" + text.substr(summary);
    }
    return t + text;
}

std::string DocumentSection(const SupportFacts& f)
{
    const ChannelDocument& doc = *f.document;
    // Its name alone: the folders it sits in say who the user is, and nothing about the radio.
    const std::string name = platform::PathText(platform::PathOf(f.documentName).filename());
    std::string t = Pick(f.chinese, "File: ", "文件: ") + EscapeControlBytes(name) + "\n\n";
    static const CIniFile none;
    const CRadioCatalogue catalogue(f.ini ? *f.ini : none);
    t += ChannelTableText(doc, catalogue, f.chinese) + "\n";
    t += OptionsText(doc.image, f.chinese) + "\n";
    t += Pick(f.chinese, "Image (8192 bytes, hex):\n", "映像 (8192 字节, 十六进制):\n");
    for (std::size_t at = 0; at < doc.image.size(); at += 16) {
        char offset[8];
        std::snprintf(offset, sizeof offset, "%04zX", at);
        t += std::string(offset) + "  " +
             HexBytes(std::vector<std::uint8_t>(doc.image.begin() + static_cast<std::ptrdiff_t>(at),
                                                doc.image.begin() + static_cast<std::ptrdiff_t>(at + 16))) +
             "\n";
    }
    return t;
}

bool PathChar(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isalnum(u) || c == '_' || c == '-' || c == '.' || c == '~' || c == '$';
}

}  // namespace

namespace {

// The UTF-8 character that starts at text[at], when it is a punctuation mark a
// Chinese message sets beside a path (": " as "：", quotes as “ ”): no part of a name.
bool WidePunctuationAt(const std::string& text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    char32_t c = 0;
    if ((byte(at) & 0xE0) == 0xC0 && (byte(at + 1) & 0xC0) == 0x80)
        c = ((byte(at) & 0x1Fu) << 6) | (byte(at + 1) & 0x3Fu);
    else if ((byte(at) & 0xF0) == 0xE0 && (byte(at + 1) & 0xC0) == 0x80 && (byte(at + 2) & 0xC0) == 0x80)
        c = ((byte(at) & 0x0Fu) << 12) | ((byte(at + 1) & 0x3Fu) << 6) | (byte(at + 2) & 0x3Fu);
    return (c >= 0x2010 && c <= 0x2027) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF0F) ||
           (c >= 0xFF1A && c <= 0xFF20) || (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65);
}

// Whether the character ending just before text[end] can be part of a name.
bool PathCharBefore(const std::string& text, std::size_t end)
{
    std::size_t start = end - 1;
    while (start > 0 && end - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return PathChar(text[end - 1]) && !WidePunctuationAt(text, start);
}

// text with each whole mention of path (not of a longer name that begins or
// ends like it) written as shown.
std::string ReplaceWholePath(const std::string& text, const std::string& path, const std::string& shown)
{
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(path, from)) != std::string::npos;) {
        const std::size_t end = at + path.size();
        const bool whole = (end == text.size() || !PathChar(text[end]) || WidePunctuationAt(text, end)) &&
                           (at == 0 || !PathCharBefore(text, at));
        out += text.substr(from, at - from) + (whole ? shown : path);
        from = end;
    }
    return out + text.substr(from);
}

}  // namespace

namespace {

bool Separator(char c) { return c == '/' || c == '\\'; }

// A folder as its parts: the root ("/", "C:", "" for none) and each name, "."
// and ".." taken away as the system takes them, however many separators stand between.
struct PathParts {
    std::string root;
    std::vector<std::string> names;
    bool caseless = false;  // a drive letter: Windows compares names without case
    bool Same(const std::string& a, const std::string& b) const
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
                   return caseless ? std::tolower(static_cast<unsigned char>(x)) ==
                                         std::tolower(static_cast<unsigned char>(y))
                                   : x == y;
               });
    }
    bool Is(const PathParts& other) const
    {
        if (!Same(root, other.root) || names.size() != other.names.size())
            return false;
        for (std::size_t i = 0; i < names.size(); ++i)
            if (!Same(names[i], other.names[i]))
                return false;
        return true;
    }
    void Add(const std::string& name)
    {
        if (name == "..") {
            if (!names.empty())
                names.pop_back();
        } else if (name != ".") {
            names.push_back(name);
        }
    }
};

bool DriveAt(const std::string& t, std::size_t i)
{
    return i + 1 < t.size() && std::isalpha(static_cast<unsigned char>(t[i])) && t[i + 1] == ':' &&
           (i + 2 == t.size() || Separator(t[i + 2]));
}

PathParts PartsOf(const std::string& path)
{
    PathParts p;
    std::size_t i = 0;
    if (DriveAt(path, 0)) {
        p.root = path.substr(0, 2);
        p.caseless = true;
        i = 2;
    } else if (!path.empty() && Separator(path[0])) {
        p.root = "/";
    }
    for (std::size_t end; i < path.size(); i = end + 1) {
        end = i;
        while (end < path.size() && !Separator(path[end]))
            ++end;
        if (end > i)
            p.Add(path.substr(i, end - i));
    }
    return p;
}

// Where a mention of the folder home that starts at text[at] ends, however it
// is spelled (doubled separators, "." and "..", "~" for home itself): the end
// of the longest run of names from there that leads to home; npos when none does.
std::size_t HomeMentionEnd(const std::string& text, std::size_t at, const PathParts& home)
{
    PathParts walked;
    walked.caseless = home.caseless;
    std::size_t i = at;
    if (text[at] == '~') {
        if (at + 1 < text.size() && !Separator(text[at + 1]) && PathChar(text[at + 1]) &&
            !WidePunctuationAt(text, at + 1))
            return std::string::npos;  // ~bob, another user's
        walked.root = home.root;
        walked.names = home.names;
        i = at + 1;
    } else if (DriveAt(text, at)) {
        walked.root = text.substr(at, 2);
        i = at + 2;
    } else if (Separator(text[at])) {
        walked.root = "/";
    } else {
        return std::string::npos;
    }
    std::size_t found = walked.Is(home) ? i : std::string::npos;
    const auto nameEnds = [&](std::size_t end) {
        return end == text.size() || !PathChar(text[end]) || WidePunctuationAt(text, end);
    };
    while (i < text.size() && Separator(text[i])) {
        while (i < text.size() && Separator(text[i]))
            ++i;
        // The next name of home as it is, spaces and all; else a run of name characters.
        std::size_t end = i;
        if (walked.names.size() < home.names.size()) {
            const std::string& next = home.names[walked.names.size()];
            if (walked.Same(text.substr(i, next.size()), next) && nameEnds(i + next.size()))
                end = i + next.size();
        }
        if (end == i)
            while (end < text.size() && !Separator(text[end]) && PathChar(text[end]) && !WidePunctuationAt(text, end))
                ++end;
        if (end == i)
            break;
        walked.Add(text.substr(i, end - i));
        i = end;
        if (walked.Is(home))
            found = i;
    }
    return found;
}

}  // namespace

std::string HideHome(const std::string& text, const std::string& home)
{
    if (home.size() < 2)
        return text;
    const PathParts parts = PartsOf(home);
    if (parts.names.empty())
        return text;  // "/" or "C:\" is everybody's
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (!(c == '~' || Separator(c) || DriveAt(text, at)) || (at > 0 && PathCharBefore(text, at)))
            continue;
        if (const std::size_t end = HomeMentionEnd(text, at, parts); end != std::string::npos) {
            out += text.substr(from, at - from) + "~";
            from = end;
            at = end - 1;
        }
    }
    return out + text.substr(from);
}

std::string HideUserInMounts(const std::string& text, const std::string& user)
{
    if (user.empty() || user.find_first_of("/\\") != std::string::npos)
        return text;
    std::string out = text;
    for (const char* mounts : {"/media/", "/run/media/"})
        out = ReplaceWholePath(out, mounts + user, std::string(mounts) + "<user>");
    return out;
}

std::vector<SupportSection> BuildSupportReport(const SupportFacts& facts)
{
    const bool zh = facts.chinese;
    std::vector<SupportSection> sections = {
        {"program", Pick(zh, "Program and system", "程序与系统"), ProgramSection(facts)},
        {"settings", Pick(zh, "Settings (Program.ini)", "设置 (Program.ini)"), SettingsSection(facts)},
        {"ports", Pick(zh, "Serial ports", "串口"), PortsSection(zh)},
        {"transfer", Pick(zh, "Last transfer", "上次传输"), LinesSection(ReadKeptLines(LastTransferPath(), 1), zh)},
        {"trace", Pick(zh, "Serial trace of the last failed handshake", "上次握手失败的串口记录"), TraceSection(zh)},
        {"messages", Pick(zh, "Last messages shown", "最近显示的消息"),
         LinesSection(ReadKeptLines(LastMessagesPath()), zh)},
    };
    if (facts.document)
        sections.push_back({"document", Pick(zh, "Open document", "打开的文档"), DocumentSection(facts)});
    const std::string home = facts.home.empty() ? platform::HomeFolder() : facts.home;
    // Windows paths reach the report with either separator; a path the system
    // resolved names the home folder as it really is (HOME a link, or "//" in it).
    std::string slashed = home, real;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    std::error_code ec;
    if (const std::filesystem::path resolved = std::filesystem::weakly_canonical(platform::PathOf(home), ec); !ec)
        real = platform::PathText(resolved);
    while (real.size() > 1 && (real.back() == '/' || real.back() == '\\'))
        real.pop_back();
    const std::string user = facts.user.empty() ? platform::UserName() : facts.user;
    for (SupportSection& s : sections)
        s.text = HideUserInMounts(HideHome(HideHome(HideHome(s.text, home), slashed), real), user);
    return sections;
}

std::string SupportReportText(const std::vector<SupportSection>& sections)
{
    std::string out;
    for (const SupportSection& s : sections)
        out += "== " + s.title + " ==\n" + s.text + "\n";
    return out;
}

std::vector<std::string> SupportReportInputs(const CIniFile* ini)
{
    std::vector<std::string> files = {LastTransferPath(), LastMessagesPath(), KeptTracePath()};
    if (ini)
        files.insert(files.end(), {ini->GetFilePath(), ini->GetSavePath()});
    files.erase(std::remove(files.begin(), files.end(), std::string()), files.end());
    return files;
}

std::string DefaultSupportReportName()
{
    const std::tm tm = platform::LocalTime(std::time(nullptr));
    char name[64];
    std::strftime(name, sizeof name, "support-report-%Y%m%d-%H%M%S.txt", &tm);
    return name;
}
