// Arbitrary bytes as a data-centre pole-zero file: the section reader must
// never crash or hang, refuse only with SectionFormatError, and keep its
// limits and its fill-up of the zeros.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "response/pole_zero_model.hpp"
#include "response/section_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        for (const kalvert::PoleZeroSection& section : kalvert::readPoleZeroSections(text)) {
            if (section.zeros.size() > kalvert::maxZeroCount || section.poles.size() > kalvert::maxPoleCount)
                std::abort();
            if (section.header.start && (section.header.start->month < 1 || section.header.start->month > 12))
                std::abort();
            (void)kalvert::channelName(section.header);
        }
    } catch (const kalvert::SectionFormatError&) {
        return 0;
    }
    return 0;
}
