#include "readers/stationxml_reader.hpp"

#include <charconv>
#include <cmath>
#include <expat.h>
#include <exception>
#include <memory>
#include <new>
#include <string>

#include "readers/cascade_rules.hpp"
#include "text/text_scan.hpp"

namespace kalvert {
namespace {

// The element's name without its namespace ("uri|Channel" → "Channel").
std::string_view localName(const XML_Char* name)
{
    const std::string_view full(name);
    const std::size_t bar = full.rfind('|');
    return bar == std::string_view::npos ? full : full.substr(bar + 1);
}

std::string_view attribute(const XML_Char** attributes, std::string_view wanted)
{
    for (std::size_t i = 0; attributes[i] != nullptr; i += 2)
        if (localName(attributes[i]) == wanted) return attributes[i + 1];
    return {};
}

// "LAPLACE (HERTZ)" and "laplace (hertz)" alike.
bool typeIs(std::string_view text, std::string_view name)
{
    return equalsIgnoringCase(trimmed(text), name);
}

// What the parse holds while it walks the document: one channel at a time.
struct Walk {
    XML_Parser parser = nullptr;
    std::vector<std::string> path;  ///< local names of the open elements
    std::string text;               ///< character data of the innermost element
    std::string network;
    std::string station;
    bool inChannel = false;
    ChannelResponse channel;
    CascadeStage stage;
    bool inStage = false;
    char symmetry = 'N';
    bool analogueCoefficients = false;  ///< CfTransferFunctionType ANALOG (…)
    ListedValue listed;                 ///< the response-list value being read
    StationPlace stationPlace;          ///< of the station being read
    Complex root;
    std::string sensorText;
    const ResponseSink* each = nullptr;
    std::size_t channels = 0;
    bool stopped = false;            ///< the sink asked to stop
    std::exception_ptr sinkFailure;  ///< what the sink threw: carried past expat's C frames
    std::string error;

    [[nodiscard]] std::string_view parent(std::size_t up = 1) const
    {
        return path.size() > up ? std::string_view(path[path.size() - 1 - up]) : std::string_view{};
    }
    [[nodiscard]] bool within(std::string_view name) const
    {
        for (const std::string& open : path)
            if (open == name) return true;
        return false;
    }
    void fail(std::string reason)
    {
        if (error.empty()) error = std::move(reason);
        XML_StopParser(parser, XML_FALSE);
    }
    // What the current element's text states: the stage and element, for a defect.
    [[nodiscard]] std::string where() const
    {
        std::string place = inStage ? "stage " + std::to_string(stage.number) + ": " : std::string();
        return place + "<" + path.back() + ">";
    }
    // A value the channel cannot be converted with: inside a channel the
    // channel is refused (the file's others are not), elsewhere the file.
    void defect(std::string why)
    {
        if (inChannel)
            noteDefect(channel, std::move(why));
        else
            fail(std::move(why));
    }
    int wholeNumber()
    {
        const double value = number();
        constexpr double largest = 1e9;
        if (!(std::fabs(value) <= largest) || value != std::floor(value)) {
            defect(where() + " holds \"" + std::string(trimmed(text).substr(0, 40)) + "\", not a whole number");
            return 0;
        }
        return static_cast<int>(value);
    }
    double number()
    {
        const std::optional<double> value = readExactNumber(text);
        if (!value) defect(where() + " holds \"" + std::string(trimmed(text).substr(0, 40)) + "\", not a number");
        return value.value_or(0.0);
    }
};

void expandSymmetric(CascadeStage& stage, char symmetry)
{
    std::vector<double>& taps = stage.numerator;
    if (symmetry == 'N' || taps.empty()) return;
    stage.declaredSymmetric = true;
    const std::size_t half = taps.size();
    for (std::size_t i = symmetry == 'O' ? half - 1 : half; i-- > 0;) taps.push_back(taps[i]);
}

// startDate and endDate: a malformed one, or an end before the start,
// refuses the epoch; an end in 2500 or later is open.
void readEpoch(ChannelResponse& channel, std::string_view start, std::string_view end)
{
    auto read = [&channel](std::string_view text, const char* name) -> std::optional<DateTime> {
        if (trimmed(text).empty()) return std::nullopt;  // not stated: the standard formats ask for a start
        const std::optional<DateTime> time = readXmlDateTime(text);
        if (!time)
            noteDefect(channel,
                       std::string(name) + " \"" + std::string(text.substr(0, 40)) + "\" is not a date and time");
        return time;
    };
    channel.start = read(start, "startDate");
    const std::optional<DateTime> until = read(end, "endDate");
    if (channel.start && until && secondsSince1970(*until) < secondsSince1970(*channel.start))
        noteDefect(channel, "endDate " + std::string(trimmed(end).substr(0, 40)) + " is before startDate");
    channel.end = until && until->year < openEpochYear ? until : std::nullopt;
}

void startElementIn(Walk& walk, const XML_Char* name, const XML_Char** attributes)
{
    const std::string_view element = localName(name);
    if (walk.path.empty() && element != "FDSNStationXML") walk.fail("the root element is not FDSNStationXML");
    // StationXML nests a dozen deep; a document nested far deeper is no
    // StationXML, and would only cost memory.
    constexpr std::size_t deepestNesting = 64;
    if (walk.path.size() >= deepestNesting) {
        walk.fail("elements nested deeper than " + std::to_string(deepestNesting) + ": not StationXML");
        return;
    }
    walk.path.emplace_back(element);
    walk.text.clear();
    if (element == "Network") {
        walk.network = attribute(attributes, "code");
    } else if (element == "Station") {
        walk.station = attribute(attributes, "code");
        walk.stationPlace = {};
    } else if (element == "Channel") {
        walk.inChannel = true;
        walk.channel = ChannelResponse{};
        walk.sensorText.clear();
        walk.channel.id = {walk.network, walk.station, std::string(trimmed(attribute(attributes, "locationCode"))),
                           std::string(attribute(attributes, "code"))};
        if (walk.channel.id.location == "--") walk.channel.id.location.clear();
        walk.channel.firstLine = static_cast<int>(XML_GetCurrentLineNumber(walk.parser));
        walk.channel.station = walk.stationPlace;
        readEpoch(walk.channel, attribute(attributes, "startDate"), attribute(attributes, "endDate"));
    } else if (element == "Stage" && walk.inChannel) {
        walk.inStage = true;
        walk.stage = CascadeStage{};
        walk.symmetry = 'N';
        walk.analogueCoefficients = false;
        // Stages are numbered 1 … n in the order they stand.
        const std::size_t expected = walk.channel.stages.size() + 1;
        const std::string_view written = attribute(attributes, "number");
        const std::optional<double> number = readExactNumber(written);
        walk.stage.number = static_cast<int>(expected);
        if (!number || *number != static_cast<double>(expected))
            noteDefect(walk.channel, "the " + std::to_string(expected) + ". <Stage> is numbered \"" +
                                         std::string(written.substr(0, 40)) +
                                         "\" (stages are numbered 1 to n in order)");
    } else if (walk.inStage && (element == "Zero" || element == "Pole")) {
        walk.root = {};
    } else if (walk.inStage && element == "Decimation") {
        walk.stage.decimation.emplace();
    }
}

// A stage's element ends: what its text says goes where it belongs.
void endStageElement(Walk& walk, std::string_view element)
{
    CascadeStage& stage = walk.stage;
    const std::string_view parent = walk.parent();
    if (element == "PolesZeros") {
        if (stage.kind != CascadeStage::Kind::DigitalPoleZero) stage.kind = CascadeStage::Kind::AnaloguePoleZero;
    } else if (element == "PzTransferFunctionType") {
        stage.hertz = typeIs(walk.text, "LAPLACE (HERTZ)");
        if (typeIs(walk.text, "DIGITAL (Z-TRANSFORM)"))
            stage.kind = CascadeStage::Kind::DigitalPoleZero;
        else if (!stage.hertz && !typeIs(walk.text, "LAPLACE (RADIANS/SECOND)"))
            walk.defect(walk.where() + " \"" + std::string(trimmed(walk.text).substr(0, 40)) +
                        "\" is no transfer-function type of poles and zeros");
    } else if (element == "CfTransferFunctionType") {
        walk.analogueCoefficients = typeIs(walk.text, "ANALOG (RADIANS/SECOND)") || typeIs(walk.text, "ANALOG (HERTZ)");
        stage.hertz = typeIs(walk.text, "ANALOG (HERTZ)");
        if (!walk.analogueCoefficients && !typeIs(walk.text, "DIGITAL"))
            walk.defect(walk.where() + " \"" + std::string(trimmed(walk.text).substr(0, 40)) +
                        "\" is no transfer-function type of coefficients");
    } else if (element == "NormalizationFactor") {
        stage.a0 = walk.number();
    } else if (element == "NormalizationFrequency") {
        stage.normalisationFrequency = walk.number();
    } else if (element == "Real" && (parent == "Zero" || parent == "Pole")) {
        walk.root.re = walk.number();
    } else if (element == "Imaginary" && (parent == "Zero" || parent == "Pole")) {
        walk.root.im = walk.number();
    } else if (element == "Zero" || element == "Pole") {
        (element == "Zero" ? stage.zeros : stage.poles).push_back(walk.root);
    } else if (element == "Numerator" || element == "NumeratorCoefficient") {
        stage.numerator.push_back(walk.number());
    } else if (element == "Denominator") {
        stage.denominator.push_back(walk.number());
    } else if (element == "Symmetry") {
        walk.symmetry = typeIs(walk.text, "NONE")   ? 'N'
                        : typeIs(walk.text, "EVEN") ? 'E'
                        : typeIs(walk.text, "ODD")  ? 'O'
                                                    : '?';
        if (walk.symmetry == '?')
            walk.defect(walk.where() + " \"" + std::string(trimmed(walk.text).substr(0, 40)) +
                        "\" is not NONE, EVEN or ODD");
    } else if (element == "Coefficients" || element == "FIR") {
        using Kind = CascadeStage::Kind;
        stage.coefficientsElement = element == "Coefficients";
        if (element == "FIR") stage.symmetry = walk.symmetry;
        if (!stage.numerator.empty() || !stage.denominator.empty()) {
            if (element == "Coefficients" && walk.analogueCoefficients)
                stage.kind = Kind::AnalogueCoefficients;
            else
                stage.kind = stage.denominator.empty() ? Kind::Fir : Kind::Iir;
        }
        if (element == "FIR") expandSymmetric(stage, walk.symmetry);
    } else if (element == "ResponseList") {
        stage.kind = CascadeStage::Kind::ResponseList;
    } else if (element == "Polynomial") {
        stage.kind = CascadeStage::Kind::Polynomial;
    } else if (parent == "ResponseListElement") {
        if (element == "Frequency") walk.listed.frequency = walk.number();
        if (element == "Amplitude") walk.listed.amplitude = walk.number();
        if (element == "Phase") walk.listed.phase = walk.number();
    } else if (element == "ResponseListElement") {
        stage.listed.push_back(walk.listed);
        walk.listed = {};
    } else if (parent == "Polynomial") {
        PolynomialTerms& terms = stage.polynomial;
        if (element == "ApproximationType")
            terms.approximation = trimmed(walk.text).empty() ? 'M' : trimmed(walk.text).front();
        if (element == "FrequencyLowerBound") terms.lowestFrequency = walk.number();
        if (element == "FrequencyUpperBound") terms.highestFrequency = walk.number();
        if (element == "ApproximationLowerBound") terms.lowestInput = walk.number();
        if (element == "ApproximationUpperBound") terms.highestInput = walk.number();
        if (element == "MaximumError") terms.largestError = walk.number();
        if (element == "Coefficient") terms.coefficients.push_back(walk.number());
    } else if ((element == "Name" || element == "Description") && (parent == "InputUnits" || parent == "OutputUnits")) {
        const bool input = parent == "InputUnits";
        std::string text(trimmed(walk.text));
        if (element == "Name")
            (input ? stage.inputUnit : stage.outputUnit) = std::move(text);
        else
            (input ? stage.inputUnitDescription : stage.outputUnitDescription) = std::move(text);
    } else if (parent == "Decimation" && stage.decimation) {
        Decimation& decimation = *stage.decimation;
        if (element == "InputSampleRate") decimation.inputRate = walk.number();
        if (element == "Factor") decimation.factor = walk.wholeNumber();
        if (element == "Offset") decimation.offset = walk.wholeNumber();
        if (element == "Delay") decimation.delay = walk.number();
        if (element == "Correction") decimation.correction = walk.number();
    } else if (parent == "StageGain") {
        if (element == "Value") stage.gain = walk.number();
        if (element == "Frequency") stage.gainFrequency = walk.number();
    }
}

// Where a Channel's own element of that name goes.
std::optional<double>* placeField(ChannelPlace& place, std::string_view element)
{
    if (element == "Latitude") return &place.latitude;
    if (element == "Longitude") return &place.longitude;
    if (element == "Elevation") return &place.elevation;
    if (element == "Depth") return &place.depth;
    if (element == "Azimuth") return &place.azimuth;
    if (element == "Dip") return &place.dip;
    return nullptr;
}

void finishChannel(Walk& walk)
{
    if (walk.stopped) return;
    ChannelResponse& channel = walk.channel;
    channel.stated.instrument = walk.sensorText;
    settleCascade(channel);
    walk.inChannel = false;
    ++walk.channels;
    try {
        if ((*walk.each)(std::move(channel))) return;
    } catch (...) {
        walk.sinkFailure = std::current_exception();
    }
    walk.stopped = true;
    XML_StopParser(walk.parser, XML_FALSE);
}

void endElementIn(Walk& walk, const XML_Char* name)
{
    const std::string_view element = localName(name);
    if (walk.inStage) {
        if (element == "Stage") {
            walk.channel.stages.emplace_back(std::move(walk.stage));
            walk.inStage = false;
        } else {
            endStageElement(walk, element);
        }
    } else if (walk.inChannel) {
        const std::string_view parent = walk.parent();
        if (element == "Channel") {
            finishChannel(walk);
        } else if (element == "SampleRate" && parent == "Channel") {
            walk.channel.sampleRate = walk.number();
        } else if (parent == "Channel" && placeField(walk.channel.place, element) != nullptr) {
            *placeField(walk.channel.place, element) = walk.number();
        } else if (parent == "Sensor" && (element == "Type" || element == "Description" || element == "Model")) {
            if (walk.sensorText.empty() || element == "Type") walk.sensorText = std::string(trimmed(walk.text));
        } else if (parent == "InstrumentSensitivity") {
            if (element == "Value") walk.channel.stated.sensitivity = walk.number();
            if (element == "Frequency") walk.channel.stated.sensitivityFrequency = walk.number();
        } else if (element == "Name" && parent == "InputUnits" && walk.parent(2) == "InstrumentSensitivity") {
            walk.channel.stated.sensitivityUnit = std::string(trimmed(walk.text));
        } else if (element == "Name" && parent == "OutputUnits" && walk.parent(2) == "InstrumentSensitivity") {
            walk.channel.stated.sensitivityOutputUnit = std::string(trimmed(walk.text));
        }
    } else if (walk.parent() == "Station") {
        StationPlace& station = walk.stationPlace;
        if (element == "Latitude") station.latitude = walk.number();
        if (element == "Longitude") station.longitude = walk.number();
        if (element == "Elevation") station.elevation = walk.number();
    } else if (element == "Name" && walk.parent() == "Site" && walk.parent(2) == "Station") {
        walk.stationPlace.site = std::string(trimmed(walk.text));
    }
    walk.path.pop_back();
    walk.text.clear();
}

void charactersIn(Walk& walk, const XML_Char* text, int length)
{
    constexpr std::size_t longestText = 1 << 16;  // no number or name is longer
    if (walk.text.size() < longestText) walk.text.append(text, static_cast<std::size_t>(length));
}

// Nothing may unwind through expat's C frames: what a handler throws
// (memory exhausted) stops the parser and is thrown again after it returns.
template <typename Body>
void guarded(void* data, Body body)
{
    Walk& walk = *static_cast<Walk*>(data);
    try {
        body(walk);
    } catch (...) {
        if (!walk.sinkFailure) walk.sinkFailure = std::current_exception();
        XML_StopParser(walk.parser, XML_FALSE);
    }
}

void XMLCALL startElement(void* data, const XML_Char* name, const XML_Char** attributes)
{
    guarded(data, [&](Walk& walk) { startElementIn(walk, name, attributes); });
}

void XMLCALL endElement(void* data, const XML_Char* name)
{
    guarded(data, [&](Walk& walk) { endElementIn(walk, name); });
}

void XMLCALL characters(void* data, const XML_Char* text, int length)
{
    guarded(data, [&](Walk& walk) { charactersIn(walk, text, length); });
}

void XMLCALL refuseDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int)
{
    static_cast<Walk*>(data)->fail("a document type declaration (StationXML has none)");
}

}  // namespace

std::optional<bool> RootElementFinder::feed(std::string_view piece)
{
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    for (const char c : piece) {
        if (bomLeft_ > 0) {
            if (c == byteOrderMark[byteOrderMark.size() - bomLeft_]) {
                --bomLeft_;
                continue;
            }
            bomLeft_ = 0;
        }
        switch (state_) {
        case State::Between:
            if (c == '<') {
                state_ = State::Opened;
            } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
                return false;
            }
            break;
        case State::Opened:
            state_ = c == '?' ? State::Instruction : c == '!' ? State::Declaration : State::Name;
            if (state_ == State::Name) name_ += c;
            break;
        case State::Declaration:  // "<!--" opens a comment; "<!DOCTYPE …>" is skipped here, refused by the reader
            state_ = c == '-' ? State::CommentDash : State::Markup;
            break;
        case State::CommentDash: state_ = c == '-' ? State::Comment : State::Markup; break;
        case State::Comment:
        case State::Instruction:
            // "-->" and "?>" end them: the last two characters are kept.
            if (c == '>' && ((state_ == State::Comment && tail_ == "--") ||
                             (state_ == State::Instruction && tail_.back() == '?'))) {
                state_ = State::Between;
                tail_ = "  ";
            } else {
                tail_ = {tail_[1], c};
            }
            break;
        case State::Markup:
            if (c == '>') state_ = State::Between;
            break;
        case State::Name: {
            constexpr std::size_t longestName = 256;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>') {
                std::string_view name = name_;
                const std::size_t colon = name.find(':');
                if (colon != std::string_view::npos) name.remove_prefix(colon + 1);
                return name == "FDSNStationXML";
            }
            if (name_.size() == longestName) return false;
            name_ += c;
            break;
        }
        }
    }
    return std::nullopt;
}

bool looksLikeStationXml(std::string_view text)
{
    RootElementFinder finder;
    return finder.feed(text).value_or(false);
}

void readStationXml(const ChunkSource& source, const ResponseSink& each)
{
    Walk walk;
    walk.each = &each;
    const std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreateNS(nullptr, '|'),
                                                                         XML_ParserFree);
    if (!parser) throw std::bad_alloc();
    walk.parser = parser.get();
    XML_SetUserData(walk.parser, &walk);
    XML_SetElementHandler(walk.parser, startElement, endElement);
    XML_SetCharacterDataHandler(walk.parser, characters);
    XML_SetStartDoctypeDeclHandler(walk.parser, refuseDoctype);
    bool parsed = true;
    for (bool last = false; parsed && !last;) {
        std::string_view piece = source();
        last = piece.empty();
        // expat takes an int's worth at a time.
        constexpr std::size_t mostAtOnce = 1 << 30;
        do {
            const std::string_view part = piece.substr(0, mostAtOnce);
            piece.remove_prefix(part.size());
            parsed = XML_Parse(walk.parser, part.data(), static_cast<int>(part.size()), last ? XML_TRUE : XML_FALSE) ==
                     XML_STATUS_OK;
        } while (parsed && !piece.empty());
    }
    if (walk.sinkFailure) std::rethrow_exception(walk.sinkFailure);
    if (walk.stopped && walk.error.empty()) return;
    if (!parsed || !walk.error.empty()) {
        const std::string where = "line " + std::to_string(XML_GetCurrentLineNumber(walk.parser));
        const std::string reason = walk.error.empty() ? XML_ErrorString(XML_GetErrorCode(walk.parser)) : walk.error;
        throw ReadError(where + ": " + reason);
    }
    if (walk.channels == 0) throw ReadError("no <Channel> element: no response to convert");
}

std::vector<ChannelResponse> readStationXmlText(std::string_view text)
{
    return readAll(readStationXml, text);
}

}  // namespace kalvert
