#pragma once

#include <string_view>

#include "response/pole_zero_model.hpp"

namespace kalvert {

/// Reads the whole text of a SAC pole-zero file into `model` (whose lists
/// must be empty) and fills the fields of `info` that its "#" comments set.
/// Lenient by design: it rejects no content and prints nothing. The text ends
/// at its first NUL byte. Throws std::length_error when the announced zero
/// count exceeds maxZeroCount, std::bad_alloc when memory runs out.
void readPoleZeroText(std::string_view text, PoleZeroModel& model, StationInfo& info);

}  // namespace kalvert
