#pragma once

#include <string>

#include "response/channel_response.hpp"

namespace kalvert {

/// Reads the whole text of a SAC pole-zero file the way the tool always has:
/// one pole-zero stage from the counts announced after the first "ZEROS"
/// and "POLES" anywhere in the text (zeros not listed lie at the origin),
/// the constant 1.0 when the file has none, and the station, channel,
/// network, location and epoch text of its "#" comment lines, cut to the
/// room the legacy header gives them. Lenient by design: it rejects no
/// content. The text ends at its first NUL byte; the reader cuts it into
/// lines in place, so a caller that no longer needs it hands it over instead
/// of copying it. Throws std::length_error as soon as either list would pass
/// its limit (maxZeroCount, maxPoleCount), std::bad_alloc when memory runs
/// out.
[[nodiscard]] ChannelResponse readLegacyPoleZeroText(std::string text);

}  // namespace kalvert
