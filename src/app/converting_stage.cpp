#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>

#include "app/reporter.hpp"
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
std::vector<double> writtenFrequencies(std::vector<double> frequencies, double calibrationFrequency,
                                       const OutputFormat& format)
{
    frequencies.push_back(calibrationFrequency);
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

// One response tabulated and rendered; throws with the reason in words.
std::string renderResponse(const RunState& run, const CheckedResponse& checked)
{
    const OutputFormat& format = *run.request.format;
    const double calper = *run.request.calper;
    const double calibrationFrequency = format.writtenFrequency(1.0 / calper);
    const std::vector<double> frequencies =
        writtenFrequencies(chosenFrequencies(run.request, checked.response), calibrationFrequency, format);
    if (frequencies.size() > format.maxRows)
        throw FieldError(std::to_string(frequencies.size()) + " rows, more than the " + std::to_string(format.maxRows) +
                         " " + std::string(format.rowLimitReason));
    if (frequencies.size() < 2) throw FieldError("fewer than two rows in the band");

    const PreparedResponse response = prepareResponse(
        checked.response, ResponseKind{checked.kind.inputMotion, displacementInCountsPerNanometre, true});
    refuseExcessiveWork(frequencies.size(), response);
    TabulatedResponse table;
    table.response = &checked.response;
    table.rows = tabulateDisplacement(response, frequencies);
    for (const DisplacementRow& row : table.rows)
        if (!(row.amplitude > 0) || !std::isfinite(row.amplitude) || !std::isfinite(row.phaseDegrees))
            throw FieldError("the response is zero or not finite at " + fixedText(row.frequency, 0, 5) + " Hz");
    const auto calibrationRow = std::find_if(table.rows.begin(), table.rows.end(), [&](const DisplacementRow& row) {
        return row.frequency == calibrationFrequency;
    });
    table.calib = 1.0 / calibrationRow->amplitude;  // nm/count at calper
    table.calper = calper;
    anchorPhase(table.rows, static_cast<std::size_t>(calibrationRow - table.rows.begin()));
    table.sourceName = std::filesystem::path(run.request.inputPath).filename().string();
    return format.render(table);
}

// Everything that can fail is decided here, before the output is touched:
// the grid is counted, the zeros adjusted, the work bounded, the header
// formatted and the buffers allocated.
ExitCode prepareLegacyFile(RunState& run)
{
    try {
        const CheckedResponse& checked = run.checked.front();
        run.fapFile = prepareFapFile(checked.response, run.request.grid, checked.kind);
    } catch (...) {
        return report::convertingFailed();
    }
    return ExitCode::Success;
}

ExitCode renderAll(RunState& run)
{
    run.rendered.reserve(run.checked.size());
    for (const CheckedResponse& checked : run.checked) {
        try {
            run.rendered.push_back({&checked, renderResponse(run, checked)});
        } catch (const std::exception& error) {
            return report::responseNotConverted(checked.number, checked.response, error.what());
        }
    }
    return ExitCode::Success;
}

}  // namespace

ExitCode convertResponses(RunState& run)
{
    report::convertingStarted();
    const ExitCode code = run.request.format->envelope == Envelope::LegacyFap ? prepareLegacyFile(run) : renderAll(run);
    if (code == ExitCode::Success) report::convertingDone();
    return code;
}

}  // namespace kalvert
