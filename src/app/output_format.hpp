#pragma once

#include <optional>
#include <string_view>

namespace kalvert {

/// What FORMAT= asks the run to write.
enum class OutputFormat { Fap, Seisan, Gse20, Gse21, Ims10, Css };

/// FAP, SEISAN, GSE2.0, GSE2.1, IMS1.0 or CSS in any letter case; nothing else.
[[nodiscard]] std::optional<OutputFormat> readOutputFormat(std::string_view text);

/// The names FORMAT= knows, for messages: "FAP, SEISAN, GSE2.0, GSE2.1, IMS1.0, CSS".
inline constexpr const char* knownOutputFormats = "FAP, SEISAN, GSE2.0, GSE2.1, IMS1.0, CSS";

/// Its canonical name.
[[nodiscard]] const char* outputFormatName(OutputFormat format);

}  // namespace kalvert
