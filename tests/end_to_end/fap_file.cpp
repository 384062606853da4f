#include "end_to_end/fap_file.hpp"

#include <cstdlib>
#include <sstream>

namespace kalvert::testing {
namespace {

// Columns counted from 1, both ends included.
std::string columns(const std::string& line, std::size_t first, std::size_t last)
{
    if (line.size() < first) return "";
    return line.substr(first - 1, last - first + 1);
}

std::string trimmedRight(std::string text)
{
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

bool fail(std::string& error, const std::string& why)
{
    error = why;
    return false;
}

}  // namespace

bool parseFapFile(const std::string& text, FapFile& file, std::string& error)
{
    std::istringstream in(text);
    std::string cal2, comment, fap2, countLine;
    if (!std::getline(in, cal2) || !std::getline(in, comment) || !std::getline(in, fap2) || !std::getline(in, countLine))
        return fail(error, "fewer than four lines");
    if (columns(cal2, 1, 5) != "CAL2 " || cal2.size() < 64) return fail(error, "no CAL2 line: " + cal2);
    file.station = trimmedRight(columns(cal2, 6, 10));
    file.channel = trimmedRight(columns(cal2, 12, 14));
    if (trimmedRight(columns(cal2, 16, 27)) != "") return fail(error, "CAL2 columns 16-27 not blank");
    file.calibration = std::strtod(columns(cal2, 28, 43).c_str(), nullptr);
    file.period = std::strtod(columns(cal2, 45, 51).c_str(), nullptr);
    if (trimmedRight(columns(cal2, 52, 64)) != "") return fail(error, "CAL2 columns 52-64 not blank");
    file.times = cal2.substr(64);

    if (comment.rfind(" ( ", 0) != 0 || comment.size() < 5 || comment.substr(comment.size() - 2) != " )")
        return fail(error, "comment line not ( … ): " + comment);
    std::istringstream fields(comment.substr(3, comment.size() - 5));
    std::string identity;
    std::getline(fields, identity, ' ');
    std::getline(fields, file.unit);
    std::istringstream parts(identity);
    std::string station, channel;
    std::getline(parts, station, ':');
    std::getline(parts, channel, ':');
    std::getline(parts, file.location, ':');
    std::getline(parts, file.network, ':');
    if (station != file.station || channel != file.channel) return fail(error, "comment line names another channel");

    if (columns(fap2, 1, 9) != "FAP2  0 C" || columns(fap2, 10, 24) != "         0.000 ")
        return fail(error, "no FAP2 line: " + fap2);
    file.fap2Count = std::atoi(columns(fap2, 25, 27).c_str());
    file.descriptor = trimmedRight(fap2.substr(28));

    char* end = nullptr;
    const long count = std::strtol(countLine.c_str(), &end, 10);
    if (*end != '\0' || count < 0) return fail(error, "bad count line: " + countLine);
    for (std::string line; std::getline(in, line);) {
        // "%12.7f  %10.7e %10.7f"
        FapFile::Row row;
        const char* at = line.c_str();
        row.frequency = std::strtod(at, &end);
        if (end == at || end[0] != ' ' || end[1] != ' ') return fail(error, "bad frequency field: " + line);
        at = end;
        row.amplitude = std::strtod(at, &end);
        const std::size_t exponentAt = line.find('e');
        if (end == at || *end != ' ' || exponentAt == std::string::npos) return fail(error, "bad amplitude field: " + line);
        const char* e = line.c_str() + exponentAt;
        row.amplitudeExponent = std::atoi(e + 1);
        if (end - (e + 2) < 3) return fail(error, "exponent of fewer than three digits: " + line);
        at = end;
        row.phase = std::strtod(at, &end);
        if (end == at || *end != '\0') return fail(error, "bad phase field: " + line);
        file.rows.push_back(row);
    }
    if (static_cast<long>(file.rows.size()) != count) return fail(error, "count line disagrees with the rows");
    if (file.fap2Count != (count > 999 ? 999 : count)) return fail(error, "FAP2 count disagrees with the rows");
    return true;
}

}  // namespace kalvert::testing
