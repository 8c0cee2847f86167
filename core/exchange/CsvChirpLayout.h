#pragma once
// The channel-list layout that open-source programming software and repeater
// directories exchange (Location, Name, Frequency, Duplex, ...).
#include <string>
#include <vector>

#include "core/radio/TextGrid.h"

// The header line of the layout, and one line per used channel (a row whose
// receive frequency is not empty; "Pr" is location 0).
// The Power column as words (High, Middle, Low) or as the watts other
// programs expect (5.0W, 2.0W, 1.0W).
enum class ChirpPower { Words, Watts };
const std::vector<std::string>& ChirpColumns();
std::string GridToChirpCsv(const ITextGrid& grid, ChirpPower power = ChirpPower::Words);
