#include "response/evaluation.hpp"

#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "response/grid.hpp"

namespace kalvert {
namespace {

// A response for one more kind of motion gains a zero at the origin; one
// for a lower kind loses the last zeros of the list, wherever they lie.
void adjustZerosToKind(std::vector<Complex>& zeros, int outputKind, int inputKind)
{
    const std::int64_t change = std::int64_t{outputKind} - inputKind;
    if (change > 0) {
        if (static_cast<std::uint64_t>(change) > zeroRoomLeft(zeros.size()))
            throw std::length_error("too many zeros to append");
        zeros.resize(zeros.size() + static_cast<std::size_t>(change), Complex{});
    } else if (change < 0) {
        if (static_cast<std::uint64_t>(-change) > zeros.size())
            throw std::domain_error("more zeros to remove than the model holds");
        zeros.resize(zeros.size() - static_cast<std::size_t>(-change));
    }
}

void refuseExcessiveWork(std::size_t points, const PoleZeroModel& model)
{
    const double roots = static_cast<double>(model.zeros.size() + model.poles.size());
    if (static_cast<double>(points) * roots > maxRootFrequencyTerms)
        throw std::length_error("more root-frequency terms than one run may take on");
}

double amplitudeOf(Complex h, double constant)
{
    return std::hypot(h.re, h.im) * constant;
}

double phaseOf(Complex h)
{
    return std::atan2(h.im, h.re);
}

}  // namespace

Complex transferFunction(double frequency, const PoleZeroModel& model)
{
    const Complex s{0.0, twoPi * frequency};
    Complex numerator{1.0, 0.0};
    for (const Complex& zero : model.zeros) numerator = complexMul(numerator, complexSub(s, zero));
    Complex denominator{1.0, 0.0};
    for (const Complex& pole : model.poles) denominator = complexMul(denominator, complexSub(s, pole));
    return complexDiv(numerator, denominator);
}

double responseAmplitude(double frequency, const PoleZeroModel& model)
{
    return amplitudeOf(transferFunction(frequency, model), model.constant);
}

double responsePhase(double frequency, const PoleZeroModel& model)
{
    return phaseOf(transferFunction(frequency, model));
}

void evaluateResponse(PoleZeroModel model, FapTable& table, int npoints, double freqLow, double freqHigh, bool logX,
                      const ResponseKind& kind)
{
    table.rows.clear();  // keeps whatever room the caller gave the rows

    adjustZerosToKind(model.zeros, kind.output.n1, kind.inputMotion);

    // std::pow, not a table or a loop: those differ in the last bit for some exponents.
    const bool inverse = kind.output.inverse();
    const double n3 = static_cast<double>(kind.output.n3);
    const double unitScale = std::pow(10.0, inverse ? -n3 : n3);
    const auto appendRow = [&](double frequency) {
        const Complex h = transferFunction(frequency, model);
        const double amplitude = amplitudeOf(h, model.constant);
        table.rows.push_back({frequency, inverse ? unitScale / amplitude : amplitude * unitScale, phaseOf(h)});
    };

    // The linear grid is walked point by point; the logarithmic one has to
    // be built whole before it is cut to the band.
    if (logX) {
        const FrequencyGrid grid = buildLogGrid(freqLow, freqHigh, npoints);
        refuseExcessiveWork(grid.frequencies.size(), model);
        table.rows.reserve(grid.frequencies.size());
        for (const double frequency : grid.frequencies) appendRow(frequency);
    } else {
        std::size_t points = 0;
        walkLinearGrid(freqLow, freqHigh, npoints, [&points](double) { ++points; });
        refuseExcessiveWork(points, model);
        table.rows.reserve(points);
        walkLinearGrid(freqLow, freqHigh, npoints, appendRow);
    }
}

}  // namespace kalvert
