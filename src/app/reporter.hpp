#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/exit_code.hpp"
#include "app/options.hpp"
#include "files/file_access.hpp"
#include "response/channel_response.hpp"

namespace kalvert::report {

// The one module that writes to standard output (besides the help screen
// it shows): every progress line, warning and error of a run, in the tool's
// own words, and the exit status each refusal ends the run with. Stored
// scripts read these lines: their texts do not change.

void helpScreen();
void banner();
/// Everything shown is on its way, whatever happens to the process next.
void flush();

// The command line.
[[nodiscard]] ExitCode fewParams();
[[nodiscard]] ExitCode notInAndOut();
void bandRefused();
[[nodiscard]] ExitCode argumentsNotHeld(const std::string& inputPath);
[[nodiscard]] ExitCode unknownFormat(const OutputRequest& request);
[[nodiscard]] ExitCode calperOutOfRange(const OutputRequest& request);
[[nodiscard]] ExitCode badSectionNumber(const OutputRequest& request);
[[nodiscard]] ExitCode badTime(const OutputRequest& request);

// Reading the input.
void readingStarted(const std::string& path);
[[nodiscard]] ExitCode readingFailed(ReadOutcome outcome, const std::string& path);
void readingDone();
void legacyReadingOfDataCentreFile(const std::string& path);

// Checking: splitting the text into responses, choosing and checking them.
void checkingStarted(const std::string& path);
[[nodiscard]] ExitCode keywordMissing(const std::string& path, const char* keyword);
void constantMissing(const std::string& path);
[[nodiscard]] ExitCode checkingFailed(const std::string& path);
[[nodiscard]] ExitCode sectionsUnreadable(const std::string& path, const std::string& reason);
void sectionListing(const std::string& path, const std::vector<ChannelResponse>& all);
[[nodiscard]] ExitCode noSuchSection(const std::string& path, int number, const std::vector<ChannelResponse>& all);
[[nodiscard]] ExitCode noneSelected(const OutputRequest& request, const std::vector<ChannelResponse>& all);
[[nodiscard]] ExitCode needOneResponse(const OutputRequest& request, std::size_t count,
                                       const std::vector<ChannelResponse>& all);
void typeOutIgnored(const OutputRequest& request);
void inputUnitNotStated(std::size_t number, const ChannelResponse& response, const OutputRequest& request, int motion);
void typeInContradicted(std::size_t number, const ChannelResponse& response, const OutputRequest& request, int motion);
[[nodiscard]] ExitCode notGroundMotion(std::size_t number, const ChannelResponse& response, const std::string& path);
void constantNotStated(std::size_t number, const ChannelResponse& response, const double* perUnit);
void constantDisagrees(std::size_t number, const ChannelResponse& response, double constant, double product,
                       double decibels);
void sampleRateIgnored(std::size_t number, const ChannelResponse& response, double rate);
[[nodiscard]] ExitCode epochBeyondYear9999(std::size_t number, const ChannelResponse& response,
                                           const std::string& path);
[[nodiscard]] ExitCode noStages(std::size_t number, const ChannelResponse& response, const std::string& path);
[[nodiscard]] ExitCode stageWithoutResponse(std::size_t number, const ChannelResponse& response,
                                            const CascadeStage& stage, const std::string& path);
[[nodiscard]] ExitCode rateUnknown(std::size_t number, const ChannelResponse& response, int stage,
                                   const std::string& path);
void rateCarried(std::size_t number, const ChannelResponse& response, int stage);
void unitsDisagree(std::size_t number, const ChannelResponse& response, const CascadeStage& stage,
                   const CascadeStage& next);
void rateDisagrees(std::size_t number, const ChannelResponse& response, const CascadeStage& stage, double previous);
void normalisationOff(std::size_t number, const ChannelResponse& response, const CascadeStage& stage, double level);
void sensitivityDisagrees(std::size_t number, const ChannelResponse& response, double computed, double frequency,
                          double decibels);
[[nodiscard]] ExitCode identityMissing(std::size_t number, const ChannelResponse& response,
                                       const OutputRequest& request);
void checkingDone();

// Converting.
void convertingStarted();
[[nodiscard]] ExitCode convertingFailed();
[[nodiscard]] ExitCode responseNotConverted(std::size_t number, const ChannelResponse& response,
                                            const std::string& reason);
[[nodiscard]] ExitCode gridTooLarge(std::size_t points, const OutputFormat& format);
[[nodiscard]] ExitCode gridRefused(const std::string& reason);
[[nodiscard]] ExitCode outOfMemory();
[[nodiscard]] ExitCode unsafeFileName(std::size_t number, const ChannelResponse& response, const char* field,
                                      const std::string& value);
void readerLevelOff(std::size_t number, const ChannelResponse& response, double calper, double factor);
void convertingDone();

// Writing.
void writingStarted(const std::string& path);
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
