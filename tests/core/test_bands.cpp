#include <gtest/gtest.h>

#include <array>

#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "core/radio/Bands.h"
#include "core/radio/Image.h"
#include "core/radio/RadioCatalogue.h"
#include "tests/support/TestEnv.h"

namespace {

using Rec = std::array<std::uint8_t, 3>;

Rec Encode(int low, int high)
{
    Rec r{};
    EncodeBandRecord(low, high, r.data());
    return r;
}

Rec At(const Image& image, int offset) { return {image[offset], image[offset + 1], image[offset + 2]}; }

void SetAt(Image& image, int offset, Rec r)
{
    for (int i = 0; i < 3; ++i)
        image[offset + i] = r[i];
}

Image AllFF()
{
    Image image;
    image.fill(0xFF);
    return image;
}

// The band limits are process-wide: every test starts from the initial values.
class BandsTest : public ::testing::Test {
protected:
    void SetUp() override { testenv::ResetBandLimits(); }
};

// A Program.ini in a temporary directory, loaded into its own object.
struct BandIni {
    explicit BandIni(const std::string& text) : file(text, ini) { EXPECT_TRUE(file.loaded); }
    CIniFile ini{4};
    testenv::ProgramIni file;
};

const char kProfile[] =
    "[Setup]\n"
    "AppName=TR Programmer\n"
    "Language=English\n"
    "Type1=TR-5V\n"
    "Type2=TR-5U\n"
    "Field1=136-174MHz|400-470MHz\n"
    "Field2=400-430MHz|430-470MHz|470-520MHz\n"
    "[English]\n"
    "AppName=Tanager Radio Works\n"
    "[Chinese]\n"
    "AppName=\xE5\xB0\x8F\xE9\xB8\x9F\n";

}  // namespace

TEST_F(BandsTest, InitialLimits)
{
    EXPECT_TRUE(IsInBand(13600000));
    EXPECT_TRUE(IsInBand(17499999));
    EXPECT_FALSE(IsInBand(17500000));
    EXPECT_FALSE(IsInBand(13599999));
    EXPECT_TRUE(IsInBand(40000000));
    EXPECT_TRUE(IsInBand(51999999));
    EXPECT_FALSE(IsInBand(52000000));
    EXPECT_FALSE(IsInBand(30000000));
}

TEST_F(BandsTest, RecordEncodingExamplesAndRoundTrip)
{
    EXPECT_EQ(Encode(136, 174), (Rec{0x13, 0x17, 0x63}));
    EXPECT_EQ(Encode(130, 180), (Rec{0x13, 0x17, 0x09}));
    EXPECT_EQ(Encode(400, 520), (Rec{0x40, 0x51, 0x09}));
    EXPECT_EQ(Encode(400, 470), (Rec{0x40, 0x46, 0x09}));
    // An unreadable band item gives 0-0: H = -1 and the units byte wraps.
    EXPECT_EQ(Encode(0, 0), (Rec{0x00, 0x00, 0xFF}));

    for (int low = 0; low < 1000; low += 7) {
        for (int high = 1; high <= 1000; high += 13) {
            const Rec r = Encode(low, high);
            const BandRange b = DecodeBandRecord(r.data());
            ASSERT_EQ(b.low, low) << low << "-" << high;
            ASSERT_EQ(b.high, high) << low << "-" << high;
        }
    }
    const Rec ff{0xFF, 0xFF, 0xFF};
    const BandRange b = DecodeBandRecord(ff.data());
    EXPECT_EQ(b.low, 1665);  // no digit is checked
    EXPECT_EQ(b.high, 1666);
}

TEST_F(BandsTest, ImageEditRangesFillErasedRecords)
{
    Image image = AllFF();
    const EditRanges r = EditRangesFromImage(image);
    EXPECT_EQ(At(image, mem::kVhfRange), (Rec{0x13, 0x17, 0x63}));
    EXPECT_EQ(At(image, mem::kUhfRange), (Rec{0x40, 0x51, 0x09}));
    EXPECT_EQ(r.vhfLow, 136);
    EXPECT_EQ(r.vhfHigh, 174);
    EXPECT_EQ(r.uhfLow, 400);
    EXPECT_EQ(r.uhfHigh, 520);
    EXPECT_EQ(g_nVhfLow, 13600000);
    EXPECT_EQ(g_nVhfHigh, 17400000);
    EXPECT_EQ(g_nUhfLow, 40000000);
    EXPECT_EQ(g_nUhfHigh, 52000000);
    EXPECT_TRUE(IsInBand(17399999));
    EXPECT_FALSE(IsInBand(17400000));

    // A partly erased record is decoded as it is and left in the image.
    Image partial = AllFF();
    SetAt(partial, mem::kVhfRange, {0xFF, 0x17, 0x63});
    SetAt(partial, mem::kUhfRange, {0x41, 0x46, 0x09});
    const EditRanges p = EditRangesFromImage(partial);
    EXPECT_EQ(At(partial, mem::kVhfRange), (Rec{0xFF, 0x17, 0x63}));
    EXPECT_EQ(p.vhfLow, 1656);
    EXPECT_EQ(p.vhfHigh, 174);
    EXPECT_EQ(p.uhfLow, 410);
    EXPECT_EQ(p.uhfHigh, 470);
    EXPECT_EQ(g_nUhfHigh, 47000000);
}

TEST_F(BandsTest, NewDocumentShowsItsOwnRanges)
{
    Image image = NewDocumentImage();
    const EditRanges r = EditRangesFromImage(image);
    EXPECT_EQ(r.vhfLow, 130);
    EXPECT_EQ(r.vhfHigh, 180);
    EXPECT_EQ(r.uhfLow, 400);
    EXPECT_EQ(r.uhfHigh, 520);
}

TEST_F(BandsTest, KillFocusRules)
{
    EditRanges r{150, 150, 450, 450};
    ApplyVhfEditRange(r);
    EXPECT_EQ(r.vhfLow, 150);
    EXPECT_EQ(r.vhfHigh, 150);
    EXPECT_EQ(g_nVhfLow, 15000000);
    EXPECT_EQ(g_nVhfHigh, 15000000);
    EXPECT_FALSE(IsInBand(15000000));  // every VHF frequency is now rejected
    ApplyUhfEditRange(r);
    EXPECT_EQ(r.uhfLow, 400);
    EXPECT_EQ(r.uhfHigh, 520);
    EXPECT_EQ(g_nUhfLow, 40000000);
    EXPECT_EQ(g_nUhfHigh, 52000000);

    EditRanges rev{175, 150, 470, 400};
    ApplyVhfEditRange(rev);
    EXPECT_EQ(rev.vhfLow, 130);
    EXPECT_EQ(rev.vhfHigh, 180);
    EXPECT_EQ(g_nVhfHigh, 18000000);
    ApplyUhfEditRange(rev);
    EXPECT_EQ(rev.uhfLow, 400);
    EXPECT_EQ(rev.uhfHigh, 520);

    // One band's rule leaves the other band's limits alone.
    EditRanges ok{140, 160, 410, 420};
    ApplyUhfEditRange(ok);
    EXPECT_EQ(ok.uhfLow, 410);
    EXPECT_EQ(g_nUhfHigh, 42000000);
    EXPECT_EQ(g_nVhfLow, 13000000);
}

TEST_F(BandsTest, EditRangesToImageStoresWithoutChecks)
{
    Image image = AllFF();
    EditRangesToImage(EditRanges{180, 130, 450, 450}, image);
    EXPECT_EQ(At(image, mem::kVhfRange), Encode(180, 130));
    EXPECT_EQ(At(image, mem::kUhfRange), Encode(450, 450));
    EXPECT_EQ(g_nVhfLow, 18000000);
    EXPECT_EQ(g_nVhfHigh, 13000000);
    EXPECT_EQ(g_nUhfLow, 45000000);

    // A number too large for the limit type holds at its end instead of wrapping negative.
    EditRangesToImage(EditRanges{136, 99999, 400, 520}, image);
    EXPECT_EQ(g_nVhfHigh, INT32_MAX);
    EXPECT_TRUE(IsInBand(50000000));
}

TEST_F(BandsTest, UnchangedEditRangesKeepTheirBytes)
{
    // Digits above 9 read as some range; saved unchanged they stay as read.
    Image image = AllFF();
    const Rec vhf{0x13, 0x17, 0x6A}, uhf{0x4B, 0x51, 0x09};
    SetAt(image, mem::kVhfRange, vhf);
    SetAt(image, mem::kUhfRange, uhf);
    const EditRanges r = EditRangesFromImage(image);
    EXPECT_EQ(r.vhfHigh, 181);
    EXPECT_EQ(r.uhfLow, 510);
    EditRangesToImage(r, image);
    EXPECT_EQ(At(image, mem::kVhfRange), vhf);
    EXPECT_EQ(At(image, mem::kUhfRange), uhf);
    EditRangesToImage(EditRanges{136, 174, r.uhfLow, r.uhfHigh}, image);
    EXPECT_EQ(At(image, mem::kVhfRange), Encode(136, 174));
    EXPECT_EQ(At(image, mem::kUhfRange), uhf);
}

TEST_F(BandsTest, BandItemParsing)
{
    auto parsed = [](const std::string& s) {
        const BandRange b = ParseBandItem(s);
        return std::make_pair(b.low, b.high);
    };
    EXPECT_EQ(parsed("136-174MHz"), std::make_pair(136, 174));
    EXPECT_EQ(parsed(" 400-470"), std::make_pair(400, 470));
    EXPECT_EQ(parsed("400- 470MHz"), std::make_pair(400, 470));
    EXPECT_EQ(parsed("136 - 174MHz"), std::make_pair(136, 0));
    EXPECT_EQ(parsed("136"), std::make_pair(136, 0));
    EXPECT_EQ(parsed("MHz"), std::make_pair(0, 0));
    EXPECT_EQ(parsed(""), std::make_pair(0, 0));
    EXPECT_EQ(parsed("-5--3MHz"), std::make_pair(-5, -3));

    EXPECT_EQ(BandListItem("136-174MHz|400-470MHz", 0), "136-174MHz");
    EXPECT_EQ(BandListItem("136-174MHz|400-470MHz", 1), "400-470MHz");
    EXPECT_EQ(BandListItem("136-174MHz|400-470MHz", 5), "400-470MHz");
    EXPECT_EQ(BandListItem("a|b|", 7), "");
    EXPECT_EQ(BandListItem("a||b", 1), "");
    EXPECT_EQ(BandListItem("only", 3), "only");
    EXPECT_EQ(BandListItem("", 0), "");
}

TEST_F(BandsTest, OpenedDocumentStoresItsTypeAndBand)
{
    BandIni profile(kProfile);
    CMemorySettingsStore store;
    store.WriteDword("TR Programmer", kSettingType, 1);
    Image image = AllFF();
    image[mem::kRadioType] = 0;
    image[mem::kBandIndex] = 5;
    const std::string caption = SyncRadioType(image, false, profile.ini, store, "English");
    EXPECT_EQ(caption, "Tanager Radio Works");
    EXPECT_EQ(store.ReadDword("TR Programmer", kSettingType), 0u);
    EXPECT_EQ(store.ReadDword("TR Programmer", kSettingField), 5u);
    EXPECT_EQ(At(image, mem::kSelectedBand), (Rec{0x40, 0x46, 0x09}));
    EXPECT_EQ(image[mem::kRadioType], 0);
    EXPECT_EQ(image[mem::kBandIndex], 5);

    EXPECT_EQ(SyncRadioType(image, false, profile.ini, store, "Chinese"), "\xE5\xB0\x8F\xE9\xB8\x9F");
}

TEST_F(BandsTest, NewDocumentTakesTypeAndBandFromTheStore)
{
    BandIni profile(kProfile);
    CMemorySettingsStore store;
    store.WriteDword("TR Programmer", kSettingType, 0x101);  // only the low byte is kept
    store.WriteDword("TR Programmer", kSettingField, 2);
    Image image = NewDocumentImage();
    SyncRadioType(image, true, profile.ini, store, "English");
    EXPECT_EQ(image[mem::kRadioType], 1);
    EXPECT_EQ(image[mem::kBandIndex], 2);
    EXPECT_EQ(At(image, mem::kSelectedBand), Encode(470, 520));
    EXPECT_EQ(store.ReadDword("TR Programmer", kSettingType), 0x101u);  // a new document writes nothing

    // Nothing stored yet: type 0, band 0.
    CMemorySettingsStore empty;
    Image fresh = AllFF();
    SyncRadioType(fresh, true, profile.ini, empty, "English");
    EXPECT_EQ(fresh[mem::kRadioType], 0);
    EXPECT_EQ(fresh[mem::kBandIndex], 0);
    EXPECT_EQ(At(fresh, mem::kSelectedBand), (Rec{0x13, 0x17, 0x63}));
    EXPECT_TRUE(empty.m_values.empty());
}

TEST_F(BandsTest, UnknownTypeGivesTheZeroBandRecord)
{
    BandIni profile(kProfile);
    CMemorySettingsStore store;
    Image image = AllFF();
    image[mem::kRadioType] = 7;  // no Field8
    image[mem::kBandIndex] = 0;
    EXPECT_EQ(SyncRadioType(image, false, profile.ini, store, "German"), "");
    EXPECT_EQ(At(image, mem::kSelectedBand), (Rec{0x00, 0x00, 0xFF}));
    EXPECT_EQ(store.ReadDword("TR Programmer", kSettingType), 7u);
}

TEST_F(BandsTest, CatalogueListsTypesAndBandsAsTheDialogShowsThem)
{
    BandIni profile(
        "[Setup]\nType1=TR-5V\nType2=TR-5U\nType4=Unreachable\n"
        "Field1=136-174MHz|400-470MHz\nField2=400-430MHz|430-470MHz|470-520MHz\nField3=|\n");
    const CRadioCatalogue catalogue(profile.ini);
    EXPECT_EQ(catalogue.TypeNames(), (std::vector<std::string>{"TR-5V", "TR-5U"}));  // Type3 missing
    EXPECT_EQ(catalogue.TypeName(3), "Unreachable");
    EXPECT_EQ(catalogue.Bands(1), (std::vector<std::string>{"400-430MHz", "430-470MHz", "470-520MHz"}));
    EXPECT_EQ(catalogue.Bands(2), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(catalogue.Bands(-1), (std::vector<std::string>{""}));  // no type selected: Field0
    EXPECT_EQ(catalogue.Band(0, 9), "400-470MHz");
}

TEST_F(BandsTest, ProductChoiceGoesToImageStoreAndCaption)
{
    BandIni profile(kProfile);
    CMemorySettingsStore store;
    Image image = AllFF();
    const ProductChoice choice{1, 2, "TR-5U", "470-520MHz"};
    ApplyProductChoice(choice, &image, profile.ini, store);
    EXPECT_EQ(image[mem::kRadioType], 1);
    EXPECT_EQ(image[mem::kBandIndex], 2);
    EXPECT_EQ(At(image, mem::kSelectedBand), Encode(470, 520));
    EXPECT_EQ(store.ReadDword("TR Programmer", kSettingField), 2u);
    EXPECT_EQ(ProductCaption("Tool", choice), "Tool  [ Type:TR-5U  Fre:470-520MHz ]");

    // Nothing selected and no document: only the store hears of it.
    ApplyProductChoice(ProductChoice{}, nullptr, profile.ini, store);
    EXPECT_EQ(store.ReadDword("TR Programmer", kSettingType), 0xFFFFFFFFu);
}
