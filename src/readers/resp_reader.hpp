#pragma once

#include <cstddef>
#include <memory>
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

struct RespReading;

/// RESP text handed over line by line, as the dataless reader makes it from
/// a binary volume's blockettes: read by the same rules as a RESP file.
class RespLineReader {
public:
    /// `numbered`: messages name the line (a file), or not (made text).
    RespLineReader(const ResponseSink& each, bool numbered);
    RespLineReader(const RespLineReader&) = delete;
    RespLineReader& operator=(const RespLineReader&) = delete;
    ~RespLineReader();
    /// False when the sink wants no more.
    bool line(std::string_view text);
    /// The last epoch handed over; false when the sink wants no more.
    bool finish();
    [[nodiscard]] std::size_t epochs() const;

private:
    std::unique_ptr<RespReading> reading_;
};

/// Every epoch of a file held in memory.
[[nodiscard]] std::vector<ChannelResponse> readRespText(std::string_view text);

}  // namespace kalvert
