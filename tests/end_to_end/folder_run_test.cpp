// IN= a folder: a whole archive in one run, all or nothing or skipping what
// is refused, with file names clashing across files as within one.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "end_to_end/run_kalvert.hpp"

namespace kalvert::testing {
namespace {

namespace fs = std::filesystem;

class FolderRun : public ::testing::Test {
protected:
    ScratchDirectory scratch;
    const fs::path& dir() const { return scratch.path(); }

    void SetUp() override
    {
        fs::create_directory(dir() / "archive");
        for (const char* name : {"IU.ANMO.00.BHZ.obspy.sacpz", "UW.HOOD..ENx.multi15.sacpz", "stationxml/IUANMO.xml",
                                 "resp/RESP.NZ.CRLZ.10.HHZ"})
            fs::copy_file(testData(name), dir() / "archive" / fs::path(name).filename());
        writeFile(dir() / "archive" / ".hidden", "not read\n");
    }

    // Every file's name and bytes in a folder.
    std::vector<std::pair<std::string, std::string>> contents(const fs::path& folder)
    {
        std::vector<std::pair<std::string, std::string>> files;
        if (!fs::exists(folder)) return files;
        for (const auto& entry : fs::directory_iterator(folder))
            files.emplace_back(entry.path().filename().string(), readFile(entry.path()));
        std::sort(files.begin(), files.end());
        return files;
    }
};

TEST_F(FolderRun, OneRunWritesWhatTheRunsFileByFileWrite)
{
    // CSS: SEISAN's names hold no location, and UW.HOOD's IU.COR epochs clash there even alone.
    for (const char* format : {"CSS"}) {
        fs::remove_all(dir() / "together");
        fs::remove_all(dir() / "apart");
        const RunResult together = runKalvertAtEveryThreadCount({"IN=archive/", "OUT=together/", std::string("FORMAT=") + format}, dir());
        ASSERT_EQ(together.status, 0) << together.output;
        for (const auto& entry : fs::directory_iterator(dir() / "archive")) {
            if (entry.path().filename().string().front() == '.') continue;
            const std::string input = "archive/" + entry.path().filename().string();
            ASSERT_EQ(runKalvertAtEveryThreadCount({"IN=" + input, "OUT=apart/", std::string("FORMAT=") + format}, dir()).status, 0);
        }
        EXPECT_EQ(contents(dir() / "together"), contents(dir() / "apart")) << format;
        EXPECT_EQ(contents(dir() / "together").size(), 18u);
    }
    const RunResult message = runKalvertAtEveryThreadCount({"IN=archive", "OUT=all.msg", "FORMAT=GSE2.1"}, dir());
    ASSERT_EQ(message.status, 0) << message.output;
    const std::string text = readFile(dir() / "all.msg");
    std::size_t responses = 0;
    for (std::size_t at = text.find("\nCAL2 "); at != std::string::npos; at = text.find("\nCAL2 ", at + 1)) ++responses;
    EXPECT_EQ(responses, 18u);
}

TEST_F(FolderRun, RefusedFilesStopTheRunOrAreSkipped)
{
    writeFile(dir() / "archive" / "README.txt", "notes, not a response\n");
    const RunResult stopped = runKalvertAtEveryThreadCount({"IN=archive/", "OUT=out/", "FORMAT=CSS"}, dir());
    EXPECT_EQ(stopped.status, 253);
    EXPECT_NE(stopped.output.find("ERROR: Checking data (archive/README.txt)"), std::string::npos) << stopped.output;
    EXPECT_FALSE(fs::exists(dir() / "out"));

    const RunResult skipped = runKalvertAtEveryThreadCount({"IN=archive/", "OUT=out/", "FORMAT=CSS", "ON_ERROR=skip"}, dir());
    EXPECT_EQ(skipped.status, 4) << skipped.output;
    EXPECT_NE(skipped.output.find("WARNING: (archive/README.txt) skipped"), std::string::npos);
    EXPECT_EQ(contents(dir() / "out").size(), 18u);

    // A refused response inside a file: the hydrophone's pressure unit.
    fs::remove(dir() / "archive" / "README.txt");
    fs::copy_file(testData("OO.AXBA1..HDH.hydrophone.sacpz"), dir() / "archive" / "OO.hydrophone.sacpz");
    fs::remove_all(dir() / "out");
    const RunResult pressure = runKalvertAtEveryThreadCount({"IN=archive/", "OUT=out/", "FORMAT=CSS", "ON_ERROR=skip"}, dir());
    EXPECT_EQ(pressure.status, 4) << pressure.output;
    EXPECT_NE(pressure.output.find("WARNING: (archive/OO.hydrophone.sacpz) skipped: Section 1 OO.AXBA1..HDH has "
                                   "INPUT UNIT PASCAL, not a ground motion"),
              std::string::npos)
        << pressure.output;
    EXPECT_EQ(contents(dir() / "out").size(), 18u);
}

TEST_F(FolderRun, NamesClashAcrossFilesAndFoldersTakeNoSection)
{
    fs::copy_file(dir() / "archive" / "IU.ANMO.00.BHZ.obspy.sacpz", dir() / "archive" / "again.sacpz");
    const RunResult clash = runKalvertAtEveryThreadCount({"IN=archive/", "OUT=out/", "FORMAT=CSS"}, dir());
    EXPECT_EQ(clash.status, 251);
    EXPECT_NE(clash.output.find("two sections would both be written to IU.ANMO.00.BHZ.2012-03-12-2028.fap"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(dir() / "out"));
    EXPECT_EQ(runKalvertAtEveryThreadCount({"IN=archive/", "OUT=out/", "FORMAT=CSS", "SECTION=1"}, dir()).status, 3);
    EXPECT_EQ(runKalvertAtEveryThreadCount({"IN=archive/", "OUT=out.fap"}, dir()).status, 255);  // the legacy FAP file: no folder
    EXPECT_EQ(runKalvertAtEveryThreadCount({"IN=archive/", "OUT=out/", "FORMAT=CSS", "ON_ERROR=maybe"}, dir()).status, 3);
}

}  // namespace
}  // namespace kalvert::testing
