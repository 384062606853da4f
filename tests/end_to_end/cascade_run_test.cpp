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
protected:
    ScratchDirectory scratch;
    const fs::path& dir() const { return scratch.path(); }

    RunResult convert(const std::string& input, std::vector<std::string> options, const std::string& output)
    {
        options.insert(options.begin(), {"IN=" + input, "OUT=" + output});
        return runKalvert(options, dir());
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

}  // namespace
}  // namespace kalvert::testing
