#include "readers/section_reader.hpp"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "readers/sacpz_header.hpp"

namespace kalvert {
namespace {

std::string dataFile(const std::string& name)
{
    std::ifstream in(std::string(KALVERT_TEST_DATA) + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string epoch(const ChannelResponse& response)
{
    return (response.start ? legacyTimeText(*response.start) : "-") + " / " +
           (response.end ? legacyTimeText(*response.end) : "open");
}

const PoleZeroStage& stageOf(const ChannelResponse& response)
{
    return std::get<PoleZeroStage>(response.stages.at(0));
}

struct Expected {
    std::size_t index;  ///< from 0
    std::string channel;
    std::string epoch;
    std::string inputUnit;
    std::size_t zeros, poles;
    bool hasConstant;
};

struct RealFile {
    std::string name;
    std::size_t sections;
    std::vector<Expected> checked;
};

// Every real file of the test data: sections, identity, epoch, unit, roots.
TEST(SectionReader, RealFilesOfEveryDialect)
{
    const RealFile files[] = {
        {"IU.ANMO.00.BHZ.tabs.sacpz", 1, {{0, "IU.ANMO.00.BHZ", "2002/11/19 21:07 / 2008/06/30 00:00", "M", 3, 5, true}}},
        {"IU.ANMO.00.BHZ.obspy.sacpz", 1, {{0, "IU.ANMO.00.BHZ", "2012/03/12 20:28 / open", "M", 3, 5, true}}},
        {"II.OBN.00.BHZ.crlf.sacpz", 1, {{0, "II.OBN.00.BHZ", "1989/02/19 00:00 / 1998/06/17 23:59", "M", 4, 10, true}}},
        {"II.OBN.00.BHZ.hash-comments.sacpz", 1,
         {{0, "II.OBN.00.BHZ", "1989/02/19 00:00 / 1998/06/17 23:59", "M", 4, 10, true}}},
        {"NZ.CRLZ.10.HHZ.constant-first.pz", 1,
         {{0, "NZ.CRLZ.10.HHZ", "2003/03/12 00:00 / 2037/12/31 23:59", "NM", 5, 4, true}}},
        {"OO.AXBA1..HDH.hydrophone.sacpz", 1, {{0, "OO.AXBA1..HDH", "2014/08/01 00:00 / open", "PASCAL", 0, 0, false}}},
        {"KARC.BHZ.sacpz", 1, {{0, "...", "- / open", "", 4, 6, true}}},
        {"NZ.CRLZ.HHZ.implicit-zeros.sacpz", 1, {{0, "...", "- / open", "", 5, 4, true}}},
        {"NZ.HHZ.10.no-zero-lines.sacpz", 1, {{0, "...", "- / open", "", 3, 5, true}}},
        {"IU.ANMO.BH.multi-epoch.sacpz",
         9,
         {{0, "IU.ANMO.00.BH1", "2012/03/12 20:28 / open", "M", 3, 5, true},
          {3, "IU.ANMO.10.BH1", "2012/03/13 08:10 / 2014/08/12 00:00", "M", 3, 5, true},
          {8, "IU.ANMO.10.BHZ", "2014/08/12 00:00 / open", "M", 7, 11, true}}},
        {"UW.HOOD..ENx.multi15.sacpz",
         15,
         {{0, "UW.HOOD..ENE", "2018/09/18 00:00 / open", "M", 2, 4, true},
          {9, "IU.COR.00.BHZ", "2015/03/28 00:00 / open", "M", 5, 6, true},
          {14, "CC.VALT..BHZ", "2014/03/20 00:00 / open", "M", 3, 6, true}}},
    };
    for (const RealFile& file : files) {
        const std::vector<ChannelResponse> sections = readPoleZeroSections(dataFile(file.name));
        ASSERT_EQ(sections.size(), file.sections) << file.name;
        for (const Expected& e : file.checked) {
            const ChannelResponse& section = sections[e.index];
            EXPECT_EQ(channelName(section.id), e.channel) << file.name << " " << e.index;
            EXPECT_EQ(epoch(section), e.epoch) << file.name << " " << e.index;
            EXPECT_EQ(section.inputUnit, e.inputUnit) << file.name << " " << e.index;
            EXPECT_EQ(stageOf(section).zeros.size(), e.zeros) << file.name << " " << e.index;
            EXPECT_EQ(stageOf(section).poles.size(), e.poles) << file.name << " " << e.index;
            EXPECT_EQ(section.stated.constant.has_value(), e.hasConstant) << file.name << " " << e.index;
        }
    }
    // The values themselves, from the dialect with the most quirks.
    const ChannelResponse neic = readPoleZeroSections(dataFile("NZ.CRLZ.10.HHZ.constant-first.pz")).front();
    EXPECT_EQ(*neic.stated.constant, 7.4592e-02);
    EXPECT_EQ(stageOf(neic).constant, 7.4592e-02);
    EXPECT_EQ(stageOf(neic).zeros[3].re, 867.08);
    EXPECT_EQ(stageOf(neic).poles[3].im, -202.32);
    EXPECT_EQ(*neic.stated.sensitivity, 8.3886e08);
    EXPECT_EQ(*neic.stated.a0, 8.8921e-02);
    EXPECT_EQ(*neic.sampleRate, 100.0);
    EXPECT_EQ(neic.stated.instrument, "Guralp CMG-3ESP-Z");
    const ChannelResponse obspy = readPoleZeroSections(dataFile("IU.ANMO.00.BHZ.obspy.sacpz")).front();
    EXPECT_EQ(*obspy.stated.sensitivity, 3275080000.0);
    EXPECT_EQ(obspy.stated.sensitivityUnit, "M/S");
    const ChannelResponse implicit = readPoleZeroSections(dataFile("NZ.CRLZ.HHZ.implicit-zeros.sacpz")).front();
    EXPECT_EQ(stageOf(implicit).zeros[4].re, 0.0);  // not listed: at the origin
}

// Header lines that break naive readers, one quirk each.
TEST(SectionReader, HeaderQuirks)
{
    struct Case {
        const char* line;
        std::string SectionHeader::*field;
        std::string value;
    };
    const Case cases[] = {
        {"* NETWORK   (KNETWK): IU", &SectionHeader::network, "IU"},
        {"* NETWORK\t(KNETWK):\tIU", &SectionHeader::network, "IU"},        // TABs around the key
        {"* STATION      CRLZ ", &SectionHeader::station, "CRLZ"},          // NEIC: no colon, trailing blank
        {"* LOCATION   (KHOLE):   ", &SectionHeader::location, ""},         // three blanks
        {"* LOCATION    : ", &SectionHeader::location, ""},                  // one trailing blank
        {"* LOCATION   (KHOLE):", &SectionHeader::location, ""},            // nothing at all
        {"* LOCATION    : --", &SectionHeader::location, ""},               // the web service's spelling
        {"* INSTTYPE          : GFZ:DK1980:STS-1/VBB/g=2400", &SectionHeader::instrumentType,
         "GFZ:DK1980:STS-1/VBB/g=2400"},                                    // colons in the value
        {"* INPUT UNIT        : M\r", &SectionHeader::inputUnit, "M"},      // CR left by a CR LF line
        {"* COMPONENT    HHZ", &SectionHeader::channel, "HHZ"},             // NEIC's channel key
    };
    for (const Case& c : cases) {
        SectionHeader header;
        header.location = "xx";
        EXPECT_EQ(readHeaderLine(c.line, header), HeaderLine::Field) << c.line;
        EXPECT_EQ(header.*c.field, c.value) << c.line;
    }
    SectionHeader header;
    EXPECT_EQ(readHeaderLine("* DIP (SEED)  : -90.0", header), HeaderLine::Field);
    EXPECT_EQ(readHeaderLine("* END         : None", header), HeaderLine::Field);
    EXPECT_FALSE(header.end);
    EXPECT_EQ(readHeaderLine("* END               :", header), HeaderLine::Field);
    EXPECT_FALSE(header.end);
    EXPECT_EQ(readHeaderLine("* ENDDATE      EMPTY", header), HeaderLine::Field);
    EXPECT_FALSE(header.end);
    EXPECT_EQ(readHeaderLine("* END               : 2599-12-31T23:59:59", header), HeaderLine::Field);
    EXPECT_FALSE(header.end);
    EXPECT_EQ(readHeaderLine("* END : 2008-06-30T24:60:60", header), HeaderLine::Field);  // rdseed's midnight
    ASSERT_TRUE(header.end);
    EXPECT_EQ(legacyTimeText(*header.end), "2008/07/01 01:01");
    EXPECT_EQ(readHeaderLine("* SENSITIVITY       : 4.026528e+09 (COUNTS) @ 0.02 Hz", header), HeaderLine::Field);
    EXPECT_EQ(*header.sensitivity, 4.026528e+09);
    EXPECT_EQ(readHeaderLine("* **********************************", header), HeaderLine::Delimiter);
    EXPECT_EQ(readHeaderLine("* <EOE>", header), HeaderLine::EndOfSection);
    EXPECT_EQ(readHeaderLine("* Velocity response of POLES and ZEROS", header), HeaderLine::Other);
}

TEST(SectionReader, SectionsAndTheirRefusals)
{
    // Keywords in a `*` line start nothing; a repeated keyword starts a section; CR-only line ends.
    const std::vector<ChannelResponse> two =
        readPoleZeroSections("* ZEROS and POLES below\rZEROS 1\r1 2\rPOLES 1\r-3 4\rCONSTANT 5\rZEROS 0\rPOLES 0\r");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(stageOf(two[0]).zeros.size(), 1u);
    EXPECT_EQ(stageOf(two[0]).poles[0].im, 4.0);
    EXPECT_FALSE(two[1].stated.constant);

    struct Refused {
        const char* text;
        const char* reason;
    };
    const Refused refused[] = {
        {"", "no ZEROS and POLES lines: not a pole-zero file"},
        {"ZEROS 0\nCONSTANT 1\n", "section 1 (from line 1) has no POLES line"},
        {"ZEROS 0\nPOLES 2\n1 1\n", "section 1: POLES 2 at line 2 but 1 pole lines"},
        {"ZEROS 0\nPOLES 1\n1 1\n2 2\n", "line 4: more value lines than line 2 announces"},
        {"ZEROS 0\nPOLES 1\n1 x\n", "line 3 is neither a header, a keyword nor a value line"},
        {"ZEROS 10001\nPOLES 0\n", "section 1 announces more than 10000 zeros"},
        {"ZEROS\nPOLES 0\n", "line 1: ZEROS without a count"},
    };
    for (const Refused& r : refused) {
        try {
            (void)readPoleZeroSections(r.text);
            ADD_FAILURE() << r.text;
        } catch (const SectionFormatError& error) {
            EXPECT_STREQ(error.what(), r.reason) << r.text;
        }
    }
}

}  // namespace
}  // namespace kalvert
