// Real responses converted by the real binary, compared whole with FAP files
// that were checked row by row against an independent evaluation.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "end_to_end/run_kalvert.hpp"

namespace kalvert::testing {
namespace {

struct Conversion {
    std::string input;
    std::vector<std::string> options;
    std::string expected;  ///< file in tests/data/expected
};

const Conversion conversions[] = {
    {"IU.ANMO.00.BHZ.obspy.sacpz", {}, "IU.ANMO.00.BHZ.obspy.default.fap"},
    {"II.OBN.00.BHZ.crlf.sacpz", {}, "II.OBN.00.BHZ.crlf.default.fap"},
    {"IU.ANMO.00.BHZ.tabs.sacpz", {}, "IU.ANMO.00.BHZ.tabs.default.fap"},
    {"NZ.CRLZ.10.HHZ.constant-first.pz", {}, "NZ.CRLZ.10.HHZ.constant-first.default.fap"},
    {"IU.ANMO.00.BHZ.obspy.sacpz", {"FREQ=0.01;50", "NPOINTS=100", "-logX"}, "IU.ANMO.00.BHZ.obspy.typical.fap"},
    {"II.OBN.00.BHZ.crlf.sacpz", {"TYPE_OUT=QTV", "-logX", "NPOINTS=20"}, "II.OBN.00.BHZ.crlf.qtv.fap"},
    {"KARC.BHZ.sacpz", {"TYPE_IN=0", "TYPE_OUT=0,0,-9", "FREQ=0.01,40", "NPOINTS=50", "/LOGX"},
     "KARC.BHZ.displacement.fap"},
    {"IU.ANMO.00.BHZ.tabs.sacpz", {"TYPE_OUT=2,1,-6", "NPOINTS=40"}, "IU.ANMO.00.BHZ.tabs.acceleration.fap"},
    {"II.OBN.00.BHZ.hash-comments.sacpz", {"TYPE_OUT=0,1,-6"}, "II.OBN.00.BHZ.hash-comments.fap"},
    // Several sections are read as one model, as the legacy reading does.
    {"IU.ANMO.BH.multi-epoch.sacpz", {}, "IU.ANMO.BH.multi-epoch.default.fap"},
    {"UW.HOOD..ENx.multi15.sacpz", {}, "UW.HOOD..ENx.multi15.default.fap"},
};

TEST(ExpectedOutput, RealResponsesConvertByteForByte)
{
    for (const Conversion& c : conversions) {
        ScratchDirectory scratch;
        std::filesystem::copy_file(testData(c.input), scratch.path() / "in.pz");
        std::vector<std::string> arguments{"IN=in.pz", "OUT=out.fap"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());

        const RunResult result = runKalvert(arguments, scratch.path());
        EXPECT_EQ(result.status, 0) << c.expected;
        // Every file here but KARC's has data-centre headers: the console says so.
        const std::string warning = c.input == "KARC.BHZ.sacpz" ? "" : dataCentreWarning("in.pz");
        EXPECT_EQ(result.output, runPreamble() +
                                     "Trying to read input file (in.pz)\nOK (Reading input file)\n" + warning +
                                     "Checking data (in.pz)\n"
                                     "OK (Checking data)\nConverting data from PAZ to FAP\nOK (Converting data)\n"
                                     "Trying to write data into output file (out.fap)\nOK (Writing to file)\n")
            << c.expected;
        EXPECT_EQ(readFile(scratch.path() / "out.fap"), readFile(testData("expected/" + c.expected))) << c.expected;
    }
}

TEST(ExpectedOutput, TypicalRunPrintsExactlyTheRecordedText)
{
    ScratchDirectory scratch;
    std::filesystem::copy_file(testData("IU.ANMO.00.BHZ.obspy.sacpz"), scratch.path() / "IU.ANMO.00.BHZ.obspy.sacpz");
    const RunResult result = runKalvert({"IN=IU.ANMO.00.BHZ.obspy.sacpz", "OUT=IU.ANMO.00.BHZ.obspy.typical.fap",
                                         "FREQ=0.01;50", "NPOINTS=100", "-logX"},
                                        scratch.path());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, readFile(testData("expected/IU.ANMO.00.BHZ.obspy.typical.stdout")));
}

}  // namespace
}  // namespace kalvert::testing
