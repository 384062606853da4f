#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "app/reporter.hpp"
#include "app/run.hpp"

int main(int argc, char** argv)
{
#ifdef SIGXFSZ
    // Past the file-size limit a write should fail and be reported, not kill
    // the tool silently with a truncated file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    try {
        const std::vector<std::string> arguments(argv, argv + argc);
        return static_cast<int>(kalvert::runConversion(arguments));
    } catch (...) {
        // Only copying the argument list itself can get here: memory was exhausted.
        const bool hasInputPath = argc > 1 && std::strlen(argv[1]) >= 3;
        const kalvert::ExitCode code = kalvert::report::argumentsNotHeld(hasInputPath ? argv[1] + 3 : "");
        kalvert::report::flush();
        return static_cast<int>(code);
    }
}
