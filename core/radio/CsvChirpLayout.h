#pragma once
// The channel-list layout that open-source programming software and repeater
// directories exchange (Location, Name, Frequency, Duplex, ...).
#include <string>
#include <vector>

#include "core/radio/TextGrid.h"

// The header line of the layout, and one line per used channel (a row whose
// receive frequency is not empty; "Pr" is location 0).
const std::vector<std::string>& ChirpColumns();
std::string GridToChirpCsv(const ITextGrid& grid);
