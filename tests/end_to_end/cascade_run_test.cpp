// StationXML and RESP files through the whole run: recognised by content,
// refused and warned about by the cascade's rules, chosen by SECTION=,
// CHANNEL= and TIME=, written in every format.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "end_to_end/run_kalvert.hpp"

namespace kalvert::testing {
namespace {

namespace fs = std::filesystem;

// A one-channel StationXML document around the given stages.
std::string stationXml(const std::string& stages, const std::string& sensitivity = "")
{
    return "<?xml version=\"1.0\"?>\n<ns0:FDSNStationXML xmlns:ns0=\"http://www.fdsn.org/xml/station/1\" "
           "schemaVersion=\"1.1\"><ns0:Network code=\"XX\"><ns0:Station code=\"TEST\">"
           "<ns0:Channel code=\"HHZ\" locationCode=\"\" startDate=\"2020-01-01T00:00:00\"><ns0:SampleRate>100"
           "</ns0:SampleRate><ns0:Response>" +
           sensitivity + stages + "</ns0:Response></ns0:Channel></ns0:Station></ns0:Network></ns0:FDSNStationXML>\n";
}

std::string units(const std::string& in, const std::string& out)
{
    return "<InputUnits><Name>" + in + "</Name></InputUnits><OutputUnits><Name>" + out + "</Name></OutputUnits>";
}

std::string poleZeroStage(int number, const std::string& in = "M/S", const std::string& out = "V",
                          const std::string& a0 = "1")
{
    return "<Stage number=\"" + std::to_string(number) + "\"><PolesZeros>" + units(in, out) +
           "<PzTransferFunctionType>LAPLACE (RADIANS/SECOND)</PzTransferFunctionType><NormalizationFactor>" + a0 +
           "</NormalizationFactor><NormalizationFrequency>1</NormalizationFrequency><Pole number=\"0\"><Real>-0.1"
           "</Real><Imaginary>0</Imaginary></Pole><Zero number=\"1\"><Real>0</Real><Imaginary>0</Imaginary></Zero>"
           "</PolesZeros><StageGain><Value>1000</Value><Frequency>1</Frequency></StageGain></Stage>";
}

std::string firStage(int number, const std::string& decimation)
{
    return "<Stage number=\"" + std::to_string(number) + "\"><FIR>" + units("COUNTS", "COUNTS") +
           "<Symmetry>NONE</Symmetry><NumeratorCoefficient>0.25</NumeratorCoefficient><NumeratorCoefficient>0.75"
           "</NumeratorCoefficient></FIR>" +
           decimation + "<StageGain><Value>1</Value><Frequency>0</Frequency></StageGain></Stage>";
}

std::string decimation(const std::string& rate)
{
    return "<Decimation><InputSampleRate>" + rate +
           "</InputSampleRate><Factor>1</Factor><Offset>0</Offset><Delay>0</Delay><Correction>0</Correction>"
           "</Decimation>";
}

std::string gainStage(int number, const std::string& rate)
{
    return "<Stage number=\"" + std::to_string(number) + "\"><Coefficients>" + units("V", "COUNTS") +
           "<CfTransferFunctionType>DIGITAL</CfTransferFunctionType></Coefficients>" + decimation(rate) +
           "<StageGain><Value>400000</Value><Frequency>1</Frequency></StageGain></Stage>";
}

class CascadeRun : public ::testing::Test {
public:
    ScratchDirectory scratch;
    const fs::path& dir() const { return scratch.path(); }

    RunResult convert(const std::string& input, std::vector<std::string> options, const std::string& output)
    {
        options.insert(options.begin(), {"IN=" + input, "OUT=" + output});
        return runKalvertAtEveryThreadCount(options, dir());
    }
    void copy(const std::string& name) { fs::copy_file(testData(name), dir() / fs::path(name).filename()); }
};

// Refusals (−3, nothing written) and warnings (written), one case per rule.
TEST_F(CascadeRun, RefusalsAndWarnings)
{
    copy("stationxml/polynomial_response.xml");
    copy("stationxml/DK.BSD..BHZ.xml");
    const std::string good = poleZeroStage(1) + gainStage(2, "100") + firStage(3, decimation("100"));
    struct Case {
        const char* rule;
        std::string input;  ///< a file name, or a document to write as in.xml
        int status;
        std::string said;
    };
    const Case cases[] = {
        {"a polynomial stage", "polynomial_response.xml", 253, "stage 1 is a polynomial, which has no frequency"},
        {"a response list", stationXml("<Stage number=\"1\"><ResponseList>" + units("M/S", "COUNTS") +
                                       "</ResponseList></Stage>"),
         253, "stage 1 is a response list"},
        {"no stages", stationXml(""), 253, "has no response stages"},
        {"pressure, not ground motion", stationXml(poleZeroStage(1, "PA") + gainStage(2, "100")), 253,
         "has INPUT UNIT PA, not a ground motion"},
        {"a digital stage with no rate anywhere", stationXml(poleZeroStage(1) + firStage(2, "")), 253,
         "stage 2 is digital, and no stage before it states a sampling rate"},
        {"a sound cascade", stationXml(good), 0, "OK (Writing to file)"},
        {"a digital stage without decimation", "DK.BSD..BHZ.xml", 0,
         "stage 9 is digital without decimation: taken at the rate of the stage before it"},
        {"stated and computed sensitivity apart", "DK.BSD..BHZ.xml", 0, "the stated sensitivity is 6.359426e+08"},
        {"units that do not chain", stationXml(poleZeroStage(1, "M/S", "MV") + gainStage(2, "100")), 0,
         "stage 1 puts out MV but stage 2 takes V"},
        {"a decimation at another rate", stationXml(poleZeroStage(1) + gainStage(2, "100") + firStage(3, decimation("50"))),
         0, "stage 3 takes 50 samples/s, but the stage before puts out 100"},
        {"a normalisation factor that does not normalise", stationXml(poleZeroStage(1, "M/S", "V", "3") + gainStage(2, "100")),
         0, "stage 1: |A0 x PZ(1 Hz)| is"},
    };
    for (const Case& c : cases) {
        std::string input = c.input;
        if (input.front() == '<') {
            writeFile(dir() / "in.xml", input);
            input = "in.xml";
        }
        fs::remove(dir() / "out.gse");
        const RunResult result = convert(input, {"FORMAT=GSE2.1"}, "out.gse");
        EXPECT_EQ(result.status, c.status) << c.rule << "\n" << result.output;
        EXPECT_NE(result.output.find(c.said), std::string::npos) << c.rule << "\n" << result.output;
        EXPECT_EQ(fs::exists(dir() / "out.gse"), c.status == 0) << c.rule;
    }
    // The comment says that the table is the whole cascade.
    convert("DK.BSD..BHZ.xml", {"FORMAT=GSE2.1"}, "out.gse");
    EXPECT_NE(readFile(dir() / "out.gse").find("(DK.BSD..BHZ from DK.BSD..BHZ.xml; full cascade, 10 stages;"),
              std::string::npos);
}

// SECTION= numbers the channel epochs; CHANNEL= and TIME= choose among them;
// the FAP file takes exactly one.
TEST_F(CascadeRun, ChoosingResponses)
{
    copy("stationxml/IU_ANMO_BH.xml");
    const std::string file = "IU_ANMO_BH.xml";
    struct Case {
        std::vector<std::string> options;
        std::string output;
        int status;
        std::string said;
        std::size_t files;  ///< written into the out/ folder
    };
    const Case cases[] = {
        {{}, "one.fap", 253, "9 responses of (IU_ANMO_BH.xml) are chosen and the FAP file holds one", 0},
        {{"SECTION=9"}, "one.fap", 0, "OK (Writing to file)", 0},
        {{"CHANNEL=IU.ANMO.10.BHZ", "TIME=2013-01-01"}, "one.fap", 0, "OK (Writing to file)", 0},
        {{"CHANNEL=IU.ANMO.10.BHZ"}, "one.fap", 253, "2 responses of (IU_ANMO_BH.xml) are chosen CHANNEL=", 0},
        {{"CHANNEL=*.*.--.*"}, "one.fap", 253, "No response in (IU_ANMO_BH.xml) matches CHANNEL=*.*.--.*", 0},
        {{"TIME=2013-13-01"}, "one.fap", 3, "ERROR: TIME=2013-13-01 is not a time", 0},
        {{"FORMAT=CSS", "CHANNEL=iu.anmo.10.BH?", "TIME=2020-01-01T00:00"}, "out/", 0, "OK (Writing", 3},
        {{"FORMAT=CSS", "CHANNEL=IU.ANMO.*.BH*"}, "out/", 0, "OK (Writing", 9},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir() / "out");
        fs::remove(dir() / "one.fap");
        const RunResult result = convert(file, c.options, c.output);
        EXPECT_EQ(result.status, c.status) << c.said << "\n" << result.output;
        EXPECT_NE(result.output.find(c.said), std::string::npos) << c.said << "\n" << result.output;
        const std::size_t written = fs::exists(dir() / "out") ? static_cast<std::size_t>(std::distance(
                                                                     fs::directory_iterator(dir() / "out"), {}))
                                                               : 0;
        EXPECT_EQ(written, c.files) << c.said;
    }
}

// The same LHZ epoch as StationXML and as RESP gives the same table.
TEST_F(CascadeRun, TwinsGiveTheSameTable)
{
    copy("stationxml/IUANMO.xml");
    copy("resp/IUANMO.resp");
    ASSERT_EQ(convert("IUANMO.xml", {"FORMAT=CSS"}, "xml.fap").status, 0);
    ASSERT_EQ(convert("IUANMO.resp", {"FORMAT=CSS"}, "resp.fap").status, 0);
    const auto table = [&](const std::string& name) {
        const std::string text = readFile(dir() / name);
        return text.substr(text.find(" theoretical"));
    };
    EXPECT_EQ(table("xml.fap"), table("resp.fap"));
}

// A channel of its own start and end, around the given stages.
std::string channelXml(const std::string& stages, const std::string& dates, const std::string& sensitivity = "")
{
    std::string document = stationXml(stages, sensitivity);
    const std::string usual = "startDate=\"2020-01-01T00:00:00\"";
    return document.replace(document.find(usual), usual.size(), dates);
}

std::string withText(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

struct IrregularCase {
    const char* rule;
    std::string input;                  ///< the file's text
    int status;
    std::string said;                   ///< key words of the message
    std::string written;                ///< the CSS file a sound case writes
    std::string sameAs;                 ///< a text whose table it must equal
    std::vector<std::string> options{};  ///< beside FORMAT=CSS OUT=out/
};

// Each case converted as a file of its own; a sound case's table compared with its twin's.
void runIrregularCases(CascadeRun& run, const fs::path& dir, const std::string& name, const std::vector<IrregularCase>& cases)
{
    for (const IrregularCase& c : cases) {
        fs::remove_all(dir / "out");
        writeFile(dir / name, c.input);
        std::vector<std::string> options = c.options;
        if (options.empty()) options = {"FORMAT=CSS"};
        const RunResult result = run.convert(name, options, options.front() == "FORMAT=CSS" ? "out/" : "out.fap");
        EXPECT_EQ(result.status, c.status) << c.rule << "\n" << result.output;
        EXPECT_NE(result.output.find(c.said), std::string::npos) << c.rule << "\n" << result.output;
        if (c.status != 0) {
            EXPECT_FALSE(fs::exists(dir / "out") || fs::exists(dir / "out.fap")) << c.rule;
            continue;
        }
        if (c.written.empty()) continue;
        ASSERT_TRUE(fs::exists(dir / "out" / c.written)) << c.rule << "\n" << result.output;
        if (c.sameAs.empty()) continue;
        const std::string table = readFile(dir / "out" / c.written);
        fs::remove_all(dir / "out");
        writeFile(dir / name, c.sameAs);
        ASSERT_EQ(run.convert(name, {"FORMAT=CSS"}, "out/").status, 0) << c.rule;
        EXPECT_EQ(readFile(dir / "out" / c.written), table) << c.rule;
    }
}

// A StationXML epoch is converted exactly as stated, or refused naming its stage and field.
TEST_F(CascadeRun, IrregularStationXmlIsConvertedExactlyOrRefused)
{
    const std::string pz = poleZeroStage(1);
    const std::string rest = gainStage(2, "100") + firStage(3, decimation("100"));
    const std::string sound = stationXml(pz + rest);
    const std::string bareGain = "<Stage number=\"1\"><StageGain><Value>2</Value><Frequency>1</Frequency></StageGain></Stage>";
    const std::string sensitivityIn = "<InstrumentSensitivity><Value>4e8</Value><Frequency>1</Frequency>"
                                      "<InputUnits><Name>M</Name></InputUnits><OutputUnits><Name>COUNTS</Name>"
                                      "</OutputUnits></InstrumentSensitivity>";
    const std::string noGain = withText(pz, "<StageGain><Value>1000</Value><Frequency>1</Frequency></StageGain>", "");
    const std::string hertz = withText(sound, "LAPLACE (RADIANS/SECOND)", "LAPLACE (HERTZ)");
    const std::string even = "<Stage number=\"3\"><FIR>" + units("COUNTS", "COUNTS") +
                             "<Symmetry>ODD</Symmetry><NumeratorCoefficient>0.3</NumeratorCoefficient>"
                             "<NumeratorCoefficient>0.4</NumeratorCoefficient></FIR>" + decimation("100") +
                             "<StageGain><Value>1</Value><Frequency>0</Frequency></StageGain></Stage>";
    const std::string odd = stationXml(pz + gainStage(2, "100") + even);
    const std::string analogue =
        "<Stage number=\"1\"><Coefficients>" + units("M/S", "V") +
        "<CfTransferFunctionType>ANALOG (RADIANS/SECOND)</CfTransferFunctionType><Numerator>0</Numerator>"
        "<Numerator>1</Numerator><Denominator>0.1</Denominator><Denominator>1</Denominator></Coefficients>"
        "<StageGain><Value>1000</Value><Frequency>1</Frequency></StageGain></Stage>";
    const std::string longComment = "<!-- " + std::string(100000, 'c') + " <https://example.org/> -->\n";
    const std::string file = "XX.TEST..HHZ.2020-01-01-0000.fap";
    const std::vector<IrregularCase> cases = {
        {"a unitless gain before a pressure stage", stationXml(bareGain + poleZeroStage(2, "HPA")),
         253, "INPUT UNIT HPA", "", ""},
        {"no stage unit: the sensitivity's", stationXml(poleZeroStage(1, "", ""), sensitivityIn), 0,
         "M, the overall sensitivity's, is used", file, stationXml(poleZeroStage(1, "M", ""), sensitivityIn)},
        {"no unit anywhere", stationXml(poleZeroStage(1, "", "")), 253, "states an input unit", "", ""},
        {"a unit with an empty description", stationXml(poleZeroStage(1, "M -", "V") + rest), 0, "OK", file,
         stationXml(poleZeroStage(1, "M", "V") + rest)},
        {"a gain of 0", withText(sound, "<Value>400000", "<Value>0"), 253, "stage 2: its gain is 0", "", ""},
        {"a gain of 0, legacy file", withText(sound, "<Value>400000", "<Value>0"), 253, "its gain is 0", "", "",
         {"SECTION=1"}},
        {"a gain NaN", withText(sound, "<Value>400000", "<Value>NaN"), 253, "\"NaN\", not a number", "", ""},
        {"a lone stage without a gain", stationXml(noGain, sensitivityIn), 0, "the overall sensitivity is its gain", file,
         ""},
        {"a stage without a gain among others", stationXml(noGain + rest), 253, "stage 1 states no gain", "", ""},
        {"a stage number missing", withText(sound, "<Stage number=\"2\">", "<Stage>"), 253, "is numbered \"\"", "", ""},
        {"a stage number repeated", withText(sound, "<Stage number=\"3\">", "<Stage number=\"2\">"), 253,
         "the 3. <Stage> is numbered \"2\"", "", ""},
        {"a decimation alone", stationXml(pz + rest + "<Stage number=\"4\">" + decimation("100") + "</Stage>"), 253,
         "stage 4 has no filter and no gain", "", ""},
        {"a decimation factor 0", withText(sound, "<Factor>1</Factor>", "<Factor>0</Factor>"), 253,
         "decimation factor 0", "", ""},
        {"a symmetry that is none", withText(sound, "<Symmetry>NONE", "<Symmetry>Oops"), 253,
         "\"Oops\" is not NONE, EVEN or ODD", "", ""},
        {"a symmetry in small letters", withText(odd, "<Symmetry>ODD", "<Symmetry>odd"), 0, "OK", file, odd},
        {"a transfer-function type in small letters", withText(hertz, "LAPLACE (HERTZ)", "laplace (hertz)"), 0, "OK",
         file, hertz},
        {"an unknown transfer-function type", withText(sound, "LAPLACE (RADIANS/SECOND)", "LAPLACE (DEGREES)"), 253,
         "is no transfer-function type", "", ""},
        {"analogue coefficients: a ratio of polynomials in s", stationXml(analogue + rest), 0, "OK", file, sound},
        {"a number with a letter in it", withText(sound, "<Value>400000", "<Value>4.0O0000E+05"), 253,
         "\"4.0O0000E+05\", not a number", "", ""},
        {"a number with two signs", withText(sound, "<Real>-0.1", "<Real>+-0.1"), 253, "\"+-0.1\", not a number", "", ""},
        {"a long comment before the root", withText(sound, "<?xml version=\"1.0\"?>\n", "\xEF\xBB\xBF\n" + longComment),
         0, "OK", file, sound},
        {"an offset", channelXml(pz + rest, "startDate=\"2019-12-31T19:00:00-05:00\""), 0, "OK", file, sound},
        {"midnight as hour 24", channelXml(pz + rest, "startDate=\"2019-12-31T24:00:00\""), 0, "OK", file, sound},
        {"a date alone", channelXml(pz + rest, "startDate=\"2020-01-01\""), 0, "OK", file, sound},
        {"February 30", channelXml(pz + rest, "startDate=\"2015-02-30T00:00:00\""), 253, "\"2015-02-30T00:00:00\" is not a date", "", ""},
        {"an offset of 25 hours", channelXml(pz + rest, "startDate=\"2015-01-01T00:00:00+25:00\""), 253, "is not a date", "",
         ""},
        {"an end before the start", channelXml(pz + rest, "startDate=\"2020-01-01T00:00:00\" endDate=\"2015-01-01T00:00:00\""),
         253, "is before startDate", "", ""},
        {"TIME= on a day that does not exist", sound, 3, "TIME=2013-02-29", "", "", {"FORMAT=CSS", "TIME=2013-02-29"}},
    };
    runIrregularCases(*this, dir(), "in.xml", cases);
}

// A RESP epoch likewise: counts against lines, fields, codes, repeated stages.
TEST_F(CascadeRun, IrregularRespIsConvertedExactlyOrRefused)
{
    const std::string sound = readFile(testData("resp/RESP.BW.FURT..EHZ"));
    const std::string tap = "B061F09       0 ";
    const std::size_t tapLine = sound.find(tap);
    const std::string oneTapLess = std::string(sound).erase(tapLine, sound.find('\n', tapLine) + 1 - tapLine);
    const std::size_t b058 = sound.rfind("B058F03");
    const std::string cut = sound.substr(0, sound.find("B058F06", b058));
    std::string crOnly = sound;
    for (char& c : crOnly)
        if (c == '\n') c = '\r';
    const std::size_t firstB053 = sound.find("B053F03");
    const std::size_t firstB058End = sound.find('\n', sound.find("B058F06", firstB053)) + 1;
    std::string repeated = sound;
    repeated.insert(firstB058End, sound.substr(firstB053, firstB058End - firstB053));
    const std::vector<IrregularCase> cases = {
        {"a coefficient line deleted", oneTapLess, 253, "field 8 counts 48 but 47 lines follow", "", ""},
        {"a file that ends inside a blockette", cut, 253, "has no field 6", "", ""},
        {"a stage stated again", repeated, 253, "stage 1 is stated again", "", ""},
        {"a negative stage number", withText(sound, "Stage sequence number:                 2",
                                             "Stage sequence number:                 -2"),
         253, "stage number -2", "", ""},
        {"a transfer-function type C", withText(sound, "Transfer function type:                A",
                                                "Transfer function type:                C"),
         253, "is not A, B or D", "", ""},
        {"a symmetry type X", withText(sound, "Symmetry type:                         C", "Symmetry type:                         X"),
         253, "is not A, B or C", "", ""},
        {"a number with a letter in it", withText(sound, "4.000000E+02", "4.0O0000E+02"), 253,
         "\"4.0O0000E+02\" is not a number", "", ""},
        {"a number that is 1.5.5", withText(sound, "4.000000E+02", "1.5.5"), 253, "\"1.5.5\" is not a number", "", ""},
        {"CR-only line ends", crOnly, 0, "OK", "", ""},
        {"a line over 64 KiB", sound + "# " + std::string(70000, 'x') + "\n", 253, "is longer than 65536 bytes", "", ""},
    };
    runIrregularCases(*this, dir(), "in.resp", cases);
    // CR-only ends give the same table as LF.
    fs::remove_all(dir() / "out");
    writeFile(dir() / "in.resp", crOnly);
    ASSERT_EQ(convert("in.resp", {"FORMAT=CSS"}, "out/").status, 0);
    const fs::path written = fs::directory_iterator(dir() / "out")->path();
    const std::string table = readFile(written);
    writeFile(dir() / "in.resp", sound);
    fs::remove_all(dir() / "out");
    ASSERT_EQ(convert("in.resp", {"FORMAT=CSS"}, "out/").status, 0);
    EXPECT_EQ(readFile(written), table);
}

// An inventory of many stations (the nine epochs of IU_ANMO_BH.xml under
// forty station codes) converts alike on one thread and on four, in every
// envelope: a folder of files, one message, one metadata document.
TEST_F(CascadeRun, AnInventoryConvertsAlikeOnEveryThreadCount)
{
    const std::string text = readFile(testData("stationxml/IU_ANMO_BH.xml"));
    const std::size_t first = text.find("<Station");
    const std::size_t last = text.rfind("</Station>") + std::string("</Station>").size();
    std::string inventory = text.substr(0, first);
    for (int i = 0; i < 40; ++i) {
        std::string station = text.substr(first, last - first);
        const std::size_t code = station.find("code=\"ANMO\"");
        station.replace(code, 11, "code=\"A" + std::to_string(100 + i) + "\"");
        inventory += station;
    }
    inventory += text.substr(last);
    writeFile(dir() / "inventory.xml", inventory);
    for (const auto& [format, output] : {std::pair{"CSS", "css/"}, std::pair{"SEISAN", "cal/"},
                                         std::pair{"GSE2.1", "all.msg"}, std::pair{"StationXML", "all.xml"}}) {
        const RunResult result = convert("inventory.xml", {std::string("FORMAT=") + format}, output);
        EXPECT_EQ(result.status, 0) << format << "\n" << result.output.substr(0, 2000);
    }
}

}  // namespace
}  // namespace kalvert::testing
