// Saving and reading files the user names: links, special files, read-only
// files and folders, owners and modes, temporary files left by a killed save,
// and text inputs that are not small regular files.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "core/app/IniFile.h"
#include "core/radio/DatFile.h"
#include "core/files/TextFile.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

// Reachable for the tests that run as another user.
class TempDir : public testenv::TempDir {
public:
    TempDir() : testenv::TempDir(true) {}
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (auto& e : fs::directory_iterator(Path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

void Put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string Get(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

DatResult Save(const std::string& path, const std::string& text)
{
    return WriteFileAtomically(path, text.data(), text.size());
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The error of fn run as an unprivileged user: as "nobody" in a child when we
// are root (root may write anywhere), else as ourselves.
std::string AsUser(const std::function<std::string()>& fn)
{
    if (::geteuid() != 0)
        return fn();
    int fds[2];
    if (::pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string out = (::setgid(kNobody) == 0 && ::setuid(kNobody) == 0) ? fn() : "setuid failed";
        if (::write(fds[1], out.data(), out.size()) < 0)
            ::_exit(1);
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        out.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return out;
}

}  // namespace

TEST(AtomicSave, ThroughSymbolicLinksTheLinkStaysAndItsTargetIsReplaced)
{
    TempDir dir;
    fs::create_directory(dir.File("real"));
    Put(dir.File("real/radio.dat"), "old");
    fs::create_symlink("real/radio.dat", dir.File("relative.dat"));       // relative to the link's folder
    fs::create_symlink(dir.File("relative.dat"), dir.File("chain.dat"));  // a link to a link
    fs::create_symlink("real/new.dat", dir.File("dangling.dat"));         // its target does not exist yet

    for (const char* link : {"relative.dat", "chain.dat", "dangling.dat"}) {
        SCOPED_TRACE(link);
        const DatResult r = Save(dir.File(link), link);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_TRUE(fs::is_symlink(dir.File(link)));
        EXPECT_EQ(Get(dir.File(link)), link);
    }
    EXPECT_EQ(Get(dir.File("real/radio.dat")), "chain.dat");
    EXPECT_EQ(Get(dir.File("real/new.dat")), "dangling.dat");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"chain.dat", "dangling.dat", "real", "relative.dat"}));

    fs::create_symlink("loop.dat", dir.File("loop.dat"));
    EXPECT_TRUE(Has(Save(dir.File("loop.dat"), "x").error, "symbolic link"));
}

TEST(AtomicSave, RefusesDirectoriesDevicesFifosAndReadOnlyFiles)
{
    TempDir dir;
    fs::create_directory(dir.File("folder"));
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0666), 0);
    fs::create_symlink("/dev/null", dir.File("device"));
    fs::create_symlink("fifo", dir.File("to-fifo"));
    Put(dir.File("readonly.dat"), "keep");
    ::chmod(dir.File("readonly.dat").c_str(), 0444);

    const struct {
        const char* name;
        const char* why;
    } cases[] = {
        {"folder", "it is a directory"},           {"fifo", "not a regular file"},
        {"device", "not a regular file"},          {"to-fifo", "not a regular file"},
        {"readonly.dat", "the file is read-only"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DatResult r = Save(dir.File(c.name), "new");
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(Has(r.error, dir.File(c.name))) << r.error;
        EXPECT_TRUE(Has(r.error, c.why)) << r.error;
        EXPECT_EQ(CheckSaveTarget(dir.File(c.name)).error, r.error);
    }
    EXPECT_TRUE(fs::is_fifo(dir.File("fifo")));
    EXPECT_TRUE(fs::is_symlink(dir.File("device")));
    EXPECT_EQ(Get(dir.File("readonly.dat")), "keep");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"device", "fifo", "folder", "readonly.dat", "to-fifo"}));

    // A folder we may not write into (root's, or our own without write permission),
    // and, with root to set it up, someone else's file we may not write.
    const bool root = ::geteuid() == 0;
    fs::create_directory(dir.File("closed"));
    ::chmod(dir.File("closed").c_str(), root ? 0755 : 0555);
    const std::string closed = AsUser([&] { return Save(dir.File("closed/new.dat"), "x").error; });
    EXPECT_TRUE(Has(closed, "the folder \"" + dir.File("closed") + "\" is not writable")) << closed;
    if (!root)
        return;
    Put(dir.File("theirs.dat"), "theirs");
    ::chmod(dir.File("theirs.dat").c_str(), 0644);
    const std::string theirs = AsUser([&] { return Save(dir.File("theirs.dat"), "mine").error; });
    EXPECT_TRUE(Has(theirs, "the file is read-only")) << theirs;
    EXPECT_EQ(Get(dir.File("theirs.dat")), "theirs");
}

TEST(AtomicSave, ReplacedFileKeepsModeAndOwnerNewFileFollowsTheUmask)
{
    TempDir dir;
    const std::string path = dir.File("radio.dat");
    Put(path, "old");
    ::chmod(path.c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    }
    ASSERT_TRUE(Save(path, "new").ok);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, kNobody);
        EXPECT_EQ(st.st_gid, kNobody);
    }

    for (const mode_t mask : {mode_t(022), mode_t(077)}) {
        const mode_t before = ::umask(mask);
        const std::string fresh = dir.File("fresh" + std::to_string(mask));
        const DatResult r = Save(fresh, "x");
        ::umask(before);
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0666u & ~mask);
    }
}

TEST(AtomicSave, TemporaryFilesOfAKilledSaveAreRemovedOthersAreLeft)
{
    TempDir dir;
    const std::string path = dir.File("radio.dat");
    const std::vector<std::string> kept = {
        ".radio.dat.tr5-saving-abc1234",  // not our pattern
        ".radio.dat.Xy12Zq",              // some other program's
        ".other.dat.tr5-saving-abc123",   // another file's
        ".radio.dat.tr5-saving-busy00",   // a save still running (locked)
    };
    for (const auto& name : kept)
        Put(dir.File(name), "?");
    Put(dir.File(".radio.dat.tr5-saving-dead00"), "left by a killed save");
    fs::create_directory(dir.File(".radio.dat.tr5-saving-dir000"));
    const int busy = ::open(dir.File(".radio.dat.tr5-saving-busy00").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);

    ASSERT_TRUE(Save(path, "new").ok);
    ::close(busy);
    std::vector<std::string> want = kept;
    want.push_back(".radio.dat.tr5-saving-dir000");
    want.push_back("radio.dat");
    std::sort(want.begin(), want.end());
    EXPECT_EQ(dir.Names(), want);
}

TEST(AtomicSave, NamesUpToTheFileSystemsLimitAreSavedLongerOnesRefused)
{
    TempDir dir;
    for (const std::size_t length : {237u, 250u, 255u}) {
        const std::string path = dir.File(std::string(length - 4, 'n') + ".dat");
        const DatResult r = Save(path, "image");
        ASSERT_TRUE(r.ok) << length << ": " << r.error;
        EXPECT_EQ(Get(path), "image");
        ASSERT_TRUE(Save(path, "again").ok);  // replacing one, too
        fs::remove(path);
    }
    EXPECT_EQ(dir.Names(), std::vector<std::string>{});  // no temporary file left
    const std::string tooLong = dir.File(std::string(256, 'n'));
    for (const DatResult& r : {CheckSaveTarget(tooLong), Save(tooLong, "x")})
        EXPECT_TRUE(Has(r.error, "its name is 256 bytes long; the file system takes at most 255")) << r.error;
}

TEST(UpdateLock, ASecondChangeWaitsForTheFirstAndFollowsItsSave)
{
    TempDir dir;
    const std::string path = dir.File("radio.dat");
    Put(path, "old");
    std::optional<CFileUpdateLock> first(std::in_place);
    std::string error;
    ASSERT_TRUE(first->Acquire(path, std::chrono::milliseconds(0), error)) << error;
    ASSERT_TRUE(first->Held());
    // Held: a second waits, then gives up naming the file.
    CFileUpdateLock second;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(second.Acquire(path, std::chrono::milliseconds(200), error));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_TRUE(Has(error, "\"" + path + "\" is in use by another program")) << error;
    // The first saves (a new file under the name) and lets go while the second
    // waits: the second holds the new file, not the replaced one.
    bool got = false;
    std::thread waiter([&] { got = second.Acquire(path, std::chrono::seconds(5), error); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(Save(path, "new").ok);
    first.reset();
    waiter.join();
    ASSERT_TRUE(got) << error;
    const int fd = ::open(path.c_str(), O_RDONLY);
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), -1);  // the file now under the name is the one held
    ::close(fd);
}

TEST(BoundedText, RefusesWhatIsNotASmallRegularFile)
{
    TempDir dir;
    fs::create_directory(dir.File("folder"));
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0666), 0);
    Put(dir.File("small.csv"), std::string(100, 'x'));
    Put(dir.File("over.csv"), std::string(101, 'x'));
    // Sparse: one byte over the default limit costs no disk.
    {
        std::ofstream(dir.File("huge.csv"));
    }
    fs::resize_file(dir.File("huge.csv"), kTextFileLimit + 1);

    const struct {
        std::string path;
        std::size_t limit;
        const char* why;  // "" when the file is read
    } cases[] = {
        {dir.File("small.csv"), 100, ""},
        {dir.File("over.csv"), 100, "at most 100 bytes"},
        {dir.File("huge.csv"), kTextFileLimit, "at most 16 MB"},
        {dir.File("folder"), kTextFileLimit, "is a directory"},
        {dir.File("fifo"), kTextFileLimit, "not a regular file"},
        {"/dev/zero", kTextFileLimit, "not a regular file"},
        {dir.File("missing.csv"), kTextFileLimit, "No such file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const TextFileResult r = ReadBoundedTextFile(c.path, c.limit);
        EXPECT_EQ(r.ok, *c.why == '\0');
        if (r.ok) {
            EXPECT_EQ(r.text, std::string(100, 'x'));
        } else {
            EXPECT_TRUE(Has(r.error, c.path)) << r.error;
            EXPECT_TRUE(Has(r.error, c.why)) << r.error;
        }
    }
}

TEST(IniFile, FifoDeviceAndHugeProfilesAreRefusedAtOnceWithTheReason)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo.ini").c_str(), 0666), 0);
    {
        std::ofstream(dir.File("huge.ini"));
    }
    fs::resize_file(dir.File("huge.ini"), kTextFileLimit + 1);
    for (const std::string& path : {dir.File("fifo.ini"), std::string("/dev/zero"), dir.File("huge.ini")}) {
        SCOPED_TRACE(path);
        CIniFile ini(4);
        EXPECT_FALSE(ini.Load(path, true, true, false));
        EXPECT_TRUE(Has(ini.LoadError(), path)) << ini.LoadError();
        EXPECT_EQ(ini.GetFilePath(), "");  // nothing is written back there
        ini.SetString("Setup", "Language", "Chinese");
        EXPECT_EQ(ini.Save(false), "");
        EXPECT_FALSE(ini.SaveFailed());
    }

    // Saved in place: never over a file made read-only.
    Put(dir.File("ro.ini"), "[Setup]\nLanguage=English\n");
    CIniFile ini(4);
    ASSERT_TRUE(ini.Load(dir.File("ro.ini"), false, true, false));
    ::chmod(dir.File("ro.ini").c_str(), 0444);
    ini.SetString("Setup", "Language", "Chinese");
    ini.Save(false);
    EXPECT_TRUE(ini.SaveFailed());
    EXPECT_TRUE(Has(ini.SaveError(), "read-only")) << ini.SaveError();
    EXPECT_EQ(Get(dir.File("ro.ini")), "[Setup]\nLanguage=English\n");
}

// Loading was quadratic in the sections and in the length of a line (59 s for
// 100,000 sections). A linear load takes well under a second; the bound leaves
// room for a sanitizer build. bench_files gives the figures.
TEST(IniFile, ManySectionsAndALongLineLoadInLinearTime)
{
    TempDir dir;
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "[S" + std::to_string(i) + "]\nK=" + std::to_string(i) + "\n";
    text += "[Long]\nK=" + std::string(8u << 20, 'x') + "\n";
    Put(dir.File("big.ini"), text);
    CIniFile ini(4);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(ini.Load(dir.File("big.ini"), false, true, false));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 15.0);
    EXPECT_EQ(ini.GetString("S99999", "K", ""), "99999");
    EXPECT_EQ(ini.GetString("Long", "K", "").size(), 8u << 20);
}
