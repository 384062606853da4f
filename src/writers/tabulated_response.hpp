#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "response/channel_response.hpp"
#include "response/displacement_table.hpp"

namespace kalvert {

/// A channel's forward displacement response on the frequencies a standard
/// file writes, ready for a writer to render.
struct TabulatedResponse {
    const ChannelResponse* response = nullptr;  ///< identity, epoch and stated values
    std::vector<DisplacementRow> rows;
    double calib = 1.0;      ///< nm/count at calper: 1/|H(1/calper)|
    double calper = 1.0;     ///< seconds
    std::string sourceName;  ///< the input file's name, without its folder
};

/// A value that a format's fixed columns cannot hold, in words for the user.
struct FieldError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace kalvert
