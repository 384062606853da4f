#include "writers/gse/gse_response.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "writers/numbers/number_format.hpp"

namespace kalvert {
namespace {

// Column widths shared by GSE2.0, GSE2.1 and IMS1.0 (Tables 13/23, 15/25).
constexpr std::size_t stationColumns = 5;
constexpr std::size_t channelColumns = 3;
constexpr std::size_t auxiliaryColumns = 4;
constexpr std::size_t instrumentColumns = 6;
constexpr std::size_t descriptorColumns = 25;
constexpr double firstUnwritableFrequency = 10000.0;  // f10.5 holds up to 9999.99999
constexpr int frequencyDecimals = 5;
constexpr int phaseColumns = 4;
constexpr double lowestPhase = -999.0;
constexpr double highestPhase = 9999.0;

// CAL2's numeric fields, which differ between the versions.
struct Cal2Layout {
    int calibWidth;
    int calibDecimals;
    int sampleRateWidth;
};

Cal2Layout cal2Layout(GseVersion version)
{
    // GSE2.0: calib e10.2 in 28-37, samprat f10.5 in 47-56; GSE2.1 and IMS1.0:
    // calib e15.8 in 28-42, samprat f11.5 in 52-62.
    if (version == GseVersion::Gse20) return {10, 4, 10};
    return {15, 8, 11};
}

void appendField(std::string& line, const std::string& text, std::size_t columns, const char* name)
{
    if (text.size() > columns)
        throw FieldError(std::string(name) + " \"" + text + "\" is longer than its " + std::to_string(columns) +
                         " columns");
    appendLeft(line, text, static_cast<int>(columns));
}

// A number in its columns, refused when it would take more.
void appendNumber(std::string& line, const std::string& number, int width, const char* name)
{
    if (number.size() > static_cast<std::size_t>(width))
        throw FieldError(std::string(name) + " " + number + " does not fit its " + std::to_string(width) + " columns");
    line += number;
}

void trimRight(std::string& line)
{
    line.erase(line.find_last_not_of(' ') + 1);
}

std::string cal2Line(const GseChannel& channel, double calib, double calper, GseVersion version)
{
    const Cal2Layout layout = cal2Layout(version);
    std::string line = "CAL2 ";
    appendField(line, channel.station, stationColumns, "station");
    line += ' ';
    appendField(line, channel.channel, channelColumns, "channel");
    line += ' ';
    appendField(line, channel.location, auxiliaryColumns, "location");
    line += ' ';
    appendField(line, channel.instrumentType, instrumentColumns, "instrument type");
    line += ' ';
    appendNumber(line, scientificText(calib, layout.calibWidth, layout.calibDecimals), layout.calibWidth, "calib");
    line += ' ';
    appendNumber(line, fixedText(calper, 7, 3), 7, "calper");
    line += ' ';
    if (channel.sampleRate)
        appendNumber(line, fixedText(*channel.sampleRate, layout.sampleRateWidth, 5), layout.sampleRateWidth,
                     "sample rate");
    else
        line.append(static_cast<std::size_t>(layout.sampleRateWidth), ' ');
    for (const std::optional<DateTime>& time : {channel.on, channel.off}) {
        line += ' ';
        if (time && (time->year < 0 || time->year > 9999)) throw FieldError("a year beyond 9999");
        line += time ? legacyTimeText(*time) : std::string(16, ' ');
    }
    trimRight(line);
    return line + "\n";
}

// Continuous phase in whole degrees, moved by whole turns into -999…9999.
std::vector<long long> writtenPhases(const std::vector<DisplacementRow>& rows)
{
    if (rows.empty()) return {};
    const auto [lowest, highest] = std::minmax_element(
        rows.begin(), rows.end(),
        [](const DisplacementRow& a, const DisplacementRow& b) { return a.phaseDegrees < b.phaseDegrees; });
    double shift = 0.0;
    if (lowest->phaseDegrees < lowestPhase) shift = 360.0 * std::ceil((lowestPhase - lowest->phaseDegrees) / 360.0);
    if (highest->phaseDegrees + shift > highestPhase) throw FieldError("the phase spans more than -999 to 9999");
    std::vector<long long> phases;
    phases.reserve(rows.size());
    for (const DisplacementRow& row : rows) phases.push_back(std::llround(row.phaseDegrees + shift));
    return phases;
}

std::string fap2Block(const std::vector<DisplacementRow>& rows, const std::string& descriptor)
{
    if (rows.size() > maxFap2Rows)
        throw FieldError(std::to_string(rows.size()) + " rows, more than the " + std::to_string(maxFap2Rows) +
                         " a FAP2 block can announce");
    std::string block = "FAP2  1 C    0    0.000 ";
    appendInteger(block, static_cast<long long>(rows.size()), 3);
    block += ' ';
    block += descriptor.substr(0, descriptorColumns);
    trimRight(block);
    block += '\n';
    const std::vector<long long> phases = writtenPhases(rows);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // " %10.5f %15.8E %4d"
        block += ' ';
        appendFixed(block, rows[i].frequency, 10, frequencyDecimals);
        block += ' ';
        appendNumber(block, scientificText(rows[i].amplitude, 15, 8), 15, "amplitude");
        block += ' ';
        appendInteger(block, phases[i], phaseColumns);
        block += '\n';
    }
    return block;
}

std::string messageHead(const std::string& messageId, GseVersion version)
{
    const std::string name = gseVersionName(version);
    return "BEGIN " + name + "\nMSG_TYPE DATA\nMSG_ID " + messageId + " ANY_NDC\nDATA_TYPE RESPONSE " + name + "\n";
}

}  // namespace

const char* gseVersionName(GseVersion version)
{
    switch (version) {
    case GseVersion::Gse20: return "GSE2.0";
    case GseVersion::Gse21: return "GSE2.1";
    case GseVersion::Ims10: return "IMS1.0";
    }
    return "";
}

double gseWrittenFrequency(double frequency)
{
    if (!(frequency < firstUnwritableFrequency - 0.000005))
        throw FieldError("frequency " + fixedText(frequency, 0, frequencyDecimals) +
                         " Hz does not fit the f10.5 column");
    const std::string text = fixedText(frequency, 0, frequencyDecimals);
    double written = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), written);
    return written;
}

std::string gseInstrumentType(const std::string& instrument)
{
    struct Code {
        const char* within;
        const char* code;
    };
    // The codes of the GSE instrument table that data-centre headers name.
    constexpr Code codes[] = {
        {"KS-54000", "KS5400"}, {"KS54000", "KS5400"}, {"STS-1", "STS-1"},   {"STS-2.5", ""},
        {"STS-2", "STS-2"},     {"CMG-3T", "CMG-3T"},  {"CMG3-T", "CMG-3T"}, {"GS-13", "GS-13"},
    };
    for (const Code& code : codes)
        if (instrument.find(code.within) != std::string::npos) return code.code;
    return "";
}

std::string formatGseResponse(const GseChannel& channel, const std::vector<DisplacementRow>& rows, double calib,
                              double calper, GseVersion version)
{
    std::string comment = channel.comment;
    for (char& c : comment)
        if (c == '(' || c == ')') c = ' ';  // the comment's own brackets delimit it
    return cal2Line(channel, calib, calper, version) + " (" + comment + ")\n" + fap2Block(rows, channel.name);
}

namespace {

GseChannel channelOf(const TabulatedResponse& table)
{
    const ChannelResponse& response = *table.response;
    GseChannel channel;
    channel.name = channelName(response.id);
    channel.station = response.id.station;
    channel.channel = response.id.channel;
    channel.location = response.id.location;
    channel.instrumentType = gseInstrumentType(response.stated.instrument);
    channel.sampleRate = response.sampleRate;
    channel.on = response.start;
    channel.off = response.end;
    const std::size_t stages = cascadeStageCount(response);
    channel.comment = channel.name + " from " + table.sourceName +
                      (stages > 0 ? "; full cascade, " + std::to_string(stages) + " stages" : std::string()) +
                      "; displacement, counts/nm";
    return channel;
}

}  // namespace

std::string gseResponseText(const TabulatedResponse& table, GseVersion version)
{
    return formatGseResponse(channelOf(table), table.rows, table.calib, table.calper, version);
}

std::string seisanResponseText(const TabulatedResponse& table)
{
    GseChannel channel = channelOf(table);
    channel.off.reset();
    return formatGseResponse(channel, table.rows, table.calib, table.calper, GseVersion::Gse20);
}

std::string gseMessageId(const ChannelResponse& first)
{
    std::string id;
    for (const char c : first.id.station + "_" + first.id.channel)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') id += c;
    constexpr std::size_t longestId = 20;
    return id.size() > 1 ? id.substr(0, longestId) : "KALVERT";
}

std::string gseMessageHead(const ChannelResponse& first, GseVersion version)
{
    return messageHead(gseMessageId(first), version);
}

std::string formatGseMessage(const std::vector<std::string>& responses, const std::string& messageId,
                             GseVersion version)
{
    std::string message = messageHead(messageId, version);
    for (const std::string& response : responses) message += response + "\n";
    return message += gseMessageTail;
}

std::string seisanFileName(const std::string& station, const std::string& channel, const std::optional<DateTime>& start)
{
    std::string name = station.substr(0, stationColumns);
    name.resize(stationColumns, ' ');
    std::string component = channel.substr(0, 2);
    component.resize(2, ' ');
    component += ' ';
    component += channel.size() > 2 ? channel.substr(2, 1) : " ";
    name += component;
    for (char& c : name)
        if (c == ' ') c = '_';
    return name + "." + fileTimeStamp(start.value_or(DateTime{})) + "_GSE";
}

std::string seisanFileName(const ChannelResponse& response)
{
    return seisanFileName(response.id.station, response.id.channel, response.start);
}

}  // namespace kalvert
