#pragma once

#include <string>

#include "response/pole_zero_model.hpp"

namespace kalvert {

/// Reads the whole text of a SAC pole-zero file into `model` (whose lists
/// must be empty) and fills the fields of `info` that its "#" comments set.
/// Lenient by design: it rejects no content and prints nothing. The text ends
/// at its first NUL byte; the reader cuts it into lines in place, so a caller
/// that no longer needs it hands it over instead of copying it. Throws
/// std::length_error as soon as either list would pass its limit
/// (maxZeroCount, maxPoleCount), std::bad_alloc when memory runs out.
void readPoleZeroText(std::string text, PoleZeroModel& model, StationInfo& info);

}  // namespace kalvert
