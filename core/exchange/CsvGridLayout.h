#pragma once
// The grid layout: the 201 x 10 texts of the channel grid, row 0 the headings,
// column 0 the row labels, exactly as the window shows them.
#include <string>

#include "core/radio/TextGrid.h"

// Every cell of the grid, one line per grid row.
std::string GridToCsv(const ITextGrid& grid);
