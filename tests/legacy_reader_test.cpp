#include "readers/legacy_reader.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kalvert {
namespace {

const PoleZeroStage& stageOf(const ChannelResponse& response)
{
    return std::get<PoleZeroStage>(response.stages.at(0));
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

// Every quirk of the legacy reading that stored files reflect: the text,
// and the zeros, poles and constant it gives.
TEST(LegacyReader, TextToRoots)
{
    struct Case {
        const char* why;
        std::string text;
        std::vector<Complex> zeros;
        std::vector<Complex> poles;
        double constant;
    };
    const Case cases[] = {
        {"an IRIS-style file", "* NETWORK   (KNETWK): IU\nZEROS\t3\n\t+0.000000e+00\t+0.000000e+00\t\n"
         "\t+0.000000e+00\t+0.000000e+00\t\n\t+0.000000e+00\t+0.000000e+00\t\nPOLES\t2\n"
         "\t-5.943130e+01\t+0.000000e+00\t\n\t-2.271210e+01\t+2.710650e+01\t\nCONSTANT\t6.985619e+13\n\n\n",
         {{0, 0}, {0, 0}, {0, 0}}, {{-59.4313, 0}, {-22.7121, 27.1065}}, 6.985619e13},
        {"zeros not listed lie at the origin", "ZEROS 3\nPOLES 4\n-1 0\n-2 0\n-3 0\n-4 0\n",
         {{0, 0}, {0, 0}, {0, 0}}, {{-1, 0}, {-2, 0}, {-3, 0}, {-4, 0}}, 1.0},
        {"poles not listed are not filled up", "ZEROS 2\n-1.5 0.25\nPOLES 3\n-1 2\n", {{-1.5, 0.25}, {0, 0}},
         {{-1, 2}}, 1.0},
        {"extra value lines are ignored, order is free", "POLES 1\n-1 1\n-9 9\nZEROS 1\n-2 2\n-8 8\n", {{-2, 2}},
         {{-1, 1}}, 1.0},
        {"a part not given keeps the scratch value, across sections", "POLES 2\n-1 7\n-3\nZEROS 3\n-5\nxyz\n",
         {{-5, 7}, {-5, 7}, {0, 0}}, {{-1, 7}, {-3, 7}}, 1.0},
        {"one separator character of any kind", "ZEROS 4\n-1 ,2\n-1,2\n-1;  2e1\n  -1\t2\nPOLES 0\n",
         {{-1, 0}, {-1, 2}, {-1, 20}, {-1, 2}}, {}, 1.0},
        {"a CR-only line is a value", "ZEROS 3\r\n-2 1\r\n\r\n-4 3\r\nPOLES 1\r\n-1 0\r\nCONSTANT 2.5\r\n",
         {{-2, 1}, {-2, 1}, {-4, 3}}, {{-1, 0}}, 2.5},
        {"a repeated section appends; only the last shortfall is filled",
         "ZEROS 2\n-1 0\nPOLES 1\n-5 0\nZEROS 2\n-2 0\n", {{-1, 0}, {-2, 0}, {0, 0}}, {{-5, 0}}, 1.0},
        {"a comment naming ZEROS first announces no count", "# ZEROS are listed below\nZEROS 2\n-1 0\n-2 0\nPOLES 1\n-3 0\n",
         {}, {{-3, 0}}, 1.0},
        {"a count in a comment counts", "# ZEROS 1\nZEROS 3\n-1 0\n-2 0\nPOLES 1\n-3 0\n", {{-1, 0}}, {{-3, 0}}, 1.0},
        {"the count may stand on the next line, which is then a value", "ZEROS\n2\nPOLES\t 4\n", {{2, 0}, {0, 0}},
         {}, 1.0},
        {"a CONSTANT line in an open list is also a value", "ZEROS 0\nPOLES 2\n-1 3\nCONSTANT 5\n", {},
         {{-1, 3}, {-1, 3}}, 5.0},
        {"a value line with a remark is a comment", "ZEROS 2\n-1 0 # first\n-2 0\nPOLES 0\n", {{-2, 0}, {0, 0}}, {},
         1.0},
        {"the text ends at its first NUL byte", std::string("ZEROS 1\n-1 0\nPOLES 1\n-2 0\n\0-3 0\n", 32), {{-1, 0}},
         {{-2, 0}}, 1.0},
        {"CONSTANT read nine characters into its line", "ZEROS 0\nPOLES 0\nCONSTANT\t2.5e10\n", {}, {}, 2.5e10},
        {"CONSTANT indented by one", "ZEROS 0\nPOLES 0\n CONSTANT 2.5e10\n", {}, {}, 2.5e10},
        {"CONSTANT indented by two reads nothing", "ZEROS 0\nPOLES 0\n  CONSTANT 2.5e10\n", {}, {}, 0.0},
        {"CONSTANT without a number", "ZEROS 0\nPOLES 0\nCONSTANT x\n", {}, {}, 0.0},
        {"CONSTANT with blanks before its number", "ZEROS 0\nPOLES 0\nCONSTANT              4.5e3\n", {}, {}, 4.5e3},
        {"Constant in other letters is no keyword", "ZEROS 0\nPOLES 0\nConstant 3\n", {}, {}, 1.0},
    };
    for (const Case& c : cases) {
        const ChannelResponse response = readLegacyPoleZeroText(c.text);
        EXPECT_TRUE(listIs(stageOf(response).zeros, c.zeros)) << c.why;
        EXPECT_TRUE(listIs(stageOf(response).poles, c.poles)) << c.why;
        EXPECT_EQ(stageOf(response).constant, c.constant) << c.why;
    }
    EXPECT_THROW((void)readLegacyPoleZeroText("ZEROS 2000000000\nPOLES 0\n"), std::length_error);
}

// The "#" comment keys: each line loses its last character, one separator
// after the key goes, and every field is cut to the legacy header's room.
TEST(LegacyReader, CommentKeys)
{
    struct Case {
        const char* text;
        std::string ChannelId::*field;
        const char* expected;
    };
    const Case cases[] = {
        {"# Station ABC\r\nZEROS 0\r\nPOLES 0\r\n", &ChannelId::station, "ABC"},
        {"# Station ABC\nZEROS 0\nPOLES 0\n", &ChannelId::station, "AB"},
        {"# Station\r\nZEROS 0\nPOLES 0\n", &ChannelId::station, ""},
        {"# Station\nZEROS 0\nPOLES 0\n", &ChannelId::station, ""},
        {"# Station: ABC\r\nZEROS 0\nPOLES 0\n", &ChannelId::station, " ABC"},
        {"# station ABC\r\nZEROS 0\nPOLES 0\n", &ChannelId::station, ""},
        {"# Station LONGSTATION\r\nZEROS 0\nPOLES 0\n", &ChannelId::station, "LONGSTA"},
        {"# Channel BHZ\r\nZEROS 0\r\nPOLES 0\r\n# Channel HHZ\r\n", &ChannelId::channel, "HHZ"},
        {"* NETWORK   (KNETWK): IU\nZEROS 0\nPOLES 0\n", &ChannelId::network, ""},
        {"# Network IIXX # Time 1 / 2\r\nZEROS 0\nPOLES 0\n", &ChannelId::network, "IIX"},
        {"# Location 00\r\nZEROS 0\nPOLES 0\n", &ChannelId::location, "00"},
    };
    for (const Case& c : cases) EXPECT_EQ(readLegacyPoleZeroText(c.text).id.*c.field, c.expected) << c.text;
    const ChannelResponse timed = readLegacyPoleZeroText(
        "# Network IIXX # Time 2001-01-01T00:00:00 / 2002-02-02T00:00:00 and more\r\nZEROS 0\r\nPOLES 0\r\n");
    EXPECT_EQ(timed.epochAsWritten, "2001-01-01T00:00:00 / 2002-02-02T00:00:");
}

}  // namespace
}  // namespace kalvert
