// Arbitrary argument lists (NUL-separated) through the option parser, the
// evaluation of a real response and both writers. The point count is capped
// here, not in the tool, so that every input stays quick.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "app/options.hpp"
#include "writers/fap/fap_stream.hpp"
#include "writers/fap/fap_header.hpp"
#include "writers/fap/fap_table.hpp"
#include "response/evaluation.hpp"
#include "readers/legacy_reader.hpp"
#include "support/test_support.hpp"

namespace {

// KARC.BHZ, a 30 s broadband response (ObsPy's test data).
kalvert::PoleZeroStage realModel()
{
    return std::get<kalvert::PoleZeroStage>(kalvert::readLegacyPoleZeroText("ZEROS 4\n-999.0260 0.0000\nPOLES 6\n-0.1480 0.1480\n-0.1480 -0.1480\n"
                              "-314.1600 202.3200\n-314.1600 -202.3200\n-12507.0000 0.0000\n-999.0260 0.0000\n"
                              "CONSTANT 4.540e20\n")
                                                .stages.front());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The parser prints its messages and the help screen; keep the log readable.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const kalvert::PoleZeroStage model = realModel();
    std::vector<std::string> arguments{"kalvert", "IN=x", "OUT=y"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    arguments.push_back(current);

    kalvert::ParsedOptions parsed = kalvert::parseOptions(arguments);
    if (parsed.helpAsked) return 0;
    kalvert::OutputRequest& request = parsed.request;
    request.grid.npoints %= 1000;

    const kalvert::GridRequest grid = request.grid;
    const kalvert::ResponseKind kind = request.kind;
    kalvert::ChannelResponse response;
    response.id.station = request.typeIn;
    response.id.channel = request.typeOut;
    response.epochAsWritten = request.typeIn;
    response.stages.emplace_back(model);

    // The streamed file must be the whole table formatted at once.
    std::vector<kalvert::FapPoint> rows;
    kalvert::PreparedFapFile file;
    try {
        rows = kalvert::testing::evaluateGrid(model, grid, kind);
        file = kalvert::prepareFapFile(response, grid, kind);
    } catch (const std::exception&) {
        return 0;  // refused requests
    }
    std::string whole = kalvert::testing::fapTableText(rows);
    const kalvert::StationInfo station = kalvert::legacyStation(response);
    whole.insert(0, kalvert::formatFapHeader(station, kalvert::splitTimeText(station.timeText), rows.size(),
                                             kind.output));
    const int descriptor = memfd_create("streamed", 0);
    if (descriptor < 0 || !kalvert::writeFapFile(descriptor, file)) std::abort();
    std::string streamed(whole.size() + 1, '\0');
    const auto length = pread(descriptor, streamed.data(), streamed.size(), 0);
    close(descriptor);
    if (length < 0 || streamed.substr(0, static_cast<std::size_t>(length)) != whole) std::abort();
    return 0;
}
