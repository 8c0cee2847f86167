// Files and per-user settings where the systems differ: names in Chinese,
// devices by name, the read-only mark, a save under the update lock, and the
// window's settings read without Qt.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/files/FileIO.h"
#include "core/files/TextFile.h"
#include "core/platform/Files.h"
#include "core/platform/Paths.h"
#include "tests/support/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;
using platform::PathOf;

namespace {

// name in dir, in UTF-8 whatever the system's code page.
std::string In(const testenv::TempDir& dir, const std::string& name)
{
    return platform::PathText(dir.Path()) + "/" + name;
}

}  // namespace

TEST(PlatformFiles, ChineseNamesAreSavedReadAndComparedAsThemselves)
{
    testenv::TempDir dir;
    const std::string folder = In(dir, "频道"), file = folder + "/中文名.dat", link = folder + "/硬链接.dat";
    fs::create_directory(PathOf(folder));
    const std::string data(8192, '\x5a');
    ASSERT_TRUE(WriteFileAtomically(file, data.data(), data.size()).ok);
    const TextFileResult read = ReadBoundedTextFile(file);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.text, data);
    fs::create_hard_link(PathOf(file), PathOf(link));
    EXPECT_TRUE(SameFile(file, link));
    EXPECT_FALSE(CheckOutputNotInput(link, {file}).ok);
    // The save left no temporary file and put the file under its own name.
    EXPECT_EQ(platform::ListFolder(folder).size(), 2u);
    EXPECT_TRUE(fs::exists(PathOf(folder) / PathOf("中文名.dat")));
}

TEST(PlatformFiles, DevicesAndReadOnlyFilesAreRefused)
{
    testenv::TempDir dir;
    const std::string readOnly = In(dir, "只读.dat");
    std::ofstream(PathOf(readOnly)) << "x";
    // No write bit at all: the read-only attribute on Windows.
    fs::permissions(PathOf(readOnly), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    struct Case {
        std::string path;
        std::string said;
    };
    const Case cases[] = {
#ifdef _WIN32
        {"NUL", "device, FIFO or socket"},
        {"con", "device, FIFO or socket"},
        {In(dir, "COM1.dat"), "device, FIFO or socket"},
        {"\\\\.\\COM12", "device, FIFO or socket"},
#else
        {"/dev/null", "device, FIFO or socket"},
#endif
        {readOnly, "the file is read-only"},
    };
    const std::string data = "data";
    for (const Case& c : cases) {
        const FileResult saved = WriteFileAtomically(c.path, data.data(), data.size());
        EXPECT_FALSE(saved.ok) << c.path;
        EXPECT_NE(saved.error.find(c.said), std::string::npos) << saved.error;
        if (c.path != readOnly) {
            EXPECT_FALSE(ReadBoundedTextFile(c.path).ok) << c.path;
        }
    }
    fs::permissions(PathOf(readOnly), fs::perms::owner_write, fs::perm_options::add);
#ifdef _WIN32
    // A name Windows takes no file of is told before a transfer, not after it;
    // a fleet's "COM5.dat" would be the port itself.
    EXPECT_FALSE(CheckSaveTarget(In(dir, "a?.dat")).ok);
    EXPECT_TRUE(platform::DeviceFileName("COM5.dat"));
#endif
}

TEST(PlatformFiles, TheUpdateLockExcludesAnotherButNotTheHoldersSave)
{
    testenv::TempDir dir;
    const std::string file = In(dir, "radio.dat");
    std::ofstream(PathOf(file)) << "old";
    CFileUpdateLock mine, theirs;
    std::string error;
    ASSERT_TRUE(mine.Acquire(file, std::chrono::milliseconds(50), error));
    ASSERT_TRUE(mine.Held());
    EXPECT_FALSE(theirs.Acquire(file, std::chrono::milliseconds(50), error));
    EXPECT_NE(error.find("is in use by another program"), std::string::npos) << error;
    // The holder reads and saves the file over itself, as import does.
    EXPECT_TRUE(ReadBoundedTextFile(file).ok);
    const std::string data = "new";
    const FileResult saved = WriteFileAtomically(file, data.data(), data.size());
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(ReadBoundedTextFile(file).text, "new");
}

namespace {

// The window's value name under key, as its QSettings store it (text on POSIX).
void SetWindowSetting(const testenv::TempDir& dir, const std::string& key, const std::string& text)
{
#ifdef _WIN32
    (void)dir;
    const std::wstring sub = L"Software\\" + fs::path(PathOf(key)).wstring();
    const std::wstring value = PathOf(text).wstring();
    RegSetKeyValueW(HKEY_CURRENT_USER, sub.c_str(), L"BackupsKept", REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
#else
    ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    std::ofstream(dir.File(key + ".conf")) << text;
#endif
}

}  // namespace

TEST(PlatformPaths, TheWindowsBackupCountIsReadAsItsSettingsHoldIt)
{
    testenv::TempDir dir;
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = oldXdg ? oldXdg : "";
    struct Case {
        const char* stored;  // POSIX: the settings file; Windows: the value's text
        bool found;
        long long value;
    };
    const Case cases[] = {
#ifdef _WIN32
        {"7", true, 7},
        {" 9 ", true, 9},
        {"abc", false, 0},
#else
        {"[General]\nBackupsKept=7\n", true, 7},       {"[General]\r\nBackupsKept = 9 \r\n", true, 9},
        {"[General]\nBackupsKept=\"12\"\n", true, 12}, {"[General]\nBackupsKept=abc\n", false, 0},
        {"[Other]\nBackupsKept=4\n", false, 0},        {"[General]\nBackupsKept=8\n[Other]\nBackupsKept=4\n", true, 8},
        {"[General]\nBackupsKeptMore=3\n", false, 0},
#endif
    };
    for (const Case& c : cases) {
        SetWindowSetting(dir, "tr5-test-settings", c.stored);
        long long value = -1;
        EXPECT_EQ(platform::WindowSettingNumber("tr5-test-settings", "BackupsKept", value), c.found) << c.stored;
        if (c.found) {
            EXPECT_EQ(value, c.value) << c.stored;
        }
    }
#ifndef _WIN32
    oldXdg ? ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
#else
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\tr5-test-settings");
#endif
}
