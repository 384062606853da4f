#include "app/conversion_run.hpp"

#include <cstdio>
#include <new>
#include <utility>

#include "app/file_access.hpp"
#include "app/help_screen.hpp"
#include "app/table_stream.hpp"
#include "app/options.hpp"
#include "app/section_check.hpp"
#include "app/standard_run.hpp"
#include "response/pole_zero_reader.hpp"
#include "response/text_scan.hpp"

namespace kalvert {
namespace {

// The format has its own "v" and the version text begins "Kalvert v", so the
// first line reads "tessarn.exe vKalvert v1.3.1": scripts that parse the
// banner rely on exactly that.
void printBanner()
{
    std::printf("tessarn.exe v%s\nConverter from PAZ(SAC) format to FAP(GSE2) format\n", versionText);
    std::printf("=============================================\n\n");
}

ExitCode readInput(const std::string& inputPath, std::string& inputText, FileIdentity& inputFile)
{
    std::printf("Trying to read input file (%s)\n", inputPath.c_str());
    switch (readWholeFile(inputPath, inputText, inputFile)) {
    case ReadOutcome::OpenFailed:
        std::printf("ERROR: Coundn't open (%s)\n", inputPath.c_str());
        return ExitCode::OpenFailed;
    case ReadOutcome::SizeUndefined:
        std::printf("ERROR: File size undefined (%s)\n", inputPath.c_str());
        return ExitCode::SizeUndefined;
    case ReadOutcome::ReadFailed:
        std::printf("ERROR: Couldn't read (%s)\n", inputPath.c_str());
        return ExitCode::BadInputFile;
    case ReadOutcome::Read: break;
    }
    std::printf("OK (Reading input file)\n");
    return ExitCode::Success;
}

// The reader cuts the text up in place: it is handed over, not copied, so
// that a large input is held in memory once.
ExitCode checkData(const std::string& inputPath, std::string&& inputText, PoleZeroModel& model, StationInfo& station)
{
    std::printf("Checking data (%s)\n", inputPath.c_str());
    if (inputText.find("ZEROS") == std::string::npos) {
        std::printf("ERROR: Incorrect file format (%s).\nNot found ZEROS", inputPath.c_str());
        return ExitCode::BadInputFile;
    }
    if (inputText.find("POLES") == std::string::npos) {
        std::printf("ERROR: Incorrect file format (%s).\nNot found POLES", inputPath.c_str());
        return ExitCode::BadInputFile;
    }
    if (inputText.find("CONSTANT") == std::string::npos)
        std::printf("WARNING: Not found CONSTANT (%s).\n CONSTANT set to 1.0", inputPath.c_str());
    try {
        readPoleZeroText(std::move(inputText), model, station);
    } catch (...) {
        std::printf("ERROR: Checking data (%s)\n", inputPath.c_str());
        return ExitCode::BadInputFile;
    }
    std::printf("OK (Checking data)\n");
    return ExitCode::Success;
}

// Everything that can fail is decided here, before the output is touched:
// the grid is counted, the zeros adjusted, the work bounded, the header
// formatted and the buffers allocated.
ExitCode convertData(const PoleZeroModel& model, const OutputRequest& request, const ResponseKind& kind,
                     const StationInfo& station, PreparedFapFile& file)
{
    std::printf("Converting data from PAZ to FAP\n");
    try {
        const GridRequest grid{request.freqLow, request.freqHigh, request.npoints, request.logX};
        file = prepareFapFile(model, grid, kind, station);
    } catch (...) {
        std::printf("ERROR: Converting data\n");
        return ExitCode::ConvertFailed;
    }
    std::printf("OK (Converting data)\n");
    return ExitCode::Success;
}

// The table is evaluated and formatted as it is written: after the open only
// a write or the close can fail.
ExitCode writeOutput(const std::string& outputPath, const FileIdentity& inputFile, PreparedFapFile& file)
{
    std::printf("Trying to write data into output file (%s)\n", outputPath.c_str());
    std::fflush(stdout);  // a FIFO as output waits at the open for its reader: say what it waits for
    // Creating the output truncates it: never when it is the input itself.
    const int output = namesSameFile(outputPath, inputFile) ? -1 : createOutputFile(outputPath);
    if (output < 0) {
        std::printf("ERROR: Coundn't create (%s)\n", outputPath.c_str());
        return ExitCode::CreateFailed;
    }
    bool written = writeFapFile(output, file);
    // A failed close can mean the data never reached the file.
    if (!closeFile(output)) written = false;
    if (!written) {
        std::printf("ERROR: Writing to file (%s)\n", outputPath.c_str());
        return ExitCode::WriteFailed;
    }
    std::printf("OK (Writing to file)\n");
    return ExitCode::Success;
}

ExitCode runStages(const std::vector<std::string>& arguments)
{
    printHelpScreen();
    printBanner();

    if (arguments.size() < 3) {
        std::printf("Few params\n");
        return ExitCode::FewParams;
    }
    if (!startsWithIgnoringCase(arguments[1], "IN=") || !startsWithIgnoringCase(arguments[2], "OUT=")) {
        std::printf("1st and 2nd param in command line MUST be IN= and OUT=\n");
        return ExitCode::NotInOut;
    }
    std::string inputPath;
    std::string outputPath;
    OutputRequest request;
    ResponseKind kind;
    try {
        inputPath = arguments[1].substr(3);
        outputPath = arguments[2].substr(4);
        if (parseOptions(arguments, request) == OptionsOutcome::HelpAsked) return ExitCode::Success;
        kind = readResponseKind(request.typeIn, request.typeOut);
    } catch (const std::bad_alloc&) {
        // Not even the arguments could be held: the input cannot be read either.
        std::printf("ERROR: Couldn't read (%s)\n", arguments[1].c_str() + 3);
        return ExitCode::BadInputFile;
    }
    const std::optional<OutputFormat> format = readOutputFormat(request.format);
    if (!format) {
        std::printf("ERROR: Unknown FORMAT=%s; the formats are %s\n", request.format.c_str(), knownOutputFormats);
        return ExitCode::BadArgument;
    }
    const std::optional<double> calper = readCalibrationPeriod(request.calper);
    if (*format != OutputFormat::Fap && !calper) {
        std::printf("ERROR: CALPER=%s is not a period in seconds from 0.001 to 999.999\n", request.calper.c_str());
        return ExitCode::BadArgument;
    }

    std::string inputText;
    FileIdentity inputFile;
    if (const ExitCode code = readInput(inputPath, inputText, inputFile); code != ExitCode::Success) return code;

    if (*format != OutputFormat::Fap)
        return runStandardFormat(*format, *calper, inputPath, outputPath, request, inputText, inputFile);

    PoleZeroModel model;
    StationInfo station;
    if (request.section) {
        // Read the way data centres write: by sections, units from the header.
        CheckedSection checked;
        if (const ExitCode code = checkSection(inputPath, inputText, request, checked); code != ExitCode::Success)
            return code;
        model = std::move(checked.model);
        station = std::move(checked.station);
        kind = ResponseKind{checked.inputMotion, kind.output, true};
    } else if (const ExitCode code = checkData(inputPath, std::move(inputText), model, station);
               code != ExitCode::Success) {
        return code;
    }

    PreparedFapFile file;
    if (const ExitCode code = convertData(model, request, kind, station, file); code != ExitCode::Success) return code;
    return writeOutput(outputPath, inputFile, file);
}

}  // namespace

ExitCode runConversion(const std::vector<std::string>& arguments)
{
    const ExitCode code = runStages(arguments);
    // Whatever happens to the process next, the messages are out.
    std::fflush(stdout);
    return code;
}

}  // namespace kalvert
