#include "app/metadata_conversion.hpp"

#include <cmath>

#include "app/reporter.hpp"
#include "response/evaluation.hpp"
#include "response/stated_stages.hpp"

namespace kalvert {
namespace {

bool sameNetwork(const ChannelResponse& a, const ChannelResponse& b)
{
    return a.id.network == b.id.network;
}

bool sameStation(const ChannelResponse& a, const ChannelResponse& b)
{
    return sameNetwork(a, b) && a.id.station == b.id.station;
}

// The span of epochs [first, last): the earliest start, the latest end (open when any is).
void span(const std::vector<CheckedResponse>& checked, std::size_t first, std::size_t last,
          std::optional<DateTime>& start, std::optional<DateTime>& end)
{
    bool open = false;
    for (std::size_t i = first; i < last; ++i) {
        const ChannelResponse& response = checked[i].response;
        if (response.start && (!start || secondsSince1970(*response.start) < secondsSince1970(*start)))
            start = response.start;
        if (!response.end) open = true;
        if (response.end && (!end || secondsSince1970(*response.end) > secondsSince1970(*end))) end = response.end;
    }
    if (open) end.reset();
}

// Where the sensitivity of a SAC pole-zero file is computed: the frequency
// its header states, else 1 Hz, or a tenth of the Nyquist frequency where
// that is lower (a long-period channel).
double sensitivityFrequency(const ChannelResponse& response)
{
    if (response.stated.sensitivityFrequency) return *response.stated.sensitivityFrequency;
    constexpr double usual = 1.0;
    if (response.sampleRate && *response.sampleRate > 0) return std::min(usual, *response.sampleRate / 20.0);
    return usual;
}

const char* motionUnit(int motion)
{
    switch (motion) {
    case 0: return "M";
    case 2: return "M/S**2";
    default: return "M/S";
    }
}

}  // namespace

void groupByStation(std::vector<CheckedResponse>& checked)
{
    for (std::size_t i = 0; i < checked.size();) {
        std::size_t networkEnd = i;
        while (networkEnd < checked.size() && sameNetwork(checked[networkEnd].response, checked[i].response))
            ++networkEnd;
        Grouping network;
        span(checked, i, networkEnd, network.networkStart, network.networkEnd);
        for (std::size_t j = i; j < networkEnd;) {
            std::size_t stationEnd = j;
            while (stationEnd < networkEnd && sameStation(checked[stationEnd].response, checked[j].response))
                ++stationEnd;
            Grouping station = network;
            span(checked, j, stationEnd, station.stationStart, station.stationEnd);
            for (std::size_t k = j; k < stationEnd; ++k) {
                Grouping& grouping = checked[k].grouping;
                grouping = station;
                grouping.opensNetwork = k == i;
                grouping.closesNetwork = k + 1 == networkEnd;
                grouping.opensStation = k == j;
                grouping.closesStation = k + 1 == stationEnd;
            }
            j = stationEnd;
        }
        i = networkEnd;
    }
}

std::string describeResponse(const RunState& run, const CheckedResponse& checked)
{
    ChannelResponse response = checked.response;
    MetadataResponse metadata;
    metadata.grouping = checked.grouping;
    metadata.sourceName = checked.sourceName;
    for (const ResponseStage& stage : response.stages) {
        if (const auto* cascade = std::get_if<CascadeStage>(&stage)) {
            metadata.stages.push_back(*cascade);
            continue;
        }
        // A SAC pole-zero file: one stage in its input unit, and the sensitivity
        // computed from it (the header's SENSITIVITY may be per another unit).
        const double frequency = sensitivityFrequency(response);
        CascadeStage poleZero = cascadeStageOf(std::get<PoleZeroStage>(stage), frequency);
        if (response.inputUnit.empty()) response.inputUnit = motionUnit(checked.kind.inputMotion);
        poleZero.inputUnit = response.inputUnit;
        poleZero.outputUnit = "COUNTS";
        response.stated.sensitivity = std::fabs(*poleZero.gain);
        response.stated.sensitivityFrequency = frequency;
        response.stated.sensitivityUnit = response.inputUnit;
        response.stated.sensitivityOutputUnit = "COUNTS";
        metadata.stages.push_back(std::move(poleZero));
    }
    (void)completeDecimations(metadata.stages);  // the check stage has warned about each
    const ChannelPlace& place = response.place;
    for (const auto& [value, name] : {std::pair{&place.latitude, "Latitude"}, std::pair{&place.longitude, "Longitude"},
                                      std::pair{&place.elevation, "Elevation"}, std::pair{&place.depth, "Depth"}})
        if (!*value) metadata.writtenAsZero.emplace_back(name);
    if (!metadata.writtenAsZero.empty())
        report::writtenAsZero(checked.number, response, metadata.writtenAsZero, metadata.sourceName);
    metadata.response = &response;
    return run.request.format->describe(metadata);
}

}  // namespace kalvert
