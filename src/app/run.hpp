#pragma once

#include <string>
#include <vector>

#include "app/exit_code.hpp"

namespace kalvert {

/// One run of the tool as the arguments (program name first) ask: the help
/// screen and the banner, the command line read, then the stages (read the
/// input, split it into responses, select, check, convert, write), each
/// reporting its progress to standard output.
[[nodiscard]] ExitCode runConversion(const std::vector<std::string>& arguments);

}  // namespace kalvert
