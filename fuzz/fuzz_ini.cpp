// Program.ini load: any bytes load; what was loaded survives a save and a
// reload unchanged (sections, keys and values, in their order), whether the
// whole table is written or only the changed lines are.
#include <string>
#include <utility>
#include <vector>

#include "core/app/IniFile.h"
#include "fuzz/FuzzSupport.h"

namespace {

using Dump = std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>;

std::string Show(const Dump& d)
{
    std::string out;
    for (const auto& [name, keys] : d) {
        out += "[" + name + "]\n";
        for (const auto& [k, v] : keys)
            out += "  " + k + " = " + v + "\n";
    }
    return out;
}

// Section names and key names as the file lists them; values as GetString
// finds them (first section and key of the name).
Dump DumpIni(const CIniFile& ini)
{
    Dump d;
    std::vector<std::string> sections{""};  // the unnamed section first
    ini.GetSectionNames(sections);
    for (const std::string& s : sections) {
        std::vector<std::string> keys;
        ini.GetKeyNames(s, keys);
        d.emplace_back(s, std::vector<std::pair<std::string, std::string>>{});
        for (const std::string& k : keys)
            d.back().second.emplace_back(k, ini.GetString(s, k, "\x01missing"));
    }
    return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const std::uint8_t flags = in.Byte();
    const bool ignoreCase = flags & 1;
    const bool keepLayout = flags & 2;
    const std::string path = fuzz::ScratchFile("Program.ini");
    FUZZ_CHECK(fuzz::WriteFile(path, in.Rest()), path);

    Dump before;
    {
        CIniFile ini;
        ini.SetKeepLayout(keepLayout);
        FUZZ_CHECK(ini.Load(path, false, ignoreCase, false), path);
        // A change marks the file modified so that Save writes all of it; an
        // existing key's line is rewritten too.
        ini.SetString("Fuzz", "Saved", "1");
        std::vector<std::string> sections, keys;
        ini.GetSectionNames(sections);
        if (!sections.empty())
            ini.GetKeyNames(sections.front(), keys);
        if (!keys.empty())
            ini.SetString(sections.front(), keys.back(), "changed");
        before = DumpIni(ini);
        FUZZ_CHECK(!ini.Save(false).size() && !ini.SaveFailed(), ini.SaveError());
    }
    CIniFile again;
    FUZZ_CHECK(again.Load(path, false, ignoreCase, false), path);
    const Dump after = DumpIni(again);
    FUZZ_CHECK(after == before, "before save:\n" + Show(before) + "after reload:\n" + Show(after));
    return 0;
}
