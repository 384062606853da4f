#pragma once

#include <functional>

#include "app/exit_code.hpp"
#include "app/run_state.hpp"

namespace kalvert {

/// Reads the StationXML or RESP input piece by piece, handing each response
/// to `visit` as it is read; a status other than Success stops the reading
/// and is returned. A file that cannot be read (again) or parsed is reported
/// and refused here.
[[nodiscard]] ExitCode streamResponses(const RunState& run, const std::function<ExitCode(ChannelResponse&&)>& visit);

/// Each checked response with its stages, in file order: from memory, or
/// read again for a streamed input.
[[nodiscard]] ExitCode forEachChecked(RunState& run, const std::function<ExitCode(CheckedResponse&)>& visit);

}  // namespace kalvert
