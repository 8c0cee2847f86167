// Verify after a write: differences named by channel and column, option
// label, band setting, or as bytes no screen shows.
#include <gtest/gtest.h>

#include "core/link/Verify.h"

namespace {

using Ranges = std::vector<ByteRange>;

struct Case {
    const char* name;
    std::vector<std::pair<int, std::uint8_t>> flips;  // address, bits changed in the read-back
    std::vector<std::pair<std::string, Ranges>> want;
};

}  // namespace

TEST(Verify, DifferencesAreNamedAsTheUserKnowsThem)
{
    const Case cases[] = {
        {"identical", {}, {}},
        {"two columns of one channel",
         {{0x10, 0x01}, {0x11, 0x01}, {0x1A, 0x80}},
         {{"channel 1: Rx Frequency, Tx Tone", {{0x10, 0x11}, {0x1A, 0x1A}}}}},
        {"flag bits",
         {{12, 0x10}, {12 + 16 * 199, 0x06}},
         {{"channel Pr: Power", {{12, 12}}}, {"channel 199: Scan Add, Bandwidth", {{0xC7C, 0xC7C}}}}},
        {"a flag bit nothing shows",
         {{12, 0x01}, {0x0C80, 0xFF}},
         {{"bytes no screen shows", {{12, 12}, {0xC80, 0xC80}}}}},
        {"channel 106's name holds the selected band",
         {{0x0FF0, 0x01}},
         {{"channel 106: Cha Name", {{0xFF0, 0xFF0}}}, {"selected band", {{0xFF0, 0xFF0}}}}},
        {"options and band settings",
         {{0x1FC1, 0x03}, {0x12E8, 0x01}, {0x1FD6, 0x01}, {0x1FF3, 0x10}},
         {{"Power-on Name", {{0x12E8, 0x12E8}}},
          {"Squelch Level", {{0x1FC1, 0x1FC1}}},
          {"radio type (Product Information)", {{0x1FD6, 0x1FD6}}},
          {"UHF edit range", {{0x1FF3, 0x1FF3}}}}},
        {"bytes never written do not count", {{0x1FF6, 0xFF}, {0x1FFF, 0x01}}, {}},
    };
    Image sent = NewDocumentImage();
    for (int a = 0; a < 0x0C80; ++a)
        sent[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(0x11 * (a % 7));
    sent[mem::kSquelch] = 3;
    sent[mem::kPowerOnName] = 0x0A;  // "A"
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Image back = sent;
        for (const auto& [a, bits] : c.flips)
            back[static_cast<std::size_t>(a)] ^= bits;
        const std::vector<WriteDifference> got = CompareWrittenImage(sent, back, false);
        ASSERT_EQ(got.size(), c.want.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].where, c.want[i].first);
            EXPECT_EQ(got[i].ranges, c.want[i].second) << AddressRangesText(got[i].ranges);
        }
    }
    Image back = sent;
    back[0x10] ^= 1;
    EXPECT_EQ(CompareWrittenImage(sent, back, true).at(0).where.rfind("信道 1：", 0), 0u);
    EXPECT_EQ(AddressRangesText({{0x50, 0x53}, {0x5A, 0x5A}}), "0x0050-0x0053, 0x005A");
}
