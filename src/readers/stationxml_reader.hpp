#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "readers/read_error.hpp"
#include "readers/response_stream.hpp"
#include "response/channel_response.hpp"

namespace kalvert {

/// Finds an XML document's root element, piece by piece, past a byte-order
/// mark, blanks, and any number of comments and processing instructions of
/// any length: is it FDSNStationXML (any namespace prefix)?
class RootElementFinder {
public:
    /// True or false once the root element's name is read (or the text
    /// cannot be XML); nothing while the next piece is needed.
    [[nodiscard]] std::optional<bool> feed(std::string_view piece);

private:
    enum class State { Between, Opened, Declaration, CommentDash, Comment, Instruction, Markup, Name };
    State state_ = State::Between;
    std::size_t bomLeft_ = 3;
    std::string tail_ = "  ";
    std::string name_;
};

/// Is the text an XML document whose root element is FDSNStationXML? False
/// where the text ends before the root element.
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
