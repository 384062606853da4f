#include "app/folder_run.hpp"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "app/conversion_queue.hpp"
#include "app/reporter.hpp"
#include "app/stages.hpp"

namespace kalvert {
namespace {

// The files of the folder, in name order; nothing hidden, nothing below it.
// `identities` gets every one's device and inode: the run writes over none.
std::vector<std::string> filesOf(const std::string& folder, std::vector<FileIdentity>& identities)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.front() == '.' || !entry.is_regular_file(error)) continue;
        names.push_back(name);
        if (const std::optional<FileIdentity> identity = identityAt(entry.path().string()))
            identities.push_back(*identity);
    }
    std::sort(names.begin(), names.end());
    std::sort(identities.begin(), identities.end());
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

namespace {

// The responses a folder run lists when nothing matches: the first
// thousand, and how many more, so that memory does not grow with the files.
constexpr std::size_t mostListed = 1000;

void keepListed(RunState& run, const RunState& one)
{
    for (const ChannelResponse& response : one.responses) {
        if (run.responses.size() < mostListed)
            run.responses.push_back(response);
        else
            ++run.unlisted;
    }
}

// The progress line goes, whichever way the run ends.
struct ProgressEnd {
    ProgressLine& progress;
    explicit ProgressEnd(ProgressLine& line) : progress(line) {}
    ProgressEnd(const ProgressEnd&) = delete;
    ProgressEnd& operator=(const ProgressEnd&) = delete;
    ~ProgressEnd() { report::endProgress(progress); }
};

}  // namespace

ExitCode runFolder(RunState& run)
{
    const OutputRequest& request = run.request;
    if (request.section) return report::sectionWithFolder(request);
    const std::vector<std::string> names = filesOf(request.inputPath, run.inputFiles);
    if (names.empty()) return report::emptyFolder(request.inputPath);
    report::startProgress(run.progress, names.size());
    const ProgressEnd progressEnd(run.progress);
    Converting converting;
    if (const ExitCode code = startConverting(run, converting); code != ExitCode::Success) return code;
    // Each file is read, checked and converted before the next is opened: the
    // run keeps of it only its staged output, the names it took and a listing.
    std::size_t chosen = 0;
    for (const std::string& name : names) {
        RunState one;
        one.request = request;
        one.request.inputPath = pathIn(request.inputPath, name);
        one.inFolder = true;
        report::showProgress(run.progress, one.request.inputPath);
        // What reading the file says takes its place after what converting
        // the files before it says, whatever the number of threads.
        std::string said;
        std::optional<report::KeptMessages> kept(std::in_place, said);
        const ExitCode read = readOne(one);
        run.skipped += one.skipped;
        ++run.progress.filesDone;
        if (read != ExitCode::Success && !request.skipRefused) {
            kept.reset();
            return converting.queue->addMessages(std::move(said), read);
        }
        if (read != ExitCode::Success) {
            report::fileSkipped(one.request.inputPath);
            ++run.skipped;
            kept.reset();
            if (const ExitCode code = converting.queue->addMessages(std::move(said)); code != ExitCode::Success)
                return code;
            continue;
        }
        keepListed(run, one);
        if (chosen == 0 && !one.checked.empty()) report::convertingStarted();
        chosen += one.checked.size();
        kept.reset();
        if (const ExitCode code = converting.queue->addMessages(std::move(said)); code != ExitCode::Success)
            return code;
        if (const ExitCode code = convertFrom(run, one, converting); code != ExitCode::Success) return code;
        run.progress.responses = run.converted;
    }
    run.sectioned = true;
    const bool choosing = !request.channelPattern.empty() || request.time;
    if (const ExitCode code = converting.queue->finish(); code != ExitCode::Success) return code;
    if (chosen == 0 && choosing) return report::noneSelected(request, run.responses, run.unlisted);
    if (chosen == 0) return report::emptyFolder(request.inputPath);
    if (const ExitCode code = finishConverting(run, converting); code != ExitCode::Success) return code;
    report::convertingDone();
    const ExitCode code = writeFiles(run);
    return code == ExitCode::Success && run.skipped > 0 ? ExitCode::SomeSkipped : code;
}

}  // namespace kalvert
