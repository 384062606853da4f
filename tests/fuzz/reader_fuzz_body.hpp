// Arbitrary bytes through a streaming cascade reader (READ_TEXT): it must
// never crash or hang, refuse only with ReadError, expand symmetric FIRs
// within bounds, and give responses the evaluation either takes or refuses
// with std::invalid_argument.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "response/evaluation.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        for (const kalvert::ChannelResponse& response : READ_TEXT(text)) {
            for (const kalvert::ResponseStage& stage : response.stages)
                if (std::get<kalvert::CascadeStage>(stage).numerator.size() > 2 * size + 2) std::abort();
            try {
                const kalvert::PreparedResponse prepared =
                    kalvert::prepareResponse(response, kalvert::ResponseKind{1, kalvert::OutputKind{0, 0, -9}, true});
                kalvert::FapPoint row;
                const double frequency = 1.0;
                kalvert::evaluatePoints(prepared, &frequency, 1, &row);
            } catch (const std::invalid_argument&) {
            }
        }
    } catch (const kalvert::ReadError&) {
        return 0;
    }
    return 0;
}
