#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/exit_code.hpp"
#include "app/options.hpp"
#include "app/run_state.hpp"
#include "files/file_access.hpp"
#include "response/channel_response.hpp"

namespace kalvert::report {

// The one module that writes to standard output (besides the help screen
// it shows): every progress line, warning and error of a run, in the tool's
// own words, and the exit status each refusal ends the run with. Stored
// scripts read these lines: their texts do not change.

/// One response refused: the status a run that stops on it ends with, and
/// why, in words. The run reports it as an error, or with ON_ERROR=skip as
/// a warning, and goes on without that response.
struct Refusal {
    ExitCode code;
    std::string text;
};
[[nodiscard]] ExitCode refused(const Refusal& refusal);
void skipped(const std::string& path, const Refusal& refusal);

void helpScreen();
void banner();
/// Everything shown is on its way, whatever happens to the process next.
void flush();

/// While one lives, what this thread would say is kept in `into` instead
/// (a response converted on a worker thread), for `sayKept` to show in order.
class KeptMessages {
public:
    explicit KeptMessages(std::string& into);
    KeptMessages(const KeptMessages&) = delete;
    KeptMessages& operator=(const KeptMessages&) = delete;
    ~KeptMessages();

private:
    std::string* previous_;
};
void sayKept(const std::string& text);

// The command line.
[[nodiscard]] ExitCode fewParams();
[[nodiscard]] ExitCode notInAndOut();
void bandRefused();
[[nodiscard]] ExitCode argumentsNotHeld(const std::string& inputPath);
[[nodiscard]] ExitCode unknownFormat(const OutputRequest& request);
[[nodiscard]] ExitCode calperOutOfRange(const OutputRequest& request);
[[nodiscard]] ExitCode badSectionNumber(const OutputRequest& request);
[[nodiscard]] ExitCode badTime(const OutputRequest& request);
[[nodiscard]] ExitCode badOnError(const OutputRequest& request);
[[nodiscard]] ExitCode badThreads(const OutputRequest& request);
[[nodiscard]] ExitCode sectionWithFolder(const OutputRequest& request);

// A folder as the input, and the progress line on a terminal.
[[nodiscard]] ExitCode emptyFolder(const std::string& path);
void fileSkipped(const std::string& path);
/// The line is shown only when standard error is a terminal and the run
/// holds more than one file; it is redrawn at most ten times a second.
void startProgress(ProgressLine& progress, std::size_t files);
void showProgress(ProgressLine& progress, const std::string& current);
void endProgress(ProgressLine& progress);

// Reading the input.
void readingStarted(const std::string& path);
[[nodiscard]] ExitCode readingFailed(ReadOutcome outcome, const std::string& path);
void readingDone();
[[nodiscard]] ExitCode inputChanged(const std::string& path);
void readTwice(const std::string& path);
void legacyReadingOfDataCentreFile(const std::string& path);

// Checking: splitting the text into responses, choosing and checking them.
void checkingStarted(const std::string& path);
[[nodiscard]] ExitCode keywordMissing(const std::string& path, const char* keyword);
void constantMissing(const std::string& path);
[[nodiscard]] ExitCode checkingFailed(const std::string& path);
[[nodiscard]] ExitCode sectionsUnreadable(const std::string& path, const std::string& reason);
void sectionListing(const std::string& path, const std::vector<ChannelResponse>& all);
[[nodiscard]] ExitCode noSuchSection(const std::string& path, int number, const std::vector<ChannelResponse>& all);
[[nodiscard]] ExitCode noneSelected(const OutputRequest& request, const std::vector<ChannelResponse>& all,
                                    std::size_t unlisted = 0);
[[nodiscard]] ExitCode needOneResponse(const OutputRequest& request, std::size_t count,
                                       const std::vector<ChannelResponse>& all);
void typeOutIgnored(const OutputRequest& request);
void inputUnitNotStated(std::size_t number, const ChannelResponse& response, const OutputRequest& request, int motion);
void typeInContradicted(std::size_t number, const ChannelResponse& response, const OutputRequest& request, int motion);
[[nodiscard]] Refusal notGroundMotion(std::size_t number, const ChannelResponse& response, const std::string& path);
void constantNotStated(std::size_t number, const ChannelResponse& response, const double* perUnit);
void constantDisagrees(std::size_t number, const ChannelResponse& response, double constant, double product,
                       double decibels);
void sampleRateIgnored(std::size_t number, const ChannelResponse& response, double rate);
[[nodiscard]] Refusal epochBeyondYear9999(std::size_t number, const ChannelResponse& response, const std::string& path);
[[nodiscard]] Refusal defective(std::size_t number, const ChannelResponse& response, const std::string& path);
void inputUnitFromSensitivity(std::size_t number, const ChannelResponse& response);
void gainFromSensitivity(std::size_t number, const ChannelResponse& response);
[[nodiscard]] Refusal noStages(std::size_t number, const ChannelResponse& response, const std::string& path);
[[nodiscard]] Refusal stageWithoutResponse(std::size_t number, const ChannelResponse& response,
                                           const CascadeStage& stage, const std::string& path);
[[nodiscard]] Refusal rateUnknown(std::size_t number, const ChannelResponse& response, int stage,
                                  const std::string& path);
void rateCarried(std::size_t number, const ChannelResponse& response, int stage);
void unitsDisagree(std::size_t number, const ChannelResponse& response, const CascadeStage& stage,
                   const CascadeStage& next);
void rateDisagrees(std::size_t number, const ChannelResponse& response, const CascadeStage& stage, double previous);
void normalisationOff(std::size_t number, const ChannelResponse& response, const CascadeStage& stage, double level);
void sensitivityDisagrees(std::size_t number, const ChannelResponse& response, double computed, double frequency,
                          double decibels);
[[nodiscard]] Refusal identityMissing(std::size_t number, const ChannelResponse& response,
                                      const OutputRequest& request);
void checkingDone();

// Converting.
void convertingStarted();
[[nodiscard]] ExitCode convertingFailed();
[[nodiscard]] Refusal responseNotConverted(std::size_t number, const ChannelResponse& response,
                                           const std::string& reason);
[[nodiscard]] ExitCode gridTooLarge(std::size_t points, const OutputFormat& format);
[[nodiscard]] ExitCode gridRefused(const std::string& reason);
[[nodiscard]] Refusal outOfMemory();
[[nodiscard]] Refusal unsafeFileName(std::size_t number, const ChannelResponse& response, const char* field,
                                     const std::string& value);
void writtenAsZero(std::size_t number, const ChannelResponse& response, const std::vector<std::string>& names,
                   const std::string& source);
void readerLevelOff(std::size_t number, const ChannelResponse& response, double calper, double factor);
[[nodiscard]] ExitCode nothingLeft(const std::string& path);
[[nodiscard]] ExitCode outputTooLarge(unsigned long long limit);
void convertingDone();

// Writing.
void writingStarted(const std::string& path);
/// The same line for a standard format's target, its name shown safely.
void writingTo(const std::string& path);
[[nodiscard]] ExitCode notCreated(const std::string& path);
[[nodiscard]] ExitCode oneFileForSeveral(const OutputRequest& request, std::size_t count,
                                         const std::vector<ChannelResponse>& all);
[[nodiscard]] ExitCode sameFileName(const std::string& outputPath, const std::string& name,
                                    const std::vector<ChannelResponse>& all);
[[nodiscard]] ExitCode notCreatedBecause(const std::string& path, const std::string& reason);
[[nodiscard]] ExitCode notRegularFile(const std::string& path);
[[nodiscard]] ExitCode notWritten(const std::string& path);
void writingDone();

}  // namespace kalvert::report
