#include "response/complex.hpp"

#include <cmath>

#include <gtest/gtest.h>

namespace kalvert {
namespace {

TEST(Complex, TwoPiIsTwicePiRoundedToDouble)
{
    EXPECT_EQ(twoPi, 6.283185307179586);
}

TEST(Complex, SchoolbookOperations)
{
    const Complex quotient = complexDiv({1, 0}, {0, 1});
    EXPECT_EQ(quotient.re, 0.0);
    EXPECT_EQ(quotient.im, -1.0);

    const Complex square = complexMul({0, 1}, {0, 1});
    EXPECT_EQ(square.re, -1.0);
    EXPECT_EQ(square.im, 0.0);

    const Complex difference = complexSub({3, -2}, {1, 5});
    EXPECT_EQ(difference.re, 2.0);
    EXPECT_EQ(difference.im, -7.0);
}

TEST(Complex, ZeroDivisorGivesNonFinitePartsWithoutError)
{
    const Complex quotient = complexDiv({1, 0}, {0, 0});
    EXPECT_FALSE(std::isfinite(quotient.re));
    EXPECT_FALSE(std::isfinite(quotient.im));
}

}  // namespace
}  // namespace kalvert
