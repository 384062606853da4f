#include "writers/stationxml/stationxml_writer.hpp"

#include <cstdlib>
#include <ctime>
#include <optional>

#include "text/text_scan.hpp"
#include "writers/numbers/number_format.hpp"

namespace kalvert {
namespace {

// Text and attribute values with XML's five characters escaped.
std::string escaped(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string epochAttributes(const std::optional<DateTime>& start, const std::optional<DateTime>& end)
{
    std::string text;
    if (start) text += " startDate=\"" + xmlTimeText(*start) + "\"";
    if (end) text += " endDate=\"" + xmlTimeText(*end) + "\"";
    return text;
}

// One element holding a number: <Name>value</Name>.
void number(std::string& out, const char* indent, const char* name, double value)
{
    out.append(indent).append("<").append(name).append(">").append(roundTripText(value));
    out.append("</").append(name).append(">\n");
}

void units(std::string& out, const char* indent, const char* element, const std::string& name,
           const std::string& description)
{
    out.append(indent).append("<").append(element).append("><Name>").append(escaped(name)).append("</Name>");
    if (!description.empty()) out.append("<Description>").append(escaped(description)).append("</Description>");
    out.append("</").append(element).append(">\n");
}

void stageUnits(std::string& out, const CascadeStage& stage)
{
    units(out, "          ", "InputUnits", stage.inputUnit, stage.inputUnitDescription);
    units(out, "          ", "OutputUnits", stage.outputUnit, stage.outputUnitDescription);
}

void roots(std::string& out, const char* element, const std::vector<Complex>& list)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        out.append("          <")
            .append(element)
            .append(" number=\"")
            .append(std::to_string(i))
            .append("\"><Real>")
            .append(roundTripText(list[i].re))
            .append("</Real><Imaginary>")
            .append(roundTripText(list[i].im))
            .append("</Imaginary></")
            .append(element)
            .append(">\n");
}

void coefficients(std::string& out, const char* element, const std::vector<double>& values)
{
    for (const double value : values)
        out.append("          <")
            .append(element)
            .append(">")
            .append(roundTripText(value))
            .append("</")
            .append(element)
            .append(">\n");
}

// The taps as listed: half of a symmetric filter, or all.
std::vector<double> listedTaps(const CascadeStage& stage)
{
    const std::size_t n = stage.numerator.size();
    if (stage.symmetry == 'O')
        return {stage.numerator.begin(), stage.numerator.begin() + static_cast<long>((n + 1) / 2)};
    if (stage.symmetry == 'E') return {stage.numerator.begin(), stage.numerator.begin() + static_cast<long>(n / 2)};
    return stage.numerator;
}

void filter(std::string& out, const CascadeStage& stage)
{
    using Kind = CascadeStage::Kind;
    switch (stage.kind) {
    case Kind::AnaloguePoleZero:
    case Kind::DigitalPoleZero:
        out += "        <PolesZeros>\n";
        stageUnits(out, stage);
        out.append("          <PzTransferFunctionType>")
            .append(stage.kind == Kind::DigitalPoleZero ? "DIGITAL (Z-TRANSFORM)"
                    : stage.hertz                       ? "LAPLACE (HERTZ)"
                                                        : "LAPLACE (RADIANS/SECOND)")
            .append("</PzTransferFunctionType>\n");
        number(out, "          ", "NormalizationFactor", stage.a0);
        number(out, "          ", "NormalizationFrequency", stage.normalisationFrequency);
        roots(out, "Zero", stage.zeros);
        roots(out, "Pole", stage.poles);
        out += "        </PolesZeros>\n";
        break;
    case Kind::Fir:
        if (!stage.coefficientsElement) {
            out += "        <FIR>\n";
            stageUnits(out, stage);
            out.append("          <Symmetry>")
                .append(stage.symmetry == 'O'   ? "ODD"
                        : stage.symmetry == 'E' ? "EVEN"
                                                : "NONE")
                .append("</Symmetry>\n");
            const std::vector<double> taps = listedTaps(stage);
            for (std::size_t i = 0; i < taps.size(); ++i)
                out.append("          <NumeratorCoefficient i=\"")
                    .append(std::to_string(i + 1))
                    .append("\">")
                    .append(roundTripText(taps[i]))
                    .append("</NumeratorCoefficient>\n");
            out += "        </FIR>\n";
            break;
        }
        [[fallthrough]];
    case Kind::Iir:
    case Kind::AnalogueCoefficients:
    case Kind::GainOnly:
        if (stage.kind == Kind::GainOnly && !stage.coefficientsElement && stage.inputUnit.empty()) break;
        out += "        <Coefficients>\n";
        stageUnits(out, stage);
        out.append("          <CfTransferFunctionType>")
            .append(stage.kind != Kind::AnalogueCoefficients ? "DIGITAL"
                    : stage.hertz                            ? "ANALOG (HERTZ)"
                                                             : "ANALOG (RADIANS/SECOND)")
            .append("</CfTransferFunctionType>\n");
        coefficients(out, "Numerator", stage.numerator);
        coefficients(out, "Denominator", stage.denominator);
        out += "        </Coefficients>\n";
        break;
    case Kind::ResponseList:
        out += "        <ResponseList>\n";
        stageUnits(out, stage);
        for (const ListedValue& value : stage.listed)
            out.append("          <ResponseListElement><Frequency>")
                .append(roundTripText(value.frequency))
                .append("</Frequency><Amplitude>")
                .append(roundTripText(value.amplitude))
                .append("</Amplitude><Phase>")
                .append(roundTripText(value.phase))
                .append("</Phase></ResponseListElement>\n");
        out += "        </ResponseList>\n";
        break;
    case Kind::Polynomial: {
        const PolynomialTerms& terms = stage.polynomial;
        out += "        <Polynomial>\n";
        stageUnits(out, stage);
        out += "          <ApproximationType>MACLAURIN</ApproximationType>\n";
        number(out, "          ", "FrequencyLowerBound", terms.lowestFrequency);
        number(out, "          ", "FrequencyUpperBound", terms.highestFrequency);
        // These three are xs:decimal: no exponent.
        for (const auto& [name, value] :
             {std::pair{"ApproximationLowerBound", terms.lowestInput},
              std::pair{"ApproximationUpperBound", terms.highestInput}, std::pair{"MaximumError", terms.largestError}})
            out.append("          <")
                .append(name)
                .append(">")
                .append(roundTripDecimal(value))
                .append("</")
                .append(name)
                .append(">\n");
        for (std::size_t i = 0; i < terms.coefficients.size(); ++i)
            out.append("          <Coefficient number=\"")
                .append(std::to_string(i))
                .append("\">")
                .append(roundTripText(terms.coefficients[i]))
                .append("</Coefficient>\n");
        out += "        </Polynomial>\n";
        break;
    }
    }
}

void stageElement(std::string& out, const CascadeStage& stage)
{
    out.append("      <Stage number=\"").append(std::to_string(stage.number)).append("\">\n");
    filter(out, stage);
    if (stage.decimation) {
        const Decimation& decimation = *stage.decimation;
        out += "        <Decimation>\n";
        number(out, "          ", "InputSampleRate", decimation.inputRate);
        out.append("          <Factor>").append(std::to_string(decimation.factor)).append("</Factor>\n");
        out.append("          <Offset>").append(std::to_string(decimation.offset)).append("</Offset>\n");
        number(out, "          ", "Delay", decimation.delay);
        number(out, "          ", "Correction", decimation.correction);
        out += "        </Decimation>\n";
    }
    if (stage.gain) {
        out += "        <StageGain>\n";
        number(out, "          ", "Value", *stage.gain);
        number(out, "          ", "Frequency", stage.gainFrequency);
        out += "        </StageGain>\n";
    }
    out += "      </Stage>\n";
}

double orZero(const std::optional<double>& value)
{
    return value.value_or(0.0);
}

}  // namespace

std::string stationXmlHead(const ChannelResponse&)
{
    // Reproducible documents: SOURCE_DATE_EPOCH, where set, is the time of creation.
    std::time_t now = std::time(nullptr);
    if (const char* fixed = std::getenv("SOURCE_DATE_EPOCH")) {
        const std::optional<double> seconds = readExactNumber(fixed);
        if (seconds && *seconds >= 0 && *seconds < 253402300800.0) now = static_cast<std::time_t>(*seconds);
    }
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    const DateTime created{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec};
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<FDSNStationXML xmlns=\"http://www.fdsn.org/xml/station/1\" schemaVersion=\"1.2\">\n"
           "  <Source>kalvert</Source>\n  <Module>kalvert</Module>\n  <Created>" +
           xmlTimeText(created) + "</Created>\n";
}

std::string stationXmlChannel(const MetadataResponse& channel)
{
    const ChannelResponse& response = *channel.response;
    const Grouping& grouping = channel.grouping;
    std::string out;
    if (grouping.opensNetwork)
        out += "  <Network code=\"" + escaped(response.id.network) + "\"" +
               epochAttributes(grouping.networkStart, grouping.networkEnd) + ">\n";
    if (grouping.opensStation) {
        out += "   <Station code=\"" + escaped(response.id.station) + "\"" +
               epochAttributes(grouping.stationStart, grouping.stationEnd) + ">\n";
        const StationPlace& station = response.station;
        const ChannelPlace& place = response.place;
        number(out, "    ", "Latitude", station.latitude ? *station.latitude : orZero(place.latitude));
        number(out, "    ", "Longitude", station.longitude ? *station.longitude : orZero(place.longitude));
        number(out, "    ", "Elevation", station.elevation ? *station.elevation : orZero(place.elevation));
        out += "    <Site><Name>" + escaped(station.site.empty() ? response.id.station : station.site) +
               "</Name></Site>\n";
    }
    out += "    <Channel code=\"" + escaped(response.id.channel) + "\" locationCode=\"" +
           escaped(response.id.location) + "\"" + epochAttributes(response.start, response.end) + ">\n";
    if (!channel.writtenAsZero.empty()) {
        std::string missing;
        for (const std::string& name : channel.writtenAsZero) missing += (missing.empty() ? "" : ", ") + name;
        out += "     <Comment><Value>" + escaped(missing + ": not stated in " + channel.sourceName + ", written as 0") +
               "</Value></Comment>\n";
    }
    const ChannelPlace& place = response.place;
    number(out, "     ", "Latitude", orZero(place.latitude));
    number(out, "     ", "Longitude", orZero(place.longitude));
    number(out, "     ", "Elevation", orZero(place.elevation));
    number(out, "     ", "Depth", orZero(place.depth));
    if (place.azimuth) number(out, "     ", "Azimuth", *place.azimuth);
    if (place.dip) number(out, "     ", "Dip", *place.dip);
    if (response.sampleRate) number(out, "     ", "SampleRate", *response.sampleRate);
    if (!response.stated.instrument.empty())
        out += "     <Sensor><Description>" + escaped(response.stated.instrument) + "</Description></Sensor>\n";
    out += "     <Response>\n";
    const StatedValues& stated = response.stated;
    if (stated.sensitivity) {
        out += "      <InstrumentSensitivity>\n";
        number(out, "        ", "Value", *stated.sensitivity);
        number(out, "        ", "Frequency", stated.sensitivityFrequency.value_or(0.0));
        units(out, "        ", "InputUnits",
              stated.sensitivityUnit.empty() ? response.inputUnit : stated.sensitivityUnit, "");
        const std::string output = !stated.sensitivityOutputUnit.empty() ? stated.sensitivityOutputUnit
                                   : channel.stages.empty()              ? std::string("COUNTS")
                                                                         : channel.stages.back().outputUnit;
        units(out, "        ", "OutputUnits", output.empty() ? "COUNTS" : output, "");
        out += "      </InstrumentSensitivity>\n";
    }
    for (const CascadeStage& stage : channel.stages) stageElement(out, stage);
    out += "     </Response>\n    </Channel>\n";
    if (grouping.closesStation) out += "   </Station>\n";
    if (grouping.closesNetwork) out += "  </Network>\n";
    return out;
}

}  // namespace kalvert
