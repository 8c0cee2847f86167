// Times the CSV import of a very long channel list: a file of `rows` lines
// (800,000 by default, about 13 MB), read, its layout told and imported into
// the channels as progtool import and the window's preview do, with the peak
// memory of the process. --keep leaves the file for timing progtool itself
// (/usr/bin/time -v progtool import FILE.csv x.dat).
//   bench_import [rows] [--keep]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "core/radio/Bands.h"
#include "core/exchange/ImportPreview.h"
#include "core/radio/ChannelCodec.h"
#include "core/files/TextFile.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

long PeakKilobytes()
{
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    return use.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv)
{
    long rows = 800000;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0)
            keep = true;
        else
            rows = std::atol(argv[i]);
    }
    char tmpl[] = "/tmp/bench_importXXXXXX";
    const std::string dir = ::mkdtemp(tmpl);
    const std::string path = dir + "/long.csv";
    {
        std::ofstream out(path, std::ios::binary);
        out << "Location,Frequency\n";
        for (long i = 0; i < rows; ++i)
            out << i << ",146.52500\n";
    }
    std::printf("%ld rows, %ju bytes; peak before the import %ld kB\n", rows,
                static_cast<std::uintmax_t>(std::filesystem::file_size(path)), PeakKilobytes());

    g_nVhfLow = 13000000;
    g_nVhfHigh = 18000000;
    g_nUhfLow = 40000000;
    g_nUhfHigh = 52000000;
    const auto t0 = std::chrono::steady_clock::now();
    const TextFileResult text = ReadBoundedTextFile(path);
    const double read = Seconds(t0);
    CTextGrid grid;
    FillGridLabels(grid, false);
    const CsvFormat format = DetectCsvFormat(text.text, CsvFormat::Grid);
    const ImportPreview preview = PreviewImport(grid, text.text, format, false);
    const double total = Seconds(t0);
    std::printf("read %s in %.3f s; imported %d channel(s), %d refused, %zu listed, in %.3f s all told\n",
                text.ok ? "whole" : text.error.c_str(), read, preview.report.channels, preview.report.rejected,
                preview.report.issues.size(), total);
    std::printf("peak memory %ld kB\n", PeakKilobytes());
    if (keep)
        std::printf("kept %s\n", path.c_str());
    else
        std::filesystem::remove_all(dir);
    return 0;
}
