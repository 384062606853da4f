#pragma once

#include "app/exit_code.hpp"
#include "app/run_state.hpp"

namespace kalvert {

/// Is IN= a folder that the standard formats read file by file?
[[nodiscard]] bool isFolderInput(const OutputRequest& request);

/// IN= a folder: every regular file in it (not those whose names begin with
/// "."), in name order, read by its content and checked with all its
/// responses as one file is; then all of them converted and written
/// together, all or nothing (or, with ON_ERROR=skip, without what was
/// refused). Names clash across files as within one.
[[nodiscard]] ExitCode runFolder(RunState& run);

}  // namespace kalvert
