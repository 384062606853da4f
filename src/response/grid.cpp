#include "response/grid.hpp"

#include <cmath>
#include <stdexcept>

namespace kalvert {
namespace {

bool usableLogEdge(double x)
{
    return x >= 0.0 && std::isfinite(x * latticePerHertz);
}

}  // namespace

double onFrequencyLattice(double x)
{
    return std::floor(x * latticePerHertz);
}

double decadeStart(double x)
{
    const double scaled = onFrequencyLattice(x);
    double p = 1.0;
    if (x > 1.0) {
        // The decade's top, 10p, on the same lattice (scaled in one product).
        constexpr double decadeTopPerStart = 10.0 * latticePerHertz;
        while (scaled >= std::floor(p * decadeTopPerStart)) p *= 10.0;
    } else {
        while (scaled < onFrequencyLattice(p)) p *= 0.1;
    }
    return p;
}

DecadeLayout layOutDecades(double freqLow, double freqHigh, int npoints)
{
    // The decade search never ends for a negative edge; refuse such bands first.
    if (!usableLogEdge(freqLow) || !usableLogEdge(freqHigh)) throw std::domain_error("logarithmic band edge unusable");

    DecadeLayout layout;
    if (npoints <= 0) return layout;
    layout.firstStart = decadeStart(freqLow);
    const double highStart = decadeStart(freqHigh);
    const double decadeCount = std::floor(std::fabs(std::log10(highStart) - std::log10(layout.firstStart)) + 1.0);
    layout.decades = static_cast<int>(decadeCount);
    if (static_cast<double>(layout.decades) * npoints > static_cast<double>(maxGridPoints))
        throw std::length_error("logarithmic grid too large");
    layout.lowestKept = onFrequencyLattice(freqLow);
    // floor(s) > H for a whole H is s ≥ H + 1 while H + 1 is exact; from 2^53
    // on every double is whole, and floor(s) > H is s > H.
    const double high = onFrequencyLattice(freqHigh);
    constexpr double wholeNumbersEnd = 0x1p53;
    layout.firstAbove = high < wholeNumbersEnd ? high + 1.0 : std::nextafter(high, HUGE_VAL);
    return layout;
}

std::size_t countGridPoints(const GridRequest& request)
{
    std::size_t count = 0;
    walkGrid(request, [&count](double) { ++count; });
    return count;
}

FrequencyGrid buildLinearGrid(double freqLow, double freqHigh, int npoints)
{
    FrequencyGrid grid;
    walkLinearGrid(freqLow, freqHigh, npoints, [&grid](double f) { grid.frequencies.push_back(f); });
    return grid;
}

FrequencyGrid buildLogGrid(double freqLow, double freqHigh, int npoints)
{
    FrequencyGrid grid;
    walkLogGrid(freqLow, freqHigh, npoints, [&grid](double f) { grid.frequencies.push_back(f); });
    return grid;
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

}  // namespace kalvert
