#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "response/complex.hpp"
#include "response/sacpz_header.hpp"

namespace kalvert {

/// One channel epoch of a data-centre pole-zero file: its header block and
/// its ZEROS, POLES and CONSTANT.
struct PoleZeroSection {
    SectionHeader header;
    std::vector<Complex> zeros;  ///< listed zeros, then zeros at the origin up to the announced count
    std::vector<Complex> poles;
    std::optional<double> constant;  ///< nothing when the section has no CONSTANT line
    int firstLine = 0;               ///< where the section starts in the file, from 1
};

/// Why a file cannot be read as sections, in words for the user.
struct SectionFormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/// Splits the text of a SAC pole-zero file into its sections, as data
/// centres write them: a section is a `*` header block, if any, with one
/// ZEROS, one POLES and at most one CONSTANT line in any order; a header line
/// after any of those, a repeated keyword or "* <EOE>" starts the next one.
/// Lines starting with `*` are header lines whatever they hold; `#` lines
/// give station keys where the `*` block is silent; blank lines mean nothing.
/// LF, CR LF and CR line ends all work. A section lists at most
/// maxZeroCount zeros and maxPoleCount poles. Throws SectionFormatError on
/// a file that holds no section, a section without ZEROS or POLES, fewer
/// pole lines than announced, more value lines than announced, a line that
/// is none of these, or a list past its limit.
[[nodiscard]] std::vector<PoleZeroSection> readPoleZeroSections(std::string_view text);

/// "NET.STA.LOC.CHA", e.g. "IU.ANMO.00.BHZ" or "UW.HOOD..ENE".
[[nodiscard]] std::string channelName(const SectionHeader& header);

}  // namespace kalvert
