// Differential: the tool's number conversions against the C library's
// printf (exponent widened to three digits, then padded) on arbitrary doubles.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "writers/numbers/number_format.hpp"
#include "writers/numbers/table_numbers.hpp"

namespace {

std::string reference(double value, bool exponentForm, int width, int precision)
{
    char text[1024];
    std::snprintf(text, sizeof text, exponentForm ? "%.*e" : "%.*f", precision, value);
    std::string result = text;
    const char* e = std::strchr(text, 'e');
    if (e != nullptr && std::strlen(e + 2) < 3) result = std::string(static_cast<const char*>(text), e + 2) + "0" + (e + 2);
    if (result.size() < static_cast<std::size_t>(width)) result.insert(0, static_cast<std::size_t>(width) - result.size(), ' ');
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(double) + 2) return 0;
    double value = 0.0;
    std::memcpy(&value, data, sizeof value);
    if (!std::isfinite(value)) return 0;  // spelled "inf" and "nan" on purpose, unlike printf's "-nan"
    const bool exponentForm = (data[8] & 1) != 0;
    const int precision = (data[8] >> 1) % (kalvert::maxPrecision + 1);
    const int width = data[9] % 40;

    std::string mine;
    if (exponentForm) kalvert::appendExponent(mine, value, width, precision);
    else kalvert::appendFixed(mine, value, width, precision);
    const std::string theirs = reference(value, exponentForm, width, precision);
    // The table's straight path for seven decimals, whatever precision the input asked for.
    char table[kalvert::maxNumberLength];
    const std::string mineAt7(table, exponentForm ? kalvert::writeExponent7(table, value, width)
                                                  : kalvert::writeFixed7(table, value, width));
    const std::string theirsAt7 = reference(value, exponentForm, width, 7);
    if (mine != theirs || mineAt7 != theirsAt7) {
        std::fprintf(stderr, "%.17g %c width %d precision %d: \"%s\" vs printf \"%s\"; at 7: \"%s\" vs \"%s\"\n", value,
                     exponentForm ? 'e' : 'f', width, precision, mine.c_str(), theirs.c_str(), mineAt7.c_str(),
                     theirsAt7.c_str());
        std::abort();
    }
    return 0;
}
