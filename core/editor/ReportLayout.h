#pragma once
// The printed report as a list of drawing operations, so the window side only
// renders them. Page 1 lists the radio-wide options, every further page up to
// seven used channels. Coordinates are twips (1/1440 inch) from the top-left
// corner of the printable area, x to the right and y upward, so everything on
// the page has a negative y.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/radio/Image.h"
#include "core/radio/OptionFields.h"
#include "core/radio/TextGrid.h"

enum class FontId { Page, Small };

struct DrawOp {
    enum Kind { Text, Line };
    Kind kind = Text;
    int x = 0, y = 0;    // text: top-left corner; line: start
    int x2 = 0, y2 = 0;  // line: end
    FontId font = FontId::Page;
    std::string text;  // UTF-8
};

// The page is a grid of 66 columns of width Wd and text of height H.
struct PageGeometry {
    int H = 0;
    int Wd = 0;
};
// From the printable rectangle in device pixels and the device resolution.
PageGeometry ComputePageGeometry(int widthPx, int heightPx, int dpiX, int dpiY);

// Character height and average width of a font in twips.
struct FontSize {
    int height = 0;
    int width = 0;
};
FontSize PageFontSize(const PageGeometry& g);   // H, Wd
FontSize SmallFontSize(const PageGeometry& g);  // H x 0.8, Wd x 0.8, truncated

// Line heights L (character height plus external leading, in twips) of the two
// fonts, measured by the caller on the real device.
struct ReportMetrics {
    PageGeometry geometry;
    int pageLine = 0;
    int smallLine = 0;
};

inline constexpr int kPageEndCount = 30;
inline constexpr int kChannelsPerPage = 7;

// Which rows each channel page covers. Rebuilt by every count, so a page
// printed after the grid changed follows the grid as it is now.
struct ChannelPagination {
    // Entry 0 is 0; entry k is the grid row of the (7k)-th used channel, or 200
    // when there is no such channel. Channel page q covers the rows after entry
    // q - 1 up to entry q.
    std::array<int, kPageEndCount> m_pageEnd{};
    int m_nChannelCount = 0;

    // Counts the rows 1..200 with a receive frequency and returns the number
    // of channel pages (a partly filled last page counts).
    int CountChannelPages(const ITextGrid& grid);
};

// Width in twips of a UTF-8 text in one of the two fonts, measured on the
// device that prints it (fallback glyphs included).
using TextWidth = std::function<int(FontId, const std::string&)>;

struct ReportContext {
    ReportMetrics metrics;
    bool chinese = false;
    std::string copyrightsOwner;  // footer, left; nothing printed when empty
    // Texts start at their columns of the page grid; with widths known, a
    // column that would run into the next one or off the printable area
    // (66 Wd) moves just far enough. Without it every column stays put.
    TextWidth textWidth;
};

// Page `page` (1 = options, 2.. = channel page page - 1) of a job of
// `pageCount` pages: the three rules, the page body and the footer. Channel
// pages recount `pages` from the grid first.
std::vector<DrawOp> BuildPage(int page, int pageCount, const ITextGrid& grid, const Image& image,
                              ChannelPagination& pages, const ReportContext& ctx);

// The bodies alone, as the two page routines draw them.
std::vector<DrawOp> BuildOptionPage(const Image& image, const ReportContext& ctx);
std::vector<DrawOp> BuildChannelPage(int channelPage, const ITextGrid& grid, ChannelPagination& pages,
                                     const ReportContext& ctx);

// The sixteen option lines of page 1: label and printed value. Every byte
// prints a word, also the values the dialog's lists have no item for; the
// options the dialog edits are read where the dialog keeps them.
struct OptionLine {
    std::string label;
    std::string value;
};
std::vector<OptionLine> OptionPageLines(const Image& image, bool chinese);
