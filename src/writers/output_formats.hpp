#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "response/channel_response.hpp"
#include "writers/metadata_response.hpp"
#include "writers/tabulated_response.hpp"

namespace kalvert {

/// How a format's responses reach the disk.
enum class Envelope {
    LegacyFap,        ///< one streamed FAP file of one response, in the kind TYPE_OUT asks
    FilePerResponse,  ///< one file each, named by the format, in the OUT= folder
    OneMessage,       ///< one file holding every response
};

/// Everything that differs between the formats FORMAT= names. The standard
/// formats (every envelope but LegacyFap) tabulate the forward displacement
/// response in counts/nm on the frequencies their columns can write; the
/// metadata formats write the response's stages instead.
struct OutputFormat {
    std::string_view name;
    /// The frequency as the file's column holds it (each row is evaluated
    /// there); throws FieldError for one the column cannot hold.
    double (*writtenFrequency)(double frequency);
    std::size_t maxRows;
    std::string_view rowLimitReason;  ///< completes "N rows, more than …"
    /// One response rendered: a whole file, or one part of a message.
    std::string (*render)(const TabulatedResponse& table);
    /// The name of a response's file in the OUT= folder (FilePerResponse).
    std::string (*fileName)(const ChannelResponse& response);
    /// The identity fields that name holds: each may hold letters and digits only.
    std::array<std::string ChannelId::*, 4> nameFields;
    /// The message's opening for its first response, and its close
    /// (OneMessage); each response is followed by a blank line.
    std::string (*messageHead)(const ChannelResponse& first);
    std::string_view messageTail;
    Envelope envelope;
    /// Without CALPER=, calper is the period where the response is 1
    /// count/nm: a reader that scales the table by its own value at calper
    /// (SEISAN) then reads the true level.
    bool calperAtUnitLevel;
    /// A metadata format (StationXML, RESP) describes each response as its
    /// file states it, stage by stage, instead of tabulating it; null for
    /// the formats that tabulate.
    std::string (*describe)(const MetadataResponse& response) = nullptr;
};

/// The format FORMAT= names, in any letter case; null for a name no format has.
[[nodiscard]] const OutputFormat* findOutputFormat(std::string_view name);

/// The legacy FAP file, the default.
[[nodiscard]] const OutputFormat& legacyFapFormat();

/// The names FORMAT= knows, for messages: "FAP, SEISAN, GSE2.0, GSE2.1, IMS1.0, CSS".
[[nodiscard]] std::string knownOutputFormats();

}  // namespace kalvert
