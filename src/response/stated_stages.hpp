#pragma once

#include <vector>

#include "response/channel_response.hpp"

namespace kalvert {

/// A SAC pole-zero file's stage as the cascade stage that evaluates to the
/// same response: roots in rad/s, A0 = 1/|PZ(f)| normalising it at
/// `frequency` (Hz), the stage gain the constant times |PZ(f)|, at f.
[[nodiscard]] CascadeStage cascadeStageOf(const PoleZeroStage& stage, double frequency);

/// Gives each digital stage without a decimation factor 1, no delay, at the
/// rate the stage before it puts out (as readers that need one assume);
/// returns the numbers of the stages it completed.
std::vector<int> completeDecimations(std::vector<CascadeStage>& stages);

}  // namespace kalvert
