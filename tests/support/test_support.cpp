#include "support/test_support.hpp"

#include <cmath>

#include "writers/fap/fap_table.hpp"

namespace kalvert::testing {

std::vector<double> linearGrid(double freqLow, double freqHigh, int npoints)
{
    std::vector<double> grid;
    walkLinearGrid(freqLow, freqHigh, npoints, [&grid](double f) { grid.push_back(f); });
    return grid;
}

std::vector<double> logGrid(double freqLow, double freqHigh, int npoints)
{
    std::vector<double> grid;
    walkLogGrid(freqLow, freqHigh, npoints, [&grid](double f) { grid.push_back(f); });
    return grid;
}

std::vector<double> decadeGrid(double start, int decades, int perDecade)
{
    std::vector<double> points;
    if (decades <= 0 || perDecade <= 0) return points;
    double x = start;
    for (int j = 0; j < decades; ++j) {
        const double width = x * 10.0 - x;
        for (int k = 0; k < perDecade; ++k) points.push_back(width * (static_cast<double>(k) / perDecade) + x);
        x *= 10.0;
    }
    return points;
}

std::vector<FapPoint> evaluateGrid(const PoleZeroStage& stage, const GridRequest& grid, const ResponseKind& kind)
{
    const PreparedResponse response = prepareResponse(stage, kind);
    const std::size_t count = countGridPoints(grid);
    refuseExcessiveWork(count, response);
    std::vector<double> frequencies;
    frequencies.reserve(count);
    walkGrid(grid, [&frequencies](double f) { frequencies.push_back(f); });
    std::vector<FapPoint> rows(count);
    evaluatePoints(response, frequencies.data(), count, rows.data());
    return rows;
}

double responseAmplitude(double frequency, const PoleZeroStage& stage)
{
    const Complex h = transferFunction(frequency, stage);
    return std::hypot(h.re, h.im) * stage.constant;
}

double responsePhase(double frequency, const PoleZeroStage& stage)
{
    const Complex h = transferFunction(frequency, stage);
    return std::atan2(h.im, h.re);
}

std::string fapTableText(const std::vector<FapPoint>& rows)
{
    std::string out;
    char line[maxTableRowLength];
    out.append(line, writeTableCount(line, rows.size()));
    for (const FapPoint& row : rows) out.append(line, writeTableRow(line, row));
    return out;
}

}  // namespace kalvert::testing
