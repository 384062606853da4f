#pragma once

#include <cstddef>
#include <string>

#include "writers/numbers/number_format.hpp"
#include "response/evaluation.hpp"

namespace kalvert {

/// Longest row line: three numbers of at most maxNumberLength characters,
/// the separators and the line feed.
inline constexpr std::size_t maxTableRowLength = 3 * maxNumberLength + 4;

/// Writes one row line "%12.7lf  %10.7le %10.7lf\n" (frequency, amplitude,
/// phase) at `out`, which has room for maxTableRowLength characters, and
/// returns its end. The line is written whole however wide a value makes it.
char* writeTableRow(char* out, const FapPoint& row);

/// The count line "%d\n" at `out` (room for 24 characters); returns its end.
char* writeTableCount(char* out, std::size_t count);

}  // namespace kalvert
