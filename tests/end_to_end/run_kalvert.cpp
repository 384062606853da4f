#include "end_to_end/run_kalvert.hpp"

#include <chrono>
#include <map>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <string_view>
#include <sys/resource.h>
#include <thread>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kalvert::testing {

namespace {

// Waits for the child for at most `seconds`, then kills it.
int waitWithLimit(pid_t child, int seconds)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    int waitStatus = 0;
    for (;;) {
        const pid_t done = waitpid(child, &waitStatus, WNOHANG);
        if (done == child) break;
        if (done < 0) throw std::runtime_error("waitpid failed");
        if (Clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &waitStatus, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 1000 + WTERMSIG(waitStatus);
}

}  // namespace

RunResult runKalvert(const std::vector<std::string>& arguments, const std::filesystem::path& workDirectory,
                     const std::vector<std::string>& environment, int seconds)
{
    RunSetup setup;
    setup.environment = environment;
    setup.seconds = seconds;
    return runKalvert(arguments, workDirectory, setup);
}

RunResult runKalvert(const std::vector<std::string>& arguments, const std::filesystem::path& workDirectory,
                     const RunSetup& setup)
{
    const std::vector<std::string>& environment = setup.environment;
    const std::filesystem::path capture = workDirectory / ".stdout";
    std::vector<std::string> argv{KALVERT_BINARY};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argPointers;
    for (std::string& argument : argv) argPointers.push_back(argument.data());
    argPointers.push_back(nullptr);
    std::vector<std::string> env = environment;
    // Sanitizer settings of the test run reach the tool too.
    // (A preloaded fault-injection library stands before the ASan runtime.)
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"})
        if (const char* value = std::getenv(name))
            env.push_back(std::string(name) + "=" + value +
                          (std::string_view(name) == "ASAN_OPTIONS" ? ":verify_asan_link_order=0" : ""));
    std::vector<char*> envPointers;
    for (std::string& entry : env) envPointers.push_back(entry.data());
    envPointers.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        const int out = ::open(capture.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || dup2(out, STDOUT_FILENO) < 0 || chdir(workDirectory.c_str()) != 0) _exit(127);
        if (setup.addressSpace != 0) {
            const rlimit limit{setup.addressSpace, setup.addressSpace};
            if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(127);
        }
        if (setup.fileSize != 0) {
            const rlimit limit{setup.fileSize, setup.fileSize};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(127);
        }
        constexpr uid_t nobody = 65534;
        if (setup.asOtherUser && geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0))
            _exit(couldNotDropRoot);
        execve(argPointers[0], argPointers.data(), envPointers.data());
        _exit(127);
    }
    RunResult result;
    result.status = waitWithLimit(child, setup.seconds);
    result.output = readFile(capture);
    std::filesystem::remove(capture);
    return result;
}

ScratchDirectory::ScratchDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kalvert-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::filesystem::path testData(const std::string& name)
{
    return std::filesystem::path(KALVERT_TEST_DATA) / name;
}

std::string runPreamble()
{
    return readFile(testData("help_screen.utf8.txt")) +
           "tessarn.exe vKalvert v" KALVERT_VERSION "\nConverter from PAZ(SAC) format to FAP(GSE2) format\n"
           "=============================================\n\n";
}

std::string dataCentreWarning(const std::string& input)
{
    return "WARNING: (" + input +
           ") has data-centre header blocks or several sections: this reading ignores or merges them; SECTION=0 "
           "lists them\n";
}

namespace {

// Every file below `root` by its relative name: its bytes, a link's target,
// or what else stands there (the run's own capture of its output aside).
std::map<std::string, std::string> treeOf(const std::filesystem::path& root)
{
    std::map<std::string, std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = std::filesystem::relative(entry.path(), root).generic_string();
        if (name == ".stdout") continue;
        if (entry.is_symlink())
            tree[name] = "link to " + std::filesystem::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            tree[name] = readFile(entry.path());
        else
            tree[name] = entry.is_directory() ? "folder" : "special";
    }
    return tree;
}

}  // namespace

RunResult runKalvertAtEveryThreadCount(const std::vector<std::string>& arguments,
                                       const std::filesystem::path& workDirectory, const RunSetup& setup)
{
    namespace fs = std::filesystem;
    RunResult results[2];
    std::map<std::string, std::string> trees[2];
    const char* counts[2] = {"THREADS=1", "THREADS=4"};
    for (int i = 0; i < 2; ++i) {
        ScratchDirectory copy;
        const fs::path work = copy.path() / "work";
        fs::copy(workDirectory, work, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        std::vector<std::string> withCount = arguments;
        withCount.emplace_back(counts[i]);
        RunSetup reproducible = setup;  // a StationXML document states when it was made
        reproducible.environment.emplace_back("SOURCE_DATE_EPOCH=1765000000");
        results[i] = runKalvert(withCount, work, reproducible);
        trees[i] = treeOf(work);
    }
    std::string call;
    for (const std::string& argument : arguments) call += " " + argument;
    EXPECT_EQ(results[0].status, results[1].status) << call;
    EXPECT_EQ(results[0].output, results[1].output) << call;
    EXPECT_TRUE(trees[0] == trees[1]) << call << ": the files written differ between one thread and four";
    return runKalvert(arguments, workDirectory, setup);
}

}  // namespace kalvert::testing
