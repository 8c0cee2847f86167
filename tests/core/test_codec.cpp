#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/radio/ChannelCodec.h"
#include "core/radio/Image.h"
#include "core/radio/TextGrid.h"

namespace {

Image FilledImage(std::uint8_t value)
{
    Image image;
    image.fill(value);
    return image;
}

std::uint8_t* Record(Image& image, int n) { return image.data() + mem::kChannelBase + mem::kChannelSize * n; }
std::uint8_t* Name(Image& image, int n) { return image.data() + mem::kNameBase + mem::kNameSize * n; }

void SetBytes(std::uint8_t* dst, std::vector<std::uint8_t> bytes) { std::copy(bytes.begin(), bytes.end(), dst); }
std::vector<std::uint8_t> Bytes(const std::uint8_t* p, int n) { return {p, p + n}; }

std::vector<std::string> RowTexts(const ITextGrid& grid, int row)
{
    std::vector<std::string> texts;
    for (int col = kColRxFreq; col <= kColName; ++col)
        texts.push_back(grid.TextMatrix(row, col));
    return texts;
}

void SetRow(ITextGrid& grid, int row, const std::vector<std::string>& texts)
{
    for (int col = kColRxFreq; col <= kColName; ++col)
        grid.SetTextMatrix(row, col, texts.at(static_cast<std::size_t>(col - kColRxFreq)));
}

const std::vector<std::uint8_t> kExampleRecord = {0x00, 0x25, 0x51, 0x14, 0x00, 0x25, 0x51, 0x14,
                                                  0x70, 0x06, 0x23, 0x80, 0x2E, 0xFF, 0xFF, 0xFF};

}  // namespace

TEST(ChannelCodec, WorkedRecordDecodesAndEncodesByteForByte)
{
    Image image = FilledImage(0xFF);
    SetBytes(Record(image, 0), kExampleRecord);
    SetBytes(Name(image, 0), {10, 11});
    CTextGrid grid;
    DecodeChannels(image, grid, false);
    EXPECT_EQ(RowTexts(grid, 1), (std::vector<std::string>{"145.12500", "145.12500", "67.0", "D023N", "High", "Lock",
                                                           "Yes", "Wide", "AB"}));
    EXPECT_EQ(RowTexts(grid, 2), std::vector<std::string>(9, ""));

    Image out = FilledImage(0x5A);
    std::copy(image.begin(), image.end(), out.begin());
    std::fill_n(Record(out, 0), 13, 0x00);  // the encoder must rebuild bytes 0..12
    Name(out, 0)[7] = 0x00;
    EncodeChannels(grid, out);
    EXPECT_EQ(Bytes(Record(out, 0), 16), kExampleRecord);
    EXPECT_EQ(Bytes(Name(out, 0), 8), (std::vector<std::uint8_t>{10, 11, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(out, image);
}

TEST(ChannelCodec, EmptyRecordsAndAbsentTx)
{
    Image image = FilledImage(0xFF);
    // Byte 3 of 0x00 makes the channel empty; its name is never shown.
    SetBytes(Record(image, 4), {0x00, 0x25, 0x51, 0x00, 0x00, 0x25, 0x51, 0x14, 0x70, 0x06, 0x23, 0x80, 0x2E, 1, 2, 3});
    SetBytes(Name(image, 4), {10, 11, 12});
    // Valid Rx with Tx bytes of 0xFF, and Tx with byte 7 of 0x00.
    SetBytes(Record(image, 5), {0x00, 0x25, 0x51, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x2E, 1, 2, 3});
    SetBytes(Record(image, 6), {0x00, 0x25, 0x51, 0x14, 0x00, 0x25, 0x51, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x2E, 1, 2, 3});
    CTextGrid grid;
    DecodeChannels(image, grid, false);
    EXPECT_EQ(RowTexts(grid, 5), std::vector<std::string>(9, ""));
    EXPECT_EQ(grid.TextMatrix(6, kColRxFreq), "145.12500");
    EXPECT_EQ(grid.TextMatrix(6, kColTxFreq), "");
    EXPECT_EQ(grid.TextMatrix(7, kColTxFreq), "");

    // Unchanged rows keep every byte, the empty record's and the absent Tx's too.
    const Image read = image;
    EncodeChannels(grid, image);
    EXPECT_EQ(image, read);
}

TEST(ChannelCodec, OddRecordsShowAsTheyReadAndKeepTheirBytesUntilChanged)
{
    // Digits above 9 (1000 MHz or more, odd nibbles), power bits 11, stray
    // tone and name codes: each row shows what it reads and, unchanged, is
    // saved byte for byte.
    struct Case {
        std::vector<std::uint8_t> rec, name;
        std::vector<std::string> texts;
    };
    const std::vector<Case> cases = {
        {{0x51, 0x43, 0x97, 0xFE, 0x00, 0x00, 0xA0, 0x99, 0x70, 0x06, 0x23, 0x80, 0x2E, 1, 2, 3},
         {10, 11},
         {"1649.74351", "1000.00000", "67.0", "D023N", "High", "Lock", "Yes", "Wide", "AB"}},
        {{0x00, 0x0A, 0x50, 0x14, 0xAB, 0x00, 0x50, 0x14, 0xAB, 0x12, 0xAB, 0x80, 0xFD, 0xFF, 0xFF, 0xFF},
         {10, 37, 11},
         {"145.01000", "145.00111", "131.1", "D0111N", "", "Lock", "Yes", "Narrow", "A"}},
        {{0x00, 0x25, 0x51, 0x14, 0x00, 0x25, 0x51, 0x00, 0x12, 0x00, 0x34, 0xFF, 0x70, 0, 0, 0},
         {0xFF, 12},
         {"145.12500", "", "None", "None", "", "Unlock", "No", "Narrow", ""}},
        {{0x00, 0x25, 0x51, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {10, 11, 12}, std::vector<std::string>(9)},
    };
    for (std::size_t k = 0; k < cases.size(); ++k) {
        Image image = FilledImage(0xFF);
        SetBytes(Record(image, 3), cases[k].rec);
        SetBytes(Name(image, 3), cases[k].name);
        const Image read = image;
        CTextGrid grid;
        DecodeChannels(image, grid, false);
        EXPECT_EQ(RowTexts(grid, 4), cases[k].texts) << k;
        EncodeChannels(grid, image);
        EXPECT_EQ(image, read) << k;
    }
}

TEST(ChannelCodec, AChangedCellIsEncodedAndTheRestOfItsRowKept)
{
    const std::vector<std::uint8_t> odd = {0x51, 0x43, 0x97, 0xFE, 0x0A, 0x00, 0x50, 0x14,
                                           0xAB, 0x12, 0xAB, 0x80, 0xFD, 0x01, 0x02, 0x03};
    const std::vector<std::uint8_t> name = {10, 37, 11, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    struct Case {
        int col;
        const char* text;
        int at;  // first changed record byte, or 16 + the name byte
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {kColRxFreq, "145.125", 0, {0x00, 0x25, 0x51, 0x14}},
        {kColTxFreq, "", 4, {0xFF, 0xFF, 0xFF, 0xFF}},
        {kColRxTone, "D023N", 8, {0x23, 0x80}},
        {kColTxTone, "D023", 10, {0x23, 0xC0}},  // no "N": inverted
        {kColPower, "High", 12, {0xED}},         // bits 7, 6 and 0 stay
        {kColPower, "Low", 12, {0xCD}},
        {kColLock, "Unlock", 12, {0xF5}},
        {kColScanAdd, "No", 12, {0xF9}},
        {kColBandwidth, "Narrow", 12, {0xFD}},  // the word it had: nothing to do
        {kColBandwidth, "Wide", 12, {0xFF}},
        {kColName, "AB", 16, {10, 11, 0xFF}},
    };
    for (const Case& c : cases) {
        Image image = FilledImage(0xFF);
        SetBytes(Record(image, 0), odd);
        SetBytes(Name(image, 0), name);
        CTextGrid grid;
        DecodeChannels(image, grid, false);
        grid.SetTextMatrix(1, c.col, c.text);
        EncodeChannels(grid, image);
        std::vector<std::uint8_t> expected = odd;
        expected.insert(expected.end(), name.begin(), name.end());
        std::copy(c.bytes.begin(), c.bytes.end(), expected.begin() + c.at);
        std::vector<std::uint8_t> got = Bytes(Record(image, 0), 16);
        const std::vector<std::uint8_t> gotName = Bytes(Name(image, 0), 8);
        got.insert(got.end(), gotName.begin(), gotName.end());
        EXPECT_EQ(got, expected) << c.col << " " << c.text;
    }
}

TEST(ChannelCodec, RowsWithoutAStorableRxAreSavedAllFF)
{
    // Put in the grid by other means: a receive frequency no record holds.
    for (const char* rx : {"5.00000", "0.00000", "1000.00000", "1200.00000", "-145.12500", "k"}) {
        Image image = FilledImage(0xFF);
        SetBytes(Record(image, 0), kExampleRecord);
        CTextGrid grid;
        DecodeChannels(image, grid, false);
        grid.SetTextMatrix(1, kColRxFreq, rx);
        EncodeChannels(grid, image);
        EXPECT_EQ(Bytes(Record(image, 0), 16), std::vector<std::uint8_t>(16, 0xFF)) << rx;
    }
    // A channel typed over an empty record with stray bytes shows no hidden name.
    Image image = FilledImage(0xFF);
    SetBytes(Record(image, 0), {0x00, 0x25, 0x51, 0x00, 0x00, 0x25, 0x51, 0x14, 0x12, 0x00, 0x34, 0x80, 0x00, 7, 8, 9});
    SetBytes(Name(image, 0), {10, 11});
    CTextGrid grid;
    DecodeChannels(image, grid, false);
    SetRow(grid, 1, {"145.125", "", "None", "None", "High", "Lock", "Yes", "Wide", ""});
    EncodeChannels(grid, image);
    EXPECT_EQ(Bytes(Record(image, 0), 16), (std::vector<std::uint8_t>{0x00, 0x25, 0x51, 0x14, 0xFF, 0xFF, 0xFF, 0xFF,
                                                                      0xFF, 0xFF, 0xFF, 0xFF, 0x2E, 7, 8, 9}));
    EXPECT_EQ(Bytes(Name(image, 0), 8), std::vector<std::uint8_t>(8, 0xFF));
}

TEST(ChannelCodec, ClearingRxKeepsTheNameBytesHidden)
{
    Image image = FilledImage(0xFF);
    SetBytes(Record(image, 9), kExampleRecord);
    SetBytes(Name(image, 9), {10, 11, 36});
    CTextGrid grid;
    DecodeChannels(image, grid, false);
    EXPECT_EQ(grid.TextMatrix(10, kColName), "AB-");
    grid.SetTextMatrix(10, kColRxFreq, "");
    EncodeChannels(grid, image);
    EXPECT_EQ(Bytes(Record(image, 9), 16), std::vector<std::uint8_t>(16, 0xFF));
    EXPECT_EQ(Bytes(Name(image, 9), 4), (std::vector<std::uint8_t>{10, 11, 36, 0xFF}));
    DecodeChannels(image, grid, false);
    EXPECT_EQ(grid.TextMatrix(10, kColName), "");
}

TEST(ChannelCodec, FrequencyFields)
{
    std::uint8_t b[4];
    EncodeFrequency("145.125", b);
    EXPECT_EQ(Bytes(b, 4), (std::vector<std::uint8_t>{0x00, 0x25, 0x51, 0x14}));
    EXPECT_EQ(DecodeFrequency(b), "145.12500");
    EncodeFrequency("439.99375", b);
    EXPECT_EQ(Bytes(b, 4), (std::vector<std::uint8_t>{0x75, 0x93, 0x99, 0x43}));
    EXPECT_EQ(DecodeFrequency(b), "439.99375");
    EncodeFrequency("145.0125", b);  // one unit short with a binary product
    EXPECT_EQ(Bytes(b, 4), (std::vector<std::uint8_t>{0x50, 0x12, 0x50, 0x14}));
    EncodeFrequency("999.99999", b);
    EXPECT_EQ(Bytes(b, 4), (std::vector<std::uint8_t>{0x99, 0x99, 0x99, 0x99}));

    // Nothing that parses to 0, and nothing eight BCD digits cannot hold, is stored.
    for (const char* text : {"", "0", "abc", "None", "-145.125", "1000", "1e30", "inf"}) {
        std::memset(b, 0x12, 4);
        EncodeFrequency(text, b);
        EXPECT_EQ(Bytes(b, 4), std::vector<std::uint8_t>(4, 0xFF)) << text;
    }

    // Nibbles are not checked: 0xA5 counts as 105.
    const std::uint8_t odd[4] = {0x00, 0x00, 0xA5, 0x01};
    EXPECT_EQ(DecodeFrequency(odd), "20.50000");
    const std::uint8_t absent[4] = {0x00, 0x25, 0x51, 0xFF};
    EXPECT_EQ(DecodeFrequency(absent), "");
    const std::uint8_t beyond[4] = {0x51, 0x43, 0x97, 0xFE};
    EXPECT_EQ(DecodeFrequency(beyond), "1649.74351");
}

TEST(ChannelCodec, ToneListOrderAndCodes)
{
    const auto& en = ToneNames(false);
    const auto& zh = ToneNames(true);
    ASSERT_EQ(en.size(), static_cast<std::size_t>(kToneCount));
    ASSERT_EQ(zh.size(), static_cast<std::size_t>(kToneCount));
    EXPECT_EQ(en[0], "None");
    EXPECT_EQ(zh[0], "无");
    EXPECT_TRUE(std::equal(en.begin() + 1, en.end(), zh.begin() + 1));
    EXPECT_EQ(en[1], "67.0");
    EXPECT_EQ(en[50], "254.1");
    EXPECT_EQ(en[51], "D023N");
    EXPECT_EQ(en[155], "D754N");
    EXPECT_EQ(en[156], "D023I");
    EXPECT_EQ(en[260], "D754I");
    EXPECT_EQ(std::count(en.begin(), en.end(), "D365N"), 1);

    struct Case {
        const char* text;
        std::uint8_t low, high;
    };
    for (const Case& c :
         {Case{"67.0", 0x70, 0x06}, Case{"254.1", 0x41, 0x25}, Case{"100.0", 0x00, 0x10}, Case{"D023N", 0x23, 0x80},
          Case{"D023I", 0x23, 0xC0}, Case{"D754N", 0x54, 0x87}, Case{"D754I", 0x54, 0xC7}, Case{"None", 0xFF, 0xFF}}) {
        std::uint8_t low = 0, high = 0;
        EncodeTone(c.text, low, high);
        EXPECT_EQ(low, c.low) << c.text;
        EXPECT_EQ(high, c.high) << c.text;
        EXPECT_EQ(DecodeTone(low, high, false), c.text);
    }
    // Every entry of both lists comes back as itself; the Chinese "无" is no tone.
    for (bool chinese : {false, true}) {
        for (const std::string& name : ToneNames(chinese)) {
            std::uint8_t low = 0, high = 0;
            EncodeTone(name, low, high);
            EXPECT_EQ(DecodeTone(low, high, chinese), name);
        }
    }
    EXPECT_EQ(DecodeTone(0x12, 0x00, false), "None");
    EXPECT_EQ(DecodeTone(0x12, 0xFF, true), "无");
    EXPECT_EQ(DecodeTone(0x05, 0x80, false), "D05N");
}

TEST(ChannelCodec, ToneTextsOutsideTheTables)
{
    auto encode = [](const std::string& text) {
        std::uint8_t low = 0, high = 0;
        EncodeTone(text, low, high);
        return std::vector<std::uint8_t>{low, high};
    };
    EXPECT_EQ(encode("88.58"), (std::vector<std::uint8_t>{0x85, 0x08}));   // truncated to tenths
    EXPECT_EQ(encode("D023"), (std::vector<std::uint8_t>{0x23, 0xC0}));    // no "N": inverted
    EXPECT_EQ(encode("xD023N"), (std::vector<std::uint8_t>{0x00, 0x80}));  // first character dropped
    EXPECT_EQ(encode("D6399N"), (std::vector<std::uint8_t>{0x99, 0xBF}));
    EXPECT_EQ(encode("D6299I"), (std::vector<std::uint8_t>{0x99, 0xFE}));
    EXPECT_EQ(encode(""), (std::vector<std::uint8_t>{0xFF, 0xFF}));
    // Values the two bytes cannot carry as the same kind of tone are stored as no tone.
    for (const char* text :
         {"5.0", "800.0", "999.9", "12345", "-67.0", "D6400N", "D6300I", "D-23N", "D99999999999999999999N"})
        EXPECT_EQ(encode(text), (std::vector<std::uint8_t>{0xFF, 0xFF})) << text;
    EXPECT_EQ(DecodeTone(0x99, 0x79, false), "799.9");
}

TEST(ChannelCodec, FlagByteWordsAndKeptBits)
{
    Image image = FilledImage(0xFF);
    SetBytes(Record(image, 0), kExampleRecord);
    Record(image, 0)[12] = 0x3E;
    SetBytes(Record(image, 1), kExampleRecord);
    Record(image, 1)[12] = 0xD1;  // Middle, unlock, no, narrow; bits 7, 6, 0 set
    CTextGrid grid;
    DecodeChannels(image, grid, false);
    EXPECT_EQ(grid.TextMatrix(1, kColPower), "");
    EXPECT_EQ(grid.TextMatrix(1, kColLock), "Lock");
    EXPECT_EQ(grid.TextMatrix(1, kColScanAdd), "Yes");
    EXPECT_EQ(grid.TextMatrix(1, kColBandwidth), "Wide");
    EXPECT_EQ(RowTexts(grid, 2)[4], "Middle");
    EXPECT_EQ(RowTexts(grid, 2)[5], "Unlock");
    EXPECT_EQ(RowTexts(grid, 2)[6], "No");
    EXPECT_EQ(RowTexts(grid, 2)[7], "Narrow");
    EncodeChannels(grid, image);
    EXPECT_EQ(Record(image, 0)[12], 0x3E);  // power 11 is kept while its cell is unchanged
    EXPECT_EQ(Record(image, 1)[12], 0xD1);

    // Unknown words fall to Low, locked, scan add, wide; case matters.
    Record(image, 1)[12] = 0x00;
    SetRow(grid, 2, {"145.125", "", "None", "None", "high", "unlock", "no", "narrow", ""});
    EncodeChannels(grid, image);
    EXPECT_EQ(Record(image, 1)[12], 0x0E);
    // Chinese words are accepted whatever language is shown.
    SetRow(grid, 2, {"145.125", "", "无", "无", "高", "未锁定", "无", "窄", ""});
    EncodeChannels(grid, image);
    EXPECT_EQ(Record(image, 1)[12], 0x20);
    SetRow(grid, 2, {"145.125", "", "None", "None", "中", "锁定", "有", "宽", ""});
    EncodeChannels(grid, image);
    EXPECT_EQ(Record(image, 1)[12], 0x1E);
}

TEST(ChannelCodec, ChineseNoneIsToldApartByColumn)
{
    Image image = FilledImage(0xFF);
    SetBytes(Record(image, 2), kExampleRecord);
    Record(image, 2)[9] = 0xFF;   // Rx tone none
    Record(image, 2)[12] = 0x2A;  // High, lock, scan no, wide
    CTextGrid grid;
    DecodeChannels(image, grid, true);
    EXPECT_EQ(RowTexts(grid, 3),
              (std::vector<std::string>{"145.12500", "145.12500", "无", "D023N", "高", "锁定", "无", "宽", ""}));
    // Encoded over a record holding a tone and scan add yes.
    Image out = image;
    out[0x20 + 9] = 0x06;
    out[0x20 + 12] = 0x2E;
    EncodeChannels(grid, out);
    EXPECT_EQ(out[0x20 + 8], 0xFF);
    EXPECT_EQ(out[0x20 + 9], 0xFF);
    EXPECT_EQ(out[0x20 + 12], 0x2A);
}

TEST(ChannelCodec, NameCharactersAndNames)
{
    for (int c = 0; c < 256; ++c) {
        const std::uint8_t code = EncodeNameChar(static_cast<unsigned char>(c));
        const bool inTable = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '-' || c == '_';
        if (!inTable) {
            EXPECT_EQ(code, 0xFF) << c;
            continue;
        }
        EXPECT_EQ(DecodeNameChar(code), static_cast<char>(c));
    }
    EXPECT_EQ(EncodeNameChar('0'), 0);
    EXPECT_EQ(EncodeNameChar('Z'), 35);
    EXPECT_EQ(EncodeNameChar('_'), 38);
    for (int code : {-1, 37, 39, 0x40, 0xFF, 1000})
        EXPECT_EQ(DecodeNameChar(code), 0) << code;

    Image image = FilledImage(0xFF);
    for (int n = 0; n < 5; ++n)
        SetBytes(Record(image, n), kExampleRecord);
    SetBytes(Name(image, 1), {10, 37, 11});
    SetBytes(Name(image, 2), {10, 11, 0x40, 12});
    SetBytes(Name(image, 3), {0, 1, 2, 3, 4, 5, 6, 7});
    CTextGrid grid;
    DecodeChannels(image, grid, false);
    EXPECT_EQ(grid.TextMatrix(2, kColName), "A");
    EXPECT_EQ(grid.TextMatrix(3, kColName), "AB");
    EXPECT_EQ(grid.TextMatrix(4, kColName), "01234567");

    grid.SetTextMatrix(1, kColName, "AB-_9");
    grid.SetTextMatrix(2, kColName, "abc");
    grid.SetTextMatrix(3, kColName, "ABCDEFGHIJ");
    grid.SetTextMatrix(5, kColName, "A B");
    EncodeChannels(grid, image);
    EXPECT_EQ(Bytes(Name(image, 0), 8), (std::vector<std::uint8_t>{10, 11, 36, 38, 9, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Bytes(Name(image, 1), 8), std::vector<std::uint8_t>(8, 0xFF));
    EXPECT_EQ(Bytes(Name(image, 2), 8), (std::vector<std::uint8_t>{10, 11, 12, 13, 14, 15, 16, 17}));
    EXPECT_EQ(Bytes(Name(image, 4), 3), (std::vector<std::uint8_t>{10, 0xFF, 11}));
    DecodeChannels(image, grid, false);
    EXPECT_EQ(grid.TextMatrix(2, kColName), "");
    EXPECT_EQ(grid.TextMatrix(5, kColName), "A");
}

TEST(ChannelCodec, HeadingsAndRowLabels)
{
    CTextGrid en, zh;
    FillGridLabels(en, false);
    FillGridLabels(zh, true);
    const std::vector<std::string> english = {"CH",    "Rx Frequency", "Tx Frequency", "Rx Tone",   "Tx Tone",
                                              "Power", "Cha Lock",     "Scan Add",     "Bandwidth", "Cha Name"};
    const std::vector<std::string> chinese = {"信道", "接收频率", "发射频率", "接收信令", "发射信令",
                                              "功率", "信道锁定", "扫描添加", "带宽",     "信道名字"};
    for (int col = 0; col < kGridCols; ++col) {
        EXPECT_EQ(en.TextMatrix(0, col), english[static_cast<std::size_t>(col)]);
        EXPECT_EQ(zh.TextMatrix(0, col), chinese[static_cast<std::size_t>(col)]);
    }
    EXPECT_EQ(en.TextMatrix(1, 0), "Pr");
    EXPECT_EQ(en.TextMatrix(2, 0), "  1");
    EXPECT_EQ(en.TextMatrix(11, 0), " 10");
    EXPECT_EQ(zh.TextMatrix(200, 0), "199");
    EXPECT_EQ(en.TextMatrix(1, 1), "");  // labels only
    EXPECT_EQ(GridRowLabel(201), "");
    EXPECT_EQ(Words(true).none, std::string("无"));
    EXPECT_EQ(Words(true).no, std::string("无"));
    EXPECT_EQ(Words(false).middle, std::string("Middle"));
}

TEST(ChannelCodec, UnchangedGridSavesEveryByteAsRead)
{
    std::mt19937 rng(11);
    for (int trial = 0; trial < 20; ++trial) {
        Image original;
        for (auto& b : original)
            b = static_cast<std::uint8_t>(rng() & 0xFF);
        for (int n = 0; n < mem::kChannelCount; n += 7)
            Record(original, n)[3] = (n % 2) ? 0x00 : 0xFF;  // empty records with stray bytes
        for (bool chinese : {false, true}) {
            CTextGrid grid;
            DecodeChannels(original, grid, chinese);
            Image image = original;
            EncodeChannels(grid, image);
            for (std::size_t i = 0; i < kImageSize; ++i)
                ASSERT_EQ(image[i], original[i]) << "offset " << i << " trial " << trial << " chinese " << chinese;
        }
    }
}

// Channel 106's first name bytes are also the selected band record, which is
// written after the grid was decoded: the name still counts as untouched, and
// the codes after its text stay.
TEST(ChannelCodec, NameUnderTheBandRecordKeepsItsLaterBytes)
{
    const int n = (mem::kSelectedBand - mem::kNameBase) / mem::kNameSize;
    ASSERT_EQ(n, 106);
    const std::vector<std::uint8_t> name = {10, 11, 12, 37, 20, 21, 0xFF, 0xFF};  // "ABC", then stray codes
    const struct {
        const char* typed;  // nullptr: the cell as decoded
        std::vector<std::uint8_t> expect;
    } cases[] = {
        {nullptr, {10, 11, 12, 37, 20, 21, 0xFF, 0xFF}},
        {"AB", {10, 11, 0xFF, 37, 20, 21, 0xFF, 0xFF}},
        {"ABCD", {10, 11, 12, 13, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        Image image = FilledImage(0xFF);
        SetBytes(Record(image, n), kExampleRecord);
        SetBytes(Name(image, n), name);
        CTextGrid grid;
        DecodeChannels(image, grid, false);
        ASSERT_EQ(grid.TextMatrix(n + 1, kColName), "ABC");
        SetBytes(image.data() + mem::kSelectedBand, {0x14, 0x17, 0x49});  // the band 140-180 shown
        if (c.typed)
            grid.SetTextMatrix(n + 1, kColName, c.typed);
        EncodeChannels(grid, image);
        EXPECT_EQ(Bytes(Name(image, n), 8), c.expect) << (c.typed ? c.typed : "untouched");
    }
}
