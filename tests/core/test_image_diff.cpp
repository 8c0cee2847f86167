// What `progtool diff` reports: each difference once, in the place the user
// looks for it, and every differing byte no field shows as a byte range.
#include <gtest/gtest.h>

#include <functional>

#include "core/radio/DatFile.h"
#include "core/radio/Document.h"
#include "core/radio/ImageDiff.h"
#include "core/radio/OptionFields.h"

namespace {

Image Sample()
{
    Image img{};
    EXPECT_TRUE(LoadDatFile(PROG_SOURCE_DIR "/res/samples/sample.dat", img).ok);
    return img;
}

// One cell typed into the grid and the document encoded, as the window saves it.
std::function<void(Image&)> Cell(int row, int col, const std::string& text)
{
    return [=](Image& img) {
        ChannelDocument doc;
        doc.Open(img, false);
        doc.grid.SetTextMatrix(row, col, text);
        doc.Encode();
        img = doc.image;
    };
}

// The diff in a line: "<row><+|-|~>:<col>=<a>><b>;... opt:<id>=<a>><b> ranges model bytes:<ranges>".
std::string Summary(const ImageDiff& d)
{
    std::string s;
    for (const ChannelDiff& c : d.channels) {
        s += std::to_string(c.row) + (c.change == ChannelChange::Added     ? "+"
                                      : c.change == ChannelChange::Removed ? "-"
                                                                           : "~");
        for (const CellChange& cell : c.cells)
            s += ":" + std::to_string(cell.col) + "=" + cell.a + ">" + cell.b;
        s += " ";
    }
    for (const OptionDiff& o : d.options)
        s += "opt:" + std::to_string(o.id) + "=" + o.a + ">" + o.b + " ";
    if (d.RangesDiffer())
        s += "ranges ";
    if (d.ModelDiffers())
        s += "model:" + std::to_string(d.modelB.type) + "/" + std::to_string(d.modelB.band) + "/" +
             d.modelB.bandRecord + " ";
    for (const ByteRange& r : d.otherBytes)
        s += "bytes:" + ByteRangeText(r) + " ";
    if (!s.empty())
        s.pop_back();
    return s;
}

}  // namespace

TEST(ImageDiff, EachDifferenceInItsPlace)
{
    const struct {
        const char* what;
        std::function<void(Image&)> change;
        std::string expected;
    } cases[] = {
        {"nothing", [](Image&) {}, ""},
        {"a frequency", Cell(2, kColRxFreq, "147.34000"), "2~:1=147.33000>147.34000"},
        {"a name and the power",
         [](Image& img) {
             Cell(3, kColName, "X")(img);
             Cell(3, kColPower, "Low")(img);
         },
         "3~:5=High>Low:9=RPT-S>X"},
        {"a channel removed", Cell(8, kColRxFreq, ""),
         "8-:1=162.55000>:3=None>:4=None>:5=High>:6=Lock>:7=No>:8=Wide>:9=NOAA>"},
        {"a channel added",
         [](Image& img) {
             Cell(10, kColRxFreq, "146.00000")(img);
             Cell(10, kColName, "NEW")(img);
         },
         "10+:1=>146.00000:3=>None:4=>None:5=>Low:6=>Lock:7=>Yes:8=>Wide:9=>NEW"},
        {"an option",
         [](Image& img) {
             OptionFields f = DecodeOptions(img);
             f.squelch = 7;
             f.powerOnName = "AB";
             EncodeOptions(f, img);
         },
         "opt:1002=TR-5V>AB opt:1116=3>7"},
        {"a band range", [](Image& img) { EncodeBandRecord(136, 174, &img[mem::kVhfRange]); }, "ranges"},
        {"the model",
         [](Image& img) {
             img[mem::kRadioType] = 1;
             EncodeBandRecord(400, 470, &img[mem::kSelectedBand]);
         },
         "model:1/0/400-470MHz"},
        {"a byte no rule reads",
         [](Image& img) {
             img[0x1500] ^= 0x5A;
             img[0x1501] ^= 1;
             img[0x1FFE] = 0;
         },
         "bytes:0x1500-0x1501 bytes:0x1FFE"},
        // Bits 7, 6 and 0 of a channel's flags belong to the radio; the grid shows none of them.
        {"a radio-owned flag bit", [](Image& img) { img[mem::kChannelBase + 16 + 12] ^= 0x01; }, "bytes:0x001C"},
        // The same bits beside a visible change still count as bytes of their own.
        {"a flag bit and the power",
         [](Image& img) {
             Cell(2, kColPower, "Low")(img);
             img[mem::kChannelBase + 16 + 12] ^= 0x80;
         },
         "2~:5=High>Low bytes:0x001C"},
        // The squelch level is the low four bits: the high ones read alike, yet the bytes differ.
        {"a spelling the field reads alike", [](Image& img) { img[mem::kSquelch] ^= 0x10; }, "bytes:0x1FC1"},
        // Name bytes after the end of the name are never shown.
        {"bytes after a name", [](Image& img) { img[mem::kNameBase + 8 * 4 + 7] = 0x01; }, "bytes:0x0CC7"},
    };
    const Image base = Sample();
    for (const auto& c : cases) {
        Image changed = base;
        c.change(changed);
        const ImageDiff d = DiffImages(base, changed, false);
        EXPECT_EQ(Summary(d), c.expected) << c.what;
        EXPECT_EQ(d.Equal(), c.expected.empty()) << c.what;
        EXPECT_EQ(d.Equal(), base == changed) << c.what;
    }
}

TEST(ImageDiff, ChineseTextsAndBothDirections)
{
    const Image a = Sample();
    Image b = a;
    Cell(2, kColPower, "Low")(b);
    EXPECT_EQ(Summary(DiffImages(a, b, true)), "2~:5=高>低");
    EXPECT_EQ(Summary(DiffImages(b, a, false)), "2~:5=Low>High");
    EXPECT_EQ(DifferingRanges(a, b), (std::vector<ByteRange>{{0x1C, 0x1C}}));
    // From the odd spelling back to the program's own: still only a byte difference.
    Image odd = a;
    odd[mem::kSquelch] ^= 0x10;
    EXPECT_EQ(Summary(DiffImages(odd, a, false)), "bytes:0x1FC1");
}

// A against B tells what B against A tells, turned round: the same channels,
// options and bytes, each value on the other side.
TEST(ImageDiff, TheSameDifferencesBothWays)
{
    const std::pair<int, std::uint8_t> edits[][2] = {
        {{0x0CF2, 0x55}, {0x0CF2, 0x55}},  // a name byte that is no name code
        {{0x0CD9, 0x2E}, {0x1FEC, 0xEA}},  // a name cut short, and a byte no rule reads
        {{0x0FF0, 0x13}, {0x0FF2, 0x63}},  // the selected band record set where the sample has none
    };
    const Image a = Sample();
    for (const auto& edit : edits) {
        Image b = a;
        for (const auto& [at, value] : edit)
            b[static_cast<std::size_t>(at)] = value;
        SCOPED_TRACE(edit[0].first);
        const ImageDiff ab = DiffImages(a, b, false), ba = DiffImages(b, a, false);
        EXPECT_EQ(ab.otherBytes, ba.otherBytes);
        EXPECT_EQ(ab.modelA, ba.modelB);
        ASSERT_EQ(ab.channels.size(), ba.channels.size());
        for (std::size_t i = 0; i < ab.channels.size(); ++i) {
            ASSERT_EQ(ab.channels[i].cells.size(), ba.channels[i].cells.size());
            for (std::size_t c = 0; c < ab.channels[i].cells.size(); ++c)
                EXPECT_EQ(ab.channels[i].cells[c].a, ba.channels[i].cells[c].b);
        }
        ASSERT_EQ(ab.options.size(), ba.options.size());
    }
}
