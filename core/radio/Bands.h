#pragma once
// Frequency band edit ranges, the band limits the editors check against, and
// the band record and "%d-%dMHz" item texts of the radio's bands.
#include <cstdint>
#include <string>
#include <vector>

#include "core/radio/Image.h"

// Band limits in 10 Hz units: [low, high) for each band.
extern std::int32_t g_nVhfLow;
extern std::int32_t g_nVhfHigh;
extern std::int32_t g_nUhfLow;
extern std::int32_t g_nUhfHigh;

bool IsInBand(std::int32_t n);

// A band range record: lower edge L and upper edge U in whole MHz, stored as L and U - 1.
struct BandRange {
    int low = 0;
    int high = 0;  // U, exclusive
};
void EncodeBandRecord(int low, int high, std::uint8_t* rec3);
BandRange DecodeBandRecord(const std::uint8_t* rec3);

// The four numbers of the edit boxes 1003..1006.
struct EditRanges {
    int vhfLow = 0, vhfHigh = 0, uhfLow = 0, uhfHigh = 0;
};

// Decode step: fills all-0xFF records with 136-174 / 400-520, decodes both
// ranges, sets the band limits and returns the edit-box values.
EditRanges EditRangesFromImage(Image& image);
// Encode step: band limits and records from the edit-box values, no checks;
// a record that already reads as its range keeps its bytes.
void EditRangesToImage(const EditRanges& r, Image& image);
// Kill-focus rules of the edit boxes: VHF reversed -> 130/180, UHF not ascending -> 400/520.
// Adjusts r in place and sets the band limits of that band.
void ApplyVhfEditRange(EditRanges& r);
void ApplyUhfEditRange(EditRanges& r);

// "%d-%dMHz" reading (0 for what cannot be read), as sscanf does.
BandRange ParseBandItem(const std::string& item);
// The items of a "|"-separated list: every part up to each "|", then the
// rest (the whole text when it has none, even when that is empty).
std::vector<std::string> SplitBandList(const std::string& list);
// Item `index` of a "|"-separated list, the last item when the list is shorter.
std::string BandListItem(const std::string& list, int index);
