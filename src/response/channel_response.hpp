#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "dates/date_time.hpp"
#include "response/cascade.hpp"
#include "response/complex.hpp"

namespace kalvert {

/// Poles and zeros in radians per second with the constant that normalises
/// them: H(s) = constant × Π(s − z) / Π(s − p).
struct PoleZeroStage {
    std::vector<Complex> zeros;  ///< file order
    std::vector<Complex> poles;  ///< file order
    double constant = 1.0;
};

/// One stage of a channel's response, in the order the signal passes them:
/// a SAC pole-zero file's one stage (its constant the whole level), or a
/// stage of a StationXML or RESP cascade.
using ResponseStage = std::variant<PoleZeroStage, CascadeStage>;

/// Longest zeros list and longest poles list a file may hold, counted over
/// the whole file: the readers and the kind adjustment refuse to grow a list
/// further. Real instruments have a few dozen roots.
inline constexpr std::size_t maxZeroCount = 10'000;
inline constexpr std::size_t maxPoleCount = 10'000;

/// How many more zeros a list holding `held` may take.
inline std::size_t zeroRoomLeft(std::size_t held)
{
    return held < maxZeroCount ? maxZeroCount - held : 0;
}

/// Network, station, location and channel codes; empty when not stated
/// (a blank location is empty).
struct ChannelId {
    std::string network;
    std::string station;
    std::string location;
    std::string channel;
};

/// "NET.STA.LOC.CHA", e.g. "IU.ANMO.00.BHZ" or "UW.HOOD..ENE".
[[nodiscard]] inline std::string channelName(const ChannelId& id)
{
    return id.network + "." + id.station + "." + id.location + "." + id.channel;
}

/// What a file states about its channel beside the stages, for checks and
/// for the descriptions the writers give.
struct StatedValues {
    std::optional<double> sensitivity;
    std::string sensitivityUnit;                 ///< e.g. "M/S", empty when not stated
    std::string sensitivityOutputUnit;           ///< e.g. "COUNTS"
    std::optional<double> sensitivityFrequency;  ///< Hz
    std::optional<double> a0;
    std::optional<double> constant;  ///< the pole-zero constant as written; nothing when absent
    std::string instrument;          ///< the instrument's description, empty when not stated
};

/// Where a channel is and how its sensor is set, as its file states it;
/// nothing where it does not.
struct ChannelPlace {
    std::optional<double> latitude;   ///< degrees north
    std::optional<double> longitude;  ///< degrees east
    std::optional<double> elevation;  ///< metres
    std::optional<double> depth;      ///< metres below the surface
    std::optional<double> azimuth;    ///< degrees from north
    std::optional<double> dip;        ///< degrees down from the horizontal
};

/// The channel's station, as its file states it.
struct StationPlace {
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::optional<double> elevation;
    std::string site;  ///< the site's name
};

/// One channel epoch's response, whichever reader produced it.
struct ChannelResponse {
    ChannelId id;
    std::optional<DateTime> start;
    std::optional<DateTime> end;  ///< nothing for an open epoch
    /// "on / off" exactly as a file without parsed dates writes its epoch;
    /// empty when the reader parsed the epoch into start and end.
    std::string epochAsWritten;
    std::string inputUnit;  ///< as written ("M", "NM", "M/S" …), empty when not stated
    std::optional<double> sampleRate;
    StatedValues stated;
    ChannelPlace place;
    StationPlace station;
    std::vector<ResponseStage> stages;
    int firstLine = 0;  ///< where the response starts in its file, from 1
    /// Why the response cannot be converted as its file states it, naming
    /// the stage and field ("stage 2: gain 0"); empty when it can. The
    /// section is refused; the file's other sections are not.
    std::string defect;
    bool inputUnitFromSensitivity = false;  ///< no stage states a unit: the overall sensitivity's is used
    bool gainFromSensitivity = false;       ///< a one-stage response without a gain: the sensitivity is its gain
};

/// Keeps the first defect found: the one the user mends first.
inline void noteDefect(ChannelResponse& response, std::string why)
{
    if (response.defect.empty()) response.defect = std::move(why);
}

/// How many stages of a StationXML or RESP cascade the response holds.
[[nodiscard]] inline std::size_t cascadeStageCount(const ChannelResponse& response)
{
    std::size_t count = 0;
    for (const ResponseStage& stage : response.stages)
        if (std::holds_alternative<CascadeStage>(stage)) ++count;
    return count;
}

/// Is the response a StationXML or RESP cascade of stages (rather than a
/// SAC pole-zero file's single stage)?
[[nodiscard]] inline bool isCascade(const ChannelResponse& response)
{
    return !response.stages.empty() && std::holds_alternative<CascadeStage>(response.stages.front());
}

}  // namespace kalvert
