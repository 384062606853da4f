#include <new>
#include <utility>

#include "app/reporter.hpp"
#include "app/response_source.hpp"
#include "app/stages.hpp"
#include "readers/legacy_reader.hpp"
#include "readers/resp_reader.hpp"
#include "readers/section_reader.hpp"
#include "readers/stationxml_reader.hpp"

namespace kalvert {
namespace {

// The reader cuts the text up in place: it is handed over, not copied, so
// that a large input is held in memory once.
ExitCode readLegacy(RunState& run)
{
    const std::string& path = run.request.inputPath;
    if (run.inputText.find("ZEROS") == std::string::npos) return report::keywordMissing(path, "ZEROS");
    if (run.inputText.find("POLES") == std::string::npos) return report::keywordMissing(path, "POLES");
    if (run.inputText.find("CONSTANT") == std::string::npos) report::constantMissing(path);
    try {
        run.responses.push_back(readLegacyPoleZeroText(std::move(run.inputText)));
    } catch (...) {
        return report::checkingFailed(path);
    }
    return ExitCode::Success;
}

ExitCode readSections(RunState& run)
{
    if (run.streamed) {
        // Checked and chosen as they are read; only their summaries stay.
        return streamResponses(
            run, [&run](ChannelResponse&& response) { return checkStreamedResponse(run, std::move(response)); });
    }
    try {
        run.responses = readPoleZeroSections(run.inputText);
    } catch (const ReadError& error) {
        return report::sectionsUnreadable(run.request.inputPath, error.what());
    } catch (...) {
        return report::checkingFailed(run.request.inputPath);
    }
    return ExitCode::Success;
}

}  // namespace

// Enough of a file's start to tell StationXML and RESP from a SAC pole-zero file.
constexpr std::size_t startToLookAt = 1 << 16;

ExitCode readInput(RunState& run)
{
    const std::string& path = run.request.inputPath;
    report::readingStarted(path);
    ReadOutcome outcome = readFileStart(path, startToLookAt, run.inputText, run.inputFile);
    if (outcome == ReadOutcome::Read) {
        if (looksLikeStationXml(run.inputText)) run.inputKind = InputKind::StationXml;
        if (looksLikeResp(run.inputText)) run.inputKind = InputKind::Resp;
        run.streamed = run.inputKind != InputKind::SacPoleZero;
        // A SAC pole-zero file is read whole; the others piece by piece, twice.
        if (run.streamed)
            run.inputText.clear();
        else
            outcome = readWholeFile(path, run.inputText, run.inputFile);
    }
    if (outcome != ReadOutcome::Read) return report::readingFailed(outcome, path);
    report::readingDone();
    return ExitCode::Success;
}

ExitCode splitResponses(RunState& run)
{
    report::checkingStarted(run.request.inputPath);
    // StationXML and RESP files, recognised by their content, always hold
    // channel epochs; a SAC pole-zero file is read the legacy way unless the
    // request names sections, channels, times or a standard format.
    const OutputRequest& request = run.request;
    run.sectioned = request.section || request.format->envelope != Envelope::LegacyFap ||
                    !request.channelPattern.empty() || !request.timeText.empty() || run.streamed;
    return run.sectioned ? readSections(run) : readLegacy(run);
}

}  // namespace kalvert
