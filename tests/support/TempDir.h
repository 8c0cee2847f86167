#pragma once
// A throw-away directory of the test's own (mode 0700, or 0777 when `shared`
// with the user a test switches to). It goes with everything in it, also what a
// test left read-only.
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace testenv {

class TempDir {
public:
    explicit TempDir(bool shared = false)
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "progtestXXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            throw std::runtime_error("no temporary directory at " + tmpl);
        m_path = tmpl;
        if (shared)
            std::filesystem::permissions(m_path, std::filesystem::perms::all);
    }
    ~TempDir()
    {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        for (auto it = fs::recursive_directory_iterator(m_path, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            if (it->is_directory(ec) && !it->is_symlink(ec))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
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
