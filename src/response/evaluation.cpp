#include "response/evaluation.hpp"

#include <cmath>
#include <cstdint>
#include <stdexcept>

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

double amplitudeOf(Complex h, double constant)
{
    return std::hypot(h.re, h.im) * constant;
}

double phaseOf(Complex h)
{
    return std::atan2(h.im, h.re);
}

// H × (i2πf)^power, one factor at a time.
Complex changeKindOfMotion(Complex h, double frequency, int power)
{
    const Complex s{0.0, twoPi * frequency};
    for (int i = 0; i < power; ++i) h = complexMul(h, s);
    for (int i = 0; i > power; --i) h = complexDiv(h, s);
    return h;
}

FapPoint rowOf(double frequency, Complex h, const PreparedResponse& response)
{
    if (response.motionPower != 0) h = changeKindOfMotion(h, frequency, response.motionPower);
    const double amplitude = amplitudeOf(h, response.model.constant);
    const double scaled = response.inverse ? response.unitScale / amplitude : amplitude * response.unitScale;
    return {frequency, scaled, phaseOf(h)};
}

// How many frequencies go through the products side by side: enough to keep
// the multiplier busy while one product waits for the previous one.
constexpr std::size_t lanes = 8;

// Π(s − root) for `lanes` frequencies at once, part by part; lane i performs
// exactly complexMul(product, complexSub(s, root)) in list order.
void multiplyRoots(const std::vector<Complex>& roots, const double (&sIm)[lanes], double (&re)[lanes],
                   double (&im)[lanes])
{
    for (std::size_t i = 0; i < lanes; ++i) {
        re[i] = 1.0;
        im[i] = 0.0;
    }
    for (const Complex& root : roots) {
        for (std::size_t i = 0; i < lanes; ++i) {
            const Complex factor = complexSub({0.0, sIm[i]}, root);
            const Complex product = complexMul({re[i], im[i]}, factor);
            re[i] = product.re;
            im[i] = product.im;
        }
    }
}

}  // namespace

PreparedResponse prepareResponse(PoleZeroStage model, const ResponseKind& kind)
{
    PreparedResponse response;
    if (kind.physicalMotion) {
        const std::int64_t power = std::int64_t{kind.inputMotion} - kind.output.n1;
        if (power > static_cast<std::int64_t>(maxZeroCount) || -power > static_cast<std::int64_t>(maxPoleCount))
            throw std::length_error("kinds of motion too far apart");
        response.motionPower = static_cast<int>(power);
    } else {
        adjustZerosToKind(model.zeros, kind.output.n1, kind.inputMotion);
    }
    response.model = std::move(model);
    response.inverse = kind.output.inverse();
    // std::pow, not a table or a loop: those differ in the last bit for some exponents.
    const double n3 = static_cast<double>(kind.output.n3);
    response.unitScale = std::pow(10.0, response.inverse ? -n3 : n3);
    return response;
}

PreparedResponse prepareResponse(const ChannelResponse& response, const ResponseKind& kind)
{
    if (response.stages.empty()) throw std::invalid_argument("a response without stages");
    if (!isCascade(response)) {
        if (response.stages.size() != 1) throw std::invalid_argument("more than one pole-zero stage");
        return prepareResponse(std::get<PoleZeroStage>(response.stages.front()), kind);
    }
    std::vector<CascadeStage> stages;
    PoleZeroStage level;  // no roots: the cascade's level is in its stages
    for (const ResponseStage& stage : response.stages) {
        if (const auto* poleZero = std::get_if<PoleZeroStage>(&stage)) {
            level.constant *= poleZero->constant;  // a scale the check put in front
            continue;
        }
        const CascadeStage& cascadeStage = std::get<CascadeStage>(stage);
        if (!isEvaluable(cascadeStage)) throw std::invalid_argument("a stage without a frequency response");
        stages.push_back(cascadeStage);
    }
    ResponseKind physical = kind;
    physical.physicalMotion = true;
    PreparedResponse prepared = prepareResponse(std::move(level), physical);
    CascadeNotes notes;
    prepared.cascade = prepareCascade(stages, response.stated.sensitivityFrequency, notes);
    if (notes.rateUnknown != 0) throw std::invalid_argument("a digital stage whose sampling rate is not known");
    return prepared;
}

double rootCount(const PreparedResponse& response)
{
    return static_cast<double>(response.model.zeros.size() + response.model.poles.size()) +
           std::abs(static_cast<double>(response.motionPower)) + cascadeTerms(response.cascade);
}

void refuseExcessiveWork(std::size_t points, const PreparedResponse& response)
{
    if (static_cast<double>(points) * rootCount(response) > maxRootFrequencyTerms)
        throw std::length_error("more root-frequency terms than one run may take on");
}

Complex transferFunction(double frequency, const PoleZeroStage& model)
{
    const Complex s{0.0, twoPi * frequency};
    Complex numerator{1.0, 0.0};
    for (const Complex& zero : model.zeros) numerator = complexMul(numerator, complexSub(s, zero));
    Complex denominator{1.0, 0.0};
    for (const Complex& pole : model.poles) denominator = complexMul(denominator, complexSub(s, pole));
    return complexDiv(numerator, denominator);
}

void evaluatePoints(const PreparedResponse& response, const double* frequencies, std::size_t count, FapPoint* rows)
{
    if (!response.cascade.empty()) {
        for (std::size_t i = 0; i < count; ++i)
            rows[i] = rowOf(frequencies[i], cascadeValue(response.cascade, frequencies[i]), response);
        return;
    }
    std::size_t done = 0;
    for (; done + lanes <= count; done += lanes) {
        double sIm[lanes];
        for (std::size_t i = 0; i < lanes; ++i) sIm[i] = twoPi * frequencies[done + i];
        double numeratorRe[lanes], numeratorIm[lanes], denominatorRe[lanes], denominatorIm[lanes];
        multiplyRoots(response.model.zeros, sIm, numeratorRe, numeratorIm);
        multiplyRoots(response.model.poles, sIm, denominatorRe, denominatorIm);
        for (std::size_t i = 0; i < lanes; ++i) {
            const Complex h = complexDiv({numeratorRe[i], numeratorIm[i]}, {denominatorRe[i], denominatorIm[i]});
            rows[done + i] = rowOf(frequencies[done + i], h, response);
        }
    }
    for (; done < count; ++done)
        rows[done] = rowOf(frequencies[done], transferFunction(frequencies[done], response.model), response);
}

}  // namespace kalvert
