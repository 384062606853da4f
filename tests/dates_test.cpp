#include "dates/date_time.hpp"

#include <gtest/gtest.h>

namespace kalvert {
namespace {

// Every spelling the files use, and what the legacy header and file names
// show of it; "" where the text is no time.
TEST(Dates, ReadAndShown)
{
    struct Case {
        const char* text;
        const char* legacy;
        const char* stamp;
    };
    const Case cases[] = {
        {"2002-11-19T21:07:00", "2002/11/19 21:07", "2002-11-19-2107"},
        {"2012-03-12T20:28:00.000000Z", "2012/03/12 20:28", "2012-03-12-2028"},
        {"2003-03-12 00:00:00.0", "2003/03/12 00:00", "2003-03-12-0000"},
        {"2010/11/21 21:33:35.02", "2010/11/21 21:33", "2010-11-21-2133"},
        {"1989/02/19 00:00", "1989/02/19 00:00", "1989-02-19-0000"},
        {"2000/ 6/19", "2000/06/19 00:00", "2000-06-19-0000"},
        {"  2008-06-30  ", "2008/06/30 00:00", "2008-06-30-0000"},
        {"2008-06-30T24:60:60", "2008/07/01 01:01", "2008-07-01-0101"},  // rdseed's midnight carries over
        {"2011-12-31T23:59:60", "2012/01/01 00:00", "2012-01-01-0000"},
        {"2012-02-30T00:00", "2012/03/01 00:00", "2012-03-01-0000"},
        {"2012-13-01", "", ""},
        {"2012-03-12X20:28", "", ""},
        {"2012-03/12", "", ""},
        {"12-03-12", "", ""},
        {"2012-03-12T20:28 junk", "", ""},
        {"None", "", ""},
    };
    for (const Case& c : cases) {
        const std::optional<DateTime> time = readDateTime(c.text);
        EXPECT_EQ(time ? legacyTimeText(*time) : "", c.legacy) << c.text;
        EXPECT_EQ(time ? fileTimeStamp(*time) : "", c.stamp) << c.text;
    }
}

TEST(Dates, CalendarAndSpans)
{
    struct Case {
        int year, month, day;
        std::int64_t days;
    };
    const Case cases[] = {{1970, 1, 1, 0}, {2000, 3, 1, 11017}, {1969, 12, 31, -1}, {2400, 2, 29, 157113}};
    for (const Case& c : cases) {
        EXPECT_EQ(daysFromCivil(c.year, c.month, c.day), c.days) << c.year;
        const DateTime back = civilFromDays(c.days);
        EXPECT_EQ(back.year * 10000 + back.month * 100 + back.day, c.year * 10000 + c.month * 100 + c.day);
    }
    EXPECT_EQ(epochSpan(readDateTime("2002-11-19T21:07"), std::nullopt), "2002/11/19 21:07 to open");
    EXPECT_EQ(epochSpan(std::nullopt, readDateTime("2008-06-30")), "? to 2008/06/30 00:00");
}

}  // namespace
}  // namespace kalvert
