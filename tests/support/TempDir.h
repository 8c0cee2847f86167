#pragma once
// A throw-away directory of the test's own (mode 0700, or 0777 when `shared`
// with the user a test switches to). It goes with everything in it, also what a
// test left read-only.
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace testenv {

class TempDir {
public:
    explicit TempDir(bool shared = false)
    {
        namespace fs = std::filesystem;
        // A name nobody holds yet: create_directory says whether it made it.
        const fs::path base = fs::temp_directory_path();
        std::random_device seed;
        std::mt19937_64 random(seed());
        static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            std::string name = "progtest";
            for (int i = 0; i < 6; ++i)
                name += kChars[random() % (sizeof kChars - 1)];
            std::error_code ec;
            if (fs::create_directory(base / name, ec))
                m_path = base / name;
        }
        if (m_path.empty())
            throw std::runtime_error("no temporary directory in " + base.string());
        fs::permissions(m_path, shared ? fs::perms::all : fs::perms::owner_all);
    }
    ~TempDir()
    {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        for (auto it = fs::recursive_directory_iterator(m_path, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
#ifdef _WIN32
            // A read-only file cannot be removed there: it loses the attribute first.
            else if (!it->is_symlink(ec))
                fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
#endif
        }
        fs::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

}  // namespace testenv
