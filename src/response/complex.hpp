#pragma once

namespace kalvert {

/// A complex number as the response model stores it: real part first.
struct Complex {
    double re = 0.0;
    double im = 0.0;
};

/// 2π rounded to double (8 × atan2(1, 1)), set once at start-up.
extern const double twoPi;

// Defined here so that the evaluation's inner loop inlines them.

/// a − b, part by part.
inline Complex complexSub(Complex a, Complex b)
{
    return {a.re - b.re, a.im - b.im};
}

/// a × b by the schoolbook formula.
inline Complex complexMul(Complex a, Complex b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

/// a / b by the schoolbook formula: no scaling, no test for a zero divisor
/// (a zero divisor gives non-finite parts by the IEEE rules).
inline Complex complexDiv(Complex a, Complex b)
{
    const double d = b.im * b.im + b.re * b.re;
    return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

}  // namespace kalvert
