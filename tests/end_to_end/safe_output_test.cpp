// Hostile headers and hostile output folders against the standard formats:
// no file outside the folder, no link followed, all or nothing, bounded work.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "end_to_end/run_kalvert.hpp"

namespace kalvert::testing {
namespace {

namespace fs = std::filesystem;

// One section: identity fields as given, one pole, a displacement unit.
std::string section(const std::string& network, const std::string& station, const std::string& location,
                    const std::string& channel, const std::string& extra = "")
{
    return "* NETWORK   (KNETWK): " + network + "\n* STATION    (KSTNM): " + station +
           "\n* LOCATION   (KHOLE): " + location + "\n* CHANNEL   (KCMPNM): " + channel +
           "\n* START             : 2012-03-12T20:28:00\n* INPUT UNIT        : M\n" + extra +
           "ZEROS 1\nPOLES 1\n-1 0\nCONSTANT 1e9\n";
}

// Every name below the scratch folder, as "a", "out/", "out/b".
std::set<std::string> tree(const fs::path& root)
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string name = fs::relative(entry.path(), root).generic_string();
        if (entry.is_directory() && !entry.is_symlink()) name += "/";
        names.insert(name);
    }
    return names;
}

class SafeOutput : public ::testing::Test {
protected:
    ScratchDirectory scratch;
    fs::path dir() const { return scratch.path() / "work"; }
    void SetUp() override { fs::create_directories(dir() / "deep" / "er"); }
};

TEST_F(SafeOutput, HostileCases)
{
    const std::string two = section("IU", "ANMO", "00", "BHZ") + section("IU", "COR", "00", "BHZ");
    struct Case {
        const char* why;
        std::string input;
        std::vector<std::string> arguments;  ///< after IN= and OUT=out/
        int status;
        std::set<std::string> after;  ///< the scratch folder's names besides in.pz and deep/er/
        std::string said;             ///< a line the run must print
    };
    const Case cases[] = {
        {"a network that climbs out of the folder",
         section("../../../../elsewhere/", "/", "/", "/"),
         {"FORMAT=CSS"},
         253,
         {},
         "its network \"../../../../elsewhere/\" cannot name a file"},
        {"a station and channel that climb two levels",
         section("IU", "../..", "", "/.."),
         {"FORMAT=SEISAN"},
         253,
         {},
         "its station \"../..\" cannot name a file"},
        {"Windows separators", section("IU", "..\\..\\", "", "BHZ"), {"FORMAT=SEISAN"}, 253, {}, "its station"},
        {"a control byte, shown escaped",
         section("IU", "AN\x01MO", "", "BHZ"),
         {"FORMAT=CSS"},
         253,
         {},
         "its station code \"AN\\x01MO\""},
        {"no station", section("IU", "", "00", "BHZ"), {"FORMAT=CSS"}, 253, {}, "states no station, which FORMAT=CSS files must name"},
        {"names that differ in letter case",
         section("IU", "ANMO", "00", "BHZ") + section("IU", "anmo", "00", "BHZ"),
         {"FORMAT=CSS"},
         251,
         {},
         "two sections would both be written to"},
        {"two files, both written",
         two,
         {"FORMAT=CSS"},
         0,
         {"out/", "out/IU.ANMO.00.BHZ.2012-03-12-2028.fap", "out/IU.COR.00.BHZ.2012-03-12-2028.fap"},
         "OK (Writing"},
        {"roots over all sections past the limit",
         "ZEROS 6000\nPOLES 1\n-1 0\nZEROS 6000\nPOLES 1\n-1 0\n",
         {"FORMAT=GSE2.1", "SECTION=1"},
         253,
         {},
         "the file lists more than 10000 zeros over all its sections"},
        {"a grid the format cannot hold is refused before it is built",
         two,
         {"FORMAT=GSE2.1", "FREQ=0.001,0.002", "NPOINTS=9999999"},
         252,
         {},
         "9999999 grid points, more than the 999"},
        {"a sample rate no channel has",
         section("IU", "ANMO", "00", "BHZ", "* SAMPLE RATE       : 1e308\n"),
         {"FORMAT=CSS"},
         0,
         {"out/", "out/IU.ANMO.00.BHZ.2012-03-12-2028.fap"},
         "not a rate a channel has"},
        {"a calib that is not finite",
         "* STATION : ANMO\n* CHANNEL : BHZ\n* START : 2012-03-12\n* INPUT UNIT : M\nZEROS 0\nPOLES 0\nCONSTANT 1e-305\n",
         {"FORMAT=CSS"},
         252,
         {},
         "calib is not finite"},
        {"CALPER rounding to nothing", two, {"FORMAT=CSS", "CALPER=0.0004"}, 3, {}, "ERROR: CALPER=0.0004"},
        {"SECTION= with more than digits", two, {"FORMAT=CSS", "SECTION=1e1"}, 3, {}, "ERROR: SECTION=1e1 is not"},
        {"SECTION= past the int range", two, {"FORMAT=CSS", "SECTION=4294967297"}, 3, {}, "ERROR: SECTION="},
        {"an epoch rolling into year 10000",
         section("IU", "ANMO", "00", "BHZ", "* START             : 9999-12-31T24:00:00\n"),
         {"FORMAT=CSS"},
         253,
         {},
         "past the year 9999"},
        {"a byte-order mark",
         "\xEF\xBB\xBF" + section("IU", "ANMO", "00", "BHZ"),
         {"FORMAT=CSS"},
         0,
         {"out/", "out/IU.ANMO.00.BHZ.2012-03-12-2028.fap"},
         "OK (Writing"},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir() / "out");
        writeFile(dir() / "in.pz", c.input);
        std::vector<std::string> arguments{"IN=in.pz", "OUT=out/"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const RunResult result = runKalvert(arguments, dir());
        EXPECT_EQ(result.status, c.status) << c.why << "\n" << result.output;
        EXPECT_NE(result.output.find(c.said), std::string::npos) << c.why << "\n" << result.output;
        std::set<std::string> expected = c.after;
        expected.insert({"in.pz", "deep/", "deep/er/"});
        EXPECT_EQ(tree(dir()), expected) << c.why;
        EXPECT_EQ(tree(scratch.path()).size(), tree(dir()).size() + 1) << c.why;  // nothing beside work/
    }
}

// A link, a FIFO or a folder at a name the run will write is never written
// through, and nothing else is written either; a regular file is replaced whole.
TEST_F(SafeOutput, WhatStandsAtANameAndAllOrNothing)
{
    const std::string three =
        section("IU", "ANMO", "00", "BHZ") + section("IU", "COR", "00", "BHZ") + section("IU", "TUC", "00", "BHZ");
    writeFile(dir() / "in.pz", three);
    writeFile(scratch.path() / "secret", "secret\n");
    const fs::path out = dir() / "out";
    const std::string second = "IU.COR.00.BHZ.2012-03-12-2028.fap";
    const auto refusedAndUntouched = [&](const char* why) {
        const RunResult result = runKalvert({"IN=in.pz", "OUT=out/", "FORMAT=CSS"}, dir(), {"LANG=C.UTF-8"}, 30);
        EXPECT_EQ(result.status, 251) << why << "\n" << result.output;
        EXPECT_NE(result.output.find("something other than a regular file stands at that name"), std::string::npos)
            << why;
        EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator{}), 1) << why;
        EXPECT_EQ(readFile(scratch.path() / "secret"), "secret\n") << why;
    };
    fs::create_directories(out);
    fs::create_symlink(scratch.path() / "secret", out / second);
    refusedAndUntouched("a link");
    fs::remove(out / second);
    ASSERT_EQ(::mkfifo((out / second).c_str(), 0600), 0);
    refusedAndUntouched("a FIFO");
    fs::remove(out / second);
    fs::create_directory(out / second);
    refusedAndUntouched("a folder");
    fs::remove(out / second);

    writeFile(out / second, std::string(100000, 'x'));
    RunResult result = runKalvert({"IN=in.pz", "OUT=out/", "FORMAT=CSS"}, dir());
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(readFile(out / second).substr(0, 16), "# IU.COR.00.BHZ ");
    EXPECT_LT(fs::file_size(out / second), 100000u);
    // Standard files are for everyone who reads the folder: 0666 less the umask.
    const mode_t umaskNow = ::umask(0);
    ::umask(umaskNow);
    struct stat info {};
    ASSERT_EQ(::stat((out / second).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~umaskNow);

    // A full disk, simulated by the file-size limit: nothing new, nothing changed, no folder left.
    fs::remove_all(out);
    RunSetup limited;
    limited.fileSize = 4096;
    result = runKalvert({"IN=in.pz", "OUT=out/", "FORMAT=CSS"}, dir(), limited);
    EXPECT_EQ(result.status, 250) << result.output;
    EXPECT_FALSE(fs::exists(out));
    result = runKalvert({"IN=in.pz", "OUT=no/such/folder/x.gse", "FORMAT=GSE2.1"}, dir());
    EXPECT_EQ(result.status, 251);
    EXPECT_NE(result.output.find("ERROR: Coundn't create (no/such/folder/x.gse): no such folder"), std::string::npos)
        << result.output;
}

}  // namespace
}  // namespace kalvert::testing
