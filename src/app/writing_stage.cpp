#include <filesystem>
#include <set>

#include "app/reporter.hpp"
#include "app/stages.hpp"

namespace kalvert {
namespace {

struct OutputFile {
    std::string path;
    std::string text;
};

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

// Where each response goes: one message file, or one file per response under
// the format's name for it when OUT= is a folder.
ExitCode planFiles(const RunState& run, std::vector<OutputFile>& files)
{
    const OutputRequest& request = run.request;
    const OutputFormat& format = *request.format;
    if (format.envelope == Envelope::OneMessage) {
        std::vector<std::string> parts;
        parts.reserve(run.rendered.size());
        for (const RenderedResponse& rendered : run.rendered) parts.push_back(rendered.text);
        files.push_back({request.outputPath, format.wrap(parts, run.rendered.front().checked->response)});
        return ExitCode::Success;
    }
    std::error_code error;
    const bool folder = std::filesystem::is_directory(request.outputPath, error) ||
                        (!request.outputPath.empty() && request.outputPath.back() == '/');
    if (!folder && run.rendered.size() == 1) {
        files.push_back({request.outputPath, run.rendered.front().text});
        return ExitCode::Success;
    }
    if (!folder) return report::oneFileForSeveral(request, run.rendered.size(), run.responses);
    std::set<std::string> names;
    for (const RenderedResponse& rendered : run.rendered) {
        const std::string name = format.fileName(rendered.checked->response);
        if (!names.insert(name).second) return report::sameFileName(request.outputPath, name, run.responses);
        std::string path = request.outputPath;
        if (!path.empty() && path.back() != '/') path += '/';
        path += name;
        files.push_back({path, rendered.text});
    }
    std::filesystem::create_directory(request.outputPath, error);  // a path ending in / may name a new folder
    return ExitCode::Success;
}

ExitCode writeStandardFiles(RunState& run)
{
    std::vector<OutputFile> files;
    ExitCode planned = ExitCode::Success;
    try {
        planned = planFiles(run, files);
    } catch (...) {
        report::writingStarted(run.request.outputPath);
        return report::notCreated(run.request.outputPath);
    }
    if (planned != ExitCode::Success) return planned;
    for (const OutputFile& file : files) {
        report::writingStarted(file.path);
        const int output = namesSameFile(file.path, run.inputFile) ? -1 : createOutputFile(file.path);
        if (output < 0) return report::notCreated(file.path);
        const bool written = writeAll(output, file.text);
        if (!closeFile(output) || !written) return report::notWritten(file.path);
    }
    report::writingDone();
    return ExitCode::Success;
}

}  // namespace

ExitCode writeFiles(RunState& run)
{
    return run.request.format->envelope == Envelope::LegacyFap ? writeLegacyFile(run) : writeStandardFiles(run);
}

}  // namespace kalvert
