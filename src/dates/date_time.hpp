#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kalvert {

/// A calendar time to the second, as a response's epoch is stated.
struct DateTime {
    int year = 0;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

/// "2002-11-19T21:07:00", "2012-03-12T20:28:00.000000Z", "2003-03-12 00:00:00.0",
/// "2010/11/21 21:33:35.02", "1989/02/19 00:00": date with "-" or "/", then "T" or
/// blanks, then the time with or without seconds, fraction and "Z". Hour 24
/// and minute or second 60 carry over, and so (in headers) does a day past
/// its month's end, unless `calendarDay` asks for a day of the calendar.
/// Nothing for anything else.
[[nodiscard]] std::optional<DateTime> readDateTime(std::string_view text, bool calendarDay = false);

/// An xs:dateTime as StationXML states epochs: "2012-03-12T20:28:00",
/// with a fraction and an offset ("Z", "+00:00", "-05:00", at most ±14:00)
/// converted to UTC; "T24:00:00" is the next day's midnight; a date alone
/// ("2015-01-01") is midnight UTC. Nothing for a malformed or impossible
/// value (February 30, month 13, hour 25, offset +25:00).
[[nodiscard]] std::optional<DateTime> readXmlDateTime(std::string_view text);

/// Is it a day of the calendar (2012-02-29 is, 2013-02-29 and 2012-04-31 are not)?
[[nodiscard]] bool dayExists(int year, int month, int day);

/// SEED's "2003,071,00:00:00.0000", "2001,001" or "2002,323,21:07": year, day
/// of the year, then optionally the time. Nothing for anything else.
[[nodiscard]] std::optional<DateTime> readSeedTime(std::string_view text);

/// An end of epoch that stands for "open": year 2500 and later.
inline constexpr int openEpochYear = 2500;

/// Days from 1970-01-01 to a proleptic Gregorian date, and back.
[[nodiscard]] std::int64_t daysFromCivil(int year, int month, int day);
[[nodiscard]] DateTime civilFromDays(std::int64_t days);

/// Seconds from 1970-01-01 00:00:00.
[[nodiscard]] std::int64_t secondsSince1970(const DateTime& time);

/// "2002/11/19 21:07": the epoch's times as the CAL2 line shows them.
[[nodiscard]] std::string legacyTimeText(const DateTime& time);

/// "2012-03-12-2028": the time as response file names carry it.
[[nodiscard]] std::string fileTimeStamp(const DateTime& time);

/// "2012-03-12T20:28:00Z": the time as StationXML states it (xs:dateTime, UTC).
[[nodiscard]] std::string xmlTimeText(const DateTime& time);

/// "2012,072,20:28:00": the time as SEED and RESP state it (day of the year).
[[nodiscard]] std::string seedTimeText(const DateTime& time);

/// "2002/11/19 21:07 to open": an epoch, "?" for an unknown start.
[[nodiscard]] std::string epochSpan(const std::optional<DateTime>& start, const std::optional<DateTime>& end);

}  // namespace kalvert
