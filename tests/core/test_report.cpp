#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/editor/ReportLayout.h"
#include "core/radio/Image.h"
#include "core/radio/OptionFields.h"
#include "core/radio/TextGrid.h"

namespace {

ReportContext Context(bool zh = false)
{
    ReportContext ctx;
    ctx.metrics.geometry = {374, 180};
    ctx.metrics.pageLine = 400;
    ctx.metrics.smallLine = 333;
    ctx.chinese = zh;
    ctx.copyrightsOwner = "Tanager Radio Works";
    return ctx;
}

void FillChannel(CTextGrid& g, int row)
{
    char f[32];
    std::snprintf(f, sizeof f, "%3.5f", 145.0 + row * 0.0125);
    g.SetTextMatrix(row, 1, f);
    g.SetTextMatrix(row, 2, f);
    g.SetTextMatrix(row, 3, "67.0");
    g.SetTextMatrix(row, 4, "D023N");
    g.SetTextMatrix(row, 5, "High");
    g.SetTextMatrix(row, 6, "Lock");
    g.SetTextMatrix(row, 7, "Yes");
    g.SetTextMatrix(row, 8, "Wide");
    g.SetTextMatrix(row, 9, "CH" + std::to_string(row));
}

std::vector<std::string> Texts(const std::vector<DrawOp>& ops)
{
    std::vector<std::string> v;
    for (const DrawOp& op : ops)
        if (op.kind == DrawOp::Text)
            v.push_back(op.text);
    return v;
}

const DrawOp* Find(const std::vector<DrawOp>& ops, const std::string& text)
{
    for (const DrawOp& op : ops)
        if (op.kind == DrawOp::Text && op.text == text)
            return &op;
    return nullptr;
}

std::vector<std::string> ChannelHeads(const std::vector<DrawOp>& ops)
{
    std::vector<std::string> v;
    for (const std::string& t : Texts(ops))
        if (t.rfind("Channel ", 0) == 0 && t.back() == ':' && t.find("Lock") == std::string::npos &&
            t.find("Name") == std::string::npos)
            v.push_back(t);
    return v;
}

TEST(ReportGeometry, FromPrintableAreaAndResolution)
{
    // A4 at 600 dpi: 4960 x 7015 pixels.
    PageGeometry g = ComputePageGeometry(4960, 7015, 600, 600);
    EXPECT_EQ(g.Wd, 180);  // 11904 / 66 = 180.36
    EXPECT_EQ(g.H, 374);   // 16836 / 45 = 374.13
    EXPECT_EQ(SmallFontSize(g).height, 299);
    EXPECT_EQ(SmallFontSize(g).width, 144);
    EXPECT_EQ(PageFontSize(g).height, 374);
    // Different horizontal and vertical resolutions.
    g = ComputePageGeometry(2400, 3300, 300, 600);
    EXPECT_EQ(g.Wd, 174);  // 2400*1440/300 = 11520, /66 = 174.5
    EXPECT_EQ(g.H, 176);   // 3300*1440/600 = 7920, /45
    g = ComputePageGeometry(100, 100, 0, 0);
    EXPECT_EQ(g.Wd, 0);
    EXPECT_EQ(g.H, 0);
}

TEST(ReportPagination, PageCountsForTypicalGrids)
{
    struct Case {
        int used;
        int channelPages;
    };
    for (Case c : {Case{0, 0}, Case{1, 1}, Case{7, 1}, Case{8, 2}, Case{14, 2}, Case{15, 3}, Case{200, 29}}) {
        CTextGrid g;
        for (int r = 1; r <= c.used; ++r)
            FillChannel(g, r);
        ChannelPagination p;
        EXPECT_EQ(p.CountChannelPages(g), c.channelPages) << c.used;
        EXPECT_EQ(p.m_nChannelCount, c.used);
        EXPECT_EQ(p.m_pageEnd[0], 0);
    }

    CTextGrid g;
    for (int r = 1; r <= 200; ++r)
        FillChannel(g, r);
    ChannelPagination p;
    EXPECT_EQ(p.CountChannelPages(g) + 1, 30);  // option page + 29
    for (int k = 1; k <= 28; ++k)
        EXPECT_EQ(p.m_pageEnd[static_cast<std::size_t>(k)], 7 * k);
    EXPECT_EQ(p.m_pageEnd[29], 200);
}

TEST(ReportPagination, SparseRowsAndRebuildOnEveryCount)
{
    CTextGrid g;
    const int rows[] = {1, 3, 10, 50, 51, 52, 120, 199, 200};
    for (int r : rows)
        FillChannel(g, r);
    ChannelPagination p;
    EXPECT_EQ(p.CountChannelPages(g), 2);
    EXPECT_EQ(p.m_nChannelCount, 9);
    EXPECT_EQ(p.m_pageEnd[1], 120);  // the seventh used row
    EXPECT_EQ(p.m_pageEnd[2], 200);

    ReportContext ctx = Context();
    EXPECT_EQ(ChannelHeads(BuildChannelPage(1, g, p, ctx)),
              (std::vector<std::string>{"Channel 0:", "Channel 2:", "Channel 9:", "Channel 49:", "Channel 50:",
                                        "Channel 51:", "Channel 119:"}));
    // Row 200 is channel 199 and is printed.
    EXPECT_EQ(ChannelHeads(BuildChannelPage(2, g, p, ctx)), (std::vector<std::string>{"Channel 198:", "Channel 199:"}));

    // Many channels, then most deleted: no boundary of the earlier count survives.
    CTextGrid full;
    for (int r = 1; r <= 200; ++r)
        FillChannel(full, r);
    EXPECT_EQ(p.CountChannelPages(full), 29);
    CTextGrid after;
    for (int r : {5, 100, 150})
        FillChannel(after, r);
    // The page routine recounts by itself, even when the caller did not.
    EXPECT_EQ(ChannelHeads(BuildChannelPage(1, after, p, ctx)),
              (std::vector<std::string>{"Channel 4:", "Channel 99:", "Channel 149:"}));
    EXPECT_EQ(p.m_nChannelCount, 3);
    EXPECT_EQ(p.m_pageEnd[1], 200);
    EXPECT_TRUE(ChannelHeads(BuildChannelPage(2, after, p, ctx)).empty());
    // Pages beyond the table are empty, not out of bounds.
    EXPECT_EQ(Texts(BuildChannelPage(40, after, p, ctx)), std::vector<std::string>{"Channel"});
}

TEST(ReportPage, FrameFooterAndPageNumbersWithEightChannels)
{
    CTextGrid g;
    for (int r = 1; r <= 8; ++r)
        FillChannel(g, r);
    ChannelPagination p;
    const int pages = p.CountChannelPages(g) + 1;
    ASSERT_EQ(pages, 3);
    ReportContext ctx = Context();
    const std::vector<DrawOp> ops = BuildPage(1, pages, g, NewDocumentImage(), p, ctx);

    ASSERT_GE(ops.size(), 3u);
    const int ys[3] = {-850, -920, -36 * 400 + 200};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ops[static_cast<std::size_t>(i)].kind, DrawOp::Line);
        EXPECT_EQ(ops[static_cast<std::size_t>(i)].x, 5 * 180);
        EXPECT_EQ(ops[static_cast<std::size_t>(i)].x2, 60 * 180);
        EXPECT_EQ(ops[static_cast<std::size_t>(i)].y, ys[i]);
        EXPECT_EQ(ops[static_cast<std::size_t>(i)].y2, ys[i]);
    }
    const DrawOp* footer = Find(ops, "Page 1 of 3");
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->x, 45 * 180);
    EXPECT_EQ(footer->y, -14400);
    EXPECT_EQ(footer->font, FontId::Page);
    const DrawOp* owner = Find(ops, "Tanager Radio Works");
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->x, 1800);
    EXPECT_EQ(owner->y, -14400);

    // The last page holds the eighth channel alone; odd L halves truncate.
    ctx.metrics.pageLine = 401;
    ctx.copyrightsOwner.clear();
    const std::vector<DrawOp> last = BuildPage(3, pages, g, NewDocumentImage(), p, ctx);
    EXPECT_EQ(last[2].y, -36 * 401 + 200);
    EXPECT_EQ(ChannelHeads(last), std::vector<std::string>{"Channel 7:"});
    EXPECT_NE(Find(last, "Page 3 of 3"), nullptr);
    EXPECT_EQ(Texts(last).back(), "Page 3 of 3");
    EXPECT_EQ(Find(last, ""), nullptr);  // no owner key: nothing at the left of the footer
}

TEST(ReportPage, ChannelBlockLayout)
{
    CTextGrid g;
    for (int r = 1; r <= 7; ++r)
        FillChannel(g, r);
    g.SetTextMatrix(7, 6, "Unlock");  // the hidden lock column is printed too
    g.SetTextMatrix(7, 2, "");
    ChannelPagination p;
    p.CountChannelPages(g);
    const ReportContext ctx = Context();
    const std::vector<DrawOp> ops = BuildChannelPage(1, g, p, ctx);

    const DrawOp* title = Find(ops, "Channel");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->font, FontId::Page);
    EXPECT_EQ(title->x, 6 * 180);
    EXPECT_EQ(title->y, -400);

    // Title + 7 blocks of 15 texts.
    ASSERT_EQ(ops.size(), 1u + 7 * 15);
    // Block offsets: k * 5.7 * 333 truncated: 0, 1898, 3796, 5694, 7592, 9490, 11388.
    const int offsets[7] = {0, 1898, 3796, 5694, 7592, 9490, 11388};
    for (int k = 0; k < 7; ++k) {
        const DrawOp& head = ops[static_cast<std::size_t>(1 + 15 * k)];
        EXPECT_EQ(head.text, "Channel " + std::to_string(k) + ":");
        EXPECT_EQ(head.x, 4 * 180);
        EXPECT_EQ(head.y, -4 * 333 - offsets[k]) << k;
        EXPECT_EQ(head.font, FontId::Small);
    }
    // The last block in full.
    const std::size_t b = 1 + 15 * 6;
    const int o = 11388;
    struct Expect {
        int x;
        int line;
        const char* text;
    };
    const Expect block[15] = {
        {4, 4, "Channel 6:"}, {5, 5, "Receive Frequency:"},
        {22, 5, "145.08750"}, {36, 5, "Transceive Frequency:"},
        {55, 5, ""},          {5, 6, "QT/DQT Decode:"},
        {22, 6, "67.0"},      {36, 6, "QT/DQT Encode:"},
        {55, 6, "D023N"},     {5, 7, "Power:"},
        {22, 7, "High"},      {36, 7, "Channel Lock:"},
        {55, 7, "Unlock"},    {5, 8, "Channel Name:"},
        {22, 8, "CH7"},
    };
    for (std::size_t i = 0; i < 15; ++i) {
        EXPECT_EQ(ops[b + i].text, block[i].text) << i;
        EXPECT_EQ(ops[b + i].x, block[i].x * 180) << i;
        EXPECT_EQ(ops[b + i].y, -block[i].line * 333 - o) << i;
    }
}

std::vector<std::string> Values(const Image& img)
{
    std::vector<std::string> v;
    for (const OptionLine& l : OptionPageLines(img, false))
        v.push_back(l.value);
    return v;
}

TEST(ReportPage, OptionPageValues)
{
    Image img = NewDocumentImage();
    std::vector<std::string> v;
    for (const OptionLine& l : OptionPageLines(img, false))
        v.push_back(l.label + l.value);
    EXPECT_EQ(v, (std::vector<std::string>{"Time Out Timer:1", "Squelch Level:1", "Beep:On", "Call Tone:Off",
                                           "Channel Display:Off", "Priority Scan:Off", "BusyOff",
                                           "Pri-Scanning Time:3s", "Scan Mode:CO", "Keypad Lock:Manual", "LEDAuto",
                                           "Mode:Frequency", "EncoderOff", "Voice Sensitivity:Off", "Step:25k",
                                           "Battery Saver:Off"}));  // 0xFF: unset, as the dialog shows it

    // The fields the dialog edits: call tone 0x1FE7, pri-scan 0x1FE8, battery 0x1FE6, encoder bit 7 of 0x1FE2.
    img[mem::kCallTone] = 9;
    img[mem::kAltCallTone] = 3;
    img[mem::kPriScanTime] = 2;
    img[mem::kBatterySaver] = 3;
    img[mem::kFlags2] = 0xA3;  // encoder on, bit 5 set, mode 3
    img[mem::kTimeOutTimer] = 3;
    img[mem::kStep] = 2;
    img[mem::kVoiceSensitivity] = 12;
    img[mem::kFlags1] = 0x3E;  // display on, busy on, TO, LED 3, keypad auto
    img[mem::kBeep] = 0xFE;
    img[mem::kSquelch] = 9;
    EXPECT_EQ(Values(img), (std::vector<std::string>{"10", "9", "Off", "1750", "On", "Off", "On", "8s", "TO", "Auto",
                                                     "On", "Memory", "On", "12", "6.25k", "0.6"}));

    // Bytes the dialog's lists have no item for still print the page's words.
    struct Case {
        int offset;
        std::uint8_t byte;
        std::size_t line;
        const char* word;
    };
    const Case cases[] = {
        {mem::kTimeOutTimer, 0x05, 0, "1"},
        {mem::kTimeOutTimer, 0xFE, 0, "3"},
        {mem::kSquelch, 0x0C, 1, "12"},
        {mem::kSquelch, 0xF3, 1, "3"},
        {mem::kCallTone, 12, 3, "12"},
        {mem::kCallTone, 0x19, 3, "1750"},
        {mem::kCallTone, 0xF0, 3, "Off"},
        {mem::kCallTone, 4, 3, "4"},
        {mem::kPriScanTime, 0x07, 7, "3s"},
        {mem::kVoiceSensitivity, 20, 13, "20"},
        {mem::kVoiceSensitivity, 0xFF, 13, "31"},
        {mem::kVoiceSensitivity, 0xE0, 13, "Off"},
        {mem::kStep, 0xFF, 14, "25k"},
        {mem::kStep, 0x08, 14, "25k"},
        {mem::kStep, 0x03, 14, "12.5k"},
        {mem::kBatterySaver, 6, 15, "1.2"},
        {mem::kBatterySaver, 5, 15, "1.0"},
        {mem::kBatterySaver, 0xFF, 15, "Off"},
        {mem::kBatterySaver, 0xFE, 15, "50.8"},
    };
    for (const Case& c : cases) {
        Image one = NewDocumentImage();
        one[static_cast<std::size_t>(c.offset)] = c.byte;
        EXPECT_EQ(Values(one)[c.line], c.word) << std::hex << c.offset << " = " << int(c.byte);
    }

    // No byte of any option leaves a value blank, in either language.
    const int offsets[] = {mem::kTimeOutTimer, mem::kSquelch,     mem::kBeep,        mem::kCallTone,
                           mem::kFlags1,       mem::kFlags2,      mem::kPriScanTime, mem::kVoiceSensitivity,
                           mem::kStep,         mem::kBatterySaver};
    for (int offset : offsets)
        for (int byte = 0; byte <= 0xFF; ++byte) {
            Image one = NewDocumentImage();
            one[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(byte);
            for (bool zh : {false, true})
                for (const OptionLine& l : OptionPageLines(one, zh))
                    ASSERT_FALSE(l.value.empty()) << l.label << " " << std::hex << offset << " = " << byte;
        }

    // Positions: title in the page font, the rest in the small font.
    const std::vector<DrawOp> ops = BuildOptionPage(img, Context());
    ASSERT_EQ(ops.size(), 2u + 32u);
    EXPECT_EQ(ops[0].text, "Option");
    EXPECT_EQ(ops[0].y, -400);
    EXPECT_EQ(ops[0].font, FontId::Page);
    EXPECT_EQ(ops[1].text, "Function");
    EXPECT_EQ(ops[1].x, 6 * 180);
    EXPECT_EQ(ops[1].y, -4 * 333);
    for (int i = 5; i <= 20; ++i) {
        const DrawOp& label = ops[static_cast<std::size_t>(2 + 2 * (i - 5))];
        const DrawOp& value = ops[static_cast<std::size_t>(3 + 2 * (i - 5))];
        EXPECT_EQ(label.x, 9 * 180);
        EXPECT_EQ(value.x, 35 * 180);
        EXPECT_EQ(label.y, -i * 333);
        EXPECT_EQ(value.y, -i * 333);
        EXPECT_EQ(value.font, FontId::Small);
    }
}

// With text widths known (here 'perChar' twips a byte), a column keeps its
// place on the page grid unless a text would run into the next column or past
// the rules' right end (60 Wd = 10800), and then moves only that far.
TEST(ReportPage, ColumnsMoveOnlyAsFarAsTheirTextsNeed)
{
    CTextGrid g;
    for (int r = 1; r <= 7; ++r)
        FillChannel(g, r);
    g.SetTextMatrix(7, 6, "Unlock");
    g.SetTextMatrix(1, 2, "146.00000");
    auto withWidths = [](int perChar) {
        ReportContext ctx = Context();
        if (perChar > 0)
            ctx.textWidth = [perChar](FontId, const std::string& t) { return static_cast<int>(t.size()) * perChar; };
        return ctx;
    };
    auto xOf = [](const std::vector<DrawOp>& ops, const std::string& text) {
        const DrawOp* op = Find(ops, text);
        return op ? op->x : -1;
    };

    struct ChannelCase {
        int perChar;
        int columns[4];  // "Receive Frequency:", its value, "Transceive Frequency:", its value
    };
    // Widest texts: 18-, 9-, 21- and 9-character ones; half a column between
    // label and value. Values may run past the rules' end (10800), not off the page (11880).
    for (const ChannelCase c : {ChannelCase{0, {900, 3960, 6480, 9900}}, ChannelCase{100, {900, 3960, 6480, 9900}},
                                ChannelCase{150, {900, 3960, 6480, 9900}},
                                // Too wide for the page: past the right end rather than into each other.
                                ChannelCase{250, {900, 900 + 4500 + 90, 5490 + 2250 + 90, 7830 + 5250 + 90}}}) {
        ChannelPagination p;
        const std::vector<DrawOp> ops = BuildChannelPage(1, g, p, withWidths(c.perChar));
        const std::string texts[4] = {"Receive Frequency:", "145.01250", "Transceive Frequency:", "146.00000"};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(xOf(ops, texts[i]), c.columns[i]) << c.perChar << " " << texts[i];
        EXPECT_EQ(xOf(ops, "Unlock"), c.columns[3]);  // one column for every block
        EXPECT_EQ(xOf(ops, "Channel 0:"), 4 * 180);
    }
    // A text too long for 55 Wd on page 2 moves the columns of that page only.
    FillChannel(g, 8);
    g.SetTextMatrix(8, 2, "146.000000000000");
    ChannelPagination pages;
    const std::vector<DrawOp> page2 = BuildChannelPage(2, g, pages, withWidths(150));
    EXPECT_EQ(xOf(page2, "146.000000000000"), 11880 - 16 * 150);
    EXPECT_EQ(xOf(page2, "Transceive Frequency:"), 11880 - 16 * 150 - 90 - 21 * 150);
    EXPECT_EQ(xOf(BuildChannelPage(1, g, pages, withWidths(150)), "Transceive Frequency:"), 6480);

    // Option page: labels of up to 18 characters push the values right.
    for (const auto& [perChar, valueX] : {std::pair{150, 35 * 180}, std::pair{300, 9 * 180 + 18 * 300 + 90}}) {
        const std::vector<DrawOp> ops = BuildOptionPage(NewDocumentImage(), withWidths(perChar));
        EXPECT_EQ(xOf(ops, "Time Out Timer:"), 9 * 180);
        EXPECT_EQ(xOf(ops, "Frequency"), valueX) << perChar;
    }

    // Footer: a long owner pushes the page number right; one too long for the
    // page pushes it past the right end rather than print over it.
    ReportContext ctx = withWidths(100);
    ctx.copyrightsOwner = std::string(70, 'x');
    ChannelPagination p;
    const std::vector<DrawOp> ops = BuildPage(2, 2, g, NewDocumentImage(), p, ctx);
    EXPECT_EQ(xOf(ops, ctx.copyrightsOwner), 10 * 180);
    EXPECT_EQ(xOf(ops, "Page 2 of 2"), 1800 + 7000 + 90);
    ctx.copyrightsOwner = std::string(80, 'x');
    EXPECT_EQ(xOf(BuildPage(2, 2, g, NewDocumentImage(), p, ctx), "Page 2 of 2"), 1800 + 8000 + 90);
}

TEST(ReportPage, ChineseLabels)
{
    CTextGrid g;
    FillChannel(g, 1);
    g.SetTextMatrix(1, 5, "高");
    ChannelPagination p;
    const int pages = p.CountChannelPages(g) + 1;
    const ReportContext ctx = Context(true);

    const std::vector<DrawOp> opt = BuildPage(1, pages, g, NewDocumentImage(), p, ctx);
    for (const char* t : {"可选功能",    "功能",      "超时定时器:", "静噪电平:", "提示音:",     "开",
                          "呼叫铃音:",   "信道显示:", "优先扫描:",   "繁忙:",     "预扫描时间:", "扫描模式:",
                          "键盘锁定:",   "LED",       "自动",        "模式:",     "频率",        "编码器",
                          "声控灵敏度:", "步长:",     "电池省电:",   "关",        "手动",        "25k",
                          "CO",          "3s"})
        EXPECT_NE(Find(opt, t), nullptr) << t;
    EXPECT_EQ(Find(opt, "Off"), nullptr);
    EXPECT_NE(Find(opt, "Page 1 of 2"), nullptr);

    const std::vector<DrawOp> ch = BuildPage(2, pages, g, NewDocumentImage(), p, ctx);
    for (const char* t : {"信道", "信道0:", "接收频率:", "发射频率:", "QT/DQT解码:", "QT/DQT编码:", "功率:", "高",
                          "信道锁定:", "Lock", "信道名字:", "Page 2 of 2"})
        EXPECT_NE(Find(ch, t), nullptr) << t;
}

}  // namespace
