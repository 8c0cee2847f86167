#pragma once
// Entering texts into grid cells without the cell editors: paste, fill, clear
// and cut. Each text goes through CommitCell exactly as if the user had typed
// it into the cell's editor, after the checks the editor itself makes (a list
// editor offers only its items), so nothing stored here could not have been
// typed. A refused text leaves its cell as it was and is reported.
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/radio/Image.h"
#include "core/radio/TextGrid.h"

enum class CellRefusal {
    None,
    NotAFrequency,      // the text is no frequency
    OutOfRange,         // a frequency in neither band
    OffStep,            // a frequency off the 2.5 kHz / 6.25 kHz raster
    NotInList,          // a word or tone the cell's list does not offer
    EmptyChannel,       // a setting for a channel without receive frequency
    BeyondLastChannel,  // the block reaches past the last row
};

// Enters `text` into cell (row 1..200, column 1..9). List cells take their
// words and tones in either language and store them in the language
// `chinese` picks, and every text the grid itself shows ("Middle", a tone
// read from a radio that the list lacks); an empty text clears an edit cell
// (an empty receive frequency empties the channel) and leaves a list cell of
// a used channel as it is, since a list cannot be emptied. A name is stored
// as the record holds it (StoredName).
CellRefusal EnterCellText(ITextGrid& grid, int row, int col, const std::string& text, bool chinese);

struct CellText {
    int row = 0;
    int col = 0;
    std::string text;
};

struct RefusedCell {
    int row = 0;
    int col = 0;
    std::string text;
    CellRefusal why = CellRefusal::None;
    // A refused receive frequency leaves an empty channel empty: the cells of
    // that channel then refused for want of one are counted here, not listed.
    int withheld = 0;
};

// A name entered otherwise than given: cut or in upper case.
struct StoredNameCell {
    int row = 0;
    std::string text;    // as given
    std::string stored;  // as the record holds it
};

struct EntryReport {
    std::vector<RefusedCell> refused;
    std::vector<StoredNameCell> renamed;
    std::set<int> changedRows;  // rows whose texts (or bytes) are not what they were
};

// Enters every cell, row by row; within a row the receive frequency goes
// first (on an empty channel it writes the default row the rest overwrites).
// A row whose receive or transmit frequency is refused keeps every cell as it
// was and is reported once, by that frequency, the row's other cells counted
// as withheld; any other cell refused for a reason of its own is reported
// once. A name stored otherwise than given is reported in `renamed`.
EntryReport EnterCells(ITextGrid& grid, std::vector<CellText> cells, bool chinese);

// ---- whole channels as this program carries them ---------------------------

// A channel's 16 record bytes and 8 name bytes: what a copy or a drag of whole
// channels carries besides their texts, so that a channel lands byte for byte
// (the bytes no cell shows, such as record bytes 13..15, included).
struct ChannelBytes {
    std::array<std::uint8_t, mem::kChannelSize> record{};
    std::array<std::uint8_t, mem::kNameSize> name{};
    bool operator==(const ChannelBytes&) const = default;
};
// The bytes of the channel in grid row `row` (1..200).
ChannelBytes TakeChannelBytes(const Image& image, int row);
// One line of 48 hexadecimal digits per channel; the parse gives nothing for
// a text that is not exactly such lines.
std::string ChannelBytesText(const std::vector<ChannelBytes>& channels);
std::vector<ChannelBytes> ParseChannelBytesText(const std::string& text);

// Puts `channels` into the rows from `row` on, each record and name into
// `image` and its texts into `grid` in the language `chinese` picks. A
// channel's frequencies meet the cell rules as if typed (one that its row
// already shows passes, as for a cell left untouched): a refused one leaves
// the row and its bytes as they were and is reported as EnterCells does.
// Channels past the last row are counted, nine cells each, in `beyond`. The
// selected band record over channel 106's first name bytes stays.
EntryReport EnterChannels(Image& image, ITextGrid& grid, int row, const std::vector<ChannelBytes>& channels,
                          bool chinese, int& beyond);

// ---- clipboard text ---------------------------------------------------------

using TextBlock = std::vector<std::vector<std::string>>;

// The columns a copy carries of the selected ones: whole rows (1..9) keep the
// hidden lock column, any other selection leaves it out as the user sees it.
std::vector<int> CopiedColumns(const std::set<int>& selectedCols);
// The texts of `rows` x `cols`, after a line of the grid's headings of those
// columns when `headings` is set.
TextBlock CopyBlock(const ITextGrid& grid, const std::vector<int>& rows, const std::vector<int>& cols, bool headings);
// Text as this platform's programs exchange it: LF, CRLF on Windows.
#ifdef _WIN32
inline constexpr char kNativeLineEnd[] = "\r\n";
#else
inline constexpr char kNativeLineEnd[] = "\n";
#endif
// Tab-separated as spreadsheets exchange it (cells holding a tab, a line end
// or a leading quote quoted), its lines ended by `lineEnd`; and as CSV, whose
// lines end with CRLF whatever the platform.
std::string BlockToTsv(const TextBlock& block, const char* lineEnd = kNativeLineEnd);
std::string BlockToCsv(const TextBlock& block);

// Text taken from the clipboard: tab-separated when it holds a tab, else CSV
// when `csv` says so or its first line has fields separated by commas (a
// number with a decimal comma such as "145,125" stays one cell), else one
// cell per line. A first line of grid headings (either language) names the
// columns of the rest and is not pasted; `columns` then holds the grid column
// of each field (0 for a field to leave out).
struct PastedBlock {
    TextBlock rows;
    std::vector<int> columns;
};
PastedBlock ParsePastedText(const std::string& text, bool csv);

// The cells a block fills with its first cell at (row, col). Without named
// columns the fields go to consecutive columns as the user sees them (the
// hidden lock column passed over), unless the block holds whole rows (nine
// fields pasted at column 1). Cells past the last row are counted in `beyond`.
std::vector<CellText> PlaceBlock(const PastedBlock& block, int row, int col, int& beyond);

// ---- fill and find ------------------------------------------------------------

// The texts of the first of `rows` in `cols`, for each of the other rows.
std::vector<CellText> FillDownCells(const ITextGrid& grid, const std::vector<int>& rows, const std::vector<int>& cols);
// The receive and transmit frequencies of the first of `rows` stepped by
// `stepUnits` (10 Hz units) for each further row: the k-th row gets k steps.
std::vector<CellText> FillSeriesCells(const ITextGrid& grid, const std::vector<int>& rows, long stepUnits);

// The first row after `fromRow` (wrapping round, "Pr" included) whose name
// holds `query` (letter case aside) or whose receive or transmit frequency
// begins with it or equals it as a number; 0 when none. `col` gets the column
// that matched.
int FindChannel(const ITextGrid& grid, const std::string& query, int fromRow, int& col);
