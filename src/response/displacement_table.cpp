#include "response/displacement_table.hpp"

#include <algorithm>
#include <cmath>
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

std::vector<double> unitLevelPeriods(const PreparedResponse& response, double shortest, double longest)
{
    constexpr int stepsPerDecade = 50;
    constexpr int bisections = 60;
    const double decades = std::log10(longest / shortest);
    const int steps = static_cast<int>(std::ceil(decades * stepsPerDecade));
    std::vector<double> found;
    double previousLog = std::log10(shortest);
    double previousLevel = logLevel(response, shortest);
    for (int k = 1; k <= steps; ++k) {
        const double logPeriod = std::min(std::log10(shortest) + decades * k / steps, std::log10(longest));
        const double level = logLevel(response, std::pow(10.0, logPeriod));
        if (std::isfinite(level) && std::isfinite(previousLevel) &&
            (level == 0 || (level < 0) != (previousLevel < 0))) {
            double low = previousLog;
            double high = logPeriod;
            for (int i = 0; i < bisections; ++i) {
                const double middle = (low + high) / 2;
                const double middleLevel = logLevel(response, std::pow(10.0, middle));
                if ((middleLevel < 0) == (previousLevel < 0))
                    low = middle;
                else
                    high = middle;
            }
            found.push_back(std::pow(10.0, (low + high) / 2));
        }
        previousLog = logPeriod;
        previousLevel = level;
    }
    std::sort(found.begin(), found.end(),
              [](double a, double b) { return std::fabs(std::log10(a)) < std::fabs(std::log10(b)); });
    return found;
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
