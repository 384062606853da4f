#include "writers/css/css_fap.hpp"

#include <charconv>

#include "writers/numbers/number_format.hpp"

namespace kalvert {
namespace {

// "%13E": six decimals, seven significant digits.
constexpr int tableDecimals = 6;
constexpr int tableWidth = 13;
constexpr int errorWidth = 8;

}  // namespace

double cssWrittenFrequency(double frequency)
{
    const std::string text = scientificText(frequency, 0, tableDecimals);
    double written = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), written);
    return written;
}

std::string formatCssFap(const CssDescription& description, const std::vector<DisplacementRow>& rows)
{
    std::string file;
    for (const std::string& comment : description.comments) file += "# " + comment + "\n";
    file += " theoretical  1   instrument fap   kalvert\n";
    appendInteger(file, static_cast<long long>(rows.size()));
    file += '\n';
    for (const DisplacementRow& row : rows) {
        appendScientific(file, row.frequency, tableWidth, tableDecimals);
        file += "  ";
        appendScientific(file, row.amplitude, tableWidth, tableDecimals);
        file += "  ";
        appendScientific(file, row.phaseDegrees, tableWidth, tableDecimals);
        file += "   ";
        appendScientific(file, 0.0, errorWidth, tableDecimals);
        file += "  ";
        appendScientific(file, 0.0, errorWidth, tableDecimals);
        file += '\n';
    }
    return file;
}

std::string cssFileText(const TabulatedResponse& table)
{
    const ChannelResponse& response = *table.response;
    const std::string& instrument = response.stated.instrument;
    const std::size_t stages = cascadeStageCount(response);
    CssDescription description;
    description.comments = {
        channelName(response.id) + "  " + (instrument.empty() ? "instrument not named" : instrument) + "  " +
            epochSpan(response.start, response.end) + "  from " + table.sourceName,
        std::string(stages > 0 ? "full cascade of " + std::to_string(stages) + " stages; " : "") +
            "displacement response: amplitude in counts/nm, phase in degrees",
        "instrument row: rsptype fap, ncalib " + fixedText(table.calib, 0, 6) + " nm/count (" +
            scientificText(table.calib, 0, 6) + ") at ncalper " + fixedText(table.calper, 0, 6) + " s" +
            (response.sampleRate ? ", samprate " + fixedText(*response.sampleRate, 0, 7) : std::string()),
    };
    return formatCssFap(description, table.rows);
}

std::string cssFileName(const ChannelResponse& response)
{
    return cssFileName(channelName(response.id), response.start);
}

std::string cssFileName(const std::string& channelName, const std::optional<DateTime>& start)
{
    if (!start) return channelName + ".fap";
    return channelName + "." + fileTimeStamp(*start) + ".fap";
}

}  // namespace kalvert
