// Dataless SEED volumes through the whole run: each channel epoch gives the
// tables of its RESP twin, and a volume that cannot be followed is refused.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "end_to_end/run_kalvert.hpp"

namespace kalvert::testing {
namespace {

namespace fs = std::filesystem;

// The rows of a CSS file: frequency, amplitude, phase.
std::vector<std::vector<double>> cssRows(const fs::path& path)
{
    std::istringstream text(readFile(path));
    std::string line;
    while (std::getline(text, line) && line.find(" theoretical") == std::string::npos) {
    }
    std::getline(text, line);  // the count
    std::vector<std::vector<double>> rows;
    while (std::getline(text, line)) {
        std::istringstream row(line);
        double frequency = 0.0;
        double amplitude = 0.0;
        double phase = 0.0;
        if (row >> frequency >> amplitude >> phase) rows.push_back({frequency, amplitude, phase});
    }
    return rows;
}

// A volume and the RESP file of the same channel give the same tables:
// byte for byte where the RESP text keeps every digit, within 1e-5 of the
// peak where it rounds FIR taps to 7 digits (deep in the stop band).
TEST(DatalessRun, EveryChannelGivesItsRespTwinsTable)
{
    struct Twin {
        const char* volume;
        const char* resp;
        const char* table;
        double tolerance;  ///< of the peak amplitude; 0: the same bytes
    };
    const Twin twins[] = {
        {"dataless/IUANMO.dataless", "resp/IUANMO.resp", "IU.ANMO.00.LHZ.2008-06-30-2000.fap", 0.0},
        {"dataless/dataless.seed.BW_FURT", "resp/RESP.BW.FURT..EHZ", "BW.FURT..EHZ.2001-01-01-0000.fap", 1e-5},
    };
    for (const Twin& twin : twins) {
        ScratchDirectory scratch;
        const fs::path dir = scratch.path();
        fs::copy_file(testData(twin.volume), dir / "volume");
        fs::copy_file(testData(twin.resp), dir / "resp");
        ASSERT_EQ(runKalvert({"IN=volume", "OUT=a/", "FORMAT=CSS"}, dir).status, 0) << twin.volume;
        ASSERT_EQ(runKalvert({"IN=resp", "OUT=b/", "FORMAT=CSS"}, dir).status, 0) << twin.resp;
        const fs::path a = dir / "a" / twin.table;
        const fs::path b = dir / "b" / twin.table;
        const std::string tableA = readFile(a);
        const std::string tableB = readFile(b);
        if (twin.tolerance == 0.0) {
            EXPECT_EQ(tableA.substr(tableA.find(" theoretical")), tableB.substr(tableB.find(" theoretical")));
            continue;
        }
        const auto rowsA = cssRows(a);
        const auto rowsB = cssRows(b);
        ASSERT_EQ(rowsA.size(), rowsB.size());
        double peak = 0.0;
        for (const auto& row : rowsB) peak = std::max(peak, row[1]);
        for (std::size_t i = 0; i < rowsA.size(); ++i) {
            EXPECT_EQ(rowsA[i][0], rowsB[i][0]);
            EXPECT_NEAR(rowsA[i][1], rowsB[i][1], twin.tolerance * peak) << rowsA[i][0];
            EXPECT_NEAR(rowsA[i][2], rowsB[i][2], 0.01) << rowsA[i][0];
        }
    }
    // Every real volume converts, or refuses exactly what the rules refuse.
    ScratchDirectory scratch;
    for (const char* volume : {"AI.ESPZ._.BH_.dataless", "arclink_full.seed", "dataless.seed.BW_FURT",
                               "IUANMO.dataless", "B62B52NonUnity.dataless"}) {
        fs::copy_file(testData(std::string("dataless/") + volume), scratch.path() / volume);
        const RunResult result = runKalvert({"IN=" + std::string(volume), "OUT=out/", "FORMAT=CSS"}, scratch.path());
        const bool massPosition = std::string(volume).rfind("B62", 0) == 0;  // V in, a polynomial
        EXPECT_EQ(result.status, massPosition ? 253 : 0) << volume << "\n" << result.output;
        EXPECT_EQ(runKalvert({"IN=" + std::string(volume), "OUT=out.xml", "FORMAT=StationXML"}, scratch.path()).status, 0)
            << volume;
    }
}

std::string replaced(std::string bytes, const std::string& from, const std::string& to)
{
    const std::size_t at = bytes.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? bytes : bytes.replace(at, from.size(), to);
}

// Crafted defects: what cannot be followed refuses the volume, what cannot
// be read as SEED states it refuses its channel epoch.
TEST(DatalessRun, DefectsAreRefused)
{
    const std::string furt = readFile(testData("dataless/dataless.seed.BW_FURT"));
    const std::string anmo = readFile(testData("dataless/IUANMO.dataless"));
    const std::string arclink = readFile(testData("dataless/arclink_full.seed"));
    constexpr std::size_t record = 4096;
    std::string noContinuation = furt;
    noContinuation[3 * record + 7] = ' ';
    struct Case {
        const char* defect;
        std::string volume;
        int status;
        std::string said;
    };
    const Case cases[] = {
        {"a volume cut inside a blockette", furt.substr(0, 4 * record + 100), 253, "ends inside a blockette"},
        {"a continuation missing", noContinuation, 253, "does not continue the blockette"},
        {"an unknown blockette", replaced(anmo, "0580035", "0990035"), 253,
         "B099 is no blockette of SEED's control headers"},
        {"a B060 key no dictionary entry holds", replaced(arclink, "060  53 3 1 2   1", "060  53 3 1 29999"), 253,
         "key 9999 names no entry of the volume's dictionary"},
        {"a unit code not in B034", replaced(anmo, "A01001002+8.62829E+04", "A01009002+8.62829E+04"), 253,
         "unit code 9 is not in the volume's B034 dictionary"},
        {"a number that is not one", replaced(anmo, "+8.62829E+04", "+8.62O29E+04"), 253, "\"+8.62O29E+04\" is not a number"},
        {"the volume as it is", anmo, 0, "OK (Writing"},
    };
    for (const Case& c : cases) {
        ScratchDirectory scratch;
        writeFile(scratch.path() / "volume", c.volume);
        const RunResult result = runKalvertAtEveryThreadCount({"IN=volume", "OUT=out/", "FORMAT=CSS"}, scratch.path());
        EXPECT_EQ(result.status, c.status) << c.defect << "\n" << result.output;
        EXPECT_NE(result.output.find(c.said), std::string::npos) << c.defect << "\n" << result.output;
        EXPECT_EQ(fs::exists(scratch.path() / "out"), c.status == 0) << c.defect;
    }
}

}  // namespace
}  // namespace kalvert::testing
