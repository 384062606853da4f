#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dates/date_time.hpp"
#include "response/channel_response.hpp"

namespace kalvert {

/// Where a response stands among its neighbours in a metadata document:
/// whether it opens or closes its network's and its station's element, and
/// the epochs those elements span (nothing for an open end).
struct Grouping {
    bool opensNetwork = true;
    bool closesNetwork = true;
    bool opensStation = true;
    bool closesStation = true;
    std::optional<DateTime> networkStart;
    std::optional<DateTime> networkEnd;
    std::optional<DateTime> stationStart;
    std::optional<DateTime> stationEnd;
};

/// What a metadata writer (StationXML, RESP) is given for one channel epoch:
/// the response as its file states it, every stage a cascade stage (a SAC
/// pole-zero file's one stage made a pole-zero stage with its sensitivity).
struct MetadataResponse {
    const ChannelResponse* response = nullptr;
    std::vector<CascadeStage> stages;
    Grouping grouping;
    /// Required values the input does not state, written as 0 ("Latitude" …).
    std::vector<std::string> writtenAsZero;
    std::string sourceName;  ///< the input file's name, without its folder
};

}  // namespace kalvert
