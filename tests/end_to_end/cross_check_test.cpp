// The tool's tables against a second, independent evaluation of the same
// real responses: its own reading of the file, std::complex<long double>,
// the product of (s - z) / (s - p) times the constant. Agreement is required
// to the precision the text carries. Also the physics: the displacement
// response at the normalisation frequency equals the stated sensitivity.
#include <cmath>
#include <complex>
#include <filesystem>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "end_to_end/fap_file.hpp"
#include "end_to_end/independent_response.hpp"
#include "end_to_end/run_kalvert.hpp"

namespace kalvert::testing {
namespace {

struct Converted {
    FapFile file;
    Response response;
};

Converted convert(const std::string& name, const std::vector<std::string>& options)
{
    ScratchDirectory scratch;
    std::filesystem::copy_file(testData(name), scratch.path() / "in.pz");
    std::vector<std::string> arguments{"IN=in.pz", "OUT=out.fap"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    Converted converted;
    const RunResult result = runKalvert(arguments, scratch.path());
    EXPECT_EQ(result.status, 0) << name;
    std::string error;
    EXPECT_TRUE(parseFapFile(readFile(scratch.path() / "out.fap"), converted.file, error)) << name << ": " << error;
    converted.response = readResponse(readFile(testData(name)));
    return converted;
}

const char* const singleChannelFiles[] = {
    "IU.ANMO.00.BHZ.obspy.sacpz",       "IU.ANMO.00.BHZ.tabs.sacpz",        "II.OBN.00.BHZ.crlf.sacpz",
    "II.OBN.00.BHZ.hash-comments.sacpz", "NZ.CRLZ.10.HHZ.constant-first.pz", "NZ.CRLZ.HHZ.implicit-zeros.sacpz",
    "NZ.HHZ.10.no-zero-lines.sacpz",    "KARC.BHZ.sacpz",                   "OO.AXBA1..HDH.hydrophone.sacpz",
};

constexpr int perDecade = 50;

TEST(CrossCheck, AmplitudeAndPhaseAgreeToThePrintedDigits)
{
    struct Type {
        const char* typeOut;
        bool inverse;
        int power;
    };
    // TYPE_IN equals the output's kind of motion, so the zeros are used as read.
    const Type types[] = {{"GSE2", false, -9}, {"1,1,-6", true, -6}};
    for (const char* name : singleChannelFiles) {
        for (const Type& type : types) {
            const Converted c = convert(name, {"FREQ=0.001;100", "-logX", "NPOINTS=50", std::string("TYPE_OUT=") + type.typeOut});
            ASSERT_EQ(c.file.rows.size(), 5u * perDecade + 1) << name;
            for (std::size_t i = 0; i < c.file.rows.size(); ++i) {
                const FapFile::Row& row = c.file.rows[i];
                const long double nominal = 0.001L * std::pow(10.0L, static_cast<long double>(i / perDecade)) *
                                            (1 + 9.0L * static_cast<long double>(i % perDecade) / perDecade);
                ASSERT_NEAR(row.frequency, static_cast<double>(nominal), 0.51e-7) << name << " row " << i;

                const ComplexL h = transfer(c.response, nominal);
                const long double modulus = std::abs(h) * c.response.constant;
                const long double unit = std::pow(10.0L, static_cast<long double>(type.power));
                const long double amplitude = type.inverse ? 1 / (unit * modulus) : modulus * unit;
                const double lastDigit = std::pow(10.0, row.amplitudeExponent - 7);
                EXPECT_NEAR(row.amplitude, static_cast<double>(amplitude), 0.51 * lastDigit) << name << " row " << i;

                long double phaseError = row.phase - std::arg(h);
                if (phaseError > std::numbers::pi_v<long double>) phaseError -= 2 * std::numbers::pi_v<long double>;
                if (phaseError < -std::numbers::pi_v<long double>) phaseError += 2 * std::numbers::pi_v<long double>;
                EXPECT_LE(std::fabs(static_cast<double>(phaseError)), 0.51e-7) << name << " row " << i;
            }
        }
    }
}

TEST(CrossCheck, DisplacementResponseMatchesTheStatedSensitivity)
{
    // The files state the sensitivity but not its frequency; 0.02 Hz is where
    // the data centre normalises these broadband BH channels.
    constexpr double frequency = 0.02;
    for (const char* name : {"IU.ANMO.00.BHZ.obspy.sacpz", "IU.ANMO.00.BHZ.tabs.sacpz", "II.OBN.00.BHZ.crlf.sacpz"}) {
        const Converted c = convert(name, {"TYPE_IN=0", "TYPE_OUT=0,0,0", "FREQ=0.02;1", "NPOINTS=0"});
        ASSERT_EQ(c.file.rows.size(), 1u) << name;
        ASSERT_GT(c.response.sensitivity, 0.0) << name;
        // counts per metre of displacement = counts per (m/s) × 2πf
        EXPECT_NEAR(c.file.rows[0].amplitude / (c.response.sensitivity * 2 * std::numbers::pi * frequency), 1.0, 0.01)
            << name;
        EXPECT_EQ(c.file.unit, "Count/M") << name;
    }
}

TEST(CrossCheck, HeaderColumnsOfEveryExpectedFile)
{
    for (const auto& entry : std::filesystem::directory_iterator(testData("expected"))) {
        if (entry.path().extension() != ".fap") continue;
        FapFile file;
        std::string error;
        ASSERT_TRUE(parseFapFile(readFile(entry.path()), file, error)) << entry.path() << ": " << error;
        EXPECT_EQ(file.calibration, -1.0) << entry.path();
        EXPECT_EQ(file.period, -1.0) << entry.path();
        EXPECT_NE(file.descriptor.find("FAP Triplets " + std::to_string(file.rows.size())), std::string::npos)
            << entry.path();
    }
    FapFile named;
    std::string error;
    ASSERT_TRUE(parseFapFile(readFile(testData("expected/II.OBN.00.BHZ.hash-comments.fap")), named, error)) << error;
    EXPECT_EQ(named.station, "OBN");
    EXPECT_EQ(named.channel, "BHZ");
    EXPECT_EQ(named.location, "00");
    EXPECT_EQ(named.network, "II");
    EXPECT_EQ(named.times, "1989/02/19 00:00 1998/06/17 23:59");
    EXPECT_EQ(named.unit, "mkM/Count");
    EXPECT_EQ(named.descriptor, "QTV FAP Triplets 301");
}

}  // namespace
}  // namespace kalvert::testing
