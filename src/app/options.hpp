#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kalvert {

/// What a run is asked to produce.
struct OutputRequest {
    double freqLow = 0.001;        ///< Hz
    double freqHigh = 20.0;        ///< Hz
    int npoints = 300;             ///< steps of the linear grid, or points per decade with logX
    bool logX = false;             ///< logarithmic frequency axis
    std::string typeIn = "1";      ///< kind of motion the file describes, as typed
    std::string typeOut = "GSE2";  ///< "GSE2", "QTV" or "n1,n2,n3", as typed
    bool typeInGiven = false;      ///< TYPE_IN= stood on the command line
    bool typeOutGiven = false;     ///< TYPE_OUT= stood on the command line
    bool gridGiven = false;        ///< FREQ=, NPOINTS= or -logX stood on the command line
    std::optional<int> section;    ///< SECTION=n: read the file by sections, convert section n
    std::string format = "FAP";    ///< FORMAT=, as typed
    std::string calper = "1.0";    ///< CALPER=, seconds, as typed
};

/// TYPE_IN= and TYPE_OUT= keep at most this many characters of their text.
inline constexpr std::size_t typeTextCapacity = 15;

enum class [[nodiscard]] OptionsOutcome{Proceed, HelpAsked};

/// Resets `request` to its defaults, then applies the arguments after the
/// program name in order (later ones override earlier ones; unknown ones are
/// ignored). Prints "Incorrect [FREQ=] parametr\n" for a FREQ= without ";" or
/// ",". On a help key it prints the help screen, stops looking and returns
/// HelpAsked; the caller then ends the process with status 0.
[[nodiscard]] OptionsOutcome parseOptions(const std::vector<std::string>& arguments, OutputRequest& request);

}  // namespace kalvert
