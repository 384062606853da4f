#include "app/options.hpp"

#include <cstdio>
#include <cstdlib>

#include "app/help_screen.hpp"
#include "response/output_kind.hpp"

namespace kalvert {
namespace {

constexpr std::string_view helpKeys[] = {"--help", "-help", "/help", "help", "--h",
                                         "-h",     "/h",    "--?",   "-?",   "/?"};

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
    double low = 0.0;
    double high = 0.0;
    const int read = std::sscanf(rest.c_str(), "%lf%*c%lf", &low, &high);
    if (read >= 1) request.freqLow = low;
    if (read >= 2) request.freqHigh = high;
}

// The text after `prefix` (matched ignoring case) in `value`, if it is there.
bool takeValue(const std::string& argument, std::string_view prefix, std::string& value)
{
    if (!startsWithIgnoringCase(argument, prefix)) return false;
    value = argument.substr(prefix.size());
    return true;
}

}  // namespace

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

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
        } else if (takeValue(argument, "NPOINTS=", value)) {
            request.npoints = std::atoi(value.c_str());
        } else if (takeValue(argument, "FREQ=", value)) {
            readBand(value, request);
        } else if (takeValue(argument, "TYPE_IN=", value)) {
            request.typeIn = value.substr(0, typeTextCapacity);
        } else if (takeValue(argument, "TYPE_OUT=", value)) {
            request.typeOut = value.substr(0, typeTextCapacity);
        }
    }
    return OptionsOutcome::Proceed;
}

}  // namespace kalvert
