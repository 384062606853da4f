#include "response/grid.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

namespace kalvert {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

const std::vector<double>& points(const FrequencyGrid& grid)
{
    return grid.frequencies;
}

TEST(LogGrid, DefaultBandWith300PerDecade)
{
    const FrequencyGrid grid = buildLogGrid(0.001, 20.0, 300);
    ASSERT_EQ(points(grid).size(), 1234u);
    EXPECT_EQ(points(grid).front(), 0.0010000000000000002);
    EXPECT_EQ(points(grid)[1200], 10.000000000000002);
    EXPECT_EQ(points(grid).back(), 19.900000000000006);
}

TEST(LogGrid, TenPerDecade)
{
    const FrequencyGrid grid = buildLogGrid(0.001, 20.0, 10);
    ASSERT_EQ(points(grid).size(), 42u);
    EXPECT_EQ(points(grid).front(), 0.0010000000000000002);
    EXPECT_EQ(points(grid)[40], 10.000000000000002);
    EXPECT_EQ(points(grid)[41], 19.000000000000004);
}

TEST(LogGrid, NinePerDecadeGivesWholeMultiples)
{
    const FrequencyGrid grid = buildLogGrid(1.0, 100.0, 9);
    const std::vector<double> expected{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
    EXPECT_EQ(points(grid), expected);
}

TEST(LogGrid, EdgesOffTheRawGrid)
{
    EXPECT_EQ(points(buildLogGrid(0.5, 5.0, 4)), (std::vector<double>{0.55, 0.775, 1.0, 3.25}));
    EXPECT_EQ(points(buildLogGrid(5.0, 5.0, 9)), (std::vector<double>{5.0}));
    EXPECT_TRUE(points(buildLogGrid(5.0, 5.0, 10)).empty());

    const FrequencyGrid belowDecadeTop = buildLogGrid(0.001, 99.9, 10);
    ASSERT_EQ(points(belowDecadeTop).size(), 50u);
    EXPECT_EQ(points(belowDecadeTop).back(), 91.00000000000001);
}

TEST(LogGrid, ZeroLowerEdgeStartsElevenDecadesDown)
{
    EXPECT_EQ(decadeStart(0.0), 1.0000000000000006e-11);
    const FrequencyGrid grid = buildLogGrid(0.0, 20.0, 10);
    ASSERT_EQ(points(grid).size(), 122u);
    EXPECT_EQ(points(grid).front(), 1.0000000000000006e-11);
    EXPECT_EQ(points(buildLogGrid(-0.0, 20.0, 10)), points(grid));
}

TEST(LogGrid, DecadeStarts)
{
    EXPECT_EQ(decadeStart(1.0), 1.0);
    EXPECT_EQ(decadeStart(0.001), 0.0010000000000000002);
    EXPECT_EQ(decadeStart(20.0), 10.0);
    EXPECT_EQ(decadeStart(10.0), 10.0);
    EXPECT_EQ(decadeStart(9.99), 1.0);
}

TEST(LogGrid, EmptyForNoPointsOrAnInvertedBand)
{
    EXPECT_TRUE(points(buildLogGrid(0.001, 20.0, 0)).empty());
    EXPECT_TRUE(points(buildLogGrid(0.001, 20.0, -3)).empty());
    EXPECT_TRUE(points(buildLogGrid(50.0, 1.0, 10)).empty());
    EXPECT_TRUE(buildDecadeGrid(1.0, 0, 5).empty());
}

TEST(LogGrid, RefusesBandsTheDecadeSearchCannotHandle)
{
    // Checked before the point count: even an empty request is refused.
    for (const double edge : {-1e-300, -1.0, inf, -inf, nan, 1e300})
    {
        EXPECT_THROW(buildLogGrid(edge, 20.0, 10), std::domain_error) << edge;
        EXPECT_THROW(buildLogGrid(0.001, edge, 0), std::domain_error) << edge;
    }
    EXPECT_THROW(buildLogGrid(0.001, 20.0, 2'000'001), std::length_error);  // 5 decades
    EXPECT_EQ(points(buildLogGrid(0.001, 20.0, 2'000'000)).size(), 8'222'223u);
}

TEST(LinearGrid, RunningSumDecidesTheEndPoint)
{
    const FrequencyGrid defaults = buildLinearGrid(0.001, 20.0, 300);
    ASSERT_EQ(points(defaults).size(), 301u);
    EXPECT_EQ(points(defaults).front(), 0.001);
    EXPECT_EQ(points(defaults).back(), 19.999999999999996);

    const FrequencyGrid lostEnd = buildLinearGrid(1.0, 2.0, 10);
    ASSERT_EQ(points(lostEnd).size(), 10u);
    EXPECT_EQ(points(lostEnd).back(), 1.9000000000000008);

    EXPECT_EQ(points(buildLinearGrid(1.0, 10.0, 9)), (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(LinearGrid, DegenerateRequests)
{
    EXPECT_EQ(points(buildLinearGrid(1.0, 5.0, 0)), (std::vector<double>{1.0}));  // infinite step
    EXPECT_EQ(points(buildLinearGrid(3.0, 3.0, 0)), (std::vector<double>{3.0}));  // NaN step ends the walk
    EXPECT_EQ(points(buildLinearGrid(-inf, 5.0, 10)), (std::vector<double>{-inf}));
    EXPECT_TRUE(points(buildLinearGrid(5.0, 1.0, 10)).empty());
    EXPECT_TRUE(points(buildLinearGrid(5.0, 1.0, -10)).empty());
    EXPECT_TRUE(points(buildLinearGrid(nan, 1.0, 10)).empty());
}

TEST(LinearGrid, RefusesWalksThatWouldNeverEnd)
{
    EXPECT_THROW(buildLinearGrid(1.0, 5.0, -4), std::domain_error);
    EXPECT_THROW(buildLinearGrid(3.0, 3.0, 10), std::domain_error);
    EXPECT_THROW(buildLinearGrid(0.0, inf, 10), std::domain_error);
    EXPECT_THROW(buildLinearGrid(1e20, 1e20 + 1e5, 1000), std::domain_error);  // step below f's resolution
    // Whole-number steps are exact, so these grids hold npoints + 1 points.
    EXPECT_THROW(buildLinearGrid(0.0, 1e7, 10'000'000), std::length_error);
    EXPECT_EQ(points(buildLinearGrid(0.0, 1e7 - 1, 9'999'999)).size(), maxGridPoints);
}

}  // namespace
}  // namespace kalvert
