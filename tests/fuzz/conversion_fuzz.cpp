// Arbitrary bytes as the input of a whole conversion, in every format, into
// a folder: whatever the headers say, no file may appear outside that
// folder, and no temporary file may be left behind in it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>

#include "app/run.hpp"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The run reports to standard output; keep the log readable.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fs::path root = fs::temp_directory_path() / ("kalvert-conversion-fuzz-" + std::to_string(::getpid()));
    const fs::path work = root / "a" / "b";
    fs::remove_all(root);
    fs::create_directories(work);
    {
        std::ofstream in(work / "in.pz", std::ios::binary);
        in.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    for (const char* format : {"SEISAN", "CSS", "GSE2.1"}) {
        const std::string out = (work / "out").string() + "/";
        (void)kalvert::runConversion({"kalvert", "IN=" + (work / "in.pz").string(), "OUT=" + out,
                                      std::string("FORMAT=") + format, "NPOINTS=5", "FREQ=0.01,1"});
    }
    // The metadata writers, each into one file that is then read back.
    for (const char* format : {"StationXML", "RESP"}) {
        fs::remove_all(work / "out");
        const std::string out = (work / "out").string();
        if (kalvert::runConversion({"kalvert", "IN=" + (work / "in.pz").string(), "OUT=" + out,
                                    std::string("FORMAT=") + format}) == kalvert::ExitCode::Success)
            (void)kalvert::runConversion({"kalvert", "IN=" + out, "OUT=" + (work / "back").string() + "/", "FORMAT=CSS",
                                          "NPOINTS=5", "FREQ=0.01,1"});
        fs::remove_all(work / "back");
    }
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::path relative = fs::relative(entry.path(), work);
        const std::string name = relative.generic_string();
        const bool inside = name == "in.pz" || name == "out" || name.rfind("out/", 0) == 0;
        const bool above = work.string().rfind(entry.path().string(), 0) == 0;  // a/ and a/b/ themselves
        if (!inside && !above) std::abort();
        if (name.find(".kalvert-") != std::string::npos) std::abort();
        if (name.rfind("out/", 0) == 0 && name.find('/', 4) != std::string::npos) std::abort();
    }
    fs::remove_all(root);
    return 0;
}
