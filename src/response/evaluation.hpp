#pragma once

#include <cstddef>
#include <vector>

#include "response/grid.hpp"
#include "response/output_kind.hpp"
#include "response/channel_response.hpp"

namespace kalvert {

/// One row of the FAP table.
struct FapPoint {
    double frequency = 0.0;  ///< hertz, exactly the grid value
    double amplitude = 0.0;  ///< in the output unit, signed like the model's constant
    double phase = 0.0;      ///< radians, −π … π, never unwrapped
};

/// Most root-frequency terms (grid points × (zeros + poles)) one evaluation
/// may take on: about ten seconds of work. A larger request is refused before
/// any evaluation.
inline constexpr double maxRootFrequencyTerms = 2e9;

/// A model made ready for evaluation in one output kind: its zeros adjusted
/// to the kind of motion, the unit's power of ten worked out once.
struct PreparedResponse {
    PoleZeroStage model;                 ///< a SAC pole-zero response; for a cascade only its constant counts
    std::vector<PreparedStage> cascade;  ///< a StationXML or RESP response's stages, empty otherwise
    bool inverse = false;                ///< unit per count instead of counts per unit
    double unitScale = 1.0;              ///< 10^n3, or 10^−n3 for an inverse response
    int motionPower = 0;                 ///< H is multiplied by (i2πf) to this power
};

/// Changes the kind of motion to the output's: physically when the kind says
/// so (motionPower = inputMotion − n1, the lists untouched), otherwise by the
/// legacy adjustment of the zeros (n1 − inputMotion zeros at the origin
/// appended, or that many of the last zeros removed, wherever they lie).
/// Throws std::domain_error when more zeros are to be removed than the list
/// holds, std::length_error when a list or the power would pass maxZeroCount.
[[nodiscard]] PreparedResponse prepareResponse(PoleZeroStage model, const ResponseKind& kind);

/// The same for a channel's response: its one pole-zero stage, or its whole
/// cascade (always physically, its level from the product of the stage
/// gains). Throws std::invalid_argument for a response with no stage, more
/// than one pole-zero stage, or a stage without a frequency response.
[[nodiscard]] PreparedResponse prepareResponse(const ChannelResponse& response, const ResponseKind& kind);

/// The terms one frequency of the response costs: its roots and the
/// factors of its change of motion.
[[nodiscard]] double rootCount(const PreparedResponse& response);

/// Throws std::length_error when `points` frequencies of the response would
/// pass maxRootFrequencyTerms.
void refuseExcessiveWork(std::size_t points, const PreparedResponse& response);

/// One row per frequency: the amplitude scaled to the output unit, the phase
/// atan2 of H. Frequencies are taken several at a time, each with exactly
/// the operations, in exactly the order, of a lone evaluation, so every row
/// is bit for bit what transferFunction gives. Non-finite values are stored
/// like any other.
void evaluatePoints(const PreparedResponse& response, const double* frequencies, std::size_t count, FapPoint* rows);

/// H(s) = Π(s − z) / Π(s − p) at s = i·2πf, products in list order.
[[nodiscard]] Complex transferFunction(double frequency, const PoleZeroStage& model);

}  // namespace kalvert
