// Arbitrary bytes as a pole-zero file: the reader must never crash, hang or
// write past a station field, and the model must keep its invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "response/pole_zero_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    kalvert::PoleZeroModel model;
    kalvert::StationInfo info;
    try {
        kalvert::readPoleZeroText(std::string(text), model, info);
    } catch (const std::length_error&) {
        return 0;  // a list that would pass its limit
    }
    if (model.nzeros > 0 && model.zeros.size() < static_cast<std::size_t>(model.nzeros)) std::abort();
    if (model.zeros.size() > kalvert::maxZeroCount || model.poles.size() > kalvert::maxPoleCount) std::abort();
    if (info.station.size() > kalvert::StationInfo::stationCapacity ||
        info.channel.size() > kalvert::StationInfo::channelCapacity ||
        info.network.size() > kalvert::StationInfo::networkCapacity ||
        info.location.size() > kalvert::StationInfo::locationCapacity ||
        info.timeText.size() > kalvert::StationInfo::timeTextCapacity)
        std::abort();
    return 0;
}
