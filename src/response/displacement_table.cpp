#include "response/displacement_table.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace kalvert {

std::vector<DisplacementRow> tabulateDisplacement(const PreparedResponse& response,
                                                  const std::vector<double>& frequencies)
{
    std::vector<FapPoint> points(frequencies.size());
    evaluatePoints(response, frequencies.data(), frequencies.size(), points.data());
    constexpr double degreesPerRadian = 180.0 / std::numbers::pi;
    std::vector<DisplacementRow> rows;
    rows.reserve(points.size());
    for (const FapPoint& point : points) {
        double degrees = point.phase * degreesPerRadian;
        // A negative constant is a polarity: +180°, never a negative amplitude.
        if (point.amplitude < 0) degrees += 180.0;
        if (!rows.empty()) {
            const double previous = rows.back().phaseDegrees;
            degrees -= 360.0 * std::round((degrees - previous) / 360.0);
        }
        rows.push_back({point.frequency, std::fabs(point.amplitude), degrees});
    }
    return rows;
}

void anchorPhase(std::vector<DisplacementRow>& rows, std::size_t anchor)
{
    const double turns = std::ceil((rows.at(anchor).phaseDegrees - 180.0) / 360.0);
    for (DisplacementRow& row : rows) row.phaseDegrees -= 360.0 * turns;
}

namespace {

// log |H| at period `seconds`: zero where the amplitude is 1.
double logLevel(const PreparedResponse& response, double seconds)
{
    const double frequency = 1.0 / seconds;
    FapPoint row;
    evaluatePoints(response, &frequency, 1, &row);
    return std::log(std::fabs(row.amplitude));
}

}  // namespace

void forEachUnitLevelPeriod(const PreparedResponse& response, double shortest, double longest,
                            const std::function<bool(double)>& visit, std::size_t& evaluations)
{
    // The same steps as a scan from the shortest period to the longest, but
    // taken outward from 1 s, so that a search that stops near 1 s evaluates
    // only the periods near it (a long FIR costs a lot at every period).
    constexpr int stepsPerDecade = 50;
    constexpr int bisections = 60;
    const double first = std::log10(shortest);
    const double decades = std::log10(longest / shortest);
    const int steps = static_cast<int>(std::ceil(decades * stepsPerDecade));
    if (steps < 1) return;
    auto at = [&](int k) { return std::min(first + decades * k / steps, std::log10(longest)); };
    std::vector<double> levels(static_cast<std::size_t>(steps) + 1, std::nan(""));
    std::vector<bool> known(levels.size(), false);
    auto level = [&](int k) {
        if (!known[static_cast<std::size_t>(k)]) {
            ++evaluations;
            levels[static_cast<std::size_t>(k)] = logLevel(response, std::pow(10.0, at(k)));
            known[static_cast<std::size_t>(k)] = true;
        }
        return levels[static_cast<std::size_t>(k)];
    };
    // Interval k runs from step k−1 to step k; its nearest point to 1 s.
    auto nearness = [&](int k) {
        const double low = at(k - 1);
        const double high = at(k);
        return low <= 0 && high >= 0 ? 0.0 : std::min(std::fabs(low), std::fabs(high));
    };
    int centre = 1;
    for (int k = 1; k <= steps; ++k)
        if (nearness(k) < nearness(centre)) centre = k;
    int left = centre;
    int right = centre + 1;
    std::vector<double> pending;  // crossings found, not yet visited: nearest last
    auto nearer = [](double a, double b) { return std::fabs(std::log10(a)) > std::fabs(std::log10(b)); };
    while (left >= 1 || right <= steps) {
        const bool takeLeft = right > steps || (left >= 1 && nearness(left) <= nearness(right));
        const int k = takeLeft ? left-- : right++;
        const double before = level(k - 1);
        const double after = level(k);
        if (std::isfinite(before) && std::isfinite(after) && (after == 0 || (after < 0) != (before < 0))) {
            double low = at(k - 1);
            double high = at(k);
            for (int i = 0; i < bisections; ++i) {
                const double middle = (low + high) / 2;
                ++evaluations;
                const double middleLevel = logLevel(response, std::pow(10.0, middle));
                if ((middleLevel < 0) == (before < 0))
                    low = middle;
                else
                    high = middle;
            }
            pending.push_back(std::pow(10.0, (low + high) / 2));
            std::sort(pending.begin(), pending.end(), nearer);
        }
        // What no interval left to scan can come nearer than is visited now.
        const double unscanned =
            std::min(left >= 1 ? nearness(left) : HUGE_VAL, right <= steps ? nearness(right) : HUGE_VAL);
        while (!pending.empty() && std::fabs(std::log10(pending.back())) <= unscanned) {
            const double period = pending.back();
            pending.pop_back();
            if (visit(period)) return;
        }
    }
}

std::vector<double> logarithmicFrequencies(double lowest, double highest, int perDecade)
{
    std::vector<double> frequencies;
    const double decades = std::log10(highest / lowest);
    const auto steps = static_cast<int>(std::ceil(decades * perDecade - 1e-9));
    frequencies.reserve(static_cast<std::size_t>(steps) + 1);
    for (int k = 0; k < steps; ++k) frequencies.push_back(lowest * std::pow(10.0, static_cast<double>(k) / perDecade));
    frequencies.push_back(highest);
    return frequencies;
}

}  // namespace kalvert
