// StationXML and RESP out: every real response written, read back by the
// tool itself, gives the same CSS tables; a written document has the schema's
// element order and required parts.
#include <expat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "end_to_end/run_kalvert.hpp"

namespace kalvert::testing {
namespace {

namespace fs = std::filesystem;

// The CSS tables of a folder, by file name, from the table's first line on.
std::map<std::string, std::string> cssTables(const fs::path& folder)
{
    std::map<std::string, std::string> tables;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string text = readFile(entry.path());
        tables[entry.path().filename().string()] = text.substr(text.find(" theoretical"));
    }
    return tables;
}

// Each real response (the SAC pole-zero files with header blocks) written as
// StationXML and RESP and read back converts to the tables of the original.
TEST(MetadataOut, EveryRealResponseComesBackWithTheSameTables)
{
    struct Case {
        const char* file;
        int tables;  ///< the original's CSS run: 0, or 253 for what no table can be made from
    };
    const Case cases[] = {
        {"stationxml/AU.MEEK.xml", 0},          {"stationxml/DK.BSD..BHZ.xml", 0},
        {"stationxml/IUANMO.xml", 0},           {"stationxml/IU_ANMO_00_BHZ.xml", 0},
        {"stationxml/IU_ANMO_BH.xml", 0},       {"stationxml/polynomial_response.xml", 253},
        {"resp/IUANMO.resp", 0},                {"resp/RESP.ANMO.IU.00.BHZ", 0},
        {"resp/RESP.BW.FURT..EHZ", 0},          {"resp/RESP.NZ.CRLZ.10.HHZ", 0},
        {"II.OBN.00.BHZ.crlf.sacpz", 0},        {"IU.ANMO.00.BHZ.obspy.sacpz", 0},
        {"IU.ANMO.00.BHZ.tabs.sacpz", 0},       {"IU.ANMO.BH.multi-epoch.sacpz", 0},
        {"NZ.CRLZ.10.HHZ.constant-first.pz", 0}, {"UW.HOOD..ENx.multi15.sacpz", 0},
        {"OO.AXBA1..HDH.hydrophone.sacpz", 253},
    };
    // RESP carries no sample rate for a channel without digital stages: the
    // grid is given, so that the default grid's end does not differ.
    const std::vector<std::string> grid{"FREQ=0.001,40", "NPOINTS=120", "-logX"};
    for (const Case& c : cases) {
        ScratchDirectory scratch;
        const fs::path dir = scratch.path();
        fs::copy_file(testData(c.file), dir / "in");
        for (const std::string format : {"StationXML", "RESP"}) {
            std::vector<std::string> options{"FORMAT=CSS"};
            if (format == "RESP") options.insert(options.end(), grid.begin(), grid.end());
            auto convert = [&](const std::string& input, const std::string& output) {
                std::vector<std::string> arguments{"IN=" + input, "OUT=" + output};
                arguments.insert(arguments.end(), options.begin(), options.end());
                return runKalvert(arguments, dir);
            };
            const RunResult written = runKalvertAtEveryThreadCount({"IN=in", "OUT=out." + format, "FORMAT=" + format}, dir);
            ASSERT_EQ(written.status, 0) << c.file << " " << format << "\n" << written.output;
            EXPECT_EQ(convert("in", "original-" + format + "/").status, c.tables) << c.file;
            const RunResult back = convert("out." + format, "back-" + format + "/");
            EXPECT_EQ(back.status, c.tables) << c.file << " " << format << "\n" << back.output;
            if (c.tables != 0) continue;
            EXPECT_EQ(cssTables(dir / ("back-" + format)), cssTables(dir / ("original-" + format)))
                << c.file << " " << format;
        }
    }
}

// The child elements of every element, in document order.
struct Outline {
    std::vector<std::string> open;
    std::vector<std::pair<std::string, std::vector<std::string>>> elements;  ///< name, children
    std::vector<std::size_t> indices;                                         ///< of the open elements
};

void XMLCALL opened(void* data, const XML_Char* name, const XML_Char**)
{
    auto& outline = *static_cast<Outline*>(data);
    std::string local = name;
    local = local.substr(local.find('|') == std::string::npos ? 0 : local.find('|') + 1);
    if (!outline.indices.empty()) outline.elements[outline.indices.back()].second.push_back(local);
    outline.indices.push_back(outline.elements.size());
    outline.elements.push_back({local, {}});
}

void XMLCALL closed(void* data, const XML_Char*)
{
    static_cast<Outline*>(data)->indices.pop_back();
}

Outline outlineOf(const std::string& document)
{
    Outline outline;
    XML_Parser parser = XML_ParserCreateNS(nullptr, '|');
    XML_SetUserData(parser, &outline);
    XML_SetElementHandler(parser, opened, closed);
    const bool parsed =
        XML_Parse(parser, document.data(), static_cast<int>(document.size()), XML_TRUE) == XML_STATUS_OK;
    XML_ParserFree(parser);
    EXPECT_TRUE(parsed) << "not well-formed";
    return outline;
}

// The schema's order of the children of each element the writer makes, and
// which of them are required.
struct Rule {
    const char* element;
    std::vector<std::string> order;
    std::vector<std::string> required;
};

const Rule rules[] = {
    {"FDSNStationXML", {"Source", "Sender", "Module", "ModuleURI", "Created", "Network"}, {"Source", "Created"}},
    {"Network", {"Description", "Identifier", "Comment", "DataAvailability", "Operator", "TotalNumberStations",
                 "SelectedNumberStations", "Station"}, {}},
    {"Station", {"Description", "Identifier", "Comment", "DataAvailability", "Latitude", "Longitude", "Elevation",
                 "Site", "WaterLevel", "Vault", "Geology", "Equipment", "Operator", "CreationDate", "TerminationDate",
                 "TotalNumberChannels", "SelectedNumberChannels", "ExternalReference", "Channel"},
     {"Latitude", "Longitude", "Elevation", "Site"}},
    {"Channel", {"Description", "Identifier", "Comment", "DataAvailability", "ExternalReference", "Latitude",
                 "Longitude", "Elevation", "Depth", "Azimuth", "Dip", "WaterLevel", "Type", "SampleRate",
                 "SampleRateRatio", "ClockDrift", "CalibrationUnits", "Sensor", "PreAmplifier", "DataLogger",
                 "Equipment", "Response"},
     {"Latitude", "Longitude", "Elevation", "Depth"}},
    {"Response", {"InstrumentSensitivity", "InstrumentPolynomial", "Stage"}, {}},
    {"Stage", {"PolesZeros", "Coefficients", "ResponseList", "FIR", "Polynomial", "Decimation", "StageGain"}, {}},
    {"PolesZeros", {"Description", "InputUnits", "OutputUnits", "PzTransferFunctionType", "NormalizationFactor",
                    "NormalizationFrequency", "Zero", "Pole"},
     {"InputUnits", "OutputUnits", "PzTransferFunctionType", "NormalizationFactor", "NormalizationFrequency"}},
    {"Coefficients", {"Description", "InputUnits", "OutputUnits", "CfTransferFunctionType", "Numerator", "Denominator"},
     {"InputUnits", "OutputUnits", "CfTransferFunctionType"}},
    {"FIR", {"Description", "InputUnits", "OutputUnits", "Symmetry", "NumeratorCoefficient"},
     {"InputUnits", "OutputUnits", "Symmetry"}},
    {"Decimation", {"InputSampleRate", "Factor", "Offset", "Delay", "Correction"},
     {"InputSampleRate", "Factor", "Offset", "Delay", "Correction"}},
    {"StageGain", {"Value", "Frequency"}, {"Value", "Frequency"}},
    {"InstrumentSensitivity", {"Value", "Frequency", "InputUnits", "OutputUnits"}, {"Value", "Frequency", "InputUnits",
                                                                                   "OutputUnits"}},
};

// Every element's children in the schema's order, the required ones present;
// a stage's filter is one at most, its gain there unless a polynomial stands alone.
void expectSchemaOrder(const std::string& document, const std::string& what)
{
    const Outline outline = outlineOf(document);
    for (const auto& element : outline.elements) {
        const std::string& name = element.first;
        const std::vector<std::string>& children = element.second;
        const auto rule = std::find_if(std::begin(rules), std::end(rules), [&](const Rule& r) { return name == r.element; });
        if (rule == std::end(rules)) continue;
        std::size_t last = 0;
        for (const std::string& child : children) {
            const auto at = std::find(rule->order.begin(), rule->order.end(), child);
            ASSERT_NE(at, rule->order.end()) << what << ": <" << child << "> in <" << name << ">";
            const auto position = static_cast<std::size_t>(at - rule->order.begin());
            EXPECT_GE(position, last) << what << ": <" << child << "> out of order in <" << name << ">";
            last = position;
        }
        for (const std::string& required : rule->required)
            EXPECT_NE(std::find(children.begin(), children.end(), required), children.end())
                << what << ": <" << name << "> without <" << required << ">";
        if (name == "Stage") {
            const auto filters = std::count_if(children.begin(), children.end(), [](const std::string& child) {
                return child != "Decimation" && child != "StageGain";
            });
            EXPECT_LE(filters, 1) << what;
            const bool polynomial = std::find(children.begin(), children.end(), "Polynomial") != children.end();
            EXPECT_TRUE(polynomial || std::find(children.begin(), children.end(), "StageGain") != children.end())
                << what << ": a stage without StageGain";
        }
    }
}

// One small document of each input kind: the schema's order, its required
// parts, a Decimation on every digital stage, the values RESP lacks said.
TEST(MetadataOut, WrittenDocumentsHaveTheSchemasOrderAndRequiredParts)
{
    ScratchDirectory scratch;
    const fs::path dir = scratch.path();
    struct Case {
        const char* file;
        const char* said;  ///< a line the run prints
    };
    const Case cases[] = {
        {"stationxml/DK.BSD..BHZ.xml", "stage 9 is digital without decimation"},
        {"resp/RESP.BW.FURT..EHZ", "Latitude, Longitude, Elevation, Depth not stated in in: written as 0"},
        {"IU.ANMO.00.BHZ.obspy.sacpz", "OK (Writing to file)"},
    };
    for (const Case& c : cases) {
        fs::copy_file(testData(c.file), dir / "in", fs::copy_options::overwrite_existing);
        const RunResult result = runKalvert({"IN=in", "OUT=out.xml", "FORMAT=StationXML"}, dir);
        ASSERT_EQ(result.status, 0) << c.file << "\n" << result.output;
        EXPECT_NE(result.output.find(c.said), std::string::npos) << c.file << "\n" << result.output;
        const std::string document = readFile(dir / "out.xml");
        expectSchemaOrder(document, c.file);
        EXPECT_EQ(document.find("<Decimation>") == std::string::npos, std::string(c.file).find(".sacpz") != std::string::npos)
            << c.file;
        if (std::system("command -v xmllint >/dev/null 2>&1") == 0) {
            EXPECT_EQ(std::system(("xmllint --noout " + (dir / "out.xml").string()).c_str()), 0) << c.file;
        }
    }
    // The SAC file's sensitivity is computed in its own unit (M), not copied from its header (per M/S).
    const std::string sac = readFile(dir / "out.xml");
    EXPECT_NE(sac.find("<InputUnits><Name>M</Name></InputUnits>"), std::string::npos);
    EXPECT_EQ(sac.find("<Value>3275080000</Value>"), std::string::npos);
}

}  // namespace
}  // namespace kalvert::testing
