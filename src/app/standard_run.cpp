#include "app/standard_run.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>

#include "app/section_check.hpp"
#include "css/css_fap.hpp"
#include "fap/number_format.hpp"
#include "gse/gse_response.hpp"
#include "response/displacement_table.hpp"
#include "response/evaluation.hpp"
#include "response/grid.hpp"

namespace kalvert {
namespace {

// The default grid starts at 1 mHz and ends at the channel's Nyquist
// frequency (20 Hz when the header states no sample rate), with as many rows
// per decade as 999 rows allow, at most 100: a reader interpolating between
// neighbouring rows then errs by far less than 0.5 % for any instrument.
constexpr double lowestDefaultFrequency = 0.001;
constexpr double nyquistWithoutSampleRate = 20.0;
constexpr int mostRowsPerDecade = 100;

// A CSS table has no count limit of its own; this one keeps memory small.
constexpr std::size_t maxCssRows = 100'000;

// CAL2's calper is f7.3.
constexpr double shortestCalper = 0.001;
constexpr double longestCalper = 999.999;

// A section on its way to a file.
struct Converted {
    std::size_t number = 0;  ///< from 1, in the input file
    const PoleZeroSection* section = nullptr;
    CheckedSection checked;
    std::string text;  ///< the response as the format writes it (one GSE response, or a whole CSS file)
};

// One message file holding every section's response.
bool isGseMessage(OutputFormat format)
{
    return format == OutputFormat::Gse20 || format == OutputFormat::Gse21 || format == OutputFormat::Ims10;
}

// GSE responses: the message formats and SEISAN's bare one.
bool isGse(OutputFormat format)
{
    return format == OutputFormat::Seisan || isGseMessage(format);
}

GseVersion gseVersion(OutputFormat format)
{
    if (format == OutputFormat::Gse21) return GseVersion::Gse21;
    if (format == OutputFormat::Ims10) return GseVersion::Ims10;
    return GseVersion::Gse20;  // SEISAN reads GSE2.0 columns
}

std::string baseName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

std::vector<double> chosenFrequencies(const OutputRequest& request, const SectionHeader& header)
{
    std::vector<double> frequencies;
    if (request.gridGiven) {
        walkGrid(GridRequest{request.freqLow, request.freqHigh, request.npoints, request.logX},
                 [&frequencies](double f) { frequencies.push_back(f); });
        return frequencies;
    }
    const double nyquist =
        header.sampleRate && *header.sampleRate > 0 ? *header.sampleRate / 2 : nyquistWithoutSampleRate;
    const double highest = std::max(nyquist, lowestDefaultFrequency * 10);
    const double decades = std::log10(highest / lowestDefaultFrequency);
    const int perDecade =
        std::min(mostRowsPerDecade, static_cast<int>(static_cast<double>(maxFap2Rows - 2) / std::ceil(decades)));
    return logarithmicFrequencies(lowestDefaultFrequency, highest, perDecade);
}

// The frequencies as the file writes them, ascending, each once, none ≤ 0.
std::vector<double> writtenFrequencies(std::vector<double> frequencies, double calibrationFrequency, bool gse)
{
    frequencies.push_back(calibrationFrequency);
    std::vector<double> written;
    written.reserve(frequencies.size());
    for (const double f : frequencies) {
        if (!(f > 0) || !std::isfinite(f)) continue;
        const double value = gse ? gseWrittenFrequency(f) : cssWrittenFrequency(f);
        if (value > 0) written.push_back(value);
    }
    std::sort(written.begin(), written.end());
    written.erase(std::unique(written.begin(), written.end()), written.end());
    return written;
}

// One section converted; throws with the reason in words.
std::string convertSection(OutputFormat format, double calper, const std::string& inputPath,
                           const OutputRequest& request, const Converted& converted)
{
    const bool gse = isGse(format);
    const SectionHeader& header = converted.section->header;
    const double calibrationFrequency = gse ? gseWrittenFrequency(1.0 / calper) : cssWrittenFrequency(1.0 / calper);
    const std::vector<double> frequencies =
        writtenFrequencies(chosenFrequencies(request, header), calibrationFrequency, gse);
    if (gse && frequencies.size() > maxFap2Rows)
        throw GseFieldError(std::to_string(frequencies.size()) +
                            " rows, more than the 999 a FAP2 block can announce;"
                            " ask for fewer with FREQ=, NPOINTS= and -logX");
    if (!gse && frequencies.size() > maxCssRows)
        throw GseFieldError(std::to_string(frequencies.size()) + " rows, more than the 100000 a CSS file is given");
    if (frequencies.size() < 2) throw GseFieldError("fewer than two rows in the band");

    const PreparedResponse response = prepareResponse(
        converted.checked.model, ResponseKind{converted.checked.inputMotion, OutputKind{0, 0, -9}, true});
    refuseExcessiveWork(frequencies.size(), response);
    std::vector<DisplacementRow> rows = tabulateDisplacement(response, frequencies);
    for (const DisplacementRow& row : rows)
        if (!(row.amplitude > 0) || !std::isfinite(row.amplitude) || !std::isfinite(row.phaseDegrees))
            throw GseFieldError("the response is zero or not finite at " + fixedText(row.frequency, 0, 5) + " Hz");
    const auto calibrationRow = std::find_if(
        rows.begin(), rows.end(), [&](const DisplacementRow& row) { return row.frequency == calibrationFrequency; });
    const double calib = 1.0 / calibrationRow->amplitude;  // nm/count at calper
    anchorPhase(rows, static_cast<std::size_t>(calibrationRow - rows.begin()));

    const std::string name = channelName(header);
    const std::string source = baseName(inputPath);
    if (gse) {
        GseChannel channel;
        channel.name = name;
        channel.station = header.station;
        channel.channel = header.channel;
        channel.location = header.location;
        channel.instrumentType = gseInstrumentType(header.instrumentType);
        channel.sampleRate = header.sampleRate;
        channel.on = header.start;
        channel.off = header.end;
        channel.comment = name + " from " + source + "; displacement, counts/nm";
        return formatGseResponse(channel, rows, calib, calper, gseVersion(format));
    }
    CssDescription description;
    description.comments = {
        name + "  " + (header.instrumentType.empty() ? "instrument not named" : header.instrumentType) + "  " +
            epochSpan(header) + "  from " + source,
        "displacement response: amplitude in counts/nm, phase in degrees",
        "instrument row: rsptype fap, ncalib " + fixedText(calib, 0, 6) + " nm/count (" + scientificText(calib, 0, 6) +
            ") at ncalper " + fixedText(calper, 0, 6) + " s" +
            (header.sampleRate ? ", samprate " + fixedText(*header.sampleRate, 0, 7) : std::string()),
    };
    return formatCssFap(description, rows);
}

std::string messageId(const std::vector<Converted>& converted)
{
    std::string id;
    const SectionHeader& header = converted.front().section->header;
    for (const char c : header.station + "_" + header.channel)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') id += c;
    constexpr std::size_t longestId = 20;
    return id.size() > 1 ? id.substr(0, longestId) : "KALVERT";
}

std::string fileNameOf(OutputFormat format, const PoleZeroSection& section)
{
    if (format == OutputFormat::Seisan)
        return seisanFileName(section.header.station, section.header.channel, section.header.start);
    return cssFileName(channelName(section.header), section.header.start);
}

struct OutputFile {
    std::string path;
    std::string text;
};

// Where each response goes: one message file, or one file per section under
// the format's usual name when OUT= is a folder. False, after the message,
// when OUT= can hold neither.
bool planFiles(OutputFormat format, const std::string& inputPath, const std::string& outputPath,
               const std::vector<Converted>& converted, const std::vector<PoleZeroSection>& sections,
               std::vector<OutputFile>& files)
{
    if (isGseMessage(format)) {
        std::vector<std::string> responses;
        responses.reserve(converted.size());
        for (const Converted& c : converted) responses.push_back(c.text);
        files.push_back({outputPath, formatGseMessage(responses, messageId(converted), gseVersion(format))});
        return true;
    }
    std::error_code error;
    const bool folder =
        std::filesystem::is_directory(outputPath, error) || (!outputPath.empty() && outputPath.back() == '/');
    if (!folder && converted.size() == 1) {
        files.push_back({outputPath, converted.front().text});
        return true;
    }
    if (!folder) {
        std::printf("Trying to write data into output file (%s)\n", outputPath.c_str());
        std::printf(
            "ERROR: Coundn't create (%s)\n  (%s) holds %zu sections and FORMAT=%s writes one file for each:"
            " give SECTION=n for one of them, or as OUT= an existing folder (or a path ending in /) for all\n%s",
            outputPath.c_str(), inputPath.c_str(), converted.size(), outputFormatName(format),
            sectionList(sections).c_str());
        return false;
    }
    std::set<std::string> names;
    for (const Converted& c : converted) {
        const std::string name = fileNameOf(format, *c.section);
        if (!names.insert(name).second) {
            std::printf("Trying to write data into output file (%s)\n", outputPath.c_str());
            std::printf(
                "ERROR: Coundn't create (%s)\n  two sections would both be written to %s (the name holds no"
                " location): give SECTION=n for one of them\n%s",
                outputPath.c_str(), name.c_str(), sectionList(sections).c_str());
            return false;
        }
        std::string path = outputPath;
        if (!path.empty() && path.back() != '/') path += '/';
        path += name;
        files.push_back({path, c.text});
    }
    std::filesystem::create_directory(outputPath, error);  // a path ending in / may name a new folder
    return true;
}

ExitCode writeFiles(const std::vector<OutputFile>& files, const FileIdentity& inputFile)
{
    for (const OutputFile& file : files) {
        std::printf("Trying to write data into output file (%s)\n", file.path.c_str());
        std::fflush(stdout);
        const int output = namesSameFile(file.path, inputFile) ? -1 : createOutputFile(file.path);
        if (output < 0) {
            std::printf("ERROR: Coundn't create (%s)\n", file.path.c_str());
            return ExitCode::CreateFailed;
        }
        const bool written = writeAll(output, file.text);
        if (!closeFile(output) || !written) {
            std::printf("ERROR: Writing to file (%s)\n", file.path.c_str());
            return ExitCode::WriteFailed;
        }
    }
    std::printf("OK (Writing to file)\n");
    return ExitCode::Success;
}

}  // namespace

std::optional<double> readCalibrationPeriod(const std::string& text)
{
    double seconds = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size()) return std::nullopt;
    if (!(seconds >= shortestCalper && seconds <= longestCalper)) return std::nullopt;
    return seconds;
}

ExitCode runStandardFormat(OutputFormat format, double calper, const std::string& inputPath,
                           const std::string& outputPath, const OutputRequest& request, const std::string& inputText,
                           const FileIdentity& inputFile)
{
    std::printf("Checking data (%s)\n", inputPath.c_str());
    std::vector<PoleZeroSection> sections;
    if (const ExitCode code = readSections(inputPath, inputText, sections); code != ExitCode::Success) return code;
    std::vector<Converted> converted;
    if (request.section) {
        const int number = *request.section;
        if (number < 1 || static_cast<std::size_t>(number) > sections.size())
            return refuseSectionNumber(inputPath, number, sections);
        converted.push_back(
            {static_cast<std::size_t>(number), &sections[static_cast<std::size_t>(number) - 1], {}, {}});
    } else {
        for (std::size_t i = 0; i < sections.size(); ++i) converted.push_back({i + 1, &sections[i], {}, {}});
    }
    if (request.typeOutGiven)
        std::printf(
            "WARNING: TYPE_OUT=%s is ignored with FORMAT=%s: the table is the displacement response in"
            " counts/nm\n",
            request.typeOut.c_str(), outputFormatName(format));
    for (Converted& c : converted)
        if (const ExitCode code = checkOneSection(inputPath, c.number, *c.section, request, c.checked);
            code != ExitCode::Success)
            return code;
    std::printf("OK (Checking data)\n");

    std::printf("Converting data from PAZ to FAP\n");
    for (Converted& c : converted) {
        try {
            c.text = convertSection(format, calper, inputPath, request, c);
        } catch (const std::exception& error) {
            std::printf("ERROR: Converting data\n  section %zu (%s): %s\n", c.number,
                        channelName(c.section->header).c_str(), error.what());
            return ExitCode::ConvertFailed;
        }
    }
    std::printf("OK (Converting data)\n");

    std::vector<OutputFile> files;
    bool planned = false;
    try {
        planned = planFiles(format, inputPath, outputPath, converted, sections, files);
    } catch (...) {
        std::printf("Trying to write data into output file (%s)\nERROR: Coundn't create (%s)\n", outputPath.c_str(),
                    outputPath.c_str());
        return ExitCode::CreateFailed;
    }
    if (!planned) return ExitCode::CreateFailed;
    return writeFiles(files, inputFile);
}

}  // namespace kalvert
