#pragma once

#include <cstdint>
#include <cstring>

namespace kalvert {

/// 10^exponent as an integer, for exponent ≤ 19.
constexpr std::uint64_t tenTo(int exponent)
{
    std::uint64_t power = 1;
    for (int i = 0; i < exponent; ++i) power *= 10;
    return power;
}

inline constexpr char digitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

/// Writes exactly `count` digits of `value`, with leading zeros, two at a time.
[[gnu::always_inline]] inline char* writeDigits(char* out, std::uint64_t value, int count)
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

/// Number of decimal digits of `value` (1 for 0).
inline int digitCount(std::uint64_t value)
{
    int count = 1;
    for (; value >= 10; value /= 10) ++count;
    return count;
}

}  // namespace kalvert
