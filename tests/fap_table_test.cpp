#include "writers/fap/fap_table.hpp"

#include <limits>

#include <gtest/gtest.h>

#include "support/test_support.hpp"

namespace kalvert {
namespace {

std::string tableText(const std::vector<FapPoint>& rows)
{
    return testing::fapTableText(rows);
}

TEST(FapTable, RowLines)
{
    EXPECT_EQ(tableText({}), "0\n");
    EXPECT_EQ(tableText({{0.001, 1234.5, -1.5707963}}), "1\n   0.0010000  1.2345000e+003 -1.5707963\n");
    EXPECT_EQ(tableText({{20, 0.5, 3.1415927}, {1, 1e-12, 0}, {1, 1e-12, 0}}),
              "3\n"
              "  20.0000000  5.0000000e-001  3.1415927\n"
              "   1.0000000  1.0000000e-012  0.0000000\n"
              "   1.0000000  1.0000000e-012  0.0000000\n");
    EXPECT_EQ(tableText({{12345.25, -0.0, -2.5}}), "1\n12345.2500000  -0.0000000e+000 -2.5000000\n");
    EXPECT_EQ(tableText({{5, -7.25e-9, 1}}), "1\n   5.0000000  -7.2500000e-009  1.0000000\n");
}

TEST(FapTable, NonFiniteValuesAndRowsOfAnyLength)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(tableText({{0, inf, nan}, {-inf, -inf, -nan}}),
              "2\n"
              "   0.0000000         inf        nan\n"
              "        -inf        -inf        nan\n");

    const std::string wide = tableText({{1e300, -1e300, 1e300}});
    EXPECT_EQ(wide.size(), 2 + 309 + 2 + 15 + 1 + 309 + 1u);
    EXPECT_EQ(wide.substr(wide.size() - 9), ".0000000\n");
}

}  // namespace
}  // namespace kalvert
