#include "writers/fap/fap_table.hpp"

#include <cassert>
#include <charconv>

#include "writers/numbers/table_numbers.hpp"

namespace kalvert {
namespace {

// Column layout of a table row.
constexpr int frequencyWidth = 12;
constexpr int amplitudeWidth = 10;
constexpr int phaseWidth = 10;

}  // namespace

char* writeTableRow(char* out, const FapPoint& row)
{
    out = writeFixed7(out, row.frequency, frequencyWidth);
    *out++ = ' ';
    *out++ = ' ';
    out = writeExponent7(out, row.amplitude, amplitudeWidth);
    *out++ = ' ';
    out = writeFixed7(out, row.phase, phaseWidth);
    *out++ = '\n';
    return out;
}

char* writeTableCount(char* out, std::size_t count)
{
    constexpr std::size_t room = 23;  // 20 digits at most, and the line feed
    const auto result = std::to_chars(out, out + room, count);
    assert(result.ec == std::errc{});
    *result.ptr = '\n';
    return result.ptr + 1;
}

}  // namespace kalvert
