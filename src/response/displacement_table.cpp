#include "response/displacement_table.hpp"

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
