#include "readers/section_reader.hpp"

#include <charconv>
#include <cmath>

#include "readers/channel_codes.hpp"
#include "readers/sacpz_header.hpp"
#include "text/text_scan.hpp"

namespace kalvert {
namespace {

std::string lineText(int number)
{
    return "line " + std::to_string(number);
}

// The next line and its number; LF, CR LF and a lone CR all end a line.
bool nextLine(std::string_view& text, std::string_view& line)
{
    if (text.empty()) return false;
    const std::size_t end = text.find_first_of("\r\n");
    line = text.substr(0, end);
    if (end == std::string_view::npos) {
        text = {};
    } else {
        const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crLf ? 2 : 1));
    }
    return true;
}

// Reads one number and what follows it; false when there is none.
bool readNumber(std::string_view& text, double& value)
{
    text = text.substr(std::min(text.size(), text.find_first_not_of(" \t")));
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{}) return false;
    text.remove_prefix(static_cast<std::size_t>(result.ptr - text.data()));
    return true;
}

// "real imaginary", blank- or TAB-separated, nothing else.
bool readValueLine(std::string_view line, Complex& value)
{
    return readNumber(line, value.re) && readNumber(line, value.im) && trimmed(line).empty();
}

enum class Keyword { None, Zeros, Poles, Constant };

// "ZEROS 3", "POLES\t5", "CONSTANT   7.4592E-02": the keyword as the line's
// first word, in any letter case, and its number.
Keyword readKeywordLine(std::string_view line, double& number, bool& hasNumber)
{
    line = trimmed(line);
    const std::size_t wordEnd = std::min(line.size(), line.find_first_of(" \t"));
    const std::string_view word = line.substr(0, wordEnd);
    Keyword keyword = Keyword::None;
    if (equalsIgnoringCase(word, "ZEROS"))
        keyword = Keyword::Zeros;
    else if (equalsIgnoringCase(word, "POLES"))
        keyword = Keyword::Poles;
    else if (equalsIgnoringCase(word, "CONSTANT"))
        keyword = Keyword::Constant;
    std::string_view rest = line.substr(wordEnd);
    hasNumber = readNumber(rest, number) && trimmed(rest).empty();
    return keyword;
}

// One section as it is read: its header block and its lists.
struct PoleZeroSection {
    SectionHeader header;
    std::vector<Complex> zeros;  ///< listed zeros, then zeros at the origin up to the announced count
    std::vector<Complex> poles;
    std::optional<double> constant;  ///< nothing when the section has no CONSTANT line
    int firstLine = 0;               ///< where the section starts in the file, from 1
};

struct SectionInProgress {
    PoleZeroSection section;
    SectionHeader fallback;  ///< from `#` comment keys
    bool hasZeros = false;
    bool hasPoles = false;
    bool hasConstant = false;
    Keyword listing = Keyword::None;  ///< the list whose value lines come next
    std::size_t announced = 0;        ///< values that list announced
    std::size_t listed = 0;           ///< values read for it so far
    int listLine = 0;

    bool hasKeyword() const { return hasZeros || hasPoles || hasConstant; }
};

std::string sectionName(std::size_t index)
{
    return "section " + std::to_string(index);
}

// Closes the list being read: zeros not listed lie at the origin, poles not
// listed are an error.
void closeList(SectionInProgress& current, std::size_t index)
{
    if (current.listing == Keyword::Zeros && current.listed < current.announced)
        current.section.zeros.resize(current.announced, Complex{});
    if (current.listing == Keyword::Poles && current.listed < current.announced)
        throw SectionFormatError(sectionName(index) + ": POLES " + std::to_string(current.announced) + " at " +
                                 lineText(current.listLine) + " but " + std::to_string(current.listed) + " pole lines");
    current.listing = Keyword::None;
}

void useFallback(std::string& field, const std::string& fallback)
{
    if (field.empty()) field = fallback;
}

ChannelResponse responseOf(PoleZeroSection&& section)
{
    SectionHeader& header = section.header;
    ChannelResponse response;
    response.id = {std::move(header.network), std::move(header.station), std::move(header.location),
                   std::move(header.channel)};
    response.start = header.start;
    response.end = header.end;
    response.inputUnit = std::move(header.inputUnit);
    response.sampleRate = header.sampleRate;
    response.stated.sensitivity = header.sensitivity;
    response.stated.sensitivityUnit = std::move(header.sensitivityUnit);
    response.stated.a0 = header.a0;
    response.stated.constant = section.constant;
    response.stated.instrument = std::move(header.instrumentType);
    response.place = header.place;
    response.stages.emplace_back(
        PoleZeroStage{std::move(section.zeros), std::move(section.poles), section.constant.value_or(1.0)});
    response.firstLine = section.firstLine;
    settleIdentity(response);
    return response;
}

// Roots held so far by the whole file: the limits count over all its sections.
struct RootTotals {
    std::size_t zeros = 0;
    std::size_t poles = 0;
};

void finishSection(SectionInProgress& current, std::vector<ChannelResponse>& sections, RootTotals& totals)
{
    const std::size_t index = sections.size() + 1;
    closeList(current, index);
    if (!current.hasKeyword()) return;  // a header block with nothing after it
    totals.zeros += current.section.zeros.size();
    totals.poles += current.section.poles.size();
    if (totals.zeros > maxZeroCount || totals.poles > maxPoleCount)
        throw SectionFormatError("the file lists more than " + std::to_string(maxZeroCount) + " " +
                                 (totals.zeros > maxZeroCount ? "zeros" : "poles") + " over all its sections");
    if (!current.hasZeros || !current.hasPoles)
        throw SectionFormatError(sectionName(index) + " (from " + lineText(current.section.firstLine) + ") has no " +
                                 (current.hasZeros ? "POLES" : "ZEROS") + " line");
    SectionHeader& header = current.section.header;
    useFallback(header.network, current.fallback.network);
    useFallback(header.station, current.fallback.station);
    useFallback(header.location, current.fallback.location);
    useFallback(header.channel, current.fallback.channel);
    if (!header.start && !header.end) {
        header.start = current.fallback.start;
        header.end = current.fallback.end;
    }
    sections.push_back(responseOf(std::move(current.section)));
}

std::size_t announcedCount(double number, bool hasNumber, Keyword keyword, std::size_t index, int line)
{
    const std::size_t limit = keyword == Keyword::Zeros ? maxZeroCount : maxPoleCount;
    if (!hasNumber || !(number >= 0) || std::floor(number) != number)
        throw SectionFormatError(lineText(line) + ": " + (keyword == Keyword::Zeros ? "ZEROS" : "POLES") +
                                 " without a count");
    if (number > static_cast<double>(limit))
        throw SectionFormatError(sectionName(index) + " announces more than " + std::to_string(limit) + " " +
                                 (keyword == Keyword::Zeros ? "zeros" : "poles"));
    return static_cast<std::size_t>(number);
}

}  // namespace

std::vector<ChannelResponse> readPoleZeroSections(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, byteOrderMark.size()) == byteOrderMark) text.remove_prefix(byteOrderMark.size());
    std::vector<ChannelResponse> sections;
    RootTotals totals;
    SectionInProgress current;
    int lineNumber = 0;
    auto startSection = [&] {
        finishSection(current, sections, totals);
        current = SectionInProgress{};
        current.section.firstLine = lineNumber;
    };
    for (std::string_view line; nextLine(text, line);) {
        ++lineNumber;
        const std::string_view content = trimmed(line);
        if (content.empty()) continue;
        if (current.section.firstLine == 0) current.section.firstLine = lineNumber;
        const std::size_t index = sections.size() + 1;

        if (content.front() == '*') {
            if (current.hasKeyword()) startSection();
            closeList(current, index);
            if (readHeaderLine(content, current.section.header) == HeaderLine::EndOfSection) startSection();
            continue;
        }
        if (content.front() == '#') {
            if (current.hasKeyword()) startSection();
            readHashCommentLine(content, current.fallback);
            continue;
        }

        double number = 0.0;
        bool hasNumber = false;
        const Keyword keyword = readKeywordLine(content, number, hasNumber);
        if (keyword != Keyword::None) {
            closeList(current, index);
            // A keyword the section already has starts the next section.
            bool SectionInProgress::*const seen = keyword == Keyword::Zeros   ? &SectionInProgress::hasZeros
                                                  : keyword == Keyword::Poles ? &SectionInProgress::hasPoles
                                                                              : &SectionInProgress::hasConstant;
            if (current.*seen) startSection();
            current.*seen = true;
            if (keyword == Keyword::Constant) {
                if (!hasNumber) throw SectionFormatError(lineText(lineNumber) + ": CONSTANT without a number");
                current.section.constant = number;
                continue;
            }
            current.listing = keyword;
            current.announced = announcedCount(number, hasNumber, keyword, sections.size() + 1, lineNumber);
            current.listed = 0;
            current.listLine = lineNumber;
            continue;
        }

        Complex value;
        if (!readValueLine(content, value))
            throw SectionFormatError(lineText(lineNumber) + " is neither a header, a keyword nor a value line");
        if (current.listing == Keyword::None || current.listed == current.announced)
            throw SectionFormatError(lineText(lineNumber) + ": more value lines than " +
                                     (current.listLine > 0 ? lineText(current.listLine) + " announces"
                                                           : std::string("any ZEROS or POLES line announces")));
        (current.listing == Keyword::Zeros ? current.section.zeros : current.section.poles).push_back(value);
        ++current.listed;
    }
    finishSection(current, sections, totals);
    if (sections.empty()) throw SectionFormatError("no ZEROS and POLES lines: not a pole-zero file");
    return sections;
}

}  // namespace kalvert
