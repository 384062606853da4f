#pragma once

#include <string>
#include <vector>

#include "app/exit_code.hpp"

namespace kalvert {

/// Converts one SAC pole-zero file into one FAP file as the arguments
/// (program name first) ask, printing the help screen, the banner and a
/// progress line before and after each stage to standard output.
[[nodiscard]] ExitCode runConversion(const std::vector<std::string>& arguments);

}  // namespace kalvert
