#pragma once

#include <string>
#include <vector>

#include "app/run_state.hpp"

namespace kalvert {

// The metadata formats' conversion: a response described stage by stage, as
// its file states it, inside the Network and Station elements it shares
// with its neighbours.

/// Marks where each checked response opens or closes its network's and its
/// station's element (neighbours with the same codes share them) and the
/// epochs those elements span.
void groupByStation(std::vector<CheckedResponse>& checked);

/// One checked response (with its stages) in the request's metadata format;
/// warns where it writes a value the input does not state.
[[nodiscard]] std::string describeResponse(const RunState& run, const CheckedResponse& checked);

}  // namespace kalvert
