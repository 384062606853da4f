#include "app/options.hpp"

#include <algorithm>
#include <thread>

#include <charconv>
#include <cmath>

#include "text/text_scan.hpp"

namespace kalvert {
namespace {

constexpr std::string_view helpKeys[] = {"--help", "-help", "/help", "help", "--h", "-h", "/h", "--?", "-?", "/?"};

bool isHelpKey(std::string_view argument)
{
    for (const std::string_view key : helpKeys)
        if (equalsIgnoringCase(argument, key)) return true;
    return false;
}

// Both numbers are read by the C library's "%lf%*c%lf", so inf, nan and hex
// floats are taken; each is stored only if the scan read it. False for a
// band without a separator, which changes nothing.
bool readBand(const std::string& rest, GridRequest& grid)
{
    if (rest.find_first_of(";,") == std::string::npos) return false;
    scanNumberPair(rest.c_str(), grid.freqLow, grid.freqHigh);
    return true;
}

// The text after `prefix` (matched ignoring case) in `value`, if it is there.
bool takeValue(const std::string& argument, std::string_view prefix, std::string& value)
{
    if (!startsWithIgnoringCase(argument, prefix)) return false;
    value = argument.substr(prefix.size());
    return true;
}

// A whole number from 0, digits only: nothing else names a section.
std::optional<int> readSectionNumber(const std::string& text)
{
    int number = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || text.front() == '-' || result.ec != std::errc{} || result.ptr != text.data() + text.size())
        return std::nullopt;
    return number;
}

// THREADS=: a whole number from 1 to mostThreads; without it, one per core.
std::optional<unsigned> readThreads(const std::string& text)
{
    if (text.empty()) return std::max(1U, std::min(mostThreads, std::thread::hardware_concurrency()));
    const std::optional<int> number = readSectionNumber(text);
    if (!number || *number < 1 || static_cast<unsigned>(*number) > mostThreads) return std::nullopt;
    return static_cast<unsigned>(*number);
}

// The typed fields that follow from the texts.
void readTypedFields(OutputRequest& request)
{
    request.kind = readResponseKind(request.typeIn, request.typeOut);
    request.format = findOutputFormat(request.formatText);
    request.calper = readCalibrationPeriod(request.calperText);
    if (!request.timeText.empty()) request.time = readDateTime(request.timeText, true);
    request.skipRefused = equalsIgnoringCase(request.onErrorText, "skip");
    request.threads = readThreads(request.threadsText);
    request.onErrorValid = request.skipRefused || equalsIgnoringCase(request.onErrorText, "stop");
}

// "*" any run of characters, "?" any one; letter case ignored. Greedy with
// one backtracking point, so that no pattern costs more than text × pattern.
bool wildcardMatches(std::string_view pattern, std::string_view text)
{
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t star = std::string_view::npos;
    std::size_t resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || equalsIgnoringCase(pattern.substr(p, 1), text.substr(t, 1)))) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& arguments)
{
    ParsedOptions parsed;
    OutputRequest& request = parsed.request;
    constexpr std::string_view inKey = "IN=";
    constexpr std::string_view outKey = "OUT=";
    if (arguments.size() > 1) request.inputPath = arguments[1].substr(std::min(arguments[1].size(), inKey.size()));
    if (arguments.size() > 2) request.outputPath = arguments[2].substr(std::min(arguments[2].size(), outKey.size()));
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string value;
        if (isHelpKey(argument)) {
            parsed.helpAsked = true;
            break;
        }
        if (equalsIgnoringCase(argument, "-logX") || equalsIgnoringCase(argument, "/logX")) {
            request.grid.logX = true;
            request.gridGiven = true;
        } else if (takeValue(argument, "NPOINTS=", value)) {
            request.grid.npoints = readLeadingInteger(value);
            request.gridGiven = true;
        } else if (takeValue(argument, "FREQ=", value)) {
            if (!readBand(value, request.grid)) ++parsed.bandsRefused;
            request.gridGiven = true;
        } else if (takeValue(argument, "TYPE_IN=", value)) {
            request.typeIn = value.substr(0, typeTextCapacity);
            request.typeInGiven = true;
        } else if (takeValue(argument, "TYPE_OUT=", value)) {
            request.typeOut = value.substr(0, typeTextCapacity);
            request.typeOutGiven = true;
        } else if (takeValue(argument, "SECTION=", value)) {
            request.sectionText = value;
            request.section = readSectionNumber(value);
            request.sectionValid = request.section.has_value();
        } else if (takeValue(argument, "CHANNEL=", value)) {
            request.channelPattern = value;
        } else if (takeValue(argument, "TIME=", value)) {
            request.timeText = value;
        } else if (takeValue(argument, "THREADS=", value)) {
            request.threadsText = value;
        } else if (takeValue(argument, "ON_ERROR=", value)) {
            request.onErrorText = value;
        } else if (takeValue(argument, "FORMAT=", value)) {
            request.formatText = value;
        } else if (takeValue(argument, "CALPER=", value)) {
            request.calperText = value;
            request.calperGiven = true;
        }
    }
    readTypedFields(request);
    return parsed;
}

bool channelMatches(const std::string& pattern, const ChannelId& id)
{
    if (pattern.empty()) return true;
    const std::string* fields[] = {&id.network, &id.station, &id.location, &id.channel};
    std::string_view rest = pattern;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t dot = i < 3 ? rest.find('.') : std::string_view::npos;
        if (i < 3 && dot == std::string_view::npos) return false;
        std::string_view part = rest.substr(0, dot);
        rest.remove_prefix(dot == std::string_view::npos ? rest.size() : dot + 1);
        if (i == 2 && part == "--") part = {};
        if (!wildcardMatches(part, *fields[i])) return false;
    }
    return true;
}

std::optional<double> readCalibrationPeriod(const std::string& text)
{
    double seconds = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), seconds);
    constexpr double beyondAnyPeriod = 1e6;  // and short enough to format below
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size() || !(std::fabs(seconds) < beyondAnyPeriod))
        return std::nullopt;
    // Everything is computed from the period the file will hold: f7.3.
    char written[32];
    const auto end = std::to_chars(written, written + sizeof written, seconds, std::chars_format::fixed, 3).ptr;
    std::from_chars(written, end, seconds);
    if (!(seconds >= shortestCalper && seconds <= longestCalper)) return std::nullopt;
    return seconds;
}

}  // namespace kalvert
