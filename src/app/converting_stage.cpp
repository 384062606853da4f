#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "app/reporter.hpp"
#include "app/metadata_conversion.hpp"
#include "app/conversion_queue.hpp"
#include "app/output_plan.hpp"
#include "app/response_source.hpp"
#include "app/stages.hpp"
#include "response/displacement_table.hpp"
#include "response/evaluation.hpp"
#include "writers/numbers/number_format.hpp"

namespace kalvert {
namespace {

// The default grid starts at 1 mHz and ends at the channel's Nyquist
// frequency (20 Hz when no sample rate is stated), with as many rows per
// decade as 999 rows allow, at most 100: a reader interpolating between
// neighbouring rows then errs by far less than 0.5 % for any instrument.
constexpr double lowestDefaultFrequency = 0.001;
constexpr double nyquistWithoutSampleRate = 20.0;
constexpr int mostRowsPerDecade = 100;
constexpr std::size_t mostDefaultRows = 999;

// The standard formats' forward displacement response, in counts/nm.
constexpr OutputKind displacementInCountsPerNanometre{0, 0, -9};

std::vector<double> chosenFrequencies(const OutputRequest& request, const ChannelResponse& response)
{
    std::vector<double> frequencies;
    if (request.gridGiven) {
        walkGrid(request.grid, [&frequencies](double f) { frequencies.push_back(f); });
        return frequencies;
    }
    const double nyquist =
        response.sampleRate && *response.sampleRate > 0 ? *response.sampleRate / 2 : nyquistWithoutSampleRate;
    const double highest = std::max(nyquist, lowestDefaultFrequency * 10);
    const double decades = std::log10(highest / lowestDefaultFrequency);
    const int perDecade =
        std::min(mostRowsPerDecade, static_cast<int>(static_cast<double>(mostDefaultRows - 2) / std::ceil(decades)));
    return logarithmicFrequencies(lowestDefaultFrequency, highest, perDecade);
}

// The frequencies as the file writes them, ascending, each once, none ≤ 0.
std::vector<double> writtenFrequencies(const std::vector<double>& frequencies, const OutputFormat& format)
{
    std::vector<double> written;
    written.reserve(frequencies.size());
    for (const double f : frequencies) {
        if (!(f > 0) || !std::isfinite(f)) continue;
        const double value = format.writtenFrequency(f);
        if (value > 0) written.push_back(value);
    }
    std::sort(written.begin(), written.end());
    written.erase(std::unique(written.begin(), written.end()), written.end());
    return written;
}

// The frequencies of one response's table: the run's own grid, computed
// once, or the default grid of its sample rate.
const std::vector<double>& tableFrequencies(const RunState& run, const ChannelResponse& response,
                                            const std::vector<double>& runGrid, std::vector<double>& own)
{
    if (run.request.gridGiven) return runGrid;
    own = writtenFrequencies(chosenFrequencies(run.request, response), *run.request.format);
    return own;
}

// calper's column holds three decimals.
constexpr double calperStep = 0.001;

// A reader that scales the table by its value at calper (SEISAN) reads the
// level off by this much unless calib is 1.
constexpr double seisanLevelTolerance = 0.002;

// The response's amplitude at the written calper: calib is its inverse, and
// a reader that normalises by calib reads the level from it.
double levelAt(const PreparedResponse& response, double calper)
{
    const double frequency = 1.0 / calper;
    FapPoint row;
    evaluatePoints(response, &frequency, 1, &row);
    return std::fabs(row.amplitude);
}

// The written value (f7.3) next to `period` at which the level comes nearest 1.
double nearestWrittenCalper(const PreparedResponse& response, double period, double& error)
{
    const double rounded = std::round(period / calperStep) * calperStep;
    double best = 1.0;
    error = HUGE_VAL;
    for (const double step : {-1.0, 0.0, 1.0}) {
        const double candidate = std::clamp(rounded + step * calperStep, shortestCalper, longestCalper);
        const double written = std::round(candidate / calperStep) * calperStep;
        const double candidateError = std::fabs(levelAt(response, written) - 1.0);
        if (candidateError < error) {
            best = written;
            error = candidateError;
        }
    }
    return best;
}

// calper where the response is 1 count/nm: of the periods of unit level, the
// one nearest 1 s (on a log scale) among those the f7.3 column can write
// within the tolerance, else the nearest of all; 1 s when the level is
// nowhere 1.
double unitLevelCalper(const PreparedResponse& response, std::size_t& evaluations)
{
    std::optional<double> nearest;
    std::optional<double> chosen;
    forEachUnitLevelPeriod(
        response, shortestCalper, longestCalper,
        [&](double period) {
            double error = 0.0;
            const double written = nearestWrittenCalper(response, period, error);
            evaluations += 3;
            if (error <= seisanLevelTolerance) chosen = written;
            if (!nearest) nearest = written;
            return chosen.has_value();
        },
        evaluations);
    return chosen.value_or(nearest.value_or(1.0));
}

// The calibration frequency joins the table's frequencies.
std::vector<double> withCalibration(const std::vector<double>& frequencies, double calibrationFrequency)
{
    std::vector<double> all = frequencies;
    const auto at = std::lower_bound(all.begin(), all.end(), calibrationFrequency);
    if (at == all.end() || *at != calibrationFrequency) all.insert(at, calibrationFrequency);
    return all;
}

// One response tabulated and rendered; throws with the reason in words.
std::string renderResponse(const RunState& run, const CheckedResponse& checked, const std::vector<double>& grid,
                           double budget, Rendered& rendered)
{
    double& work = rendered.work;
    const OutputFormat& format = *run.request.format;
    const PreparedResponse response = prepareResponse(
        checked.response, ResponseKind{checked.kind.inputMotion, displacementInCountsPerNanometre, true});
    // The search for SEISAN's calper evaluates the response too: it counts in the run's work.
    std::size_t searched = 0;
    const double calper = format.calperAtUnitLevel && !run.request.calperGiven ? unitLevelCalper(response, searched)
                                                                               : *run.request.calper;
    work += static_cast<double>(searched) * rootCount(response);
    const double calibrationFrequency = format.writtenFrequency(1.0 / calper);
    const std::vector<double> frequencies = withCalibration(grid, calibrationFrequency);
    if (frequencies.size() > format.maxRows)
        throw FieldError(std::to_string(frequencies.size()) + " rows, more than the " + std::to_string(format.maxRows) +
                         " " + std::string(format.rowLimitReason));
    if (frequencies.size() < 2) throw FieldError("fewer than two rows in the band");

    // The bound holds for the whole run, however many responses share it:
    // `budget` is what the responses before this one have left of it.
    work += static_cast<double>(frequencies.size()) * rootCount(response);
    rendered.workBounded = true;
    if (work > budget) throw std::length_error(workBoundPassed);
    TabulatedResponse table;
    table.response = &checked.response;
    table.rows = tabulateDisplacement(response, frequencies);
    for (const DisplacementRow& row : table.rows)
        if (!(row.amplitude > 0) || !std::isfinite(row.amplitude) || !std::isfinite(row.phaseDegrees))
            throw FieldError("the response is zero or not finite at " + fixedText(row.frequency, 0, 5) + " Hz");
    const auto calibrationRow = std::find_if(table.rows.begin(), table.rows.end(), [&](const DisplacementRow& row) {
        return row.frequency == calibrationFrequency;
    });
    table.calib = 1.0 / levelAt(response, calper);  // nm/count at calper as written, not at its row's rounded frequency
    if (!std::isfinite(table.calib))
        throw FieldError("calib is not finite: the response at the calibration period is too small to invert");
    table.calper = calper;
    if (format.calperAtUnitLevel && !(std::fabs(table.calib - 1.0) <= seisanLevelTolerance))
        report::readerLevelOff(checked.number, checked.response, calper, 1.0 / table.calib);
    anchorPhase(table.rows, static_cast<std::size_t>(calibrationRow - table.rows.begin()));
    table.sourceName = checked.sourceName;
    return format.render(table);
}

// Everything that can fail is decided here, before the output is touched:
// the grid is counted, the zeros adjusted, the work bounded, the header
// formatted and the buffers allocated.
ExitCode prepareLegacyFile(RunState& run)
{
    return forEachChecked(run, [&run](const CheckedResponse& checked) {
        try {
            run.fapFile = prepareFapFile(checked.response, run.request.grid, checked.kind);
        } catch (...) {
            return report::convertingFailed();
        }
        return ExitCode::Success;
    });
}

// The request's own grid as the format writes it, once for the run: a grid
// larger than the format can hold is refused before it is built.
ExitCode prepareRunGrid(const RunState& run, std::vector<double>& grid)
{
    if (!run.request.gridGiven) return ExitCode::Success;
    const OutputFormat& format = *run.request.format;
    std::size_t points = 0;
    try {
        points = countGridPoints(run.request.grid);
    } catch (const std::exception& error) {
        return report::gridRefused(error.what());
    }
    if (points > format.maxRows) return report::gridTooLarge(points, format);
    try {
        grid = writtenFrequencies(chosenFrequencies(run.request, ChannelResponse{}), format);
    } catch (const std::exception& error) {
        return report::gridRefused(error.what());
    }
    return ExitCode::Success;
}

// Each response rendered and written at once to its staged file (or the
// staged message), so that memory does not grow with their number.
ExitCode renderAll(RunState& run)
{
    Converting converting;
    if (const ExitCode code = startConverting(run, converting); code != ExitCode::Success) return code;
    if (run.request.format->describe != nullptr) groupByStation(run.checked);
    if (const ExitCode code = stageOutput(run); code != ExitCode::Success) return code;
    std::size_t index = 0;
    const ExitCode code =
        forEachChecked(run, [&](const CheckedResponse& checked) { return converting.queue->add(checked, index++); });
    if (code != ExitCode::Success) return code;
    return finishConverting(run, converting);
}

}  // namespace

Rendered renderAlone(const RunState& run, const CheckedResponse& checked, const std::vector<double>& grid,
                     double budget)
{
    Rendered rendered;
    const report::KeptMessages kept(rendered.messages);
    try {
        if (run.request.format->describe != nullptr) {
            rendered.text = describeResponse(run, checked);
        } else {
            std::vector<double> own;
            rendered.text =
                renderResponse(run, checked, tableFrequencies(run, checked.response, grid, own), budget, rendered);
        }
    } catch (const std::bad_alloc&) {
        rendered.outcome = Rendered::Outcome::OutOfMemory;
    } catch (const std::exception& error) {
        rendered.outcome = Rendered::Outcome::Refused;
        rendered.reason = error.what();
    }
    return rendered;
}

ExitCode deliverRendered(RunState& run, const CheckedResponse& checked, std::size_t at, Rendered& rendered,
                         double& work)
{
    work += rendered.work;
    // Where the run's bound is passed, the response is refused there, and
    // nothing it would have said after that point is said.
    if (rendered.workBounded && work > maxRootFrequencyTerms && rendered.reason != workBoundPassed) {
        rendered.outcome = Rendered::Outcome::Refused;
        rendered.reason = workBoundPassed;
        rendered.messages.clear();
    }
    report::sayKept(rendered.messages);
    ExitCode refusal = ExitCode::Success;
    if (rendered.outcome == Rendered::Outcome::OutOfMemory)
        refusal = refuseOrSkip(run, report::outOfMemory());
    else if (rendered.outcome == Rendered::Outcome::Refused)
        refusal = refuseOrSkip(run, report::responseNotConverted(checked.number, checked.response, rendered.reason));
    if (refusal == ExitCode::SomeSkipped) return ExitCode::Success;
    if (refusal != ExitCode::Success) return refusal;
    const bool message = run.request.format->envelope == Envelope::OneMessage;
    ++run.converted;
    if (rendered.writtenAside || rendered.asideError != 0) {
        rendered.adopted = rendered.asideError == 0;
        return adoptOutput(run, at, rendered.piece, rendered.size, rendered.asideError);
    }
    if (message) rendered.text += '\n';
    return appendOutput(run, message ? 0 : at, rendered.text);
}

Converting::Converting() = default;
Converting::~Converting() = default;

ExitCode startConverting(RunState& run, Converting& converting)
{
    if (run.request.format->describe == nullptr)  // no table, no grid
        if (const ExitCode code = prepareRunGrid(run, converting.grid); code != ExitCode::Success) return code;
    // The OUT= folder is there before any worker writes into it.
    if (const ExitCode code = prepareOutputFolder(run); code != ExitCode::Success) return code;
    converting.queue = std::make_unique<ConversionQueue>(run, converting.grid, *run.request.threads);
    return ExitCode::Success;
}

ExitCode convertFrom(RunState& run, RunState& source, Converting& converting)
{
    if (run.request.format->describe != nullptr) groupByStation(source.checked);
    return forEachChecked(source, [&](CheckedResponse& checked) { return converting.queue->add(checked); });
}

ExitCode finishConverting(RunState& run, Converting& converting)
{
    if (const ExitCode code = converting.queue->finish(); code != ExitCode::Success) return code;
    // Every response refused as it was converted: no empty message, no file.
    if (run.converted == 0) return report::nothingLeft(run.request.inputPath);
    const OutputFormat& format = *run.request.format;
    return format.envelope == Envelope::OneMessage ? appendOutput(run, 0, format.messageTail) : ExitCode::Success;
}

ExitCode convertResponses(RunState& run)
{
    report::convertingStarted();
    if (run.oneReading) {
        // Converted as they were read; what is left is the end of the message.
        if (!run.converting) return report::nothingLeft(run.request.inputPath);
        const ExitCode code = finishConverting(run, *run.converting);
        if (code == ExitCode::Success) report::convertingDone();
        return code;
    }
    if (run.checked.empty()) return report::nothingLeft(run.request.inputPath);  // every response skipped
    const ExitCode code = run.request.format->envelope == Envelope::LegacyFap ? prepareLegacyFile(run) : renderAll(run);
    if (code == ExitCode::Success) report::convertingDone();
    return code;
}

}  // namespace kalvert
