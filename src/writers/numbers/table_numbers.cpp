#include "writers/numbers/table_numbers.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "writers/numbers/decimal_digits.hpp"
#include "writers/numbers/number_format.hpp"

namespace kalvert {
namespace {

constexpr int decimals = 7;
constexpr double scaleOfDecimals = 1e7;
constexpr std::uint64_t unitOfDecimals = 10'000'000;

// Magnitudes whose scaled value stays a whole number a double holds exactly.
constexpr double maxFixedMagnitude = 9e8;

// The product of two exact operands errs by at most 2^-53 of itself.
constexpr double relativeMargin = 0x1p-51;

constexpr double exactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int maxExactPower = 22;

constexpr char spaces[] = "                ";

// Nearest whole number to the exact value `scaled` approximates, unless
// `scaled` is too near a half for its rounding error to be ruled out.
bool roundUnlessNearTie(double scaled, std::uint64_t& rounded)
{
    const auto whole = static_cast<std::uint64_t>(scaled);
    const double fromHalf = (scaled - static_cast<double>(whole)) - 0.5;
    const double margin = scaled * relativeMargin;
    if (fromHalf > margin) {
        rounded = whole + 1;
        return true;
    }
    rounded = whole;
    return fromHalf < -margin;
}

// Exactly four digits of `value` (< 10000).
char* writeFourDigits(char* out, std::uint32_t value)
{
    std::memcpy(out, digitPairs + std::size_t{2} * (value / 100), 2);
    std::memcpy(out + 2, digitPairs + std::size_t{2} * (value % 100), 2);
    return out + 4;
}

// Exactly seven digits of `value` (< 10^7).
char* writeSevenDigits(char* out, std::uint32_t value)
{
    const std::uint32_t high = value / 10000;  // three digits
    *out = static_cast<char>('0' + high / 100);
    std::memcpy(out + 1, digitPairs + std::size_t{2} * (high % 100), 2);
    return writeFourDigits(out + 3, value % 10000);
}

// Pads to `width` for a text of `length` characters.
char* pad(char* out, int length, int width)
{
    const int missing = width - length;
    if (missing <= 0) return out;
    if (missing <= static_cast<int>(sizeof spaces - 1)) {
        std::memcpy(out, spaces, sizeof spaces - 1);  // one fixed-size copy; the excess is overwritten
        return out + missing;
    }
    std::memset(out, ' ', static_cast<std::size_t>(missing));
    return out + missing;
}

}  // namespace

char* writeFixed7(char* out, double value, int width)
{
    const double magnitude = std::fabs(value);
    std::uint64_t rounded = 0;
    if (!(magnitude < maxFixedMagnitude) || !roundUnlessNearTie(magnitude * scaleOfDecimals, rounded))
        return writeFixed(out, value, width, decimals);
    const std::uint64_t whole = rounded / unitOfDecimals;
    const auto fraction = static_cast<std::uint32_t>(rounded - whole * unitOfDecimals);
    const int wholeDigits = whole < 10 ? 1 : digitCount(whole);  // phases and most frequencies have one
    const bool negative = std::signbit(value);
    out = pad(out, (negative ? 1 : 0) + wholeDigits + 1 + decimals, width);
    *out = '-';
    out += negative ? 1 : 0;
    if (wholeDigits == 1)
        *out++ = static_cast<char>('0' + whole);
    else
        out = writeDigits(out, whole, wholeDigits);
    *out++ = '.';
    return writeSevenDigits(out, fraction);
}

char* writeExponent7(char* out, double value, int width)
{
    const double magnitude = std::fabs(value);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    constexpr int fractionBits = 52;
    constexpr int exponentMask = 0x7FF;
    constexpr int exponentBias = 1023;
    const int biasedExponent = static_cast<int>(bits >> fractionBits);
    if (biasedExponent == 0 || biasedExponent == exponentMask) return writeExponent(out, value, width, decimals);

    // floor(log10(2) × binary exponent): the decimal exponent, or one below it.
    constexpr int log10Of2Scaled = 78913;  // log10(2) × 2^18
    int exponent = ((biasedExponent - exponentBias) * log10Of2Scaled) >> 18;
    int shift = decimals - exponent;
    if (shift < -maxExactPower + 1 || shift > maxExactPower) return writeExponent(out, value, width, decimals);
    double scaled = shift >= 0 ? magnitude * exactPowersOfTen[shift] : magnitude / exactPowersOfTen[-shift];
    if (scaled >= scaleOfDecimals * 10) {
        ++exponent;
        --shift;
        scaled = shift >= 0 ? magnitude * exactPowersOfTen[shift] : magnitude / exactPowersOfTen[-shift];
    }
    std::uint64_t rounded = 0;
    if (!roundUnlessNearTie(scaled, rounded) || rounded < unitOfDecimals || rounded > 10 * unitOfDecimals)
        return writeExponent(out, value, width, decimals);
    if (rounded == 10 * unitOfDecimals) {  // 9.99…95 rounds up to the next power of ten
        rounded = unitOfDecimals;
        ++exponent;
    }

    const bool negative = std::signbit(value);
    constexpr int unsignedLength = 1 + 1 + decimals + 2 + 3;  // d.ddddddde+ddd
    out = pad(out, (negative ? 1 : 0) + unsignedLength, width);
    *out = '-';
    out += negative ? 1 : 0;
    const auto digits = static_cast<std::uint32_t>(rounded);
    *out++ = static_cast<char>('0' + digits / unitOfDecimals);
    *out++ = '.';
    out = writeSevenDigits(out, digits % unitOfDecimals);
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const auto magnitudeOfExponent = static_cast<std::uint32_t>(exponent < 0 ? -exponent : exponent);
    *out++ = static_cast<char>('0' + magnitudeOfExponent / 100);
    std::memcpy(out, digitPairs + std::size_t{2} * (magnitudeOfExponent % 100), 2);
    return out + 2;
}

}  // namespace kalvert
