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

// A one-channel StationXML document with the given network and channel codes
// (as XML attribute text) and sensor description.
std::string stationXml(const std::string& network, const std::string& channel, const std::string& description = "")
{
    return "<?xml version=\"1.0\"?>\n<FDSNStationXML xmlns=\"http://www.fdsn.org/xml/station/1\"><Network code=\"" +
           network + "\"><Station code=\"TEST\"><Channel code=\"" + channel +
           "\" locationCode=\"\" startDate=\"2020-01-01T00:00:00\"><Sensor><Description>" + description +
           "</Description></Sensor><SampleRate>100</SampleRate><Response><Stage number=\"1\"><PolesZeros>"
           "<InputUnits><Name>M/S</Name></InputUnits><OutputUnits><Name>COUNTS</Name></OutputUnits>"
           "<PzTransferFunctionType>LAPLACE (RADIANS/SECOND)</PzTransferFunctionType><NormalizationFactor>1"
           "</NormalizationFactor><NormalizationFrequency>1</NormalizationFrequency><Pole><Real>-0.1</Real>"
           "<Imaginary>0</Imaginary></Pole></PolesZeros><StageGain><Value>1000</Value><Frequency>1</Frequency>"
           "</StageGain></Stage></Response></Channel></Station></Network></FDSNStationXML>\n";
}

// The run never writes over its inputs or a read-only file, writes no
// unchecked byte, shows none, and stays bounded: each case in a folder of its
// own, with what its files hold afterwards compared byte for byte.
TEST_F(SafeOutput, RunSafety)
{
    const std::string anmo = section("IU", "ANMO", "00", "BHZ");
    const std::string anmoName = "IU.ANMO.00.BHZ.2012-03-12-2028.fap";
    const std::string xml = readFile(testData("stationxml/IUANMO.xml"));
    std::string deep = "<FDSNStationXML>";
    for (int i = 0; i < 200000; ++i) deep += "<a>";
    struct Case {
        const char* why;
        std::vector<std::pair<std::string, std::string>> files;  ///< name and bytes, before and after
        std::vector<std::string> arguments;
        int status;
        std::string said;
        std::vector<std::string> written{};  ///< names the run adds
        std::vector<std::string> readOnly{};
    };
    const std::vector<Case> cases = {
        {"a folder run's message over its input", {{"in/anmo.xml", xml}, {"in/b.pz", anmo}},
         {"IN=in", "OUT=in/anmo.xml", "FORMAT=GSE2.1"}, 251, "Coundn't create (in/anmo.xml)"},
        {"a folder run's file over an input of that name", {{"in/" + anmoName, anmo}}, {"IN=in", "OUT=in/", "FORMAT=CSS"},
         251, "Coundn't create (in/" + anmoName + ")"},
        {"a folder run's file over an input through ./", {{"in/" + anmoName, anmo}},
         {"IN=./in/", "OUT=./in/./", "FORMAT=CSS"}, 251, "Coundn't create"},
        {"a read-only file at a target", {{"in.pz", anmo}, {"out/" + anmoName, "kept\n"}},
         {"IN=in.pz", "OUT=out/", "FORMAT=CSS"}, 251, "(out/" + anmoName + "): the file there is read-only", {},
         {"out/" + anmoName}},
        {"line feeds in a network code", {{"in.xml", stationXml("XX&#10;STOP&#10;BEGIN GSE2.1", "HHZ")}},
         {"IN=in.xml", "OUT=out.gse", "FORMAT=GSE2.1"}, 253, "its network code \"XX\\x0ASTOP\\x0ABEGIN\\x20GSE2.1\""},
        {"a code beyond ASCII", {{"in.xml", stationXml("X\xC3\xA9", "HHZ")}}, {"IN=in.xml", "OUT=out/", "FORMAT=CSS"}, 253,
         "its network code"},
        {"blanks around a code", {{"in.xml", stationXml("S ", "HHZ")}}, {"IN=in.xml", "OUT=out/", "FORMAT=CSS"}, 0,
         "OK (Writing", {"out/", "out/S.TEST..HHZ.2020-01-01-0000.fap"}},
        {"a line break in a description", {{"in.xml", stationXml("XX", "HHZ", "KS&#10;CAL2 forged&#13;")}},
         {"IN=in.xml", "OUT=out/", "FORMAT=CSS"}, 0, "OK (Writing", {"out/", "out/XX.TEST..HHZ.2020-01-01-0000.fap"}},
        {"a channel code of 200,000 letters", {{"in.xml", stationXml("XX", std::string(200000, 'H'))}},
         {"IN=in.xml", "OUT=out/", "FORMAT=CSS", "SECTION=0"}, 0, "XX.TEST.." + std::string(64, 'H') + "\u2026"},
        {"elements nested 200,000 deep", {{"in.xml", deep}}, {"IN=in.xml", "OUT=out/", "FORMAT=CSS"}, 253,
         "nested deeper than 64"},
        {"every response refused while converting",
         {{"in.pz", "* STATION : ANMO\n* CHANNEL : BHZ\n* START : 2012-03-12\n* INPUT UNIT : M\nZEROS 0\nPOLES 0\n"
                    "CONSTANT 1e-305\n"}},
         {"IN=in.pz", "OUT=out.gse", "FORMAT=GSE2.1", "ON_ERROR=skip"}, 253, "was refused: nothing is written"},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir());
        fs::create_directories(dir());
        std::set<std::string> before;
        for (const auto& [name, bytes] : c.files) {
            fs::create_directories((dir() / name).parent_path());
            writeFile(dir() / name, bytes);
        }
        for (const std::string& name : c.readOnly) fs::permissions(dir() / name, fs::perms::owner_read);
        const std::set<std::string> original = tree(dir());
        const RunResult result = runKalvertAtEveryThreadCount(c.arguments, dir());
        EXPECT_EQ(result.status, c.status) << c.why << "\n" << result.output.substr(0, 4000);
        EXPECT_NE(result.output.find(c.said), std::string::npos) << c.why << "\n" << result.output.substr(0, 4000);
        EXPECT_LT(result.output.size(), 8000u) << c.why;
        for (const auto& [name, bytes] : c.files) EXPECT_EQ(readFile(dir() / name), bytes) << c.why << " " << name;
        std::set<std::string> expected = original;
        expected.insert(c.written.begin(), c.written.end());
        EXPECT_EQ(tree(dir()), expected) << c.why;
        // No written line holds a byte below 0x20 other than its end.
        for (const std::string& name : c.written) {
            if (name.back() == '/') continue;
            for (const char byte : readFile(dir() / name))
                EXPECT_TRUE(byte == '\n' || static_cast<unsigned char>(byte) >= 0x20) << c.why << " " << name;
        }
    }
}

}  // namespace
}  // namespace kalvert::testing
