#include "end_to_end/standard_files.hpp"

#include <cstdlib>
#include <cctype>
#include <tuple>
#include <string_view>
#include <sstream>

namespace kalvert::testing {
namespace {

bool fail(std::string& error, const std::string& why)
{
    error = why;
    return false;
}

std::vector<std::string> linesOf(const std::string& text, bool& finalLineFeed)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    finalLineFeed = !text.empty() && text.back() == '\n';
    return lines;
}

// Columns counted from 1, both ends included; "" past the end of the line.
std::string columns(const std::string& line, std::size_t first, std::size_t last)
{
    if (line.size() < first) return "";
    return line.substr(first - 1, last - first + 1);
}

// A whole-text match against the few regular-expression forms the column
// shapes need: literals, \d, \., [set] and [^set], each optionally followed
// by *, +, ?, {n} or {m,n}. (std::regex is slow for hundreds of rows and
// trips GCC 12's warnings under the sanitizers.)
struct Atom {
    std::string set;  ///< the characters matched (or not, when negated)
    bool negated = false;
    std::size_t least = 1;
    std::size_t most = 1;
};

std::vector<Atom> compile(std::string_view pattern)
{
    std::vector<Atom> atoms;
    for (std::size_t i = 0; i < pattern.size();) {
        Atom atom;
        if (pattern[i] == '\\') {
            atom.set = pattern[i + 1] == 'd' ? "0123456789" : std::string(1, pattern[i + 1]);
            i += 2;
        } else if (pattern[i] == '[') {
            const std::size_t close = pattern.find(']', i + 2);
            std::string_view set = pattern.substr(i + 1, close - i - 1);
            atom.negated = set.front() == '^';
            if (atom.negated) set.remove_prefix(1);
            for (std::size_t k = 0; k < set.size(); ++k)
                if (set[k] != '\\') atom.set += set[k];
            i = close + 1;
        } else {
            atom.set = std::string(1, pattern[i++]);
        }
        if (i < pattern.size() && (pattern[i] == '*' || pattern[i] == '+' || pattern[i] == '?')) {
            atom.least = pattern[i] == '+' ? 1 : 0;
            atom.most = pattern[i] == '?' ? 1 : std::string::npos;
            ++i;
        } else if (i < pattern.size() && pattern[i] == '{') {
            const std::size_t close = pattern.find('}', i);
            const std::string bounds(pattern.substr(i + 1, close - i - 1));
            const std::size_t comma = bounds.find(',');
            atom.least = std::stoul(bounds.substr(0, comma));
            atom.most = comma == std::string::npos ? atom.least : std::stoul(bounds.substr(comma + 1));
            i = close + 1;
        }
        atoms.push_back(atom);
    }
    return atoms;
}

bool matchFrom(const std::vector<Atom>& atoms, std::size_t atom, std::string_view text)
{
    if (atom == atoms.size()) return text.empty();
    const Atom& a = atoms[atom];
    std::size_t taken = 0;
    while (taken < a.most && taken < text.size() && (a.set.find(text[taken]) != std::string::npos) != a.negated)
        ++taken;
    for (;; --taken) {
        if (taken >= a.least && matchFrom(atoms, atom + 1, text.substr(taken))) return true;
        if (taken == 0) return false;
    }
}

bool matches(const std::string& text, const char* pattern)
{
    return matchFrom(compile(pattern), 0, text);
}

bool blank(const std::string& text)
{
    return text.find_first_not_of(' ') == std::string::npos;
}

// A separator column must be blank (or past the end of a trimmed line).
bool separators(const std::string& line, std::initializer_list<std::size_t> at)
{
    for (const std::size_t column : at)
        if (line.size() >= column && line[column - 1] != ' ') return false;
    return true;
}

struct Cal2Columns {
    std::size_t calibLast, calperFirst, calperLast, rateFirst, rateLast, onDate, onTime, offDate, offTime, longest;
    const char* calibPattern;
};

Cal2Columns cal2Columns(GseColumns layout)
{
    if (layout == GseColumns::Gse20)
        return {37, 39, 45, 47, 56, 58, 69, 75, 86, 90, R"( *-?\d\.\d{1,8}E[+-]\d\d)"};
    return {42, 44, 50, 52, 62, 64, 75, 81, 92, 96, R"( *-?\d\.\d{1,8}E[+-]\d\d)"};
}

bool readCal2(const std::string& line, GseColumns layout, GseResponse& response, std::string& error)
{
    const Cal2Columns c = cal2Columns(layout);
    if (columns(line, 1, 5) != "CAL2 " || line.size() > c.longest) return fail(error, "no CAL2 line: " + line);
    if (!separators(line, {11, 15, 20, 27, c.calibLast + 1, c.calperLast + 1, c.rateLast + 1, c.onTime - 1,
                           c.offDate - 1, c.offTime - 1}))
        return fail(error, "CAL2 separator columns not blank: " + line);
    response.station = columns(line, 6, 10);
    response.channel = columns(line, 12, 14);
    response.auxiliary = columns(line, 16, 19);
    response.instrumentType = columns(line, 21, 26);
    const std::string calib = columns(line, 28, c.calibLast);
    if (!matches(calib, c.calibPattern) || calib.size() != c.calibLast - 27)
        return fail(error, "calib not in its columns with a two-digit exponent: " + line);
    response.calib = std::strtod(calib.c_str(), nullptr);
    const std::string calper = columns(line, c.calperFirst, c.calperLast);
    if (!matches(calper, R"( *\d+\.\d{3})") || calper.size() != 7) return fail(error, "calper not f7.3: " + line);
    response.calper = std::strtod(calper.c_str(), nullptr);
    const std::string rate = columns(line, c.rateFirst, c.rateLast);
    if (!blank(rate)) {
        if (!matches(rate, R"( *\d+\.\d{5})") || rate.size() != c.rateLast - c.rateFirst + 1)
            return fail(error, "sample rate not f.5 in its columns: " + line);
        response.sampleRate = std::strtod(rate.c_str(), nullptr);
    }
    for (const auto& [date, time, into] : {std::tuple{c.onDate, c.onTime, &response.on},
                                          std::tuple{c.offDate, c.offTime, &response.off}}) {
        const std::string day = columns(line, date, date + 9);
        const std::string hour = columns(line, time, time + 4);
        if (blank(day) && blank(hour)) continue;
        if (!matches(day, R"(\d{4}/\d\d/\d\d)") || !matches(hour, R"(\d\d:\d\d)"))
            return fail(error, "date or time not yyyy/mm/dd hh:mm in its columns: " + line);
        *into = day + " " + hour;
    }
    return true;
}

bool readFap2(const std::vector<std::string>& lines, std::size_t& at, GseResponse& response, std::string& error)
{
    const std::string& header = lines[at];
    if (columns(header, 1, 24) != "FAP2  1 C    0    0.000 " || header.size() > 53 || !separators(header, {28}))
        return fail(error, "no FAP2 line with stage 1, C, 0 and 0.000 in their columns: " + header);
    const std::string count = columns(header, 25, 27);
    if (!matches(count, R"( *\d{1,3})")) return fail(error, "ntrip not i3: " + header);
    const int ntrip = std::atoi(count.c_str());
    response.descriptor = columns(header, 29, 53);
    ++at;
    for (; at < lines.size() && !lines[at].empty() && lines[at][0] == ' ' && lines[at].rfind(" (", 0) != 0; ++at) {
        const std::string& line = lines[at];
        if (line.size() != 32 || !separators(line, {1, 12, 28}))
            return fail(error, "data line not \" %10.5f %15.8E %4d\": " + line);
        const std::string frequency = columns(line, 2, 11);
        const std::string amplitude = columns(line, 13, 27);
        const std::string phase = columns(line, 29, 32);
        if (!matches(frequency, R"( *\d+\.\d{5})") || !matches(amplitude, R"( *\d\.\d{8}E[+-]\d\d)") ||
            !matches(phase, R"( *-?\d{1,4})"))
            return fail(error, "data line fields out of their formats: " + line);
        GseRow row{std::strtod(frequency.c_str(), nullptr), std::strtod(amplitude.c_str(), nullptr),
                   std::atoi(phase.c_str())};
        if (!(row.frequency > 0 && row.frequency < 10000) || !(row.amplitude > 0) || row.phase < -999)
            return fail(error, "row out of range: " + line);
        if (!response.rows.empty() && !(row.frequency > response.rows.back().frequency))
            return fail(error, "frequencies not strictly ascending at: " + line);
        if (!response.rows.empty() && std::abs(row.phase - response.rows.back().phase) >= 180)
            return fail(error, "phase jumps by 180 degrees or more at: " + line);
        response.rows.push_back(row);
    }
    if (static_cast<int>(response.rows.size()) != ntrip || ntrip == 0)
        return fail(error, "ntrip " + std::to_string(ntrip) + " but " + std::to_string(response.rows.size()) +
                               " data lines");
    return true;
}

bool readResponse(const std::vector<std::string>& lines, std::size_t& at, GseColumns layout, GseResponse& response,
                  std::string& error)
{
    if (!readCal2(lines[at++], layout, response, error)) return false;
    for (; at < lines.size() && lines[at].rfind(" (", 0) == 0; ++at) {
        if (lines[at].back() != ')') return fail(error, "comment not \" (…)\": " + lines[at]);
        response.comments.push_back(lines[at].substr(2, lines[at].size() - 3));
    }
    if (at == lines.size()) return fail(error, "no FAP2 after CAL2");
    return readFap2(lines, at, response, error);
}

}  // namespace

bool parseGseFile(const std::string& text, GseColumns layout, const std::string& version,
                  std::vector<GseResponse>& responses, std::string& error)
{
    bool finalLineFeed = false;
    const std::vector<std::string> lines = linesOf(text, finalLineFeed);
    if (!finalLineFeed) return fail(error, "the last line has no line feed");
    for (const std::string& line : lines)
        if (line.find('\r') != std::string::npos || line.find('\t') != std::string::npos)
            return fail(error, "CR or TAB in a line: " + line);
    std::size_t at = 0;
    if (version.empty()) {
        GseResponse response;
        if (lines.empty() || !readResponse(lines, at, layout, response, error)) return error.empty() ? fail(error, "empty") : false;
        if (at != lines.size()) return fail(error, "a line after the table, which SEISAN would read: " + lines[at]);
        responses.push_back(response);
        return true;
    }
    if (lines.size() < 5 || lines[0] != "BEGIN " + version || lines[1] != "MSG_TYPE DATA" ||
        !matches(lines[2], R"(MSG_ID [^ \\]{1,20} [^ ]{1,8})") || lines[3] != "DATA_TYPE RESPONSE " + version)
        return fail(error, "no BEGIN, MSG_TYPE, MSG_ID, DATA_TYPE RESPONSE " + version + " envelope");
    if (lines.back() != "STOP") return fail(error, "the message does not end with STOP");
    at = 4;
    while (at < lines.size() - 1) {
        if (lines[at].empty()) {
            ++at;
            continue;
        }
        GseResponse response;
        if (!readResponse(lines, at, layout, response, error)) return false;
        responses.push_back(response);
    }
    if (responses.empty()) return fail(error, "a message without a response");
    return true;
}

bool parseCssFile(const std::string& text, std::vector<std::string>& comments, std::vector<CssRow>& rows,
                  std::string& error)
{
    bool finalLineFeed = false;
    const std::vector<std::string> lines = linesOf(text, finalLineFeed);
    if (!finalLineFeed) return fail(error, "the last line has no line feed");
    std::string first = lines.empty() ? "" : lines[0];
    for (char& c : first) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (first.rfind('#', 0) == 0 && (first.find_first_not_of(" #") == first.find("fap") ||
                                     first.find_first_not_of(" #") == first.find("paz")))
        return fail(error, "a first line \"# fap\" or \"# paz\" makes Geotool read the old format");
    std::size_t at = 0;
    for (; at < lines.size() && !lines[at].empty() && lines[at][0] == '#'; ++at) comments.push_back(lines[at].substr(1));
    if (at == lines.size()) return fail(error, "no block header");
    std::istringstream header(lines[at++]);
    std::string source, stage, description, type;
    header >> source >> stage >> description >> type;
    if ((source != "theoretical" && source != "measured") || !matches(stage, R"(\d+)") || type != "fap")
        return fail(error, "block header not \"theoretical <stage> <des> fap\": " + lines[at - 1]);
    if (at == lines.size() || !matches(lines[at], R"(\d+)")) return fail(error, "no bare count line");
    const std::size_t count = std::strtoul(lines[at++].c_str(), nullptr, 10);
    if (count < 2) return fail(error, "fewer than two rows");
    for (; at < lines.size() && rows.size() < count; ++at) {
        std::istringstream fields(lines[at]);
        std::vector<std::string> numbers;
        for (std::string field; fields >> field;) numbers.push_back(field);
        if (numbers.size() != 5) return fail(error, "a row without exactly five numbers: " + lines[at]);
        for (const std::string& number : numbers)
            if (!matches(number, R"(-?\d\.\d+E[+-]\d\d)")) return fail(error, "not a number GMS parses: " + number);
        const CssRow row{std::stod(numbers[0]), std::stod(numbers[1]), std::stod(numbers[2])};
        if (!(row.frequency > 0) || !(row.amplitude > 0) || (!rows.empty() && !(row.frequency > rows.back().frequency)))
            return fail(error, "frequency or amplitude out of order or not positive: " + lines[at]);
        if (!rows.empty() && std::abs(row.phase - rows.back().phase) >= 180)
            return fail(error, "phase not continuous at: " + lines[at]);
        rows.push_back(row);
    }
    if (rows.size() != count) return fail(error, "the count line says " + std::to_string(count) + " rows");
    for (; at < lines.size(); ++at)
        if (!lines[at].empty() && lines[at][0] != '#') return fail(error, "a line after the block: " + lines[at]);
    return true;
}

}  // namespace kalvert::testing
