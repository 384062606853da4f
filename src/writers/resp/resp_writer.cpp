#include "writers/resp/resp_writer.hpp"

#include "writers/numbers/number_format.hpp"

namespace kalvert {
namespace {

// "B053F05     Response in units lookup:              " and the value.
void field(std::string& out, const char* tag, const char* label, const std::string& value)
{
    out.append(tag).append("     ");
    appendLeft(out, std::string(label) + ":", 39);
    out.append(value).append("\n");
}

std::string unitText(const std::string& name, const std::string& description)
{
    return description.empty() ? name : name + " - " + description;
}

std::string number(double value)
{
    return roundTripScientific(value);
}

void tableLine(std::string& out, const char* tag, std::size_t index, std::initializer_list<double> values)
{
    out.append(tag);
    std::string position = std::to_string(index);
    out.append(position.size() < 5 ? 5 - position.size() : 1, ' ').append(position);
    for (const double value : values) out.append("  ").append(number(value));
    out += "\n";
}

void banner(std::string& out, const char* title)
{
    out.append("#\t\t+  ").append(title).append("  +\n");
}

std::string stageNumber(const CascadeStage& stage)
{
    return std::to_string(stage.number);
}

void poleZero(std::string& out, const CascadeStage& stage)
{
    const char* type = stage.kind == CascadeStage::Kind::DigitalPoleZero ? "D [Digital (Z-transform)]"
                       : stage.hertz                                     ? "B [Analog (Hz)]"
                                                                         : "A [Laplace Transform (Rad/sec)]";
    banner(out, "Response (Poles & Zeros)");
    field(out, "B053F03", "Transfer function type", type);
    field(out, "B053F04", "Stage sequence number", stageNumber(stage));
    field(out, "B053F05", "Response in units lookup", unitText(stage.inputUnit, stage.inputUnitDescription));
    field(out, "B053F06", "Response out units lookup", unitText(stage.outputUnit, stage.outputUnitDescription));
    field(out, "B053F07", "A0 normalization factor", number(stage.a0));
    field(out, "B053F08", "Normalization frequency", number(stage.normalisationFrequency));
    field(out, "B053F09", "Number of zeroes", std::to_string(stage.zeros.size()));
    field(out, "B053F14", "Number of poles", std::to_string(stage.poles.size()));
    out += "#\t\tComplex zeroes:\n#\t\t  i  real  imag  real_error  imag_error\n";
    for (std::size_t i = 0; i < stage.zeros.size(); ++i)
        tableLine(out, "B053F10-13", i, {stage.zeros[i].re, stage.zeros[i].im, 0.0, 0.0});
    out += "#\t\tComplex poles:\n#\t\t  i  real  imag  real_error  imag_error\n";
    for (std::size_t i = 0; i < stage.poles.size(); ++i)
        tableLine(out, "B053F15-18", i, {stage.poles[i].re, stage.poles[i].im, 0.0, 0.0});
}

void coefficients(std::string& out, const CascadeStage& stage)
{
    const char* type = stage.kind != CascadeStage::Kind::AnalogueCoefficients ? "D" : stage.hertz ? "B" : "A";
    banner(out, "Response (Coefficients)");
    field(out, "B054F03", "Transfer function type", type);
    field(out, "B054F04", "Stage sequence number", stageNumber(stage));
    field(out, "B054F05", "Response in units lookup", unitText(stage.inputUnit, stage.inputUnitDescription));
    field(out, "B054F06", "Response out units lookup", unitText(stage.outputUnit, stage.outputUnitDescription));
    field(out, "B054F07", "Number of numerators", std::to_string(stage.numerator.size()));
    field(out, "B054F10", "Number of denominators", std::to_string(stage.denominator.size()));
    for (std::size_t i = 0; i < stage.numerator.size(); ++i) tableLine(out, "B054F08-09", i, {stage.numerator[i], 0.0});
    for (std::size_t i = 0; i < stage.denominator.size(); ++i)
        tableLine(out, "B054F11-12", i, {stage.denominator[i], 0.0});
}

void fir(std::string& out, const CascadeStage& stage)
{
    const std::size_t n = stage.numerator.size();
    const std::size_t listed = stage.symmetry == 'O' ? (n + 1) / 2 : stage.symmetry == 'E' ? n / 2 : n;
    banner(out, "FIR response");
    field(out, "B061F03", "Stage sequence number", stageNumber(stage));
    field(out, "B061F05", "Symmetry type", stage.symmetry == 'O' ? "B" : stage.symmetry == 'E' ? "C" : "A");
    field(out, "B061F06", "Response in units lookup", unitText(stage.inputUnit, stage.inputUnitDescription));
    field(out, "B061F07", "Response out units lookup", unitText(stage.outputUnit, stage.outputUnitDescription));
    field(out, "B061F08", "Number of numerators", std::to_string(listed));
    for (std::size_t i = 0; i < listed; ++i) tableLine(out, "B061F09", i, {stage.numerator[i]});
}

void responseList(std::string& out, const CascadeStage& stage)
{
    banner(out, "Response List");
    field(out, "B055F03", "Stage sequence number", stageNumber(stage));
    field(out, "B055F04", "Response in units lookup", unitText(stage.inputUnit, stage.inputUnitDescription));
    field(out, "B055F05", "Response out units lookup", unitText(stage.outputUnit, stage.outputUnitDescription));
    field(out, "B055F06", "Number of responses listed", std::to_string(stage.listed.size()));
    for (std::size_t i = 0; i < stage.listed.size(); ++i) {
        const ListedValue& value = stage.listed[i];
        tableLine(out, "B055F07-11", i, {value.frequency, value.amplitude, 0.0, value.phase, 0.0});
    }
}

void polynomial(std::string& out, const CascadeStage& stage)
{
    const PolynomialTerms& terms = stage.polynomial;
    banner(out, "Polynomial");
    field(out, "B062F03", "Transfer function type", "P [Polynomial]");
    field(out, "B062F04", "Stage sequence number", stageNumber(stage));
    field(out, "B062F05", "Response in units lookup", unitText(stage.inputUnit, stage.inputUnitDescription));
    field(out, "B062F06", "Response out units lookup", unitText(stage.outputUnit, stage.outputUnitDescription));
    field(out, "B062F07", "Polynomial Approximation Type", "M [MacLaurin]");
    field(out, "B062F08", "Valid Frequency Units", "B [Hz]");
    field(out, "B062F09", "Lower Valid Frequency Bound", number(terms.lowestFrequency));
    field(out, "B062F10", "Upper Valid Frequency Bound", number(terms.highestFrequency));
    field(out, "B062F11", "Lower Bound of Approximation", number(terms.lowestInput));
    field(out, "B062F12", "Upper Bound of Approximation", number(terms.highestInput));
    field(out, "B062F13", "Maximum Absolute Error", number(terms.largestError));
    field(out, "B062F14", "Number of coefficients", std::to_string(terms.coefficients.size()));
    for (std::size_t i = 0; i < terms.coefficients.size(); ++i)
        tableLine(out, "B062F15-16", i, {terms.coefficients[i], 0.0});
}

void stageBlockettes(std::string& out, const CascadeStage& stage)
{
    using Kind = CascadeStage::Kind;
    switch (stage.kind) {
    case Kind::AnaloguePoleZero:
    case Kind::DigitalPoleZero: poleZero(out, stage); break;
    case Kind::Fir:
        if (stage.coefficientsElement)
            coefficients(out, stage);
        else
            fir(out, stage);
        break;
    case Kind::Iir:
    case Kind::AnalogueCoefficients: coefficients(out, stage); break;
    case Kind::GainOnly:
        if (stage.coefficientsElement || !stage.inputUnit.empty()) coefficients(out, stage);
        break;
    case Kind::ResponseList: responseList(out, stage); break;
    case Kind::Polynomial: polynomial(out, stage); break;
    }
    if (stage.decimation) {
        const Decimation& decimation = *stage.decimation;
        banner(out, "Decimation");
        field(out, "B057F03", "Stage sequence number", stageNumber(stage));
        field(out, "B057F04", "Input sample rate", number(decimation.inputRate));
        field(out, "B057F05", "Decimation factor", std::to_string(decimation.factor));
        field(out, "B057F06", "Decimation offset", std::to_string(decimation.offset));
        field(out, "B057F07", "Estimated delay (seconds)", number(decimation.delay));
        field(out, "B057F08", "Correction applied (seconds)", number(decimation.correction));
    }
    if (stage.gain) {
        banner(out, "Channel Gain");
        field(out, "B058F03", "Stage sequence number", stageNumber(stage));
        field(out, "B058F04", "Gain", number(*stage.gain));
        field(out, "B058F05", "Frequency of gain", number(stage.gainFrequency) + " HZ");
        field(out, "B058F06", "Number of calibrations", "0");
    }
}

}  // namespace

std::string respChannel(const MetadataResponse& channel)
{
    const ChannelResponse& response = *channel.response;
    std::string out =
        "#\t\t<< kalvert, from " + channel.sourceName + " >>\n#\t\t\n#\t\t======== CHANNEL RESPONSE DATA ========\n";
    out += "B050F03     Station:     " + response.id.station + "\n";
    out += "B050F16     Network:     " + response.id.network + "\n";
    out +=
        "B052F03     Location:    " + (response.id.location.empty() ? std::string("??") : response.id.location) + "\n";
    out += "B052F04     Channel:     " + response.id.channel + "\n";
    out += "B052F22     Start date:  " + (response.start ? seedTimeText(*response.start) : std::string()) + "\n";
    out += "B052F23     End date:    " + (response.end ? seedTimeText(*response.end) : std::string("No Ending Time")) +
           "\n";
    out += "#\t\t=======================================\n";
    for (const CascadeStage& stage : channel.stages) stageBlockettes(out, stage);
    const StatedValues& stated = response.stated;
    if (stated.sensitivity) {
        banner(out, "Channel Sensitivity");
        field(out, "B058F03", "Stage sequence number", "0");
        field(out, "B058F04", "Sensitivity", number(*stated.sensitivity));
        field(out, "B058F05", "Frequency of sensitivity", number(stated.sensitivityFrequency.value_or(0.0)) + " HZ");
        field(out, "B058F06", "Number of calibrations", "0");
    }
    return out;
}

}  // namespace kalvert
