#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kalvert {

/// A calendar time to the minute, as a response's epoch is shown.
struct DateTime {
    int year = 0;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

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

/// "2002-11-19T21:07:00", "2012-03-12T20:28:00.000000Z", "2003-03-12 00:00:00.0",
/// "2010/11/21 21:33:35.02", "1989/02/19 00:00": date with "-" or "/", then "T" or
/// blanks, then the time with or without seconds, fraction and "Z". Hour 24
/// and minute or second 60 carry over. Nothing for anything else.
[[nodiscard]] std::optional<DateTime> readDateTime(std::string_view text);

/// An end of epoch that stands for "open": year 2500 and later.
inline constexpr int openEpochYear = 2500;

/// "2002/11/19 21:07": the epoch's times as the CAL2 line shows them.
[[nodiscard]] std::string legacyTimeText(const DateTime& time);

/// "2012-03-12-2028": the time as response file names carry it.
[[nodiscard]] std::string fileTimeStamp(const DateTime& time);

/// "2002/11/19 21:07 to open": the epoch, "?" for an unknown start.
[[nodiscard]] std::string epochSpan(const SectionHeader& header);

}  // namespace kalvert
