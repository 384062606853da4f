#include "writers/fap/fap_stream.hpp"

#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "writers/fap/fap_header.hpp"
#include "support/test_support.hpp"

namespace kalvert {
namespace {

PoleZeroStage twoPoleModel()
{
    PoleZeroStage model;
    model.zeros = {{0, 0}, {-15.15, 0}};
    model.poles = {{-0.037, 0.037}, {-0.037, -0.037}, {-255.0, 0}};
    model.constant = 8.7e10;
    return model;
}

// The file written chunk by chunk equals the whole table formatted at once,
// whatever the number of chunks and the length of the rows.
TEST(TableStream, StreamedFileEqualsTheWholeTable)
{
    const GridRequest grids[] = {
        {5.0, 1.0, 10, false},       {1.0, 2.0, 0, false},        {0.0, 20.0, 8191, false},
        {0.0, 20.0, 8192, false},    {0.0, 20.0, 8193, false},    {0.001, 20.0, 20000, true},
        {1e300, 2e300, 20000, false},
    };
    ChannelResponse response;
    response.id.station = "ANMO";
    response.epochAsWritten = "2002/11/19 21:07 / 2599/12/31 23:59";
    response.stages.emplace_back(twoPoleModel());
    const StationInfo station = legacyStation(response);
    for (const GridRequest& grid : grids) {
        const std::vector<FapPoint> rows = testing::evaluateGrid(twoPoleModel(), grid, ResponseKind{});
        std::string whole = testing::fapTableText(rows);
        whole.insert(0, formatFapHeader(station, splitTimeText(station.timeText), rows.size(), OutputKind{}));

        PreparedFapFile file = prepareFapFile(response, grid, ResponseKind{});
        const int descriptor = memfd_create("streamed", 0);
        ASSERT_GE(descriptor, 0);
        ASSERT_TRUE(writeFapFile(descriptor, file));
        std::string streamed(whole.size() + 1, '\0');
        const auto length = pread(descriptor, streamed.data(), streamed.size(), 0);
        close(descriptor);
        streamed.resize(length < 0 ? 0 : static_cast<std::size_t>(length));
        EXPECT_EQ(streamed, whole) << grid.freqLow << " " << grid.npoints;
    }
}

}  // namespace
}  // namespace kalvert
