#pragma once

#include <string>
#include <string_view>

namespace kalvert {

/// The unit text of the comment line for a TYPE_OUT text: "mkM/Count" for
/// QTV, "Count/(nM/sec)" for GSE2, otherwise built from n1, n2, n3 (empty for
/// a kind of motion other than 0, 1, 2).
std::string fapUnitText(std::string_view typeOut);

/// "QTV FAP Triplets N", "GSE2 FAP Triplets N" or "FAP Triplets N".
std::string fapDescriptor(std::string_view typeOut, int count);

/// The three header lines (CAL2, comment, FAP2), each ending in "\n". No
/// field is ever cut: a longer text widens its field.
std::string formatFapHeader(std::string_view station, std::string_view channel, std::string_view location,
                            std::string_view network, std::string_view onTimeText, std::string_view offTimeText,
                            int count, std::string_view typeOut, double calibrationFactor,
                            double calibrationPeriod);

}  // namespace kalvert
