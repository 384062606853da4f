#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kalvert::testing {

struct RunResult {
    int status = -1;     ///< the process's exit status, 0 … 255; 1000 + signal when killed
    std::string output;  ///< everything it wrote to standard output
};

/// Status of a run that outlived its time limit and was killed.
inline constexpr int timedOut = 1000 + 9;
/// Status of a run whose process could not drop root's privileges.
inline constexpr int couldNotDropRoot = 126;

/// What the child process is given besides its arguments.
struct RunSetup {
    std::vector<std::string> environment{"LANG=C.UTF-8"};  ///< NAME=value entries
    int seconds = 120;               ///< killed after this long
    unsigned long addressSpace = 0;  ///< bytes of memory it may map; 0: no limit
    unsigned long fileSize = 0;      ///< bytes a file it writes may reach; 0: no limit
    bool asOtherUser = false;        ///< run as "nobody" when the tests run as root
};

/// Runs the built kalvert binary with `arguments` in `workDirectory`, with a
/// UTF-8 locale unless `environment` (NAME=value entries) says otherwise.
/// A run that takes longer than `seconds` is killed.
RunResult runKalvert(const std::vector<std::string>& arguments, const std::filesystem::path& workDirectory,
                     const std::vector<std::string>& environment = {"LANG=C.UTF-8"}, int seconds = 120);
RunResult runKalvert(const std::vector<std::string>& arguments, const std::filesystem::path& workDirectory,
                     const RunSetup& setup);

/// The run at THREADS=1 and at THREADS=4, each on a copy of the work
/// folder, must end alike: the same status, the same messages, the same
/// files byte for byte (a failure is reported to the test); then the run
/// itself, at the default, in `workDirectory`, whose result is returned.
RunResult runKalvertAtEveryThreadCount(const std::vector<std::string>& arguments,
                                       const std::filesystem::path& workDirectory, const RunSetup& setup = {});

/// A fresh, empty directory removed when the object goes.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);
/// A file from tests/data.
std::filesystem::path testData(const std::string& name);
/// The help screen and banner every run prints first.
std::string runPreamble();
/// The line the legacy reading of a data-centre file prints after reading it.
std::string dataCentreWarning(const std::string& input);

}  // namespace kalvert::testing
