#include "core/exchange/ImportPreview.h"

#include "core/editor/CellCommit.h"

ImportPreview PreviewImport(const ITextGrid& current, const std::string& text, CsvFormat format, bool chinese,
                            const ImportOptions& options)
{
    ImportPreview preview;
    for (int row = 0; row < kGridRows; ++row)
        for (int col = 0; col < kGridCols; ++col)
            preview.result.SetTextMatrix(row, col, current.TextMatrix(row, col));
    preview.report = ImportCsv(text, format, preview.result, chinese, options);
    if (!preview.report.ok)
        return preview;
    for (int row = 1; row < kGridRows; ++row) {
        const bool before = !current.TextMatrix(row, kColRxFreq).empty();
        const bool after = !preview.result.TextMatrix(row, kColRxFreq).empty();
        bool same = true;
        for (int col = kColRxFreq; col <= kColName && same; ++col)
            same = current.TextMatrix(row, col) == preview.result.TextMatrix(row, col);
        preview.usedBefore += before ? 1 : 0;
        if (!before && after)
            preview.added.push_back(row);
        else if (before && !after)
            preview.removed.push_back(row);
        else if (!same)
            preview.changed.push_back(row);
    }
    return preview;
}

std::string EmptiesMostText(const ImportPreview& preview, bool chinese)
{
    if (chinese)
        return "导入会清空正在使用的 " + std::to_string(preview.usedBefore) + " 个信道中的 " +
               std::to_string(preview.removed.size()) + " 个（文件给出 " + std::to_string(preview.report.channels) +
               " 个）";
    return "the import would empty " + std::to_string(preview.removed.size()) + " of the " +
           std::to_string(preview.usedBefore) + " channels in use (the file gives " +
           std::to_string(preview.report.channels) + ")";
}

std::string FitsNoBandText(const ImportPreview& preview, bool chinese)
{
    const std::string n = std::to_string(preview.report.Count(ImportReason::OutsideBands));
    if (chinese)
        return "文件中的 " + n + " 个信道没有一个在电台的频段内（" + BandRangesText(true) +
               "）：该频道表不适用于本机型";
    return "none of the " + n + " channels of the file lies in the radio's bands (" + BandRangesText(false) +
           "): it does not fit this radio type";
}
