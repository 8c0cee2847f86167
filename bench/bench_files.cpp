// Times loading a large Program.ini (many sections, and one very long line)
// and reading a CSV-sized text file with the bounded reader.
//   bench_files [sections]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "core/app/IniFile.h"
#include "core/files/TextFile.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

}  // namespace

int main(int argc, char** argv)
{
    const int sections = argc > 1 ? std::atoi(argv[1]) : 100000;
    char tmpl[] = "/tmp/bench_filesXXXXXX";
    const std::string dir = ::mkdtemp(tmpl);

    std::string text;
    for (int i = 0; i < sections; ++i)
        text += "[Section" + std::to_string(i) + "]\nKey=" + std::to_string(i) + "\n";
    WriteText(dir + "/many.ini", text);
    auto t0 = std::chrono::steady_clock::now();
    {
        CIniFile ini(4);
        const bool ok = ini.Load(dir + "/many.ini", false, true, false);
        std::printf("Program.ini, %d sections (%zu bytes): %s in %.3f s\n", sections, text.size(),
                    ok ? "loaded" : "refused", Seconds(t0));
    }

    const std::string longLine = "[S]\nKey=" + std::string(kTextFileLimit - 64, 'x') + "\n";
    WriteText(dir + "/long.ini", longLine);
    t0 = std::chrono::steady_clock::now();
    {
        CIniFile ini(4);
        const bool ok = ini.Load(dir + "/long.ini", false, true, false);
        std::printf("Program.ini, one line of %zu bytes: %s in %.3f s\n", longLine.size(), ok ? "loaded" : "refused",
                    Seconds(t0));
    }

    WriteText(dir + "/big.csv", std::string(kTextFileLimit, 'x'));
    t0 = std::chrono::steady_clock::now();
    const TextFileResult r = ReadBoundedTextFile(dir + "/big.csv");
    std::printf("text file at the %zu-byte limit: %s in %.3f s\n", kTextFileLimit, r.ok ? "read" : "refused",
                Seconds(t0));
    std::filesystem::remove_all(dir);
    return 0;
}
