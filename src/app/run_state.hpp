#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/options.hpp"
#include "files/file_access.hpp"
#include "files/staged_files.hpp"
#include "response/channel_response.hpp"
#include "response/output_kind.hpp"
#include "writers/fap/fap_stream.hpp"

namespace kalvert {

/// A response chosen and checked: its constant per metre of its unit of
/// length, and the kinds of motion it is converted between.
struct CheckedResponse {
    std::size_t number = 0;  ///< section number from 1 (1 for the legacy reading)
    ChannelResponse response;
    ResponseKind kind;
};

/// What one run holds as it goes from stage to stage.
struct RunState {
    OutputRequest request;
    std::string inputText;
    FileIdentity inputFile;
    bool sectioned = false;                  ///< read by sections (SECTION= or a standard format)
    std::vector<ChannelResponse> responses;  ///< every response of the file, in file order
    std::vector<std::size_t> selected;       ///< indices into responses: the ones to convert
    std::vector<CheckedResponse> checked;
    PreparedFapFile fapFile;  ///< the legacy FAP file, ready to stream
    /// The standard formats' files, each written as its response is
    /// converted, under a temporary name until the run commits them.
    StagedFiles staged;
    std::vector<std::string> targets;  ///< where each checked response goes (or the one message)
};

}  // namespace kalvert
