// Backups of what radios held: naming, saving, listing with the first names,
// pruning that spares pinned ones, and a folder that cannot be made.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "core/link/Backups.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/DatFile.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// A radio with the given channel names (each channel on 146.52 MHz).
Image Radio(const std::vector<std::string>& names)
{
    Image img = NewDocumentImage();
    CTextGrid grid;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        grid.SetTextMatrix(row, kColRxFreq, "146.52000");
        grid.SetTextMatrix(row, kColName, names[i]);
    }
    EncodeChannels(grid, img);
    return img;
}

const std::time_t kNoon = [] {
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 4;
    tm.tm_mday = 1;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}();

BackupPruning Keep(int n)
{
    BackupPruning p;
    p.keep = n;
    return p;
}

}  // namespace

TEST(Backups, FileNamesCarryTimeAndPort)
{
    const std::pair<const char*, const char*> ports[] = {
        {"COM1", "COM1"}, {"/dev/ttyUSB0", "ttyUSB0"}, {"/dev/serial/by-id/usb-A B:C-if00", "usb-A_B_C-if00"}};
    for (const auto& [port, shown] : ports) {
        const std::string name = BackupFileName(kNoon + 5, port);
        EXPECT_EQ(name, std::string("20260501-120005-") + shown + ".dat");
        std::time_t t = 0;
        std::string p;
        ASSERT_TRUE(ParseBackupFileName(name, t, p)) << name;
        EXPECT_EQ(t, kNoon + 5);
        EXPECT_EQ(p, shown);
    }
    for (const char* other : {"notes.dat", "20260501-1200-COM1.dat", "20260501-120005-.dat", "20260501-120005-C.txt"}) {
        std::time_t t = 0;
        std::string p;
        EXPECT_FALSE(ParseBackupFileName(other, t, p)) << other;
    }
}

TEST(Backups, SaveListPruneAndPins)
{
    testenv::TempDir dir;
    const std::string folder = (dir.Path() / "a" / "backups").string();  // made on the first save
    const Image first = Radio({"ALPHA", "", "BRAVO", "CHARLY", "DELTA"});
    BackupResult r = SaveBackup(folder, first, "COM1", kNoon, Keep(3));
    ASSERT_TRUE(r.ok) << r.error;
    Image back{};
    ASSERT_TRUE(LoadDatFile(r.path, back).ok);
    EXPECT_EQ(back, first);
    // The same second again: the next one is taken, nothing is replaced.
    BackupResult again = SaveBackup(folder, Radio({}), "COM1", kNoon, Keep(3));
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_EQ(fs::path(again.path).filename(), "20260501-120001-COM1.dat");
    std::ofstream(fs::path(folder) / "notes.dat") << "mine";

    std::vector<BackupInfo> list = ListBackups(folder);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].path, r.path);  // newest first
    EXPECT_EQ(list[1].port, "COM1");
    EXPECT_EQ(list[1].channels, 5);
    EXPECT_EQ(list[1].firstNames, (std::vector<std::string>{"ALPHA", "BRAVO", "CHARLY"}));
    EXPECT_EQ(list[0].channels, 0);

    // The oldest is pinned; more saves keep three unpinned, the pin and the foreign file.
    std::string error;
    ASSERT_TRUE(SetBackupPinned(r.path, true, error)) << error;
    for (int i = 1; i <= 4; ++i)
        ASSERT_TRUE(SaveBackup(folder, Radio({}), "COM2", kNoon + 60 * i, Keep(3)).ok);
    list = ListBackups(folder, false);
    std::vector<std::string> names;
    for (const BackupInfo& b : list)
        names.push_back(b.name);
    EXPECT_EQ(names, (std::vector<std::string>{"20260501-120400-COM2.dat", "20260501-120300-COM2.dat",
                                               "20260501-120200-COM2.dat", "20260501-120000-COM1.dat"}));
    EXPECT_TRUE(list.back().pinned);
    EXPECT_TRUE(fs::exists(fs::path(folder) / "notes.dat"));
    // Unpinned, it goes with the next prune.
    ASSERT_TRUE(SetBackupPinned(r.path, false, error)) << error;
    EXPECT_EQ(PruneBackups(folder, Keep(3)).size(), 1u);
    EXPECT_FALSE(fs::exists(r.path));
}

TEST(Backups, AFolderThatCannotBeMadeNamesItAndTheReason)
{
    testenv::TempDir dir;
    const fs::path file = dir.Path() / "file";
    std::ofstream(file) << "x";
    const std::string folder = (file / "backups").string();
    const BackupResult r = SaveBackup(folder, Radio({}), "COM1", kNoon);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(folder), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("Not a directory"), std::string::npos) << r.error;
}

TEST(Backups, TheProgramsFolderAlsoListsAndPrunesTheEarlierOne)
{
    testenv::TempDir dir;
    const std::string folder = BackupFolder(dir.Path().string());
    EXPECT_EQ(folder, (dir.Path() / "tr5-programmer" / "backups").string());
    const fs::path earlier = dir.Path() / "Program" / "backups";
    ASSERT_TRUE(SaveBackup(earlier.string(), Radio({"OLD1"}), "COM1", kNoon).ok);
    ASSERT_TRUE(SaveBackup(earlier.string(), Radio({"OLD2"}), "COM1", kNoon + 60).ok);
    const BackupResult r = SaveBackup(folder, Radio({"NEW"}), "COM1", kNoon + 120, Keep(2));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(fs::path(r.path).parent_path(), fs::path(folder));
    EXPECT_EQ(r.removed.size(), 1u);  // the oldest, in the earlier folder
    const std::vector<BackupInfo> listed = ListBackups(folder);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].firstNames, (std::vector<std::string>{"NEW"}));
    EXPECT_EQ(listed[1].firstNames, (std::vector<std::string>{"OLD2"}));
    // Any other folder stands for itself alone.
    EXPECT_EQ(ListBackups(earlier.string()).size(), 1u);
}

TEST(Backups, PruningGoesByAgeOnDiskAndNeverTakesTheBackupJustSaved)
{
    testenv::TempDir dir;
    const std::string folder = (dir.Path() / "backups").string();
    // Saved in an hour the clock later ran back from (a new time zone): their
    // names carry later times than the read made now, their files are older.
    std::vector<std::string> earlier;
    for (int i = 0; i < 3; ++i) {
        const BackupResult r = SaveBackup(folder, Radio({}), "COM1", kNoon + 3600 + i, Keep(10));
        ASSERT_TRUE(r.ok) << r.error;
        fs::last_write_time(r.path, fs::file_time_type::clock::now() - std::chrono::hours(3 - i));
        earlier.push_back(r.path);
    }
    const BackupResult now = SaveBackup(folder, Radio({"NOW"}), "COM1", kNoon, Keep(2));
    ASSERT_TRUE(now.ok) << now.error;
    EXPECT_TRUE(fs::exists(now.path));
    EXPECT_EQ(now.removed.size(), 2u);
    EXPECT_FALSE(fs::exists(earlier[0]));
    EXPECT_FALSE(fs::exists(earlier[1]));
    EXPECT_TRUE(fs::exists(earlier[2]));  // the newest of them on disk
    // Keeping one keeps the backup just saved, whatever its name says.
    EXPECT_EQ(PruneBackups(folder, Keep(1), now.path).size(), 1u);
    EXPECT_TRUE(fs::exists(now.path));

    // Old backups whose files are dated years ahead (copied with a clock run
    // forward) go before the new reads, which all stay.
    std::vector<std::string> stale;
    for (int i = 0; i < 3; ++i) {
        const BackupResult r = SaveBackup(folder, Radio({}), "COM2", kNoon - 86400 * (i + 1), Keep(10));
        ASSERT_TRUE(r.ok) << r.error;
        fs::last_write_time(r.path, fs::file_time_type::clock::now() + std::chrono::hours(24 * 365 * 4));
        stale.push_back(r.path);
    }
    const BackupResult next = SaveBackup(folder, Radio({"NEXT"}), "COM1", kNoon + 60, Keep(2));
    ASSERT_TRUE(next.ok) << next.error;
    EXPECT_TRUE(fs::exists(now.path));
    EXPECT_TRUE(fs::exists(next.path));
    for (const std::string& p : stale)
        EXPECT_FALSE(fs::exists(p)) << p;
}

// Only what the program wrote into a folder is ever pruned there: never a
// file of the user's named like a backup, never one spared (a plan named on
// the command line, a document open), nothing where pruning is not asked for.
TEST(Backups, PruningRemovesOnlyTheProgramsOwnBackupsAndSaysWhich)
{
    testenv::TempDir dir;
    const fs::path folder = dir.Path() / "club";
    fs::create_directories(folder);
    // The user's own dated files and the plan, older than any backup.
    std::vector<fs::path> users;
    for (int i = 0; i < 5; ++i) {
        users.push_back(folder / BackupFileName(kNoon - 86400 * (10 + i), "club-plan"));
        ASSERT_TRUE(SaveDatFile(users.back().string(), Radio({"MINE"})).ok);
    }
    const fs::path plan = folder / "20190101-000000-club-plan.dat";
    ASSERT_TRUE(SaveDatFile(plan.string(), Radio({"PLAN"})).ok);

    BackupPruning user = Keep(2);
    user.programFolder = false;  // a folder the user named
    user.spare = {plan.string()};
    user.prune = false;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(SaveBackup(folder.string(), Radio({}), "COM1", kNoon + i, user).removed.empty());
    user.prune = true;  // asked for: only the run's own beyond the two kept go
    const BackupResult r = SaveBackup(folder.string(), Radio({}), "COM1", kNoon + 10, user);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.removed.size(), 2u);
    EXPECT_EQ(fs::path(r.removed[0]).filename(), "20260501-120000-COM1.dat");  // oldest first
    EXPECT_EQ(fs::path(r.removed[1]).filename(), "20260501-120001-COM1.dat");
    for (const fs::path& p : users)
        EXPECT_TRUE(fs::exists(p)) << p;
    EXPECT_TRUE(fs::exists(plan));

    // The program's own folder: what earlier versions left there (no list yet)
    // is theirs, what the user puts there later is not; the plan is spared.
    const std::string own = BackupFolder(dir.Path().string());
    fs::create_directories(own);
    const fs::path earlier = fs::path(own) / "20200101-120000-COM1.dat";
    const fs::path planThere = fs::path(own) / "20190101-000000-COM1.dat";
    for (const fs::path& p : {earlier, planThere})
        ASSERT_TRUE(SaveDatFile(p.string(), Radio({"OLD"})).ok);
    BackupPruning program = Keep(1);
    program.spare = {planThere.string()};
    const BackupResult first = SaveBackup(own, Radio({}), "COM1", kNoon, program);
    EXPECT_EQ(first.removed, std::vector<std::string>{earlier.string()});
    const fs::path later = fs::path(own) / "20210101-120000-COM2.dat";
    ASSERT_TRUE(SaveDatFile(later.string(), Radio({"COPY"})).ok);
    const BackupResult next = SaveBackup(own, Radio({}), "COM1", kNoon + 60, program);
    EXPECT_EQ(next.removed, std::vector<std::string>{first.path});
    EXPECT_TRUE(fs::exists(planThere));
    EXPECT_TRUE(fs::exists(later));
    EXPECT_EQ(ListBackups(own, false).size(), 3u);  // the plan, the copy, the newest
}
