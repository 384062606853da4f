// SECTION=: data-centre files read by sections, with the header's identity,
// epoch and physically right units.
#include <cmath>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "end_to_end/fap_file.hpp"
#include "end_to_end/run_kalvert.hpp"

namespace kalvert::testing {
namespace {

namespace fs = std::filesystem;

class SectionRun : public ::testing::Test {
protected:
    ScratchDirectory scratch;
    const fs::path& dir() const { return scratch.path(); }

    RunResult convert(const std::string& input, std::vector<std::string> options, const std::string& output = "out.fap")
    {
        if (!fs::exists(dir() / input)) fs::copy_file(testData(input), dir() / input);
        options.insert(options.begin(), {"IN=" + input, "OUT=" + output});
        return runKalvert(options, dir());
    }

    FapFile read(const std::string& output = "out.fap")
    {
        FapFile file;
        std::string error;
        EXPECT_TRUE(parseFapFile(readFile(dir() / output), file, error)) << error;
        return file;
    }
};

std::string checkingLines(const std::string& input)
{
    return runPreamble() + "Trying to read input file (" + input + ")\nOK (Reading input file)\nChecking data (" +
           input + ")\n";
}

// The stated sensitivity, in counts per m/s, comes back at the frequency
// where A0 normalises the velocity response.
TEST_F(SectionRun, StatedSensitivityRecoveredAtTheNormalisationFrequency)
{
    struct Case {
        std::string file;
        std::string band;
        double sensitivity;
        std::string times;
    };
    const Case cases[] = {
        {"IU.ANMO.00.BHZ.tabs.sacpz", "FREQ=0.02;1", 8.115480e+08, "2002/11/19 21:07 2008/06/30 00:00"},
        {"IU.ANMO.00.BHZ.obspy.sacpz", "FREQ=0.02;1", 3275080000.0, "2012/03/12 20:28 "},
        {"II.OBN.00.BHZ.crlf.sacpz", "FREQ=0.05;1", 5.121250e+08, "1989/02/19 00:00 1998/06/17 23:59"},
        {"II.OBN.00.BHZ.hash-comments.sacpz", "FREQ=0.05;1", 5.121250e+08, "1989/02/19 00:00 1998/06/17 23:59"},
    };
    for (const Case& c : cases) {
        const RunResult result = convert(c.file, {"SECTION=1", "TYPE_OUT=1,0,-9", c.band, "NPOINTS=0"});
        ASSERT_EQ(result.status, 0) << result.output;
        const FapFile file = read();
        ASSERT_EQ(file.rows.size(), 1u) << c.file;
        EXPECT_NEAR(file.rows[0].amplitude / (c.sensitivity * 1e-9), 1.0, 1e-3) << c.file;
        EXPECT_EQ(file.unit, "Count/(nM/sec)") << c.file;
        EXPECT_EQ(file.network + "." + file.station + "." + file.location + "." + file.channel,
                  c.file.substr(0, c.file.find(".BHZ") + 4))
            << c.file;
        EXPECT_EQ(file.times, c.times) << c.file;
    }
}

TEST_F(SectionRun, ASectionAloneEqualsItsChannelsOwnFile)
{
    ASSERT_EQ(convert("IU.ANMO.BH.multi-epoch.sacpz", {"SECTION=3", "-logX", "NPOINTS=20"}, "multi.fap").status, 0);
    ASSERT_EQ(convert("IU.ANMO.00.BHZ.obspy.sacpz", {"SECTION=1", "-logX", "NPOINTS=20"}, "single.fap").status, 0);
    EXPECT_EQ(readFile(dir() / "multi.fap"), readFile(dir() / "single.fap"));

    // CONSTANT per nanometre (NEIC) against the same channel's rdseed file per metre.
    ASSERT_EQ(convert("NZ.CRLZ.10.HHZ.constant-first.pz", {"SECTION=1", "-logX", "NPOINTS=9"}, "nm.fap").status, 0);
    ASSERT_EQ(convert("NZ.CRLZ.HHZ.implicit-zeros.sacpz", {"SECTION=1", "TYPE_IN=0", "-logX", "NPOINTS=9"}, "m.fap")
                  .status,
              0);
    const FapFile perNanometre = read("nm.fap");
    const FapFile perMetre = read("m.fap");
    ASSERT_EQ(perNanometre.rows.size(), perMetre.rows.size());
    for (std::size_t i = 0; i < perMetre.rows.size(); ++i)
        EXPECT_NEAR(perNanometre.rows[i].amplitude / perMetre.rows[i].amplitude, 1.0, 1e-3) << i;
}

TEST_F(SectionRun, ListsRefusalsAndWarnings)
{
    writeFile(dir() / "out.fap", "old\n");
    const RunResult list = convert("IU.ANMO.BH.multi-epoch.sacpz", {"SECTION=0"});
    EXPECT_EQ(list.output, checkingLines("IU.ANMO.BH.multi-epoch.sacpz") +
                               "(IU.ANMO.BH.multi-epoch.sacpz) holds 9 sections:\n"
                               "    1  IU.ANMO.00.BH1  2012/03/12 20:28 to open\n"
                               "    2  IU.ANMO.00.BH2  2012/03/12 20:28 to open\n"
                               "    3  IU.ANMO.00.BHZ  2012/03/12 20:28 to open\n"
                               "    4  IU.ANMO.10.BH1  2012/03/13 08:10 to 2014/08/12 00:00\n"
                               "    5  IU.ANMO.10.BH1  2014/08/12 00:00 to open\n"
                               "    6  IU.ANMO.10.BH2  2012/03/13 08:10 to 2014/08/12 00:00\n"
                               "    7  IU.ANMO.10.BH2  2014/08/12 00:00 to open\n"
                               "    8  IU.ANMO.10.BHZ  2012/03/13 08:10 to 2014/08/12 00:00\n"
                               "    9  IU.ANMO.10.BHZ  2014/08/12 00:00 to open\n");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(readFile(dir() / "out.fap"), "old\n");

    const RunResult pressure = convert("OO.AXBA1..HDH.hydrophone.sacpz", {"SECTION=1"});
    EXPECT_EQ(pressure.output, checkingLines("OO.AXBA1..HDH.hydrophone.sacpz") +
                                   "ERROR: Section 1 OO.AXBA1..HDH has INPUT UNIT PASCAL, not a ground motion (M, "
                                   "NM, M/S, M/S**2 ...) (OO.AXBA1..HDH.hydrophone.sacpz)\n");
    EXPECT_EQ(pressure.status, 253);

    const RunResult noUnit = convert("KARC.BHZ.sacpz", {"SECTION=1"});
    EXPECT_NE(noUnit.output.find("Checking data (KARC.BHZ.sacpz)\nWARNING: Section 1 (no header) states no INPUT "
                                 "UNIT: read as velocity (TYPE_IN=1)\nOK (Checking data)\n"),
              std::string::npos);
    EXPECT_EQ(noUnit.status, 0);

    const RunResult contradicted = convert("IU.ANMO.00.BHZ.obspy.sacpz", {"SECTION=1", "TYPE_IN=1"});
    EXPECT_NE(contradicted.output.find("WARNING: TYPE_IN=1 contradicts INPUT UNIT M of Section 1 IU.ANMO.00.BHZ: "
                                       "read as displacement\nOK (Checking data)\n"),
              std::string::npos);

    std::string edited = readFile(testData("IU.ANMO.00.BHZ.tabs.sacpz"));
    edited.replace(edited.find("CONSTANT\t6.985619e+13"), 21, "CONSTANT\t7.985619e+13");
    writeFile(dir() / "edited.pz", edited);
    const RunResult inconsistent = convert("edited.pz", {"SECTION=1"});
    EXPECT_NE(inconsistent.output.find("WARNING: Section 1 IU.ANMO.00.BHZ: CONSTANT 7.985619e+13 differs from A0 x "
                                       "SENSITIVITY 6.985619e+13 by 1.16 dB\n"),
              std::string::npos)
        << inconsistent.output;
    EXPECT_EQ(inconsistent.status, 0);
}

}  // namespace
}  // namespace kalvert::testing
