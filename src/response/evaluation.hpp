#pragma once

#include <vector>

#include "response/output_kind.hpp"
#include "response/pole_zero_model.hpp"

namespace kalvert {

/// One row of the FAP table.
struct FapPoint {
    double frequency = 0.0;  ///< hertz, exactly the grid value
    double amplitude = 0.0;  ///< in the output unit, signed like the model's constant
    double phase = 0.0;      ///< radians, −π … π, never unwrapped
};

/// The evaluated response in grid order, one row per grid frequency.
struct FapTable {
    std::vector<FapPoint> rows;
};

/// Most root-frequency terms (grid points × (zeros + poles)) one evaluation
/// may take on: about ten seconds of work. A larger request is refused before
/// any evaluation.
inline constexpr double maxRootFrequencyTerms = 2e9;

/// Fills `table` with one row per grid frequency of the request: the zeros of
/// the model copy are adjusted to the output kind of motion (n1 − inputMotion
/// zeros at the origin appended, or that many of the last zeros removed),
/// the amplitude is scaled to the output unit and the phase is atan2 of H.
/// Non-finite values are stored like any other. Throws std::domain_error when
/// the grid is refused or more zeros are to be removed than the list holds,
/// std::length_error when a list would grow past its limit or the work would
/// pass maxRootFrequencyTerms.
void evaluateResponse(PoleZeroModel model, FapTable& table, int npoints, double freqLow, double freqHigh, bool logX,
                      const ResponseKind& kind);

/// H(s) = Π(s − z) / Π(s − p) at s = i·2πf, products in list order.
Complex transferFunction(double frequency, const PoleZeroModel& model);
/// constant × |H| at the frequency (hertz).
double responseAmplitude(double frequency, const PoleZeroModel& model);
/// arg H at the frequency (hertz), radians.
double responsePhase(double frequency, const PoleZeroModel& model);

}  // namespace kalvert
