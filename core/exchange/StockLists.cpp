#include "core/exchange/StockLists.h"

#include <algorithm>

#include "core/app/IniFile.h"
#include "core/editor/CellCommit.h"
#include "core/exchange/CsvChannels.h"
#include "core/files/Csv.h"
#include "core/files/TextFile.h"
#include "core/platform/Files.h"
#include "core/radio/Bands.h"
#include "core/radio/RadioCatalogue.h"

namespace {

constexpr const char* kStockFolderName = "stock";
constexpr const char* kChineseTitle = "zh:";

std::string Join(const std::string& dir, const std::string& name)
{
    return platform::PathText(platform::PathOf(dir) / platform::PathOf(name));
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string StockFolder(const std::string& programDir)
{
    const std::string beside = Join(programDir, kStockFolderName);
    if (platform::Info(beside).type == platform::FileType::Directory)
        return beside;
    // Said as <prefix>/lib/..., not <prefix>/bin/../lib/...
    return platform::PathText(
        platform::PathOf(Join(Join(Join(programDir, ".."), std::string("lib/") + kPackageName), kStockFolderName))
            .lexically_normal());
}

std::vector<StockList> ListStockLists(const std::string& programDir)
{
    const std::string folder = StockFolder(programDir);
    std::vector<std::string> names = platform::ListFolder(folder);
    std::sort(names.begin(), names.end());
    std::vector<StockList> lists;
    for (const std::string& file : names) {
        if (!EndsWith(file, ".csv") || file.size() == 4)
            continue;
        StockList list;
        list.name = file.substr(0, file.size() - 4);
        list.path = Join(folder, file);
        const TextFileResult text = ReadBoundedTextFile(list.path);
        if (!text.ok)
            continue;  // a directory or a device named *.csv, or unreadable: no list
        list.comments = LeadingCsvComments(text.text).lines;
        list.title = list.comments.empty() ? list.name : list.comments.front();
        list.titleZh = list.title;
        for (const std::string& line : list.comments)
            if (line.rfind(kChineseTitle, 0) == 0) {
                list.titleZh = TrimBlanks(line.substr(std::char_traits<char>::length(kChineseTitle)));
                break;
            }
        lists.push_back(std::move(list));
    }
    return lists;
}

std::vector<std::string> StockLicenceLines(const StockList& list)
{
    std::vector<std::string> out;
    for (const std::string& line : list.comments) {
        if (line.rfind("Licence:", 0) == 0)
            out.push_back(line);
        else if (!out.empty() && !line.empty() && line[0] == ' ')
            out.push_back(TrimBlanks(line));
        else if (!out.empty())
            break;
    }
    return out;
}

std::vector<std::string> CsvListNotes(const std::string& text, bool chinese)
{
    const std::vector<std::string> lines = LeadingCsvComments(text).lines;
    std::vector<std::string> notes;
    std::string zhTitle;
    for (const std::string& line : lines) {
        if (line.rfind(kChineseTitle, 0) == 0) {
            zhTitle = TrimBlanks(line.substr(std::char_traits<char>::length(kChineseTitle)));
            continue;
        }
        if (!notes.empty() && !line.empty() && line[0] == ' ')
            notes.back() += " " + TrimBlanks(line);
        else if (!TrimBlanks(line).empty())
            notes.push_back(TrimBlanks(line));
    }
    if (chinese && !zhTitle.empty() && !notes.empty())
        notes.front() = zhTitle;
    return notes;
}

const StockList* FindStockList(const std::vector<StockList>& lists, const std::string& name)
{
    const auto it = std::find_if(lists.begin(), lists.end(), [&](const StockList& l) { return l.name == name; });
    return it == lists.end() ? nullptr : &*it;
}

std::string StockListNames(const std::vector<StockList>& lists)
{
    std::string out;
    for (const StockList& list : lists)
        out += (out.empty() ? "" : ", ") + list.name;
    return out.empty() ? std::string("none") : out;
}

std::vector<std::string> StockSummary::FittingTypes() const
{
    std::vector<std::string> out;
    for (const Fit& fit : types)
        if (channels > 0 && fit.channels == channels)
            out.push_back(fit.type);
    return out;
}

StockSummary SummarizeStockList(const std::string& text, const CRadioCatalogue& catalogue)
{
    StockSummary summary;
    CTextGrid grid;
    const ImportReport report = ImportCsv(text, DetectCsvFormat(text, CsvFormat::Chirp), grid, false);
    summary.ok = report.ok;
    summary.error = report.error;
    summary.channels = report.channels;
    summary.refused = report.rejected;
    const std::vector<std::string> types = catalogue.TypeNames();
    for (std::size_t t = 0; t < types.size(); ++t) {
        std::vector<BandRange> bands;
        for (const std::string& item : catalogue.Bands(static_cast<int>(t)))
            bands.push_back(ParseBandItem(item));
        summary.types.push_back({types[t], 0});
        for (int row = 1; row < kGridRows; ++row) {
            const std::string rx = grid.TextMatrix(row, kColRxFreq);
            if (rx.empty())
                continue;
            std::vector<long long> used = {ParseEnteredFrequency(rx).units};
            if (const std::string tx = grid.TextMatrix(row, kColTxFreq); !tx.empty())
                used.push_back(ParseEnteredFrequency(tx).units);
            const bool inside = std::all_of(used.begin(), used.end(), [&](long long units) {
                return std::any_of(bands.begin(), bands.end(), [&](const BandRange& b) {
                    return units >= b.low * 100000LL && units < b.high * 100000LL;
                });
            });
            summary.types.back().channels += inside ? 1 : 0;
        }
    }
    for (int row = 1; row < kGridRows; ++row)
        if (!grid.TextMatrix(row, kColRxFreq).empty() && grid.TextMatrix(row, kColTxFreq).empty())
            ++summary.receiveOnly;
    return summary;
}

std::string StockTypeMismatch(const StockSummary& summary, int type, const CRadioCatalogue& catalogue, bool chinese)
{
    if (!summary.ok || summary.channels == 0 || type < 0 || static_cast<std::size_t>(type) >= summary.types.size() ||
        summary.types[static_cast<std::size_t>(type)].channels == summary.channels)
        return {};
    std::string bands;
    for (const std::string& item : catalogue.Bands(type))
        bands += (bands.empty() ? "" : chinese ? "、" : ", ") + item;
    const std::string& name = summary.types[static_cast<std::size_t>(type)].type;
    const std::string count = std::to_string(summary.channels - summary.types[static_cast<std::size_t>(type)].channels);
    std::string suits;
    for (const std::string& fit : summary.FittingTypes())
        suits += (suits.empty() ? "" : chinese ? "、" : ", ") + fit;
    if (chinese)
        return "其中 " + count + " 个信道在 " + name + " 的频段（" + bands + "）之外" +
               (suits.empty() ? std::string() : "；它适用于 " + suits);
    return count + " of its " + std::to_string(summary.channels) + " channels lie outside the bands of the " + name +
           " (" + bands + ")" + (suits.empty() ? std::string() : "; it suits the " + suits);
}
