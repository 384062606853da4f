#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kalvert::testing {

// Strict readers of the standard response files, column by column as the
// GSE2.0 / GSE2.1 tables and the CSS fap layout give them: they reject what
// SEISAN, pyrocko, Geotool or GMS would reject or misread.

struct GseRow {
    double frequency = 0.0;
    double amplitude = 0.0;
    int phase = 0;
};

struct GseResponse {
    std::string station, channel, auxiliary, instrumentType;
    double calib = 0.0;
    double calper = 0.0;
    std::optional<double> sampleRate;
    std::string on, off;  ///< "yyyy/mm/dd hh:mm", empty when blank
    std::vector<std::string> comments;
    std::string descriptor;
    std::vector<GseRow> rows;
};

enum class GseColumns { Gse20, Gse21 };

/// A bare response file (SEISAN: one CAL2 group, no envelope), or with
/// `version` given, a message (BEGIN … STOP) of that version holding one or
/// more responses. False, with the reason, for anything a strict reader refuses.
bool parseGseFile(const std::string& text, GseColumns columns, const std::string& version,
                  std::vector<GseResponse>& responses, std::string& error);

struct CssRow {
    double frequency = 0.0;
    double amplitude = 0.0;
    double phase = 0.0;  ///< degrees
};

/// A CSS3.0 fap response file with one block, as Geotool and GMS read it.
bool parseCssFile(const std::string& text, std::vector<std::string>& comments, std::vector<CssRow>& rows,
                  std::string& error);

}  // namespace kalvert::testing
