#include "response/complex.hpp"

#include <cmath>

namespace kalvert {

const double twoPi = 8.0 * std::atan2(1.0, 1.0);

Complex complexSub(Complex a, Complex b)
{
    return {a.re - b.re, a.im - b.im};
}

Complex complexMul(Complex a, Complex b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

Complex complexDiv(Complex a, Complex b)
{
    const double d = b.im * b.im + b.re * b.re;
    return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

}  // namespace kalvert
