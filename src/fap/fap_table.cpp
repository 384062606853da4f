#include "fap/fap_table.hpp"

#include "fap/number_format.hpp"

namespace kalvert {
namespace {

// Column layout of a table row.
constexpr int frequencyWidth = 12;
constexpr int amplitudeWidth = 10;
constexpr int phaseWidth = 10;
constexpr int decimals = 7;

// Three numbers of at most maxNumberLength characters and four separators.
constexpr std::size_t maxRowLength = 3 * maxNumberLength + 4;

char* writeRow(char* out, const FapPoint& row)
{
    out = writeFixed(out, row.frequency, frequencyWidth, decimals);
    *out++ = ' ';
    *out++ = ' ';
    out = writeExponent(out, row.amplitude, amplitudeWidth, decimals);
    *out++ = ' ';
    out = writeFixed(out, row.phase, phaseWidth, decimals);
    *out++ = '\n';
    return out;
}

}  // namespace

void formatFapTable(const FapTable& table, std::string& out)
{
    out.clear();
    appendInteger(out, static_cast<long long>(table.rows.size()));
    out.push_back('\n');

    char line[maxRowLength];
    for (const FapPoint& row : table.rows) {
        const char* end = writeRow(line, row);
        out.append(line, static_cast<std::size_t>(end - line));
    }
}

}  // namespace kalvert
