#include "app/reporter.hpp"

#include <charconv>
#include <cstdio>
#include <unistd.h>

#include "app/help_screen.hpp"
#include "app/version.hpp"
#include "response/ground_motion.hpp"
#include "text/text_scan.hpp"

namespace kalvert::report {
namespace {

// The progress line on standard error while it is drawn: erased before any
// message, so that no progress text is left among them on a terminal.
ProgressLine* drawnProgress = nullptr;

void eraseProgress()
{
    if (drawnProgress == nullptr) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    drawnProgress = nullptr;
}

// Where this thread's messages go instead of the console, while a
// KeptMessages lives.
thread_local std::string* keptMessages = nullptr;

void say(const std::string& text)
{
    if (keptMessages != nullptr) {
        keptMessages->append(text);
        return;
    }
    eraseProgress();
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// Seven significant digits, as the files write their gains.
std::string gainText(double value)
{
    constexpr int decimals = 6;
    char text[32];
    return std::string(text,
                       std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, decimals).ptr);
}

std::string decibelText(double value)
{
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2).ptr);
}

std::string shown(const std::string& text);

// "NET.STA.LOC.CHA", each code as a message shows a field.
std::string codesText(const ChannelId& id)
{
    return shown(id.network) + "." + shown(id.station) + "." + shown(id.location) + "." + shown(id.channel);
}

std::string identityText(const ChannelResponse& response)
{
    const std::string name = codesText(response.id);
    return name == "..." ? "(no header)" : name;
}

std::string epochText(const ChannelResponse& response)
{
    if (!response.start && !response.end) return "epoch not stated";
    return epochSpan(response.start, response.end);
}

std::string sectionTitle(std::size_t number, const ChannelResponse& response)
{
    return "Section " + std::to_string(number) + " " + identityText(response);
}

// One line per section: number, channel and epoch, for the user to choose from.
std::string sectionList(const std::vector<ChannelResponse>& all, std::size_t unlisted = 0)
{
    std::string list;
    for (std::size_t i = 0; i < all.size(); ++i) {
        std::string number = std::to_string(i + 1);
        number.insert(0, number.size() < 3 ? 3 - number.size() : 0, ' ');
        list += "  " + number + "  " + identityText(all[i]) + "  " + epochText(all[i]) + "\n";
    }
    if (unlisted > 0) list += "  \u2026 and " + std::to_string(unlisted) + " more\n";
    return list;
}

// A field from a file as a new message shows it: at most 64 characters
// (then "…"), control bytes as \xNN, so that no file can garble the console.
std::string shown(const std::string& text)
{
    constexpr std::size_t longest = 64;
    return escapedField(
        text, [](unsigned char c) { return c >= 0x20 && c != 0x7f; }, longest);
}

// A path as messages show it: control bytes as \xNN, each of its names cut
// at 64 characters, so that a folder's file names cannot garble the console.
std::string shownPath(const std::string& path)
{
    std::string out;
    std::size_t from = 0;
    for (std::size_t slash = path.find('/');; slash = path.find('/', from)) {
        out += shown(path.substr(from, slash == std::string::npos ? std::string::npos : slash - from));
        if (slash == std::string::npos) break;
        out += '/';
        from = slash + 1;
    }
    return out;
}

std::string numberText(double value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string stageText(const CascadeStage& stage)
{
    return "stage " + std::to_string(stage.number);
}

std::string selection(const OutputRequest& request)
{
    std::string text;
    if (!request.channelPattern.empty()) text += " CHANNEL=" + shown(request.channelPattern);
    if (!request.timeText.empty()) text += " TIME=" + shown(request.timeText);
    return text;
}

}  // namespace

ExitCode refused(const Refusal& refusal)
{
    say("ERROR: " + refusal.text);
    return refusal.code;
}

void skipped(const std::string& path, const Refusal& refusal)
{
    say("WARNING: (" + shownPath(path) + ") skipped: " + refusal.text);
}

void helpScreen()
{
    printHelpScreen();
}

// The format has its own "v" and the version text begins "Kalvert v", so the
// first line reads "tessarn.exe vKalvert v1.3.1": scripts that parse the
// banner rely on exactly that.
void banner()
{
    say(std::string("tessarn.exe v") + versionText + "\nConverter from PAZ(SAC) format to FAP(GSE2) format\n");
    say("=============================================\n\n");
}

void flush()
{
    std::fflush(stdout);
}

ExitCode fewParams()
{
    say("Few params\n");
    return ExitCode::FewParams;
}

ExitCode notInAndOut()
{
    say("1st and 2nd param in command line MUST be IN= and OUT=\n");
    return ExitCode::NotInOut;
}

void bandRefused()
{
    say("Incorrect [FREQ=] parametr\n");
}

ExitCode argumentsNotHeld(const std::string& inputPath)
{
    say("ERROR: Couldn't read (" + inputPath + ")\n");
    return ExitCode::BadInputFile;
}

ExitCode unknownFormat(const OutputRequest& request)
{
    say("ERROR: Unknown FORMAT=" + request.formatText + "; the formats are " + knownOutputFormats() + "\n");
    return ExitCode::BadArgument;
}

ExitCode calperOutOfRange(const OutputRequest& request)
{
    say("ERROR: CALPER=" + request.calperText + " is not a period in seconds from 0.001 to 999.999\n");
    return ExitCode::BadArgument;
}

ExitCode badSectionNumber(const OutputRequest& request)
{
    say("ERROR: SECTION=" + shown(request.sectionText) + " is not a section number (a whole number from 0)\n");
    return ExitCode::BadArgument;
}

ExitCode badTime(const OutputRequest& request)
{
    say("ERROR: TIME=" + shown(request.timeText) +
        " is not a time (yyyy-mm-dd, yyyy-mm-ddThh:mm or yyyy-mm-ddThh:mm:ss)\n");
    return ExitCode::BadArgument;
}

ExitCode badThreads(const OutputRequest& request)
{
    say("ERROR: THREADS=" + shown(request.threadsText) + " is not a number of threads from 1 to " +
        std::to_string(mostThreads) + "\n");
    return ExitCode::BadArgument;
}

KeptMessages::KeptMessages(std::string& into) : previous_(keptMessages)
{
    keptMessages = &into;
}

KeptMessages::~KeptMessages()
{
    keptMessages = previous_;
}

void sayKept(const std::string& text)
{
    if (!text.empty()) say(text);
}

ExitCode badOnError(const OutputRequest& request)
{
    say("ERROR: ON_ERROR=" + shown(request.onErrorText) + " is neither stop nor skip\n");
    return ExitCode::BadArgument;
}

ExitCode sectionWithFolder(const OutputRequest& request)
{
    say("ERROR: SECTION= numbers the sections of one file, and (" + shownPath(request.inputPath) +
        ") is a folder: choose with CHANNEL= and TIME=\n");
    return ExitCode::BadArgument;
}

ExitCode emptyFolder(const std::string& path)
{
    say("ERROR: (" + shownPath(path) + ") holds no response file to convert\n");
    return ExitCode::BadInputFile;
}

void fileSkipped(const std::string& path)
{
    say("WARNING: (" + shownPath(path) + ") skipped: it is not read as responses (see above)\n");
}

void startProgress(ProgressLine& progress, std::size_t files)
{
    progress.files = files;
    progress.started = std::chrono::steady_clock::now();
    progress.shown = files > 1 && ::isatty(STDERR_FILENO) != 0;
}

void showProgress(ProgressLine& progress, const std::string& current)
{
    if (!progress.shown) return;
    if (!current.empty()) progress.current = current;
    const auto now = std::chrono::steady_clock::now();
    constexpr auto tenth = std::chrono::milliseconds(100);
    if (progress.drawn != std::chrono::steady_clock::time_point{} && now - progress.drawn < tenth) return;
    progress.drawn = now;
    const double elapsed = std::chrono::duration<double>(now - progress.started).count();
    // Each file is read and converted before the next.
    const double done = static_cast<double>(progress.filesDone) / static_cast<double>(progress.files);
    std::string line = "\r\033[Kfiles " + std::to_string(progress.filesDone) + "/" + std::to_string(progress.files) +
                       ", responses " + std::to_string(progress.responses) + ", " + shown(progress.current) + ", " +
                       std::to_string(static_cast<long>(elapsed)) + " s";
    if (done > 0.01) line += ", about " + std::to_string(static_cast<long>(elapsed * (1 - done) / done)) + " s left";
    std::fflush(stdout);  // what was said before stands above the line
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    drawnProgress = &progress;
}

void endProgress(ProgressLine& progress)
{
    if (drawnProgress == &progress) eraseProgress();
    progress.shown = false;
}

void readingStarted(const std::string& path)
{
    say("Trying to read input file (" + shownPath(path) + ")\n");
}

ExitCode readingFailed(ReadOutcome outcome, const std::string& path)
{
    switch (outcome) {
    case ReadOutcome::OpenFailed: say("ERROR: Coundn't open (" + shownPath(path) + ")\n"); return ExitCode::OpenFailed;
    case ReadOutcome::SizeUndefined:
        say("ERROR: File size undefined (" + shownPath(path) + ")\n");
        return ExitCode::SizeUndefined;
    case ReadOutcome::ReadFailed:
    case ReadOutcome::Read: break;
    }
    say("ERROR: Couldn't read (" + shownPath(path) + ")\n");
    return ExitCode::BadInputFile;
}

ExitCode inputChanged(const std::string& path)
{
    say("ERROR: (" + shownPath(path) +
        ") changed while it was read (replaced, or its size or time changed): nothing is written\n");
    return ExitCode::BadInputFile;
}

void readTwice(const std::string& path)
{
    say("ERROR: (" + shownPath(path) +
        ") is a pipe or FIFO: a response file is read twice, once to choose and once to convert, so it must be a "
        "regular file\n");
}

void readingDone()
{
    say("OK (Reading input file)\n");
}

void legacyReadingOfDataCentreFile(const std::string& path)
{
    say("WARNING: (" + shownPath(path) +
        ") has data-centre header blocks or several sections: this reading ignores or merges them; SECTION=0 lists "
        "them\n");
}

void checkingStarted(const std::string& path)
{
    say("Checking data (" + shownPath(path) + ")\n");
}

ExitCode keywordMissing(const std::string& path, const char* keyword)
{
    say("ERROR: Incorrect file format (" + shownPath(path) + ").\nNot found " + keyword);
    return ExitCode::BadInputFile;
}

void constantMissing(const std::string& path)
{
    say("WARNING: Not found CONSTANT (" + shownPath(path) + ").\n CONSTANT set to 1.0");
}

ExitCode checkingFailed(const std::string& path)
{
    say("ERROR: Checking data (" + shownPath(path) + ")\n");
    return ExitCode::BadInputFile;
}

ExitCode sectionsUnreadable(const std::string& path, const std::string& reason)
{
    say("ERROR: Checking data (" + shownPath(path) + ")\n  " + reason + "\n");
    return ExitCode::BadInputFile;
}

void sectionListing(const std::string& path, const std::vector<ChannelResponse>& all)
{
    say("(" + shownPath(path) + ") holds " + std::to_string(all.size()) + " sections:\n" + sectionList(all));
}

ExitCode noSuchSection(const std::string& path, int number, const std::vector<ChannelResponse>& all)
{
    say("ERROR: No section " + std::to_string(number) + " in (" + shownPath(path) + "); it holds " +
        std::to_string(all.size()) + ":\n" + sectionList(all));
    return ExitCode::BadInputFile;
}

ExitCode noneSelected(const OutputRequest& request, const std::vector<ChannelResponse>& all, std::size_t unlisted)
{
    say("ERROR: No response in (" + shownPath(request.inputPath) + ") matches" + selection(request) + "; it holds " +
        std::to_string(all.size() + unlisted) + ":\n" + sectionList(all, unlisted));
    return ExitCode::BadInputFile;
}

ExitCode needOneResponse(const OutputRequest& request, std::size_t count, const std::vector<ChannelResponse>& all)
{
    say("ERROR: " + std::to_string(count) + " responses of (" + shownPath(request.inputPath) + ") are chosen" +
        selection(request) + " and the FAP file holds one: name it with SECTION=n, or CHANNEL= and TIME=; it holds " +
        std::to_string(all.size()) + ":\n" + sectionList(all));
    return ExitCode::BadInputFile;
}

void typeOutIgnored(const OutputRequest& request)
{
    say("WARNING: TYPE_OUT=" + request.typeOut + " is ignored with FORMAT=" + std::string(request.format->name) +
        ": the table is the displacement response in counts/nm\n");
}

void inputUnitNotStated(std::size_t number, const ChannelResponse& response, const OutputRequest& request, int motion)
{
    say("WARNING: " + sectionTitle(number, response) + " states no INPUT UNIT: read as " + motionName(motion) +
        " (TYPE_IN=" + request.typeIn + ")\n");
}

void typeInContradicted(std::size_t number, const ChannelResponse& response, const OutputRequest& request, int motion)
{
    say("WARNING: TYPE_IN=" + request.typeIn + " contradicts INPUT UNIT " + shown(response.inputUnit) + " of " +
        sectionTitle(number, response) + ": read as " + motionName(motion) + "\n");
}

Refusal notGroundMotion(std::size_t number, const ChannelResponse& response, const std::string& path)
{
    return {ExitCode::BadInputFile, sectionTitle(number, response) + " has INPUT UNIT " + shown(response.inputUnit) +
                                        ", not a ground motion (M, NM, M/S, M/S**2 ...) (" + shownPath(path) + ")\n"};
}

void constantNotStated(std::size_t number, const ChannelResponse& response, const double* perUnit)
{
    say("WARNING: " + sectionTitle(number, response) + " has no CONSTANT: 1.0 is used" +
        (perUnit != nullptr ? " (A0 x SENSITIVITY from its header: " + gainText(*perUnit) + ")" : std::string()) +
        "\n");
}

void constantDisagrees(std::size_t number, const ChannelResponse& response, double constant, double product,
                       double decibels)
{
    say("WARNING: " + sectionTitle(number, response) + ": CONSTANT " + gainText(constant) +
        " differs from A0 x SENSITIVITY " + gainText(product) + " by " + decibelText(decibels) + " dB\n");
}

void sampleRateIgnored(std::size_t number, const ChannelResponse& response, double rate)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, rate).ptr;
    say("WARNING: " + sectionTitle(number, response) + " states SAMPLE RATE " + std::string(text, end) +
        ", not a rate a channel has: read as not stated\n");
}

Refusal epochBeyondYear9999(std::size_t number, const ChannelResponse& response, const std::string& path)
{
    return {ExitCode::BadInputFile,
            sectionTitle(number, response) + " has an epoch past the year 9999 (" + shownPath(path) + ")\n"};
}

Refusal defective(std::size_t number, const ChannelResponse& response, const std::string& path)
{
    return {ExitCode::BadInputFile,
            sectionTitle(number, response) + ": " + response.defect + " (" + shownPath(path) + ")\n"};
}

void inputUnitFromSensitivity(std::size_t number, const ChannelResponse& response)
{
    say("WARNING: " + sectionTitle(number, response) + ": no stage states an input unit: " + shown(response.inputUnit) +
        ", the overall sensitivity's, is used\n");
}

void gainFromSensitivity(std::size_t number, const ChannelResponse& response)
{
    say("WARNING: " + sectionTitle(number, response) +
        ": its one stage states no gain: the overall sensitivity is its gain\n");
}

Refusal noStages(std::size_t number, const ChannelResponse& response, const std::string& path)
{
    return {ExitCode::BadInputFile,
            sectionTitle(number, response) + " has no response stages (" + shownPath(path) + ")\n"};
}

Refusal stageWithoutResponse(std::size_t number, const ChannelResponse& response, const CascadeStage& stage,
                             const std::string& path)
{
    const bool polynomial = stage.kind == CascadeStage::Kind::Polynomial;
    return {ExitCode::BadInputFile,
            sectionTitle(number, response) + ": " + stageText(stage) + " is " +
                (polynomial ? "a polynomial, which has no frequency response"
                            : "a response list, which gives values at its own frequencies only") +
                " (" + shownPath(path) + ")\n"};
}

Refusal rateUnknown(std::size_t number, const ChannelResponse& response, int stage, const std::string& path)
{
    return {ExitCode::BadInputFile, sectionTitle(number, response) + ": stage " + std::to_string(stage) +
                                        " is digital, and no stage before it states a sampling rate (" +
                                        shownPath(path) + ")\n"};
}

void rateCarried(std::size_t number, const ChannelResponse& response, int stage)
{
    say("WARNING: " + sectionTitle(number, response) + ": stage " + std::to_string(stage) +
        " is digital without decimation: taken at the rate of the stage before it, factor 1, no delay\n");
}

void unitsDisagree(std::size_t number, const ChannelResponse& response, const CascadeStage& stage,
                   const CascadeStage& next)
{
    say("WARNING: " + sectionTitle(number, response) + ": " + stageText(stage) + " puts out " +
        shown(stage.outputUnit) + " but " + stageText(next) + " takes " + shown(next.inputUnit) + "\n");
}

void rateDisagrees(std::size_t number, const ChannelResponse& response, const CascadeStage& stage, double previous)
{
    say("WARNING: " + sectionTitle(number, response) + ": " + stageText(stage) + " takes " +
        numberText(stage.decimation->inputRate) + " samples/s, but the stage before puts out " + numberText(previous) +
        "\n");
}

void normalisationOff(std::size_t number, const ChannelResponse& response, const CascadeStage& stage, double level)
{
    say("WARNING: " + sectionTitle(number, response) + ": " + stageText(stage) + ": |A0 x PZ(" +
        numberText(stage.normalisationFrequency) + " Hz)| is " + gainText(level) + ", not 1\n");
}

void sensitivityDisagrees(std::size_t number, const ChannelResponse& response, double computed, double frequency,
                          double decibels)
{
    say("WARNING: " + sectionTitle(number, response) + ": the stages give " + gainText(computed) + " at " +
        numberText(frequency) + " Hz, the stated sensitivity is " + gainText(*response.stated.sensitivity) + " (" +
        decibelText(decibels) + " dB apart); the stages are used\n");
}

Refusal identityMissing(std::size_t number, const ChannelResponse& response, const OutputRequest& request)
{
    std::string missing;
    const auto add = [&missing](bool absent, const char* what) {
        if (absent) missing += std::string(missing.empty() ? "" : ", ") + what;
    };
    add(response.id.station.empty(), "station");
    add(response.id.channel.empty(), "channel");
    add(!response.start, "start of its epoch");
    return {ExitCode::BadInputFile,
            sectionTitle(number, response) + " states no " + missing + ", which FORMAT=" +
                std::string(request.format->name) + " files must name (" + shownPath(request.inputPath) +
                "); put a header at the top of the file, with the channel's own values:\n"
                "* NETWORK     : IU\n* STATION     : ANMO\n* LOCATION    : 00\n* CHANNEL     : BHZ\n"
                "* START       : 2012-03-12T20:28:00\n* INPUT UNIT  : M\n"};
}

void checkingDone()
{
    say("OK (Checking data)\n");
}

void convertingStarted()
{
    say("Converting data from PAZ to FAP\n");
}

ExitCode convertingFailed()
{
    say("ERROR: Converting data\n");
    return ExitCode::ConvertFailed;
}

Refusal responseNotConverted(std::size_t number, const ChannelResponse& response, const std::string& reason)
{
    return {ExitCode::ConvertFailed, "Converting data\n  section " + std::to_string(number) + " (" +
                                         codesText(response.id) + "): " + shown(reason) + "\n"};
}

ExitCode gridTooLarge(std::size_t points, const OutputFormat& format)
{
    say("ERROR: Converting data\n  " + std::to_string(points) + " grid points, more than the " +
        std::to_string(format.maxRows) + " " + std::string(format.rowLimitReason) + "\n");
    return ExitCode::ConvertFailed;
}

ExitCode gridRefused(const std::string& reason)
{
    say("ERROR: Converting data\n  the grid: " + reason + "\n");
    return ExitCode::ConvertFailed;
}

Refusal outOfMemory()
{
    return {ExitCode::BadInputFile, "Out of memory\n"};
}

Refusal unsafeFileName(std::size_t number, const ChannelResponse& response, const char* field, const std::string& value)
{
    return {
        ExitCode::BadInputFile,
        sectionTitle(number, response) + ": its " + field + " \"" + shown(value) +
            "\" cannot name a file: a code holds letters and digits only, and a file needs a station and a channel\n"};
}

void readerLevelOff(std::size_t number, const ChannelResponse& response, double calper, double factor)
{
    char percent[32];
    const auto end =
        std::to_chars(percent, percent + sizeof percent, (factor - 1.0) * 100.0, std::chars_format::general, 3).ptr;
    say("WARNING: " + sectionTitle(number, response) + ": at calper " + numberText(calper) + " s the response is " +
        gainText(factor) + " counts/nm, not 1: SEISAN, which scales the table by it, reads" + " the level " +
        std::string(percent, end) + " % off\n");
}

void writtenAsZero(std::size_t number, const ChannelResponse& response, const std::vector<std::string>& names,
                   const std::string& source)
{
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    say("WARNING: " + sectionTitle(number, response) + ": " + list + " not stated in " + shownPath(source) +
        ": written as 0, with a Comment that says so\n");
}

ExitCode outputTooLarge(unsigned long long limit)
{
    say("ERROR: Converting data\n  the run's output would pass " + std::to_string(limit >> 30) +
        " GiB, the most one run writes: choose fewer responses or a smaller grid\n");
    return ExitCode::ConvertFailed;
}

ExitCode nothingLeft(const std::string& path)
{
    say("ERROR: Converting data\n  every response of (" + shownPath(path) + ") was refused: nothing is written\n");
    return ExitCode::BadInputFile;
}

void convertingDone()
{
    say("OK (Converting data)\n");
}

void writingTo(const std::string& path)
{
    writingStarted(shownPath(path));
}

void writingStarted(const std::string& path)
{
    say("Trying to write data into output file (" + path + ")\n");
    // A FIFO as output waits at the open for its reader: say what it waits for.
    flush();
}

ExitCode notCreated(const std::string& path)
{
    say("ERROR: Coundn't create (" + shownPath(path) + ")\n");
    return ExitCode::CreateFailed;
}

ExitCode oneFileForSeveral(const OutputRequest& request, std::size_t count, const std::vector<ChannelResponse>& all)
{
    writingTo(request.outputPath);
    say("ERROR: Coundn't create (" + shownPath(request.outputPath) + ")\n  (" + shownPath(request.inputPath) +
        ") holds " + std::to_string(count) + " sections and FORMAT=" + std::string(request.format->name) +
        " writes one file for each: give SECTION=n for one of them, or as OUT= an existing folder (or a path ending"
        " in /) for all\n" +
        sectionList(all));
    return ExitCode::CreateFailed;
}

ExitCode sameFileName(const std::string& outputPath, const std::string& name, const std::vector<ChannelResponse>& all)
{
    writingTo(outputPath);
    say("ERROR: Coundn't create (" + shownPath(outputPath) + ")\n  two sections would both be written to " +
        shown(name) + " (the name holds no location): give SECTION=n for one of them\n" + sectionList(all));
    return ExitCode::CreateFailed;
}

ExitCode notCreatedBecause(const std::string& path, const std::string& reason)
{
    writingTo(path);
    say("ERROR: Coundn't create (" + shownPath(path) + "): " + reason + "\n");
    return ExitCode::CreateFailed;
}

ExitCode notRegularFile(const std::string& path)
{
    return notCreatedBecause(path, "something other than a regular file stands at that name");
}

ExitCode notWritten(const std::string& path)
{
    say("ERROR: Writing to file (" + shownPath(path) + ")\n");
    return ExitCode::WriteFailed;
}

void writingDone()
{
    say("OK (Writing to file)\n");
}

}  // namespace kalvert::report
