#include "app/output_plan.hpp"
#include "app/reporter.hpp"
#include "app/stages.hpp"

namespace kalvert {
namespace {

// The table is evaluated and formatted as it is written: after the open only
// a write or the close can fail.
ExitCode writeLegacyFile(RunState& run)
{
    const std::string& path = run.request.outputPath;
    report::writingStarted(path);
    // Creating the output truncates it: never when it is the input itself.
    const int output = namesSameFile(path, run.inputFile) ? -1 : createOutputFile(path);
    if (output < 0) return report::notCreated(path);
    bool written = writeFapFile(output, run.fapFile);
    // A failed close can mean the data never reached the file.
    if (!closeFile(output)) written = false;
    if (!written) return report::notWritten(path);
    report::writingDone();
    return ExitCode::Success;
}

}  // namespace

ExitCode writeFiles(RunState& run)
{
    return run.request.format->envelope == Envelope::LegacyFap ? writeLegacyFile(run) : commitOutput(run);
}

}  // namespace kalvert
