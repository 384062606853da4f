#pragma once

#include <string>

#include "writers/metadata_response.hpp"

namespace kalvert {

/// One channel epoch in the RESP layout the reference evaluator reads (a
/// B050/B052 block, then each stage's B053/B054/B055/B061/B062, B057 and
/// B058, and the sensitivity as stage 0), every number written so that it
/// reads back to the same double.
[[nodiscard]] std::string respChannel(const MetadataResponse& channel);

}  // namespace kalvert
