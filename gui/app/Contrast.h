#pragma once
// Colours the program chooses itself (the grid's blue headings, the
// navigation bar's close mark) must read on whatever ground the desktop's
// palette gives them: kept as they are where they do, else moved just far
// enough towards white (on a dark ground) or black (on a light one).
#include <QColor>

// Relative luminance (sRGB, 0 for black to 1 for white) and the contrast
// ratio of two colours (1 to 21), as accessibility guidelines measure them.
double RelativeLuminance(const QColor& c);
double ContrastRatio(const QColor& a, const QColor& b);

// Body text needs 4.5:1; a mark that is no text 3:1.
constexpr double kTextContrast = 4.5;
constexpr double kMarkContrast = 3.0;

// `preferred` when it reaches `ratio` against `ground`; otherwise the colour
// nearest to it on its way to white or black (whichever the ground sets off
// better) that does.
QColor ReadableOn(const QColor& preferred, const QColor& ground, double ratio = kTextContrast);
