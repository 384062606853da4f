#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/reporter.hpp"
#include "app/conversion_queue.hpp"
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

// Units named alike: "COUNTS" and "counts", "M/S" and "m/s".
bool sameUnit(const std::string& a, const std::string& b)
{
    return a.empty() || b.empty() || equalsIgnoringCase(a, b);
}

double decibelsBetween(double a, double b)
{
    return std::fabs(20.0 * std::log10(std::fabs(a / b)));
}

// A StationXML or RESP cascade: refused when a stage has no frequency
// response or a digital stage no known rate; warned about where its parts
// disagree with each other.
ExitCode checkCascade(RunState& run, std::size_t number, const ChannelResponse& response)
{
    std::vector<CascadeStage> stages;
    for (const ResponseStage& stage : response.stages) stages.push_back(std::get<CascadeStage>(stage));
    // A metadata format carries stages no table can be made from.
    const bool tabulated = run.request.format->describe == nullptr;
    for (const CascadeStage& stage : stages)
        if (!isEvaluable(stage) && tabulated)
            return refuseOrSkip(run, report::stageWithoutResponse(number, response, stage, run.request.inputPath));
    CascadeNotes notes;
    const std::vector<PreparedStage> prepared = prepareCascade(stages, response.stated.sensitivityFrequency, notes);
    if (notes.rateUnknown != 0)
        return refuseOrSkip(run, report::rateUnknown(number, response, notes.rateUnknown, run.request.inputPath));
    for (const int stage : notes.carriedRate) report::rateCarried(number, response, stage);

    double rate = 0.0;
    for (std::size_t i = 0; i < stages.size(); ++i) {
        const CascadeStage& stage = stages[i];
        if (i + 1 < stages.size() && !sameUnit(stage.outputUnit, stages[i + 1].inputUnit))
            report::unitsDisagree(number, response, stage, stages[i + 1]);
        if (stage.decimation && stage.decimation->inputRate > 0) {
            if (rate > 0 && std::fabs(stage.decimation->inputRate - rate) > 1e-6 * rate)
                report::rateDisagrees(number, response, stage, rate);
            rate = stage.decimation->inputRate / std::max(1, stage.decimation->factor);
        }
        const bool poleZero =
            stage.kind == CascadeStage::Kind::AnaloguePoleZero || stage.kind == CascadeStage::Kind::DigitalPoleZero;
        if (poleZero) {
            const double level = normalisedLevel(stage, prepared[i].interval);
            if (!(decibelsBetween(level, 1.0) <= consistencyLimitDecibels))
                report::normalisationOff(number, response, stage, level);
        }
    }
    if (response.stated.sensitivity) {
        const Complex value = cascadeValue(prepared, notes.sensitivityFrequency);
        const double computed = std::hypot(value.re, value.im);
        const double decibels = decibelsBetween(computed, *response.stated.sensitivity);
        if (!(decibels <= consistencyLimitDecibels))
            report::sensitivityDisagrees(number, response, computed, notes.sensitivityFrequency, decibels);
    }
    return ExitCode::Success;
}

// A section's kind of motion from its INPUT UNIT (TYPE_IN where it states
// none), with the warnings reported. `checked` gets the response without its
// stages (identity, epoch, a sample rate worth using); completeCheck adds them.
ExitCode checkSection(RunState& run, std::size_t index, const ChannelResponse& response, CheckedResponse& checked)
{
    const OutputRequest& request = run.request;
    const std::size_t number = index + 1;
    if (!response.defect.empty()) return refuseOrSkip(run, report::defective(number, response, request.inputPath));
    if (response.stages.empty()) return refuseOrSkip(run, report::noStages(number, response, request.inputPath));
    if (response.inputUnitFromSensitivity) report::inputUnitFromSensitivity(number, response);
    if (response.gainFromSensitivity) report::gainFromSensitivity(number, response);
    GroundMotionUnit unit;
    const int typeInMotion = readLeadingInteger(request.typeIn);
    if (response.inputUnit.empty()) {
        unit.motion = typeInMotion;
        report::inputUnitNotStated(number, response, request, unit.motion);
    } else if (const std::optional<GroundMotionUnit> stated = readGroundMotionUnit(response.inputUnit)) {
        unit = *stated;
        if (request.typeInGiven && typeInMotion != unit.motion)
            report::typeInContradicted(number, response, request, unit.motion);
    } else if (request.format->describe != nullptr) {
        // Metadata carries a pressure sensor as well as a seismometer.
    } else {
        return refuseOrSkip(run, report::notGroundMotion(number, response, request.inputPath));
    }
    if (isCascade(response)) {
        if (const ExitCode code = checkCascade(run, number, response); code != ExitCode::Success) return code;
    } else {
        warnAboutConstant(number, response, unit.metresPerUnit);
    }
    if (pastYear9999(response.start) || pastYear9999(response.end))
        return refuseOrSkip(run, report::epochBeyondYear9999(number, response, request.inputPath));

    // A standard file names its channel and epoch: without them readers refuse
    // it and SEISAN's names collide.
    if (request.format->envelope != Envelope::LegacyFap &&
        (response.id.station.empty() || response.id.channel.empty() || !response.start))
        return refuseOrSkip(run, report::identityMissing(number, response, request));

    checked.number = number;
    checked.response = summaryOf(response);
    if (const std::optional<double> rate = response.sampleRate; rate && !(*rate > 0 && *rate <= fastestSampleRate)) {
        report::sampleRateIgnored(number, response, *rate);
        checked.response.sampleRate.reset();
    }
    checked.asStated = request.format->describe != nullptr;
    checked.metresPerUnit = checked.asStated ? 1.0 : unit.metresPerUnit;
    checked.sourceName = std::filesystem::path(request.inputPath).filename().string();
    replaceControlBytes(checked.sourceName);  // the comment lines name it
    checked.kind = ResponseKind{unit.motion, request.kind.output, true};
    return ExitCode::Success;
}

bool inForce(const ChannelResponse& response, const std::optional<DateTime>& time)
{
    if (!time) return true;
    const std::int64_t at = secondsSince1970(*time);
    return (!response.start || secondsSince1970(*response.start) <= at) &&
           (!response.end || at < secondsSince1970(*response.end));
}

bool isWanted(const OutputRequest& request, std::size_t index, const ChannelResponse& response)
{
    if (request.section) return static_cast<std::size_t>(*request.section) == index + 1;
    return channelMatches(request.channelPattern, response.id) && inForce(response, request.time);
}

void warnAboutTypeOut(const RunState& run)
{
    if (run.request.format->envelope != Envelope::LegacyFap && run.request.typeOutGiven)
        report::typeOutIgnored(run.request);
}

}  // namespace

ExitCode refuseOrSkip(RunState& run, const report::Refusal& refusal)
{
    if (!run.request.skipRefused) return report::refused(refusal);
    report::skipped(run.request.inputPath, refusal);
    ++run.skipped;
    return ExitCode::SomeSkipped;
}

ChannelResponse summaryOf(const ChannelResponse& response)
{
    ChannelResponse summary;
    summary.id = response.id;
    summary.start = response.start;
    summary.end = response.end;
    summary.epochAsWritten = response.epochAsWritten;
    summary.inputUnit = response.inputUnit;
    summary.sampleRate = response.sampleRate;
    summary.stated = response.stated;
    summary.firstLine = response.firstLine;
    return summary;
}

void completeCheck(CheckedResponse& checked, ChannelResponse&& full)
{
    full.sampleRate = checked.response.sampleRate;
    if (checked.asStated) {
        // Written as the file states it.
    } else if (isCascade(full)) {
        // Counts per metre: a stage without roots after the cascade carries the unit's length.
        full.stages.emplace_back(PoleZeroStage{{}, {}, 1.0 / checked.metresPerUnit});
    } else {
        for (ResponseStage& stage : full.stages)
            if (auto* poleZero = std::get_if<PoleZeroStage>(&stage)) poleZero->constant /= checked.metresPerUnit;
    }
    checked.response = std::move(full);
}

ExitCode checkStreamedResponse(RunState& run, ChannelResponse&& response)
{
    const std::size_t index = run.responses.size();
    run.responses.push_back(summaryOf(response));
    if (!isWanted(run.request, index, response)) return ExitCode::Success;
    // Read once, a response is converted as soon as it is checked; what
    // checking says waits for the conversions before it, so that the run's
    // messages keep their order whatever the number of threads.
    ConversionQueue* const queue = run.converting ? run.converting->queue.get() : nullptr;
    std::string said;
    std::optional<report::KeptMessages> kept;
    if (queue != nullptr) kept.emplace(said);
    if (!run.typeOutWarned) warnAboutTypeOut(run);
    run.typeOutWarned = true;
    CheckedResponse checked;
    const ExitCode code = checkSection(run, index, response, checked);
    kept.reset();
    if (code == ExitCode::SomeSkipped)
        return queue != nullptr ? queue->addMessages(std::move(said)) : ExitCode::Success;
    if (code != ExitCode::Success) return queue != nullptr ? queue->addMessages(std::move(said), code) : code;
    run.selected.push_back(index);
    if (!run.oneReading) {
        run.checked.push_back(std::move(checked));
        return ExitCode::Success;
    }
    if (!run.converting) {
        run.converting = std::make_shared<Converting>();
        if (const ExitCode started = startConverting(run, *run.converting); started != ExitCode::Success)
            return started;
    }
    completeCheck(checked, std::move(response));
    return run.converting->queue->add(checked, std::nullopt, std::move(said));
}

ExitCode selectResponses(RunState& run)
{
    const OutputRequest& request = run.request;
    if (!run.streamed) {
        for (std::size_t i = 0; i < run.responses.size(); ++i)
            if (!run.sectioned || isWanted(request, i, run.responses[i])) run.selected.push_back(i);
    }
    if (request.section) {
        const int number = *request.section;
        if (number == 0) {
            // A listing is not an error: the run ends here, touching no file.
            report::sectionListing(request.inputPath, run.responses);
            run.finished = true;
            return ExitCode::Success;
        }
        if (number < 1 || static_cast<std::size_t>(number) > run.responses.size())
            return report::noSuchSection(request.inputPath, number, run.responses);
        return ExitCode::Success;
    }
    const bool chosen = !request.channelPattern.empty() || request.time;
    if (chosen && run.selected.empty() && !run.inFolder) return report::noneSelected(request, run.responses);
    // The FAP file holds one response: a choice among several is the user's.
    if (run.sectioned && request.format->envelope == Envelope::LegacyFap && run.selected.size() != 1)
        return report::needOneResponse(request, run.selected.size(), run.responses);
    return ExitCode::Success;
}

ExitCode checkResponses(RunState& run)
{
    if (!run.sectioned) {
        // The legacy reading: the kind of motion is TYPE_IN's, changed by the zeros' adjustment.
        run.checked.push_back({1, std::move(run.responses.front()), run.request.kind, 1.0, "", false, {}});
    } else if (!run.streamed) {
        warnAboutTypeOut(run);
        run.typeOutWarned = true;
        run.checked.reserve(run.selected.size());
        std::vector<std::size_t> kept;
        for (const std::size_t index : run.selected) {
            CheckedResponse checked;
            const ExitCode code = checkSection(run, index, run.responses[index], checked);
            if (code == ExitCode::SomeSkipped) continue;
            if (code != ExitCode::Success) return code;
            completeCheck(checked, ChannelResponse(run.responses[index]));
            run.checked.push_back(std::move(checked));
            kept.push_back(index);
        }
        run.selected = std::move(kept);
    }
    report::checkingDone();
    return ExitCode::Success;
}

}  // namespace kalvert
