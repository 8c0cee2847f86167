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
                    throw UsageError("option " + name + " needs a value");
                value = argv[++i];
            }
            m_values[name].push_back(value);
        } else if (flags.count(name)) {
            if (inlineValue)
                throw UsageError("option " + name + " takes no value");
            m_values[name].push_back("");
        } else {
            throw UsageError("unknown option " + name);
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
        throw UsageError("missing " + what);
    if (m_positional.size() > n)
        throw UsageError("unexpected argument \"" + m_positional[n] + "\"");
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
        throw UsageError("option " + opt + " needs a whole number from " + std::to_string(lo) + " to " +
                         std::to_string(hi) + ", not \"" + v + "\"");
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
void Warn(const std::string& message) { std::cerr << "progtool: warning: " << ForTerminal(message) << std::endl; }

void RefuseStdoutDash(const std::string& value, const std::string& option)
{
    if (value == "-")
        throw UsageError(option +
                         " -: \"-\" stands for standard output only with export -o -; give a file name "
                         "(./- for a file named -)");
}

void SetUpLanguage(const Args& args)
{
    // Quiet about a missing file, not about one that cannot be read: the defaults apply.
    if (!theIniFile.LoadFromProgramDir("Program.ini", false, true, false) && !theIniFile.LoadError().empty())
        Error(theIniFile.LoadError() + " (using the built-in settings)");
    const std::string lang = args.Value("--lang");
    if (!lang.empty() && lang != "en" && lang != "zh")
        throw UsageError("--lang takes en or zh, not \"" + lang + "\"");
    // Without --lang the window's own rule reads [Setup] Language.
    const std::string setting = lang == "zh"   ? std::string("Chinese")
                                : lang == "en" ? std::string("English")
                                               : theIniFile.GetString("Setup", "Language", "");
    ApplyLanguage(LanguageFromSetting(setting));
}

namespace {

// What a loaded file's length allows; false (refusal printed) when it is refused.
bool CheckLength(const std::string& path, const DatResult& loaded, ImageUse use, bool force)
{
    const ImageLengthCheck c = CheckImageLength(path, loaded.length, use, force);
    if (c.refused)
        Error(c.text + (use == ImageUse::Send ? "; nothing was sent (--force sends them all the same)"
                                              : "; it is unchanged (--force saves the image without them)"));
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
    RefuseStdoutDash(output, "the output");
    std::string after = nothing;
    DatResult r = CheckOutputNotInput(output, inputs);
    if (r.ok) {
        // A radio image is kImageSize bytes: a binary file of another length is no image.
        r = CheckOutputKind(output, kind, force, kind == FileKind::Binary ? kImageSize : 0);
        if (!r.ok)
            after += " (--force replaces it)";
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
