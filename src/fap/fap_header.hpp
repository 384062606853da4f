#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "response/output_kind.hpp"
#include "response/pole_zero_model.hpp"

namespace kalvert {

/// The station's time text cut at its first " / ".
struct TimeTexts {
    std::string onTime;   ///< before the separator, or the whole text
    std::string offTime;  ///< after the separator, or empty
};

[[nodiscard]] TimeTexts splitTimeText(std::string_view timeText);

/// The unit text of the comment line: built from n1, n2, n3 (empty for a
/// kind of motion other than 0, 1, 2); "Count/(nM/sec)" for GSE2's triple,
/// "mkM/Count" for QTV's.
[[nodiscard]] std::string fapUnitText(const OutputKind& kind);

/// "QTV FAP Triplets N", "GSE2 FAP Triplets N" or "FAP Triplets N".
[[nodiscard]] std::string fapDescriptor(const OutputKind& kind, std::size_t count);

/// The three header lines (CAL2, comment, FAP2), each ending in "\n", for a
/// table of `count` rows. The legacy file states no calibration: its factor
/// and period are both written as −1. No field is ever cut: a longer text
/// widens its field.
[[nodiscard]] std::string formatFapHeader(const StationInfo& station, const TimeTexts& times, std::size_t count,
                                          const OutputKind& kind);

}  // namespace kalvert
