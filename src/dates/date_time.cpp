#include "dates/date_time.hpp"

#include "text/text_scan.hpp"

namespace kalvert {
namespace {

// The last `count` decimal digits of `value`, with leading zeros.
void appendDigits(std::string& text, int value, int count)
{
    int power = 1;
    for (int i = 1; i < count; ++i) power *= 10;
    for (; power > 0; power /= 10) text += static_cast<char>('0' + value / power % 10);
}

// yyyy·mm·dd·hh·mm with the given separators between date parts, between
// date and time, and between hour and minute.
std::string joinedTime(const DateTime& time, std::string_view inDate, std::string_view between, std::string_view inTime)
{
    std::string text;
    appendDigits(text, time.year, 4);
    text += inDate;
    appendDigits(text, time.month, 2);
    text += inDate;
    appendDigits(text, time.day, 2);
    text += between;
    appendDigits(text, time.hour, 2);
    text += inTime;
    appendDigits(text, time.minute, 2);
    return text;
}

// Reads `digits` decimal digits at `at`; false when they are not all there.
bool readDigits(std::string_view text, std::size_t& at, std::size_t digits, int& value)
{
    if (at + digits > text.size()) return false;
    value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    at += digits;
    return true;
}

constexpr std::int64_t secondsPerDay = 86400;
constexpr std::int64_t secondsPerHour = 3600;
constexpr std::int64_t secondsPerMinute = 60;

// The same instant with every field in its range: rdseed writes a midnight
// end as 24:60:60, which carries over into the next minute, hour and day.
DateTime normalised(const DateTime& time)
{
    std::int64_t seconds = daysFromCivil(time.year, time.month, time.day) * secondsPerDay + time.hour * secondsPerHour +
                           time.minute * secondsPerMinute + time.second;
    const std::int64_t days = (seconds >= 0 ? seconds : seconds - (secondsPerDay - 1)) / secondsPerDay;
    seconds -= days * secondsPerDay;
    DateTime normal = civilFromDays(days);
    normal.hour = static_cast<int>(seconds / secondsPerHour);
    normal.minute = static_cast<int>(seconds % secondsPerHour / secondsPerMinute);
    normal.second = static_cast<int>(seconds % secondsPerMinute);
    return normal;
}

}  // namespace

std::int64_t daysFromCivil(int year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - static_cast<int>(era * 400);
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

DateTime civilFromDays(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<int>(days - era * 146097);
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int shiftedMonth = (5 * dayOfYear + 2) / 153;
    DateTime date;
    date.day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    date.month = shiftedMonth + (shiftedMonth < 10 ? 3 : -9);
    date.year = static_cast<int>(yearOfEra + era * 400) + (date.month <= 2 ? 1 : 0);
    return date;
}

std::optional<DateTime> readDateTime(std::string_view text, bool calendarDay)
{
    text = trimmed(text);
    DateTime time;
    std::size_t at = 0;
    if (!readDigits(text, at, 4, time.year)) return std::nullopt;
    const char dateSeparator = at < text.size() ? text[at] : '\0';
    if (dateSeparator != '-' && dateSeparator != '/') return std::nullopt;
    ++at;
    // Months and days of one digit occur after a slash ("2000/ 6/19" in SEISAN's files).
    auto readField = [&](int& value) {
        while (at < text.size() && text[at] == ' ') ++at;
        const std::size_t start = at;
        if (!readDigits(text, at, 1, value)) return false;
        int second = 0;
        if (readDigits(text, at, 1, second)) value = value * 10 + second;
        return at > start;
    };
    if (!readField(time.month) || at >= text.size() || text[at] != dateSeparator) return std::nullopt;
    ++at;
    if (!readField(time.day)) return std::nullopt;
    if (at < text.size()) {
        if (text[at] != 'T' && text[at] != ' ') return std::nullopt;
        while (at < text.size() && (text[at] == 'T' || text[at] == ' ')) ++at;
        if (!readField(time.hour) || at >= text.size() || text[at] != ':') return std::nullopt;
        ++at;
        if (!readField(time.minute)) return std::nullopt;
        if (at < text.size() && text[at] == ':') {
            ++at;
            if (!readField(time.second)) return std::nullopt;
        }
        if (at < text.size() && text[at] == '.') {
            ++at;
            while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        }
        if (at < text.size() && text[at] == 'Z') ++at;
        if (at != text.size()) return std::nullopt;
    }
    if (time.month < 1 || time.month > 12 || time.day < 1 || time.day > 31 || time.hour > 24 || time.minute > 60 ||
        time.second > 60 || (calendarDay && !dayExists(time.year, time.month, time.day)))
        return std::nullopt;
    return normalised(time);
}

bool dayExists(int year, int month, int day)
{
    constexpr int lastMonth = 12;
    if (month < 1 || month > lastMonth || day < 1) return false;
    const std::int64_t next = month == lastMonth ? daysFromCivil(year + 1, 1, 1) : daysFromCivil(year, month + 1, 1);
    return day <= next - daysFromCivil(year, month, 1);
}

std::optional<DateTime> readXmlDateTime(std::string_view text)
{
    text = trimmed(text);
    DateTime time;
    std::size_t at = 0;
    auto separated = [&](char separator, int& value) {
        return at < text.size() && text[at++] == separator && readDigits(text, at, 2, value);
    };
    if (!readDigits(text, at, 4, time.year) || !separated('-', time.month) || !separated('-', time.day) ||
        !dayExists(time.year, time.month, time.day))
        return std::nullopt;
    constexpr int midnightHour = 24;
    if (at < text.size() && text[at] == 'T') {
        ++at;
        if (!readDigits(text, at, 2, time.hour) || !separated(':', time.minute) || !separated(':', time.second))
            return std::nullopt;
        bool fractionZero = true;
        if (at < text.size() && text[at] == '.') {
            const std::size_t digits = ++at;
            for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) fractionZero &= text[at] == '0';
            if (at == digits) return std::nullopt;
        }
        constexpr int lastMinute = 59;
        const bool midnight = time.hour == midnightHour && time.minute == 0 && time.second == 0 && fractionZero;
        if ((time.hour >= midnightHour && !midnight) || time.minute > lastMinute || time.second > lastMinute)
            return std::nullopt;
    }
    std::int64_t offsetMinutes = 0;  // east of UTC
    if (at < text.size() && text[at] == 'Z') {
        ++at;
    } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        const int sign = text[at++] == '-' ? -1 : 1;
        int hours = 0;
        int minutes = 0;
        constexpr int widestOffset = 14;
        constexpr int lastMinute = 59;
        if (!readDigits(text, at, 2, hours) || !separated(':', minutes) || minutes > lastMinute ||
            hours * 60 + minutes > widestOffset * 60)
            return std::nullopt;
        offsetMinutes = static_cast<std::int64_t>(sign) * (hours * 60 + minutes);
    }
    if (at != text.size()) return std::nullopt;
    // Local time minus its offset is UTC; the carry does the rest (hour 24 too).
    time.minute -= static_cast<int>(offsetMinutes);
    return normalised(time);
}

std::optional<DateTime> readSeedTime(std::string_view text)
{
    text = trimmed(text);
    std::size_t at = 0;
    int year = 0;
    int dayOfYear = 0;
    if (!readDigits(text, at, 4, year) || at >= text.size() || text[at++] != ',') return std::nullopt;
    const std::size_t dayStart = at;
    while (at < text.size() && at - dayStart < 3 && text[at] >= '0' && text[at] <= '9')
        dayOfYear = dayOfYear * 10 + (text[at++] - '0');
    constexpr int longestYear = 366;
    if (at == dayStart || dayOfYear < 1 || dayOfYear > longestYear) return std::nullopt;
    DateTime time = civilFromDays(daysFromCivil(year, 1, 1) + dayOfYear - 1);
    if (at < text.size()) {
        if (text[at++] != ',' || !readDigits(text, at, 2, time.hour)) return std::nullopt;
        if (at < text.size() && text[at] == ':') {
            ++at;
            if (!readDigits(text, at, 2, time.minute)) return std::nullopt;
        }
        if (at < text.size() && text[at] == ':') {
            ++at;
            if (!readDigits(text, at, 2, time.second)) return std::nullopt;
        }
        if (at < text.size() && text[at] == '.') ++at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        if (at != text.size() || time.hour > 24 || time.minute > 60 || time.second > 60) return std::nullopt;
    }
    return normalised(time);
}

std::int64_t secondsSince1970(const DateTime& time)
{
    return daysFromCivil(time.year, time.month, time.day) * secondsPerDay + time.hour * secondsPerHour +
           time.minute * secondsPerMinute + time.second;
}

std::string legacyTimeText(const DateTime& time)
{
    return joinedTime(time, "/", " ", ":");
}

std::string fileTimeStamp(const DateTime& time)
{
    return joinedTime(time, "-", "-", "");
}

std::string xmlTimeText(const DateTime& time)
{
    std::string text = joinedTime(time, "-", "T", ":");
    text += ':';
    appendDigits(text, time.second, 2);
    return text + "Z";
}

std::string seedTimeText(const DateTime& time)
{
    const auto dayOfYear =
        static_cast<int>(daysFromCivil(time.year, time.month, time.day) - daysFromCivil(time.year, 1, 1) + 1);
    std::string text;
    appendDigits(text, time.year, 4);
    text += ',';
    appendDigits(text, dayOfYear, 3);
    text += ',';
    appendDigits(text, time.hour, 2);
    text += ':';
    appendDigits(text, time.minute, 2);
    text += ':';
    appendDigits(text, time.second, 2);
    return text;
}

std::string epochSpan(const std::optional<DateTime>& start, const std::optional<DateTime>& end)
{
    return (start ? legacyTimeText(*start) : "?") + " to " + (end ? legacyTimeText(*end) : "open");
}

}  // namespace kalvert
