#pragma once

#include <memory>
#include <string>
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

class ConversionQueue;

/// What converting keeps from response to response: the request's grid,
/// computed once, and the queue that converts the responses in order.
struct Converting {
    Converting();
    Converting(const Converting&) = delete;
    Converting& operator=(const Converting&) = delete;
    ~Converting();
    std::vector<double> grid;
    std::unique_ptr<ConversionQueue> queue;
};

/// Converting begins: the request's grid, refused when no format holds it,
/// and the threads that convert.
[[nodiscard]] ExitCode startConverting(RunState& run, Converting& converting);

/// Each checked response of `source` (one file of a folder) converted into
/// `run`'s staged output, its target planned as it is delivered.
[[nodiscard]] ExitCode convertFrom(RunState& run, RunState& source, Converting& converting);

/// Converting ends: every response delivered; nothing is left when every
/// one was refused; a message gets its tail.
[[nodiscard]] ExitCode finishConverting(RunState& run, Converting& converting);

/// Words of the refusal of a response past the run's work bound.
inline constexpr const char* workBoundPassed = "more root-frequency terms than one run may take on";

/// What converting one response gave: its text or why it was refused, what
/// it said on the way, and the work it spent.
struct Rendered {
    enum class Outcome { Written, OutOfMemory, Refused };
    Outcome outcome = Outcome::Written;
    std::string text;
    std::string reason;        ///< why it was refused
    std::string messages;      ///< the warnings it gave, to be shown in the run's order
    double work = 0.0;         ///< root-frequency terms spent
    bool workBounded = false;  ///< it came as far as the run's work bound
    /// A file's text written aside by the worker (piece `piece`, `size`
    /// bytes, or the system's error), for the delivery to adopt.
    bool writtenAside = false;
    int asideError = 0;
    std::size_t piece = 0;
    std::size_t size = 0;
    bool adopted = false;  ///< the delivery made it a staged file
};

/// One response converted, on any thread: it touches nothing of the run but
/// reads its request; `budget` is what the run's work bound leaves it.
[[nodiscard]] Rendered renderAlone(const RunState& run, const CheckedResponse& checked, const std::vector<double>& grid,
                                   double budget);

/// A converted response delivered, in the run's order, on the run's thread:
/// its messages shown, refused (or skipped) where the conversion or the
/// run's work bound says so, else written to its target `at`.
[[nodiscard]] ExitCode deliverRendered(RunState& run, const CheckedResponse& checked, std::size_t at,
                                       Rendered& rendered, double& work);

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
