#include "response/cascade.hpp"

#include <cmath>

namespace kalvert {
namespace {

// An asymmetric FIR whose taps sum this far from 1 is normalised to unit sum first.
constexpr double tapSumTolerance = 0.02;

bool sameFrequency(double a, double b)
{
    return std::fabs(a - b) <= 1e-12 * std::fmax(std::fabs(a), std::fabs(b));
}

double magnitude(Complex z)
{
    return std::hypot(z.re, z.im);
}

Complex scaled(Complex z, double factor)
{
    return {z.re * factor, z.im * factor};
}

Complex unitPhasor(double angle)
{
    return {std::cos(angle), std::sin(angle)};
}

// Π(x − root), in list order.
Complex productAt(const std::vector<Complex>& roots, Complex x)
{
    Complex product{1.0, 0.0};
    for (const Complex& root : roots) product = complexMul(product, complexSub(x, root));
    return product;
}

// Σ b_k w^k by Horner's rule: one phasor per frequency, none per tap.
Complex polynomialAt(const std::vector<double>& taps, Complex w)
{
    Complex sum{0.0, 0.0};
    for (auto tap = taps.rbegin(); tap != taps.rend(); ++tap) {
        sum = complexMul(sum, w);
        sum.re += *tap;
    }
    return sum;
}

bool isMirrored(const std::vector<double>& taps)
{
    for (std::size_t i = 0, j = taps.size(); i < j--; ++i)
        if (taps[i] != taps[j]) return false;
    return true;
}

// The stage's value with its level factor 1.
Complex rawValue(const PreparedStage& stage, double frequency)
{
    using Kind = CascadeStage::Kind;
    const double omega = twoPi * frequency;
    switch (stage.kind) {
    case Kind::AnaloguePoleZero: {
        const Complex s{0.0, stage.hertz ? frequency : omega};
        return complexDiv(productAt(stage.zeros, s), productAt(stage.poles, s));
    }
    case Kind::DigitalPoleZero: {
        const Complex z = unitPhasor(omega * stage.interval);
        return complexDiv(productAt(stage.zeros, z), productAt(stage.poles, z));
    }
    case Kind::Fir: {
        const double step = omega * stage.interval;
        const Complex sum = polynomialAt(stage.numerator, unitPhasor(-step));
        if (stage.zeroPhase) {
            // The symmetric filter's delay taken out: a real number, negative in stop bands.
            const double centre = static_cast<double>(stage.numerator.size() - 1) / 2.0;
            return {complexMul(sum, unitPhasor(step * centre)).re, 0.0};
        }
        return complexMul(sum, unitPhasor(omega * stage.phaseShift));
    }
    case Kind::Iir: {
        const Complex w = unitPhasor(-omega * stage.interval);
        return complexDiv(polynomialAt(stage.numerator, w), polynomialAt(stage.denominator, w));
    }
    case Kind::AnalogueCoefficients: {
        const Complex s{0.0, stage.hertz ? frequency : omega};
        return complexDiv(polynomialAt(stage.numerator, s),
                          stage.denominator.empty() ? Complex{1.0, 0.0} : polynomialAt(stage.denominator, s));
    }
    case Kind::GainOnly:
    case Kind::Polynomial:
    case Kind::ResponseList: break;
    }
    return {1.0, 0.0};
}

}  // namespace

bool isDigital(const CascadeStage& stage)
{
    using Kind = CascadeStage::Kind;
    return stage.kind == Kind::DigitalPoleZero || stage.kind == Kind::Fir || stage.kind == Kind::Iir;
}

bool isEvaluable(const CascadeStage& stage)
{
    return stage.kind != CascadeStage::Kind::Polynomial && stage.kind != CascadeStage::Kind::ResponseList;
}

std::vector<PreparedStage> prepareCascade(const std::vector<CascadeStage>& stages,
                                          std::optional<double> statedFrequency, CascadeNotes& notes)
{
    using Kind = CascadeStage::Kind;
    double sensitivityFrequency = 0.0;
    if (statedFrequency) {
        sensitivityFrequency = *statedFrequency;
    } else {
        for (const CascadeStage& stage : stages)
            if (stage.gain && stage.gainFrequency != 0.0) sensitivityFrequency = stage.gainFrequency;
    }
    notes.sensitivityFrequency = sensitivityFrequency;

    std::vector<PreparedStage> prepared;
    prepared.reserve(stages.size());
    double rate = 0.0;  // at the output of the stages so far; 0 while unknown
    for (const CascadeStage& stage : stages) {
        PreparedStage p;
        p.kind = stage.kind;
        p.hertz = stage.hertz;
        p.zeros = stage.zeros;
        p.poles = stage.poles;
        p.numerator = stage.numerator;
        p.denominator = stage.denominator;
        if (stage.decimation && stage.decimation->inputRate > 0) {
            p.interval = 1.0 / stage.decimation->inputRate;
            rate = stage.decimation->inputRate / std::max(1, stage.decimation->factor);
        } else if (isDigital(stage)) {
            if (rate > 0) {
                p.interval = 1.0 / rate;
                notes.carriedRate.push_back(stage.number);
            } else if (notes.rateUnknown == 0) {
                notes.rateUnknown = stage.number;
            }
        }
        const double gain = stage.gain.value_or(1.0);
        const bool gainElsewhere = stage.gain && !sameFrequency(stage.gainFrequency, sensitivityFrequency);
        switch (stage.kind) {
        case Kind::AnaloguePoleZero:
        case Kind::DigitalPoleZero: {
            const bool renormalise =
                stage.gain && (gainElsewhere || !sameFrequency(stage.normalisationFrequency, sensitivityFrequency));
            p.scale = gain * (renormalise ? 1.0 / magnitude(rawValue(p, stage.gainFrequency)) : stage.a0);
            break;
        }
        case Kind::Fir: {
            p.zeroPhase = stage.declaredSymmetric || isMirrored(p.numerator);
            if (!p.zeroPhase) {
                double sum = 0.0;
                for (const double tap : p.numerator) sum += tap;
                if (sum != 0.0 && std::fabs(sum - 1.0) > tapSumTolerance)
                    for (double& tap : p.numerator) tap /= sum;
                p.phaseShift = stage.decimation ? stage.decimation->correction : 0.0;
            }
            p.scale = gain / (gainElsewhere ? magnitude(rawValue(p, stage.gainFrequency)) : 1.0);
            break;
        }
        case Kind::Iir:
        case Kind::AnalogueCoefficients:
            p.scale = gain / (gainElsewhere ? magnitude(rawValue(p, stage.gainFrequency)) : 1.0);
            break;
        case Kind::GainOnly:
        case Kind::Polynomial:
        case Kind::ResponseList: p.scale = gain; break;
        }
        prepared.push_back(std::move(p));
    }
    return prepared;
}

Complex stageValue(const PreparedStage& stage, double frequency)
{
    return scaled(rawValue(stage, frequency), stage.scale);
}

Complex cascadeValue(const std::vector<PreparedStage>& stages, double frequency)
{
    Complex product{1.0, 0.0};
    for (const PreparedStage& stage : stages) product = complexMul(product, stageValue(stage, frequency));
    return product;
}

double normalisedLevel(const CascadeStage& stage, double interval)
{
    PreparedStage p;
    p.kind = stage.kind;
    p.hertz = stage.hertz;
    p.zeros = stage.zeros;
    p.poles = stage.poles;
    p.interval = interval;
    return std::fabs(stage.a0) * magnitude(rawValue(p, stage.normalisationFrequency));
}

double cascadeTerms(const std::vector<PreparedStage>& stages)
{
    double terms = 0.0;
    for (const PreparedStage& stage : stages)
        terms += static_cast<double>(stage.zeros.size() + stage.poles.size() + stage.numerator.size() +
                                     stage.denominator.size() + 1);
    return terms;
}

}  // namespace kalvert
