#pragma once
// The one rule that turns the [Setup] Language value into the interface
// language, shared by the window and the command-line tool.
#include <string>

struct InterfaceLanguage {
    bool chinese = false;
    // Names the language module (name + ".qm") and the branding section.
    std::string name;
    // "chHelp.chm" or "enHelp.chm"; the stem names the help collection.
    std::string helpFile;
};

// "Chinese" in any letter case, with or without surrounding blanks (a trailing
// "// note" leaves one), selects Chinese. Any other value is English texts with
// the module of that (trimmed) name, so an unknown language still fails loudly.
InterfaceLanguage LanguageFromSetting(const std::string& value);

// Sets g_bChinese, g_strLanguage and g_strHelpFile from language.
void ApplyLanguage(const InterfaceLanguage& language);
