#pragma once

#include <cstddef>
#include <stdexcept>
#include <vector>

namespace kalvert {

/// The frequencies of a run in hertz, ascending; may be empty.
struct FrequencyGrid {
    std::vector<double> frequencies;
};

/// Largest grid a run may ask for: the logarithmic grid counts its raw points
/// (decades × points per decade), the linear grid the points of its walk.
inline constexpr std::size_t maxGridPoints = 10'000'000;

/// freqLow, then a running sum of (freqHigh − freqLow) / npoints while it
/// stays ≤ freqHigh. A sum that is NaN ends the walk. Throws std::domain_error
/// when a step would not raise the frequency (the walk would never end) and
/// std::length_error beyond maxGridPoints.
FrequencyGrid buildLinearGrid(double freqLow, double freqHigh, int npoints);

/// The walk of buildLinearGrid, calling visit(f) for each point in order
/// instead of keeping a list; it refuses the same requests the same way.
template <typename Visit>
void walkLinearGrid(double freqLow, double freqHigh, int npoints, Visit visit)
{
    const double step = (freqHigh - freqLow) / static_cast<double>(npoints);
    std::size_t count = 0;
    // A running sum, rounded at every addition (not freqLow + k × step): the
    // end point is lost when rounding carries the last sum above freqHigh.
    for (double f = freqLow; f <= freqHigh;) {
        if (count++ == maxGridPoints) throw std::length_error("linear grid too large");
        visit(f);
        const double next = f + step;
        if (next <= f) throw std::domain_error("linear grid step does not advance");
        f = next;
    }
}

/// Points the linear grid will hold at most, for reserving room up front.
std::size_t linearGridCapacity(double freqLow, double freqHigh, int npoints);

/// Whole decades of `npoints` evenly spaced points each, cut to the band at a
/// resolution of 1e-10 Hz. Empty for npoints ≤ 0 or an inverted band. Throws
/// std::domain_error for a negative or non-finite edge (or one too large to
/// scale by 1e10), std::length_error beyond maxGridPoints raw points.
FrequencyGrid buildLogGrid(double freqLow, double freqHigh, int npoints);

/// The power of ten (reached by repeated ×10 or ×0.1 from 1) that opens the
/// decade holding x. x must be ≥ 0 with x × 1e10 finite.
double decadeStart(double x);

/// decades × perDecade points: for each decade start x (start, then ×10),
/// (10x − x) × k / perDecade + x for k = 0 … perDecade − 1. Empty when either
/// count is ≤ 0.
std::vector<double> buildDecadeGrid(double start, int decades, int perDecade);

}  // namespace kalvert
