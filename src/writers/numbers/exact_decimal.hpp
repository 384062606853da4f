#pragma once

#include <cstdint>

namespace kalvert {

/// The decimal digits printf shows for a double: |value| × 10^scale rounded
/// to a whole number, half to even, on the double's exact binary value.
struct ScaledDigits {
    std::uint64_t rounded = 0;    ///< the whole number after rounding
    std::uint64_t truncated = 0;  ///< the same before rounding
};

/// Computes |value| × 10^scale exactly in 128-bit integer arithmetic and
/// rounds it. False when the value (zero, subnormal or non-finite included)
/// or the scale lies outside what that arithmetic covers, or the result does
/// not fit 64 bits; the caller then takes the general conversion.
[[nodiscard]] bool scaleToDigits(double value, int scale, ScaledDigits& digits);

}  // namespace kalvert
