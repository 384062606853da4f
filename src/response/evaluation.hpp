#pragma once

#include <cstddef>
#include <vector>

#include "response/grid.hpp"
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

/// A model made ready for evaluation in one output kind: its zeros adjusted
/// to the kind of motion, the unit's power of ten worked out once.
struct PreparedResponse {
    PoleZeroModel model;
    bool inverse = false;    ///< unit per count instead of counts per unit
    double unitScale = 1.0;  ///< 10^n3, or 10^−n3 for an inverse response
    int motionPower = 0;     ///< H is multiplied by (i2πf) to this power
};

/// Changes the kind of motion to the output's: physically when the kind says
/// so (motionPower = inputMotion − n1, the lists untouched), otherwise by the
/// legacy adjustment of the zeros (n1 − inputMotion zeros at the origin
/// appended, or that many of the last zeros removed, wherever they lie).
/// Throws std::domain_error when more zeros are to be removed than the list
/// holds, std::length_error when a list or the power would pass maxZeroCount.
[[nodiscard]] PreparedResponse prepareResponse(PoleZeroModel model, const ResponseKind& kind);

/// Throws std::length_error when `points` frequencies of the response would
/// pass maxRootFrequencyTerms.
void refuseExcessiveWork(std::size_t points, const PreparedResponse& response);

/// One row per frequency: the amplitude scaled to the output unit, the phase
/// atan2 of H. Frequencies are taken several at a time, each with exactly
/// the operations, in exactly the order, of a lone evaluation, so every row
/// is bit for bit what transferFunction gives. Non-finite values are stored
/// like any other.
void evaluatePoints(const PreparedResponse& response, const double* frequencies, std::size_t count, FapPoint* rows);

/// The whole table of a grid: prepareResponse, the work bound, then one row
/// per grid frequency in order. Throws what those and the grid throw.
void evaluateResponse(PoleZeroModel model, FapTable& table, const GridRequest& grid, const ResponseKind& kind);

/// H(s) = Π(s − z) / Π(s − p) at s = i·2πf, products in list order.
[[nodiscard]] Complex transferFunction(double frequency, const PoleZeroModel& model);
/// constant × |H| at the frequency (hertz).
[[nodiscard]] double responseAmplitude(double frequency, const PoleZeroModel& model);
/// arg H at the frequency (hertz), radians.
[[nodiscard]] double responsePhase(double frequency, const PoleZeroModel& model);

}  // namespace kalvert
