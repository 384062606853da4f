// Hostile inputs and hostile surroundings: files that may not be written,
// an output that is the input, limits on memory, file size and work.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "end_to_end/run_kalvert.hpp"

namespace kalvert::testing {
namespace {

namespace fs = std::filesystem;

std::string convertedUpTo(const std::string& input, const std::string& output)
{
    return runPreamble() + "Trying to read input file (" + input + ")\nOK (Reading input file)\nChecking data (" +
           input + ")\nOK (Checking data)\nConverting data from PAZ to FAP\nOK (Converting data)\n" +
           "Trying to write data into output file (" + output + ")\n";
}

std::string checkingFails(const std::string& input)
{
    return runPreamble() + "Trying to read input file (" + input + ")\nOK (Reading input file)\nChecking data (" +
           input + ")\nERROR: Checking data (" + input + ")\n";
}

class Hardening : public ::testing::Test {
protected:
    ScratchDirectory scratch;
    const fs::path& dir() const { return scratch.path(); }
    void SetUp() override { fs::copy_file(testData("KARC.BHZ.sacpz"), dir() / "karc.pz"); }
};

TEST_F(Hardening, InputThatMayNotBeWrittenIsRead)
{
    // A normal user cannot write a file of mode 0444; root can, so root's
    // test drops to "nobody" in the child.
    fs::permissions(dir(), fs::perms::all);
    fs::permissions(dir() / "karc.pz", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    RunSetup setup;
    setup.asOtherUser = true;
    const RunResult result = runKalvert({"IN=karc.pz", "OUT=karc.fap"}, dir(), setup);
    if (result.status == couldNotDropRoot) GTEST_SKIP() << "cannot run as another user here";
    EXPECT_EQ(result.output, convertedUpTo("karc.pz", "karc.fap") + "OK (Writing to file)\n");
    EXPECT_EQ(result.status, 0);
}

TEST_F(Hardening, OutputNamingTheInputIsRefusedAndTheInputKept)
{
    const std::string original = readFile(dir() / "karc.pz");
    fs::create_symlink("karc.pz", dir() / "link.pz");
    fs::create_hard_link(dir() / "karc.pz", dir() / "hard.pz");
    for (const std::string output : {"karc.pz", "./karc.pz", "link.pz", "hard.pz"}) {
        const RunResult result = runKalvert({"IN=karc.pz", "OUT=" + output}, dir());
        EXPECT_EQ(result.output, convertedUpTo("karc.pz", output) + "ERROR: Coundn't create (" + output + ")\n");
        EXPECT_EQ(result.status, 251) << output;
        EXPECT_EQ(readFile(dir() / "karc.pz"), original) << output;
    }
}

TEST_F(Hardening, FileSizeLimitEndsWithAWriteError)
{
    RunSetup setup;
    setup.fileSize = 8000;  // room for the messages, not for the 12 kB table
    const RunResult result = runKalvert({"IN=karc.pz", "OUT=karc.fap"}, dir(), setup);
    EXPECT_EQ(result.output, convertedUpTo("karc.pz", "karc.fap") + "ERROR: Writing to file (karc.fap)\n");
    EXPECT_EQ(result.status, 250);
}

#ifndef KALVERT_SANITIZE  // the sanitizers' shadow memory does not fit a small address space
TEST_F(Hardening, MemoryLimitEndsTheReadingStageAndTheInputIsHeldOnce)
{
    constexpr unsigned long megabyte = 1024 * 1024;
    {
        std::ofstream big(dir() / "big.pz", std::ios::binary);
        big << "ZEROS 0\nPOLES 0\nCONSTANT 1\n" << std::string(100 * megabyte, '\n');
    }
    RunSetup tight;
    tight.addressSpace = 80 * megabyte;
    const RunResult refused = runKalvert({"IN=big.pz", "OUT=big.fap"}, dir(), tight);
    EXPECT_EQ(refused.output, runPreamble() + "Trying to read input file (big.pz)\nERROR: Couldn't read (big.pz)\n");
    EXPECT_EQ(refused.status, 253);
    EXPECT_FALSE(fs::exists(dir() / "big.fap"));

    RunSetup roomForOneCopy;
    roomForOneCopy.addressSpace = 170 * megabyte;
    const RunResult converted = runKalvert({"IN=big.pz", "OUT=big.fap", "NPOINTS=3"}, dir(), roomForOneCopy);
    EXPECT_EQ(converted.status, 0) << converted.output;
}
#endif

TEST_F(Hardening, ModelsAndWorkBeyondAnyInstrumentAreRefusedBeforeTheWork)
{
    std::string repeated;
    for (int section = 0; section < 3000; ++section) repeated += "ZEROS 5\n1 1\n1 1\n1 1\n1 1\n1 1\n";
    writeFile(dir() / "repeated.pz", repeated + "POLES 0\nCONSTANT 1\n");
    writeFile(dir() / "announced.pz", "ZEROS 1000000\nPOLES 0\n");
    std::string poles = "ZEROS 0\nPOLES 20000\n";
    for (int pole = 0; pole < 20000; ++pole) poles += "-1 0\n";
    writeFile(dir() / "poles.pz", poles + "CONSTANT 1\n");
    for (const std::string input : {"repeated.pz", "announced.pz", "poles.pz"}) {
        const RunResult result = runKalvert({"IN=" + input, "OUT=out.fap"}, dir());
        const std::string warning = input == "announced.pz" ? "WARNING: Not found CONSTANT (announced.pz).\n CONSTANT set to 1.0" : "";
        std::string expected = checkingFails(input);
        expected.insert(expected.rfind("ERROR: "), warning);
        // Many ZEROS lines: a file of several sections, which the legacy reading merges.
        if (input == "repeated.pz")
            expected.insert(expected.find("Checking data (repeated.pz)"), dataCentreWarning(input));
        EXPECT_EQ(result.output, expected);
        EXPECT_EQ(result.status, 253) << input;
    }

    // 10,000 zeros are allowed, but not at a million points.
    writeFile(dir() / "many.pz", "ZEROS 10000\nPOLES 0\nCONSTANT 1\n");
    const RunResult work = runKalvert({"IN=many.pz", "OUT=out.fap", "NPOINTS=1000000"}, dir());
    EXPECT_EQ(work.status, 252);
    EXPECT_NE(work.output.find("Converting data from PAZ to FAP\nERROR: Converting data\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir() / "out.fap"));
}

TEST_F(Hardening, FifoOutputWaitsForItsReader)
{
    ASSERT_EQ(mkfifo((dir() / "fifo").c_str(), 0600), 0);
    // Nobody reads: the tool waits at the open instead of feeding itself.
    const RunResult unread = runKalvert({"IN=karc.pz", "OUT=fifo"}, dir(), {"LANG=C.UTF-8"}, 2);
    EXPECT_EQ(unread.status, timedOut);
    EXPECT_EQ(unread.output, convertedUpTo("karc.pz", "fifo"));

    std::string received;
    std::thread reader([&] { received = readFile(dir() / "fifo"); });
    const RunResult read = runKalvert({"IN=karc.pz", "OUT=fifo"}, dir());
    reader.join();
    EXPECT_EQ(read.status, 0);
    ASSERT_EQ(runKalvert({"IN=karc.pz", "OUT=plain.fap"}, dir()).status, 0);
    EXPECT_EQ(received, readFile(dir() / "plain.fap"));
}

}  // namespace
}  // namespace kalvert::testing
