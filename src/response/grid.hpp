#pragma once

#include <cstddef>
#include <stdexcept>
#include <vector>

namespace kalvert {

/// The grid a run asks for on its command line.
struct GridRequest {
    double freqLow = 0.001;  ///< Hz
    double freqHigh = 20.0;  ///< Hz
    int npoints = 300;       ///< steps of the linear grid, or points per decade with logX
    bool logX = false;
};

/// Largest grid a run may ask for: the logarithmic grid counts its raw points
/// (decades × points per decade), the linear grid the points of its walk.
inline constexpr std::size_t maxGridPoints = 10'000'000;

/// freqLow, then a running sum of (freqHigh − freqLow) / npoints while it
/// stays ≤ freqHigh, calling visit(f) for each point in order. A sum that is
/// NaN ends the walk. Throws std::domain_error when a step would not raise
/// the frequency (the walk would never end) and std::length_error beyond
/// maxGridPoints.
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

/// The power of ten (reached by repeated ×10 or ×0.1 from 1) that opens the
/// decade holding x. x must be ≥ 0 with x × 1e10 finite.
[[nodiscard]] double decadeStart(double x);

/// How a logarithmic band is laid out: its first decade start, its number of
/// decades and its edges on the 1e-10 Hz lattice. A point x belongs to the
/// band when floor(x × 1e10) lies between the edges' floors; since those are
/// whole numbers, that is x × 1e10 ≥ lowestKept and x × 1e10 < firstAbove,
/// which spares the walk a floor per point. Throws std::domain_error for a
/// negative or non-finite edge (or one too large to scale by 1e10),
/// std::length_error beyond maxGridPoints raw points.
struct DecadeLayout {
    double firstStart = 1.0;
    int decades = 0;
    double lowestKept = 0.0;  ///< floor(freqLow × 1e10)
    double firstAbove = 0.0;  ///< the least scaled value whose floor lies above floor(freqHigh × 1e10)
};
[[nodiscard]] DecadeLayout layOutDecades(double freqLow, double freqHigh, int npoints);

/// Band edges and grid points are compared on a 1e-10 Hz lattice:
/// floor(x × latticePerHertz), kept a double so that no conversion overflows.
inline constexpr double latticePerHertz = 1e10;
[[nodiscard]] double onFrequencyLattice(double x);

/// Whole decades of `npoints` evenly spaced points each, cut to the band at a
/// resolution of 1e-10 Hz, calling visit(f) for each point kept, in order.
/// Nothing for npoints ≤ 0 or an inverted band; refuses what layOutDecades
/// refuses. Each point is (10x − x) × (k / npoints) + x for the decade start x.
template <typename Visit>
void walkLogGrid(double freqLow, double freqHigh, int npoints, Visit visit)
{
    const DecadeLayout layout = layOutDecades(freqLow, freqHigh, npoints);
    double start = layout.firstStart;
    for (int decade = 0; decade < layout.decades; ++decade) {
        const double width = start * 10.0 - start;
        for (int k = 0; k < npoints; ++k) {
            const double x = width * (static_cast<double>(k) / npoints) + start;
            const double scaled = x * latticePerHertz;
            if (scaled >= layout.firstAbove) return;
            if (layout.lowestKept <= scaled) visit(x);
        }
        start *= 10.0;
    }
}

/// The grid of a request, linear or logarithmic, point by point.
template <typename Visit>
void walkGrid(const GridRequest& request, Visit visit)
{
    if (request.logX)
        walkLogGrid(request.freqLow, request.freqHigh, request.npoints, visit);
    else
        walkLinearGrid(request.freqLow, request.freqHigh, request.npoints, visit);
}

/// How many points walkGrid will visit; refuses what it refuses, the same way.
[[nodiscard]] std::size_t countGridPoints(const GridRequest& request);

}  // namespace kalvert
