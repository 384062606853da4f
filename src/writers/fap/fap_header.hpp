#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "response/output_kind.hpp"
#include "response/channel_response.hpp"

namespace kalvert {

/// The identity the legacy header shows, each field cut to its room.
struct StationInfo {
    static constexpr std::size_t stationCapacity = 7;
    static constexpr std::size_t channelCapacity = 7;
    static constexpr std::size_t networkCapacity = 3;
    static constexpr std::size_t locationCapacity = 3;
    static constexpr std::size_t timeTextCapacity = 39;

    std::string station;
    std::string channel;
    std::string network;
    std::string location;
    std::string timeText;  ///< "on-time / off-time"
};

/// A response's identity as the legacy header shows it: the epoch as its
/// file wrote it, else its dates as "yyyy/mm/dd hh:mm / yyyy/mm/dd hh:mm"
/// (nothing after the separator for an open epoch, nothing at all for an
/// epoch not stated).
[[nodiscard]] StationInfo legacyStation(const ChannelResponse& response);

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
