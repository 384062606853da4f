#pragma once

#include <complex>
#include <string>
#include <vector>

namespace kalvert::testing {

// A second reading of a one-channel SAC pole-zero file, written apart from
// the tool's readers: keyword lines, value lines under them, "*" and "#"
// lines skipped but for SENSITIVITY and INPUT UNIT, unlisted zeros at the
// origin; and its transfer function in std::complex<long double>.

using ComplexL = std::complex<long double>;

struct Response {
    std::vector<ComplexL> zeros;
    std::vector<ComplexL> poles;
    long double constant = 1.0L;
    double sensitivity = 0.0;  ///< from "* SENSITIVITY", 0 when absent
    std::string inputUnit;     ///< from "* INPUT UNIT", empty when absent
};

Response readResponse(const std::string& text);

/// Π(s − z) / Π(s − p) at s = i·2πf, without the constant.
ComplexL transfer(const Response& response, long double frequency);

}  // namespace kalvert::testing
