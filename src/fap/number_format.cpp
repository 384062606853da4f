#include "fap/number_format.hpp"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "fap/exact_decimal.hpp"

namespace kalvert {
namespace {

// Copies `length` characters from `text` to `out`, right-aligned in `width`.
char* placeRightAligned(char* out, const char* text, std::size_t length, int width)
{
    if (width > 0 && length < static_cast<std::size_t>(width)) {
        const std::size_t pad = static_cast<std::size_t>(width) - length;
        std::memset(out, ' ', pad);
        out += pad;
    }
    std::memcpy(out, text, length);
    return out + length;
}

// "nan" carries no sign: a NaN's sign bit says nothing a reader could use.
char* writeNonFinite(char* out, double value, int width)
{
    const char* text = std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    return placeRightAligned(out, text, std::strlen(text), width);
}

// to_chars writes at least two exponent digits; the file wants three.
char* widenExponent(char* begin, char* end)
{
    char* const digits = static_cast<char*>(std::memchr(begin, 'e', static_cast<std::size_t>(end - begin))) + 2;
    const std::size_t digitCount = static_cast<std::size_t>(end - digits);
    if (digitCount >= 3) return end;
    const std::size_t shift = 3 - digitCount;
    std::memmove(digits + shift, digits, digitCount);
    std::memset(digits, '0', shift);
    return end + shift;
}

constexpr int maxFastPrecision = 17;

constexpr std::uint64_t tenTo(int exponent)
{
    std::uint64_t power = 1;
    for (int i = 0; i < exponent; ++i) power *= 10;
    return power;
}

constexpr char digitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes exactly `count` digits of `value`, with leading zeros, two at a time.
char* writeDigits(char* out, std::uint64_t value, int count)
{
    char* const end = out + count;
    char* at = end;
    for (; count >= 2; count -= 2) {
        at -= 2;
        std::memcpy(at, digitPairs + 2 * (value % 100), 2);
        value /= 100;
    }
    if (count == 1) *--at = static_cast<char>('0' + value % 10);
    return end;
}

int digitCount(std::uint64_t value)
{
    int count = 1;
    while (value >= 10) {
        value /= 10;
        ++count;
    }
    return count;
}

// The exact integer path for the magnitudes a FAP file holds; false sends
// the value to the general conversion.
bool writeFixedExactly(char*& out, double value, int width, int precision)
{
    if (precision > maxFastPrecision) return false;
    ScaledDigits digits;
    if (value != 0.0 && !scaleToDigits(value, precision, digits)) return false;
    const std::uint64_t unit = tenTo(precision);
    const std::uint64_t whole = digits.rounded / unit;

    char text[48];
    char* end = text;
    if (std::signbit(value)) *end++ = '-';
    end = writeDigits(end, whole, digitCount(whole));
    if (precision > 0) {
        *end++ = '.';
        end = writeDigits(end, digits.rounded % unit, precision);
    }
    out = placeRightAligned(out, text, static_cast<std::size_t>(end - text), width);
    return true;
}

bool writeExponentExactly(char*& out, double value, int width, int precision)
{
    if (precision > maxFastPrecision) return false;
    const std::uint64_t low = tenTo(precision);  // the smallest `precision + 1`-digit number
    const std::uint64_t high = low * 10;
    ScaledDigits digits;
    int decimalExponent = 0;
    if (value != 0.0) {
        // log10(2) × the binary exponent: the decimal exponent or one below it.
        int binaryExponent = 0;
        std::frexp(value, &binaryExponent);
        decimalExponent = static_cast<int>(std::floor((binaryExponent - 1) * 0.30102999566398120));
        for (int attempt = 0;; ++attempt) {
            if (attempt == 3 || !scaleToDigits(value, precision - decimalExponent, digits)) return false;
            if (digits.truncated >= high)
                ++decimalExponent;
            else if (digits.truncated < low)
                --decimalExponent;
            else
                break;
        }
        if (digits.rounded == high) {  // 9.99…95 rounds up to the next power of ten
            digits.rounded = low;
            ++decimalExponent;
        }
    }

    char text[48];
    char* end = text;
    if (std::signbit(value)) *end++ = '-';
    *end++ = static_cast<char>('0' + digits.rounded / low);
    if (precision > 0) {
        *end++ = '.';
        end = writeDigits(end, digits.rounded % low, precision);
    }
    *end++ = 'e';
    *end++ = decimalExponent < 0 ? '-' : '+';
    const auto magnitude = static_cast<std::uint64_t>(decimalExponent < 0 ? -decimalExponent : decimalExponent);
    end = writeDigits(end, magnitude, std::max(3, digitCount(magnitude)));
    out = placeRightAligned(out, text, static_cast<std::size_t>(end - text), width);
    return true;
}

}  // namespace

char* writeFixed(char* out, double value, int width, int precision)
{
    assert(precision >= 0 && precision <= maxPrecision);
    if (!std::isfinite(value)) return writeNonFinite(out, value, width);
    if (writeFixedExactly(out, value, width, precision)) return out;
    char text[maxNumberLength];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
    assert(result.ec == std::errc{});
    return placeRightAligned(out, text, static_cast<std::size_t>(result.ptr - text), width);
}

char* writeExponent(char* out, double value, int width, int precision)
{
    assert(precision >= 0 && precision <= maxPrecision);
    if (!std::isfinite(value)) return writeNonFinite(out, value, width);
    if (writeExponentExactly(out, value, width, precision)) return out;
    char text[maxNumberLength + 1];  // room for the widened exponent
    const auto result = std::to_chars(text, text + maxNumberLength, value, std::chars_format::scientific, precision);
    assert(result.ec == std::errc{});
    const char* const end = widenExponent(text, result.ptr);
    return placeRightAligned(out, text, static_cast<std::size_t>(end - text), width);
}

namespace {

// Pads on the left to `width` columns, as printf right-aligns numbers.
void appendRightAligned(std::string& text, const char* begin, const char* end, int width)
{
    const std::size_t length = static_cast<std::size_t>(end - begin);
    if (width > 0 && length < static_cast<std::size_t>(width))
        text.append(static_cast<std::size_t>(width) - length, ' ');
    text.append(begin, length);
}

}  // namespace

void appendFixed(std::string& text, double value, int width, int precision)
{
    char buffer[maxNumberLength];
    appendRightAligned(text, buffer, writeFixed(buffer, value, 0, precision), width);
}

void appendExponent(std::string& text, double value, int width, int precision)
{
    char buffer[maxNumberLength];
    appendRightAligned(text, buffer, writeExponent(buffer, value, 0, precision), width);
}

void appendInteger(std::string& text, long long value, int width)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    assert(result.ec == std::errc{});
    appendRightAligned(text, digits, result.ptr, width);
}

void appendLeft(std::string& text, std::string_view value, int width)
{
    text.append(value);
    if (width > 0 && value.size() < static_cast<std::size_t>(width))
        text.append(static_cast<std::size_t>(width) - value.size(), ' ');
}

}  // namespace kalvert
