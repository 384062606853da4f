#include "readers/resp_reader.hpp"

#include <climits>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>

#include "readers/cascade_rules.hpp"
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

// A value the epoch cannot be converted with: what, where and why.
struct Defect {
    std::string why;
};

std::string tagText(const RespLine& line)
{
    std::string tag = "B0";
    tag += std::to_string(line.blockette);
    tag += line.field < 10 ? "F0" : "F";
    tag += std::to_string(line.field);
    return tag;
}

// The first number of a labelled value ("1.000000E+00 HZ"), whole.
double leadingNumber(std::string_view value)
{
    const std::string_view field = value.substr(0, value.find_first_of(" \t"));
    const std::optional<double> number = readExactNumber(field);
    if (!number) throw Defect{"\"" + std::string(field.substr(0, 40)) + "\" is not a number"};
    return *number;
}

// A count, factor or stage number: a whole number an int holds.
int wholeNumber(std::string_view value)
{
    const double read = leadingNumber(value);
    constexpr double largest = 1e9;
    if (!(std::fabs(read) <= largest) || read != std::floor(read))
        throw Defect{std::string(value.substr(0, 40)) + " is not a whole number"};
    return static_cast<int>(read);
}

// The blank-separated numbers of a table line, its index first.
std::vector<double> tableNumbers(std::string_view rest, std::size_t wanted)
{
    std::vector<double> numbers;
    for (std::string_view text = trimmed(rest); !text.empty(); text = trimmed(text)) {
        const std::size_t end = std::min(text.size(), text.find_first_of(" \t"));
        const std::optional<double> number = readExactNumber(text.substr(0, end));
        if (!number)
            throw Defect{"\"" + std::string(text.substr(0, std::min<std::size_t>(end, 40))) + "\" is not a number"};
        numbers.push_back(*number);
        text.remove_prefix(end);
    }
    if (numbers.size() < wanted) throw Defect{"a table line without all its values"};
    return numbers;
}

// What each response blockette must hold, and which of its fields count
// the table lines that follow.
struct BlocketteLayout {
    int blockette;
    int stageField;
    std::uint64_t required;  ///< bit f: field f must be present
    int countFields[2];      ///< a count's field (0: none) ...
    int tableFields[2];      ///< ... and the field of the lines it counts
};

constexpr std::uint64_t fields(std::initializer_list<int> numbers)
{
    std::uint64_t bits = 0;
    for (const int number : numbers) bits |= std::uint64_t{1} << number;
    return bits;
}

constexpr BlocketteLayout layouts[] = {
    {53, 4, fields({3, 4, 5, 6, 7, 8, 9, 14}), {9, 14}, {10, 15}},
    {54, 4, fields({3, 4, 5, 6, 7, 10}), {7, 10}, {8, 11}},
    {55, 3, fields({3, 4, 5, 6}), {6, 0}, {7, 0}},
    {57, 3, fields({3, 4, 5, 6, 7, 8}), {0, 0}, {0, 0}},
    {58, 3, fields({3, 4, 5, 6}), {0, 0}, {0, 0}},
    {61, 3, fields({3, 5, 6, 7, 8}), {8, 0}, {9, 0}},
    {62, 4, fields({3, 4, 5, 6, 14}), {14, 0}, {15, 0}},
};

const BlocketteLayout* layoutOf(int blockette)
{
    for (const BlocketteLayout& layout : layouts)
        if (layout.blockette == blockette) return &layout;
    return nullptr;
}

bool isFilter(int blockette)
{
    return blockette == 53 || blockette == 54 || blockette == 55 || blockette == 61 || blockette == 62;
}

struct StageInProgress {
    CascadeStage stage;
    bool coefficients = false;  ///< a blockette 54
    char coefficientType = 'D';
    char symmetry = 'A';  ///< blockette 61's
    int filters = 0;
    int decimations = 0;
    int gains = 0;
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
    using Kind = CascadeStage::Kind;
    for (auto& [number, progress] : epoch.stages) {
        if (number == 0) continue;
        CascadeStage& stage = progress.stage;
        stage.number = number;
        if (progress.coefficients && !stage.numerator.empty()) {
            if (progress.coefficientType != 'D')
                stage.kind = Kind::AnalogueCoefficients;
            else
                stage.kind = stage.denominator.empty() ? Kind::Fir : Kind::Iir;
        } else if (progress.coefficients && !stage.denominator.empty()) {
            noteDefect(response, "stage " + std::to_string(number) + ": B054 with denominators and no numerator");
        }
        if (stage.kind == Kind::Fir && stage.numerator.empty()) stage.kind = Kind::GainOnly;  // a FIR without taps
        if (stage.kind == Kind::Fir) expandSymmetric(progress);
        if (stage.decimation && stage.decimation->inputRate > 0 && stage.decimation->factor > 0)
            response.sampleRate = stage.decimation->inputRate / stage.decimation->factor;
        response.stages.emplace_back(std::move(stage));
    }
    settleCascade(response);
    ChannelResponse finished = std::move(response);
    epoch = EpochInProgress{};
    ++count;
    return each(std::move(finished));
}

// Blockette 52's fields 10 to 15: where the channel is and how it points.
std::optional<double>* channelPlaceField(ChannelPlace& place, int field)
{
    switch (field) {
    case 10: return &place.latitude;
    case 11: return &place.longitude;
    case 12: return &place.elevation;
    case 13: return &place.depth;
    case 14: return &place.azimuth;
    case 15: return &place.dip;
    default: return nullptr;
    }
}

// A transfer-function type of blockettes 53 and 54: A (rad/s), B (Hz), D (digital).
// The code is the first word: "A [Laplace Transform (Rad/sec)]" is A.
char codeLetter(std::string_view value)
{
    const std::string_view word = value.substr(0, value.find_first_of(" \t["));
    return word.size() == 1 ? word.front() : '?';
}

char transferType(std::string_view value)
{
    const char type = codeLetter(value);
    switch (type) {
    case 'A':
    case 'a': return 'A';
    case 'B':
    case 'b': return 'B';
    case 'D':
    case 'd': return 'D';
    default: throw Defect{"transfer-function type \"" + std::string(value.substr(0, 40)) + "\" is not A, B or D"};
    }
}

void readStageField(const RespLine& line, StageInProgress& progress, char pendingType)
{
    CascadeStage& stage = progress.stage;
    const std::string_view value = labelledValue(line.rest);
    switch (line.blockette) {
    case 53:
        if (line.field == 4) {
            stage.kind =
                pendingType == 'D' ? CascadeStage::Kind::DigitalPoleZero : CascadeStage::Kind::AnaloguePoleZero;
            stage.hertz = pendingType == 'B';
        } else if (line.field == 5) {
            stage.inputUnit = std::string(value);
        } else if (line.field == 6) {
            stage.outputUnit = std::string(value);
        } else if (line.field == 7) {
            stage.a0 = leadingNumber(value);
        } else if (line.field == 8) {
            stage.normalisationFrequency = leadingNumber(value);
        } else if (line.field == 10 || line.field == 15) {
            const std::vector<double> numbers = tableNumbers(line.rest, 3);
            (line.field == 10 ? stage.zeros : stage.poles).push_back({numbers[1], numbers[2]});
        }
        break;
    case 54:
        if (line.field == 4) {
            progress.coefficients = true;
            stage.coefficientsElement = true;
            progress.coefficientType = pendingType;
            stage.hertz = pendingType == 'B';
        } else if (line.field == 5) {
            stage.inputUnit = std::string(value);
        } else if (line.field == 6) {
            stage.outputUnit = std::string(value);
        } else if (line.field == 8 || line.field == 11) {
            const std::vector<double> numbers = tableNumbers(line.rest, 2);
            (line.field == 8 ? stage.numerator : stage.denominator).push_back(numbers[1]);
        }
        break;
    case 55:
        if (line.field == 7) {
            const std::vector<double> numbers = tableNumbers(line.rest, 5);
            stage.listed.push_back({numbers[1], numbers[2], numbers[4]});
        }
        if (line.field == 3) stage.kind = CascadeStage::Kind::ResponseList;
        if (line.field == 4) stage.inputUnit = std::string(value);
        if (line.field == 5) stage.outputUnit = std::string(value);
        break;
    case 62: {
        PolynomialTerms& terms = stage.polynomial;
        if (line.field == 7) terms.approximation = value.empty() ? 'M' : value.front();
        if (line.field == 9) terms.lowestFrequency = leadingNumber(value);
        if (line.field == 10) terms.highestFrequency = leadingNumber(value);
        if (line.field == 11) terms.lowestInput = leadingNumber(value);
        if (line.field == 12) terms.highestInput = leadingNumber(value);
        if (line.field == 13) terms.largestError = leadingNumber(value);
        if (line.field == 15) terms.coefficients.push_back(tableNumbers(line.rest, 2)[1]);
        if (line.field == 4) stage.kind = CascadeStage::Kind::Polynomial;
        if (line.field == 5) stage.inputUnit = std::string(value);
        if (line.field == 6) stage.outputUnit = std::string(value);
        break;
    }
    case 57: {
        if (line.field == 3) break;
        Decimation& decimation = stage.decimation ? *stage.decimation : stage.decimation.emplace();
        if (line.field == 4) decimation.inputRate = leadingNumber(value);
        if (line.field == 5) decimation.factor = wholeNumber(value);
        if (line.field == 6) decimation.offset = wholeNumber(value);
        if (line.field == 7) decimation.delay = leadingNumber(value);
        if (line.field == 8) decimation.correction = leadingNumber(value);
        break;
    }
    case 58:
        if (line.field == 4) stage.gain = leadingNumber(value);
        if (line.field == 5) stage.gainFrequency = leadingNumber(value);
        break;
    case 61:
        if (line.field == 3) {
            stage.kind = CascadeStage::Kind::Fir;
        } else if (line.field == 5) {
            const char symmetry = static_cast<char>(codeLetter(value) & ~0x20);
            if (symmetry != 'A' && symmetry != 'B' && symmetry != 'C')
                throw Defect{"symmetry type \"" + std::string(value.substr(0, 40)) + "\" is not A, B or C"};
            progress.symmetry = symmetry;
            stage.symmetry = symmetry == 'B' ? 'O' : symmetry == 'C' ? 'E' : 'N';
        } else if (line.field == 6) {
            stage.inputUnit = std::string(value);
        } else if (line.field == 7) {
            stage.outputUnit = std::string(value);
        } else if (line.field == 9) {
            stage.numerator.push_back(tableNumbers(line.rest, 2)[1]);
        }
        break;
    default: break;
    }
}

// The response blockette being read: which fields it has shown, and how
// many table lines its counts announced and it holds.
struct OpenBlockette {
    const BlocketteLayout* layout = nullptr;
    int lastField = 0;
    std::uint64_t seen = 0;
    int stated[2] = {0, 0};
    int listed[2] = {0, 0};
    std::uint64_t firstLine = 0;
};

}  // namespace

bool looksLikeResp(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t end = std::min(text.size(), text.find_first_of("\r\n"));
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(text.size(), end + 1));
        if (line.empty() || line.front() == '#') continue;
        RespLine parsed;
        return readTag(line, parsed);
    }
    return false;
}

// The reading of one file, line by line.
struct RespReading {
    RespReading(const ResponseSink& sink, bool fromFile) : each(sink), numbered(fromFile) {}

    const ResponseSink& each;
    EpochInProgress epoch;
    std::string network;
    std::string station;
    StationPlace stationPlace;
    int lastBlockette = 0;
    char pendingType = 'A';
    StageInProgress* current = nullptr;
    int currentNumber = -1;
    OpenBlockette blockette;
    std::uint64_t lineNumber = 0;
    std::size_t count = 0;
    bool numbered = true;  ///< the text is a file's, whose line numbers mean something

    [[nodiscard]] std::string lineText(std::uint64_t number) const { return "line " + std::to_string(number); }
    // " (line 12)" after what a message names; nothing for text made from a binary volume.
    [[nodiscard]] std::string atLine(std::uint64_t number, const char* word = "") const
    {
        return numbered ? std::string(" (") + word + lineText(number) + ")" : std::string();
    }

    void defect(const RespLine& line, const std::string& why)
    {
        std::string where = currentNumber > 0 ? "stage " + std::to_string(currentNumber) + ": " : std::string();
        noteDefect(epoch.response, where + tagText(line) + atLine(lineNumber) + ": " + why);
    }

    // The open blockette ends: every field it needs present, every count met.
    void closeBlockette()
    {
        const BlocketteLayout* layout = blockette.layout;
        if (layout != nullptr && epoch.open) {
            const std::string where = (currentNumber > 0 ? "stage " + std::to_string(currentNumber) + ": " : "") +
                                      "B0" + std::to_string(layout->blockette) + atLine(blockette.firstLine, "from ");
            const std::uint64_t missing = layout->required & ~blockette.seen;
            if (missing != 0) {
                int field = 0;
                while ((missing >> field & 1U) == 0) ++field;
                noteDefect(epoch.response, where + " has no field " + std::to_string(field) +
                                               " (the file ends or the blockette stops before it)");
            }
            for (int i = 0; i < 2; ++i)
                if (layout->countFields[i] != 0 && blockette.stated[i] != blockette.listed[i])
                    noteDefect(epoch.response, where + ": field " + std::to_string(layout->countFields[i]) +
                                                   " counts " + std::to_string(blockette.stated[i]) + " but " +
                                                   std::to_string(blockette.listed[i]) + " lines follow");
        }
        blockette = OpenBlockette{};
    }

    void countField(const RespLine& line)
    {
        // Every response blockette begins with its field 3 (then come counts and their tables).
        if (line.blockette != lastBlockette || (line.field == 3 && blockette.lastField != 0)) {
            closeBlockette();
            blockette.layout = layoutOf(line.blockette);
            blockette.firstLine = lineNumber;
        }
        blockette.lastField = line.field;
        if (line.field < 64) blockette.seen |= std::uint64_t{1} << line.field;
        const BlocketteLayout* layout = blockette.layout;
        if (layout == nullptr) return;
        for (int i = 0; i < 2; ++i) {
            if (line.field == layout->countFields[i]) blockette.stated[i] = wholeNumber(labelledValue(line.rest));
            if (line.field == layout->tableFields[i]) ++blockette.listed[i];
        }
    }

    // A filter, decimation or gain for a stage: each at most once.
    void takeStage(const RespLine& line)
    {
        currentNumber = wholeNumber(labelledValue(line.rest));
        if (currentNumber < 0 || (currentNumber == 0 && line.blockette != 58))
            throw Defect{"stage number " + std::to_string(currentNumber) + " (stages are numbered from 1)"};
        current = &epoch.stages[currentNumber];
        int& seen = isFilter(line.blockette) ? current->filters
                    : line.blockette == 57   ? current->decimations
                                             : current->gains;
        if (++seen > 1)
            throw Defect{"stage " + std::to_string(currentNumber) +
                         " is stated again (one filter, decimation and gain a stage)"};
    }

    void channelField(const RespLine& parsed, std::string_view value)
    {
        ChannelResponse& response = epoch.response;
        if (parsed.field == 3) response.id.location = value == "??" || value == "--" ? "" : std::string(value);
        if (parsed.field == 4) response.id.channel = std::string(value);
        if (parsed.field == 6) response.stated.instrument = std::string(value);
        if (std::optional<double>* place = channelPlaceField(response.place, parsed.field))
            *place = leadingNumber(value);
        if (parsed.field == 18) response.sampleRate = leadingNumber(value);
        if (parsed.field == 22 || parsed.field == 23) {
            const std::optional<DateTime> time = readSeedTime(value);
            const bool open = value.empty() || equalsIgnoringCase(value, "No Ending Time");
            if (!time && !(parsed.field == 23 && open))
                throw Defect{"\"" + std::string(value.substr(0, 40)) + "\" is not a SEED time"};
            if (parsed.field == 22) response.start = time;
            if (parsed.field == 23) {
                if (time && response.start && secondsSince1970(*time) < secondsSince1970(*response.start))
                    throw Defect{"the epoch ends before it starts"};
                response.end = time && time->year < openEpochYear ? time : std::nullopt;
            }
        }
    }

    // False when the sink wants no more.
    bool line(std::string_view text)
    {
        ++lineNumber;
        text = trimmed(text);
        RespLine parsed;
        if (text.empty() || text.front() == '#' || !readTag(text, parsed)) return true;
        bool goOn = true;
        const std::string_view value = labelledValue(parsed.rest);
        if (parsed.blockette == 52 && lastBlockette != 52) {  // a new channel epoch
            closeBlockette();
            goOn = finishEpoch(epoch, each, count);
            epoch.open = true;
            epoch.response.id.network = network;
            epoch.response.id.station = station;
            epoch.response.station = stationPlace;
            epoch.response.firstLine = static_cast<int>(std::min<std::uint64_t>(lineNumber, INT_MAX));
            current = nullptr;
            currentNumber = -1;
        }
        try {
            if (epoch.open) countField(parsed);
            if (parsed.blockette == 50) {
                if (parsed.field == 3) station = std::string(value);
                if (parsed.field == 16) network = std::string(value);
                if (parsed.field == 4) stationPlace.latitude = leadingNumber(value);
                if (parsed.field == 5) stationPlace.longitude = leadingNumber(value);
                if (parsed.field == 6) stationPlace.elevation = leadingNumber(value);
                if (parsed.field == 9) stationPlace.site = std::string(value);
            } else if (parsed.blockette == 52) {
                channelField(parsed, value);
            } else if (epoch.open) {
                if (parsed.field == 3 && (parsed.blockette == 53 || parsed.blockette == 54))
                    pendingType = transferType(value);
                const BlocketteLayout* layout = layoutOf(parsed.blockette);
                if (layout != nullptr && parsed.field == layout->stageField) takeStage(parsed);
                if (current != nullptr) readStageField(parsed, *current, pendingType);
                if (parsed.blockette == 58 && currentNumber == 0 && current != nullptr) {
                    epoch.response.stated.sensitivity = current->stage.gain;
                    epoch.response.stated.sensitivityFrequency = current->stage.gainFrequency;
                }
            }
        } catch (const Defect& found) {
            if (!epoch.open)
                throw ReadError((numbered ? lineText(lineNumber) + ": " : std::string()) + tagText(parsed) + ": " +
                                found.why);
            defect(parsed, found.why);
        }
        lastBlockette = parsed.blockette;
        return goOn;
    }

    bool finish()
    {
        closeBlockette();
        return finishEpoch(epoch, each, count);
    }
};

namespace {

// Splits pieces into lines ended by LF, CR LF or CR alone.
class LineSplitter {
public:
    // No RESP line is longer; a longer one is no RESP text.
    static constexpr std::size_t longestLine = 1 << 16;

    template <typename Visit>
    bool feed(std::string_view piece, std::uint64_t lineNumber, Visit visit)
    {
        while (!piece.empty()) {
            if (afterCr_ && piece.front() == '\n') piece.remove_prefix(1);  // CR LF is one end
            afterCr_ = false;
            const std::size_t end = piece.find_first_of("\r\n");
            const std::string_view part = piece.substr(0, end);
            if (carried_.size() + part.size() > longestLine)
                throw ReadError("line " + std::to_string(lineNumber + 1) + " is longer than " +
                                std::to_string(longestLine) + " bytes: not a RESP line");
            if (end == std::string_view::npos) {
                carried_.append(part);
                return true;
            }
            afterCr_ = piece[end] == '\r';
            piece.remove_prefix(end + 1);
            bool goOn = true;
            if (carried_.empty()) {
                goOn = visit(part);
            } else {
                carried_.append(part);
                goOn = visit(std::string_view(carried_));
                carried_.clear();
            }
            ++lineNumber;
            if (!goOn) return false;
        }
        return true;
    }
    [[nodiscard]] const std::string& rest() const { return carried_; }

private:
    std::string carried_;
    bool afterCr_ = false;
};

}  // namespace

RespLineReader::RespLineReader(const ResponseSink& each, bool numbered)
    : reading_(std::make_unique<RespReading>(each, numbered))
{
}

RespLineReader::~RespLineReader() = default;

bool RespLineReader::line(std::string_view text)
{
    return reading_->line(text);
}

bool RespLineReader::finish()
{
    return reading_->finish();
}

std::size_t RespLineReader::epochs() const
{
    return reading_->count;
}

void readResp(const ChunkSource& source, const ResponseSink& each)
{
    RespReading reading(each, true);
    LineSplitter lines;
    bool goOn = true;
    for (std::string_view piece = source(); goOn && !piece.empty(); piece = source())
        goOn = lines.feed(piece, reading.lineNumber, [&reading](std::string_view line) { return reading.line(line); });
    if (!goOn) return;
    if (!lines.rest().empty()) goOn = reading.line(lines.rest());
    if (goOn) reading.finish();
    if (reading.count == 0) throw ReadError("no B052 channel block: not a RESP file with a channel epoch");
}

std::vector<ChannelResponse> readRespText(std::string_view text)
{
    return readAll(readResp, text);
}

}  // namespace kalvert
