#pragma once

#include <string>

#include "response/evaluation.hpp"

namespace kalvert {

/// Replaces `out` with the table text: the row count ("%d\n"), then one line
/// "%12.7lf  %10.7le %10.7lf\n" (frequency, amplitude, phase) per row,
/// written whole however wide a value makes it. Reports no error.
void formatFapTable(const FapTable& table, std::string& out);

/// Room the table text of `count` rows is given before formatting: a row line
/// stays below this for any frequency under 1e44 Hz.
inline constexpr std::size_t tableBytesPerRow = 64;

}  // namespace kalvert
