#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "writers/numbers/decimal_digits.hpp"

// The decimal digits printf shows for a double, worked out in double
// arithmetic: |value| × 10^k is formed in one or two correctly rounded
// operations, and its nearest whole number is taken only when the product's
// rounding error cannot carry it across a rounding tie. Otherwise (near a tie,
// or out of range) the functions return false and the exact path decides, so
// the digits are always those of the double's exact binary value, rounded
// half to even, as glibc's printf gives them. Inline, so that a caller with a
// constant precision gets its powers of ten and divisions folded.

namespace kalvert {
namespace fast_decimal_detail {

// The powers of ten a double holds exactly.
inline constexpr int maxExactPower = 22;
inline constexpr double exactPowersOfTen[maxExactPower + 1] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Whole numbers below this are exact in a double, with room to spare.
inline constexpr double maxWholeNumber = 0x1p53;

// Two correctly rounded operations err by less than 2^-52 of the result:
// a margin of 2^-50 leaves room for the margin's own rounding.
inline constexpr double relativeMargin = 0x1p-50;

// m × 10^shift in at most two correctly rounded operations.
[[gnu::always_inline]] inline bool scaleByPowerOfTen(double m, int shift, double& scaled)
{
    if (shift > 2 * maxExactPower || shift < -2 * maxExactPower) return false;
    if (shift >= 0) {
        if (shift > maxExactPower) {
            m *= exactPowersOfTen[maxExactPower];
            shift -= maxExactPower;
        }
        scaled = m * exactPowersOfTen[shift];
    } else {
        if (-shift > maxExactPower) {
            m /= exactPowersOfTen[maxExactPower];
            shift += maxExactPower;
        }
        scaled = m / exactPowersOfTen[-shift];
    }
    return true;
}

// The whole number nearest to the exact product that `scaled` approximates,
// if `scaled` alone decides it.
[[gnu::always_inline]] inline bool roundScaled(double scaled, std::uint64_t& rounded)
{
    if (!(scaled < maxWholeNumber)) return false;
    const auto whole = static_cast<std::uint64_t>(scaled);
    const double fromHalf = (scaled - static_cast<double>(whole)) - 0.5;
    const double margin = scaled * relativeMargin;
    if (fromHalf > margin)
        rounded = whole + 1;
    else if (fromHalf < -margin)
        rounded = whole;
    else
        return false;  // too near a tie for the double to tell
    return true;
}

// floor(log10(2^binaryExponent)) for |binaryExponent| < 1650, in integers.
inline int decimalExponentBelow(int binaryExponent)
{
    constexpr int log10Of2Scaled = 78913;  // log10(2) × 2^18, rounded
    constexpr int scaleBits = 18;
    return (binaryExponent * log10Of2Scaled) >> scaleBits;
}

}  // namespace fast_decimal_detail

/// |value| × 10^precision rounded to a whole number ("%.<precision>f").
[[gnu::always_inline]] inline bool fastFixedDigits(double value, int precision, std::uint64_t& rounded)
{
    using namespace fast_decimal_detail;
    if (precision < 0 || precision > maxExactPower) return false;
    return roundScaled(std::fabs(value) * exactPowersOfTen[precision], rounded);
}

/// The precision + 1 significant digits of |value| as a whole number in
/// [10^precision, 10^(precision+1)), and its decimal exponent ("%.<precision>e").
/// Zero gives 0 and exponent 0.
[[gnu::always_inline]] inline bool fastExponentDigits(double value, int precision, std::uint64_t& rounded,
                                                      int& exponent)
{
    using namespace fast_decimal_detail;
    // precision + 2 digits must stay far below 2^53.
    constexpr int maxFastPrecision = 14;
    if (precision < 0 || precision > maxFastPrecision) return false;
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0) {
        rounded = 0;
        exponent = 0;
        return true;
    }
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    constexpr int fractionBits = 52;
    constexpr int exponentMask = 0x7FF;
    constexpr int exponentBias = 1023;
    const int biasedExponent = static_cast<int>(bits >> fractionBits) & exponentMask;
    if (biasedExponent == 0 || biasedExponent == exponentMask) return false;  // subnormal, inf, nan

    // The decimal exponent is this or one more.
    int decimal = decimalExponentBelow(biasedExponent - exponentBias);
    const std::uint64_t low = tenTo(precision);
    const double high = static_cast<double>(low * 10);
    double scaled = 0.0;
    if (!scaleByPowerOfTen(magnitude, precision - decimal, scaled)) return false;
    if (scaled >= high) {
        ++decimal;
        if (!scaleByPowerOfTen(magnitude, precision - decimal, scaled)) return false;
    }
    if (!roundScaled(scaled, rounded) || rounded < low || rounded > low * 10) return false;
    if (rounded == low * 10) {  // 9.99…95 rounds up to the next power of ten
        rounded = low;
        ++decimal;
    }
    exponent = decimal;
    return true;
}

}  // namespace kalvert
