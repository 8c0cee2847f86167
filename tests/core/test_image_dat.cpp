#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/radio/DatFile.h"
#include "core/radio/Image.h"
#include "core/files/TextFile.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using testenv::TempDir;

void WriteBytes(const std::string& path, std::size_t n, std::uint8_t value)
{
    std::ofstream f(path, std::ios::binary);
    for (std::size_t i = 0; i < n; ++i)
        f.put(static_cast<char>(value + i));
}

}  // namespace

TEST(NewDocument, HoldsDefaultsAndFFElsewhere)
{
    const Image img = NewDocumentImage();
    const std::pair<int, int> expected[] = {{0x1FC1, 0x01}, {0x1FC3, 0x01}, {0x1FD6, 0x00}, {0x1FD7, 0x00},
                                            {0x1FE0, 0x04}, {0x1FE1, 0xD4}, {0x1FE2, 0x21}, {0x1FE4, 0x00},
                                            {0x1FE5, 0x01}, {0x1FE7, 0x00}, {0x1FF0, 0x13}, {0x1FF1, 0x17},
                                            {0x1FF2, 0x09}, {0x1FF3, 0x40}, {0x1FF4, 0x51}, {0x1FF5, 0x09}};
    Image want;
    want.fill(0xFF);
    for (auto [off, val] : expected)
        want[off] = static_cast<std::uint8_t>(val);
    for (std::size_t i = 0; i < kImageSize; ++i)
        ASSERT_EQ(img[i], want[i]) << "offset " << i;
}

TEST(DatFile, RoundTripsExactBytesAndIgnoresTail)
{
    TempDir dir;
    Image img;
    for (std::size_t i = 0; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const std::string path = dir.File("radio.dat");
    ASSERT_TRUE(SaveDatFile(path, img).ok);
    EXPECT_EQ(fs::file_size(path), kImageSize);
    Image back{};
    ASSERT_TRUE(LoadDatFile(path, back).ok);
    EXPECT_EQ(back, img);

    // A longer file: its first 8192 bytes are the image.
    const std::string longer = dir.File("long.dat");
    WriteBytes(longer, 9000, 0);
    ASSERT_TRUE(LoadDatFile(longer, back).ok);
    for (std::size_t i = 0; i < kImageSize; ++i)
        ASSERT_EQ(back[i], static_cast<std::uint8_t>(i));
}

TEST(DatFile, RefusesShortEmptyAndMissingFilesWithoutTouchingImage)
{
    TempDir dir;
    Image img = NewDocumentImage();
    const Image before = img;
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{100}, kImageSize - 1}) {
        const std::string path = dir.File("short" + std::to_string(size) + ".dat");
        WriteBytes(path, size, 0x11);
        const DatResult r = LoadDatFile(path, img);
        EXPECT_FALSE(r.ok) << size;
        EXPECT_NE(r.error.find(path), std::string::npos) << r.error;
        EXPECT_NE(r.error.find("too short"), std::string::npos) << r.error;
        EXPECT_EQ(img, before);
    }
    const DatResult missing = LoadDatFile(dir.File("nope.dat"), img);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("nope.dat"), std::string::npos);
    EXPECT_EQ(img, before);
}

TEST(DatFile, FailedWriteKeepsThePreviousFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "no file-size limit to make a write fail on Windows";
#else
    // A file-size limit below 8192 bytes makes the write itself fail (EFBIG),
    // as a full disk would; the old file must survive intact.
    TempDir dir;
    const std::string path = dir.File("radio.dat");
    Image old;
    old.fill(0x5A);
    ASSERT_TRUE(SaveDatFile(path, old).ok);

    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Image next;
    next.fill(0x00);
    const DatResult r = SaveDatFile(path, next);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(path), std::string::npos);
    Image back{};
    ASSERT_TRUE(LoadDatFile(path, back).ok);
    EXPECT_EQ(back, old);
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.File("")))
        ++entries;
    EXPECT_EQ(entries, 1) << "temporary file left behind";
#endif
}

TEST(DatFile, SaveIntoMissingDirectoryFailsWithItsName)
{
    TempDir dir;
    const std::string path = dir.File("no/such/dir/radio.dat");
    const DatResult r = SaveDatFile(path, NewDocumentImage());
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(path), std::string::npos);
}

TEST(DatFile, SaveOverADirectoryFailsAndLeavesNoTemporaryFile)
{
    TempDir dir;
    const std::string target = dir.File("isdir");
    fs::create_directory(target);
    fs::create_directory(target + "/x");  // rename cannot replace a non-empty directory
    EXPECT_FALSE(SaveDatFile(target, NewDocumentImage()).ok);
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.File("")))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(DatFile, LoadsOnlyRegularFilesWithTheTextReadersWords)
{
#ifdef _WIN32
    GTEST_SKIP() << "/dev files and FIFOs are POSIX";
#else
    TempDir dir;
    const std::string fifo = dir.File("fifo"), folder = dir.File("folder");
    fs::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A FIFO holding a whole image: reading it would not block, and is still refused.
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    const Image bytes{};
    ASSERT_EQ(::write(writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    const std::string special = "is not a regular file but a device, FIFO or socket; give a file";
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/zero", special}, {"/dev/full", special}, {fifo, special}, {folder, "is a directory, not a file"}};
    for (const auto& [path, reason] : cases) {
        Image img = NewDocumentImage();
        const DatResult r = LoadDatFile(path, img);
        EXPECT_FALSE(r.ok) << path;
        EXPECT_EQ(r.error, "\"" + path + "\" " + reason);
        EXPECT_EQ(r.error, ReadBoundedTextFile(path).error);
        EXPECT_EQ(img, NewDocumentImage()) << path;
    }
    ::close(writer);
#endif
}

TEST(OutputRules, AnOutputIsNeverAnInputAndReplacesAnotherKindOnlyWithForce)
{
    TempDir dir;
    const std::string in = dir.File("in.dat"), other = dir.File("other.dat"), csv = dir.File("list.csv"),
                      pdf = dir.File("report.pdf"), empty = dir.File("empty"), fresh = dir.File("fresh.csv");
    ASSERT_TRUE(SaveDatFile(in, NewDocumentImage()).ok);
    ASSERT_TRUE(SaveDatFile(other, NewDocumentImage()).ok);
#ifdef _WIN32
    // Making a symbolic link takes a privilege there: a second hard link stands in.
    fs::create_hard_link(in, dir.File("link.dat"));
#else
    fs::create_symlink("in.dat", dir.File("link.dat"));
#endif
    fs::create_hard_link(in, dir.File("hard.dat"));
    std::ofstream(csv) << "Location,Name,Frequency\n0,中文,146.52\n";
    std::ofstream(pdf) << "%PDF-1.4\n";
    std::ofstream{empty};
    const struct {
        std::string output;
        std::string input;
        bool ok;
    } same[] = {
        {in, in, false},
        {dir.File("link.dat"), in, false},
        {dir.File("hard.dat"), dir.File("link.dat"), false},
        {fresh, dir.File("./fresh.csv"), false},  // neither exists yet: the same name
        {other, in, true},
        {fresh, in, true},
    };
    for (const auto& c : same) {
        const DatResult r = CheckOutputNotInput(c.output, {csv, c.input});
        EXPECT_EQ(r.ok, c.ok) << c.output << " / " << c.input;
        if (!c.ok) {
            EXPECT_NE(r.error.find("\"" + c.output + "\""), std::string::npos) << r.error;
        }
    }
    const struct {
        std::string path;
        FileKind writes;
        bool ok;
    } kinds[] = {
        {csv, FileKind::Text, true},  {in, FileKind::Text, false},  {pdf, FileKind::Text, false},
        {pdf, FileKind::Pdf, true},   {csv, FileKind::Pdf, false},  {empty, FileKind::Pdf, true},
        {fresh, FileKind::Pdf, true}, {in, FileKind::Binary, true}, {csv, FileKind::Binary, false},
    };
    for (const auto& c : kinds) {
        EXPECT_EQ(CheckOutputKind(c.path, c.writes, false).ok, c.ok) << c.path;
        EXPECT_TRUE(CheckOutputKind(c.path, c.writes, true).ok) << c.path;
    }
}
