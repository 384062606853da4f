#include "response/grid.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kalvert {
namespace {

// Band edges and decade starts are compared on a 1e-10 Hz lattice; the
// floors stay doubles so that no conversion can overflow.
constexpr double latticePerHertz = 1e10;

double onLattice(double x)
{
    return std::floor(x * latticePerHertz);
}

bool usableLogEdge(double x)
{
    return x >= 0.0 && std::isfinite(x * latticePerHertz);
}

}  // namespace

FrequencyGrid buildLinearGrid(double freqLow, double freqHigh, int npoints)
{
    FrequencyGrid grid;
    grid.frequencies.reserve(linearGridCapacity(freqLow, freqHigh, npoints));
    walkLinearGrid(freqLow, freqHigh, npoints, [&](double f) { grid.frequencies.push_back(f); });
    return grid;
}

std::size_t linearGridCapacity(double freqLow, double freqHigh, int npoints)
{
    if (!(freqLow <= freqHigh)) return 0;
    if (npoints <= 0) return 1;
    // npoints + 1 nominally; rounding may add one more before the walk ends.
    return std::min(static_cast<std::size_t>(npoints) + 2, maxGridPoints);
}

double decadeStart(double x)
{
    const double scaled = onLattice(x);
    double p = 1.0;
    if (x > 1.0) {
        // The decade's top, 10p, on the same lattice (scaled in one product).
        constexpr double decadeTopPerStart = 10.0 * latticePerHertz;
        while (scaled >= std::floor(p * decadeTopPerStart)) p *= 10.0;
    } else {
        while (scaled < onLattice(p)) p *= 0.1;
    }
    return p;
}

std::vector<double> buildDecadeGrid(double start, int decades, int perDecade)
{
    std::vector<double> points;
    if (decades <= 0 || perDecade <= 0) return points;
    points.reserve(static_cast<std::size_t>(decades) * static_cast<std::size_t>(perDecade));

    std::vector<double> fractions(static_cast<std::size_t>(perDecade));
    for (int k = 0; k < perDecade; ++k) fractions[static_cast<std::size_t>(k)] = static_cast<double>(k) / perDecade;

    double x = start;
    for (int j = 0; j < decades; ++j) {
        const double width = x * 10.0 - x;
        for (const double fraction : fractions) points.push_back(width * fraction + x);
        x *= 10.0;
    }
    return points;
}

FrequencyGrid buildLogGrid(double freqLow, double freqHigh, int npoints)
{
    // The decade search never ends for a negative edge; refuse such bands first.
    if (!usableLogEdge(freqLow) || !usableLogEdge(freqHigh)) throw std::domain_error("logarithmic band edge unusable");

    FrequencyGrid grid;
    if (npoints <= 0) return grid;

    const double lowStart = decadeStart(freqLow);
    const double highStart = decadeStart(freqHigh);
    const double decadeCount = std::floor(std::fabs(std::log10(highStart) - std::log10(lowStart)) + 1.0);
    const int decades = static_cast<int>(decadeCount);
    if (static_cast<double>(decades) * npoints > static_cast<double>(maxGridPoints))
        throw std::length_error("logarithmic grid too large");

    const std::vector<double> raw = buildDecadeGrid(lowStart, decades, npoints);
    const double low = onLattice(freqLow);
    const double high = onLattice(freqHigh);
    for (const double x : raw) {
        const double onGrid = onLattice(x);
        if (onGrid > high) break;
        if (low <= onGrid) grid.frequencies.push_back(x);
    }
    return grid;
}

}  // namespace kalvert
