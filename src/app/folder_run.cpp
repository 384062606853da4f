#include "app/folder_run.hpp"

#include <algorithm>
#include <filesystem>

#include "app/reporter.hpp"
#include "app/stages.hpp"

namespace kalvert {
namespace {

// The files of the folder, in name order; nothing hidden, nothing below it.
std::vector<std::string> filesOf(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.front() == '.' || !entry.is_regular_file(error)) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string pathIn(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

using Stage = ExitCode (*)(RunState&);
constexpr Stage readingStages[] = {readInput, splitResponses, selectResponses, checkResponses};

// One file read, split, chosen from and checked; its refusal, or Success.
ExitCode readOne(RunState& one)
{
    for (const Stage stage : readingStages) {
        if (const ExitCode code = stage(one); code != ExitCode::Success) return code;
        if (one.finished) break;
    }
    return ExitCode::Success;
}

}  // namespace

bool isFolderInput(const OutputRequest& request)
{
    std::error_code error;
    return request.format->envelope != Envelope::LegacyFap && std::filesystem::is_directory(request.inputPath, error);
}

ExitCode runFolder(RunState& run)
{
    const OutputRequest& request = run.request;
    if (request.section) return report::sectionWithFolder(request);
    const std::vector<std::string> names = filesOf(request.inputPath);
    if (names.empty()) return report::emptyFolder(request.inputPath);
    report::startProgress(run.progress, names.size());
    for (const std::string& name : names) {
        RunState one;
        one.request = request;
        one.request.inputPath = pathIn(request.inputPath, name);
        one.inFolder = true;
        report::showProgress(run.progress, one.request.inputPath);
        const ExitCode code = readOne(one);
        ++run.progress.filesDone;
        run.skipped += one.skipped;
        if (code != ExitCode::Success) {
            if (!request.skipRefused) return code;
            report::fileSkipped(one.request.inputPath);
            ++run.skipped;
            continue;
        }
        for (std::size_t i = 0; i < one.checked.size(); ++i) {
            run.checked.push_back(one.checked[i]);
            run.checked.back().response.stages.clear();  // the source keeps them
        }
        run.responses.insert(run.responses.end(), one.responses.begin(), one.responses.end());
        run.progress.responses += one.checked.size();
        run.sources.push_back(std::move(one));
    }
    run.sectioned = true;
    const bool chosen = !request.channelPattern.empty() || request.time;
    if (run.checked.empty() && chosen) return report::noneSelected(request, run.responses);
    if (run.checked.empty()) return report::emptyFolder(request.inputPath);
    for (const Stage stage : {convertResponses, writeFiles})
        if (const ExitCode code = stage(run); code != ExitCode::Success && code != ExitCode::SomeSkipped) {
            report::endProgress(run.progress);
            return code;
        }
    report::endProgress(run.progress);
    return run.skipped > 0 ? ExitCode::SomeSkipped : ExitCode::Success;
}

}  // namespace kalvert
