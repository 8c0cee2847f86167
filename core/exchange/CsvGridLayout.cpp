#include "core/exchange/CsvGridLayout.h"

#include "core/radio/ChannelCodec.h"
#include "core/files/Csv.h"
#include "core/exchange/CsvLayout.h"

namespace {

int RowFromLabel(const std::string& label)
{
    const std::string t = TrimBlanks(label);
    if (EqualsNoCase(t, "Pr"))
        return 1;
    long v = 0;
    if (ParseWholeNumber(t, v) && v >= 1 && v <= kGridRows - 2)
        return static_cast<int>(v) + 1;
    return 0;
}

bool ChannelFromGridRow(const std::vector<std::string>& f, CsvChannel& ch, std::string& why, ImportReason& kind,
                        bool zh)
{
    ch.rx = TrimBlanks(f[kColRxFreq]);
    ch.tx = TrimBlanks(f[kColTxFreq]);
    if (!ParseTypedTone(f[kColRxTone], ch.rxTone, why, zh) || !ParseTypedTone(f[kColTxTone], ch.txTone, why, zh)) {
        kind = ImportReason::ToneUnsupported;
        return false;
    }
    const int flagCols[] = {kColPower, kColLock, kColScanAdd, kColBandwidth};
    ChannelFlag* targets[] = {&ch.power, &ch.lock, &ch.scan, &ch.bandwidth};
    for (int k = 0; k < 4; ++k) {
        const std::string cell = TrimBlanks(f[flagCols[k]]);
        if (cell.empty())
            continue;
        *targets[k] = FlagOfTypedWord(flagCols[k], cell);
        if (*targets[k] == ChannelFlag::None) {
            const char* words = flagCols[k] == kColPower     ? "High, Middle, Low"
                                : flagCols[k] == kColLock    ? "Lock, Unlock"
                                : flagCols[k] == kColScanAdd ? "Yes, No"
                                                             : "Wide, Narrow";
            why = zh ? GridHeading(flagCols[k], true) + " “" + cell + "” 不是 " + words + " 之一"
                     : GridHeading(flagCols[k], false) + " \"" + cell + "\" is not one of " + words;
            return false;
        }
    }
    ch.name = f[kColName];
    return true;
}

bool IsHeadingRow(const std::vector<std::string>& f)
{
    if (f.size() < 2)
        return false;
    return TrimBlanks(f[kColRxFreq]) == GridHeading(kColRxFreq, false) ||
           TrimBlanks(f[kColRxFreq]) == GridHeading(kColRxFreq, true);
}

class GridLayoutReader : public CsvLayoutReader {
public:
    explicit GridLayoutReader(bool chinese) : m_bChinese(chinese) {}

    bool ReadHeader(const std::vector<std::string>& fields, std::string& why) override
    {
        if (IsHeadingRow(fields))
            return true;
        why = m_bChinese ? "第一行必须是信道表的标题（,Rx Frequency,Tx Frequency,...）"
                         : "the first line must be the grid headings (,Rx Frequency,Tx Frequency,...)";
        return false;
    }

    std::size_t FieldCount() const override { return kGridCols; }

    int RowOf(const std::vector<std::string>& f, std::string& why, ImportReason& kind) const override
    {
        const int row = RowFromLabel(f[kColLabel]);
        if (!row) {
            why = m_bChinese ? "行标签 “" + f[kColLabel] + "” 不是 Pr 或 1 至 199"
                             : "row label \"" + f[kColLabel] + "\" is not Pr or 1 to 199";
            kind = ImportReason::LocationOutside;
        }
        return row;
    }

    Line ReadChannel(const std::vector<std::string>& f, CsvChannel& ch, std::vector<std::string>& notes,
                     std::string& why, ImportReason& kind) const override
    {
        if (TrimBlanks(f[kColRxFreq]).empty()) {
            // An empty channel takes no settings, as in the grid.
            bool other = false;
            for (int c = kColTxFreq; c <= kColName; ++c)
                other = other || !TrimBlanks(f[c]).empty();
            if (other)
                notes.push_back(m_bChinese ? "没有接收频率：空信道的其他单元格被舍弃"
                                           : "no Rx Frequency: the other cells of an empty channel are dropped");
            return Line::Empty;
        }
        return ChannelFromGridRow(f, ch, why, kind, m_bChinese) ? Line::Channel : Line::Refused;
    }

private:
    bool m_bChinese;
};

}  // namespace

std::unique_ptr<CsvLayoutReader> MakeGridLayoutReader(bool chinese)
{
    return std::make_unique<GridLayoutReader>(chinese);
}

std::string GridToCsv(const ITextGrid& grid)
{
    std::string out;
    std::vector<std::string> fields(kGridCols);
    for (int row = 0; row < kGridRows; ++row) {
        for (int col = 0; col < kGridCols; ++col)
            fields[col] =
                row > 0 && col == kColName ? FormulaSafeText(grid.TextMatrix(row, col)) : grid.TextMatrix(row, col);
        out += CsvLine(fields);
    }
    return out;
}
