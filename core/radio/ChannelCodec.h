#pragma once
// Translation between the channel area of the image and the grid's text.
#include <cstdint>
#include <string>
#include <vector>

#include "core/radio/ChannelText.h"
#include "core/radio/Decimal.h"
#include "core/radio/Image.h"
#include "core/radio/TextGrid.h"

std::uint8_t EncodeNameChar(unsigned char c);  // 0xFF for characters outside the table
char DecodeNameChar(int code);                 // 0 (end of name) for codes outside the table

// Column headings of row 0 and the row labels of column 0 ("Pr", "  1" ..).
std::string GridHeading(int col, bool chinese);
std::string GridRowLabel(int row);
void FillGridLabels(ITextGrid& grid, bool chinese);

// Decoding and encoding of single fields (also used by the CSV import/export).
// Nibbles are not checked: digits above 9 may read 1000 MHz or more, which
// EncodeFrequency refuses (0xFF x 4). "" when absent.
std::string DecodeFrequency(const std::uint8_t* bcd4);
void EncodeFrequency(const std::string& text, std::uint8_t* bcd4);
std::string DecodeTone(std::uint8_t low, std::uint8_t high, bool chinese);
void EncodeTone(const std::string& text, std::uint8_t& low, std::uint8_t& high);

// Channel records 0..199 and names into rows 1..200, columns 1..9. A record
// whose byte 3 is 0x00 or 0xFF is an empty row; any other shows as it reads.
void DecodeChannels(const Image& image, ITextGrid& grid, bool chinese);
// One record and its name bytes into row `row`, columns 1..9, as DecodeChannels shows them.
void DecodeChannel(const std::uint8_t* record, const std::uint8_t* name, ITextGrid& grid, int row, bool chinese);
// Rows 1..200 back into the records and names. A cell that shows what its
// bytes decode to keeps them byte for byte, so an unchanged row, or an empty
// row over an empty record, is saved as it was read; a changed cell is
// encoded. A row without a receive frequency empties a channel (its name
// bytes stay), and so does a changed receive frequency no record holds.
// The name whose first bytes the selected band record shares counts as
// unchanged also when its text reads back from its own codes in those bytes
// and the bytes after them; the bytes after them are then kept.
void EncodeChannels(const ITextGrid& grid, Image& image);
