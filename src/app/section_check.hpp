#pragma once

#include <string>
#include <vector>

#include "app/exit_code.hpp"
#include "app/options.hpp"
#include "response/pole_zero_model.hpp"
#include "response/section_reader.hpp"

namespace kalvert {

/// A section made ready for conversion: its roots with CONSTANT per metre,
/// its identity for the legacy header, and the kind of motion it describes.
struct CheckedSection {
    PoleZeroModel model;
    StationInfo station;
    int inputMotion = 1;
};

/// One line per section: number, channel and epoch, for the user to choose from.
[[nodiscard]] std::string sectionList(const std::vector<PoleZeroSection>& sections);

/// Reads the text by sections; prints "ERROR: Checking data (…)" and the
/// reason, and returns BadInputFile, when it cannot.
[[nodiscard]] ExitCode readSections(const std::string& inputPath, const std::string& inputText,
                                    std::vector<PoleZeroSection>& sections);

/// Section `number` (from 1) made ready: its kind of motion from its INPUT
/// UNIT (TYPE_IN where it states none), CONSTANT per metre, with the
/// warnings printed. BadInputFile, after its "ERROR: " line, for an INPUT
/// UNIT that is not ground motion.
[[nodiscard]] ExitCode checkOneSection(const std::string& inputPath, std::size_t number, const PoleZeroSection& section,
                                       const OutputRequest& request, CheckedSection& checked);

/// "ERROR: No section n in (…); it holds N:" and the list; BadInputFile.
[[nodiscard]] ExitCode refuseSectionNumber(const std::string& inputPath, int number,
                                           const std::vector<PoleZeroSection>& sections);

/// The checking stage of a run with SECTION=: reads the text by sections,
/// picks section `request.section`, works out its kind of motion from its
/// INPUT UNIT (TYPE_IN where it states none) and prints the checking
/// messages, warnings included. BadInputFile on any failure, after its
/// "ERROR: " lines.
[[nodiscard]] ExitCode checkSection(const std::string& inputPath, const std::string& inputText,
                                    const OutputRequest& request, CheckedSection& checked);

}  // namespace kalvert
