#include "response/pole_zero_reader.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kalvert {
namespace {

struct Read {
    PoleZeroModel model;
    StationInfo info;
};

Read readText(const std::string& text)
{
    Read read;
    readPoleZeroText(text, read.model, read.info);
    return read;
}

::testing::AssertionResult listIs(const std::vector<Complex>& list, const std::vector<Complex>& expected)
{
    if (list.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << list.size() << ", expected " << expected.size();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].re != expected[i].re || list[i].im != expected[i].im)
            return ::testing::AssertionFailure() << "entry " << i << " is (" << list[i].re << ", " << list[i].im
                                                 << "), expected (" << expected[i].re << ", " << expected[i].im << ")";
    return ::testing::AssertionSuccess();
}

TEST(PoleZeroReader, ReadsAnIrisStyleFile)
{
    const Read read = readText("* NETWORK   (KNETWK): IU\n"
                               "ZEROS\t3\n"
                               "\t+0.000000e+00\t+0.000000e+00\t\n"
                               "\t+0.000000e+00\t+0.000000e+00\t\n"
                               "\t+0.000000e+00\t+0.000000e+00\t\n"
                               "POLES\t2\n"
                               "\t-5.943130e+01\t+0.000000e+00\t\n"
                               "\t-2.271210e+01\t+2.710650e+01\t\n"
                               "CONSTANT\t6.985619e+13\n\n\n");
    EXPECT_EQ(read.model.nzeros, 3);
    EXPECT_EQ(read.model.npoles, 2);
    EXPECT_TRUE(listIs(read.model.zeros, {{0, 0}, {0, 0}, {0, 0}}));
    EXPECT_TRUE(listIs(read.model.poles, {{-59.4313, 0}, {-22.7121, 27.1065}}));
    EXPECT_EQ(read.model.constant, 6.985619e13);
    EXPECT_EQ(read.info.network, "");  // "*" header lines are no comments
}

TEST(PoleZeroReader, ZerosAreFilledUpAndPolesAreNot)
{
    const Read noZeroLines = readText("ZEROS 3\nPOLES 4\n-1 0\n-2 0\n-3 0\n-4 0\n");
    EXPECT_TRUE(listIs(noZeroLines.model.zeros, {{0, 0}, {0, 0}, {0, 0}}));
    EXPECT_TRUE(listIs(noZeroLines.model.poles, {{-1, 0}, {-2, 0}, {-3, 0}, {-4, 0}}));

    const Read oneZeroLine = readText("ZEROS 2\n-1.5 0.25\nPOLES 3\n-1 2\n");
    EXPECT_TRUE(listIs(oneZeroLine.model.zeros, {{-1.5, 0.25}, {0, 0}}));
    EXPECT_TRUE(listIs(oneZeroLine.model.poles, {{-1, 2}}));
    EXPECT_EQ(oneZeroLine.model.npoles, 3);
}

TEST(PoleZeroReader, ExtraValueLinesAreIgnoredAndSectionOrderIsFree)
{
    const Read read = readText("POLES 1\n-1 1\n-9 9\nZEROS 1\n-2 2\n-8 8\n");
    EXPECT_TRUE(listIs(read.model.poles, {{-1, 1}}));
    EXPECT_TRUE(listIs(read.model.zeros, {{-2, 2}}));
}

TEST(PoleZeroReader, ScratchValueCarriesOverBetweenLinesAndSections)
{
    // A line with only the real part keeps the previous imaginary part, even
    // one from the other section; a line with no number repeats the value.
    const Read read = readText("POLES 2\n-1 7\n-3\nZEROS 3\n-5\nxyz\n");
    EXPECT_TRUE(listIs(read.model.poles, {{-1, 7}, {-3, 7}}));
    EXPECT_TRUE(listIs(read.model.zeros, {{-5, 7}, {-5, 7}, {0, 0}}));
}

TEST(PoleZeroReader, SeparatorsBetweenTheTwoNumbers)
{
    // Exactly one character of any kind, then white space.
    struct Case {
        const char* line;
        Complex expected;
    };
    const Case cases[] = {
        {"-1 2", {-1, 2}},    {"-1    2", {-1, 2}}, {"-1\t2", {-1, 2}},   {"-1,2", {-1, 2}},
        {"  -1 2", {-1, 2}},  {"-1 ,2", {-1, 0}},   {"-1", {-1, 0}},      {"-1;  2e1", {-1, 20}},
    };
    for (const Case& c : cases) {
        const Read read = readText(std::string("ZEROS 1\n") + c.line + "\nPOLES 0\n");
        EXPECT_TRUE(listIs(read.model.zeros, {c.expected})) << c.line;
    }
}

TEST(PoleZeroReader, CrLfLinesKeepTheirCarriageReturn)
{
    // A CR-only line counts as a value (a copy of the scratch value).
    const Read read = readText("ZEROS 3\r\n-2 1\r\n\r\n-4 3\r\nPOLES 1\r\n-1 0\r\nCONSTANT 2.5\r\n");
    EXPECT_TRUE(listIs(read.model.zeros, {{-2, 1}, {-2, 1}, {-4, 3}}));
    EXPECT_EQ(read.model.constant, 2.5);
}

TEST(PoleZeroReader, RepeatedSectionAppendsToTheSameList)
{
    const Read read = readText("ZEROS 2\n-1 0\nPOLES 1\n-5 0\nZEROS 2\n-2 0\n");
    // Only the last section's shortfall is filled up, at the end of the text.
    EXPECT_TRUE(listIs(read.model.zeros, {{-1, 0}, {-2, 0}, {0, 0}}));
}

TEST(PoleZeroReader, CountsComeFromTheFirstKeywordAnywhere)
{
    // A comment naming ZEROS first: no digits six characters after it.
    const Read fromComment = readText("# ZEROS are listed below\nZEROS 2\n-1 0\n-2 0\nPOLES 1\n-3 0\n");
    EXPECT_EQ(fromComment.model.nzeros, 0);
    EXPECT_TRUE(fromComment.model.zeros.empty());

    const Read countInComment = readText("# ZEROS 1\nZEROS 3\n-1 0\n-2 0\nPOLES 1\n-3 0\n");
    EXPECT_EQ(countInComment.model.nzeros, 1);
    EXPECT_TRUE(listIs(countInComment.model.zeros, {{-1, 0}}));

    // The count's separator may be the line feed ending the keyword's line.
    const Read countOnNextLine = readText("ZEROS\n2\nPOLES\t 4\n");
    EXPECT_EQ(countOnNextLine.model.nzeros, 2);
    EXPECT_EQ(countOnNextLine.model.npoles, 4);  // white space before the digits is skipped
    EXPECT_TRUE(listIs(countOnNextLine.model.zeros, {{2, 0}, {0, 0}}));  // the count's own line is a value
    EXPECT_EQ(readText("POLES 1\nZEROS").model.nzeros, 0);  // the text ends before the count
}

TEST(PoleZeroReader, ConstantIsReadNineCharactersIntoItsLine)
{
    struct Case {
        const char* line;
        double expected;
    };
    const Case cases[] = {
        {"CONSTANT 2.5e10", 2.5e10},  {"CONSTANT\t2.5e10", 2.5e10},        {" CONSTANT 2.5e10", 2.5e10},
        {"  CONSTANT 2.5e10", 0.0},   {"CONSTANT", 0.0},                   {"CONSTANT 7", 7.0},
        {"CONSTANT x", 0.0},          {"CONSTANT              4.5e3", 4.5e3}, {"Constant 3", 1.0},
    };
    for (const Case& c : cases) {
        const Read read = readText(std::string("ZEROS 0\nPOLES 0\n") + c.line + "\n");
        EXPECT_EQ(read.model.constant, c.expected) << c.line;
    }
    EXPECT_EQ(readText("ZEROS 0\nPOLES 0\n").model.constant, 1.0);
}

TEST(PoleZeroReader, ConstantLineInsideAnOpenSectionAlsoCountsAsAValue)
{
    const Read read = readText("ZEROS 0\nPOLES 2\n-1 3\nCONSTANT 5\n");
    EXPECT_EQ(read.model.constant, 5.0);
    // "CONSTANT 5" reads no number at its start: the scratch value repeats.
    EXPECT_TRUE(listIs(read.model.poles, {{-1, 3}, {-1, 3}}));
}

TEST(PoleZeroReader, CommentLinesLoseTheirLastCharacter)
{
    EXPECT_EQ(readText("# Station ABC\r\nZEROS 0\r\nPOLES 0\r\n").info.station, "ABC");
    EXPECT_EQ(readText("# Station ABC\nZEROS 0\nPOLES 0\n").info.station, "AB");
    EXPECT_EQ(readText("# Station\r\nZEROS 0\nPOLES 0\n").info.station, "");
    // With LF line ends a bare key loses its own last letter and sets nothing.
    StationInfo info;
    info.station = "KEEP";
    PoleZeroModel model;
    readPoleZeroText("# Station\nZEROS 0\nPOLES 0\n", model, info);
    EXPECT_EQ(info.station, "KEEP");
    // Only one character after the key goes.
    EXPECT_EQ(readText("# Station: ABC\r\nZEROS 0\nPOLES 0\n").info.station, " ABC");
    EXPECT_EQ(readText("# station ABC\r\nZEROS 0\nPOLES 0\n").info.station, "");
}

TEST(PoleZeroReader, CommentKeysFillFieldsCutToTheirCapacity)
{
    const Read read = readText("# Station LONGSTATION\r\n"
                               "# Channel BHZ\r\n"
                               "# Network IIXX # Time 2001-01-01T00:00:00 / 2002-02-02T00:00:00 and more\r\n"
                               "# Location 00\r\n"
                               "ZEROS 0\r\nPOLES 0\r\n"
                               "# Channel HHZ\r\n");
    EXPECT_EQ(read.info.station, "LONGSTA");
    EXPECT_EQ(read.info.channel, "HHZ");  // the later line wins
    EXPECT_EQ(read.info.network, "IIX");  // cut, yet the Time key is still found after it
    EXPECT_EQ(read.info.location, "00");
    EXPECT_EQ(read.info.timeText, "2001-01-01T00:00:00 / 2002-02-02T00:00:");
}

TEST(PoleZeroReader, ValueLineWithARemarkIsAComment)
{
    const Read read = readText("ZEROS 2\n-1 0 # first\n-2 0\nPOLES 0\n");
    EXPECT_TRUE(listIs(read.model.zeros, {{-2, 0}, {0, 0}}));
}

TEST(PoleZeroReader, TextEndsAtItsFirstNulByte)
{
    const std::string text("ZEROS 1\n-1 0\nPOLES 1\n-2 0\n\0-3 0\n", 32);
    const Read read = readText(text);
    EXPECT_TRUE(listIs(read.model.poles, {{-2, 0}}));
}

TEST(PoleZeroReader, RefusesAZeroCountNoListCouldHold)
{
    PoleZeroModel model;
    StationInfo info;
    EXPECT_THROW(readPoleZeroText("ZEROS 2000000000\nPOLES 0\n", model, info), std::length_error);
}

}  // namespace
}  // namespace kalvert
