// Arbitrary bytes as a pole-zero file: the reader must never crash, hang or
// write past a station field, and the model must keep its invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "readers/legacy_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    kalvert::ChannelResponse response;
    try {
        response = kalvert::readLegacyPoleZeroText(std::string(text));
    } catch (const std::length_error&) {
        return 0;  // a list that would pass its limit
    }
    if (response.stages.size() != 1) std::abort();
    const auto& model = std::get<kalvert::PoleZeroStage>(response.stages.front());
    if (model.zeros.size() > kalvert::maxZeroCount || model.poles.size() > kalvert::maxPoleCount) std::abort();
    if (response.id.station.size() > 7 || response.id.channel.size() > 7 || response.id.network.size() > 3 ||
        response.id.location.size() > 3 || response.epochAsWritten.size() > 39)
        std::abort();
    return 0;
}
