#include "fap/fap_header.hpp"

#include <string>

#include "fap/number_format.hpp"
#include "response/output_kind.hpp"

namespace kalvert {
namespace {

// The FAP2 line's count field has three columns.
constexpr int maxFap2Count = 999;

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
std::string cal2Line(std::string_view station, std::string_view channel, std::string_view onTimeText,
                     std::string_view offTimeText, double calibrationFactor, double calibrationPeriod)
{
    std::string line = "CAL2 ";
    appendLeft(line, station, 5);
    line += ' ';
    appendLeft(line, channel, 3);
    line += ' ';
    appendLeft(line, "", 4);  // auxiliary identification
    line += ' ';
    appendLeft(line, "", 6);  // instrument type
    line += ' ';
    appendExponent(line, calibrationFactor, 15, 8);
    line += ' ';
    appendFixed(line, calibrationPeriod, 7, 3);
    line += ' ';
    appendLeft(line, "", 11);  // sample rate
    line += ' ';
    line += onTimeText;
    line += ' ';
    line += offTimeText;
    line += '\n';
    return line;
}

// " ( %s:%s:%s:%s %s )\n"
std::string commentLine(std::string_view station, std::string_view channel, std::string_view location,
                        std::string_view network, std::string_view unitText)
{
    std::string line = " ( ";
    line.append(station).append(":").append(channel).append(":");
    line.append(location).append(":").append(network).append(" ");
    line.append(unitText).append(" )\n");
    return line;
}

// "FAP2 %2d %c %-4s %8.3f %3d %-25s\n"
std::string fap2Line(int count, std::string_view descriptor)
{
    std::string line = "FAP2 ";
    appendInteger(line, 0, 2);  // stage number
    line += " C ";              // output in counts
    appendLeft(line, "", 4);    // decimation
    line += ' ';
    appendFixed(line, 0.0, 8, 3);  // correction
    line += ' ';
    appendInteger(line, count > maxFap2Count ? maxFap2Count : count, 3);
    line += ' ';
    appendLeft(line, descriptor, 25);
    line += '\n';
    return line;
}

}  // namespace

std::string fapUnitText(std::string_view typeOut)
{
    if (equalsIgnoringCase(typeOut, "QTV")) return "mkM/Count";
    if (equalsIgnoringCase(typeOut, "GSE2")) return "Count/(nM/sec)";

    const OutputKind kind = readOutputKind(typeOut);
    const std::string length = lengthUnitName(kind.n3);
    const bool inverse = kind.n2 != 0;
    switch (kind.n1) {
    case 0: return inverse ? length + "/Count" : "Count/" + length;
    case 1: return inverse ? "(" + length + "/sec)/Count" : "Count/(" + length + "/sec)";
    case 2: return inverse ? "(" + length + "/sec**2)/Count" : "Count/(" + length + "/sec**2)";
    default: return "";
    }
}

std::string fapDescriptor(std::string_view typeOut, int count)
{
    const OutputKind kind = readOutputKind(typeOut);
    std::string descriptor;
    if (equalsIgnoringCase(typeOut, "QTV") || (kind.n1 == 0 && kind.n2 != 0 && kind.n3 == -6))
        descriptor = "QTV FAP Triplets ";
    else if (equalsIgnoringCase(typeOut, "GSE2") || (kind.n1 == 1 && kind.n2 == 0 && kind.n3 == -9))
        descriptor = "GSE2 FAP Triplets ";
    else
        descriptor = "FAP Triplets ";
    appendInteger(descriptor, count);
    return descriptor;
}

std::string formatFapHeader(std::string_view station, std::string_view channel, std::string_view location,
                            std::string_view network, std::string_view onTimeText, std::string_view offTimeText,
                            int count, std::string_view typeOut, double calibrationFactor,
                            double calibrationPeriod)
{
    return cal2Line(station, channel, onTimeText, offTimeText, calibrationFactor, calibrationPeriod) +
           commentLine(station, channel, location, network, fapUnitText(typeOut)) +
           fap2Line(count, fapDescriptor(typeOut, count));
}

}  // namespace kalvert
