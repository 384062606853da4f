#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kalvert {

// printf-style conversions for the FAP file, independent of the locale:
// the decimal separator is always a point, exponents carry a sign and at
// least three digits, digits are correctly rounded (round half to even on
// the double's exact value, as glibc's printf does). Non-finite values are
// spelled "inf", "-inf" and "nan", right-aligned like numbers.
//
// The char* writers put their text at `out` and return its end; `out` must
// have room for max(width, maxNumberLength) characters. Nothing is
// NUL-terminated.

/// Longest text a number conversion with precision ≤ maxPrecision makes:
/// a sign, 309 integer digits, the point and the decimals.
inline constexpr int maxPrecision = 17;
inline constexpr std::size_t maxNumberLength = 1 + 309 + 1 + maxPrecision;

/// "%<width>.<precision>f"
char* writeFixed(char* out, double value, int width, int precision);
/// "%<width>.<precision>e" with a three-digit exponent at least.
char* writeExponent(char* out, double value, int width, int precision);

/// The same conversions appended to a text.
void appendFixed(std::string& text, double value, int width, int precision);
void appendExponent(std::string& text, double value, int width, int precision);
/// "%<width>.<precision>E" as C prints it: upper-case E and at least two
/// exponent digits (the fixed-column fields of GSE and CSS files).
void appendScientific(std::string& text, double value, int width, int precision);
/// The same conversions as texts of their own.
[[nodiscard]] std::string fixedText(double value, int width, int precision);
[[nodiscard]] std::string scientificText(double value, int width, int precision);
/// The shortest text that reads back to the same double ("0.1", "4e+05",
/// "-1.2345678901234567e-300"): metadata files keep every bit.
[[nodiscard]] std::string roundTripText(double value);
/// The same without an exponent ("400000", "0.00001"): for xs:decimal fields.
[[nodiscard]] std::string roundTripDecimal(double value);
/// The same in scientific form with an upper-case E ("4E+05", "1.5E-01").
[[nodiscard]] std::string roundTripScientific(double value);

/// "%<width>d"
void appendInteger(std::string& text, long long value, int width = 0);
/// "%-<width>s": left-justified, padded with spaces, never cut.
void appendLeft(std::string& text, std::string_view value, int width);

}  // namespace kalvert
