#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "core/radio/Decimal.h"

namespace {

// The exact text of a unit count, built from integers so that it cannot share
// a rounding fault with the code under test.
std::string ExactText(long units)
{
    char text[32];
    std::snprintf(text, sizeof text, "%ld.%05ld", units / 100000, units % 100000);
    return text;
}

// The same value written the way a user types it: "145.125" rather than "145.12500".
std::string ShortText(long units)
{
    std::string text = ExactText(units);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}

// Checks one unit count both ways; returns true when a plain binary product
// would have truncated to a different count. Plain comparisons keep the
// half-million checks fast; a mismatch is reported with its texts.
bool CheckUnits(long units)
{
    const std::string full = ExactText(units);
    const std::string shortText = ShortText(units);
    const long fromFull = FrequencyTextToUnits(full.c_str());
    const long fromShort = FrequencyTextToUnits(shortText.c_str());
    const std::string back = UnitsToFrequencyText(units);
    if (fromFull != units || fromShort != units || back != full)
        ADD_FAILURE() << full << " -> " << fromFull << ", " << shortText << " -> " << fromShort << ", " << units
                      << " -> " << back;
    return static_cast<long>(std::atof(full.c_str()) * 100000.0) != units;
}

}  // namespace

TEST(MulDecimal, ProductsAreDecimalNotBinary)
{
    // 145.0125 * 100000 in binary is 14501249.999..., which truncates one unit short.
    EXPECT_EQ(FrequencyTextToUnits("145.0125"), 14501250);
    EXPECT_EQ(MulDecimal(145.0125, 100000.0), 14501250.0);
    EXPECT_EQ(MulDecimal(0.1, 3.0), 0.3);
    EXPECT_EQ(MulDecimal(0.7, 0.1), 0.07);  // a binary product gives 0.06999999999999999
    EXPECT_EQ(MulDecimal(14512500.0, 0.00001), 145.125);
    EXPECT_EQ(MulDecimal(670.0, 0.1), 67.0);
    EXPECT_EQ(MulDecimal(2541.0, 0.1), 254.1);
}

TEST(MulDecimal, SignsZeroAndExponents)
{
    EXPECT_EQ(MulDecimal(-1.5, 2.0), -3.0);
    EXPECT_EQ(MulDecimal(-1.5, -2.0), 3.0);
    EXPECT_EQ(MulDecimal(0.0, 123.456), 0.0);
    EXPECT_EQ(MulDecimal(123.456, 0.0), 0.0);
    EXPECT_TRUE(std::signbit(MulDecimal(-2.0, 0.0)));
    EXPECT_EQ(MulDecimal(1e200, 1e100), 1e300);
    EXPECT_EQ(MulDecimal(1e-200, 1e-100), 1e-300);
    EXPECT_EQ(MulDecimal(2.5e-5, 4e3), 0.1);
    EXPECT_TRUE(std::isinf(MulDecimal(1e300, 1e300)));
    EXPECT_EQ(MulDecimal(1e-300, 1e-300), 0.0);
    EXPECT_TRUE(std::isnan(MulDecimal(NAN, 1.0)));
}

TEST(MulDecimal, FactorsAreRoundedToFifteenDigits)
{
    // The seventeenth digit of the factor is gone before multiplying.
    EXPECT_EQ(MulDecimal(1.0000000000000002, 1.0), 1.0);
    EXPECT_EQ(MulDecimal(0.30000000000000004, 10.0), 3.0);
    EXPECT_EQ(MulDecimal(123456789012345678.0, 1.0), 123456789012346000.0);
    // Fifteen digits survive intact.
    EXPECT_EQ(MulDecimal(123456789012345.0, 1000.0), 123456789012345000.0);
    EXPECT_EQ(MulDecimal(999999999999999.0, 999999999999999.0), 999999999999998000000000000001.0);
}

TEST(MulDecimal, PowersOfTenMatchTheFifteenDigitText)
{
    // Multiplying by 10^k only moves the exponent of the 15-digit text, so strtod
    // of the shifted text is an independent answer, over every magnitude.
    std::mt19937_64 rng(99);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-60, 60);
    std::uniform_int_distribution<int> shift(-30, 30);
    for (int i = 0; i < 20000; ++i) {
        const double x = std::ldexp(mantissa(rng), exponent(rng) * 3);
        const int k = shift(rng);
        char text[64];
        std::snprintf(text, sizeof text, "%.14e", x);
        char* e = std::strchr(text, 'e');
        char shifted[80];
        std::snprintf(shifted, sizeof shifted, "%.*se%d", static_cast<int>(e - text), text, std::atoi(e + 1) + k);
        const double expected = std::strtod(shifted, nullptr);
        const double tenK = std::strtod(("1e" + std::to_string(k)).c_str(), nullptr);
        const double got = MulDecimal(x, tenK);
        if (got != expected)
            ADD_FAILURE() << text << " * 1e" << k << ": " << got << " != " << expected;
        if (MulDecimal(-x, tenK) != -expected || MulDecimal(tenK, x) != expected)
            ADD_FAILURE() << text << " * 1e" << k << ": sign or order changes the result";
    }
}

TEST(FrequencyText, ParsesLikeAtofAndRefusesWhatDoesNotFit)
{
    EXPECT_EQ(FrequencyTextToUnits("145.125"), 14512500);
    EXPECT_EQ(FrequencyTextToUnits(" 439.99375xyz"), 43999375);
    EXPECT_EQ(FrequencyTextToUnits("145.123456"), 14512345);  // truncated, not rounded
    EXPECT_EQ(FrequencyTextToUnits("-145.125"), -14512500);
    EXPECT_EQ(FrequencyTextToUnits(""), 0);
    EXPECT_EQ(FrequencyTextToUnits("abc"), 0);
    EXPECT_EQ(FrequencyTextToUnits("1e30"), 0);
    EXPECT_EQ(FrequencyTextToUnits("-1e30"), 0);
    EXPECT_EQ(FrequencyTextToUnits("inf"), 0);
    EXPECT_EQ(FrequencyTextToUnits("nan"), 0);
    EXPECT_EQ(FrequencyTextToUnits("21474.83647"), 2147483647);
    EXPECT_EQ(UnitsToFrequencyText(14512500), "145.12500");
    EXPECT_EQ(UnitsToFrequencyText(100), "0.00100");
    EXPECT_EQ(UnitsToFrequencyText(0), "0.00000");
}

TEST(FrequencyText, EveryRasterFrequencyFrom130To520MHzIsExact)
{
    // 1.25 kHz is 125 units of 10 Hz.
    long binaryMisses = 0;
    for (long units = 13000000; units <= 52000000; units += 125)
        if (CheckUnits(units))
            ++binaryMisses;
    // The raster really exercises the decimal path: a binary product misses many.
    EXPECT_GT(binaryMisses, 1000);
}

TEST(FrequencyText, RandomTenHertzSampleIsExact)
{
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<long> dist(0, 99999999);
    for (int i = 0; i < 200000; ++i)
        CheckUnits(dist(rng));
}
