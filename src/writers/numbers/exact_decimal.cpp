#include "writers/numbers/exact_decimal.hpp"

#include <bit>
#include <cstring>

namespace kalvert {
namespace {

__extension__ typedef unsigned __int128 Uint128;

constexpr int maxPowerOfTen = 38;  // 10^38 < 2^128

// Bit widths of the arithmetic: a double's mantissa, the 128-bit work
// integer less one bit so that a sum or a doubled remainder cannot carry out
// of it, less one more where a quotient is doubled, and the 64-bit result.
constexpr int mantissaBits = 53;
constexpr int explicitMantissaBits = mantissaBits - 1;
constexpr int exponentBias = 1075;  // 1023 + the 52 fraction bits
constexpr int productBits = 127;
constexpr int dividendBits = 126;
constexpr int resultBits = 64;

constexpr Uint128 powerOfTen(int exponent)
{
    Uint128 power = 1;
    for (int i = 0; i < exponent; ++i) power *= 10;
    return power;
}

struct PowersOfTen {
    Uint128 values[maxPowerOfTen + 1];
    constexpr PowersOfTen() : values()
    {
        for (int i = 0; i <= maxPowerOfTen; ++i) values[i] = powerOfTen(i);
    }
};

constexpr PowersOfTen powersOfTen;

int bitLength(Uint128 x)
{
    const auto high = static_cast<std::uint64_t>(x >> 64);
    if (high != 0) return 2 * resultBits - std::countl_zero(high);
    return resultBits - std::countl_zero(static_cast<std::uint64_t>(x));
}

bool store(Uint128 truncated, bool roundUp, ScaledDigits& digits)
{
    if (truncated >= (Uint128{1} << resultBits) - 1) return false;
    digits.truncated = static_cast<std::uint64_t>(truncated);
    digits.rounded = digits.truncated + (roundUp ? 1 : 0);
    return true;
}

// numerator / 2^shift, rounded half to even.
bool shiftAndRound(Uint128 numerator, int shift, ScaledDigits& digits)
{
    if (shift == 0) return store(numerator, false, digits);
    if (shift >= 2 * resultBits) return store(0, false, digits);  // below half of one unit
    const Uint128 quotient = numerator >> shift;
    const Uint128 remainder = numerator - (quotient << shift);
    const Uint128 half = Uint128{1} << (shift - 1);
    return store(quotient, remainder > half || (remainder == half && (quotient & 1) != 0), digits);
}

// numerator / denominator, rounded half to even.
bool divideAndRound(Uint128 numerator, Uint128 denominator, ScaledDigits& digits)
{
    const Uint128 quotient = numerator / denominator;
    const Uint128 twiceRemainder = (numerator - quotient * denominator) * 2;  // remainder < 2^127
    return store(quotient, twiceRemainder > denominator || (twiceRemainder == denominator && (quotient & 1) != 0),
                 digits);
}

}  // namespace

bool scaleToDigits(double value, int scale, ScaledDigits& digits)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const int biasedExponent = static_cast<int>((bits >> explicitMantissaBits) & 0x7FF);
    if (biasedExponent == 0 || biasedExponent == 0x7FF) return false;  // zero, subnormal, inf, nan

    // |value| = mantissa × 2^exponent with a 53-bit mantissa.
    const std::uint64_t hiddenBit = std::uint64_t{1} << explicitMantissaBits;
    const std::uint64_t mantissa = (bits & (hiddenBit - 1)) | hiddenBit;
    const int exponent = biasedExponent - exponentBias;

    if (scale >= 0) {
        if (scale > maxPowerOfTen) return false;
        const Uint128 power = powersOfTen.values[scale];
        if (bitLength(power) + mantissaBits > productBits) return false;
        Uint128 numerator = power * mantissa;
        if (exponent >= 0) {
            if (bitLength(numerator) + exponent > productBits) return false;
            return store(numerator << exponent, false, digits);
        }
        return shiftAndRound(numerator, -exponent, digits);
    }

    if (-scale > maxPowerOfTen) return false;
    Uint128 numerator = mantissa;
    Uint128 denominator = powersOfTen.values[-scale];
    if (exponent >= 0) {
        if (mantissaBits + exponent > dividendBits) return false;
        numerator <<= exponent;
    } else {
        if (bitLength(denominator) - exponent > dividendBits) return false;
        denominator <<= -exponent;
    }
    return divideAndRound(numerator, denominator, digits);
}

}  // namespace kalvert
