#pragma once

#include <string>
#include <string_view>

#include "response/channel_response.hpp"

namespace kalvert {

// The rules every cascade reader (StationXML, RESP) applies once a channel
// epoch is read whole: a response is converted exactly as its file states
// it, or it carries a defect and is refused. The only guesses are the
// reference evaluator's, and the response records them for a warning.

/// "M/S - Velocity in Meters Per Second" → "M/S"; "M -" → "M".
[[nodiscard]] std::string unitName(std::string_view written);

/// Settles the channel's input unit (the first stage that states one, else
/// the overall sensitivity's), checks every stage's gain and decimation,
/// and notes the first defect found.
void settleCascade(ChannelResponse& response);

}  // namespace kalvert
