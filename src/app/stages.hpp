#pragma once

#include <vector>

#include "app/exit_code.hpp"
#include "app/reporter.hpp"
#include "app/run_state.hpp"

namespace kalvert {

// The stages of a run, in order, the same for every output format. Each
// takes what the stages before it left in the run's state, adds its own
// part, reports its progress and refusals through the reporter and returns
// Success, or the status that ends the run.

/// The input file read whole.
[[nodiscard]] ExitCode readInput(RunState& run);

/// The text split into responses: by sections for SECTION= and the standard
/// formats, else the one response of the legacy reading.
[[nodiscard]] ExitCode splitResponses(RunState& run);

/// SECTION=n's response, or every one.
[[nodiscard]] ExitCode selectResponses(RunState& run);

/// Each chosen response's kind of motion from its INPUT UNIT (TYPE_IN where
/// it states none, or for the legacy reading), its constant per metre.
[[nodiscard]] ExitCode checkResponses(RunState& run);

/// The legacy FAP file prepared, or each response rendered in its format.
[[nodiscard]] ExitCode convertResponses(RunState& run);

/// What converting keeps from response to response: the request's grid,
/// computed once, the work spent so far, and room for a response's own grid.
struct Converting {
    std::vector<double> grid;
    std::vector<double> own;
    double work = 0.0;
};

/// Converting begins: the request's grid, refused when no format holds it.
[[nodiscard]] ExitCode startConverting(const RunState& run, Converting& converting);

/// Each checked response of `source` (one file of a folder) given its
/// target and rendered into `run`'s staged output.
[[nodiscard]] ExitCode convertFrom(RunState& run, RunState& source, Converting& converting);

/// Converting ends: nothing is left when every response was refused; a
/// message gets its tail.
[[nodiscard]] ExitCode finishConverting(RunState& run);

/// The files written.
[[nodiscard]] ExitCode writeFiles(RunState& run);

/// A refused response: the status that ends the run, or with ON_ERROR=skip
/// a warning, the response counted as skipped, and SomeSkipped, which tells
/// the caller to go on without it.
[[nodiscard]] ExitCode refuseOrSkip(RunState& run, const report::Refusal& refusal);

// Parts of the checking that the streamed reading calls one response at a time.

/// The response without its stages: what lists and names need of it.
[[nodiscard]] ChannelResponse summaryOf(const ChannelResponse& response);

/// Gives a checked response its stages, per metre of its unit's length.
void completeCheck(CheckedResponse& checked, ChannelResponse&& full);

/// A response of the first streamed reading: listed, and checked when the
/// request wants it.
[[nodiscard]] ExitCode checkStreamedResponse(RunState& run, ChannelResponse&& response);

}  // namespace kalvert
