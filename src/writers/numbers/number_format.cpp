#include "writers/numbers/number_format.hpp"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "writers/numbers/decimal_digits.hpp"
#include "writers/numbers/exact_decimal.hpp"
#include "writers/numbers/fast_decimal.hpp"

namespace kalvert {
namespace {

// The digits of a conversion as one whole number and, for the exponent form,
// the power of ten of its first digit.
struct Digits {
    bool negative = false;
    std::uint64_t rounded = 0;
    int exponent = 0;
};

// The exact integer path takes precisions up to this.
constexpr int maxExactPrecision = 17;

[[gnu::always_inline]] inline char* writeSpaces(char* out, int count)
{
    for (int i = 0; i < count; ++i) *out++ = ' ';
    return out;
}

// Copies `length` characters from `text` to `out`, right-aligned in `width`.
char* placeRightAligned(char* out, const char* text, std::size_t length, int width)
{
    if (width > 0 && length < static_cast<std::size_t>(width)) out = writeSpaces(out, width - static_cast<int>(length));
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
    const std::size_t digitsWritten = static_cast<std::size_t>(end - digits);
    if (digitsWritten >= 3) return end;
    const std::size_t shift = 3 - digitsWritten;
    std::memmove(digits + shift, digits, digitsWritten);
    std::memset(digits, '0', shift);
    return end + shift;
}

[[gnu::always_inline]] inline bool fixedDigits(double value, int precision, Digits& digits)
{
    digits.negative = std::signbit(value);
    if (fastFixedDigits(value, precision, digits.rounded)) return true;
    if (precision > maxExactPrecision) return false;
    ScaledDigits exact;
    if (value != 0.0 && !scaleToDigits(value, precision, exact)) return false;
    digits.rounded = exact.rounded;
    return true;
}

[[gnu::always_inline]] inline bool exponentDigits(double value, int precision, Digits& digits)
{
    digits.negative = std::signbit(value);
    if (fastExponentDigits(value, precision, digits.rounded, digits.exponent)) return true;
    if (precision > maxExactPrecision) return false;
    const std::uint64_t low = tenTo(precision);  // the smallest `precision + 1`-digit number
    const std::uint64_t high = low * 10;
    ScaledDigits exact;
    // log10(2) × the binary exponent: the decimal exponent or one below it.
    int binaryExponent = 0;
    std::frexp(value, &binaryExponent);
    int decimal = static_cast<int>(std::floor((binaryExponent - 1) * 0.30102999566398120));
    for (int attempt = 0;; ++attempt) {
        if (attempt == 3 || !scaleToDigits(value, precision - decimal, exact)) return false;
        if (exact.truncated >= high)
            ++decimal;
        else if (exact.truncated < low)
            --decimal;
        else
            break;
    }
    if (exact.rounded == high) {  // 9.99…95 rounds up to the next power of ten
        exact.rounded = low;
        ++decimal;
    }
    digits.rounded = exact.rounded;
    digits.exponent = decimal;
    return true;
}

// "-ddd.ddd" right-aligned in `width`, written in place.
[[gnu::always_inline]] inline char* writeFixedDigits(char* out, const Digits& digits, int width, int precision)
{
    const std::uint64_t unit = tenTo(precision);
    const std::uint64_t whole = digits.rounded / unit;
    const int wholeDigits = digitCount(whole);
    const int length = (digits.negative ? 1 : 0) + wholeDigits + (precision > 0 ? 1 + precision : 0);
    if (length < width) out = writeSpaces(out, width - length);
    if (digits.negative) *out++ = '-';
    out = writeDigits(out, whole, wholeDigits);
    if (precision > 0) {
        *out++ = '.';
        out = writeDigits(out, digits.rounded % unit, precision);
    }
    return out;
}

// "-d.ddde+ddd" right-aligned in `width`, written in place.
[[gnu::always_inline]] inline char* writeExponentDigits(char* out, const Digits& digits, int width, int precision)
{
    constexpr int minExponentDigits = 3;
    const std::uint64_t unit = tenTo(precision);
    const auto magnitude = static_cast<std::uint64_t>(digits.exponent < 0 ? -digits.exponent : digits.exponent);
    const int exponentDigits = magnitude < 1000 ? minExponentDigits : digitCount(magnitude);
    const int length = (digits.negative ? 1 : 0) + 1 + (precision > 0 ? 1 + precision : 0) + 2 + exponentDigits;
    if (length < width) out = writeSpaces(out, width - length);
    if (digits.negative) *out++ = '-';
    *out++ = static_cast<char>('0' + digits.rounded / unit);
    if (precision > 0) {
        *out++ = '.';
        out = writeDigits(out, digits.rounded % unit, precision);
    }
    *out++ = 'e';
    *out++ = digits.exponent < 0 ? '-' : '+';
    return writeDigits(out, magnitude, exponentDigits);
}

[[gnu::always_inline]] inline char* writeFixedWith(char* out, double value, int width, int precision)
{
    if (!std::isfinite(value)) return writeNonFinite(out, value, width);
    Digits digits;
    if (fixedDigits(value, precision, digits)) return writeFixedDigits(out, digits, width, precision);
    char text[maxNumberLength];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
    assert(result.ec == std::errc{});
    return placeRightAligned(out, text, static_cast<std::size_t>(result.ptr - text), width);
}

[[gnu::always_inline]] inline char* writeExponentWith(char* out, double value, int width, int precision)
{
    if (!std::isfinite(value)) return writeNonFinite(out, value, width);
    Digits digits;
    if (exponentDigits(value, precision, digits)) return writeExponentDigits(out, digits, width, precision);
    char text[maxNumberLength + 1];  // room for the widened exponent
    const auto result = std::to_chars(text, text + maxNumberLength, value, std::chars_format::scientific, precision);
    assert(result.ec == std::errc{});
    const char* const end = widenExponent(text, result.ptr);
    return placeRightAligned(out, text, static_cast<std::size_t>(end - text), width);
}

}  // namespace

char* writeFixed(char* out, double value, int width, int precision)
{
    assert(precision >= 0 && precision <= maxPrecision);
    return writeFixedWith(out, value, width, precision);
}

char* writeExponent(char* out, double value, int width, int precision)
{
    assert(precision >= 0 && precision <= maxPrecision);
    return writeExponentWith(out, value, width, precision);
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

void appendScientific(std::string& text, double value, int width, int precision)
{
    char buffer[maxNumberLength];
    char* end = writeExponent(buffer, value, 0, precision);
    if (char* const e = static_cast<char*>(std::memchr(buffer, 'e', static_cast<std::size_t>(end - buffer)))) {
        *e = 'E';
        // The tool's own exponent has three digits at least; C's has two.
        char* const digits = e + 2;
        if (end - digits == 3 && digits[0] == '0') {
            std::memmove(digits, digits + 1, 2);
            --end;
        }
    }
    appendRightAligned(text, buffer, end, width);
}

std::string fixedText(double value, int width, int precision)
{
    std::string text;
    appendFixed(text, value, width, precision);
    return text;
}

std::string scientificText(double value, int width, int precision)
{
    std::string text;
    appendScientific(text, value, width, precision);
    return text;
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

std::string roundTripText(double value)
{
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string roundTripDecimal(double value)
{
    char text[maxNumberLength + 16];
    return std::string(text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr);
}

std::string roundTripScientific(double value)
{
    char text[64];
    std::string written(text, std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr);
    for (char& c : written)
        if (c == 'e') c = 'E';
    return written;
}

}  // namespace kalvert
