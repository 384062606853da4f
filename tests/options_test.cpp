#include "app/options.hpp"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace kalvert {
namespace {

struct Parsed {
    OutputRequest request;
    OptionsOutcome outcome;
    std::string printed;
};

Parsed parse(std::vector<std::string> options)
{
    std::vector<std::string> arguments{"kalvert", "IN=a.pz", "OUT=a.fap"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    Parsed parsed;
    parsed.request.npoints = 12345;  // the parser starts from the defaults whatever it is given
    ::testing::internal::CaptureStdout();
    parsed.outcome = parseOptions(arguments, parsed.request);
    parsed.printed = ::testing::internal::GetCapturedStdout();
    return parsed;
}

TEST(Options, Defaults)
{
    const Parsed parsed = parse({});
    EXPECT_EQ(parsed.outcome, OptionsOutcome::Proceed);
    EXPECT_EQ(parsed.request.freqLow, 0.001);
    EXPECT_EQ(parsed.request.freqHigh, 20.0);
    EXPECT_EQ(parsed.request.npoints, 300);
    EXPECT_FALSE(parsed.request.logX);
    EXPECT_EQ(parsed.request.typeIn, "1");
    EXPECT_EQ(parsed.request.typeOut, "GSE2");
    EXPECT_EQ(parsed.printed, "");
}

TEST(Options, Bands)
{
    constexpr double keep = -1.0;  // marks "the default stays"
    struct Case {
        const char* argument;
        double low, high;
        bool refused;
    };
    const Case cases[] = {
        {"FREQ=0.01;50", 0.01, 50, false},  {"FREQ=0.01,50", 0.01, 50, false},
        {"freq=0.01;50", 0.01, 50, false},  {"FREQ=0.01 ; 50", 0.01, keep, false},
        {"FREQ=;50", keep, keep, false},    {"FREQ=0.01:50;", 0.01, 50, false},
        {"FREQ=5;", 5, keep, false},        {"FREQ=0.01:50", keep, keep, true},
        {"FREQ=", keep, keep, true},        {"FREQ=1e;5", 1, 5, false},
        {"FREQ=0x10;1e1", 16, 10, false},   {"FREQ=-3,-7", -3, -7, false},
        {"FREQ=50;0.01", 50, 0.01, false},  {"FREQ=a,b", keep, keep, false},
    };
    for (const Case& c : cases) {
        const Parsed parsed = parse({c.argument});
        EXPECT_EQ(parsed.request.freqLow, c.low == keep ? 0.001 : c.low) << c.argument;
        EXPECT_EQ(parsed.request.freqHigh, c.high == keep ? 20.0 : c.high) << c.argument;
        EXPECT_EQ(parsed.printed, c.refused ? "Incorrect [FREQ=] parametr\n" : "") << c.argument;
    }
    const Parsed infinite = parse({"FREQ=inf;nan"});
    EXPECT_EQ(infinite.request.freqLow, std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(infinite.request.freqHigh));
    // A refused band leaves an earlier one in place.
    EXPECT_EQ(parse({"FREQ=1;2", "FREQ=3:4"}).request.freqHigh, 2.0);
}

TEST(Options, PointCounts)
{
    struct Case {
        const char* argument;
        int npoints;
    };
    const Case cases[] = {
        {"NPOINTS=1000", 1000}, {"npoints=7", 7},  {"NPOINTS=abc", 0},        {"NPOINTS=50x", 50},
        {"NPOINTS= -12", -12},  {"NPOINTS=", 0},   {"NPOINTS=4294967297", 1}, {"NPOINTS7", 300},
    };
    for (const Case& c : cases) EXPECT_EQ(parse({c.argument}).request.npoints, c.npoints) << c.argument;
    EXPECT_EQ(parse({"NPOINTS=5", "NPOINTS=9"}).request.npoints, 9);
}

TEST(Options, SwitchesAndTypes)
{
    EXPECT_TRUE(parse({"-logX"}).request.logX);
    EXPECT_TRUE(parse({"-LOGX"}).request.logX);
    EXPECT_TRUE(parse({"/logx"}).request.logX);
    EXPECT_FALSE(parse({"-logX=1"}).request.logX);
    EXPECT_FALSE(parse({"--logX"}).request.logX);
    EXPECT_FALSE(parse({"logX"}).request.logX);

    const Parsed types = parse({"Type_Out=gse2", "type_in=0"});
    EXPECT_EQ(types.request.typeOut, "gse2");
    EXPECT_EQ(types.request.typeIn, "0");
    EXPECT_EQ(parse({"TYPE_OUT="}).request.typeOut, "");
    EXPECT_EQ(parse({"TYPE_OUT=0,1,-6,0000000000000"}).request.typeOut, "0,1,-6,00000000");
    EXPECT_EQ(parse({"TYPE_IN=123456789012345678"}).request.typeIn, "123456789012345");
    EXPECT_EQ(parse({"SOMETHING=else", "-x"}).printed, "");
}

TEST(Options, HelpKeysStopTheParser)
{
    for (const char* key : {"--help", "-help", "/help", "help", "--h", "-h", "/h", "--?", "-?", "/?", "HELP", "-H", "/Help"}) {
        const Parsed parsed = parse({"NPOINTS=5", key, "NPOINTS=9", "FREQ=1:2"});
        EXPECT_EQ(parsed.outcome, OptionsOutcome::HelpAsked) << key;
        EXPECT_EQ(parsed.request.npoints, 5) << key;
        EXPECT_EQ(parsed.printed.find("Incorrect"), std::string::npos) << key;
        EXPECT_NE(parsed.printed.find("kalvert.exe IN=SAC_file OUT=FAP_file"), std::string::npos) << key;
    }
    EXPECT_EQ(parse({"-help=1"}).outcome, OptionsOutcome::Proceed);
    EXPECT_EQ(parse({"--helpme"}).outcome, OptionsOutcome::Proceed);
}

TEST(Options, InAndOutArgumentsAreVisitedLikeOthers)
{
    std::vector<std::string> arguments{"kalvert", "IN=/?", "OUT=x"};
    OutputRequest request;
    EXPECT_EQ(parseOptions(arguments, request), OptionsOutcome::Proceed);
}

}  // namespace
}  // namespace kalvert
