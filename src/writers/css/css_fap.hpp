#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dates/date_time.hpp"
#include "writers/tabulated_response.hpp"

namespace kalvert {

/// The comment lines that open a CSS fap file: channel, instrument, epoch,
/// source, units and the instrument row's ncalib/ncalper.
struct CssDescription {
    std::vector<std::string> comments;  ///< each written after "# "
};

/// The frequency as the file's %13E column holds it, 7 significant digits
/// (what the row is evaluated at).
[[nodiscard]] double cssWrittenFrequency(double frequency);

/// A CSS3.0 response file of type fap: the comments, the block header
/// " theoretical  1   instrument fap   kalvert", the row count and one row
/// "%13E  %13E  %13E   %8E  %8E" per frequency (frequency, counts/nm,
/// degrees, two zero errors), as Geotool and GMS read it.
[[nodiscard]] std::string formatCssFap(const CssDescription& description, const std::vector<DisplacementRow>& rows);

/// The whole file for a tabulated channel, opened by comment lines that name
/// the channel, instrument, epoch and source, the units, and the values of
/// the instrument row (ncalib, ncalper, samprate).
[[nodiscard]] std::string cssFileText(const TabulatedResponse& table);

/// "IU.ANMO.00.BHZ.2012-03-12-2028.fap": channel and epoch start.
[[nodiscard]] std::string cssFileName(const std::string& channelName, const std::optional<DateTime>& start);
[[nodiscard]] std::string cssFileName(const ChannelResponse& response);

}  // namespace kalvert
