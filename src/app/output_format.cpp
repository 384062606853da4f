#include "app/output_format.hpp"

#include "response/text_scan.hpp"

namespace kalvert {
namespace {

struct NamedFormat {
    const char* name;
    OutputFormat format;
};

constexpr NamedFormat formats[] = {
    {"FAP", OutputFormat::Fap},      {"SEISAN", OutputFormat::Seisan}, {"GSE2.0", OutputFormat::Gse20},
    {"GSE2.1", OutputFormat::Gse21}, {"IMS1.0", OutputFormat::Ims10},  {"CSS", OutputFormat::Css},
};

}  // namespace

std::optional<OutputFormat> readOutputFormat(std::string_view text)
{
    for (const NamedFormat& named : formats)
        if (equalsIgnoringCase(text, named.name)) return named.format;
    return std::nullopt;
}

const char* outputFormatName(OutputFormat format)
{
    for (const NamedFormat& named : formats)
        if (named.format == format) return named.name;
    return "";
}

}  // namespace kalvert
