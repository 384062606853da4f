#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "dates/date_time.hpp"
#include "response/channel_response.hpp"

namespace kalvert {

/// What the `*` header block (or, failing it, the `#` comment keys) of one
/// section of a data-centre pole-zero file says about its channel.
struct SectionHeader {
    std::string network;
    std::string station;
    std::string location;  ///< blank spellings ("", blanks, "--") are empty
    std::string channel;
    std::optional<DateTime> start;
    std::optional<DateTime> end;  ///< nothing for an open epoch
    std::optional<double> sampleRate;
    std::string inputUnit;  ///< as written ("M", "NM", "M/S" …), empty when not stated
    std::string instrumentType;
    std::optional<double> sensitivity;
    std::string sensitivityUnit;  ///< what stands in parentheses after it, e.g. "M/S"
    std::optional<double> a0;
    ChannelPlace place;  ///< dip in SEED's convention (−90: up)
};

/// What a `*` header line was.
enum class HeaderLine {
    Delimiter,     ///< "* ****…" or "*" alone
    EndOfSection,  ///< "* <EOE>" or "* <EOR>" (NEIC)
    Field,         ///< a key this reader knows, stored in the header when it matters
    Other,         ///< free text
};

/// Reads one header line (LF and CR already removed), in any dialect: IRIS
/// web service and rdseed ("NETWORK   (KNETWK): IU"), ObsPy ("NETWORK     : IU"),
/// NEIC ("NETWORK      NZ", no colon). A field already set is overwritten.
HeaderLine readHeaderLine(std::string_view line, SectionHeader& header);

/// Reads a "# Station", "# Channel", "# Network", "# Location" or
/// "# Time on / off" comment line into `fallback` (used where the `*` block
/// is silent); other lines are ignored.
void readHashCommentLine(std::string_view line, SectionHeader& fallback);

}  // namespace kalvert
