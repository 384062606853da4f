// The conversion run seen from outside: the real binary on real files,
// standard output, exit status and output bytes compared exactly.
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "end_to_end/run_kalvert.hpp"

namespace kalvert::testing {
namespace {

namespace fs = std::filesystem;

const std::string readingOk = "OK (Reading input file)\n";

std::string checking(const std::string& input)
{
    return "Checking data (" + input + ")\n";
}

std::string trying(const std::string& input)
{
    return "Trying to read input file (" + input + ")\n";
}

std::string successTail(const std::string& output)
{
    return "OK (Checking data)\nConverting data from PAZ to FAP\nOK (Converting data)\n"
           "Trying to write data into output file (" + output + ")\nOK (Writing to file)\n";
}

class ConversionRun : public ::testing::Test {
protected:
    ScratchDirectory scratch;
    const fs::path& dir() const { return scratch.path(); }
    void copyData(const std::string& name, const std::string& as)
    {
        fs::copy_file(testData(name), dir() / as);
    }
};

TEST_F(ConversionRun, TooFewArgumentsOrWrongPrefixes)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
        int status;
    };
    const Case cases[] = {
        {{}, "Few params\n", 1},
        {{"IN=a.pz"}, "Few params\n", 1},
        {{"-h"}, "Few params\n", 1},
        {{"OUT=a.fap", "IN=a.pz"}, "1st and 2nd param in command line MUST be IN= and OUT=\n", 2},
        {{"IN=a.pz", "/?"}, "1st and 2nd param in command line MUST be IN= and OUT=\n", 2},
        {{"INPUT=a.pz", "OUT=a.fap"}, "1st and 2nd param in command line MUST be IN= and OUT=\n", 2},
    };
    for (const Case& c : cases) {
        const RunResult result = runKalvert(c.arguments, dir());
        EXPECT_EQ(result.output, runPreamble() + c.message);
        EXPECT_EQ(result.status, c.status);
    }
    EXPECT_TRUE(fs::is_empty(dir()));
}

TEST_F(ConversionRun, ConvertsWithLowerCasePrefixesAndMode0600)
{
    copyData("IU.ANMO.00.BHZ.obspy.sacpz", "anmo.pz");
    const RunResult result = runKalvert({"in=anmo.pz", "out=anmo.fap"}, dir());
    EXPECT_EQ(result.output, runPreamble() + trying("anmo.pz") + readingOk + dataCentreWarning("anmo.pz") +
                                 checking("anmo.pz") + successTail("anmo.fap"));
    EXPECT_EQ(result.status, 0);
    struct stat info {};
    ASSERT_EQ(stat((dir() / "anmo.fap").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(ConversionRun, InputFailuresLeaveTheOutputUntouched)
{
    writeFile(dir() / "empty.pz", "");
    writeFile(dir() / "lower.pz", "zeros 0\npoles 0\nconstant 1\n");
    writeFile(dir() / "nopoles.pz", "ZEROS 0\nCONSTANT 1\n");
    writeFile(dir() / "nul.pz", std::string("\0ZEROS 0\nPOLES 0\n", 17));
    writeFile(dir() / "huge.pz", "ZEROS 2000000000\nPOLES 0\nCONSTANT 1\n");
    fs::create_directory(dir() / "folder.pz");
    ASSERT_EQ(mkfifo((dir() / "fifo.pz").c_str(), 0600), 0);
    writeFile(dir() / "out.fap", "old contents\n");

    struct Case {
        std::string input;
        std::string messages;
        int status;
    };
    const Case cases[] = {
        {"", trying("") + "ERROR: Coundn't open ()\n", 255},
        {"missing.pz", trying("missing.pz") + "ERROR: Coundn't open (missing.pz)\n", 255},
        {"folder.pz", trying("folder.pz") + "ERROR: Coundn't open (folder.pz)\n", 255},
        {"fifo.pz", trying("fifo.pz") + "ERROR: File size undefined (fifo.pz)\n", 254},
        {"empty.pz", trying("empty.pz") + "ERROR: Couldn't read (empty.pz)\n", 253},
        {"lower.pz", trying("lower.pz") + readingOk + checking("lower.pz") +
                         "ERROR: Incorrect file format (lower.pz).\nNot found ZEROS", 253},
        {"nul.pz", trying("nul.pz") + readingOk + checking("nul.pz") +
                       "ERROR: Incorrect file format (nul.pz).\nNot found ZEROS", 253},
        {"nopoles.pz", trying("nopoles.pz") + readingOk + checking("nopoles.pz") +
                           "ERROR: Incorrect file format (nopoles.pz).\nNot found POLES", 253},
        {"huge.pz", trying("huge.pz") + readingOk + checking("huge.pz") + "ERROR: Checking data (huge.pz)\n", 253},
    };
    for (const Case& c : cases) {
        const RunResult result = runKalvert({"IN=" + c.input, "OUT=out.fap"}, dir());
        EXPECT_EQ(result.output, runPreamble() + c.messages) << c.input;
        EXPECT_EQ(result.status, c.status) << c.input;
        EXPECT_EQ(readFile(dir() / "out.fap"), "old contents\n") << c.input;
    }
    EXPECT_EQ(runKalvert({"IN=missing.pz", "OUT=never.fap"}, dir()).status, 255);
    EXPECT_FALSE(fs::exists(dir() / "never.fap"));
}

TEST_F(ConversionRun, ConversionFailureLeavesTheOutputUntouched)
{
    copyData("KARC.BHZ.sacpz", "karc.pz");
    writeFile(dir() / "out.fap", "old contents\n");
    const RunResult result = runKalvert({"IN=karc.pz", "OUT=out.fap", "NPOINTS=-5"}, dir());
    EXPECT_EQ(result.output, runPreamble() + trying("karc.pz") + readingOk + checking("karc.pz") +
                                 "OK (Checking data)\nConverting data from PAZ to FAP\nERROR: Converting data\n");
    EXPECT_EQ(result.status, 252);
    EXPECT_EQ(readFile(dir() / "out.fap"), "old contents\n");
}

TEST_F(ConversionRun, OutputThatCannotBeCreatedOrWritten)
{
    copyData("KARC.BHZ.sacpz", "karc.pz");
    const std::string converted = trying("karc.pz") + readingOk + checking("karc.pz") +
                                  "OK (Checking data)\nConverting data from PAZ to FAP\nOK (Converting data)\n";

    const RunResult missingFolder = runKalvert({"IN=karc.pz", "OUT=no/such/folder.fap"}, dir());
    EXPECT_EQ(missingFolder.output, runPreamble() + converted +
                                        "Trying to write data into output file (no/such/folder.fap)\n"
                                        "ERROR: Coundn't create (no/such/folder.fap)\n");
    EXPECT_EQ(missingFolder.status, 251);

    const RunResult fullDevice = runKalvert({"IN=karc.pz", "OUT=/dev/full"}, dir());
    EXPECT_EQ(fullDevice.output, runPreamble() + converted + "Trying to write data into output file (/dev/full)\n"
                                                             "ERROR: Writing to file (/dev/full)\n");
    EXPECT_EQ(fullDevice.status, 250);
}

TEST_F(ConversionRun, MissingConstantWarnsOnTheCheckingLine)
{
    copyData("OO.AXBA1..HDH.hydrophone.sacpz", "hydro.pz");
    const RunResult result = runKalvert({"IN=hydro.pz", "OUT=hydro.fap"}, dir());
    EXPECT_EQ(result.output, runPreamble() + trying("hydro.pz") + readingOk + dataCentreWarning("hydro.pz") +
                                 checking("hydro.pz") +
                                 "WARNING: Not found CONSTANT (hydro.pz).\n CONSTANT set to 1.0" + successTail("hydro.fap"));
    EXPECT_EQ(result.status, 0);
}

TEST_F(ConversionRun, ExistingOutputIsTruncatedAndRewritten)
{
    copyData("KARC.BHZ.sacpz", "karc.pz");
    writeFile(dir() / "out.fap", std::string(100000, 'x'));
    ASSERT_EQ(runKalvert({"IN=karc.pz", "OUT=out.fap"}, dir()).status, 0);
    const std::string first = readFile(dir() / "out.fap");
    EXPECT_EQ(first.find('x'), std::string::npos);
    ASSERT_EQ(runKalvert({"IN=karc.pz", "OUT=out.fap"}, dir()).status, 0);
    EXPECT_EQ(readFile(dir() / "out.fap"), first);
}

TEST_F(ConversionRun, HelpKeyAfterInAndOutEndsBeforeAnyFileIsTouched)
{
    for (const std::string key : {"-h", "/?", "HELP", "--Help"}) {
        const RunResult result = runKalvert({"IN=missing.pz", "OUT=out.fap", "NPOINTS=5", key, "FREQ=1:2"}, dir());
        EXPECT_EQ(result.output, runPreamble() + readFile(testData("help_screen.utf8.txt"))) << key;
        EXPECT_EQ(result.status, 0) << key;
    }
    EXPECT_TRUE(fs::is_empty(dir()));
}

TEST_F(ConversionRun, InfiniteAndUndefinedValuesReachTheFile)
{
    copyData("NZ.HHZ.10.no-zero-lines.sacpz", "origin-zeros.pz");
    ASSERT_EQ(runKalvert({"IN=origin-zeros.pz", "OUT=inverse.fap", "FREQ=0;1", "NPOINTS=1", "TYPE_OUT=1,1,-9"}, dir()).status, 0);
    EXPECT_EQ(readFile(dir() / "inverse.fap"), "CAL2                       -1.00000000e+000  -1.000              \n"
                                               " ( ::: (nM/sec)/Count )\n"
                                               "FAP2  0 C         0.000   2 FAP Triplets 2           \n"
                                               "2\n"
                                               "   0.0000000         inf  0.0000000\n"
                                               "   1.0000000  6.3242540e-002  1.5505862\n");

    writeFile(dir() / "origin-pole.pz", "ZEROS 0\nPOLES 1\n0 0\nCONSTANT -2\n");
    ASSERT_EQ(runKalvert({"IN=origin-pole.pz", "OUT=pole.fap", "FREQ=0;1", "NPOINTS=1"}, dir()).status, 0);
    const std::string table = readFile(dir() / "pole.fap");
    EXPECT_EQ(table.substr(table.find("\n2\n") + 3), "   0.0000000         nan        nan\n"
                                                     "   1.0000000  -3.1830989e-010 -1.5707963\n");
}

TEST_F(ConversionRun, HelpScreenFollowsTheConsoleLocale)
{
    const RunResult koi8 = runKalvert({}, dir(), {"LC_ALL=", "LC_CTYPE=ru_RU.KOI8-R", "LANG=ru_RU.UTF-8"});
    EXPECT_EQ(koi8.output.substr(0, 10), "\xEF\xD0\xC9\xD3\xC1\xCE\xC9\xC5:\n");  // Описание:
    EXPECT_EQ(koi8.status, 1);
    const RunResult plain = runKalvert({}, dir(), std::vector<std::string>{});
    EXPECT_EQ(plain.output, runPreamble() + "Few params\n");
    // Numbers keep their point whatever the locale says.
    copyData("KARC.BHZ.sacpz", "karc.pz");
    ASSERT_EQ(runKalvert({"IN=karc.pz", "OUT=c.fap"}, dir(), {"LC_ALL=C"}).status, 0);
    ASSERT_EQ(runKalvert({"IN=karc.pz", "OUT=de.fap"}, dir(), {"LC_ALL=de_DE.UTF-8", "LC_NUMERIC=de_DE.UTF-8"}).status, 0);
    EXPECT_EQ(readFile(dir() / "c.fap"), readFile(dir() / "de.fap"));
}

}  // namespace
}  // namespace kalvert::testing
