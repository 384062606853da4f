#include "writers/numbers/number_format.hpp"
#include "writers/numbers/table_numbers.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace kalvert {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

std::string exponent(double value, int width, int precision)
{
    std::string text;
    appendExponent(text, value, width, precision);
    return text;
}

// The table's straight path for seven decimals.
std::string tableFixed(double value, int width)
{
    char text[maxNumberLength];
    return std::string(text, writeFixed7(text, value, width));
}

std::string tableExponent(double value, int width)
{
    char text[maxNumberLength];
    return std::string(text, writeExponent7(text, value, width));
}

// The C library's text, its exponent widened to three digits, then padded
// to `width` as a printf with three-digit exponents would.
std::string printfReference(const char* format, double value, int width)
{
    char text[512];
    std::snprintf(text, sizeof text, format, value);
    std::string reference = text;
    const char* e = std::strchr(text, 'e');
    if (e != nullptr && std::strlen(e + 2) < 3)
        reference = std::string(static_cast<const char*>(text), e + 2) + "0" + (e + 2);
    if (reference.size() < static_cast<std::size_t>(width))
        reference.insert(0, static_cast<std::size_t>(width) - reference.size(), ' ');
    return reference;
}

TEST(NumberFormat, FixedPoint)
{
    EXPECT_EQ(fixedText(0.001, 12, 7), "   0.0010000");
    EXPECT_EQ(fixedText(20.0, 12, 7), "  20.0000000");
    EXPECT_EQ(fixedText(-1.5707963, 10, 7), "-1.5707963");
    EXPECT_EQ(fixedText(3.14159265, 10, 7), " 3.1415927");
    EXPECT_EQ(fixedText(-0.0, 10, 7), "-0.0000000");
    EXPECT_EQ(fixedText(-1e-9, 10, 7), "-0.0000000");
    EXPECT_EQ(fixedText(0.00000005, 10, 7), " 0.0000000");  // the double lies just below the half
    EXPECT_EQ(fixedText(12345.5, 12, 7), "12345.5000000");
    EXPECT_EQ(fixedText(-1.0, 7, 3), " -1.000");
    EXPECT_EQ(fixedText(0.0, 8, 3), "   0.000");
    EXPECT_EQ(fixedText(1e300, 0, 1).size(), 303u);
}

TEST(NumberFormat, ExponentHasThreeDigitsAtLeast)
{
    EXPECT_EQ(exponent(1234.5, 10, 7), "1.2345000e+003");
    EXPECT_EQ(exponent(0.5, 10, 7), "5.0000000e-001");
    EXPECT_EQ(exponent(1e-12, 10, 7), "1.0000000e-012");
    EXPECT_EQ(exponent(0.0, 10, 7), "0.0000000e+000");
    EXPECT_EQ(exponent(-1.0, 15, 8), "-1.00000000e+000");
    EXPECT_EQ(exponent(4.9e-324, 10, 7), "4.9406565e-324");
    EXPECT_EQ(exponent(1.7976931348623157e308, 10, 7), "1.7976931e+308");
    EXPECT_EQ(exponent(9.99999996e-11, 10, 7), "1.0000000e-010");  // rounding carries into the exponent
    EXPECT_EQ(exponent(1.0, 20, 2), "           1.00e+000");
}

TEST(NumberFormat, NonFiniteValuesAreSpelledPlainly)
{
    EXPECT_EQ(fixedText(inf, 12, 7), "         inf");
    EXPECT_EQ(fixedText(-inf, 12, 7), "        -inf");
    EXPECT_EQ(fixedText(nan, 10, 7), "       nan");
    EXPECT_EQ(fixedText(-nan, 10, 7), "       nan");
    EXPECT_EQ(exponent(-inf, 10, 7), "      -inf");
    EXPECT_EQ(exponent(std::copysign(nan, -1.0), 10, 7), "       nan");
}

TEST(NumberFormat, IntegersAndTexts)
{
    std::string text;
    appendInteger(text, 0, 2);
    appendInteger(text, -42);
    appendInteger(text, 999, 3);
    appendLeft(text, "ab", 5);
    appendLeft(text, "toolong", 3);
    EXPECT_EQ(text, " 0-42999ab   toolong");
}

TEST(NumberFormat, TablePathOnItsHardCases)
{
    const double values[] = {
        0.00390625,
        -0.00390625,
        0.5e-7,
        1.5e-7,
        2.5,
        0.0,
        -0.0,
        4.9e-324,
        -2.2e-308,
        9.99999995e-11,
        9.999999949e-11,
        99999999.5,
        0.999999995,
        1e20,
        -8.99e8,
        9.1e8,
        123456789012.3,
        1.7976931348623157e308,
        3.14159265358979,
        -3.14159265358979,
        1e-16,
        1e30,
        5e-324,
        0.1,
    };
    for (const double value : values) {
        EXPECT_EQ(tableExponent(value, 10), printfReference("%.7e", value, 10)) << value;
        EXPECT_EQ(tableExponent(value, 20), printfReference("%.7e", value, 20)) << value;
        EXPECT_EQ(tableFixed(value, 12), printfReference("%.7f", value, 12)) << value;
        EXPECT_EQ(tableFixed(value, 3), printfReference("%.7f", value, 3)) << value;
    }
    for (const double value : {inf, -inf, nan}) {
        EXPECT_EQ(tableExponent(value, 10), exponent(value, 10, 7));
        EXPECT_EQ(tableFixed(value, 12), fixedText(value, 12, 7));
    }
}

TEST(NumberFormat, AgreesWithTheCLibraryOnManyDoubles)
{
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> decade(-320, 308);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < 200000; ++i) {
        double value = mantissa(random) * std::pow(10.0, decade(random));
        if (i % 4 == 0) {
            const std::uint64_t pattern = bits(random);
            std::memcpy(&value, &pattern, sizeof value);
        }
        if (i % 4 == 1) value = std::round(value * 1e7) / 1e7 + 5e-8;  // near the rounding half
        if (!std::isfinite(value)) continue;
        ASSERT_EQ(exponent(value, 10, 7), printfReference("%.7e", value, 10)) << value;
        ASSERT_EQ(tableExponent(value, 10), printfReference("%.7e", value, 10)) << value;
        if (std::fabs(value) < 1e20) {
            ASSERT_EQ(fixedText(value, 12, 7), printfReference("%.7f", value, 12)) << value;
            ASSERT_EQ(tableFixed(value, 12), printfReference("%.7f", value, 12)) << value;
        }
    }
}

TEST(NumberFormat, AgreesWithTheCLibraryOnDecimalTies)
{
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::uint64_t> digits(10'000'000, 99'999'999);
    std::uniform_int_distribution<int> decade(-40, 40);
    for (int i = 0; i < 100000; ++i) {
        // The double nearest to a decimal half-way text, and an exact half-way integer.
        char text[64];
        std::snprintf(text, sizeof text, "%llu5e%d", static_cast<unsigned long long>(digits(random)), decade(random));
        const double nearTie = std::strtod(text, nullptr);
        const double exactTie = static_cast<double>(digits(random) * 10 + 5);
        for (const double value : {nearTie, -nearTie, exactTie, exactTie / 1024.0}) {
            ASSERT_EQ(exponent(value, 10, 7), printfReference("%.7e", value, 10)) << text;
            ASSERT_EQ(tableExponent(value, 10), printfReference("%.7e", value, 10)) << text;
            ASSERT_EQ(exponent(value, 15, 8), printfReference("%.8e", value, 15)) << text;
            if (std::fabs(value) < 1e12) {
                ASSERT_EQ(fixedText(value, 12, 7), printfReference("%.7f", value, 12)) << text;
                ASSERT_EQ(tableFixed(value, 12), printfReference("%.7f", value, 12)) << text;
                ASSERT_EQ(fixedText(value, 7, 3), printfReference("%.3f", value, 7)) << text;
            }
        }
    }
}

}  // namespace
}  // namespace kalvert
