#include "cli/Common.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string_view>

#include "cli/Output.h"
#include "core/app/DisplayText.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/app/Language.h"
#include "core/app/Messages.h"
#include "core/app/SupportState.h"
#include "core/link/Ports.h"
#include "core/platform/Files.h"
#include "core/radio/DatFile.h"
#include "core/files/TextFile.h"

namespace cli {

Args::Args(const std::vector<std::string>& argv, const std::set<std::string>& withValue,
           const std::set<std::string>& flags)
{
    bool onlyPositional = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (onlyPositional || a.size() < 2 || a[0] != '-') {
            m_positional.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyPositional = true;
            continue;
        }
        std::string name = a, value;
        bool inlineValue = false;
        if (const auto eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            inlineValue = true;
        }
        if (name == "--help" || name == "-h") {
            m_values["--help"].push_back("");
        } else if (withValue.count(name)) {
            if (!inlineValue) {
                if (i + 1 >= argv.size())
                    throw UsageError(Tr("option ", "选项 ") + name + Tr(" needs a value", " 需要一个值"));
                value = argv[++i];
            }
            m_values[name].push_back(value);
        } else if (flags.count(name)) {
            if (inlineValue)
                throw UsageError(Tr("option ", "选项 ") + name + Tr(" takes no value", " 不带值"));
            m_values[name].push_back("");
        } else {
            throw UsageError(Tr("unknown option ", "未知选项 ") + name);
        }
    }
}

std::string Args::Value(const std::string& opt, const std::string& def) const
{
    auto it = m_values.find(opt);
    return it == m_values.end() ? def : it->second.back();
}

const std::vector<std::string>& Args::Values(const std::string& opt) const
{
    static const std::vector<std::string> none;
    auto it = m_values.find(opt);
    return it == m_values.end() ? none : it->second;
}

void Args::RequirePositional(std::size_t n, const std::string& what) const
{
    if (m_positional.size() < n)
        throw UsageError(Tr("missing ", "缺少 ") + what);
    if (m_positional.size() > n)
        throw UsageError(Tr("unexpected argument \"", "多余的参数 \"") + m_positional[n] + "\"");
}

int Args::IntValue(const std::string& opt, int def, int lo, int hi) const
{
    if (!Has(opt))
        return def;
    const std::string v = Value(opt);
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(v.c_str(), &end, 10);
    if (v.empty() || *end != '\0' || errno != 0 || n < lo || n > hi)
        throw UsageError(Tr("option ", "选项 ") + opt + Tr(" needs a whole number from ", " 需要 ") +
                         std::to_string(lo) + Tr(" to ", " 到 ") + std::to_string(hi) +
                         Tr(", not \"", " 的整数, 而不是 \"") + v + "\"");
    return static_cast<int>(n);
}

namespace {
std::mutex g_errorLock;
std::vector<std::string> g_errors;
}  // namespace

std::string ForTerminal(const std::string& text)
{
    std::string out;
    for (std::size_t from = 0;;) {
        const std::size_t nl = text.find('\n', from);
        out += EscapeControlBytes(text.substr(from, nl == std::string::npos ? std::string::npos : nl - from));
        if (nl == std::string::npos)
            return out;
        out += '\n';
        from = nl + 1;
    }
}

void Error(const std::string& message)
{
    {
        const std::lock_guard<std::mutex> hold(g_errorLock);
        g_errors.push_back(message);
    }
    // Kept for a support report (the last few); a failure to keep it is silent.
    RecordShownMessage("progtool: " + message);
    std::cerr << "progtool: " << ForTerminal(message) << std::endl;
}

std::vector<std::string> ErrorsSoFar()
{
    const std::lock_guard<std::mutex> hold(g_errorLock);
    return g_errors;
}
void Note(const std::string& message) { std::cerr << ForTerminal(message) << std::endl; }
void Warn(const std::string& message)
{
    std::cerr << "progtool: " << Tr("warning: ", "警告: ") << ForTerminal(message) << std::endl;
}

void RefuseStdoutDash(const std::string& value, const std::string& option)
{
    if (value == "-")
        throw UsageError(option +
                         Tr(" -: \"-\" stands for standard output only with export -o -; give a file name "
                            "(./- for a file named -)",
                            " -: \"-\" 只在 export -o - 中表示标准输出; 请给出文件名 (名为 - 的文件写作 ./-)"));
}

namespace {

bool g_bIniLoaded = false;
bool g_bIniLoadTold = false;

// Program.ini once per run; quiet about a missing file: the defaults apply.
void LoadSettingsOnce()
{
    if (!g_bIniLoaded)
        theIniFile.LoadFromProgramDir("Program.ini", false, true, false);
    g_bIniLoaded = true;
}

void ApplyLanguageValue(const std::string& lang)
{
    // Without --lang the window's own rule reads [Setup] Language.
    const std::string setting = lang == "zh"   ? std::string("Chinese")
                                : lang == "en" ? std::string("English")
                                               : theIniFile.GetString("Setup", "Language", "");
    ApplyLanguage(LanguageFromSetting(setting));
}

}  // namespace

void SetUpLanguageEarly(const std::vector<std::string>& argv)
{
    LoadSettingsOnce();
    std::string lang;
    for (std::size_t i = 0; i < argv.size() && argv[i] != "--"; ++i) {
        if (argv[i] == "--lang" && i + 1 < argv.size())
            lang = argv[i + 1];
        else if (argv[i].rfind("--lang=", 0) == 0)
            lang = argv[i].substr(7);
    }
    ApplyLanguageValue(lang == "en" || lang == "zh" ? lang : std::string());
}

void SetUpLanguage(const Args& args)
{
    LoadSettingsOnce();
    // A file that cannot be read is told once, in the language it leaves.
    if (!g_bIniLoadTold && !theIniFile.LoadError().empty())
        Error(theIniFile.LoadError() + Tr(" (using the built-in settings)", "（使用内置设置）"));
    g_bIniLoadTold = true;
    const std::string lang = args.Value("--lang");
    if (!lang.empty() && lang != "en" && lang != "zh")
        throw UsageError(Tr("--lang takes en or zh, not \"", "--lang 只接受 en 或 zh, 而不是 \"") + lang + "\"");
    ApplyLanguageValue(lang);
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

void RefusePortNamedTwice(const std::vector<std::string>& names)
{
    const auto twice = FindPortNamedTwice(names);
    if (!twice)
        return;
    throw UsageError(Tr("port ", "端口 ") + twice->second + Tr(" is named twice", " 被指定了两次") +
                     (twice->first == twice->second
                          ? std::string()
                          : " (" + twice->first + Tr(" is the same device ", " 是同一设备 ") + twice->device + ")"));
}

std::string ShellWord(const std::string& word)
{
#ifdef _WIN32
    const std::string_view safe = "_./:@%+=,-\\";  // \\.\COM10 as it is
#else
    const std::string_view safe = "_./:@%+=,-";
#endif
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [&](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || safe.find(c) != std::string_view::npos;
    });
    if (plain)
        return word;
#ifdef _WIN32
    return "\"" + word + "\"";
#else
    const bool control = std::any_of(word.begin(), word.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
    if (control) {
        // Written out, a control byte would drive the terminal, and escaped
        // inside '...' it would name another file: $'...' (bash, zsh, ksh)
        // spells it so the command still runs.
        std::string quoted = "$'";
        char hex[5];
        for (const char c : word) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u == 0x7F) {
                std::snprintf(hex, sizeof hex, "\\x%02X", u);
                quoted += hex;
            } else if (c == '\'' || c == '\\') {
                quoted += '\\';
                quoted += c;
            } else {
                quoted += c;
            }
        }
        return quoted + "'";
    }
    std::string quoted = "'";
    for (const char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
#endif
}

std::string MessageText(int id)
{
    const char* text = g_bChinese ? ChineseMessage(id) : EnglishMessage(id);
    return text ? text : Tr("error ", "错误 ") + std::to_string(id);
}

}  // namespace cli
