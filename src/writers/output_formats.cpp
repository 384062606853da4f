#include "writers/output_formats.hpp"

#include "text/text_scan.hpp"
#include "writers/css/css_fap.hpp"
#include "writers/gse/gse_response.hpp"
#include "writers/resp/resp_writer.hpp"
#include "writers/stationxml/stationxml_writer.hpp"

namespace kalvert {
namespace {

// A CSS table has no count limit of its own; this one keeps memory small.
constexpr std::size_t maxCssRows = 100'000;

constexpr std::string_view fap2RowLimit = "a FAP2 block can announce; ask for fewer with FREQ=, NPOINTS= and -logX";

template <GseVersion version>
std::string gseText(const TabulatedResponse& table)
{
    return gseResponseText(table, version);
}

template <GseVersion version>
std::string gseHead(const ChannelResponse& first)
{
    return gseMessageHead(first, version);
}

std::string noHead(const ChannelResponse&)
{
    return {};
}

constexpr std::array<std::string ChannelId::*, 4> noNameFields{};
constexpr std::array<std::string ChannelId::*, 4> seisanNameFields{&ChannelId::station, &ChannelId::channel};
constexpr std::array<std::string ChannelId::*, 4> cssNameFields{&ChannelId::network, &ChannelId::station,
                                                                &ChannelId::location, &ChannelId::channel};

// One row per format; adding a format is adding a row (and its writer).
constexpr OutputFormat formats[] = {
    {"FAP", nullptr, 0, "", nullptr, nullptr, noNameFields, nullptr, "", Envelope::LegacyFap, false},
    {"SEISAN", gseWrittenFrequency, maxFap2Rows, fap2RowLimit, seisanResponseText, seisanFileName, seisanNameFields,
     nullptr, "", Envelope::FilePerResponse, true},
    {"GSE2.0", gseWrittenFrequency, maxFap2Rows, fap2RowLimit, gseText<GseVersion::Gse20>, nullptr, noNameFields,
     gseHead<GseVersion::Gse20>, gseMessageTail, Envelope::OneMessage, false},
    {"GSE2.1", gseWrittenFrequency, maxFap2Rows, fap2RowLimit, gseText<GseVersion::Gse21>, nullptr, noNameFields,
     gseHead<GseVersion::Gse21>, gseMessageTail, Envelope::OneMessage, false},
    {"IMS1.0", gseWrittenFrequency, maxFap2Rows, fap2RowLimit, gseText<GseVersion::Ims10>, nullptr, noNameFields,
     gseHead<GseVersion::Ims10>, gseMessageTail, Envelope::OneMessage, false},
    {"CSS", cssWrittenFrequency, maxCssRows, "a CSS file is given", cssFileText, cssFileName, cssNameFields, nullptr,
     "", Envelope::FilePerResponse, false},
    {"StationXML", nullptr, 0, "", nullptr, nullptr, noNameFields, stationXmlHead, stationXmlTail, Envelope::OneMessage,
     false, stationXmlChannel},
    {"RESP", nullptr, 0, "", nullptr, nullptr, noNameFields, noHead, "", Envelope::OneMessage, false, respChannel},
};

}  // namespace

const OutputFormat* findOutputFormat(std::string_view name)
{
    for (const OutputFormat& format : formats)
        if (equalsIgnoringCase(name, format.name)) return &format;
    return nullptr;
}

const OutputFormat& legacyFapFormat()
{
    return formats[0];
}

std::string knownOutputFormats()
{
    std::string names;
    for (const OutputFormat& format : formats) names.append(names.empty() ? "" : ", ").append(format.name);
    return names;
}

}  // namespace kalvert
