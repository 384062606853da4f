#include <cmath>
#include <optional>

#include "app/reporter.hpp"
#include "app/stages.hpp"
#include "response/ground_motion.hpp"
#include "text/text_scan.hpp"

namespace kalvert {
namespace {

// CONSTANT and A0 × SENSITIVITY carry about seven digits; beyond this the
// file contradicts itself.
constexpr double consistencyLimitDecibels = 0.1;

// CONSTANT against A0 × SENSITIVITY, both per metre: rdseed, ObsPy and the SAC
// manual make the one the product of the others.
void warnAboutConstant(std::size_t number, const ChannelResponse& response, double metresPerUnit)
{
    const StatedValues& stated = response.stated;
    std::optional<double> product;
    if (stated.a0 && stated.sensitivity) {
        const std::optional<GroundMotionUnit> sensitivityUnit = readGroundMotionUnit(stated.sensitivityUnit);
        product = *stated.a0 * *stated.sensitivity / (sensitivityUnit ? sensitivityUnit->metresPerUnit : 1.0);
    }
    if (!stated.constant) {
        const double perUnit = product ? *product * metresPerUnit : 0.0;
        report::constantNotStated(number, response, product ? &perUnit : nullptr);
        return;
    }
    if (!product) return;
    const double perMetre = *stated.constant / metresPerUnit;
    const double decibels = std::fabs(20.0 * std::log10(std::fabs(perMetre / *product)));
    if (!(decibels <= consistencyLimitDecibels))
        report::constantDisagrees(number, response, *stated.constant, *product * metresPerUnit, decibels);
}

// A channel samples at most this fast; anything beyond is a corrupt header.
constexpr double fastestSampleRate = 1e6;
constexpr int lastWritableYear = 9999;

bool pastYear9999(const std::optional<DateTime>& time)
{
    return time && time->year > lastWritableYear;
}

// A section's kind of motion from its INPUT UNIT (TYPE_IN where it states
// none), its constant per metre, with the warnings reported.
ExitCode checkSection(const RunState& run, std::size_t index, CheckedResponse& checked)
{
    const OutputRequest& request = run.request;
    const ChannelResponse& response = run.responses[index];
    const std::size_t number = index + 1;
    GroundMotionUnit unit;
    const int typeInMotion = readLeadingInteger(request.typeIn);
    if (response.inputUnit.empty()) {
        unit.motion = typeInMotion;
        report::inputUnitNotStated(number, response, request, unit.motion);
    } else if (const std::optional<GroundMotionUnit> stated = readGroundMotionUnit(response.inputUnit)) {
        unit = *stated;
        if (request.typeInGiven && typeInMotion != unit.motion)
            report::typeInContradicted(number, response, request, unit.motion);
    } else {
        return report::notGroundMotion(number, response, request.inputPath);
    }
    warnAboutConstant(number, response, unit.metresPerUnit);
    if (pastYear9999(response.start) || pastYear9999(response.end))
        return report::epochBeyondYear9999(number, response, request.inputPath);

    checked.number = number;
    checked.response = response;
    if (const std::optional<double> rate = response.sampleRate; rate && !(*rate > 0 && *rate <= fastestSampleRate)) {
        report::sampleRateIgnored(number, response, *rate);
        checked.response.sampleRate.reset();
    }
    for (ResponseStage& stage : checked.response.stages)
        if (auto* poleZero = std::get_if<PoleZeroStage>(&stage)) poleZero->constant /= unit.metresPerUnit;
    checked.kind = ResponseKind{unit.motion, request.kind.output, true};
    return ExitCode::Success;
}

}  // namespace

ExitCode selectResponses(RunState& run)
{
    if (!run.request.section) {
        for (std::size_t i = 0; i < run.responses.size(); ++i) run.selected.push_back(i);
        return ExitCode::Success;
    }
    const int number = *run.request.section;
    if (number < 1 || static_cast<std::size_t>(number) > run.responses.size())
        return report::noSuchSection(run.request.inputPath, number, run.responses);
    run.selected.push_back(static_cast<std::size_t>(number) - 1);
    return ExitCode::Success;
}

ExitCode checkResponses(RunState& run)
{
    if (!run.sectioned) {
        // The legacy reading: the kind of motion is TYPE_IN's, changed by the zeros' adjustment.
        run.checked.push_back({1, std::move(run.responses.front()), run.request.kind});
        report::checkingDone();
        return ExitCode::Success;
    }
    if (run.request.format->envelope != Envelope::LegacyFap && run.request.typeOutGiven)
        report::typeOutIgnored(run.request);
    run.checked.reserve(run.selected.size());
    for (const std::size_t index : run.selected) {
        CheckedResponse checked;
        if (const ExitCode code = checkSection(run, index, checked); code != ExitCode::Success) return code;
        run.checked.push_back(std::move(checked));
    }
    report::checkingDone();
    return ExitCode::Success;
}

}  // namespace kalvert
