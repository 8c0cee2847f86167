#include "core/radio/Decimal.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

// A double rounded to 15 significant digits: value = sign * mantissa * 10^exponent,
// mantissa below 10^15 and without trailing zeros.
struct Decimal15 {
    bool negative = false;
    std::uint64_t mantissa = 0;
    int exponent = 0;
};

constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

Decimal15 ToDecimal15(double x)
{
    Decimal15 d;
    if (x == 0.0)
        return d;
    d.negative = std::signbit(x);
    const double a = std::fabs(x);
    if (a < 1e15 && a == std::trunc(a)) {
        // Whole numbers of up to 15 digits are their own rounding (the unit counts).
        d.mantissa = static_cast<std::uint64_t>(a);
    } else {
        // "%.14e": one digit before the point, 14 after, correctly rounded.
        char text[64];
        const auto res = std::to_chars(text, text + sizeof text, a, std::chars_format::scientific, 14);
        const char* p = text;
        for (; p != res.ptr && *p != 'e'; ++p) {
            if (*p >= '0' && *p <= '9')
                d.mantissa = d.mantissa * 10 + static_cast<unsigned>(*p - '0');
        }
        int exponent = 0;
        if (p != res.ptr)
            std::from_chars(p + 1 + (p[1] == '+'), res.ptr, exponent);
        d.exponent = exponent - 14;
    }
    while (d.mantissa % 10 == 0) {
        d.mantissa /= 10;
        ++d.exponent;
    }
    return d;
}

}  // namespace

double MulDecimal(double x, double y)
{
    // NaN and infinities carry no decimal digits; let the binary product speak for them.
    if (!std::isfinite(x) || !std::isfinite(y))
        return x * y;
    const Decimal15 a = ToDecimal15(x);
    const Decimal15 b = ToDecimal15(y);
    const bool negative = a.negative != b.negative;
    if (a.mantissa == 0 || b.mantissa == 0)
        return negative ? -0.0 : 0.0;

    const int exponent = a.exponent + b.exponent;
    std::uint64_t small = 0;
    if (!__builtin_mul_overflow(a.mantissa, b.mantissa, &small) && small <= (std::uint64_t{1} << 53) &&
        exponent >= -22 && exponent <= 22) {
        // Both operands are exact doubles, so one multiplication or division
        // rounds the exact product correctly: the common case, and fast.
        const double m = static_cast<double>(small);
        const double r = exponent >= 0 ? m * kExactPowersOfTen[exponent] : m / kExactPowersOfTen[-exponent];
        return negative ? -r : r;
    }

    // Two mantissas below 10^15 multiply to less than 10^30 < 2^100: exact in 128 bits.
    const unsigned __int128 product = static_cast<unsigned __int128>(a.mantissa) * b.mantissa;
    const auto high = static_cast<unsigned long long>(product / 1000000000000000ULL);
    const auto low = static_cast<unsigned long long>(product % 1000000000000000ULL);
    char text[96];
    if (high != 0)
        std::snprintf(text, sizeof text, "%s%llu%015llue%d", negative ? "-" : "", high, low, exponent);
    else
        std::snprintf(text, sizeof text, "%s%llue%d", negative ? "-" : "", low, exponent);
    // strtod rounds the exact decimal product to the nearest double.
    return std::strtod(text, nullptr);
}

long FrequencyTextToUnits(const char* text)
{
    const double units = std::trunc(MulDecimal(std::atof(text), 100000.0));
    // A text too large for a 32-bit unit count (or "inf", "nan") reads as nothing,
    // like any other text that does not parse, instead of an undefined conversion.
    if (!std::isfinite(units) || units > std::numeric_limits<std::int32_t>::max() ||
        units < std::numeric_limits<std::int32_t>::min())
        return 0;
    return static_cast<long>(units);
}

std::string UnitsToFrequencyText(long units)
{
    char text[64];
    std::snprintf(text, sizeof text, "%3.5f", MulDecimal(static_cast<double>(units), 0.00001));
    return text;
}
