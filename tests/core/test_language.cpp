#include <gtest/gtest.h>

#include "core/app/Globals.h"
#include "core/app/Language.h"

TEST(Language, SettingDecidesLanguageModuleAndHelp)
{
    struct Case {
        const char* value;
        bool chinese;
        const char* name;
    };
    const Case cases[] = {
        {"Chinese", true, "Chinese"},
        {"chinese", true, "Chinese"},
        {"CHINESE", true, "Chinese"},
        {"Chinese ", true, "Chinese"},  // what "Chinese // note" reads as
        {"\tChinese", true, "Chinese"},
        {"Chinese ;note", false, "Chinese ;note"},  // only tab-semicolon starts a comment
        {"Chinesex", false, "Chinesex"},
        {"Chin", false, "Chin"},
        {"English", false, "English"},
        {" english ", false, "english"},
        {"French", false, "French"},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        const InterfaceLanguage lang = LanguageFromSetting(c.value);
        EXPECT_EQ(lang.chinese, c.chinese) << '"' << c.value << '"';
        EXPECT_EQ(lang.name, c.name) << '"' << c.value << '"';
        EXPECT_EQ(lang.helpFile, c.chinese ? "chHelp.chm" : "enHelp.chm") << '"' << c.value << '"';
    }

    ApplyLanguage(LanguageFromSetting("chinese "));
    EXPECT_EQ(g_bChinese, 1);
    EXPECT_EQ(g_strLanguage, "Chinese");
    EXPECT_EQ(g_strHelpFile, "chHelp.chm");
    ApplyLanguage(LanguageFromSetting("English"));
    EXPECT_EQ(g_bChinese, 0);
    EXPECT_EQ(g_strHelpFile, "enHelp.chm");
}
