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

}  // namespace kalvert
