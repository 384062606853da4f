#include "readers/resp_reader.hpp"

#include <charconv>
#include <cmath>
#include <map>

#include "text/text_scan.hpp"

namespace kalvert {
namespace {

// "B053F10-13    0  1.2E+00 ..." → blockette 53, field 10, the rest.
struct RespLine {
    int blockette = 0;
    int field = 0;
    std::string_view rest;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool readTag(std::string_view line, RespLine& parsed)
{
    line = trimmed(line);
    if (line.size() < 7 || line[0] != 'B' || line[4] != 'F') return false;
    for (const std::size_t at : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5}, std::size_t{6}})
        if (!isDigit(line[at])) return false;
    parsed.blockette = (line[1] - '0') * 100 + (line[2] - '0') * 10 + (line[3] - '0');
    parsed.field = (line[5] - '0') * 10 + (line[6] - '0');
    std::size_t end = 7;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;  // "-13" of a table line
    parsed.rest = line.substr(end);
    return true;
}

// What follows the label's colon: "Gain:   2.0E+03" → "2.0E+03".
std::string_view labelledValue(std::string_view rest)
{
    const std::size_t colon = rest.find(':');
    return trimmed(colon == std::string_view::npos ? rest : rest.substr(colon + 1));
}

double number(std::string_view text, int lineNumber)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{})
        throw ReadError("line " + std::to_string(lineNumber) + ": \"" + std::string(text.substr(0, 40)) +
                        "\" is not a number");
    return value;
}

// The first number of a labelled value ("1.000000E+00 HZ").
double leadingNumber(std::string_view value, int lineNumber)
{
    return number(value.substr(0, value.find_first_of(" \t")), lineNumber);
}

// A count, factor or stage number: a whole number an int holds.
int wholeNumber(std::string_view value, int lineNumber)
{
    const double read = leadingNumber(value, lineNumber);
    constexpr double largest = 1e9;
    if (!(std::fabs(read) <= largest) || read != std::floor(read))
        throw ReadError("line " + std::to_string(lineNumber) + ": " + std::string(value.substr(0, 40)) +
                        " is not a whole number");
    return static_cast<int>(read);
}

// The blank-separated numbers of a table line, its index first.
std::vector<double> tableNumbers(std::string_view rest, int lineNumber)
{
    std::vector<double> numbers;
    for (std::string_view text = trimmed(rest); !text.empty(); text = trimmed(text)) {
        const std::size_t end = std::min(text.size(), text.find_first_of(" \t"));
        numbers.push_back(number(text.substr(0, end), lineNumber));
        text.remove_prefix(end);
    }
    return numbers;
}

// "M/S - Velocity in Meters Per Second" → "M/S".
std::string unitName(std::string_view value)
{
    return std::string(trimmed(value.substr(0, value.find(" - "))));
}

// Which field of each blockette names the stage it belongs to.
int stageField(int blockette)
{
    switch (blockette) {
    case 53:
    case 54:
    case 62: return 4;
    case 55:
    case 57:
    case 58:
    case 61: return 3;
    default: return 0;
    }
}

struct StageInProgress {
    CascadeStage stage;
    bool coefficients = false;  ///< a blockette 54
    char symmetry = 'A';        ///< blockette 61's
};

struct EpochInProgress {
    ChannelResponse response;
    std::map<int, StageInProgress> stages;
    bool open = false;
};

// Blockette 61 lists half of a symmetric filter: B mirrors it around its
// last tap (odd length), C in full (even length).
void expandSymmetric(StageInProgress& stage)
{
    std::vector<double>& taps = stage.stage.numerator;
    if (stage.symmetry != 'B' && stage.symmetry != 'C') return;
    stage.stage.declaredSymmetric = true;
    const std::size_t half = taps.size();
    for (std::size_t i = stage.symmetry == 'B' ? half - 1 : half; i-- > 0;) taps.push_back(taps[i]);
}

// Hands the epoch to the sink; false when the sink wants no more.
bool finishEpoch(EpochInProgress& epoch, const ResponseSink& each, std::size_t& count)
{
    if (!epoch.open) return true;
    ChannelResponse& response = epoch.response;
    for (auto& [number, progress] : epoch.stages) {
        if (number == 0) continue;
        CascadeStage& stage = progress.stage;
        stage.number = number;
        if (progress.coefficients && stage.kind == CascadeStage::Kind::GainOnly && !stage.numerator.empty())
            stage.kind = stage.denominator.empty() ? CascadeStage::Kind::Fir : CascadeStage::Kind::Iir;
        if (stage.kind == CascadeStage::Kind::Fir && !stage.numerator.empty()) expandSymmetric(progress);
        if (stage.decimation && stage.decimation->inputRate > 0)
            response.sampleRate = stage.decimation->inputRate / std::max(1, stage.decimation->factor);
        response.stages.emplace_back(std::move(stage));
    }
    if (!response.stages.empty()) response.inputUnit = std::get<CascadeStage>(response.stages.front()).inputUnit;
    ChannelResponse finished = std::move(response);
    epoch = EpochInProgress{};
    ++count;
    return each(std::move(finished));
}

void readStageField(const RespLine& line, StageInProgress& progress, char pendingType, int lineNumber)
{
    CascadeStage& stage = progress.stage;
    const std::string_view value = labelledValue(line.rest);
    switch (line.blockette) {
    case 53:
        if (line.field == stageField(53)) {
            stage.kind =
                pendingType == 'D' ? CascadeStage::Kind::DigitalPoleZero : CascadeStage::Kind::AnaloguePoleZero;
            stage.hertz = pendingType == 'B';
        } else if (line.field == 5) {
            stage.inputUnit = unitName(value);
        } else if (line.field == 6) {
            stage.outputUnit = unitName(value);
        } else if (line.field == 7) {
            stage.a0 = leadingNumber(value, lineNumber);
        } else if (line.field == 8) {
            stage.normalisationFrequency = leadingNumber(value, lineNumber);
        } else if (line.field == 10 || line.field == 15) {
            const std::vector<double> numbers = tableNumbers(line.rest, lineNumber);
            if (numbers.size() < 3)
                throw ReadError("line " + std::to_string(lineNumber) + ": a root without its parts");
            (line.field == 10 ? stage.zeros : stage.poles).push_back({numbers[1], numbers[2]});
        }
        break;
    case 54:
        if (line.field == stageField(54)) {
            progress.coefficients = true;
        } else if (line.field == 5) {
            stage.inputUnit = unitName(value);
        } else if (line.field == 6) {
            stage.outputUnit = unitName(value);
        } else if (line.field == 8 || line.field == 11) {
            const std::vector<double> numbers = tableNumbers(line.rest, lineNumber);
            if (numbers.size() < 2) throw ReadError("line " + std::to_string(lineNumber) + ": a coefficient missing");
            (line.field == 8 ? stage.numerator : stage.denominator).push_back(numbers[1]);
        }
        break;
    case 55:
        if (line.field == stageField(55)) stage.kind = CascadeStage::Kind::ResponseList;
        break;
    case 62:
        if (line.field == stageField(62)) stage.kind = CascadeStage::Kind::Polynomial;
        break;
    case 57: {
        if (line.field == stageField(57)) break;
        Decimation& decimation = stage.decimation ? *stage.decimation : stage.decimation.emplace();
        if (line.field == 4) decimation.inputRate = leadingNumber(value, lineNumber);
        if (line.field == 5) decimation.factor = wholeNumber(value, lineNumber);
        if (line.field == 6) decimation.offset = wholeNumber(value, lineNumber);
        if (line.field == 7) decimation.delay = leadingNumber(value, lineNumber);
        if (line.field == 8) decimation.correction = leadingNumber(value, lineNumber);
        break;
    }
    case 58:
        if (line.field == 4) stage.gain = leadingNumber(value, lineNumber);
        if (line.field == 5) stage.gainFrequency = leadingNumber(value, lineNumber);
        break;
    case 61:
        if (line.field == stageField(61)) {
            stage.kind = CascadeStage::Kind::Fir;
        } else if (line.field == 5) {
            progress.symmetry = value.empty() ? 'A' : value.front();
        } else if (line.field == 6) {
            stage.inputUnit = unitName(value);
        } else if (line.field == 7) {
            stage.outputUnit = unitName(value);
        } else if (line.field == 9) {
            const std::vector<double> numbers = tableNumbers(line.rest, lineNumber);
            if (numbers.size() < 2) throw ReadError("line " + std::to_string(lineNumber) + ": a coefficient missing");
            stage.numerator.push_back(numbers[1]);
        }
        break;
    default: break;
    }
}

}  // namespace

bool looksLikeResp(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t end = std::min(text.size(), text.find('\n'));
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(text.size(), end + 1));
        if (line.empty() || line.front() == '#') continue;
        RespLine parsed;
        return readTag(line, parsed);
    }
    return false;
}

namespace {

// The reading of one file, line by line.
struct RespReading {
    explicit RespReading(const ResponseSink& sink) : each(sink) {}

    const ResponseSink& each;
    EpochInProgress epoch;
    std::string network;
    std::string station;
    int lastBlockette = 0;
    char pendingType = 'A';
    StageInProgress* current = nullptr;
    int currentNumber = -1;
    int lineNumber = 0;
    std::size_t count = 0;

    // False when the sink wants no more.
    bool line(std::string_view text)
    {
        ++lineNumber;
        text = trimmed(text);
        RespLine parsed;
        if (text.empty() || text.front() == '#' || !readTag(text, parsed)) return true;
        bool goOn = true;
        const std::string_view value = labelledValue(parsed.rest);
        if (parsed.blockette == 50) {
            if (parsed.field == 3) station = std::string(value);
            if (parsed.field == 16) network = std::string(value);
        } else if (parsed.blockette == 52) {
            if (lastBlockette != 52) {  // a new channel epoch
                goOn = finishEpoch(epoch, each, count);
                epoch.open = true;
                epoch.response.id.network = network;
                epoch.response.id.station = station;
                epoch.response.firstLine = lineNumber;
                current = nullptr;
                currentNumber = -1;
            }
            ChannelResponse& response = epoch.response;
            if (parsed.field == 3) response.id.location = value == "??" || value == "--" ? "" : std::string(value);
            if (parsed.field == 4) response.id.channel = std::string(value);
            if (parsed.field == 22) response.start = readSeedTime(value);
            if (parsed.field == 23) {
                const std::optional<DateTime> until = readSeedTime(value);
                response.end = until && until->year < openEpochYear ? until : std::nullopt;
            }
        } else if (epoch.open) {
            if (parsed.field == 3 && (parsed.blockette == 53 || parsed.blockette == 54))
                pendingType = value.empty() ? 'A' : value.front();
            if (parsed.field == stageField(parsed.blockette)) {
                currentNumber = wholeNumber(value, lineNumber);
                current = &epoch.stages[currentNumber];
            }
            if (current != nullptr) readStageField(parsed, *current, pendingType, lineNumber);
            if (parsed.blockette == 58 && currentNumber == 0) {
                epoch.response.stated.sensitivity = current->stage.gain;
                epoch.response.stated.sensitivityFrequency = current->stage.gainFrequency;
            }
        }
        lastBlockette = parsed.blockette;
        return goOn;
    }
};

}  // namespace

void readResp(const ChunkSource& source, const ResponseSink& each)
{
    RespReading reading(each);
    std::string carried;  // a line cut by the end of a piece
    bool goOn = true;
    for (std::string_view piece = source(); goOn && !piece.empty(); piece = source()) {
        for (std::size_t end; goOn && (end = piece.find('\n')) != std::string_view::npos;
             piece.remove_prefix(end + 1)) {
            if (carried.empty()) {
                goOn = reading.line(piece.substr(0, end));
            } else {
                carried.append(piece.substr(0, end));
                goOn = reading.line(carried);
                carried.clear();
            }
        }
        constexpr std::size_t longestLine = 1 << 16;  // no RESP line is longer
        if (goOn && carried.size() < longestLine) carried.append(piece.substr(0, longestLine));
    }
    if (!goOn) return;
    if (!carried.empty()) goOn = reading.line(carried);
    if (goOn) finishEpoch(reading.epoch, each, reading.count);
    if (reading.count == 0) throw ReadError("no B052 channel block: not a RESP file with a channel epoch");
}

std::vector<ChannelResponse> readRespText(std::string_view text)
{
    return readAll(readResp, text);
}

}  // namespace kalvert
