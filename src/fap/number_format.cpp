#include "fap/number_format.hpp"

#include <charconv>
#include <cmath>
#include <cstring>

namespace kalvert {
namespace {

// Right-aligns the `length` characters at `out` in `width` columns.
char* alignRight(char* out, std::size_t length, int width)
{
    if (width > 0 && length < static_cast<std::size_t>(width)) {
        const std::size_t pad = static_cast<std::size_t>(width) - length;
        std::memmove(out + pad, out, length);
        std::memset(out, ' ', pad);
        length += pad;
    }
    return out + length;
}

// "nan" carries no sign: a NaN's sign bit says nothing a reader could use.
char* writeNonFinite(char* out, double value, int width)
{
    const char* text = std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    const std::size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return alignRight(out, length, width);
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

}  // namespace

char* writeFixed(char* out, double value, int width, int precision)
{
    if (!std::isfinite(value)) return writeNonFinite(out, value, width);
    const auto result = std::to_chars(out, out + maxNumberLength, value, std::chars_format::fixed, precision);
    return alignRight(out, static_cast<std::size_t>(result.ptr - out), width);
}

char* writeExponent(char* out, double value, int width, int precision)
{
    if (!std::isfinite(value)) return writeNonFinite(out, value, width);
    const auto result = std::to_chars(out, out + maxNumberLength, value, std::chars_format::scientific, precision);
    char* const end = widenExponent(out, result.ptr);
    return alignRight(out, static_cast<std::size_t>(end - out), width);
}

namespace {

// Pads on the left to `width` columns, as printf right-aligns numbers.
void appendRightAligned(std::string& text, const char* begin, const char* end, int width)
{
    const std::size_t length = static_cast<std::size_t>(end - begin);
    if (width > 0 && length < static_cast<std::size_t>(width)) text.append(static_cast<std::size_t>(width) - length, ' ');
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
    appendRightAligned(text, digits, std::to_chars(digits, digits + sizeof digits, value).ptr, width);
}

void appendLeft(std::string& text, std::string_view value, int width)
{
    text.append(value);
    if (width > 0 && value.size() < static_cast<std::size_t>(width)) text.append(static_cast<std::size_t>(width) - value.size(), ' ');
}

}  // namespace kalvert
