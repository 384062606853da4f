#pragma once

#include <string_view>
#include <vector>

#include "readers/read_error.hpp"
#include "readers/response_stream.hpp"
#include "response/channel_response.hpp"

namespace kalvert {

/// Does the text start a SEED volume: a first logical record "000001V " (or
/// with a continuation mark) whose blockettes include a blockette 010?
[[nodiscard]] bool looksLikeDataless(std::string_view start);

/// Every channel epoch of a dataless (or full) SEED volume, in file order
/// (stations in order, channels within each): logical records of the length
/// blockette 010 states, blockettes continued across records, units through
/// blockette 034, instrument names through 033, and each blockette 060
/// expanded into the dictionary stages (041–048) it names. The response
/// blockettes are read by the RESP reader's rules, so a volume and the RESP
/// text of the same channel read alike; several 054 or 061 of one stage are
/// one filter, chained in order. Records are read in order and one channel
/// epoch is held at a time. Throws ReadError for a volume whose records or
/// blockettes cannot be followed (a record cut short inside a blockette, a
/// continuation missing, a blockette running past the end).
void readDataless(const ChunkSource& source, const ResponseSink& each);

/// Every epoch of a volume held in memory.
[[nodiscard]] std::vector<ChannelResponse> readDatalessBytes(std::string_view bytes);

}  // namespace kalvert
