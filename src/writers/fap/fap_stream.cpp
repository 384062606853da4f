#include "writers/fap/fap_stream.hpp"

#include <algorithm>
#include <string_view>

#include "files/file_access.hpp"
#include "writers/fap/fap_header.hpp"
#include "writers/fap/fap_table.hpp"

namespace kalvert {
namespace {

// Grid points evaluated and formatted per chunk: large enough that the
// per-chunk work vanishes, small enough that the buffers stay in cache.
constexpr std::size_t chunkPoints = 8192;

// Room per row in the text buffer; a longer row just flushes the buffer sooner.
constexpr std::size_t typicalRowLength = 48;

// Ends the grid walk when the output refuses a write.
struct WriteRefused {};

// Formatted text on its way to the output.
struct PendingText {
    int descriptor;
    std::vector<char>& buffer;
    char* end;
};

std::size_t roomLeft(const PendingText& text)
{
    return static_cast<std::size_t>(text.buffer.data() + text.buffer.size() - text.end);
}

void flush(PendingText& text)
{
    const std::string_view held(text.buffer.data(), static_cast<std::size_t>(text.end - text.buffer.data()));
    if (!writeAll(text.descriptor, held)) throw WriteRefused{};
    text.end = text.buffer.data();
}

// Where the next row line goes, writing out what is held if need be.
char* roomForRow(PendingText& text)
{
    if (roomLeft(text) < maxTableRowLength) flush(text);
    return text.end;
}

void append(PendingText& text, std::string_view bytes)
{
    if (roomLeft(text) < bytes.size()) flush(text);
    if (roomLeft(text) < bytes.size()) {
        if (!writeAll(text.descriptor, bytes)) throw WriteRefused{};
        return;
    }
    text.end = std::copy(bytes.begin(), bytes.end(), text.end);
}

}  // namespace

PreparedFapFile prepareFapFile(const ChannelResponse& response, const GridRequest& grid, const ResponseKind& kind)
{
    PreparedFapFile file;
    file.grid = grid;
    file.response = prepareResponse(response, kind);
    file.count = countGridPoints(grid);
    refuseExcessiveWork(file.count, file.response);
    const StationInfo station = legacyStation(response);
    file.header = formatFapHeader(station, splitTimeText(station.timeText), file.count, kind.output);
    const std::size_t chunk = std::min(file.count, chunkPoints);
    file.frequencies.resize(chunk);
    file.rows.resize(chunk);
    file.text.resize(chunk * typicalRowLength + maxTableRowLength);
    return file;
}

bool writeFapFile(int descriptor, PreparedFapFile& file)
{
    PendingText text{descriptor, file.text, file.text.data()};
    std::size_t held = 0;
    const auto writeChunk = [&] {
        evaluatePoints(file.response, file.frequencies.data(), held, file.rows.data());
        for (std::size_t i = 0; i < held; ++i) text.end = writeTableRow(roomForRow(text), file.rows[i]);
        held = 0;
    };
    try {
        append(text, file.header);
        text.end = writeTableCount(roomForRow(text), file.count);
        walkGrid(file.grid, [&](double frequency) {
            file.frequencies[held++] = frequency;
            if (held == file.frequencies.size()) writeChunk();
        });
        writeChunk();
        flush(text);
    } catch (const WriteRefused&) {
        return false;
    }
    return true;
}

}  // namespace kalvert
