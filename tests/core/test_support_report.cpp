// The support report: its sections, what it never shows (the home folder,
// channel data unless asked), and the small state files it quotes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <pty.h>
#include <unistd.h>
#endif

#include "core/app/IniFile.h"
#include "core/app/SupportState.h"
#include "core/link/SupportReport.h"
#include "core/link/Trace.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

TEST(SupportReport, HidesTheHomeFolderOnlyWhereItIsNamedWhole)
{
    const struct {
        const char* text;
        const char* hidden;
    } cases[] = {
        {"/home/al/x.ini", "~/x.ini"},
        {"File: /home/al\n", "File: ~\n"},
        {"COM1=/home/al/radio;/home/al", "COM1=~/radio;~"},
        {"/home/alice/x", "/home/alice/x"},  // another user's folder that begins alike
        {"/x/home/al/y", "/x/home/al/y"},    // not the folder, a path inside another
        {"无法读取 /home/al：是目录；“/home/al”", "无法读取 ~：是目录；“~”"},
        {"/home/al张/x", "/home/al张/x"},
        // However it is spelled: doubled separators, "." and "..", "~" and back.
        {"Cannot save \"/home//al/x.dat\"", "Cannot save \"~/x.dat\""},
        {"~/../al/x.dat and /home/./al/", "~/x.dat and ~/"},
        {"/home/bob/../al/x", "~/x"},
        {"/home/al/../bob", "~/../bob"},
        {"~/../alice/x", "~/../alice/x"},  // another user's, reached from home
        {"~bob/x", "~bob/x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HideHome(c.text, "/home/al"), c.hidden) << c.text;
    // A Windows home, in any letter case and with either separator; a name with a space.
    EXPECT_EQ(HideHome("c:/users//AL/x.dat; C:\\Users\\Al", "C:\\Users\\Al"), "~/x.dat; ~");
    EXPECT_EQ(HideHome("\"/home//al b/x\"", "/home/al b"), "\"~/x\"");
}

TEST(SupportReport, HidesTheLoginNameWhereRemovableDrivesAreMounted)
{
    const struct {
        const char* text;
        const char* hidden;
    } cases[] = {
        {"/media/al/STICK/x.dat", "/media/<user>/STICK/x.dat"},
        {"/run/media/al/S/x.dat", "/run/media/<user>/S/x.dat"},
        {"File: /media/al\n", "File: /media/<user>\n"},
        {"/media/alice/x", "/media/alice/x"},  // another user's drives
        {"/x/media/al/y", "/x/media/al/y"},    // not the mount folder
        {"无法写入 /media/al：只读", "无法写入 /media/<user>：只读"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HideUserInMounts(c.text, "al"), c.hidden) << c.text;

    // The report hides it in every section (here a setting); a document goes in by its name alone.
    testenv::TempDir dir;
    std::ofstream(dir.File("Program.ini")) << "[Ports]\nCOM1=/media/al/STICK/radio\n";
    CIniFile ini;
    ASSERT_TRUE(ini.Load(dir.File("Program.ini"), false, true, false));
    ChannelDocument doc;
    ASSERT_TRUE(doc.Load(PROG_SOURCE_DIR "/res/samples/sample.dat", false).ok);
    SupportFacts facts;
    facts.user = "al";
    facts.ini = &ini;
    facts.document = &doc;
    facts.documentName = "/media/al/STICK/mine.dat";
    const std::string text = SupportReportText(BuildSupportReport(facts));
    EXPECT_NE(text.find("COM1=/media/<user>/STICK/radio"), std::string::npos) << text;
    EXPECT_NE(text.find("File: mine.dat\n"), std::string::npos) << text;
}

TEST(SupportReport, CapsASettingsFileOfManyEmptySections)
{
    testenv::TempDir dir;
    std::ofstream out(dir.File("Program.ini"));
    for (int i = 0; i < 5000; ++i)
        out << "[s" << i << "]\n";
    out.close();
    CIniFile ini;
    ASSERT_TRUE(ini.Load(dir.File("Program.ini"), false, true, false));
    SupportFacts facts;
    facts.ini = &ini;
    const std::string text = BuildSupportReport(facts)[1].text;
    EXPECT_LT(std::count(text.begin(), text.end(), '\n'), 1000);
}

#ifndef _WIN32
namespace {

// XDG_DATA_HOME pointed into dir for the test's life.
class DataHome {
public:
    explicit DataHome(const fs::path& dir)
    {
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            m_old = old, m_had = true;
        ::setenv("XDG_DATA_HOME", dir.c_str(), 1);
    }
    ~DataHome() { m_had ? ::setenv("XDG_DATA_HOME", m_old.c_str(), 1) : ::unsetenv("XDG_DATA_HOME"); }

private:
    std::string m_old;
    bool m_had = false;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(SupportReport, SectionsHomeAndDocumentOnlyWhenAsked)
{
    enum class State { Fine, Huge, Garbage };
    const struct {
        bool document, trace;
        State state;
    } cases[] = {
        {false, false, State::Fine}, {true, false, State::Fine},    {false, true, State::Fine},
        {true, true, State::Huge},   {false, true, State::Garbage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.document) + std::to_string(c.trace) + std::to_string(static_cast<int>(c.state)));
        testenv::TempDir home;
        const DataHome data(home.Path() / "data");
        const std::string homeText = home.Path().string();
        // Program.ini under the home folder, a value naming it too.
        std::ofstream(home.File("Program.ini")) << "[Ports]\nCOM1=" << homeText << "/radio\n";
        CIniFile ini;
        ASSERT_TRUE(ini.Load(home.File("Program.ini"), false, true, false));

        ASSERT_TRUE(RecordTransferResult(false, homeText + "/radio", false, "no answer"));
        ASSERT_TRUE(RecordShownMessage("first\x1b[31m"));
        if (c.trace) {
            ASSERT_TRUE(KeepFailedTrace("# header\n0.000001 ! open " + homeText +
                                        "/radio\n"
                                        "0.010000 > 02 54 41 4E 41 47 52\n0.200000 ! read time-out\n"));
        }
        if (c.state == State::Huge)
            std::ofstream(LastMessagesPath()) << std::string(kSupportStateReadLimit + 1, 'x');
        if (c.state == State::Garbage)
            std::ofstream(LastTransferPath(), std::ios::binary) << "\x1b]0;owned\x07\n"
                                                                << std::string(kKeptLineLength * 3, '\x9b') << "\n";

        ChannelDocument doc;
        ASSERT_TRUE(doc.Load(PROG_SOURCE_DIR "/res/samples/sample.dat", false).ok);
        SupportFacts facts;
        facts.program = "progtool";
        facts.ini = &ini;
        facts.home = homeText;
        if (c.document) {
            facts.document = &doc;
            facts.documentName = homeText + "/mine.dat";
        }
        const std::vector<SupportSection> sections = BuildSupportReport(facts);
        const std::string text = SupportReportText(sections);

        std::vector<std::string> keys;
        for (const SupportSection& s : sections)
            keys.push_back(s.key);
        std::vector<std::string> want = {"program", "settings", "ports", "transfer", "trace", "messages"};
        if (c.document) {
            want.push_back("document");
        }
        EXPECT_EQ(keys, want);
        EXPECT_EQ(text.find(homeText), std::string::npos) << text;
        EXPECT_NE(text.find("COM1=~/radio"), std::string::npos);
        // Channel names and frequencies of the sample only when asked; then its bytes to load.
        EXPECT_EQ(text.find("RPT-N") != std::string::npos, c.document);
        EXPECT_EQ(text.find("147.33000") != std::string::npos, c.document);
        EXPECT_EQ(text.find("1FF0  ") != std::string::npos, c.document);
        EXPECT_EQ(text.find("entry code \"TANAGR\"") != std::string::npos, c.trace);
        EXPECT_EQ(text.find("(none kept)") != std::string::npos, !c.trace);
        // A damaged or huge state file is quoted in part, never raw.
        EXPECT_EQ(text.find('\x1b'), std::string::npos);
        EXPECT_EQ(text.find('\x9b'), std::string::npos);
        EXPECT_LT(sections[5].text.size(), 2 * kKeptLineLength);
        EXPECT_LT(sections[3].text.size(), 2 * kKeptLineLength);
        if (c.state == State::Fine) {
            EXPECT_NE(text.find("read  ~/radio  failed: no answer"), std::string::npos) << text;
        }
    }
}

TEST(SupportReport, ListsThePortsWithoutOpeningAny)
{
    // A terminal that would open, an adapter's link whose device is gone, a folder.
    testenv::TempDir root;
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    fs::create_directories(root.Path() / "dev/serial/by-id");
    fs::create_symlink(name, root.Path() / "dev/ttyUSB0");
    fs::create_symlink("../../ttyUSB7", root.Path() / "dev/serial/by-id/usb-gone-if00-port0");
    fs::create_directories(root.Path() / "dev/ttyUSB3");
    ::setenv("PROG_DEVICE_ROOT", root.Path().c_str(), 1);
    const std::string ports = BuildSupportReport({})[2].text;
    ::unsetenv("PROG_DEVICE_ROOT");
    ::close(master);
    ::close(slave);
    const std::string dev = (root.Path() / "dev").string();
    EXPECT_NE(ports.find(dev + "/ttyUSB0  ttyUSB  present (not opened)"), std::string::npos) << ports;
    EXPECT_NE(ports.find("/dev/ttyUSB7  missing: not plugged in"), std::string::npos) << ports;
    EXPECT_NE(ports.find(dev + "/ttyUSB3  ttyUSB  not a serial device"), std::string::npos) << ports;
    EXPECT_EQ(ports.find("can be opened"), std::string::npos) << ports;
}

TEST(SupportReport, QuotesNoFileThroughALinkPlantedInTheDataFolder)
{
    for (const std::string name : {"last-transfer.txt", "last-messages.txt", "last-failed-handshake.trace"}) {
        SCOPED_TRACE(name);
        testenv::TempDir dir;
        const DataHome data(dir.Path() / "data");
        std::ofstream(dir.File("secret")) << "0.000001 ! s3cret\n";
        fs::create_directories(fs::path(LastMessagesPath()).parent_path());
        fs::create_symlink(dir.File("secret"), fs::path(LastMessagesPath()).parent_path() / name);
        SupportFacts facts;
        facts.program = "progtool";
        const std::string text = SupportReportText(BuildSupportReport(facts));
        EXPECT_EQ(text.find("s3cret"), std::string::npos) << text;
        EXPECT_NE(text.find("is a link"), std::string::npos) << text;
    }
}

TEST(SupportReport, HidesTheHomeFolderAlsoAsTheSystemResolvesIt)
{
    testenv::TempDir dir;
    const DataHome data(dir.Path() / "data");
    fs::create_directory(dir.Path() / "real");
    fs::create_directory_symlink(dir.Path() / "real", dir.Path() / "home");
    for (const fs::path& home : {dir.Path() / "home", dir.Path() / "." / "real"}) {
        ASSERT_TRUE(RecordShownMessage("Cannot open \"" + (dir.Path() / "real" / "x.dat").string() + "\""));
        SupportFacts facts;
        facts.home = home.string();
        EXPECT_NE(SupportReportText(BuildSupportReport(facts)).find("\"~/x.dat\""), std::string::npos) << home;
    }
}

TEST(SupportReport, KeepsTheLastMessagesAndNeverCorruptsThem)
{
    testenv::TempDir dir;
    const DataHome data(dir.Path());
    for (int i = 1; i <= 25; ++i)
        ASSERT_TRUE(RecordShownMessage("message " + std::to_string(i) + "\nsecond line"));
    const std::string file = ReadAll(LastMessagesPath());
    EXPECT_EQ(static_cast<std::size_t>(std::count(file.begin(), file.end(), '\n')), kKeptMessages);
    const std::vector<std::string> kept = ReadKeptLines(LastMessagesPath());
    ASSERT_EQ(kept.size(), kKeptMessages);
    EXPECT_NE(kept.front().find("message 6 / second line"), std::string::npos) << kept.front();
    EXPECT_NE(kept.back().find("message 25"), std::string::npos);
    // A write that fails is dropped: the file is the old one, whole.
    const std::string before = ReadAll(LastMessagesPath());
    fs::permissions(LastMessagesPath(), fs::perms::owner_read);
    EXPECT_FALSE(RecordShownMessage("lost"));
    EXPECT_EQ(ReadAll(LastMessagesPath()), before);
}
#endif
