// The conversion with the obvious table writer, one snprintf per row: the
// baseline for the end-to-end benchmark. Same arguments as kalvert, no
// progress messages, status 1 on any failure.
#include <cstdio>
#include <string>
#include <vector>

#include "app/file_access.hpp"
#include "app/options.hpp"
#include "fap/fap_header.hpp"
#include "response/evaluation.hpp"
#include "response/pole_zero_reader.hpp"

int main(int argc, char** argv)
{
    using namespace kalvert;
    const std::vector<std::string> arguments(argv, argv + argc);
    if (arguments.size() < 3) return 1;
    OutputRequest request;
    if (parseOptions(arguments, request) != OptionsOutcome::Proceed) return 1;
    std::string input;
    FileIdentity inputFile;
    if (readWholeFile(arguments[1].substr(3), input, inputFile) != ReadOutcome::Read) return 1;
    PoleZeroModel model;
    StationInfo station;
    readPoleZeroText(input, model, station);
    FapTable table;
    const ResponseKind kind = readResponseKind(request.typeIn, request.typeOut);
    evaluateResponse(model, table, request.npoints, request.freqLow, request.freqHigh, request.logX, kind);

    std::string text;
    char line[128];
    std::snprintf(line, sizeof line, "%zu\n", table.rows.size());
    text += line;
    for (const FapPoint& row : table.rows) {
        const int length =
            std::snprintf(line, sizeof line, "%12.7lf  %10.7le %10.7lf\n", row.frequency, row.amplitude, row.phase);
        text.append(line, static_cast<std::size_t>(length));
    }
    const std::string header =
        formatFapHeader(station, splitTimeText(station.timeText), table.rows.size(), kind.output);
    std::FILE* out = std::fopen(arguments[2].substr(4).c_str(), "wb");
    if (out == nullptr) return 1;
    std::fwrite(header.data(), 1, header.size(), out);
    std::fwrite(text.data(), 1, text.size(), out);
    return std::fclose(out) == 0 ? 0 : 1;
}
