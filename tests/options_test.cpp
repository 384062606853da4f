#include "app/options.hpp"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace kalvert {
namespace {

ParsedOptions parse(std::vector<std::string> options)
{
    std::vector<std::string> arguments{"kalvert", "IN=a.pz", "OUT=a.fap"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return parseOptions(arguments);
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
        const ParsedOptions parsed = parse({c.argument});
        EXPECT_EQ(parsed.request.grid.freqLow, c.low == keep ? 0.001 : c.low) << c.argument;
        EXPECT_EQ(parsed.request.grid.freqHigh, c.high == keep ? 20.0 : c.high) << c.argument;
        EXPECT_EQ(parsed.bandsRefused, c.refused ? 1 : 0) << c.argument;
    }
    const ParsedOptions infinite = parse({"FREQ=inf;nan"});
    EXPECT_EQ(infinite.request.grid.freqLow, std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(infinite.request.grid.freqHigh));
    // A refused band leaves an earlier one in place.
    EXPECT_EQ(parse({"FREQ=1;2", "FREQ=3:4"}).request.grid.freqHigh, 2.0);
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
    for (const Case& c : cases) EXPECT_EQ(parse({c.argument}).request.grid.npoints, c.npoints) << c.argument;
    EXPECT_EQ(parse({"NPOINTS=5", "NPOINTS=9"}).request.grid.npoints, 9);
}

TEST(Options, SwitchesAndTypes)
{
    EXPECT_TRUE(parse({"-logX"}).request.grid.logX);
    EXPECT_TRUE(parse({"-LOGX"}).request.grid.logX);
    EXPECT_TRUE(parse({"/logx"}).request.grid.logX);
    EXPECT_FALSE(parse({"-logX=1"}).request.grid.logX);
    EXPECT_FALSE(parse({"--logX"}).request.grid.logX);
    EXPECT_FALSE(parse({"logX"}).request.grid.logX);

    const ParsedOptions types = parse({"Type_Out=gse2", "type_in=0"});
    EXPECT_EQ(types.request.typeOut, "gse2");
    EXPECT_EQ(types.request.typeIn, "0");
    EXPECT_EQ(parse({"TYPE_OUT="}).request.typeOut, "");
    EXPECT_EQ(parse({"TYPE_OUT=0,1,-6,0000000000000"}).request.typeOut, "0,1,-6,00000000");
    EXPECT_EQ(parse({"TYPE_IN=123456789012345678"}).request.typeIn, "123456789012345");
    EXPECT_EQ(parse({"SOMETHING=else", "-x"}).bandsRefused, 0);

    // FORMAT= and CALPER= are read into their types once.
    EXPECT_EQ(parse({"format=gse2.1"}).request.format, findOutputFormat("GSE2.1"));
    EXPECT_EQ(parse({"FORMAT=GSE3"}).request.format, nullptr);
    EXPECT_EQ(parse({"CALPER=2.5"}).request.calper, 2.5);
    for (const char* bad : {"CALPER=0", "CALPER=1000", "CALPER=1s", "CALPER=", "CALPER=nan"})
        EXPECT_FALSE(parse({bad}).request.calper) << bad;
}

TEST(Options, HelpKeysStopTheParser)
{
    for (const char* key : {"--help", "-help", "/help", "help", "--h", "-h", "/h", "--?", "-?", "/?", "HELP", "-H", "/Help"}) {
        const ParsedOptions parsed = parse({"NPOINTS=5", key, "NPOINTS=9", "FREQ=1:2"});
        EXPECT_TRUE(parsed.helpAsked) << key;
        EXPECT_EQ(parsed.request.grid.npoints, 5) << key;
        EXPECT_EQ(parsed.bandsRefused, 0) << key;
    }
    EXPECT_FALSE(parse({"-help=1"}).helpAsked);
    EXPECT_FALSE(parse({"--helpme"}).helpAsked);
}

}  // namespace
}  // namespace kalvert
