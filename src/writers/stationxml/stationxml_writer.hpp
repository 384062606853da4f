#pragma once

#include <string>

#include "response/channel_response.hpp"
#include "writers/metadata_response.hpp"

namespace kalvert {

/// The document's opening: the XML declaration, the FDSNStationXML root
/// (schema 1.2, valid under 1.1 too), Source and Created (now, or the
/// SOURCE_DATE_EPOCH of the environment, for reproducible documents).
[[nodiscard]] std::string stationXmlHead(const ChannelResponse& first);

/// The root's close.
inline constexpr const char* stationXmlTail = "</FDSNStationXML>\n";

/// One channel epoch as a Channel element, with the Network and Station
/// elements it opens or closes: every stage value written so that it reads
/// back to the same double.
[[nodiscard]] std::string stationXmlChannel(const MetadataResponse& channel);

}  // namespace kalvert
