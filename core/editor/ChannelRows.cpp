#include "core/editor/ChannelRows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>

#include "core/editor/CellCommit.h"
#include "core/radio/ChannelText.h"

namespace {

constexpr int kSlots = mem::kChannelCount;
constexpr int kBandBytes = 3;

int SlotOf(int row) { return row - 1; }
int RowOf(int slot) { return slot + 1; }

struct ChannelCopy {
    std::array<std::uint8_t, mem::kChannelSize> record;
    std::array<std::uint8_t, mem::kNameSize> name;
    std::array<std::string, kColName> cells;  // columns 1..9 at index col - 1
};

ChannelCopy Take(const Image& image, const ITextGrid& grid, int slot)
{
    ChannelCopy c;
    std::memcpy(c.record.data(), image.data() + mem::kChannelBase + mem::kChannelSize * slot, mem::kChannelSize);
    std::memcpy(c.name.data(), image.data() + mem::kNameBase + mem::kNameSize * slot, mem::kNameSize);
    for (int col = kColRxFreq; col <= kColName; ++col)
        c.cells[static_cast<std::size_t>(col - 1)] = grid.TextMatrix(RowOf(slot), col);
    return c;
}

void Put(const ChannelCopy& c, Image& image, ITextGrid& grid, int slot)
{
    std::memcpy(image.data() + mem::kChannelBase + mem::kChannelSize * slot, c.record.data(), mem::kChannelSize);
    std::memcpy(image.data() + mem::kNameBase + mem::kNameSize * slot, c.name.data(), mem::kNameSize);
    for (int col = kColRxFreq; col <= kColName; ++col)
        grid.SetTextMatrix(RowOf(slot), col, c.cells[static_cast<std::size_t>(col - 1)]);
}

ChannelCopy EmptyChannel()
{
    ChannelCopy c;
    c.record.fill(0xFF);
    c.name.fill(0xFF);
    return c;
}

// The tone list position of a cell in either language; unknown texts after the list.
int ToneRank(const std::string& text)
{
    for (bool chinese : {false, true}) {
        const std::vector<std::string>& names = ToneNames(chinese);
        const auto it = std::find(names.begin(), names.end(), text);
        if (it != names.end())
            return static_cast<int>(it - names.begin());
    }
    return kToneCount;
}

}  // namespace

ChannelOrder IdentityOrder()
{
    ChannelOrder order(kSlots);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

bool IsIdentity(const ChannelOrder& order) { return order == IdentityOrder(); }

void ApplyChannelOrder(const ChannelOrder& order, Image& image, ITextGrid& grid)
{
    if (order.size() != static_cast<std::size_t>(kSlots))
        return;
    std::array<std::uint8_t, kBandBytes> band;
    std::memcpy(band.data(), image.data() + mem::kSelectedBand, kBandBytes);
    std::vector<ChannelCopy> before;
    before.reserve(kSlots);
    for (int slot = 0; slot < kSlots; ++slot)
        before.push_back(Take(image, grid, slot));
    for (int slot = 0; slot < kSlots; ++slot) {
        const int from = order[static_cast<std::size_t>(slot)];
        if (from == slot)
            continue;
        Put(from < 0 || from >= kSlots ? EmptyChannel() : before[static_cast<std::size_t>(from)], image, grid, slot);
    }
    std::memcpy(image.data() + mem::kSelectedBand, band.data(), kBandBytes);
}

bool IsChannelUsed(const ITextGrid& grid, int row) { return !grid.TextMatrix(row, kColRxFreq).empty(); }

ChannelOrder InsertEmptyOrder(const ITextGrid& grid, int row, int count, int& blockingRow)
{
    blockingRow = 0;
    if (row < kFirstChannelRow || row >= kGridRows || count < 1)
        return {};
    count = std::min(count, kGridRows - row);
    for (int r = kGridRows - count; r < kGridRows; ++r)
        if (IsChannelUsed(grid, r)) {
            blockingRow = r;
            return {};
        }
    ChannelOrder order = IdentityOrder();
    const int first = SlotOf(row);
    for (int slot = first; slot < kSlots; ++slot)
        order[static_cast<std::size_t>(slot)] = slot < first + count ? -1 : slot - count;
    return order;
}

ChannelOrder DeleteOrder(const std::set<int>& rows)
{
    ChannelOrder order{0};
    for (int slot = 1; slot < kSlots; ++slot)
        if (!rows.count(RowOf(slot)))
            order.push_back(slot);
    order.resize(kSlots, -1);
    return order;
}

ChannelOrder MoveOrder(const std::set<int>& rows, int delta)
{
    ChannelOrder order = IdentityOrder();
    std::vector<char> selected(kSlots, 0);
    for (int row : rows)
        if (row >= kFirstChannelRow && row < kGridRows)
            selected[static_cast<std::size_t>(SlotOf(row))] = 1;
    // Walk towards the direction of travel so each selected channel passes the
    // unselected one next to it; a selected channel against the end, or against
    // one that could not move, stays.
    const int step = delta < 0 ? 1 : -1;
    const int begin = delta < 0 ? 1 : kSlots - 1;
    for (int slot = begin; slot >= 1 && slot < kSlots; slot += step) {
        const int target = slot - step;
        if (!selected[static_cast<std::size_t>(slot)] || target < 1 || target >= kSlots ||
            selected[static_cast<std::size_t>(target)])
            continue;
        std::swap(order[static_cast<std::size_t>(slot)], order[static_cast<std::size_t>(target)]);
        std::swap(selected[static_cast<std::size_t>(slot)], selected[static_cast<std::size_t>(target)]);
    }
    return order;
}

ChannelOrder MoveToRowOrder(const std::set<int>& rows, int row)
{
    std::vector<int> moved, others;
    for (int slot = 1; slot < kSlots; ++slot)
        (rows.count(RowOf(slot)) ? moved : others).push_back(slot);
    const auto at = static_cast<std::ptrdiff_t>(std::clamp(SlotOf(row) - 1, 0, static_cast<int>(others.size())));
    others.insert(others.begin() + at, moved.begin(), moved.end());
    ChannelOrder order{0};
    order.insert(order.end(), others.begin(), others.end());
    return order;
}

std::set<int> RowsAfter(const ChannelOrder& order, const std::set<int>& rows)
{
    std::set<int> out;
    for (int slot = 0; slot < static_cast<int>(order.size()); ++slot)
        if (order[static_cast<std::size_t>(slot)] >= 0 && rows.count(RowOf(order[static_cast<std::size_t>(slot)])))
            out.insert(RowOf(slot));
    return out;
}

ChannelOrder SortOrder(const ITextGrid& grid, int first, int last, SortKey key)
{
    first = std::max(first, kFirstChannelRow);
    last = std::min(last, kGridRows - 1);
    ChannelOrder order = IdentityOrder();
    if (first >= last)
        return order;
    struct Entry {
        int slot;
        bool used;
        long long units;
        std::string name;
        int tone;
    };
    std::vector<Entry> entries;
    for (int row = first; row <= last; ++row) {
        Entry e{SlotOf(row), IsChannelUsed(grid, row), 0, grid.TextMatrix(row, kColName), 0};
        e.units = ParseEnteredFrequency(grid.TextMatrix(row, kColRxFreq)).units;
        e.tone = ToneRank(grid.TextMatrix(row, kColRxTone));
        entries.push_back(std::move(e));
    }
    std::stable_sort(entries.begin(), entries.end(), [key](const Entry& a, const Entry& b) {
        if (a.used != b.used)
            return a.used;
        if (!a.used)
            return false;
        switch (key) {
        case SortKey::RxFrequency: return a.units < b.units;
        case SortKey::Name:
            if (a.name.empty() != b.name.empty())
                return !a.name.empty();
            return a.name < b.name;
        case SortKey::Tone: return a.tone < b.tone;
        }
        return false;
    });
    for (std::size_t i = 0; i < entries.size(); ++i)
        order[static_cast<std::size_t>(SlotOf(first) + static_cast<int>(i))] = entries[i].slot;
    return order;
}
