#include <algorithm>
#include <iostream>

#include "cli/Common.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/radio/RadioCatalogue.h"
#include "core/radio/CsvChannels.h"

namespace cli {

int CmdShow(const std::vector<std::string>& argv)
{
    const Args args(argv, {"--lang"}, {"--csv"});
    args.RequirePositional(1, "FILE.dat");
    SetUpLanguage(args);
    const std::string& path = args.Positional()[0];
    ChannelDocument doc;
    if (!LoadDocument(path, doc))
        return kExitFailed;
    if (args.Has("--csv")) {
        std::cout << GridToCsv(doc.grid);
        return kExitOk;
    }

    const bool zh = g_bChinese != 0;
    const int type = doc.image[mem::kRadioType];
    const int band = doc.image[mem::kBandIndex];
    const CRadioCatalogue catalogue(theIniFile);
    const std::string typeName = catalogue.TypeName(type);
    const std::string bandName = catalogue.Band(type, band);
    std::cout << "VHF: " << doc.ranges.vhfLow << " - " << doc.ranges.vhfHigh << "   UHF: " << doc.ranges.uhfLow << " - " << doc.ranges.uhfHigh
              << "\n";
    std::cout << (zh ? "机型: " : "Type: ") << type;
    if (!typeName.empty())
        std::cout << " (" << typeName << ")";
    std::cout << "   " << (zh ? "频段: " : "Band: ") << band;
    if (!bandName.empty())
        std::cout << " (" << bandName << ")";
    std::cout << "\n";

    // The window hides the Cha Lock column; so does this table.
    std::vector<int> cols;
    for (int c = 0; c < kGridCols; ++c)
        if (c != kColLock)
            cols.push_back(c);
    std::vector<int> rows = {0};
    for (int r = 1; r < kGridRows; ++r)
        if (!doc.grid.TextMatrix(r, kColRxFreq).empty())
            rows.push_back(r);
    std::vector<int> width(kGridCols, 0);
    for (int r : rows)
        for (int c : cols)
            width[c] = std::max(width[c], DisplayWidth(doc.grid.TextMatrix(r, c)));
    for (int r : rows) {
        std::string line;
        for (std::size_t k = 0; k < cols.size(); ++k) {
            const std::string cell = doc.grid.TextMatrix(r, cols[k]);
            line += k + 1 < cols.size() ? PadRight(cell, width[cols[k]] + 2) : cell;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        std::cout << line << "\n";
    }
    std::cout << (rows.size() - 1) << (zh ? " 个信道\n" : " channels used\n");
    return kExitOk;
}

}  // namespace cli
