#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "dates/date_time.hpp"
#include "response/grid.hpp"
#include "response/output_kind.hpp"
#include "writers/output_formats.hpp"

namespace kalvert {

/// What a run is asked to do, every argument read once into its type.
struct OutputRequest {
    // The typed values.
    const OutputFormat* format = &legacyFapFormat();  ///< null when FORMAT= names no format
    std::optional<double> calper = 1.0;               ///< seconds; nothing when CAL2 cannot hold it
    GridRequest grid;                                 ///< FREQ=, NPOINTS=, -logX
    std::string inputPath;                            ///< IN=
    std::string outputPath;                           ///< OUT=
    std::string channelPattern;                       ///< CHANNEL=NET.STA.LOC.CHA with * and ?, empty for any
    // The texts as typed, for messages.
    std::string typeIn = "1";          ///< kind of motion the file describes
    std::string typeOut = "GSE2";      ///< "GSE2", "QTV" or "n1,n2,n3"
    std::string sectionText;           ///< SECTION=
    std::string timeText;              ///< TIME=
    std::string formatText = "FAP";    ///< FORMAT=
    std::string calperText = "1.0";    ///< CALPER=
    std::string onErrorText = "stop";  ///< ON_ERROR=
    std::string threadsText;           ///< THREADS=
    std::optional<int> section;        ///< SECTION=n: read the file by sections, convert section n
    ResponseKind kind;                 ///< TYPE_IN and TYPE_OUT read
    std::optional<DateTime> time;      ///< TIME=: the epochs in force then
    // What stood on the command line, and whether it could be read.
    bool gridGiven = false;     ///< FREQ=, NPOINTS= or -logX
    bool typeInGiven = false;   ///< TYPE_IN=
    bool typeOutGiven = false;  ///< TYPE_OUT=
    bool sectionValid = true;   ///< SECTION= held a whole number from 0
    bool calperGiven = false;   ///< CALPER=
    bool skipRefused = false;   ///< ON_ERROR=skip: a refused response is skipped, the rest written
    bool onErrorValid = true;   ///< ON_ERROR= held stop or skip
    /// THREADS=n: how many threads convert the responses of a standard
    /// format (one per core when not given); nothing when THREADS= holds no
    /// whole number from 1 to mostThreads.
    std::optional<unsigned> threads;
};

/// THREADS= takes at most this many.
inline constexpr unsigned mostThreads = 256;

/// TYPE_IN= and TYPE_OUT= keep at most this many characters of their text.
inline constexpr std::size_t typeTextCapacity = 15;

/// CALPER='s range: CAL2's calper is f7.3.
inline constexpr double shortestCalper = 0.001;
inline constexpr double longestCalper = 999.999;

/// The arguments read, and what the reading found to say.
struct ParsedOptions {
    OutputRequest request;
    int bandsRefused = 0;    ///< FREQ= arguments without ";" or ",", each to be reported
    bool helpAsked = false;  ///< a help key stood before any later argument was read
};

/// Reads IN= and OUT= (the first two arguments, whose keys the caller has
/// checked) and applies the arguments after the program name in order to
/// the defaults (later ones override earlier ones; unknown ones are
/// ignored). A help key stops the reading: the caller then shows the help
/// screen and ends with status 0. Throws std::bad_alloc when the arguments
/// cannot be held.
[[nodiscard]] ParsedOptions parseOptions(const std::vector<std::string>& arguments);

/// Does the pattern (NET.STA.LOC.CHA, each part with * and ?; an empty
/// location written as "--" or nothing) name this channel?
[[nodiscard]] bool channelMatches(const std::string& pattern, const ChannelId& id);

/// CALPER='s period in seconds, if it is one the CAL2 line can hold.
[[nodiscard]] std::optional<double> readCalibrationPeriod(const std::string& text);

}  // namespace kalvert
