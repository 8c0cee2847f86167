#include "editor/ReportLayout.h"

#include <cstdio>

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

FontSize PageFontSize(const PageGeometry& g)
{
    return {g.H, g.Wd};
}

FontSize SmallFontSize(const PageGeometry& g)
{
    return {static_cast<int>(g.H * 0.8), static_cast<int>(g.Wd * 0.8)};
}

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

std::vector<OptionLine> OptionPageLines(const OptionFields& o, bool zh)
{
    auto value = [&](int id) { return OptionValueText(o, id, zh); };
    const char* on = zh ? "开" : "On";
    const char* off = zh ? "关" : "Off";
    std::string battery;
    if (o.batterySaver == 0)
        battery = off;
    else if (o.batterySaver > 0) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%1.1f", o.batterySaver * 0.2);
        battery = buf;
    }
    return {
        {zh ? "超时定时器:" : "Time Out Timer:", value(optid::kTimeOutTimer)},
        {zh ? "静噪电平:" : "Squelch Level:", value(optid::kSquelch)},
        {zh ? "提示音:" : "Beep:", o.beep ? on : off},
        {zh ? "呼叫铃音:" : "Call Tone:", value(optid::kCallTone)},
        {zh ? "信道显示:" : "Channel Display:", value(optid::kChannelDisplay)},
        {zh ? "优先扫描:" : "Priority Scan:", value(optid::kPriorityScan)},
        {zh ? "繁忙:" : "Busy", value(optid::kBusy)},
        {zh ? "预扫描时间:" : "Pri-Scanning Time:", value(optid::kPriScanTime)},
        {zh ? "扫描模式:" : "Scan Mode:", value(optid::kScanMode)},
        {zh ? "键盘锁定:" : "Keypad Lock:", value(optid::kKeypadLock)},
        {"LED", value(optid::kLed)},
        {zh ? "模式:" : "Mode:", value(optid::kMode)},
        {zh ? "编码器" : "Encoder", value(optid::kEncoder)},
        {zh ? "声控灵敏度:" : "Voice Sensitivity:", value(optid::kVoiceSensitivity)},
        {zh ? "步长:" : "Step:", value(optid::kStep)},
        {zh ? "电池省电:" : "Battery Saver:", battery},
    };
}

std::vector<DrawOp> BuildOptionPage(const OptionFields& options, const ReportContext& ctx)
{
    const int Wd = ctx.metrics.geometry.Wd;
    const int L = ctx.metrics.pageLine;
    const int Ls = ctx.metrics.smallLine;
    std::vector<DrawOp> ops;
    ops.push_back(TextOp(6 * Wd, -L, FontId::Page, ctx.chinese ? "可选功能" : "Option"));
    ops.push_back(TextOp(6 * Wd, -4 * Ls, FontId::Small, ctx.chinese ? "功能" : "Function"));
    int i = 5;
    for (OptionLine& line : OptionPageLines(options, ctx.chinese)) {
        ops.push_back(TextOp(9 * Wd, -i * Ls, FontId::Small, std::move(line.label)));
        // A list the dialog shows without selection prints no value either.
        if (!line.value.empty())
            ops.push_back(TextOp(35 * Wd, -i * Ls, FontId::Small, std::move(line.value)));
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

    const int first = pages.m_pageEnd[static_cast<std::size_t>(channelPage - 1)] + 1;
    const int last = pages.m_pageEnd[static_cast<std::size_t>(channelPage)];
    int k = -1;
    for (int r = first; r <= last && r <= kLastRow; ++r) {
        if (grid.TextMatrix(r, kColRxFreq).empty())
            continue;
        ++k;
        const int o = static_cast<int>((k % kChannelsPerPage) * 5.7 * Ls);
        auto y = [&](int line) { return -line * Ls - o; };
        auto cell = [&](int col) { return grid.TextMatrix(r, col); };
        const FontId s = FontId::Small;
        ops.push_back(TextOp(4 * Wd, y(4), s, Format(zh ? "信道%d:" : "Channel %d:", r - 1)));
        ops.push_back(TextOp(5 * Wd, y(5), s, zh ? "接收频率:" : "Receive Frequency:"));
        ops.push_back(TextOp(22 * Wd, y(5), s, cell(kColRxFreq)));
        ops.push_back(TextOp(36 * Wd, y(5), s, zh ? "发射频率:" : "Transceive Frequency:"));
        ops.push_back(TextOp(55 * Wd, y(5), s, cell(kColTxFreq)));
        ops.push_back(TextOp(5 * Wd, y(6), s, zh ? "QT/DQT解码:" : "QT/DQT Decode:"));
        ops.push_back(TextOp(22 * Wd, y(6), s, cell(kColRxTone)));
        ops.push_back(TextOp(36 * Wd, y(6), s, zh ? "QT/DQT编码:" : "QT/DQT Encode:"));
        ops.push_back(TextOp(55 * Wd, y(6), s, cell(kColTxTone)));
        ops.push_back(TextOp(5 * Wd, y(7), s, zh ? "功率:" : "Power:"));
        ops.push_back(TextOp(22 * Wd, y(7), s, cell(kColPower)));
        ops.push_back(TextOp(36 * Wd, y(7), s, zh ? "信道锁定:" : "Channel Lock:"));
        ops.push_back(TextOp(55 * Wd, y(7), s, cell(kColLock)));
        ops.push_back(TextOp(5 * Wd, y(8), s, zh ? "信道名字:" : "Channel Name:"));
        ops.push_back(TextOp(22 * Wd, y(8), s, cell(kColName)));
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
        Append(ops, BuildOptionPage(DecodeOptions(image), ctx));
    else
        Append(ops, BuildChannelPage(page - 1, grid, pages, ctx));

    if (!ctx.copyrightsOwner.empty())
        ops.push_back(TextOp(10 * Wd, -36 * L, FontId::Page, ctx.copyrightsOwner));
    ops.push_back(TextOp(45 * Wd, -36 * L, FontId::Page, Format("Page %d of %d", page, pageCount)));
    return ops;
}
