#pragma once

#include <string_view>
#include <vector>

#include "readers/read_error.hpp"
#include "readers/response_stream.hpp"
#include "response/channel_response.hpp"

namespace kalvert {

/// Is the text an XML document whose root element is FDSNStationXML (any
/// namespace prefix)? Looks at the first element only.
[[nodiscard]] bool looksLikeStationXml(std::string_view text);

/// Every <Channel> of a FDSN StationXML document, in document order, as one
/// response each: identity, epoch, sample rate, sensor, overall sensitivity
/// and the stages of its <Response> (poles and zeros, coefficients, FIR with
/// its symmetric half expanded, response lists and polynomials marked as
/// such, decimation, stage gain). The document is parsed in pieces by expat;
/// a document type declaration (and so any entity) is refused. Throws
/// ReadError for a document that is not well-formed StationXML. Streams:
/// each channel is handed to `each` as its element closes, so that memory
/// holds one channel, whatever the size of the document.
void readStationXml(const ChunkSource& source, const ResponseSink& each);

/// Every channel of a document held in memory.
[[nodiscard]] std::vector<ChannelResponse> readStationXmlText(std::string_view text);

}  // namespace kalvert
