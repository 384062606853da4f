// Arbitrary bytes as a data-centre pole-zero file: the section reader must
// never crash or hang, refuse only with SectionFormatError, and keep its
// limits and its fill-up of the zeros.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "response/channel_response.hpp"
#include "readers/section_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        for (const kalvert::ChannelResponse& section : kalvert::readPoleZeroSections(text)) {
            const auto& stage = std::get<kalvert::PoleZeroStage>(section.stages.at(0));
            if (stage.zeros.size() > kalvert::maxZeroCount || stage.poles.size() > kalvert::maxPoleCount)
                std::abort();
            if (section.start && (section.start->month < 1 || section.start->month > 12)) std::abort();
            (void)kalvert::channelName(section.id);
        }
    } catch (const kalvert::SectionFormatError&) {
        return 0;
    }
    return 0;
}
