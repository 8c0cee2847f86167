#include "core/app/Language.h"

#include "core/app/Globals.h"
#include "core/files/TextLanguage.h"

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Trimmed(const std::string& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool EqualsIgnoringAsciiCase(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return i == a.size() && !b[i];
}
}  // namespace

InterfaceLanguage LanguageFromSetting(const std::string& value)
{
    InterfaceLanguage lang;
    const std::string name = Trimmed(value);
    lang.chinese = EqualsIgnoringAsciiCase(name, "Chinese");
    lang.name = lang.chinese ? "Chinese" : name;
    lang.helpFile = lang.chinese ? "chHelp.chm" : "enHelp.chm";
    return lang;
}

void ApplyLanguage(const InterfaceLanguage& language)
{
    g_bChinese = language.chinese ? 1 : 0;
    SetFileTextsChinese(language.chinese);
    g_strLanguage = language.name;
    g_strHelpFile = language.helpFile;
}
