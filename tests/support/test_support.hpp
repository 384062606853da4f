#pragma once

// Whole-list forms of the tool's streaming pieces, for tests, fuzzers and
// benchmarks: the tool itself walks grids and writes tables chunk by chunk.

#include <string>
#include <vector>

#include "response/evaluation.hpp"
#include "response/grid.hpp"

namespace kalvert::testing {

/// The walks kept as lists.
[[nodiscard]] std::vector<double> linearGrid(double freqLow, double freqHigh, int npoints);
[[nodiscard]] std::vector<double> logGrid(double freqLow, double freqHigh, int npoints);

/// decades × perDecade points: for each decade start x (start, then ×10),
/// (10x − x) × k / perDecade + x for k = 0 … perDecade − 1, each computed
/// independently of the walk. Empty when either count is ≤ 0.
[[nodiscard]] std::vector<double> decadeGrid(double start, int decades, int perDecade);

/// prepareResponse, the work bound, then one row per grid frequency in order.
[[nodiscard]] std::vector<FapPoint> evaluateGrid(const PoleZeroStage& stage, const GridRequest& grid,
                                                 const ResponseKind& kind);

/// constant × |H| and arg H at one frequency (hertz).
[[nodiscard]] double responseAmplitude(double frequency, const PoleZeroStage& stage);
[[nodiscard]] double responsePhase(double frequency, const PoleZeroStage& stage);

/// The count line and one row line per row, as the FAP file writes them.
[[nodiscard]] std::string fapTableText(const std::vector<FapPoint>& rows);

}  // namespace kalvert::testing
