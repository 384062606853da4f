#include "app/run.hpp"

#include <new>

#include "app/folder_run.hpp"
#include "app/reporter.hpp"
#include "app/stages.hpp"
#include "text/text_scan.hpp"

namespace kalvert {
namespace {

using Stage = ExitCode (*)(RunState&);

// Every output format goes through the same stages; what differs between
// formats is in their row of the format table.
constexpr Stage stages[] = {readInput, splitResponses, selectResponses, checkResponses, convertResponses, writeFiles};

// The command line read into the run's request; Success to go on, or the
// status to end with (Success too when help was asked: `done` says so).
ExitCode readCommandLine(const std::vector<std::string>& arguments, OutputRequest& request, bool& done)
{
    if (arguments.size() < 3) return report::fewParams();
    if (!startsWithIgnoringCase(arguments[1], "IN=") || !startsWithIgnoringCase(arguments[2], "OUT="))
        return report::notInAndOut();
    ParsedOptions parsed;
    try {
        parsed = parseOptions(arguments);
    } catch (const std::bad_alloc&) {
        // Not even the arguments could be held: the input cannot be read either.
        return report::argumentsNotHeld(arguments[1].substr(3));
    }
    for (int i = 0; i < parsed.bandsRefused; ++i) report::bandRefused();
    if (parsed.helpAsked) {
        report::helpScreen();
        done = true;
        return ExitCode::Success;
    }
    request = std::move(parsed.request);
    if (request.format == nullptr) return report::unknownFormat(request);
    if (!request.sectionValid) return report::badSectionNumber(request);
    if (!request.timeText.empty() && !request.time) return report::badTime(request);
    if (!request.onErrorValid) return report::badOnError(request);
    if (!request.threads) return report::badThreads(request);
    if (request.format->envelope != Envelope::LegacyFap && !request.calper) return report::calperOutOfRange(request);
    return ExitCode::Success;
}

ExitCode runStages(const std::vector<std::string>& arguments)
{
    report::helpScreen();
    report::banner();
    RunState run;
    bool done = false;
    if (const ExitCode code = readCommandLine(arguments, run.request, done); code != ExitCode::Success || done)
        return code;
    if (isFolderInput(run.request)) return runFolder(run);
    for (const Stage stage : stages) {
        if (const ExitCode code = stage(run); code != ExitCode::Success) return code;
        if (run.finished) break;
    }
    return ExitCode::Success;
}

}  // namespace

ExitCode runConversion(const std::vector<std::string>& arguments)
{
    const ExitCode code = runStages(arguments);
    // Whatever happens to the process next, the messages are out.
    report::flush();
    return code;
}

}  // namespace kalvert
