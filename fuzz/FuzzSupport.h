#pragma once
// What every fuzz target shares: a broken invariant aborts with its reason (so
// libFuzzer keeps the input as a crash), a scratch directory for the loaders
// that take a path, and the process-wide state (language, band limits) each
// run starts from.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <random>
#else
#include <unistd.h>
#endif

#include "core/app/Globals.h"
#include "core/radio/Bands.h"
#include "core/radio/TextGrid.h"

namespace fuzz {

[[noreturn]] inline void Broken(const char* what, const std::string& detail, const char* file, int line)
{
    std::fprintf(stderr, "\n==== invariant broken at %s:%d: %s\n%s\n", file, line, what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

// Reads the leading control bytes of an input; zeros once it runs out.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::string Rest() const
    {
        return m_pos < m_size ? std::string(reinterpret_cast<const char*>(m_data + m_pos), m_size - m_pos)
                              : std::string();
    }
    std::size_t Remaining() const { return m_pos < m_size ? m_size - m_pos : 0; }
    const std::uint8_t* Here() const { return m_data + m_pos; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// One private directory per process, removed at exit.
inline const std::string& ScratchDir()
{
    static const std::string dir = [] {
#ifdef _WIN32
        // No mkdtemp there (the replays run under Wine): a name nobody holds yet.
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::random_device seed;
        std::string tmpl;
        for (int attempt = 0; attempt < 100 && tmpl.empty(); ++attempt) {
            const std::filesystem::path p = base / ("progfuzz" + std::to_string(seed()));
            std::error_code ec;
            if (std::filesystem::create_directory(p, ec))
                tmpl = p.string();
        }
        if (tmpl.empty())
            Broken("no scratch directory", base.string(), __FILE__, __LINE__);
#else
        const char* tmp = std::getenv("TMPDIR");
        std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/progfuzzXXXXXX";
        if (!::mkdtemp(tmpl.data()))
            Broken("no scratch directory", tmpl, __FILE__, __LINE__);
#endif
        static std::string keep = tmpl;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(keep, ec);
        });
        return tmpl;
    }();
    return dir;
}

inline std::string ScratchFile(const std::string& name) { return ScratchDir() + "/" + name; }

inline bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline void SetLanguage(bool chinese)
{
    g_bChinese = chinese ? 1 : 0;
    g_strLanguage = chinese ? "Chinese" : "English";
}

// Band limits in 10 Hz units. `wide` gives what edit ranges read from a .dat
// may allow (0 to 1665 MHz), else the factory bands.
inline void SetBandLimits(bool wide)
{
    g_nVhfLow = wide ? 0 : 13600000;
    g_nVhfHigh = wide ? 50000000 : 17400000;
    g_nUhfLow = wide ? 40000000 : 40000000;
    g_nUhfHigh = wide ? 166500000 : 52000000;
}

// The frequencies a record can hold: 10.00000 to 999.99999 MHz.
inline bool StorableUnits(long long units) { return units >= 1000000 && units <= 99999999; }

// A channel row's nine cells in one string, for comparisons and messages.
inline std::string RowText(const ITextGrid& g, int row)
{
    std::string s;
    for (int col = kColRxFreq; col <= kColName; ++col)
        s += "|" + g.TextMatrix(row, col);
    return s;
}

}  // namespace fuzz

#define FUZZ_CHECK(cond, detail)                                 \
    do {                                                         \
        if (!(cond))                                             \
            ::fuzz::Broken(#cond, (detail), __FILE__, __LINE__); \
    } while (0)
