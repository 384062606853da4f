#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "response/complex.hpp"

namespace kalvert {

/// The channel's response as a SAC pole-zero file gives it (radians per second).
struct PoleZeroModel {
    int npoles = 0;              ///< count announced after the first "POLES"
    int nzeros = 0;              ///< count announced after the first "ZEROS"
    std::vector<Complex> zeros;  ///< file order, filled up with (0, 0) to nzeros
    std::vector<Complex> poles;  ///< file order, never filled up
    double constant = 1.0;       ///< normalising constant; 1.0 when the file has none
};

/// Longest zeros list and longest poles list a model may hold, counted over
/// the whole file: the reader and the kind adjustment refuse to grow a list
/// further. Real instruments have a few dozen roots.
inline constexpr std::size_t maxZeroCount = 10'000;
inline constexpr std::size_t maxPoleCount = 10'000;

/// How many more zeros a list holding `held` may take.
inline std::size_t zeroRoomLeft(std::size_t held)
{
    return held < maxZeroCount ? maxZeroCount - held : 0;
}

/// Station identity from the file's "#" comment lines; each field is cut to
/// its capacity, and stays empty when the file does not set it.
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
    std::string timeText;  ///< "on-time / off-time" as the file writes it
};

}  // namespace kalvert
