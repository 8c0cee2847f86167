#include "cli/Common.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>

#include "cli/Args.h"
#include "cli/Output.h"
#include "core/app/IniFile.h"
#include "core/app/Language.h"
#include "core/link/Ports.h"

namespace cli {

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

}  // namespace cli
