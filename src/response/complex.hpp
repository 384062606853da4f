#pragma once

namespace kalvert {

/// A complex number as the response model stores it: real part first.
struct Complex {
    double re = 0.0;
    double im = 0.0;
};

/// 2π rounded to double (8 × atan2(1, 1)), set once at start-up.
extern const double twoPi;

/// a − b, part by part.
Complex complexSub(Complex a, Complex b);
/// a × b by the schoolbook formula.
Complex complexMul(Complex a, Complex b);
/// a / b by the schoolbook formula: no scaling, no test for a zero divisor
/// (a zero divisor gives non-finite parts by the IEEE rules).
Complex complexDiv(Complex a, Complex b);

}  // namespace kalvert
