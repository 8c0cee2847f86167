#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "core/radio/DatFile.h"
#include "core/radio/Image.h"

namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir()
    {
        char tmpl[] = "/tmp/progcoreXXXXXX";
        m_path = ::mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(m_path); }
    std::string File(const std::string& name) const { return (fs::path(m_path) / name).string(); }

private:
    std::string m_path;
};

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
    const std::pair<int, int> expected[] = {
        {0x1FC1, 0x01}, {0x1FC3, 0x01}, {0x1FD6, 0x00}, {0x1FD7, 0x00}, {0x1FE0, 0x04},
        {0x1FE1, 0xD4}, {0x1FE2, 0x21}, {0x1FE4, 0x00}, {0x1FE5, 0x01}, {0x1FE7, 0x00},
        {0x1FF0, 0x13}, {0x1FF1, 0x17}, {0x1FF2, 0x09}, {0x1FF3, 0x40}, {0x1FF4, 0x51},
        {0x1FF5, 0x09}};
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
    // A file-size limit below 8192 bytes makes the write itself fail (EFBIG),
    // as a full disk would; the old file must survive intact.
    TempDir dir;
    const std::string path = dir.File("radio.dat");
    Image old;
    old.fill(0x5A);
    ASSERT_TRUE(SaveDatFile(path, old).ok);

    struct rlimit saved{};
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
