#include "response/complex.hpp"

#include <cmath>

#include <gtest/gtest.h>

namespace kalvert {
namespace {

TEST(Complex, ZeroDivisorGivesNonFinitePartsWithoutError)
{
    const Complex quotient = complexDiv({1, 0}, {0, 0});
    EXPECT_FALSE(std::isfinite(quotient.re));
    EXPECT_FALSE(std::isfinite(quotient.im));
}

}  // namespace
}  // namespace kalvert
