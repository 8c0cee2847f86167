#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/radio/Image.h"
#include "core/radio/OptionFields.h"

namespace {

std::vector<std::string> Shown(const OptionFields& f, bool zh = false)
{
    std::vector<std::string> v;
    for (const OptionControl& c : OptionControls())
        if (c.kind == OptionKind::List)
            v.push_back(std::string(c.labelEn) + "=" + OptionValueText(f, c.id, zh));
    return v;
}

TEST(OptionDecode, NewDocumentShowsTheDefaults)
{
    const OptionFields f = DecodeOptions(NewDocumentImage());
    EXPECT_TRUE(f.beep);
    EXPECT_EQ(f.powerOnName, "");
    EXPECT_EQ(Shown(f), (std::vector<std::string>{"LED=Auto", "Battery Saver=Off", "Keypad Lock=Manual",
                                                  "Time-Out Timer=1", "Voice Sensitivity=Off", "Priority Scan=Off",
                                                  "Channel Display=Off", "Pri-Scanning Time=3s", "Step=25k",
                                                  "Call Tone=Off", "Squelch Level=1", "Encoder=Off", "Mode=Frequency",
                                                  "Busy=Off", "Scan Mode=CO", "V SQL Adjust=30", "U SQL Adjust=20"}));
    EXPECT_EQ(OptionValueText(f, optid::kLed, true), "自动");
    EXPECT_EQ(OptionValueText(f, optid::kMode, true), "频率");
    EXPECT_EQ(OptionValueText(f, optid::kKeypadLock, true), "手动");
}

TEST(OptionEncode, OkWithoutChangesRewritesFromWhatWasShown)
{
    Image img = NewDocumentImage();
    img[mem::kSquelch] = 0xF1;  // bits above the field are dropped on OK
    img[mem::kTimeOutTimer] = 0x31;
    img[mem::kVoiceSensitivity] = 0xE0;
    img[mem::kCallTone] = 0x50;
    img[0x12E0] = 0x12;  // cleared on OK
    const Image before = img;
    EncodeOptions(DecodeOptions(img), img);

    EXPECT_EQ(img[mem::kVSqlAdjust], 0x1E);
    EXPECT_EQ(img[mem::kUSqlAdjust], 0x14);
    EXPECT_EQ(img[mem::kBatterySaver], 0x00);
    EXPECT_EQ(img[mem::kPriScanTime], 0x00);
    EXPECT_EQ(img[mem::kSquelch], 0x01);
    EXPECT_EQ(img[mem::kTimeOutTimer], 0x01);
    EXPECT_EQ(img[mem::kVoiceSensitivity], 0x00);
    EXPECT_EQ(img[mem::kCallTone], 0x00);
    EXPECT_EQ(img[mem::kStep], 0x04);
    EXPECT_EQ(img[mem::kFlags1], 0xD4);
    EXPECT_EQ(img[mem::kFlags2], 0x21);
    EXPECT_EQ(img[mem::kBeep], 0xFF);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(img[0x12E0 + i], 0xFF);
        EXPECT_EQ(img[mem::kPowerOnName + i], 0xFF);
    }
    // Nothing outside the option fields moves.
    const std::set<int> written{mem::kVSqlAdjust,       mem::kUSqlAdjust, mem::kBatterySaver,
                                mem::kPriScanTime,      mem::kSquelch,    mem::kTimeOutTimer,
                                mem::kVoiceSensitivity, mem::kCallTone,   0x12E0};
    for (int i = 0; i < static_cast<int>(kImageSize); ++i) {
        if (!written.count(i)) {
            EXPECT_EQ(img[static_cast<std::size_t>(i)], before[static_cast<std::size_t>(i)]) << std::hex << i;
        }
    }
    // Decode after encode shows the same thing again.
    EXPECT_EQ(DecodeOptions(img), DecodeOptions(before));
}

TEST(OptionEncode, PowerOnNameCoding)
{
    Image img = NewDocumentImage();
    OptionFields f = DecodeOptions(img);
    f.powerOnName = "AB-1";
    EncodeOptions(f, img);
    const std::uint8_t expected[6] = {0x0A, 0x0B, 0x24, 0x01, 0xFF, 0xFF};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(img[mem::kPowerOnName + i], expected[i]) << i;
    EXPECT_EQ(DecodeOptions(img).powerOnName, "AB-1");

    f.powerOnName = "Z_9";
    EncodeOptions(f, img);
    EXPECT_EQ(img[mem::kPowerOnName + 1], 38);
    EXPECT_EQ(DecodeOptions(img).powerOnName, "Z_9");

    f.powerOnName = "abc";
    EncodeOptions(f, img);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(img[mem::kPowerOnName + i], 0xFF);
    EXPECT_EQ(DecodeOptions(img).powerOnName, "");

    // A code without a character (37) cuts the shown name.
    const std::uint8_t cut[6] = {0x0A, 0x0B, 37, 0x0C, 0xFF, 0xFF};
    for (int i = 0; i < 6; ++i)
        img[mem::kPowerOnName + i] = cut[i];
    EXPECT_EQ(DecodeOptions(img).powerOnName, "AB");
    img[mem::kPowerOnName + 2] = 0x40;
    EXPECT_EQ(DecodeOptions(img).powerOnName, "AB");
}

TEST(PowerOnName, UpperCaseAsTypedAndRefusesWhatTheRadioCannotShow)
{
    struct Case {
        const char* typed;
        const char* name;
        const char* refused;
        bool tooLong;
    };
    const Case cases[] = {
        {"ab-1", "AB-1", "", false},
        {"Z_9", "Z_9", "", false},
        {"", "", "", false},
        {"a b", "A B", " ", false},
        {"中A1", "中A1", "中", false},
        {"ab.c", "AB.C", ".", false},
        {"abcdefg", "ABCDEFG", "", true},
        {"abcdef", "ABCDEF", "", false},
        {"AB,CD", "AB,CD", ",", false},
        {"中中中中中中中", "中中中中中中中", "中", true},
        // Bytes that are no UTF-8 are one character each, refused alone.
        {"\xff"
         "BCD",
         "\xff"
         "BCD",
         "\xff", false},
        {"\xf0"
         "ABCDEF",
         "\xf0"
         "ABCDEF",
         "\xf0", true},
    };
    for (const Case& c : cases) {
        const PowerOnNameCheck check = CheckPowerOnName(c.typed);
        EXPECT_EQ(check.name, c.name) << c.typed;
        EXPECT_EQ(check.refused, c.refused) << c.typed;
        EXPECT_EQ(check.tooLong, c.tooLong) << c.typed;
        const std::string why = PowerOnNameRefusal(check);
        EXPECT_EQ(why.empty(), check.Ok()) << c.typed;
        if (!check.Ok() && static_cast<unsigned char>(c.typed[0]) < 0xF0) {
            EXPECT_NE(why.find(std::string("\"") + (*c.refused ? c.refused : c.name) + "\""), std::string::npos) << why;
        }
    }
    // The refusal names what was given without letting it drive a terminal.
    const std::string why = PowerOnNameRefusal(CheckPowerOnName("\x1b[2J\xff"));
    EXPECT_NE(why.find("cannot hold \"\\x1b\" (in \"\\x1b[2J\\xff\")"), std::string::npos) << why;
    EXPECT_NE(PowerOnNameRefusal(CheckPowerOnName("a b")).find("0-9, A-Z, - and _"), std::string::npos);
}

TEST(OptionEncode, BitFieldsKeepEveryOtherBit)
{
    Image img = NewDocumentImage();
    img[mem::kFlags1] = 0xD5;  // bit 0 set: not ours
    img[mem::kFlags2] = 0x3D;  // bits 5..2 not ours
    img[mem::kBeep] = 0xFE;
    OptionFields f = DecodeOptions(img);
    EXPECT_FALSE(f.beep);
    f.led = 2;  // Auto -> On
    EncodeOptions(f, img);
    EXPECT_EQ((img[mem::kFlags1] >> 2) & 3, 2);
    EXPECT_EQ(img[mem::kFlags1], 0xD9);
    EXPECT_EQ(img[mem::kFlags2], 0x3D);
    EXPECT_EQ(img[mem::kBeep], 0xFE);

    // Every field flipped: only the owned bits change.
    f.channelDisplay = 1;  // clears bit 7
    f.busy = 1;            // clears bit 6
    f.scanMode = 2;
    f.keypadLock = 1;
    f.led = 0;
    f.encoder = 1;
    f.priorityScan = 1;
    f.mode = 2;
    f.beep = true;
    EncodeOptions(f, img);
    EXPECT_EQ(img[mem::kFlags1], 0x23);  // 0010 0011: scan TO, LED off, keypad auto, bit 0 kept
    EXPECT_EQ(img[mem::kFlags2], 0xFE);  // encoder, priority, bits 5..2 kept, mode 2
    EXPECT_EQ(img[mem::kBeep], 0xFF);
    const OptionFields back = DecodeOptions(img);
    EXPECT_EQ(back, f);

    // An unselected list (-1) counts as "any other index" for the bit fields.
    f.scanMode = -1;
    f.channelDisplay = -1;
    f.busy = -1;
    EncodeOptions(f, img);
    EXPECT_EQ((img[mem::kFlags1] >> 4) & 3, 2);
    EXPECT_EQ(img[mem::kFlags1] & 0xC0, 0x80);
}

TEST(OptionDecode, FallbacksAndOutOfListValues)
{
    Image img = NewDocumentImage();
    img[mem::kVSqlAdjust] = 127;
    img[mem::kUSqlAdjust] = 128;
    img[mem::kPriScanTime] = 4;
    img[mem::kBatterySaver] = 6;
    img[mem::kSquelch] = 0x0A;           // masked 10: beyond "0".."9"
    img[mem::kTimeOutTimer] = 0x14;      // masked 4
    img[mem::kCallTone] = 0x2A;          // masked 10
    img[mem::kVoiceSensitivity] = 0xF1;  // masked 17
    img[mem::kStep] = 0xFD;              // masked 5
    img[mem::kFlags1] = 0x3C;            // scan mode 3, LED 3
    img[mem::kFlags2] = 0x03;            // mode 3
    OptionFields f = DecodeOptions(img);
    EXPECT_EQ(f.vSqlAdjust, 127);
    EXPECT_EQ(f.uSqlAdjust, 20);
    EXPECT_EQ(f.priScanTime, 0);
    EXPECT_EQ(f.batterySaver, 0);
    EXPECT_EQ(f.squelch, -1);
    EXPECT_EQ(f.timeOutTimer, -1);
    EXPECT_EQ(f.callTone, -1);
    EXPECT_EQ(f.voiceSensitivity, -1);
    EXPECT_EQ(f.step, -1);
    EXPECT_EQ(f.scanMode, 2);
    EXPECT_EQ(f.led, 2);
    EXPECT_EQ(f.mode, 2);
    EXPECT_EQ(f.channelDisplay, 1);
    EXPECT_EQ(f.busy, 1);
    EXPECT_EQ(OptionValueText(f, optid::kStep, false), "");

    img[mem::kVSqlAdjust] = 0xFF;
    img[mem::kBatterySaver] = 5;
    img[mem::kPriScanTime] = 3;
    img[mem::kVoiceSensitivity] = 0xF0;  // masked 16
    img[mem::kStep] = 0x0B;              // masked 3
    f = DecodeOptions(img);
    EXPECT_EQ(f.vSqlAdjust, 30);
    EXPECT_EQ(f.batterySaver, 5);
    EXPECT_EQ(f.priScanTime, 3);
    EXPECT_EQ(f.voiceSensitivity, 16);
    EXPECT_EQ(f.step, 3);
}

TEST(OptionEncode, UnselectedListsStoreTheirFallbackBytes)
{
    Image img = NewDocumentImage();
    OptionFields f = DecodeOptions(img);
    f.vSqlAdjust = -1;
    f.uSqlAdjust = -1;
    f.priScanTime = -1;
    f.step = -1;
    f.batterySaver = -1;
    f.squelch = -1;
    f.timeOutTimer = -1;
    f.callTone = -1;
    f.voiceSensitivity = -1;
    EncodeOptions(f, img);
    EXPECT_EQ(img[mem::kVSqlAdjust], 0xFF);
    EXPECT_EQ(img[mem::kUSqlAdjust], 0xFF);
    EXPECT_EQ(img[mem::kPriScanTime], 0);
    EXPECT_EQ(img[mem::kStep], 0);
    EXPECT_EQ(img[mem::kBatterySaver], 0);
    EXPECT_EQ(img[mem::kSquelch], 0x0F);
    EXPECT_EQ(img[mem::kTimeOutTimer], 0x0F);
    EXPECT_EQ(img[mem::kCallTone], 0x0F);
    EXPECT_EQ(img[mem::kVoiceSensitivity], 0x1F);

    f = DecodeOptions(img);
    f.vSqlAdjust = 127;
    f.step = 2;
    f.callTone = 9;
    f.voiceSensitivity = 16;
    EncodeOptions(f, img);
    EXPECT_EQ(img[mem::kVSqlAdjust], 127);
    EXPECT_EQ(img[mem::kStep], 2);
    EXPECT_EQ(img[mem::kCallTone], 9);
    EXPECT_EQ(img[mem::kVoiceSensitivity], 16);
}

TEST(OptionControls, DialogOrderIdsAndItems)
{
    std::vector<int> left, right, other;
    for (const OptionControl& c : OptionControls())
        (c.column == OptionColumn::Left ? left : c.column == OptionColumn::Right ? right : other).push_back(c.id);
    EXPECT_EQ(left, (std::vector<int>{1119, 1120, 1121, 1118, 1122, 1123, 1124, 1125, 1002}));
    EXPECT_EQ(right, (std::vector<int>{1117, 1130, 1116, 1129, 1128, 1127, 1126, 1131, 1132}));
    EXPECT_EQ(other, std::vector<int>{1016});
    EXPECT_STREQ(OptionLabel(1125, false), "Pri-Scanning Time");
    EXPECT_STREQ(OptionLabel(1016, false), "Beep");
    EXPECT_STREQ(OptionLabel(1119, true), "LED");

    EXPECT_EQ(OptionItems(optid::kStep, false), (std::vector<std::string>{"5k", "10k", "6.25k", "12.5k", "25k"}));
    EXPECT_EQ(OptionItems(optid::kBatterySaver, true),
              (std::vector<std::string>{"关", "0.2", "0.4", "0.6", "0.8", "1.0"}));
    EXPECT_EQ(OptionItems(optid::kVoiceSensitivity, false).size(), 17u);
    EXPECT_EQ(OptionItems(optid::kVoiceSensitivity, false)[16], "16");
    EXPECT_EQ(OptionItems(optid::kCallTone, false).back(), "1750");
    EXPECT_EQ(OptionItems(optid::kCallTone, false).size(), 10u);
    EXPECT_EQ(OptionItems(optid::kVSqlAdjust, false).size(), 128u);
    EXPECT_EQ(OptionItems(optid::kSquelch, true).size(), 10u);
    EXPECT_EQ(OptionItems(optid::kMode, true), (std::vector<std::string>{"信道", "频率", "存储"}));
    EXPECT_EQ(OptionItems(optid::kScanMode, true), (std::vector<std::string>{"SE", "CO", "TO"}));
    EXPECT_TRUE(OptionItems(optid::kPowerOnName, false).empty());

    // Every list's index round-trips through the accessors, and keys are unique.
    std::set<std::string> keys;
    OptionFields f;
    for (const OptionControl& c : OptionControls()) {
        EXPECT_TRUE(keys.insert(c.key).second) << c.key;
        EXPECT_EQ(FindOptionControlByKey(c.key), &c);
        if (c.kind != OptionKind::List)
            continue;
        const int last = static_cast<int>(OptionItems(c.id, false).size()) - 1;
        ASSERT_EQ(OptionItems(c.id, true).size(), OptionItems(c.id, false).size()) << c.id;
        SetOptionIndex(f, c.id, last);
        EXPECT_EQ(OptionIndex(f, c.id), last) << c.id;
    }
}

}  // namespace
