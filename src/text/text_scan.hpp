#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kalvert {

// The few text readings the tool shares between its command line and its
// pole-zero reader. The numbers are read by the C library on purpose: stored
// files and scripts depend on exactly what atoi and sscanf accept.

/// Whole-text comparison ignoring the case of ASCII letters.
[[nodiscard]] bool equalsIgnoringCase(std::string_view text, std::string_view name);

/// Does `text` begin with `prefix`, ignoring the case of ASCII letters?
[[nodiscard]] bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);

/// The blanks around a value in a pole-zero file: spaces, TABs and the CR of
/// a file written on Windows.
inline constexpr std::string_view valueBlanks = " \t\r";

/// `text` without its leading and trailing `valueBlanks`.
[[nodiscard]] std::string_view trimmed(std::string_view text);

/// The leading integer of a text as the C library's atoi reads it (leading
/// white space, a sign, digits; 0 without digits). The text ends at its first
/// NUL byte. A number beyond the int range gives what atoi gives.
[[nodiscard]] int readLeadingInteger(std::string_view text);

/// A decimal number that is its whole field (blanks around it aside): one
/// optional sign, digits, a point, an exponent, as metadata files write
/// them. Nothing for anything else ("4.0O0E+02", "1.5.5", "+-3", an empty
/// field) and for values no double holds or that are not finite ("NaN",
/// "inf", "1e999").
[[nodiscard]] std::optional<double> readExactNumber(std::string_view text);

/// A field from a file as a message shows it: at most `longest` characters
/// (then "…"), and every byte `plain` does not take as "\xNN".
[[nodiscard]] std::string escapedField(std::string_view text, bool (*plain)(unsigned char c), std::size_t longest);

/// Replaces every control byte (below 0x20, and DEL) by a blank: free text
/// copied into a file holds no line break of its own.
void replaceControlBytes(std::string& text);

/// Scans "%lf%*c%lf" from a NUL-terminated text: a number, exactly one
/// character of any kind, then a second number. Each number is stored only
/// if it was read; returns how many were (0, 1 or 2; −1 for an empty text).
int scanNumberPair(const char* text, double& first, double& second);

}  // namespace kalvert
