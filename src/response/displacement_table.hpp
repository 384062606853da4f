#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "response/evaluation.hpp"

namespace kalvert {

/// One row of a standard response table.
struct DisplacementRow {
    double frequency = 0.0;     ///< hertz, as written in the file
    double amplitude = 0.0;     ///< |H|, counts per nanometre of displacement, > 0
    double phaseDegrees = 0.0;  ///< arg H(i2πf), degrees, continuous from row to row
};

/// The forward displacement response of `response` (made ready for output
/// kind 0,0,−9, physically) at each frequency, in order: the amplitude
/// positive (a negative CONSTANT turns the phase by 180°), the phase
/// unwrapped so that no step between neighbouring rows exceeds 180°.
[[nodiscard]] std::vector<DisplacementRow> tabulateDisplacement(const PreparedResponse& response,
                                                                const std::vector<double>& frequencies);

/// Turns the whole phase column by whole turns so that row `anchor` (the
/// calibration frequency, in the flat band) lies in (−180°, 180°]: the
/// continuous phase then reads as a seismologist expects it there.
void anchorPhase(std::vector<DisplacementRow>& rows, std::size_t anchor);

/// Visits the periods between `shortest` and `longest` (seconds) where the
/// response's amplitude is 1, nearest 1 s (on a log scale) first, until
/// `visit` returns true; `evaluations` counts the response evaluations spent.
void forEachUnitLevelPeriod(const PreparedResponse& response, double shortest, double longest,
                            const std::function<bool(double)>& visit, std::size_t& evaluations);

/// Frequencies a reader interpolating between them (linearly, or log-log)
/// follows a smooth response to well within 0.5 %: `perDecade` evenly spaced
/// in the logarithm from `lowest` up to `highest`, which is the last one.
[[nodiscard]] std::vector<double> logarithmicFrequencies(double lowest, double highest, int perDecade);

}  // namespace kalvert
