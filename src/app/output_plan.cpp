#include "app/output_plan.hpp"

#include <cerrno>
#include <cstdint>
#include <filesystem>

#include "app/reporter.hpp"
#include "app/stages.hpp"

namespace kalvert {
namespace {

const char* fieldName(std::string ChannelId::*field)
{
    if (field == &ChannelId::network) return "network";
    if (field == &ChannelId::station) return "station";
    if (field == &ChannelId::location) return "location";
    return "channel";
}

// Network, station, location and channel codes are letters and digits: a
// field holding anything else ("../", "\", ".", blanks, control bytes) would
// steer the file out of its folder or clash on another system.
bool isCode(const std::string& text)
{
    for (const char c : text)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

ExitCode refuseUnsafeName(RunState& run, const OutputFormat& format, const CheckedResponse& checked)
{
    const ChannelId& id = checked.response.id;
    for (std::string ChannelId::*field : format.nameFields) {
        if (field == nullptr) continue;
        const std::string& value = id.*field;
        const bool required = field == &ChannelId::station || field == &ChannelId::channel;
        if (!isCode(value) || (required && value.empty()))
            return refuseOrSkip(run, report::unsafeFileName(checked.number, checked.response, fieldName(field), value));
    }
    return ExitCode::Success;
}

std::string lowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool isFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error) || (!path.empty() && path.back() == '/');
}

// FNV-1a: a name's hash, for telling names apart without holding them twice.
std::uint64_t nameHash(const std::string& name)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    return hash;
}

// Has a response of the run taken this target (in lower case) already?
bool isPlanned(const RunState& run, const std::string& lowerTarget)
{
    for (const std::string& target : run.targets)
        if (lowerCase(target) == lowerTarget) return true;
    for (const StagedFiles::File& file : run.staged.files)
        if (lowerCase(file.target) == lowerTarget) return true;
    return false;
}

// Where one more response goes in the OUT= folder: a name no header field
// can steer out of it, and that no other response of the run has taken.
ExitCode planName(RunState& run, const CheckedResponse& checked)
{
    const OutputFormat& format = *run.request.format;
    const ExitCode code = refuseUnsafeName(run, format, checked);
    if (code == ExitCode::SomeSkipped) run.targets.emplace_back();  // no file for it
    if (code != ExitCode::Success) return code;
    const std::string name = format.fileName(checked.response);
    std::string path = run.request.outputPath;
    if (path.back() != '/') path += '/';
    // Names compare in lower case: other systems ignore the case.
    if (!run.plannedNames.insert(nameHash(lowerCase(name))).second && isPlanned(run, lowerCase(path + name)))
        return report::sameFileName(run.request.outputPath, name, run.responses);
    run.targets.push_back(path + name);
    ++run.planned;
    return ExitCode::Success;
}

// Never a write through a link, into a FIFO or over a folder; never over a
// read-only file or any input of the run.
ExitCode checkTarget(const RunState& run, const std::string& target)
{
    const TargetState state = targetState(target);
    if (state == TargetState::Other) return report::notRegularFile(target);
    if (state == TargetState::ReadOnly) return report::notCreatedBecause(target, "the file there is read-only");
    if (namesSameFile(target, run.inputFile) || namesOneOf(target, run.inputFiles)) {
        report::writingTo(target);
        return report::notCreated(target);
    }
    return ExitCode::Success;
}

// The targets of a format that writes a file per response.
ExitCode planFiles(RunState& run)
{
    const OutputRequest& request = run.request;
    if (!isFolder(request.outputPath)) {
        if (run.checked.size() != 1) return report::oneFileForSeveral(request, run.checked.size(), run.responses);
        run.targets.push_back(request.outputPath);
        return ExitCode::Success;
    }
    for (const CheckedResponse& checked : run.checked) {
        const ExitCode code = planName(run, checked);
        if (code != ExitCode::Success && code != ExitCode::SomeSkipped) return code;
    }
    if (!prepareFolder(run.staged, request.outputPath))
        return report::notCreatedBecause(request.outputPath, creationFailure(errno));
    return ExitCode::Success;
}

ExitCode stageTarget(RunState& run, std::size_t index)
{
    const std::string& target = run.targets[index];
    if (stageFile(run.staged, target) < 0) return report::notCreatedBecause(target, creationFailure(errno));
    return ExitCode::Success;
}

ExitCode startMessage(RunState& run, const ChannelResponse& first)
{
    if (const ExitCode code = stageTarget(run, 0); code != ExitCode::Success) return code;
    return appendOutput(run, 0, run.request.format->messageHead(first));
}

}  // namespace

ExitCode stageOutput(RunState& run)
{
    const OutputFormat& format = *run.request.format;
    if (format.envelope == Envelope::OneMessage) {
        run.targets.push_back(run.request.outputPath);
    } else if (const ExitCode code = planFiles(run); code != ExitCode::Success) {
        return code;
    }
    for (const std::string& target : run.targets)
        if (!target.empty())
            if (const ExitCode code = checkTarget(run, target); code != ExitCode::Success) return code;
    if (format.envelope != Envelope::OneMessage) return ExitCode::Success;
    return startMessage(run, run.checked.front().response);
}

ExitCode stageNext(RunState& run, const CheckedResponse& checked)
{
    const OutputRequest& request = run.request;
    const bool first = run.planned == 0;
    if (request.format->envelope == Envelope::OneMessage) {
        if (!first) return ExitCode::Success;
        run.targets.push_back(request.outputPath);
        ++run.planned;
        if (const ExitCode code = checkTarget(run, request.outputPath); code != ExitCode::Success) return code;
        return startMessage(run, checked.response);
    }
    if (!isFolder(request.outputPath)) {
        if (!first) return report::oneFileForSeveral(request, run.planned + 1, run.responses);
        run.targets.push_back(request.outputPath);
        ++run.planned;
    } else {
        if (first && !prepareFolder(run.staged, request.outputPath))
            return report::notCreatedBecause(request.outputPath, creationFailure(errno));
        if (const ExitCode code = planName(run, checked); code != ExitCode::Success) return code;
    }
    return checkTarget(run, run.targets.back());
}

void releaseTarget(RunState& run)
{
    if (run.request.format->envelope != Envelope::OneMessage && !run.targets.empty()) run.targets.pop_back();
}

// The most one run writes: far beyond any inventory's tables, well short of
// filling a disk by mistake.
constexpr unsigned long long mostRunOutput = 4ULL << 30;

ExitCode appendOutput(RunState& run, std::size_t index, std::string_view text)
{
    run.outputBytes += text.size();
    if (run.outputBytes > mostRunOutput) return report::outputTooLarge(mostRunOutput);
    const bool message = run.request.format->envelope == Envelope::OneMessage;
    if (!message)
        if (const ExitCode code = stageTarget(run, index); code != ExitCode::Success) return code;
    const int staged = static_cast<int>(run.staged.files.size()) - 1;
    if (!appendStaged(run.staged, staged, text) || (!message && !finishStaged(run.staged, staged))) {
        report::writingTo(run.targets[index]);
        return report::notWritten(run.targets[index]);
    }
    return ExitCode::Success;
}

bool writesIntoFolder(const OutputRequest& request)
{
    return request.format->envelope == Envelope::FilePerResponse && isFolder(request.outputPath);
}

ExitCode prepareOutputFolder(RunState& run)
{
    if (!writesIntoFolder(run.request)) return ExitCode::Success;
    if (!prepareFolder(run.staged, run.request.outputPath))
        return report::notCreatedBecause(run.request.outputPath, creationFailure(errno));
    return ExitCode::Success;
}

ExitCode adoptOutput(RunState& run, std::size_t at, std::size_t piece, std::size_t size, int error)
{
    const std::string& target = run.targets[at];
    run.outputBytes += size;
    if (run.outputBytes > mostRunOutput) return report::outputTooLarge(mostRunOutput);
    if (error > 0) return report::notCreatedBecause(target, creationFailure(error));
    if (error < 0) {
        report::writingTo(target);
        return report::notWritten(target);
    }
    adoptStaged(run.staged, target, piece);
    return ExitCode::Success;
}

ExitCode commitOutput(RunState& run)
{
    for (const StagedFiles::File& file : run.staged.files) report::writingTo(file.target);
    std::string failed;
    if (!commitStaged(run.staged, failed)) return report::notWritten(failed);
    report::writingDone();
    return run.skipped > 0 ? ExitCode::SomeSkipped : ExitCode::Success;
}

}  // namespace kalvert
