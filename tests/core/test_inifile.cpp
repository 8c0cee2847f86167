#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "core/app/IniFile.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using IniDir = testenv::TempDir;

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
}

std::string ReadText(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Loads text into a fresh object that does not write back on its own.
std::unique_ptr<CIniFile> LoadText(const IniDir& dir, const std::string& text, bool ignoreCase = true,
                                   const std::string& name = "Program.ini")
{
    WriteText(dir.File(name), text);
    auto ini = std::make_unique<CIniFile>(4);
    EXPECT_TRUE(ini->Load(dir.File(name), false, ignoreCase, false));
    return ini;
}

const char kExample[] =
    "; settings\n"
    "Version=2\n"
    "\n"
    "[Setup]\n"
    "  Language = English  // current  \n"
    "ShowLang\n"
    "[English]\n"
    "Version=1.0\n";

}  // namespace

TEST(IniFile, WorkedExampleLoadsLooksUpAndWritesBack)
{
    IniDir dir;
    auto ini = LoadText(dir, kExample);
    EXPECT_EQ(ini->GetString("setup", "LANGUAGE", ""), "English  ");
    EXPECT_EQ(ini->GetString("", "Version", ""), "2");
    EXPECT_EQ(ini->GetString("Version"), "2");
    EXPECT_EQ(ini->GetString("English", "Version", ""), "1.0");
    EXPECT_EQ(ini->GetString("Setup", "ShowLang", "dflt"), "");
    EXPECT_EQ(ini->GetString("Setup", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini->GetString("Nowhere", "Version", "dflt"), "dflt");

    // Unmodified: Save touches nothing.
    EXPECT_FALSE(ini->IsModified());
    EXPECT_EQ(ini->Save(false), "");
    EXPECT_EQ(ReadText(dir.File("Program.ini")), kExample);

    ini->SetString("Setup", "Language", "Chinese");
    EXPECT_TRUE(ini->IsModified());
    EXPECT_EQ(ini->Save(false), "");
    EXPECT_FALSE(ini->SaveFailed());
    EXPECT_EQ(ReadText(dir.File("Program.ini")),
              "Version=2\r\n[Setup]\r\nLanguage=Chinese\r\nShowLang=\r\n[English]\r\nVersion=1.0\r\n");

    // Without the change, the comment stays in the stored value and is written back.
    auto again = LoadText(dir, kExample, true, "Other.ini");
    again->SetString("English", "Version", "1.1");
    again->Save(false);
    EXPECT_EQ(ReadText(dir.File("Other.ini")),
              "Version=2\r\n[Setup]\r\nLanguage=English  // current\r\nShowLang=\r\n[English]\r\nVersion=1.1\r\n");
}

TEST(IniFile, NamesIgnoreAsciiCaseOnlyWhenAsked)
{
    IniDir dir;
    auto ini = LoadText(dir, "[chinese]\nCompany=Tanager\n");
    EXPECT_EQ(ini->GetString("Chinese", "company", ""), "Tanager");
    auto exact = LoadText(dir, "[chinese]\nCompany=Tanager\n", false, "b.ini");
    EXPECT_EQ(exact->GetString("Chinese", "company", "none"), "none");
    EXPECT_EQ(exact->GetString("chinese", "Company", "none"), "Tanager");

    // Bytes above 0x7F never fold: 0xC1 and 0xE1 differ only in the 0x20 bit.
    auto high = LoadText(dir, "[\xC1]\nK=1\n", true, "c.ini");
    EXPECT_EQ(high->GetString("\xC1", "k", ""), "1");
    EXPECT_EQ(high->GetString("\xE1", "k", "none"), "none");
}

TEST(IniFile, LastKeyAndFirstSectionWin)
{
    IniDir dir;
    auto ini = LoadText(dir, "[A]\nK=first\nK=second\n[B]\nX=1\n[A]\nK=third\nOnly=here\n");
    EXPECT_EQ(ini->GetString("A", "K", ""), "second");
    EXPECT_EQ(ini->GetString("A", "Only", "missing"), "missing");

    ini->SetString("A", "K", "changed");
    ini->Save(false);
    EXPECT_EQ(ReadText(dir.File("Program.ini")),
              "[A]\r\nK=first\r\nK=changed\r\n[B]\r\nX=1\r\n[A]\r\nK=third\r\nOnly=here\r\n");

    std::vector<std::string> names;
    ini->GetSectionNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "A"}));
    std::vector<std::string> keys;
    ini->GetKeyNames("a", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"K", "K"}));
    keys.clear();
    ini->GetKeyNames("none", keys);
    EXPECT_TRUE(keys.empty());
}

TEST(IniFile, TrailingCommentsAreCutOnRead)
{
    IniDir dir;
    auto ini = LoadText(dir,
                        "[S]\n"
                        "Slash=Chinese // comment\n"
                        "Tab=Chinese\t; comment\n"
                        "Semi=Chinese ;note\n"
                        "Block=a/*b\n"
                        "Earliest=x\t;y//z\n"
                        "Url=http://host\n");
    EXPECT_EQ(ini->GetString("S", "Slash", ""), "Chinese ");
    EXPECT_NE(ini->GetString("S", "Slash", ""), "Chinese");
    EXPECT_EQ(ini->GetString("S", "Tab", ""), "Chinese");
    EXPECT_EQ(ini->GetString("S", "Semi", ""), "Chinese ;note");
    EXPECT_EQ(ini->GetString("S", "Block", ""), "a");
    EXPECT_EQ(ini->GetString("S", "Earliest", ""), "x");
    EXPECT_EQ(ini->GetString("S", "Url", ""), "http:");
}

TEST(IniFile, DroppedLinesHeadersAndKeyLines)
{
    IniDir dir;
    auto ini = LoadText(dir,
                        "=5\r\n"
                        "   \r\n"
                        "; note\r\n"
                        "// note\r\n"
                        "/* note\r\n"
                        "* note\r\n"
                        "\\note\r\n"
                        "Flag\r\n"
                        "Eq = a=b=c \r\n"
                        "[ Setup ]\r\n"
                        "K=spaced\r\n"
                        "[Setup]\r\n"
                        "K=plain\r\n"
                        "[Setup] ;x\r\n"
                        "[]\r\n"
                        "E=empty-named\r\n");
    EXPECT_EQ(ini->GetString("", "Flag", "none"), "");
    EXPECT_EQ(ini->GetString("", "Eq", ""), "a=b=c");
    EXPECT_EQ(ini->GetString(" Setup ", "K", ""), "spaced");
    EXPECT_EQ(ini->GetString("Setup", "K", ""), "plain");
    EXPECT_EQ(ini->GetString("Setup", "[Setup] ;x", "none"), "");
    EXPECT_EQ(ini->GetString("", "E", "none"), "none");  // section 0 is found before "[]"

    std::vector<std::string> names;
    ini->GetSectionNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{" Setup ", "Setup"}));

    ini->SetString("Setup", "New", "1");
    ini->Save(false);
    EXPECT_EQ(ReadText(dir.File("Program.ini")),
              "Flag=\r\nEq=a=b=c\r\n[ Setup ]\r\nK=spaced\r\n[Setup]\r\nK=plain\r\n[Setup] ;x=\r\nNew=1\r\n"
              "[]\r\nE=empty-named\r\n");
    // Read again, the key of "[]" stays out of [Setup].
    auto again = std::make_unique<CIniFile>(4);
    ASSERT_TRUE(again->Load(dir.File("Program.ini"), false, true, false));
    EXPECT_EQ(again->GetString("Setup", "E", "none"), "none");
}

TEST(IniFile, MissingFileIsCreatedEmpty)
{
    IniDir dir;
    CIniFile ini(4);
    ASSERT_TRUE(ini.Load(dir.File("new.ini"), false, true, false));
    EXPECT_TRUE(fs::exists(dir.File("new.ini")));
    EXPECT_EQ(fs::file_size(dir.File("new.ini")), 0u);
    EXPECT_EQ(ini.GetFilePath(), dir.File("new.ini"));
    ini.SetString("Setup", "Language", "English");
    ini.Save(false);
    EXPECT_EQ(ReadText(dir.File("new.ini")), "[Setup]\r\nLanguage=English\r\n");

    CIniFile bad(4);
    EXPECT_FALSE(bad.Load(dir.File("no/such/dir/x.ini"), true, true, false));
    EXPECT_EQ(bad.GetFilePath(), "");
    EXPECT_EQ(bad.GetString("Setup", "Language", "d"), "d");
}

TEST(IniFile, SetStringWithoutFileDoesNothing)
{
    IniDir dir;
    {
        CIniFile ini(4);
        ini.SetWriteBackOnClose(true);
        ini.SetString("Setup", "Language", "Chinese");
        EXPECT_FALSE(ini.IsModified());
        EXPECT_EQ(ini.GetString("Setup", "Language", "d"), "d");
        EXPECT_EQ(ini.Save(true), "");
    }
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(IniFile, WriteBackOnDestructionOnlyWhenModified)
{
    IniDir dir;
    const std::string path = dir.File("Program.ini");
    const std::string original = "; keep me\n[Setup]\nLanguage=English\n";

    WriteText(path, original);
    {
        CIniFile ini(4);
        ASSERT_TRUE(ini.Load(path, true, true, false));
        EXPECT_EQ(ini.GetString("Setup", "Language", ""), "English");
    }
    EXPECT_EQ(ReadText(path), original);

    {
        CIniFile ini(4);
        ASSERT_TRUE(ini.Load(path, true, true, false));
        ini.SetString("Setup", "Language", "Chinese");
    }
    EXPECT_EQ(ReadText(path), "[Setup]\r\nLanguage=Chinese\r\n");

    WriteText(path, original);
    {
        CIniFile ini(4);
        ASSERT_TRUE(ini.Load(path, false, true, false));
        ini.SetString("Setup", "Language", "Chinese");
    }
    EXPECT_EQ(ReadText(path), original);
}

TEST(IniFile, ModifiedFollowsTheIgnoreCaseRule)
{
    IniDir dir;
    auto ini = LoadText(dir, "[Setup]\nLanguage=English\nName=\xD6\xD0\xCE\xC4\n");
    ini->SetString("setup", "LANGUAGE", "English");
    EXPECT_FALSE(ini->IsModified());
    ini->SetString("Setup", "Language", "ENGLISH");
    EXPECT_FALSE(ini->IsModified());
    EXPECT_EQ(ini->GetString("Setup", "Language", ""), "ENGLISH");  // stored anyway
    ini->SetString("Setup", "Name", "\xD6\xD0\xCE\xC4");
    EXPECT_FALSE(ini->IsModified());
    ini->SetString("Setup", "Name", "\xF6\xD0\xCE\xC4");  // 0xD6 vs 0xF6: no folding above 0x7F
    EXPECT_TRUE(ini->IsModified());

    auto exact = LoadText(dir, "[Setup]\nLanguage=English\n", false, "b.ini");
    exact->SetString("Setup", "Language", "ENGLISH");
    EXPECT_TRUE(exact->IsModified());

    auto added = LoadText(dir, "[Setup]\n", true, "c.ini");
    added->SetString("Setup", "New", "");
    EXPECT_TRUE(added->IsModified());
    auto section = LoadText(dir, "", true, "d.ini");
    section->SetString("Fresh", "K", "v");
    EXPECT_TRUE(section->IsModified());
    section->Save(false);
    EXPECT_EQ(ReadText(dir.File("d.ini")), "[Fresh]\r\nK=v\r\n");
}

TEST(IniFile, ChineseBytesPassThroughUnchanged)
{
    IniDir dir;
    const std::string gb = "\xD6\xD0\xCE\xC4";            // GB2312
    const std::string utf8 = "\xE4\xB8\xAD\xE6\x96\x87";  // UTF-8
    auto ini = LoadText(dir, "[" + utf8 + "]\r\nAppName=" + utf8 + "\r\nCompany=" + gb + "\r\n");
    EXPECT_EQ(ini->GetString(utf8, "AppName", ""), utf8);
    EXPECT_EQ(ini->GetString(utf8, "Company", ""), gb);
    ini->SetString(utf8, "Extra", gb + utf8);
    ini->Save(false);
    EXPECT_EQ(ReadText(dir.File("Program.ini")),
              "[" + utf8 + "]\r\nAppName=" + utf8 + "\r\nCompany=" + gb + "\r\nExtra=" + gb + utf8 + "\r\n");
}

TEST(IniFile, BackupNumbering)
{
    IniDir dir;
    const std::string path = dir.File("Program.ini");
    auto ini = LoadText(dir, "[Setup]\nLanguage=English\n");
    WriteText(dir.File("Program.exe"), "x");
    WriteText(dir.File("Other.007"), "x");  // another stem does not count
    ini->SetString("Setup", "Language", "Chinese");
    EXPECT_EQ(ini->Save(true), path + ".001");
    EXPECT_EQ(ReadText(path + ".001"), "[Setup]\nLanguage=English\n");

    // The object keeps its name: the next save copies over the same file.
    ini->SetString("Setup", "Language", "English");
    EXPECT_EQ(ini->Save(true), path + ".001");
    EXPECT_EQ(ReadText(path + ".001"), "[Setup]\r\nLanguage=Chinese\r\n");
    EXPECT_FALSE(fs::exists(path + ".002"));

    CIniFile second(4);
    ASSERT_TRUE(second.Load(path, false, true, false));
    second.MakeBackupName();
    EXPECT_EQ(second.GetBackupFileName(), path + ".002");

    WriteText(path + ".999", "x");
    second.MakeBackupName();
    EXPECT_EQ(second.GetBackupFileName(), path + ".1000");

    // Only the last three characters are read: "1000" counts as 0.
    fs::remove(path + ".999");
    fs::remove(path + ".001");
    WriteText(path + ".1000", "x");
    second.MakeBackupName();
    EXPECT_EQ(second.GetBackupFileName(), path + ".001");

    WriteText(dir.File("Program.v042"), "x");
    second.MakeBackupName();
    EXPECT_EQ(second.GetBackupFileName(), path + ".043");
}

TEST(IniFile, SplitListAndListItems)
{
    std::vector<std::string> out;
    CIniFile::SplitList("(null)", ',', out);
    EXPECT_TRUE(out.empty());
    CIniFile::SplitList("", ',', out);
    EXPECT_TRUE(out.empty());
    CIniFile::SplitList("a,,b", ',', out);
    EXPECT_EQ(out, (std::vector<std::string>{"a", "", "b"}));
    out.clear();
    CIniFile::SplitList("a,b,", ',', out);
    EXPECT_EQ(out, (std::vector<std::string>{"a", "b", ""}));
    out.clear();
    CIniFile::SplitList("one", '|', out);
    EXPECT_EQ(out, (std::vector<std::string>{"one"}));

    IniDir dir;
    auto ini = LoadText(dir, "[L]\nBands= 136-174MHz | 400-470MHz \nNull=(null)\nEmpty=\n");
    EXPECT_EQ(ini->GetListItem("L", "Bands", 0, '|'), "136-174MHz");
    EXPECT_EQ(ini->GetListItem("L", "Bands", 1, '|'), "400-470MHz");
    EXPECT_EQ(ini->GetListItem("L", "Bands", 2, '|'), "");
    EXPECT_EQ(ini->GetListItem("L", "Bands", -1, '|'), "");
    EXPECT_EQ(ini->GetListItem("L", "Null", 0, '|'), "");
    EXPECT_EQ(ini->GetListItem("L", "Empty", 0, '|'), "");
    EXPECT_EQ(ini->GetListItem("L", "Missing", 0, '|'), "");
}

TEST(IniFile, DeleteKeyAndSection)
{
    IniDir dir;
    auto ini = LoadText(dir, "Top=1\n[A]\nK=1\nK=2\n[B]\nX=1\n[C]\nY=1\n");
    EXPECT_FALSE(ini->DeleteKey("A", "None"));
    EXPECT_FALSE(ini->DeleteKey("None", "K"));
    EXPECT_FALSE(ini->DeleteSection("None"));
    EXPECT_FALSE(ini->IsModified());

    EXPECT_TRUE(ini->DeleteKey("a", "k"));
    EXPECT_TRUE(ini->IsModified());
    EXPECT_EQ(ini->GetString("A", "K", ""), "1");
    EXPECT_TRUE(ini->DeleteSection("b"));
    EXPECT_EQ(ini->GetString("B", "X", "gone"), "gone");
    EXPECT_EQ(ini->GetString("C", "Y", ""), "1");
    std::vector<std::string> names;
    ini->GetSectionNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "C"}));
    ini->SetString("D", "Z", "1");  // appended after the gap closed
    ini->Save(false);
    EXPECT_EQ(ReadText(dir.File("Program.ini")), "Top=1\r\n[A]\r\nK=1\r\n[C]\r\nY=1\r\n[D]\r\nZ=1\r\n");
}

TEST(IniFile, ManySectionsGrowAndKeepOrder)
{
    IniDir dir;
    std::string text;
    for (int i = 0; i < 23; ++i)
        text += "[S" + std::to_string(i) + "]\nK=" + std::to_string(i) + "\n";
    WriteText(dir.File("g.ini"), text);
    CIniFile ini(1);
    ASSERT_TRUE(ini.Load(dir.File("g.ini"), false, true, false));
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(ini.GetString("S" + std::to_string(i), "K", ""), std::to_string(i));
    for (int i = 23; i < 40; ++i)
        ini.SetString("S" + std::to_string(i), "K", std::to_string(i));
    std::vector<std::string> names;
    ini.GetSectionNames(names);
    ASSERT_EQ(names.size(), 40u);
    EXPECT_EQ(names[39], "S39");
    EXPECT_EQ(ini.GetString("S30", "K", ""), "30");
}

TEST(IniFile, LoadingAnotherFileSavesTheFirstAndClearsIt)
{
    IniDir dir;
    WriteText(dir.File("a.ini"), "[A]\nK=1\n");
    WriteText(dir.File("b.ini"), "[B]\nK=2\n");
    CIniFile ini(4);
    ASSERT_TRUE(ini.Load(dir.File("a.ini"), false, true, false));
    ini.SetString("A", "K", "changed");
    ASSERT_TRUE(ini.Load(dir.File("b.ini"), false, false, false));
    EXPECT_EQ(ReadText(dir.File("a.ini")), "[A]\r\nK=changed\r\n");
    EXPECT_FALSE(ini.IsModified());
    EXPECT_FALSE(ini.GetIgnoreCase());
    EXPECT_EQ(ini.GetString("A", "K", "none"), "none");
    EXPECT_EQ(ini.GetString("B", "K", ""), "2");

    ini.Clear();
    EXPECT_EQ(ini.GetFilePath(), "");
    EXPECT_EQ(ini.GetString("B", "K", "none"), "none");
}

TEST(IniFile, ZeroPaddingFromAnInPlaceSaveReadsAsNothing)
{
    IniDir dir;
    WriteText(dir.File("z.ini"), std::string("[S]\r\nK=v\r\n") + std::string(40, '\0'));
    CIniFile ini(4);
    ASSERT_TRUE(ini.Load(dir.File("z.ini"), false, true, false));
    EXPECT_EQ(ini.GetString("S", "K", ""), "v");
    std::vector<std::string> keys;
    ini.GetKeyNames("S", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"K"}));
    keys.clear();
    ini.GetKeyNames("", keys);
    EXPECT_TRUE(keys.empty());
}

TEST(IniFile, KeptLayoutRewritesOnlyTheChangedLines)
{
    struct Case {
        const char* what;
        std::string text;
        std::function<void(CIniFile&)> change;
        std::string expected;
    };
    const Case cases[] = {
        {"a changed value: its line alone, in the written form", kExample,
         [](CIniFile& i) { i.SetString("setup", "LANGUAGE", "Chinese"); },
         "; settings\nVersion=2\n\n[Setup]\nLanguage=Chinese\nShowLang\n[English]\nVersion=1.0\n"},
        {"the last of a repeated key, its own line end kept", "[A]\r\nK=first\nK=second\r\n",
         [](CIniFile& i) { i.SetString("A", "K", "x"); }, "[A]\r\nK=first\nK=x\r\n"},
        {"a new key after its section's last pair, before the notes on the next", "[A]\nK=1\n\n; about B\n[B]\nX=1\n",
         [](CIniFile& i) { i.SetString("A", "New", "2"); }, "[A]\nK=1\nNew=2\n\n; about B\n[B]\nX=1\n"},
        {"a new key of the unnamed section before the first heading", "; top\n[A]\nK=1\n",
         [](CIniFile& i) { i.SetString("", "V", "2"); }, "; top\nV=2\n[A]\nK=1\n"},
        {"a new section at the end, after a last line without its end", "[A]\r\nK=1",
         [](CIniFile& i) { i.SetString("C", "Z", "3"); }, "[A]\r\nK=1\r\n[C]\r\nZ=3\r\n"},
        {"a deleted key and a deleted section with its notes", "Top=1\n[A]\n; a\nK=1\nL=2\n[B]\n; b\nY=1\n[C]\nZ=1\n",
         [](CIniFile& i) {
             i.DeleteKey("A", "L");
             i.DeleteSection("B");
         },
         "Top=1\n[A]\n; a\nK=1\n[C]\nZ=1\n"},
        {"zero padding of an earlier in-place save is no line", std::string("[S]\r\nK=v\r\n") + std::string(40, '\0'),
         [](CIniFile& i) { i.SetString("S", "K", "w"); }, "[S]\r\nK=w\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        IniDir dir;
        WriteText(dir.File("Program.ini"), c.text);
        CIniFile ini(4);
        ini.SetKeepLayout(true);
        ASSERT_TRUE(ini.Load(dir.File("Program.ini"), false, true, false));
        c.change(ini);
        EXPECT_EQ(ini.Save(true), dir.File("Program.ini") + ".001");
        EXPECT_EQ(ReadText(dir.File("Program.ini")), c.expected);
        EXPECT_EQ(ReadText(dir.File("Program.ini.001")), c.text);
    }
}

TEST(IniFile, FailedSaveReportsAndKeepsTheTables)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links and /dev/full are POSIX";
#endif
    IniDir dir;
    const std::string real = dir.File("real.ini");
    const std::string link = dir.File("Program.ini");
    WriteText(real, "[Setup]\nLanguage=English\n");
    fs::create_symlink(real, link);

    CIniFile ini(4);
    ASSERT_TRUE(ini.Load(link, false, true, false));
    ini.SetString("Setup", "Language", "Chinese");

    // Every write to /dev/full fails with "no space left on device".
    fs::remove(link);
    fs::create_symlink("/dev/full", link);
    EXPECT_EQ(ini.Save(false), "");
    EXPECT_TRUE(ini.SaveFailed());
    EXPECT_TRUE(ini.IsModified());
    EXPECT_EQ(ini.GetString("Setup", "Language", ""), "Chinese");

    fs::remove(link);
    fs::create_symlink(real, link);
    ini.Save(false);
    EXPECT_FALSE(ini.SaveFailed());
    EXPECT_EQ(ReadText(real), "[Setup]\r\nLanguage=Chinese\r\n");

    // A file that cannot be opened at all: nothing written, "" returned.
    const std::string sub = dir.File("sub");
    fs::create_directory(sub);
    CIniFile gone(4);
    ASSERT_TRUE(gone.Load(sub + "/x.ini", false, true, false));
    gone.SetString("S", "K", "v");
    fs::remove_all(sub);
    EXPECT_EQ(gone.Save(true), "");
    EXPECT_TRUE(gone.SaveFailed());
    EXPECT_EQ(gone.GetString("S", "K", ""), "v");
}

TEST(IniFile, ProgramDirIsTheExecutablesDirectory)
{
    const std::string dir = CIniFile::ProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '/');
#ifdef _WIN32
    EXPECT_TRUE(fs::exists(fs::path(dir) / "core_tests.exe"));
#else
    EXPECT_TRUE(fs::exists(fs::path(dir) / "core_tests"));
#endif

    // Running from elsewhere does not change where the profile is looked for.
    IniDir elsewhere;
    const fs::path before = fs::current_path();
    fs::current_path(elsewhere.Path());
    EXPECT_EQ(CIniFile::ProgramDir(), dir);
    fs::current_path(before);
}

namespace {

// Sets an environment variable for one scope (unset when value is null).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old, m_had = true;
        Set(name, value);
    }
    ~ScopedEnv() { Set(m_name, m_had ? m_old.c_str() : nullptr); }

private:
#ifdef _WIN32
    static void Set(const char* name, const char* value) { ::_putenv_s(name, value ? value : ""); }
#else
    static void Set(const char* name, const char* value) { value ? ::setenv(name, value, 1) : ::unsetenv(name); }
#endif
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

}  // namespace

TEST(IniFile, UserProfileFollowsXdgConfigHome)
{
#ifdef _WIN32
    GTEST_SKIP() << "the per-user folder is %APPDATA%'s on Windows";
#endif
    const std::string file = std::string("/") + kPackageName + "/Program.ini";
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(UserProfilePath("Program.ini"), "/cfg" + file);
    }
    ScopedEnv home("HOME", "/home/u");
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/cfg"}) {
        ScopedEnv xdg("XDG_CONFIG_HOME", unusable);
        EXPECT_EQ(UserProfilePath("Program.ini"), "/home/u/.config" + file) << (unusable ? unusable : "unset");
    }
}

TEST(IniFile, ProfileIsTheUsersCopyWhenTheProgramFolderIsReadOnly)
{
#ifdef _WIN32
    GTEST_SKIP() << "<prefix>/lib/<package> and XDG_CONFIG_HOME are the Linux layout";
#endif
    // <root>/bin holds the program; <root>/lib/<package> the installed profile.
    IniDir root;
    const std::string bin = root.File("bin"), lib = root.File(std::string("lib/") + kPackageName);
    const std::string cfg = root.File("cfg");
    fs::create_directories(bin);
    fs::create_directories(lib);
    ScopedEnv xdg("XDG_CONFIG_HOME", cfg.c_str());
    const std::string beside = bin + "/Program.ini", installed = bin + "/../lib/" + kPackageName + "/Program.ini",
                      user = UserProfilePath("Program.ini");

    struct Case {
        const char* what;
        bool besideExists, installedExists, userExists, writable;
        std::string read, save;
        bool perUser;
    };
    const Case cases[] = {
        {"build tree", true, false, false, true, beside, beside, false},
        {"build tree, a user copy is ignored", true, false, true, true, beside, beside, false},
        {"read-only, no user copy yet", true, false, false, false, beside, user, true},
        {"read-only, the user copy wins", true, false, true, false, user, user, true},
        {"progtool in <prefix>/bin", false, true, false, false, installed, user, true},
        {"progtool in <prefix>/bin, user copy", false, true, true, false, user, user, true},
        {"progtool in a writable prefix", false, true, false, true, installed, installed, false},
        {"beside comes before the installed copy", true, true, false, true, beside, beside, false},
        {"nothing anywhere, writable", false, false, false, true, beside, beside, false},
    };
    for (const Case& c : cases) {
        for (const auto& [path, wanted] : {std::pair{beside, c.besideExists}, std::pair{installed, c.installedExists},
                                           std::pair{user, c.userExists}}) {
            if (wanted) {
                fs::create_directories(fs::path(path).parent_path());
                WriteText(path, "[Setup]\n");
            } else {
                fs::remove(path);
            }
        }
        std::string asked;
        const ProfilePaths p = LocateProfile(bin, "Program.ini", [&](const std::string& dir) {
            asked = dir;
            return c.writable;
        });
        EXPECT_EQ(p.read, c.read) << c.what;
        EXPECT_EQ(p.save, c.save) << c.what;
        EXPECT_EQ(p.perUser, c.perUser) << c.what;
        // The folder asked about is the shipped copy's, not the user's.
        EXPECT_EQ(asked, fs::path(c.installedExists && !c.besideExists ? installed : beside).parent_path().string())
            << c.what;
    }
}

TEST(IniFile, PerUserSaveCreatesTheUsersCopyAndLeavesTheShippedOne)
{
    IniDir root;
    const std::string shipped = root.File("Program.ini");
    WriteText(shipped, "; shipped\n[Setup]\nLanguage=English\n");
    const std::string user = root.File("cfg/" + std::string(kPackageName) + "/Program.ini");

    CIniFile ini(4);
    ASSERT_TRUE(ini.LoadProfile(ProfilePaths{shipped, user, true}, false, true, false));
    EXPECT_EQ(ini.GetSavePath(), user);
    ini.SetString("Setup", "Language", "Chinese");
    ini.Save(false);
    ASSERT_FALSE(ini.SaveFailed()) << ini.SaveError();
    EXPECT_EQ(ReadText(user), "[Setup]\r\nLanguage=Chinese\r\n");
    EXPECT_EQ(ReadText(shipped), "; shipped\n[Setup]\nLanguage=English\n");
#ifndef _WIN32  // no POSIX modes there
    EXPECT_EQ(fs::status(fs::path(user).parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
#endif
    // No temporary file is left beside the user's copy.
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(user).parent_path()), fs::directory_iterator()), 1);

    // A folder that cannot be made (a file stands in its way): reported, naming the file.
    WriteText(root.File("blocked"), "");
    CIniFile blocked(4);
    ASSERT_TRUE(blocked.LoadProfile(ProfilePaths{shipped, root.File("blocked/Program.ini"), true}, false, true, false));
    blocked.SetString("Setup", "Language", "Chinese");
    EXPECT_EQ(blocked.Save(false), "");
    EXPECT_TRUE(blocked.SaveFailed());
    EXPECT_NE(blocked.SaveError().find(root.File("blocked/Program.ini")), std::string::npos) << blocked.SaveError();
    EXPECT_EQ(ReadText(shipped), "; shipped\n[Setup]\nLanguage=English\n");

    // With the layout kept, the user's copy starts as the shipped file with the
    // changed line; a backup is of the copy a save replaces, beside it.
    const std::string kept = root.File("cfg2/Program.ini");
    for (const char* language : {"Chinese", "English"}) {
        CIniFile again(4);
        again.SetKeepLayout(true);
        ASSERT_TRUE(again.LoadProfile(ProfilePaths{fs::exists(kept) ? kept : shipped, kept, true}, false, true, false));
        again.SetString("Setup", "Language", language);
        again.Save(true);
        EXPECT_EQ(ReadText(kept), "; shipped\n[Setup]\nLanguage=" + std::string(language) + "\n");
    }
    EXPECT_EQ(ReadText(kept + ".001"), "; shipped\n[Setup]\nLanguage=Chinese\n");
    EXPECT_FALSE(fs::exists(shipped + ".001"));

    // Loading a plain file again saves in place.
    ASSERT_TRUE(ini.Load(shipped, false, true, false));
    EXPECT_EQ(ini.GetSavePath(), shipped);
}
