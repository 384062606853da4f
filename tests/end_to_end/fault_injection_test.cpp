// The tool run with write() and close() failing for its output file, the
// way a full disk, a signal or a network file system make them fail.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "end_to_end/run_kalvert.hpp"

namespace kalvert::testing {
namespace {

TEST(FaultInjection, WritesAndClosesThatFailOrFallShort)
{
    ScratchDirectory scratch;
    std::filesystem::copy_file(testData("KARC.BHZ.sacpz"), scratch.path() / "karc.pz");
    ASSERT_EQ(runKalvert({"IN=karc.pz", "OUT=plain.fap"}, scratch.path()).status, 0);
    const std::string plain = readFile(scratch.path() / "plain.fap");
    const std::string converted =
        "Trying to read input file (karc.pz)\nOK (Reading input file)\nChecking data (karc.pz)\n"
        "OK (Checking data)\nConverting data from PAZ to FAP\nOK (Converting data)\n"
        "Trying to write data into output file (out.fap)\n";

    struct Case {
        const char* fault;
        std::string ending;
        int status;
        std::string file;  ///< what the output holds afterwards
    };
    const Case cases[] = {
        {"write-fails", "ERROR: Writing to file (out.fap)\n", 250, ""},
        {"close-fails", "ERROR: Writing to file (out.fap)\n", 250, plain},
        {"short-writes", "OK (Writing to file)\n", 0, plain},
        {"interrupted", "OK (Writing to file)\n", 0, plain},
    };
    for (const Case& c : cases) {
        const RunResult result =
            runKalvert({"IN=karc.pz", "OUT=out.fap"}, scratch.path(),
                       {"LANG=C.UTF-8", "LD_PRELOAD=" KALVERT_FAILING_IO, "KALVERT_FAULT_FILE=/out.fap",
                        std::string("KALVERT_FAULT=") + c.fault});
        EXPECT_EQ(result.output, runPreamble() + converted + c.ending) << c.fault;
        EXPECT_EQ(result.status, c.status) << c.fault;
        EXPECT_EQ(readFile(scratch.path() / "out.fap"), c.file) << c.fault;
    }
}

// A StationXML file rewritten in place or replaced between its two readings
// is refused with nothing written; a file left alone converts.
TEST(FaultInjection, AnInputChangedBetweenItsReadingsIsRefused)
{
    ScratchDirectory scratch;
    const std::filesystem::path dir = scratch.path();
    const std::string twoChannels = readFile(testData("stationxml/IU_ANMO_BH.xml"));
    for (const std::string fault : {"rewritten", "replaced", "none"}) {
        std::filesystem::remove_all(dir / "out");
        writeFile(dir / "in.xml", twoChannels);
        writeFile(dir / "in.xml.replacement", readFile(testData("stationxml/IUANMO.xml")));
        const RunResult result =
            runKalvert({"IN=in.xml", "OUT=out/", "FORMAT=CSS"}, dir,
                       {"LANG=C.UTF-8", "LD_PRELOAD=" KALVERT_FAILING_IO, "KALVERT_FAULT_FILE=/in.xml",
                        "KALVERT_FAULT=" + fault});
        const bool changed = fault != "none";
        EXPECT_EQ(result.status, changed ? 253 : 0) << fault << "\n" << result.output;
        EXPECT_EQ(result.output.find("changed while it was read") != std::string::npos, changed) << fault;
        EXPECT_EQ(std::filesystem::exists(dir / "out"), !changed) << fault;
    }
}

}  // namespace
}  // namespace kalvert::testing
