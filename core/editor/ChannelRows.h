#pragma once
// Operations on whole channels: insert, delete, move and sort. A channel owns
// its grid row, its 16-byte record and its 8 name bytes, and they move
// together; "Pr" (row 1, record 0) never moves. Every operation is a new order
// of the channels, applied to the image and the grid in one go.
#include <set>
#include <string>
#include <vector>

#include "core/radio/Image.h"
#include "core/radio/TextGrid.h"

inline constexpr int kFirstChannelRow = 2;  // row of channel 1; row 1 is "Pr"

// For each channel slot 0..199 the slot its channel comes from, or -1 for a
// new empty channel. Slot n is grid row n + 1.
using ChannelOrder = std::vector<int>;

ChannelOrder IdentityOrder();
bool IsIdentity(const ChannelOrder& order);

// Moves records, names and grid texts (rows 1..200, columns 1..9) as `order`
// says. An empty channel gets 0xFF in its record and name and empty cells.
// The selected band record at 0x0FF0..0x0FF2, which shares its bytes with the
// first name bytes of channel 106, stays where it is: the image's rules write
// it after the names, so it belongs to the radio, not to whichever channel
// lands on slot 106.
void ApplyChannelOrder(const ChannelOrder& order, Image& image, ITextGrid& grid);

// A channel is used when its receive frequency is not empty.
bool IsChannelUsed(const ITextGrid& grid, int row);

// `count` empty channels before `row` (2..200); the channels from there move
// down. Refused (empty order) when one of the last `count` channels is used:
// `blockingRow` is then the first such row.
ChannelOrder InsertEmptyOrder(const ITextGrid& grid, int row, int count, int& blockingRow);
// The channels of `rows` go; the following channels move up and empty
// channels fill the end. Row 1 is never deleted.
ChannelOrder DeleteOrder(const std::set<int>& rows);
// Each channel of `rows` moves one place up (delta -1) or down (+1) past its
// unselected neighbour; a block at the top (row 2) or bottom stays.
ChannelOrder MoveOrder(const std::set<int>& rows, int delta);
// The channels of `rows`, in their order, moved to begin at `row` (as far
// down as they fit); the other channels keep their order around them. A drag
// of channels within one window.
ChannelOrder MoveToRowOrder(const std::set<int>& rows, int row);
// Where rows end up under `order` (for keeping a selection on moved channels).
std::set<int> RowsAfter(const ChannelOrder& order, const std::set<int>& rows);

enum class SortKey { RxFrequency, Name, Tone };
// The channels of rows first..last (2..200) sorted, used channels first and
// ties in their old order: by receive frequency, by name (channels without
// one after those with), or by receive tone in the order of the tone list.
ChannelOrder SortOrder(const ITextGrid& grid, int first, int last, SortKey key);
