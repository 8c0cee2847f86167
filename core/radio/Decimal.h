#pragma once
#include <string>
// Exact decimal product: each factor is first rounded to 15 significant
// digits, the product is exact, and the result is the nearest double.
// 145.0125 * 100000 is then exactly 14501250, where a binary product truncates
// to 14501249.
double MulDecimal(double x, double y);

// Text to 10 Hz units and back, as the grid shows frequencies ("%3.5f").
long FrequencyTextToUnits(const char* text);   // atof, MulDecimal by 100000, truncated
std::string UnitsToFrequencyText(long units);  // "%3.5f" of MulDecimal(units, 0.00001)
