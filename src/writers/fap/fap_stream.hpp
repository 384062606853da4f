#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "response/evaluation.hpp"
#include "response/grid.hpp"
#include "response/output_kind.hpp"

namespace kalvert {

/// A FAP file ready to be written: everything that can fail is decided and
/// every buffer allocated, so that once the output is open only a write can
/// fail. The table itself is evaluated, formatted and written chunk by
/// chunk, so memory does not grow with the number of points.
struct PreparedFapFile {
    GridRequest grid;
    PreparedResponse response;
    std::size_t count = 0;            ///< grid points, rows of the table
    std::string header;               ///< CAL2, comment and FAP2 lines
    std::vector<double> frequencies;  ///< one chunk of the grid
    std::vector<FapPoint> rows;       ///< the same chunk evaluated
    std::vector<char> text;           ///< formatted text waiting to be written
};

/// Counts the grid (refusing what it refuses), adjusts the zeros to the
/// output kind, checks the work bound, formats the header and allocates the
/// buffers. Throws on any of those failures; nothing is written.
[[nodiscard]] PreparedFapFile prepareFapFile(const ChannelResponse& response, const GridRequest& grid,
                                             const ResponseKind& kind);

/// Writes the header and the table to `descriptor`; false when a write fails.
[[nodiscard]] bool writeFapFile(int descriptor, PreparedFapFile& file);

}  // namespace kalvert
