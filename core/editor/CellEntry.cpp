#include "core/editor/CellEntry.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/editor/CellCommit.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/ChannelText.h"
#include "core/files/Csv.h"
#include "core/radio/Decimal.h"

namespace {

CellRefusal RefusalOf(int messageId)
{
    switch (messageId) {
    case 0: return CellRefusal::None;
    case kMsgOutOfRange: return CellRefusal::OutOfRange;
    case kMsgStepError: return CellRefusal::OffStep;
    default: return CellRefusal::NotAFrequency;
    }
}

void Commit(ITextGrid& grid, int row, int col, const std::string& text, bool chinese)
{
    CommitCell(grid, row, col, text, CommitTrigger::LeaveCell, chinese);
}

// A tone exactly as the grid shows a code a record holds (the list's or not):
// stored and shown again, it is the same text.
bool IsShownTone(const std::string& text)
{
    std::uint8_t low = 0, high = 0;
    EncodeTone(text, low, high);
    return high != 0xFF && DecodeTone(low, high, false) == text;
}

// The list word or tone `text` names in column `col`, in the given language; "" when none.
std::string ListWord(int col, const std::string& text, bool chinese)
{
    if (col == kColRxTone || col == kColTxTone) {
        ChannelTone tone;
        std::string why;
        if (ParseTypedTone(text, tone, why))
            return ToneCellText(tone, chinese);
        return IsShownTone(text) ? text : std::string();
    }
    return FlagWord(FlagOfTypedWord(col, text), chinese);
}

constexpr int kBandRecordSize = 3;

void PutChannelBytes(Image& image, int row, const ChannelBytes& c)
{
    const int slot = row - 1;
    std::array<std::uint8_t, kBandRecordSize> band;
    std::copy_n(image.data() + mem::kSelectedBand, kBandRecordSize, band.data());
    std::copy(c.record.begin(), c.record.end(), image.data() + mem::kChannelBase + mem::kChannelSize * slot);
    std::copy(c.name.begin(), c.name.end(), image.data() + mem::kNameBase + mem::kNameSize * slot);
    std::copy(band.begin(), band.end(), image.data() + mem::kSelectedBand);
}

bool IsFrequencyColumn(int col) { return col == kColRxFreq || col == kColTxFreq; }

std::array<std::string, kColName> RowTexts(const ITextGrid& grid, int row)
{
    std::array<std::string, kColName> texts;
    for (int col = kColRxFreq; col <= kColName; ++col)
        texts[static_cast<std::size_t>(col - 1)] = grid.TextMatrix(row, col);
    return texts;
}

bool IsHeading(const std::string& field, int& col)
{
    const std::string t = TrimBlanks(field);
    for (int c = kColLabel; c <= kColName; ++c)
        for (bool chinese : {false, true})
            if (!t.empty() && EqualsNoCase(t, GridHeading(c, chinese))) {
                col = c;
                return true;
            }
    return false;
}

// A text cut into lines of fields; quoted fields may hold separators, quotes
// (doubled) and line ends. sep 0: one field per line.
TextBlock Split(const std::string& in, char sep)
{
    TextBlock rows;
    std::vector<std::string> fields;
    std::string field;
    std::size_t i = 0;
    const std::size_t n = in.size();
    bool atFieldStart = true;
    while (i < n) {
        const char c = in[i];
        if (atFieldStart && c == '"' && sep != 0) {
            // A quoted field runs to the quote that is not doubled.
            std::size_t j = i + 1;
            std::string quoted;
            bool closed = false;
            while (j < n) {
                if (in[j] == '"') {
                    if (j + 1 < n && in[j + 1] == '"') {
                        quoted += '"';
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                quoted += in[j++];
            }
            if (closed) {
                field += quoted;
                i = j;
                atFieldStart = false;
                continue;
            }
        }
        atFieldStart = false;
        if (sep != 0 && c == sep) {
            fields.push_back(std::move(field));
            field.clear();
            atFieldStart = true;
            ++i;
        } else if (c == '\r' || c == '\n') {
            fields.push_back(std::move(field));
            field.clear();
            rows.push_back(std::move(fields));
            fields.clear();
            atFieldStart = true;
            i += (c == '\r' && i + 1 < n && in[i + 1] == '\n') ? 2 : 1;
        } else {
            field += c;
            ++i;
        }
    }
    if (!atFieldStart || !field.empty() || !fields.empty()) {
        fields.push_back(std::move(field));
        rows.push_back(std::move(fields));
    }
    // Spreadsheets end the last line too; blank lines at the end carry nothing.
    while (!rows.empty() && rows.back().size() == 1 && rows.back()[0].empty())
        rows.pop_back();
    return rows;
}

std::string QuotedField(const std::string& text)
{
    if (text.find_first_of("\t\r\n") == std::string::npos && (text.empty() || text.front() != '"'))
        return text;
    return QuotedCsvText(text);
}

std::string LowerCopy(const std::string& s) { return LowerAscii(s); }

}  // namespace

CellRefusal EnterCellText(ITextGrid& grid, int row, int col, const std::string& text, bool chinese)
{
    if (row < 1 || row >= kGridRows || col < kColRxFreq || col > kColName)
        return CellRefusal::BeyondLastChannel;
    const std::string t = TrimBlanks(text);
    const bool hasRx = !grid.TextMatrix(row, kColRxFreq).empty();
    const bool used = hasRx || !grid.TextMatrix(row, kColTxFreq).empty();

    if (col == kColRxFreq || col == kColTxFreq) {
        if (t.empty()) {
            Commit(grid, row, col, "", chinese);
            return CellRefusal::None;
        }
        if (const CellRefusal why = RefusalOf(CheckFrequency(t)); why != CellRefusal::None)
            return why;
        if (col == kColTxFreq && !hasRx)
            return CellRefusal::EmptyChannel;
        Commit(grid, row, col, t, chinese);
        return CellRefusal::None;
    }
    if (t.empty()) {
        // A name can be cleared; a list always shows one of its items.
        if (col == kColName && used)
            Commit(grid, row, col, "", chinese);
        return CellRefusal::None;
    }
    // A word the list does not offer is refused for that, channel or not.
    const std::string word = col == kColName ? StoredName(t) : ListWord(col, t, chinese);
    if (word.empty())
        return CellRefusal::NotInList;
    if (!used)
        return CellRefusal::EmptyChannel;
    Commit(grid, row, col, word, chinese);
    return CellRefusal::None;
}

EntryReport EnterCells(ITextGrid& grid, std::vector<CellText> cells, bool chinese)
{
    std::stable_sort(cells.begin(), cells.end(), [](const CellText& a, const CellText& b) {
        if (a.row != b.row)
            return a.row < b.row;
        return (a.col != kColRxFreq) < (b.col != kColRxFreq);
    });
    EntryReport report;
    for (std::size_t i = 0; i < cells.size();) {
        const int row = cells[i].row;
        const bool onGrid = row >= 1 && row < kGridRows;
        const auto before = onGrid ? RowTexts(grid, row) : std::array<std::string, kColName>{};
        std::optional<RefusedCell> frequency;  // the first refused frequency: the row stays as it was
        std::vector<RefusedCell> refused;
        std::vector<StoredNameCell> renamed;
        int others = 0;
        for (; i < cells.size() && cells[i].row == row; ++i) {
            const CellText& c = cells[i];
            const CellRefusal why = EnterCellText(grid, c.row, c.col, c.text, chinese);
            if (why != CellRefusal::None && IsFrequencyColumn(c.col) && !frequency) {
                frequency = RefusedCell{c.row, c.col, c.text, why};
                continue;
            }
            ++others;
            if (why != CellRefusal::None) {
                refused.push_back({c.row, c.col, c.text, why});
            } else if (c.col == kColName && onGrid) {
                const std::string given = TrimBlanks(c.text);
                const std::string stored = grid.TextMatrix(row, kColName);
                if (!given.empty() && stored != given)
                    renamed.push_back({row, c.text, stored});
            }
        }
        if (frequency) {
            for (int col = kColRxFreq; onGrid && col <= kColName; ++col)
                grid.SetTextMatrix(row, col, before[static_cast<std::size_t>(col - 1)]);
            frequency->withheld = others;
            report.refused.push_back(*frequency);
            continue;
        }
        report.refused.insert(report.refused.end(), refused.begin(), refused.end());
        report.renamed.insert(report.renamed.end(), renamed.begin(), renamed.end());
        if (onGrid && RowTexts(grid, row) != before)
            report.changedRows.insert(row);
    }
    return report;
}

ChannelBytes TakeChannelBytes(const Image& image, int row)
{
    ChannelBytes c;
    const int slot = row - 1;
    std::copy_n(image.data() + mem::kChannelBase + mem::kChannelSize * slot, mem::kChannelSize, c.record.data());
    std::copy_n(image.data() + mem::kNameBase + mem::kNameSize * slot, mem::kNameSize, c.name.data());
    return c;
}

std::string ChannelBytesText(const std::vector<ChannelBytes>& channels)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const ChannelBytes& c : channels) {
        auto put = [&](std::uint8_t b) {
            out += digits[b >> 4];
            out += digits[b & 0x0F];
        };
        std::for_each(c.record.begin(), c.record.end(), put);
        std::for_each(c.name.begin(), c.name.end(), put);
        out += '\n';
    }
    return out;
}

std::vector<ChannelBytes> ParseChannelBytesText(const std::string& text)
{
    constexpr std::size_t kDigits = 2 * (mem::kChannelSize + mem::kNameSize);
    auto nibble = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                      : -1;
    };
    std::vector<ChannelBytes> channels;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos || end - at != kDigits)
            return {};
        std::array<std::uint8_t, mem::kChannelSize + mem::kNameSize> bytes;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const int high = nibble(text[at + 2 * i]), low = nibble(text[at + 2 * i + 1]);
            if (high < 0 || low < 0)
                return {};
            bytes[i] = static_cast<std::uint8_t>(16 * high + low);
        }
        ChannelBytes c;
        std::copy_n(bytes.begin(), mem::kChannelSize, c.record.begin());
        std::copy_n(bytes.begin() + mem::kChannelSize, mem::kNameSize, c.name.begin());
        channels.push_back(c);
        at = end + 1;
    }
    return channels;
}

EntryReport EnterChannels(Image& image, ITextGrid& grid, int row, const std::vector<ChannelBytes>& channels,
                          bool chinese, int& beyond)
{
    beyond = 0;
    EntryReport report;
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const int r = row + static_cast<int>(i);
        if (r < 1 || r >= kGridRows) {
            beyond += kColName;
            continue;
        }
        const auto before = RowTexts(grid, r);
        const ChannelBytes was = TakeChannelBytes(image, r);
        CTextGrid texts;
        DecodeChannel(channels[i].record.data(), channels[i].name.data(), texts, r, chinese);
        const auto after = RowTexts(texts, r);
        std::optional<RefusedCell> refused;
        for (int col : {kColRxFreq, kColTxFreq}) {
            const std::string& f = after[static_cast<std::size_t>(col - 1)];
            if (refused || f.empty() || f == before[static_cast<std::size_t>(col - 1)])
                continue;
            if (const CellRefusal why = RefusalOf(CheckFrequency(f)); why != CellRefusal::None)
                refused = RefusedCell{r, col, f, why, kColName - 1};
        }
        if (refused) {
            report.refused.push_back(*refused);
            continue;
        }
        PutChannelBytes(image, r, channels[i]);
        for (int col = kColRxFreq; col <= kColName; ++col)
            grid.SetTextMatrix(r, col, after[static_cast<std::size_t>(col - 1)]);
        if (after != before || TakeChannelBytes(image, r) != was)
            report.changedRows.insert(r);
    }
    return report;
}

std::vector<int> CopiedColumns(const std::set<int>& selectedCols)
{
    std::vector<int> cols;
    bool whole = true;
    for (int c = kColRxFreq; c <= kColName; ++c)
        whole = whole && selectedCols.count(c);
    for (int c = kColRxFreq; c <= kColName; ++c)
        if (selectedCols.count(c) && (whole || c != kColLock))
            cols.push_back(c);
    return cols;
}

TextBlock CopyBlock(const ITextGrid& grid, const std::vector<int>& rows, const std::vector<int>& cols, bool headings)
{
    TextBlock block;
    if (headings) {
        block.emplace_back();
        for (int col : cols)
            block.back().push_back(grid.TextMatrix(0, col));
    }
    for (int row : rows) {
        block.emplace_back();
        for (int col : cols)
            block.back().push_back(grid.TextMatrix(row, col));
    }
    return block;
}

std::string BlockToTsv(const TextBlock& block, const char* lineEnd)
{
    std::string out;
    for (const auto& line : block) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (i)
                out += '\t';
            out += QuotedField(line[i]);
        }
        out += lineEnd;
    }
    return out;
}

std::string BlockToCsv(const TextBlock& block)
{
    std::string out;
    for (const auto& line : block)
        out += CsvLine(line);
    return out;
}

PastedBlock ParsePastedText(const std::string& textIn, bool csv)
{
    std::string text = textIn;
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    char sep = 0;
    if (text.find('\t') != std::string::npos) {
        sep = '\t';
    } else if (csv) {
        sep = ',';
    } else {
        const std::string first = text.substr(0, text.find_first_of("\r\n"));
        if (first.find(',') != std::string::npos && !ParseEnteredFrequency(first).number)
            sep = ',';
    }
    PastedBlock block;
    block.rows = Split(text, sep);
    if (block.rows.empty())
        return block;
    std::vector<int> columns;
    bool named = false, all = true;
    for (const std::string& field : block.rows.front()) {
        int col = 0;
        if (IsHeading(field, col)) {
            named = named || col != kColLabel;
            columns.push_back(col == kColLabel ? 0 : col);
        } else {
            all = all && TrimBlanks(field).empty();
            columns.push_back(0);
        }
    }
    if (named && all) {
        block.columns = std::move(columns);
        block.rows.erase(block.rows.begin());
    }
    return block;
}

std::vector<CellText> PlaceBlock(const PastedBlock& block, int row, int col, int& beyond)
{
    beyond = 0;
    std::vector<CellText> cells;
    std::size_t width = 0;
    for (const auto& line : block.rows)
        width = std::max(width, line.size());
    std::vector<int> targets = block.columns;
    if (targets.empty()) {
        if (width == static_cast<std::size_t>(kColName) && col == kColRxFreq) {
            for (int c = kColRxFreq; c <= kColName; ++c)
                targets.push_back(c);
        } else {
            for (int c = col; c <= kColName; ++c)
                if (c != kColLock || c == col)
                    targets.push_back(c);
        }
    }
    for (std::size_t i = 0; i < block.rows.size(); ++i) {
        const int r = row + static_cast<int>(i);
        const auto& line = block.rows[i];
        for (std::size_t j = 0; j < line.size(); ++j) {
            const bool named = !block.columns.empty();
            if (named && (j >= targets.size() || targets[j] == 0))
                continue;
            if (r >= kGridRows || j >= targets.size()) {
                ++beyond;
                continue;
            }
            cells.push_back({r, targets[j], line[j]});
        }
    }
    return cells;
}

std::vector<CellText> FillDownCells(const ITextGrid& grid, const std::vector<int>& rows, const std::vector<int>& cols)
{
    std::vector<CellText> cells;
    if (rows.size() < 2)
        return cells;
    for (std::size_t i = 1; i < rows.size(); ++i)
        for (int col : cols)
            cells.push_back({rows[i], col, grid.TextMatrix(rows.front(), col)});
    return cells;
}

std::vector<CellText> FillSeriesCells(const ITextGrid& grid, const std::vector<int>& rows, long stepUnits)
{
    std::vector<CellText> cells;
    if (rows.size() < 2)
        return cells;
    const EnteredFrequency rx = ParseEnteredFrequency(grid.TextMatrix(rows.front(), kColRxFreq));
    const std::string txText = grid.TextMatrix(rows.front(), kColTxFreq);
    const EnteredFrequency tx = ParseEnteredFrequency(txText);
    if (!rx.valid)
        return cells;
    for (std::size_t k = 1; k < rows.size(); ++k) {
        const long long offset = static_cast<long long>(k) * stepUnits;
        cells.push_back({rows[k], kColRxFreq, UnitsToFrequencyText(static_cast<long>(rx.units + offset))});
        if (tx.valid)
            cells.push_back({rows[k], kColTxFreq, UnitsToFrequencyText(static_cast<long>(tx.units + offset))});
    }
    return cells;
}

int FindChannel(const ITextGrid& grid, const std::string& query, int fromRow, int& col)
{
    const std::string q = LowerCopy(TrimBlanks(query));
    col = 0;
    if (q.empty())
        return 0;
    const EnteredFrequency number = ParseEnteredFrequency(q);
    const int channels = kGridRows - 1;
    for (int k = 1; k <= channels; ++k) {
        const int row = 1 + (fromRow - 1 + k + channels) % channels;
        for (int c : {kColRxFreq, kColTxFreq}) {
            const std::string f = grid.TextMatrix(row, c);
            if (f.empty())
                continue;
            if (f.compare(0, q.size(), q) == 0 || (number.valid && ParseEnteredFrequency(f).units == number.units)) {
                col = c;
                return row;
            }
        }
        const std::string name = LowerCopy(grid.TextMatrix(row, kColName));
        if (!name.empty() && name.find(q) != std::string::npos) {
            col = kColName;
            return row;
        }
    }
    return 0;
}
