#pragma once

#include <string_view>
#include <vector>

#include "readers/read_error.hpp"
#include "readers/response_stream.hpp"
#include "response/channel_response.hpp"

namespace kalvert {

/// Does the text hold SEED RESP lines ("B052F04     Channel:     HHZ")? The
/// first line that is neither blank nor a "#" comment decides.
[[nodiscard]] bool looksLikeResp(std::string_view text);

/// Every channel epoch of a RESP file (a B050 station block, then B052 and
/// its stages), in file order: identity, epoch, the stages of blockettes 53
/// (poles and zeros), 54 (coefficients), 55 (response list), 57
/// (decimation), 58 (stage gain; stage 0 the overall sensitivity), 61 (FIR,
/// symmetric listings expanded) and 62 (polynomial). Throws ReadError for a
/// file without a channel epoch, or a number or line it cannot read.
/// Streams: each epoch goes to `each` as soon as the next one begins.
void readResp(const ChunkSource& source, const ResponseSink& each);

/// Every epoch of a file held in memory.
[[nodiscard]] std::vector<ChannelResponse> readRespText(std::string_view text);

}  // namespace kalvert
