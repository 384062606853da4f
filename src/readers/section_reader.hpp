#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "readers/read_error.hpp"
#include "response/channel_response.hpp"

namespace kalvert {

/// Why a file cannot be read as sections, in words for the user.
using SectionFormatError = ReadError;

/// Splits the text of a SAC pole-zero file into its sections (one response
/// each, with one pole-zero stage), as data
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
[[nodiscard]] std::vector<ChannelResponse> readPoleZeroSections(std::string_view text);

}  // namespace kalvert
