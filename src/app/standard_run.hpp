#pragma once

#include <string>

#include "app/exit_code.hpp"
#include "app/file_access.hpp"
#include "app/options.hpp"
#include "app/output_format.hpp"

namespace kalvert {

/// The checking, converting and writing stages for a standard format
/// (SEISAN, GSE2.0, GSE2.1, IMS1.0, CSS): every section of the file (or
/// SECTION=n) as its forward displacement response in counts/nm with the
/// phase in degrees, written as the format's readers load it. Everything is
/// converted before the first file is created; each stage prints its
/// progress and "ERROR: " lines and ends with its exit code.
[[nodiscard]] ExitCode runStandardFormat(OutputFormat format, double calper, const std::string& inputPath,
                                         const std::string& outputPath, const OutputRequest& request,
                                         const std::string& inputText, const FileIdentity& inputFile);

/// CALPER='s period in seconds, if it is one the CAL2 line can hold.
[[nodiscard]] std::optional<double> readCalibrationPeriod(const std::string& text);

}  // namespace kalvert
