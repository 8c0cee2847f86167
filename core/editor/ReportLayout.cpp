#include "core/editor/ReportLayout.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

constexpr int kLastRow = kGridRows - 1;  // 200

DrawOp TextOp(int x, int y, FontId font, std::string text)
{
    DrawOp op;
    op.kind = DrawOp::Text;
    op.x = x;
    op.y = y;
    op.font = font;
    op.text = std::move(text);
    return op;
}

DrawOp LineOp(int x, int y, int x2, int y2)
{
    DrawOp op;
    op.kind = DrawOp::Line;
    op.x = x;
    op.y = y;
    op.x2 = x2;
    op.y2 = y2;
    return op;
}

void Append(std::vector<DrawOp>& to, std::vector<DrawOp> from)
{
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

std::string Format(const char* fmt, int a)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a);
    return buf;
}

std::string Format(const char* fmt, int a, int b)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a, b);
    return buf;
}

// One column of a kind of line: where it starts and its widest text.
struct Column {
    int x = 0;
    int width = 0;
};

int Widest(const ReportContext& ctx, FontId font, const std::set<std::string>& texts)
{
    int w = 0;
    if (ctx.textWidth)
        for (const std::string& t : texts)
            w = std::max(w, ctx.textWidth(font, t));
    return w;
}

// Keeps each column where the page grid puts it unless it must move: right,
// when the column before it runs into it, then left, when it would run past
// `right` (and the columns before it left with it, as far as needed). The
// first column never moves. Gaps keep a label clear of its value. Texts too
// wide for the page run past `right` rather than into each other.
void FitColumns(std::vector<Column>& cols, int gap, int right)
{
    // least: every column packed against the one before it
    std::vector<int> least(cols.size(), cols.empty() ? 0 : cols[0].x);
    for (std::size_t i = 1; i < cols.size(); ++i) {
        least[i] = least[i - 1] + cols[i - 1].width + gap;
        cols[i].x = std::max(cols[i].x, cols[i - 1].x + cols[i - 1].width + gap);
    }
    int limit = right;
    for (std::size_t i = cols.size(); i-- > 1;) {
        cols[i].x = std::max(least[i], std::min(cols[i].x, limit - cols[i].width));
        limit = cols[i].x - gap;
    }
}

// Texts may run past the rules' right end (60 Wd), as the values at 55 Wd
// do; a column moves left only where a text would leave the printable area.
int RightEdge(const ReportContext& ctx) { return 66 * ctx.metrics.geometry.Wd; }

int Gap(const ReportContext& ctx) { return ctx.metrics.geometry.Wd / 2; }

}  // namespace

PageGeometry ComputePageGeometry(int widthPx, int heightPx, int dpiX, int dpiY)
{
    PageGeometry g;
    if (dpiX > 0)
        g.Wd = static_cast<int>((static_cast<long long>(widthPx) * 1440 / dpiX) / 66);
    if (dpiY > 0)
        g.H = static_cast<int>((static_cast<long long>(heightPx) * 1440 / dpiY) / 45);
    return g;
}

FontSize PageFontSize(const PageGeometry& g) { return {g.H, g.Wd}; }

FontSize SmallFontSize(const PageGeometry& g) { return {static_cast<int>(g.H * 0.8), static_cast<int>(g.Wd * 0.8)}; }

int ChannelPagination::CountChannelPages(const ITextGrid& grid)
{
    m_nChannelCount = 0;
    m_pageEnd.fill(kLastRow);
    m_pageEnd[0] = 0;
    int next = 1;
    for (int r = 1; r <= kLastRow; ++r) {
        if (grid.TextMatrix(r, kColRxFreq).empty())
            continue;
        ++m_nChannelCount;
        if (m_nChannelCount % kChannelsPerPage == 0 && next < kPageEndCount)
            m_pageEnd[static_cast<std::size_t>(next++)] = r;
    }
    return (m_nChannelCount + kChannelsPerPage - 1) / kChannelsPerPage;
}

std::vector<OptionLine> OptionPageLines(const Image& image, bool zh)
{
    // The flag fields and Pri-Scanning Time print what the dialog shows: it has
    // an item for every value of the flags, and shows "3s" for a Pri-Scanning
    // Time byte beyond its last item.
    const OptionFields o = DecodeOptions(image);
    auto shown = [&](int id) { return OptionValueText(o, id, zh); };
    const std::string on = zh ? "开" : "On";
    const std::string off = zh ? "关" : "Off";
    auto offOrNumber = [&](int v) { return v == 0 ? off : std::to_string(v); };

    // The rest print a word also for values the dialog's lists have no item
    // for. Battery Saver is the whole byte; 0xFF marks it unset (a new
    // document), which prints as the dialog shows it: "Off".
    const std::string timeOut = OptionItems(optid::kTimeOutTimer, zh)[image[mem::kTimeOutTimer] & 0x03];
    const int squelch = image[mem::kSquelch] & 0x0F;
    const int callTone = image[mem::kCallTone] & 0x0F;
    const int voice = image[mem::kVoiceSensitivity] & 0x1F;
    const std::vector<std::string> steps = OptionItems(optid::kStep, zh);  // the last, "25k", for any other byte
    const std::size_t step = std::min<std::size_t>(image[mem::kStep], steps.size() - 1);
    const int battery = image[mem::kBatterySaver];
    char batteryText[16];
    std::snprintf(batteryText, sizeof batteryText, "%1.1f", battery * 0.2);

    return {
        {zh ? "超时定时器:" : "Time Out Timer:", timeOut},
        {zh ? "静噪电平:" : "Squelch Level:", std::to_string(squelch)},
        {zh ? "提示音:" : "Beep:", (image[mem::kBeep] & 0x01) ? on : off},
        {zh ? "呼叫铃音:" : "Call Tone:", callTone == 9 ? "1750" : offOrNumber(callTone)},
        {zh ? "信道显示:" : "Channel Display:", shown(optid::kChannelDisplay)},
        {zh ? "优先扫描:" : "Priority Scan:", shown(optid::kPriorityScan)},
        {zh ? "繁忙:" : "Busy", shown(optid::kBusy)},
        {zh ? "预扫描时间:" : "Pri-Scanning Time:", shown(optid::kPriScanTime)},
        {zh ? "扫描模式:" : "Scan Mode:", shown(optid::kScanMode)},
        {zh ? "键盘锁定:" : "Keypad Lock:", shown(optid::kKeypadLock)},
        {"LED", shown(optid::kLed)},
        {zh ? "模式:" : "Mode:", shown(optid::kMode)},
        {zh ? "编码器" : "Encoder", shown(optid::kEncoder)},
        {zh ? "声控灵敏度:" : "Voice Sensitivity:", offOrNumber(voice)},
        {zh ? "步长:" : "Step:", steps[step]},
        {zh ? "电池省电:" : "Battery Saver:", (battery == 0 || battery == 0xFF) ? off : std::string(batteryText)},
    };
}

std::vector<DrawOp> BuildOptionPage(const Image& image, const ReportContext& ctx)
{
    const int Wd = ctx.metrics.geometry.Wd;
    const int L = ctx.metrics.pageLine;
    const int Ls = ctx.metrics.smallLine;
    const std::vector<OptionLine> lines = OptionPageLines(image, ctx.chinese);
    std::set<std::string> labels, values;
    for (const OptionLine& line : lines) {
        labels.insert(line.label);
        values.insert(line.value);
    }
    std::vector<Column> cols{{9 * Wd, Widest(ctx, FontId::Small, labels)},
                             {35 * Wd, Widest(ctx, FontId::Small, values)}};
    FitColumns(cols, Gap(ctx), RightEdge(ctx));

    std::vector<DrawOp> ops;
    ops.push_back(TextOp(6 * Wd, -L, FontId::Page, ctx.chinese ? "可选功能" : "Option"));
    ops.push_back(TextOp(6 * Wd, -4 * Ls, FontId::Small, ctx.chinese ? "功能" : "Function"));
    int i = 5;
    for (const OptionLine& line : lines) {
        ops.push_back(TextOp(cols[0].x, -i * Ls, FontId::Small, line.label));
        ops.push_back(TextOp(cols[1].x, -i * Ls, FontId::Small, line.value));
        ++i;
    }
    return ops;
}

std::vector<DrawOp> BuildChannelPage(int channelPage, const ITextGrid& grid, ChannelPagination& pages,
                                     const ReportContext& ctx)
{
    pages.CountChannelPages(grid);  // the grid may have changed since the job was sized
    const int Wd = ctx.metrics.geometry.Wd;
    const int L = ctx.metrics.pageLine;
    const int Ls = ctx.metrics.smallLine;
    const bool zh = ctx.chinese;
    std::vector<DrawOp> ops;
    ops.push_back(TextOp(6 * Wd, -L, FontId::Page, zh ? "信道" : "Channel"));
    if (channelPage < 1 || channelPage >= kPageEndCount)
        return ops;

    // Label, value, label, value across a block; the labels of each column
    // and the values of this page's channels, so a page whose texts fit keeps
    // the usual columns whatever other pages hold. The name has its line to
    // itself, so a long one never pushes the right half.
    const char* const labels[4][2] = {
        {"Receive Frequency:", "接收频率:"},
        {"QT/DQT Decode:", "QT/DQT解码:"},
        {"Power:", "功率:"},
        {"Channel Name:", "信道名字:"},
    };
    const char* const rightLabels[3][2] = {
        {"Transceive Frequency:", "发射频率:"},
        {"QT/DQT Encode:", "QT/DQT编码:"},
        {"Channel Lock:", "信道锁定:"},
    };
    const int leftCells[4] = {kColRxFreq, kColRxTone, kColPower, kColName};
    const int rightCells[3] = {kColTxFreq, kColTxTone, kColLock};
    std::set<std::string> text[4];
    for (const auto& l : labels)
        text[0].insert(l[zh]);
    for (const auto& l : rightLabels)
        text[2].insert(l[zh]);
    const int first = pages.m_pageEnd[static_cast<std::size_t>(channelPage - 1)] + 1;
    const int last = pages.m_pageEnd[static_cast<std::size_t>(channelPage)];
    for (int r = first; r <= last && r <= kLastRow && ctx.textWidth; ++r) {
        if (grid.TextMatrix(r, kColRxFreq).empty())
            continue;
        for (int line = 0; line < 3; ++line) {
            text[1].insert(grid.TextMatrix(r, leftCells[line]));
            text[3].insert(grid.TextMatrix(r, rightCells[line]));
        }
    }
    const FontId s = FontId::Small;
    std::vector<Column> cols{{5 * Wd, Widest(ctx, s, text[0])},
                             {22 * Wd, Widest(ctx, s, text[1])},
                             {36 * Wd, Widest(ctx, s, text[2])},
                             {55 * Wd, Widest(ctx, s, text[3])}};
    FitColumns(cols, Gap(ctx), RightEdge(ctx));

    int k = -1;
    for (int r = first; r <= last && r <= kLastRow; ++r) {
        if (grid.TextMatrix(r, kColRxFreq).empty())
            continue;
        ++k;
        const int o = static_cast<int>((k % kChannelsPerPage) * 5.7 * Ls);
        auto y = [&](int line) { return -line * Ls - o; };
        ops.push_back(TextOp(4 * Wd, y(4), s, Format(zh ? "信道%d:" : "Channel %d:", r - 1)));
        for (int line = 0; line < 4; ++line) {
            ops.push_back(TextOp(cols[0].x, y(5 + line), s, labels[line][zh]));
            ops.push_back(TextOp(cols[1].x, y(5 + line), s, grid.TextMatrix(r, leftCells[line])));
            if (line == 3)
                break;  // the name line has no right half
            ops.push_back(TextOp(cols[2].x, y(5 + line), s, rightLabels[line][zh]));
            ops.push_back(TextOp(cols[3].x, y(5 + line), s, grid.TextMatrix(r, rightCells[line])));
        }
    }
    return ops;
}

std::vector<DrawOp> BuildPage(int page, int pageCount, const ITextGrid& grid, const Image& image,
                              ChannelPagination& pages, const ReportContext& ctx)
{
    const int Wd = ctx.metrics.geometry.Wd;
    const int L = ctx.metrics.pageLine;
    std::vector<DrawOp> ops;
    // A double rule under the title and the footer rule.
    ops.push_back(LineOp(5 * Wd, -(2 * L + 50), 60 * Wd, -(2 * L + 50)));
    ops.push_back(LineOp(5 * Wd, -(2 * L + 120), 60 * Wd, -(2 * L + 120)));
    ops.push_back(LineOp(5 * Wd, -36 * L + L / 2, 60 * Wd, -36 * L + L / 2));

    if (page == 1)
        Append(ops, BuildOptionPage(image, ctx));
    else
        Append(ops, BuildChannelPage(page - 1, grid, pages, ctx));

    const std::string pageText = Format("Page %d of %d", page, pageCount);
    std::vector<Column> cols{{10 * Wd, Widest(ctx, FontId::Page, {ctx.copyrightsOwner})},
                             {45 * Wd, Widest(ctx, FontId::Page, {pageText})}};
    FitColumns(cols, Gap(ctx), RightEdge(ctx));
    if (!ctx.copyrightsOwner.empty())
        ops.push_back(TextOp(cols[0].x, -36 * L, FontId::Page, ctx.copyrightsOwner));
    ops.push_back(TextOp(cols[1].x, -36 * L, FontId::Page, pageText));
    return ops;
}
