#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

#include "app/reporter.hpp"
#include "app/conversion_queue.hpp"
#include "app/response_source.hpp"
#include "app/stages.hpp"
#include "readers/dataless_reader.hpp"
#include "readers/legacy_reader.hpp"
#include "readers/resp_reader.hpp"
#include "readers/section_reader.hpp"
#include "readers/stationxml_reader.hpp"
#include "text/text_scan.hpp"

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
        // Checked and chosen as they are read; only their summaries stay. A
        // table format converts each as it is read: the file is read once.
        // (A metadata format reads it twice: a Station element states the
        // span of its channels before the first of them.)
        const OutputFormat& format = *run.request.format;
        run.oneReading = !run.inFolder && format.envelope != Envelope::LegacyFap && format.describe == nullptr;
        const ExitCode code = streamResponses(
            run, [&run](ChannelResponse&& response) { return checkStreamedResponse(run, std::move(response)); });
        if (code != ExitCode::Success) return code;
        if (run.converting)
            if (const ExitCode delivered = run.converting->queue->finish(); delivered != ExitCode::Success)
                return delivered;
        // What was converted must be what the file still is.
        if (run.oneReading && !run.input.unchanged()) return report::inputChanged(run.request.inputPath);
        return ExitCode::Success;
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

// Two ZEROS lines, or a "*" header line naming INPUT UNIT: a file written by
// a data centre, whose sections the legacy reading merges or ignores.
bool looksLikeDataCentreFile(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    int zerosLines = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.size(), text.find_first_of("\r\n"));
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(text.size(), end + 1));
        const std::size_t start = line.find_first_not_of(" \t");
        if (start != std::string_view::npos && line.substr(start, 5) == "ZEROS" && ++zerosLines == 2) return true;
        if (!line.empty() && line.front() == '*') {
            for (std::size_t at = 0; at + 10 <= line.size(); ++at)
                if (equalsIgnoringCase(line.substr(at, 10), "INPUT UNIT")) return true;
        }
    }
    return false;
}

// Enough of a file's start to tell StationXML and RESP from a SAC pole-zero file.
constexpr std::size_t startToLookAt = 1 << 16;

namespace {

// Comments before the root element may be of any length: where the start
// holds only them, the rest of the file is looked through piece by piece.
bool isStationXml(const HeldFile& file, std::string_view start, std::size_t startSize)
{
    RootElementFinder finder;
    std::optional<bool> found = finder.feed(start);
    if (found || start.size() < startSize) return found.value_or(false);
    try {
        const ChunkSource pieces = file.pieces();
        RootElementFinder again;
        for (std::string_view piece = pieces(); !found && !piece.empty(); piece = pieces()) found = again.feed(piece);
    } catch (const std::runtime_error&) {
        return false;  // what cannot be read again is reported by the reading that follows
    }
    return found.value_or(false);
}

}  // namespace

ExitCode readInput(RunState& run)
{
    const std::string& path = run.request.inputPath;
    report::readingStarted(path);
    ReadOutcome outcome = run.input.open(path);
    if (outcome == ReadOutcome::Read) outcome = run.input.readStart(startToLookAt, run.inputText);
    run.inputFile = run.input.snapshot().identity;
    if (outcome == ReadOutcome::Read) {
        if (isStationXml(run.input, run.inputText, startToLookAt)) run.inputKind = InputKind::StationXml;
        if (looksLikeResp(run.inputText)) run.inputKind = InputKind::Resp;
        if (looksLikeDataless(run.inputText)) run.inputKind = InputKind::Dataless;
        run.streamed = run.inputKind != InputKind::SacPoleZero;
        // A SAC pole-zero file is read whole (a short one already is); the
        // others piece by piece, twice, from the file held open.
        if (run.streamed) {
            run.inputText.clear();
        } else {
            run.input = HeldFile();
            if (run.inputText.size() < startToLookAt)
                run.inputText.resize(std::strlen(run.inputText.c_str()));  // the text ends at its first NUL byte
            else
                outcome = readWholeFile(path, run.inputText, run.inputFile);
        }
    }
    if (outcome != ReadOutcome::Read) {
        const ExitCode code = report::readingFailed(outcome, path);
        if (outcome == ReadOutcome::SizeUndefined && run.request.format->envelope != Envelope::LegacyFap)
            report::readTwice(path);
        return code;
    }
    report::readingDone();
    return ExitCode::Success;
}

ExitCode splitResponses(RunState& run)
{
    // StationXML and RESP files, recognised by their content, always hold
    // channel epochs; a SAC pole-zero file is read the legacy way unless the
    // request names sections, channels, times or a standard format.
    const OutputRequest& request = run.request;
    run.sectioned = request.section || request.format->envelope != Envelope::LegacyFap ||
                    !request.channelPattern.empty() || !request.timeText.empty() || run.streamed;
    if (!run.sectioned && looksLikeDataCentreFile(run.inputText))
        report::legacyReadingOfDataCentreFile(request.inputPath);
    report::checkingStarted(request.inputPath);
    return run.sectioned ? readSections(run) : readLegacy(run);
}

}  // namespace kalvert
