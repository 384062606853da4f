#include "response/grid.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

#include "support/test_support.hpp"

namespace kalvert {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

using testing::linearGrid;
using testing::logGrid;

// The logarithmic walk: the band, points per decade, how many points it
// keeps, and some of them by index (−1 for the last).
TEST(LogGrid, Points)
{
    struct Case {
        double low, high;
        int perDecade;
        std::size_t size;
        std::vector<std::pair<int, double>> some;
    };
    const Case cases[] = {
        {0.001, 20.0, 300, 1234, {{0, 0.0010000000000000002}, {1200, 10.000000000000002}, {-1, 19.900000000000006}}},
        {0.001, 20.0, 10, 42, {{0, 0.0010000000000000002}, {40, 10.000000000000002}, {-1, 19.000000000000004}}},
        {1.0, 100.0, 9, 19, {{0, 1}, {1, 2}, {8, 9}, {9, 10}, {10, 20}, {-1, 100}}},
        {0.5, 5.0, 4, 4, {{0, 0.55}, {1, 0.775}, {2, 1.0}, {3, 3.25}}},
        {5.0, 5.0, 9, 1, {{0, 5.0}}},
        {5.0, 5.0, 10, 0, {}},
        {0.001, 99.9, 10, 50, {{-1, 91.00000000000001}}},
        {0.0, 20.0, 10, 122, {{0, 1.0000000000000006e-11}}},   // a zero edge starts eleven decades down
        {-0.0, 20.0, 10, 122, {{0, 1.0000000000000006e-11}}},
        {0.001, 20.0, 0, 0, {}},
        {0.001, 20.0, -3, 0, {}},
        {50.0, 1.0, 10, 0, {}},
    };
    for (const Case& c : cases) {
        const std::vector<double> grid = logGrid(c.low, c.high, c.perDecade);
        ASSERT_EQ(grid.size(), c.size) << c.low << " " << c.high << " " << c.perDecade;
        for (const auto& [index, value] : c.some)
            EXPECT_EQ(grid[index < 0 ? grid.size() - 1 : static_cast<std::size_t>(index)], value)
                << c.low << " " << c.high << " " << c.perDecade << " #" << index;
    }
}

TEST(LogGrid, DecadeStarts)
{
    EXPECT_EQ(decadeStart(1.0), 1.0);
    EXPECT_EQ(decadeStart(0.001), 0.0010000000000000002);
    EXPECT_EQ(decadeStart(20.0), 10.0);
    EXPECT_EQ(decadeStart(10.0), 10.0);
    EXPECT_EQ(decadeStart(9.99), 1.0);
}

TEST(LogGrid, RefusesBandsTheDecadeSearchCannotHandle)
{
    // Checked before the point count: even an empty request is refused.
    for (const double edge : {-1e-300, -1.0, inf, -inf, nan, 1e300})
    {
        EXPECT_THROW((void)logGrid(edge, 20.0, 10), std::domain_error) << edge;
        EXPECT_THROW((void)logGrid(0.001, edge, 0), std::domain_error) << edge;
    }
    EXPECT_THROW((void)logGrid(0.001, 20.0, 2'000'001), std::length_error);  // 5 decades
    EXPECT_EQ(logGrid(0.001, 20.0, 2'000'000).size(), 8'222'223u);
}

TEST(LinearGrid, RunningSumDecidesTheEndPoint)
{
    const std::vector<double> defaults = linearGrid(0.001, 20.0, 300);
    ASSERT_EQ(defaults.size(), 301u);
    EXPECT_EQ(defaults.front(), 0.001);
    EXPECT_EQ(defaults.back(), 19.999999999999996);

    const std::vector<double> lostEnd = linearGrid(1.0, 2.0, 10);
    ASSERT_EQ(lostEnd.size(), 10u);
    EXPECT_EQ(lostEnd.back(), 1.9000000000000008);

    EXPECT_EQ(linearGrid(1.0, 10.0, 9), (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(LinearGrid, DegenerateRequests)
{
    EXPECT_EQ(linearGrid(1.0, 5.0, 0), (std::vector<double>{1.0}));  // infinite step
    EXPECT_EQ(linearGrid(3.0, 3.0, 0), (std::vector<double>{3.0}));  // NaN step ends the walk
    EXPECT_EQ(linearGrid(-inf, 5.0, 10), (std::vector<double>{-inf}));
    EXPECT_TRUE(linearGrid(5.0, 1.0, 10).empty());
    EXPECT_TRUE(linearGrid(5.0, 1.0, -10).empty());
    EXPECT_TRUE(linearGrid(nan, 1.0, 10).empty());
}

TEST(LinearGrid, RefusesWalksThatWouldNeverEnd)
{
    EXPECT_THROW((void)linearGrid(1.0, 5.0, -4), std::domain_error);
    EXPECT_THROW((void)linearGrid(3.0, 3.0, 10), std::domain_error);
    EXPECT_THROW((void)linearGrid(0.0, inf, 10), std::domain_error);
    EXPECT_THROW((void)linearGrid(1e20, 1e20 + 1e5, 1000), std::domain_error);  // step below f's resolution
    // Whole-number steps are exact, so these grids hold npoints + 1 points.
    EXPECT_THROW((void)linearGrid(0.0, 1e7, 10'000'000), std::length_error);
    EXPECT_EQ(linearGrid(0.0, 1e7 - 1, 9'999'999).size(), maxGridPoints);
}

}  // namespace
}  // namespace kalvert
