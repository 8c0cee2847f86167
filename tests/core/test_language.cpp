#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "core/app/Globals.h"
#include "core/app/Language.h"
#include "core/app/Messages.h"

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

// progtool's Chinese messages are a copy of the window's language module: they must not drift apart.
TEST(Language, ToolMessagesSayWhatTheChineseModuleSays)
{
    std::ifstream in(PROG_SOURCE_DIR "/res/translations/app_zh.ts");
    std::stringstream ts;
    ts << in.rdbuf();
    const std::string all = ts.str();
    const std::size_t begin = all.find("<name>StringTable</name>");
    ASSERT_NE(begin, std::string::npos);
    const std::string context = all.substr(begin, all.find("</context>", begin) - begin);
    const auto unescape = [](std::string s) {
        for (const auto& [from, to] : {std::pair{"&quot;", "\""}, {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}})
            for (std::size_t at; (at = s.find(from)) != std::string::npos;)
                s.replace(at, std::string(from).size(), to);
        return s;
    };
    const std::regex message("<source>([^<]*)</source>\\s*<translation>([^<]*)</translation>");
    int compared = 0;
    for (std::sregex_iterator m(context.begin(), context.end(), message), end; m != end; ++m)
        for (const int id : {IDS_OUT_OF_RANGE, IDS_COMM_ERROR, IDS_CLEAR_ALL, IDS_OPEN_PORT_FAIL, IDS_PROGRAM_INTERRUPT,
                             IDS_STEP_ERROR, IDS_CAUTION, IDS_FREQ_FORMAT})
            if (unescape((*m)[1]) == EnglishMessage(id)) {
                ASSERT_NE(ChineseMessage(id), nullptr) << id;
                EXPECT_EQ(unescape((*m)[2]), ChineseMessage(id)) << id;
                ++compared;
            }
    EXPECT_EQ(compared, 8);
}
