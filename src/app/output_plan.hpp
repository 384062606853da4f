#pragma once

#include <cstddef>
#include <string_view>

#include "app/exit_code.hpp"
#include "app/run_state.hpp"

namespace kalvert {

// The standard formats' output, all or nothing: where each response goes is
// decided before anything is converted, every file is written under a
// temporary name as its response is converted, and only a run in which
// every file is complete moves them onto their names.

/// Decides the targets (one message, one file, or one file per response in
/// the OUT= folder), refusing a name a header field could steer out of the
/// folder, two names that differ only in letter case, a name at which
/// anything but a regular file stands, and the input itself; creates the
/// folder when it is new, and starts the message.
[[nodiscard]] ExitCode stageOutput(RunState& run);

/// The target of one more response of a run that converts file by file (a
/// folder): planned and checked as `stageOutput` does all of them at once;
/// the message started with the first. SomeSkipped when its name is refused
/// and skipped.
[[nodiscard]] ExitCode stageNext(RunState& run, const CheckedResponse& checked);

/// A folder run's response is staged: its target lives on in the staged
/// files only, so that the run does not hold each name twice.
void releaseTarget(RunState& run);

/// Does the request write a file per response into a folder (an existing
/// one, or a path ending in "/")?
[[nodiscard]] bool writesIntoFolder(const OutputRequest& request);

/// Creates the OUT= folder of a format that writes a file per response,
/// when it is new (removed again if nothing is committed).
[[nodiscard]] ExitCode prepareOutputFolder(RunState& run);

/// A response's file, written aside by a worker as piece `piece` of
/// `size` bytes (or not, with the system's `error`), becomes the staged file
/// of target `at`.
[[nodiscard]] ExitCode adoptOutput(RunState& run, std::size_t at, std::size_t piece, std::size_t size, int error);

/// Writes `text` to the target of response `index` (0 for the message).
[[nodiscard]] ExitCode appendOutput(RunState& run, std::size_t index, std::string_view text);

/// Moves every staged file onto its name.
[[nodiscard]] ExitCode commitOutput(RunState& run);

}  // namespace kalvert
