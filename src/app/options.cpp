#include "app/options.hpp"

#include <cstdio>

#include "app/help_screen.hpp"
#include "response/text_scan.hpp"

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
// floats are taken; each is stored only if the scan read it.
void readBand(const std::string& rest, OutputRequest& request)
{
    if (rest.find_first_of(";,") == std::string::npos) {
        std::printf("Incorrect [FREQ=] parametr\n");
        return;
    }
    scanNumberPair(rest.c_str(), request.freqLow, request.freqHigh);
}

// The text after `prefix` (matched ignoring case) in `value`, if it is there.
bool takeValue(const std::string& argument, std::string_view prefix, std::string& value)
{
    if (!startsWithIgnoringCase(argument, prefix)) return false;
    value = argument.substr(prefix.size());
    return true;
}

}  // namespace

OptionsOutcome parseOptions(const std::vector<std::string>& arguments, OutputRequest& request)
{
    request = OutputRequest{};
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string value;
        if (isHelpKey(argument)) {
            printHelpScreen();
            return OptionsOutcome::HelpAsked;
        }
        if (equalsIgnoringCase(argument, "-logX") || equalsIgnoringCase(argument, "/logX")) {
            request.logX = true;
            request.gridGiven = true;
        } else if (takeValue(argument, "NPOINTS=", value)) {
            request.npoints = readLeadingInteger(value);
            request.gridGiven = true;
        } else if (takeValue(argument, "FREQ=", value)) {
            readBand(value, request);
            request.gridGiven = true;
        } else if (takeValue(argument, "TYPE_IN=", value)) {
            request.typeIn = value.substr(0, typeTextCapacity);
            request.typeInGiven = true;
        } else if (takeValue(argument, "TYPE_OUT=", value)) {
            request.typeOut = value.substr(0, typeTextCapacity);
            request.typeOutGiven = true;
        } else if (takeValue(argument, "SECTION=", value)) {
            request.section = readLeadingInteger(value);
        } else if (takeValue(argument, "FORMAT=", value)) {
            request.format = value;
        } else if (takeValue(argument, "CALPER=", value)) {
            request.calper = value;
        }
    }
    return OptionsOutcome::Proceed;
}

}  // namespace kalvert
