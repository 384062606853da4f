#include "readers/sacpz_header.hpp"

#include <charconv>

#include "text/text_scan.hpp"

namespace kalvert {
namespace {

// The fields this reader keeps; the other keys are known only so that their
// lines are told from free text.
enum class Field {
    None,
    Network,
    Station,
    Location,
    Channel,
    Start,
    End,
    SampleRate,
    InputUnit,
    InstrumentType,
    Sensitivity,
    A0,
    Latitude,
    Longitude,
    Elevation,
    Depth,
    Azimuth,
    SacDip,   ///< SAC's CMPINC: 0 up, 90 horizontal
    SeedDip,  ///< SEED's: −90 up, 0 horizontal
};

struct Key {
    std::string_view name;
    Field field;
};

// Longest first, so that "SAMPLE RATE" is not taken for something shorter and
// "CHANNEL(NSCL)" not for "CHANNEL".
constexpr Key keys[] = {
    {"CHANNEL(NSCL)", Field::None},
    {"INSTRMNTTYPE", Field::InstrumentType},
    {"INSTRMNTGAIN", Field::None},
    {"INSTRMNTUNIT", Field::None},
    {"INSTRMNTCMNT", Field::None},
    {"COORD(NEIC)", Field::None},
    {"COORD(SEED)", Field::None},
    {"SAMPLE RATE", Field::SampleRate},
    {"INPUT UNIT", Field::InputUnit},
    {"OUTPUT UNIT", Field::None},
    {"DESCRIPTION", Field::None},
    {"SENSITIVITY", Field::Sensitivity},
    {"INSTMNTGAIN", Field::None},
    {"ORIENTATION", Field::None},
    {"PARSE FLAGS", Field::None},
    {"DIP (SEED)", Field::SeedDip},
    {"RATE (HZ)", Field::SampleRate},
    {"SENS-SEED", Field::Sensitivity},
    {"SENS-CALC", Field::None},
    {"LONG-SEED", Field::Longitude},
    {"ELEV-SEED", Field::Elevation},
    {"SEEDFLAGS", Field::None},
    {"EFFECTIVE", Field::Start},
    {"COMPONENT", Field::Channel},
    {"LONGITUDE", Field::Longitude},
    {"ELEVATION", Field::Elevation},
    {"LATITUDE", Field::Latitude},
    {"LAT-SEED", Field::Latitude},
    {"INSTTYPE", Field::InstrumentType},
    {"INSTGAIN", Field::None},
    {"LOCATION", Field::Location},
    {"A0-SEED", Field::A0},
    {"A0-CALC", Field::None},
    {"ENDDATE", Field::End},
    {"NETWORK", Field::Network},
    {"STATION", Field::Station},
    {"CHANNEL", Field::Channel},
    {"CREATED", Field::None},
    {"AZIMUTH", Field::Azimuth},
    {"COMMENT", Field::None},
    {"START", Field::Start},
    {"DEPTH", Field::Depth},
    {"OWNER", Field::None},
    {"END", Field::End},
    {"DIP", Field::SacDip},
    {"A0", Field::A0},
};

// A key matches only as a whole word: it ends in ")" or is followed by the
// end, a blank, a TAB, "(" or ":".
bool keyMatches(std::string_view body, std::string_view key)
{
    if (!startsWithIgnoringCase(body, key)) return false;
    if (key.back() == ')' || body.size() == key.size()) return true;
    const char next = body[key.size()];
    return next == ' ' || next == '\t' || next == '(' || next == ':';
}

// After the key: blanks, one "(SAC NAME)" group, blanks, one ":" and at most
// one blank or TAB; the rest, trimmed on the right, is the value.
std::string_view valueAfterKey(std::string_view rest)
{
    auto skipBlanks = [&rest] {
        const std::size_t at = rest.find_first_not_of(" \t");
        rest = at == std::string_view::npos ? std::string_view{} : rest.substr(at);
    };
    skipBlanks();
    if (!rest.empty() && rest.front() == '(') {
        const std::size_t close = rest.find(')');
        const std::size_t colon = rest.find(':');
        // Only a group that the colon follows names the SAC field; otherwise it is the value.
        if (close != std::string_view::npos && colon != std::string_view::npos && close < colon) {
            rest.remove_prefix(close + 1);
            skipBlanks();
        }
    }
    if (!rest.empty() && rest.front() == ':') {
        rest.remove_prefix(1);
        if (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    }
    const std::size_t last = rest.find_last_not_of(valueBlanks);
    return last == std::string_view::npos ? std::string_view{} : rest.substr(0, last + 1);
}

// Values that say "nothing here".
bool isAbsent(std::string_view value)
{
    return value.empty() || equalsIgnoringCase(value, "None") || equalsIgnoringCase(value, "EMPTY") ||
           equalsIgnoringCase(value, "N/A");
}

std::optional<double> readNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{}) return std::nullopt;
    return value;
}

// "8.115480e+08 (M/S)", "4.026528e+09 (COUNTS) @ 0.02 Hz": the first token, then
// an optional unit in parentheses.
std::optional<double> readQuantity(std::string_view value, std::string* unit)
{
    const std::size_t end = value.find_first_of(" \t(");
    const std::optional<double> number = readNumber(value.substr(0, end));
    if (unit != nullptr && end != std::string_view::npos) {
        const std::size_t open = value.find('(', end);
        const std::size_t close = value.find(')', open);
        if (open != std::string_view::npos && close != std::string_view::npos)
            *unit = std::string(trimmed(value.substr(open + 1, close - open - 1)));
    }
    return number;
}

std::string locationOf(std::string_view value)
{
    value = trimmed(value);
    return value == "--" ? std::string() : std::string(value);
}

void store(Field field, std::string_view value, SectionHeader& header)
{
    const bool absent = isAbsent(value);
    switch (field) {
    case Field::None: break;
    case Field::Network: header.network = absent ? "" : std::string(value); break;
    case Field::Station: header.station = absent ? "" : std::string(value); break;
    case Field::Location: header.location = absent ? "" : locationOf(value); break;
    case Field::Channel: header.channel = absent ? "" : std::string(value); break;
    case Field::Start: header.start = absent ? std::nullopt : readDateTime(value); break;
    case Field::End: {
        const std::optional<DateTime> end = absent ? std::nullopt : readDateTime(value);
        header.end = end && end->year < openEpochYear ? end : std::nullopt;
        break;
    }
    case Field::SampleRate: header.sampleRate = absent ? std::nullopt : readQuantity(value, nullptr); break;
    case Field::InputUnit: header.inputUnit = absent ? "" : std::string(value); break;
    case Field::InstrumentType: header.instrumentType = absent ? "" : std::string(value); break;
    case Field::Sensitivity:
        header.sensitivityUnit.clear();
        header.sensitivity = absent ? std::nullopt : readQuantity(value, &header.sensitivityUnit);
        break;
    case Field::A0: header.a0 = absent ? std::nullopt : readQuantity(value, nullptr); break;
    case Field::Latitude: header.place.latitude = absent ? std::nullopt : readQuantity(value, nullptr); break;
    case Field::Longitude: header.place.longitude = absent ? std::nullopt : readQuantity(value, nullptr); break;
    case Field::Elevation: header.place.elevation = absent ? std::nullopt : readQuantity(value, nullptr); break;
    case Field::Depth: header.place.depth = absent ? std::nullopt : readQuantity(value, nullptr); break;
    case Field::Azimuth: header.place.azimuth = absent ? std::nullopt : readQuantity(value, nullptr); break;
    case Field::SacDip:
    case Field::SeedDip: {
        const std::optional<double> dip = absent ? std::nullopt : readQuantity(value, nullptr);
        constexpr double sacToSeed = 90.0;  // SEED dip is 90 degrees off SAC's
        header.place.dip = dip && field == Field::SacDip ? std::optional<double>(*dip - sacToSeed) : dip;
        break;
    }
    }
}

}  // namespace

HeaderLine readHeaderLine(std::string_view line, SectionHeader& header)
{
    std::string_view body = trimmed(line.substr(line.find('*') + 1));
    if (body.find_first_not_of('*') == std::string_view::npos) return HeaderLine::Delimiter;
    if (equalsIgnoringCase(body, "<EOE>") || equalsIgnoringCase(body, "<EOR>")) return HeaderLine::EndOfSection;
    for (const Key& key : keys) {
        if (!keyMatches(body, key.name)) continue;
        const std::string_view rest = body.substr(key.name.size());
        // NEIC writes "DIP  -90.0", without a colon, in SEED's convention.
        const bool neicDip = key.field == Field::SacDip && rest.find(':') == std::string_view::npos;
        store(neicDip ? Field::SeedDip : key.field, valueAfterKey(rest), header);
        return HeaderLine::Field;
    }
    return HeaderLine::Other;
}

void readHashCommentLine(std::string_view line, SectionHeader& fallback)
{
    struct HashKey {
        std::string_view name;
        std::string SectionHeader::*field;
    };
    constexpr HashKey hashKeys[] = {
        {"# Station", &SectionHeader::station},
        {"# Channel", &SectionHeader::channel},
        {"# Network", &SectionHeader::network},
        {"# Location", &SectionHeader::location},
    };
    line = trimmed(line);
    for (const HashKey& key : hashKeys) {
        if (line.substr(0, key.name.size()) != key.name) continue;
        const std::string_view value = trimmed(line.substr(key.name.size()));
        fallback.*key.field = key.field == &SectionHeader::location ? locationOf(value) : std::string(value);
        return;
    }
    constexpr std::string_view timeKey = "# Time";
    if (line.substr(0, timeKey.size()) != timeKey) return;
    const std::string_view times = trimmed(line.substr(timeKey.size()));
    const std::size_t separator = times.find(" / ");
    fallback.start = readDateTime(times.substr(0, separator));
    if (separator == std::string_view::npos) return;
    const std::optional<DateTime> end = readDateTime(times.substr(separator + 3));
    fallback.end = end && end->year < openEpochYear ? end : std::nullopt;
}

}  // namespace kalvert
