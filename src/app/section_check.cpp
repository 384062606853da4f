#include "app/section_check.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "response/ground_motion.hpp"
#include "response/output_kind.hpp"
#include "response/text_scan.hpp"

namespace kalvert {
namespace {

// CONSTANT and A0 × SENSITIVITY carry about seven digits; beyond this the
// file contradicts itself.
constexpr double consistencyLimitDecibels = 0.1;

// Seven significant digits, as the files write their gains.
std::string numberText(double value)
{
    constexpr int decimals = 6;
    char text[32];
    return std::string(text,
                       std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, decimals).ptr);
}

std::string epochText(const SectionHeader& header)
{
    if (!header.start && !header.end) return "epoch not stated";
    return epochSpan(header);
}

std::string identityText(const SectionHeader& header)
{
    const std::string name = channelName(header);
    return name == "..." ? "(no header)" : name;
}

std::string sectionTitle(std::size_t number, const SectionHeader& header)
{
    return "Section " + std::to_string(number) + " " + identityText(header);
}

// "on / off" for the CAL2 line; an open end leaves nothing after the separator.
std::string legacyEpoch(const SectionHeader& header)
{
    if (!header.start && !header.end) return "";
    return (header.start ? legacyTimeText(*header.start) : "") + " / " +
           (header.end ? legacyTimeText(*header.end) : "");
}

StationInfo legacyStation(const SectionHeader& header)
{
    StationInfo station;
    station.station = header.station.substr(0, StationInfo::stationCapacity);
    station.channel = header.channel.substr(0, StationInfo::channelCapacity);
    station.network = header.network.substr(0, StationInfo::networkCapacity);
    station.location = header.location.substr(0, StationInfo::locationCapacity);
    station.timeText = legacyEpoch(header).substr(0, StationInfo::timeTextCapacity);
    return station;
}

// CONSTANT against A0 × SENSITIVITY, both per metre: rdseed, ObsPy and the SAC
// manual make the one the product of the others.
void warnAboutConstant(std::size_t number, const PoleZeroSection& section, double metresPerUnit)
{
    const SectionHeader& header = section.header;
    std::optional<double> product;
    if (header.a0 && header.sensitivity) {
        const std::optional<GroundMotionUnit> sensitivityUnit = readGroundMotionUnit(header.sensitivityUnit);
        product = *header.a0 * *header.sensitivity / (sensitivityUnit ? sensitivityUnit->metresPerUnit : 1.0);
    }
    if (!section.constant) {
        std::printf("WARNING: %s has no CONSTANT: 1.0 is used%s\n", sectionTitle(number, header).c_str(),
                    product
                        ? (" (A0 x SENSITIVITY from its header: " + numberText(*product * metresPerUnit) + ")").c_str()
                        : "");
        return;
    }
    if (!product) return;
    const double perMetre = *section.constant / metresPerUnit;
    const double decibels = std::fabs(20.0 * std::log10(std::fabs(perMetre / *product)));
    if (!(decibels <= consistencyLimitDecibels))
        std::printf("WARNING: %s: CONSTANT %s differs from A0 x SENSITIVITY %s by %.2f dB\n",
                    sectionTitle(number, header).c_str(), numberText(*section.constant).c_str(),
                    numberText(*product * metresPerUnit).c_str(), decibels);
}

}  // namespace

std::string sectionList(const std::vector<PoleZeroSection>& sections)
{
    std::string list;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        std::string number = std::to_string(i + 1);
        number.insert(0, number.size() < 3 ? 3 - number.size() : 0, ' ');
        list += "  " + number + "  " + identityText(sections[i].header) + "  " + epochText(sections[i].header) + "\n";
    }
    return list;
}

ExitCode readSections(const std::string& inputPath, const std::string& inputText,
                      std::vector<PoleZeroSection>& sections)
{
    try {
        sections = readPoleZeroSections(inputText);
    } catch (const SectionFormatError& error) {
        std::printf("ERROR: Checking data (%s)\n  %s\n", inputPath.c_str(), error.what());
        return ExitCode::BadInputFile;
    } catch (...) {
        std::printf("ERROR: Checking data (%s)\n", inputPath.c_str());
        return ExitCode::BadInputFile;
    }
    return ExitCode::Success;
}

ExitCode refuseSectionNumber(const std::string& inputPath, int number, const std::vector<PoleZeroSection>& sections)
{
    std::printf("ERROR: No section %d in (%s); it holds %zu:\n%s", number, inputPath.c_str(), sections.size(),
                sectionList(sections).c_str());
    return ExitCode::BadInputFile;
}

ExitCode checkOneSection(const std::string& inputPath, std::size_t number, const PoleZeroSection& section,
                         const OutputRequest& request, CheckedSection& checked)
{
    const std::string title = sectionTitle(number, section.header);
    GroundMotionUnit unit;
    const int typeInMotion = readLeadingInteger(request.typeIn);
    if (section.header.inputUnit.empty()) {
        unit.motion = typeInMotion;
        std::printf("WARNING: %s states no INPUT UNIT: read as %s (TYPE_IN=%s)\n", title.c_str(),
                    motionName(unit.motion), request.typeIn.c_str());
    } else if (const std::optional<GroundMotionUnit> stated = readGroundMotionUnit(section.header.inputUnit)) {
        unit = *stated;
        if (request.typeInGiven && typeInMotion != unit.motion)
            std::printf("WARNING: TYPE_IN=%s contradicts INPUT UNIT %s of %s: read as %s\n", request.typeIn.c_str(),
                        section.header.inputUnit.c_str(), title.c_str(), motionName(unit.motion));
    } else {
        std::printf("ERROR: %s has INPUT UNIT %s, not a ground motion (M, NM, M/S, M/S**2 ...) (%s)\n", title.c_str(),
                    section.header.inputUnit.c_str(), inputPath.c_str());
        return ExitCode::BadInputFile;
    }
    warnAboutConstant(number, section, unit.metresPerUnit);

    checked.model.zeros = section.zeros;
    checked.model.poles = section.poles;
    checked.model.nzeros = static_cast<int>(section.zeros.size());
    checked.model.npoles = static_cast<int>(section.poles.size());
    checked.model.constant = section.constant.value_or(1.0) / unit.metresPerUnit;
    checked.station = legacyStation(section.header);
    checked.inputMotion = unit.motion;
    return ExitCode::Success;
}

ExitCode checkSection(const std::string& inputPath, const std::string& inputText, const OutputRequest& request,
                      CheckedSection& checked)
{
    std::printf("Checking data (%s)\n", inputPath.c_str());
    std::vector<PoleZeroSection> sections;
    if (const ExitCode code = readSections(inputPath, inputText, sections); code != ExitCode::Success) return code;
    const int number = *request.section;
    if (number < 1 || static_cast<std::size_t>(number) > sections.size())
        return refuseSectionNumber(inputPath, number, sections);
    const auto index = static_cast<std::size_t>(number);
    if (const ExitCode code = checkOneSection(inputPath, index, sections[index - 1], request, checked);
        code != ExitCode::Success)
        return code;
    std::printf("OK (Checking data)\n");
    return ExitCode::Success;
}

}  // namespace kalvert
