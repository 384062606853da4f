#include "writers/fap/fap_header.hpp"

#include <string>

#include "writers/numbers/number_format.hpp"

namespace kalvert {
namespace {

// The FAP2 line's count field has three columns.
constexpr std::size_t maxFap2Count = 999;

// The legacy file states neither calibration factor nor period.
constexpr double calibrationNotGiven = -1.0;

std::string lengthUnitName(int n3)
{
    switch (n3) {
    case 0: return "M";
    case -3: return "mM";
    case -6: return "mkM";
    case -9: return "nM";
    default: {
        std::string name = "1E";
        appendInteger(name, n3);
        return name + "*M";
    }
    }
}

// "CAL2 %-5s %-3s %-4s %-6s %15.8e %7.3f %-11s %s %s\n"
std::string cal2Line(const StationInfo& station, const TimeTexts& times)
{
    std::string line = "CAL2 ";
    appendLeft(line, station.station, 5);
    line += ' ';
    appendLeft(line, station.channel, 3);
    line += ' ';
    appendLeft(line, "", 4);  // auxiliary identification
    line += ' ';
    appendLeft(line, "", 6);  // instrument type
    line += ' ';
    appendExponent(line, calibrationNotGiven, 15, 8);  // calibration factor
    line += ' ';
    appendFixed(line, calibrationNotGiven, 7, 3);  // calibration period
    line += ' ';
    appendLeft(line, "", 11);  // sample rate
    line += ' ';
    line += times.onTime;
    line += ' ';
    line += times.offTime;
    line += '\n';
    return line;
}

// " ( %s:%s:%s:%s %s )\n"
std::string commentLine(const StationInfo& station, std::string_view unitText)
{
    std::string line = " ( ";
    line.append(station.station).append(":").append(station.channel).append(":");
    line.append(station.location).append(":").append(station.network).append(" ");
    line.append(unitText).append(" )\n");
    return line;
}

// "FAP2 %2d %c %-4s %8.3f %3d %-25s\n"
std::string fap2Line(std::size_t count, std::string_view descriptor)
{
    std::string line = "FAP2 ";
    appendInteger(line, 0, 2);  // stage number
    line += " C ";              // output in counts
    appendLeft(line, "", 4);    // decimation
    line += ' ';
    appendFixed(line, 0.0, 8, 3);  // correction
    line += ' ';
    appendInteger(line, static_cast<long long>(count > maxFap2Count ? maxFap2Count : count), 3);
    line += ' ';
    appendLeft(line, descriptor, 25);
    line += '\n';
    return line;
}

// "on / off" for the CAL2 line; an open end leaves nothing after the separator.
std::string legacyEpoch(const std::optional<DateTime>& start, const std::optional<DateTime>& end)
{
    if (!start && !end) return "";
    return (start ? legacyTimeText(*start) : "") + " / " + (end ? legacyTimeText(*end) : "");
}

}  // namespace

StationInfo legacyStation(const ChannelResponse& response)
{
    StationInfo station;
    station.station = response.id.station.substr(0, StationInfo::stationCapacity);
    station.channel = response.id.channel.substr(0, StationInfo::channelCapacity);
    station.network = response.id.network.substr(0, StationInfo::networkCapacity);
    station.location = response.id.location.substr(0, StationInfo::locationCapacity);
    const std::string epoch =
        response.epochAsWritten.empty() ? legacyEpoch(response.start, response.end) : response.epochAsWritten;
    station.timeText = epoch.substr(0, StationInfo::timeTextCapacity);
    return station;
}

TimeTexts splitTimeText(std::string_view timeText)
{
    constexpr std::string_view separator = " / ";
    const std::size_t at = timeText.find(separator);
    if (at == std::string_view::npos) return {std::string(timeText), ""};
    return {std::string(timeText.substr(0, at)), std::string(timeText.substr(at + separator.size()))};
}

std::string fapUnitText(const OutputKind& kind)
{
    const std::string length = lengthUnitName(kind.n3);
    const bool inverse = kind.inverse();
    switch (kind.n1) {
    case 0: return inverse ? length + "/Count" : "Count/" + length;
    case 1: return inverse ? "(" + length + "/sec)/Count" : "Count/(" + length + "/sec)";
    case 2: return inverse ? "(" + length + "/sec**2)/Count" : "Count/(" + length + "/sec**2)";
    default: return "";
    }
}

std::string fapDescriptor(const OutputKind& kind, std::size_t count)
{
    std::string descriptor;
    if (kind.n1 == 0 && kind.inverse() && kind.n3 == -6)
        descriptor = "QTV FAP Triplets ";
    else if (kind.n1 == 1 && !kind.inverse() && kind.n3 == -9)
        descriptor = "GSE2 FAP Triplets ";
    else
        descriptor = "FAP Triplets ";
    appendInteger(descriptor, static_cast<long long>(count));
    return descriptor;
}

std::string formatFapHeader(const StationInfo& station, const TimeTexts& times, std::size_t count,
                            const OutputKind& kind)
{
    return cal2Line(station, times) + commentLine(station, fapUnitText(kind)) +
           fap2Line(count, fapDescriptor(kind, count));
}

}  // namespace kalvert
