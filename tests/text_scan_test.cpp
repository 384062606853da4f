#include "text/text_scan.hpp"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace kalvert {
namespace {

TEST(TextScan, LeadingIntegerIsAtoisValueWithoutCopyingTheText)
{
    for (const std::string text :
         {"", "12", "  -7x", "+3", "\t\n\v\f\r 42", "0004", "-0", "abc", "- 5", "2147483647", "2147483648",
          "-2147483649", "99999999999", "-99999999999", "9223372036854775807", "9223372036854775808",
          "0000000000000000000000000000000000012", "123456789012345678901234567890", "-123456789012345678901234567890"})
        EXPECT_EQ(readLeadingInteger(text), std::atoi(text.c_str())) << text;
    EXPECT_EQ(readLeadingInteger(std::string("12\0" "3", 4)), 12);
}

TEST(TextScan, NumberPairKeepsWhatItCannotRead)
{
    struct Case {
        const char* text;
        int read;
        double first, second;
    };
    const Case cases[] = {
        {"1.5 2.5", 2, 1.5, 2.5}, {"1.5,2.5", 2, 1.5, 2.5}, {"1.5\t 2.5", 2, 1.5, 2.5},
        {"1.5 ,2.5", 1, 1.5, -9}, {"1.5", 1, 1.5, -9},      {"x 2", 0, -9, -9},
    };
    for (const Case& c : cases) {
        double first = -9;
        double second = -9;
        EXPECT_EQ(scanNumberPair(c.text, first, second), c.read) << c.text;
        EXPECT_EQ(first, c.first) << c.text;
        EXPECT_EQ(second, c.second) << c.text;
    }
}

}  // namespace
}  // namespace kalvert
