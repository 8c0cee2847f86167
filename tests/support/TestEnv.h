#pragma once
// What the core and window test fixtures share: a Program.ini of their own in
// a throw-away directory, the radio types and bands it lists, the language
// values start-up sets, and the band limits before the first document.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/radio/Bands.h"
#include "tests/support/TempDir.h"

namespace testenv {

// The [Setup] lines of the two radio types and their bands; `uhfBands` is the
// band list of the second type.
inline std::string RadioTypeLines(const std::string& uhfBands = "400-470MHz|430-440MHz", const std::string& eol = "\n")
{
    return "Type1=TR-5V" + eol + "Type2=TR-5U" + eol + "Field1=136-174MHz|144-148MHz" + eol + "Field2=" + uhfBands +
           eol;
}

// `text` as Program.ini in a directory of its own, loaded into `ini` (ignore
// case, no write back); the directory and what else it holds go with it.
class ProgramIni {
public:
    explicit ProgramIni(const std::string& text, CIniFile& ini = theIniFile)
    {
        std::ofstream(Path("Program.ini"), std::ios::binary) << text;
        loaded = ini.Load(Path("Program.ini"), false, true, false);
    }

    std::string Path(const std::string& name) const { return m_dir.File(name); }
    bool loaded = false;

private:
    TempDir m_dir;
};

// g_bChinese and g_strLanguage as start-up sets them for either language.
inline void SetLanguage(bool chinese)
{
    g_bChinese = chinese ? 1 : 0;
    g_strLanguage = chinese ? "Chinese" : "English";
}

// The band limits before the first document: 136-175 MHz and 400-520 MHz.
inline void ResetBandLimits()
{
    g_nVhfLow = 13600000;
    g_nVhfHigh = 17500000;
    g_nUhfLow = 40000000;
    g_nUhfHigh = 52000000;
}

// Puts back the band limits that were in force when it was made.
class BandLimitsGuard {
public:
    BandLimitsGuard() = default;
    ~BandLimitsGuard()
    {
        g_nVhfLow = m_saved[0];
        g_nVhfHigh = m_saved[1];
        g_nUhfLow = m_saved[2];
        g_nUhfHigh = m_saved[3];
    }
    BandLimitsGuard(const BandLimitsGuard&) = delete;
    BandLimitsGuard& operator=(const BandLimitsGuard&) = delete;

private:
    std::int32_t m_saved[4] = {g_nVhfLow, g_nVhfHigh, g_nUhfLow, g_nUhfHigh};
};

}  // namespace testenv
