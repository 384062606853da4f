#pragma once

#include <optional>
#include <string>
#include <vector>

#include "response/displacement_table.hpp"
#include "response/sacpz_header.hpp"

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

/// "IU.ANMO.00.BHZ.2012-03-12-2028.fap": channel and epoch start.
[[nodiscard]] std::string cssFileName(const std::string& channelName, const std::optional<DateTime>& start);

}  // namespace kalvert
