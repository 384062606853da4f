#include "readers/legacy_reader.hpp"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "text/text_scan.hpp"

namespace kalvert {
namespace {

// A keyword's value starts after the keyword and this many separator
// characters, whatever they are (the LF ending the line included).
constexpr std::size_t separatorAfterKeyword = 1;

// The announced count stands after the first occurrence of the keyword
// anywhere in the text, a comment included.
int readAnnouncedCount(std::string_view text, std::string_view keyword)
{
    const std::size_t at = text.find(keyword);
    if (at == std::string_view::npos) return 0;
    const std::size_t countAt = at + keyword.size() + separatorAfterKeyword;
    return countAt > text.size() ? 0 : readLeadingInteger(text.substr(countAt));
}

// What the "#" comment lines say, each field cut to the room the legacy
// header gives it.
struct CommentFields {
    std::string station;
    std::string channel;
    std::string network;
    std::string location;
    std::string timeText;
};

struct CommentKey {
    const char* key;
    std::string CommentFields::*field;
    std::size_t capacity;
};

// Tried in this order on every comment line; each one searches what the
// previous key left of the line.
constexpr CommentKey commentKeys[] = {
    {"# Station", &CommentFields::station, 7}, {"# Channel", &CommentFields::channel, 7},
    {"# Network", &CommentFields::network, 3}, {"# Location", &CommentFields::location, 3},
    {"# Time", &CommentFields::timeText, 39},
};

// `line` is NUL-terminated and writable.
void readCommentLine(char* line, CommentFields& info)
{
    // The line's last character goes: the CR of a CR LF file, otherwise a
    // real character (long-standing behaviour that stored files reflect).
    const std::size_t length = std::strlen(line);
    if (length > 0) line[length - 1] = '\0';

    const char* rest = line;
    for (const CommentKey& key : commentKeys) {
        const char* found = std::strstr(rest, key.key);
        if (found == nullptr) continue;
        // Drop everything up to the key, the key and the one character after it.
        const std::size_t remaining = std::strlen(found);
        const std::size_t skip = std::strlen(key.key) + separatorAfterKeyword;
        rest = found + (skip < remaining ? skip : remaining);
        const std::size_t valueLength = std::strlen(rest);
        (info.*key.field).assign(rest, valueLength < key.capacity ? valueLength : key.capacity);
    }
}

// "CONSTANT" is expected at the start of its line with one separator after
// it; the number is read from there whatever the line really holds.
double readConstant(const char* line)
{
    constexpr std::size_t valueOffset = std::char_traits<char>::length("CONSTANT") + separatorAfterKeyword;
    // NOLINTNEXTLINE(cert-err34-c): atof's 0.0 for no number is the specified value
    return std::strlen(line) > valueOffset ? std::atof(line + valueOffset) : 0.0;
}

struct Section {
    bool active = false;
    int taken = 0;
};

// Appends a value, refusing a list that would pass its limit: repeated
// sections must not grow a model without bound.
void appendRoot(std::vector<Complex>& roots, Complex value, std::size_t limit)
{
    if (roots.size() >= limit) throw std::length_error("more roots than any instrument has");
    roots.push_back(value);
}

}  // namespace

ChannelResponse readLegacyPoleZeroText(std::string text)
{
    text.resize(std::strlen(text.c_str()));

    PoleZeroStage model;
    CommentFields info;
    const int announcedZeros = readAnnouncedCount(text, "ZEROS");
    const int announcedPoles = readAnnouncedCount(text, "POLES");

    Section zeros;
    Section poles;
    // One scratch value shared by both sections: a part that a value line
    // does not give keeps what the previous value line of either section left.
    Complex scratch;

    char* cursor = text.data();
    char* const end = cursor + text.size();
    while (cursor < end) {
        if (*cursor == '\n') {  // a run of LF separates like a single one
            ++cursor;
            continue;
        }
        char* line = cursor;
        char* lineEnd = static_cast<char*>(std::memchr(cursor, '\n', static_cast<std::size_t>(end - cursor)));
        if (lineEnd == nullptr) lineEnd = end;
        *lineEnd = '\0';
        cursor = lineEnd + 1;

        if (std::strchr(line, '#') != nullptr) {
            readCommentLine(line, info);
        } else if (std::strstr(line, "ZEROS") != nullptr) {
            zeros = {true, 0};
            poles.active = false;
        } else if (std::strstr(line, "POLES") != nullptr) {
            poles = {true, 0};
            zeros.active = false;
        } else {
            if (std::strstr(line, "CONSTANT") != nullptr) model.constant = readConstant(line);
            if (zeros.active && zeros.taken < announcedZeros) {
                scanNumberPair(line, scratch.re, scratch.im);
                appendRoot(model.zeros, scratch, maxZeroCount);
                ++zeros.taken;
            }
            if (poles.active && poles.taken < announcedPoles) {
                scanNumberPair(line, scratch.re, scratch.im);
                appendRoot(model.poles, scratch, maxPoleCount);
                ++poles.taken;
            }
        }
    }

    // Zeros the file announces but does not list lie at the origin.
    if (zeros.taken < announcedZeros) {
        const std::size_t missing = static_cast<std::size_t>(announcedZeros - zeros.taken);
        if (missing > zeroRoomLeft(model.zeros.size())) throw std::length_error("announced zero count too large");
        model.zeros.resize(model.zeros.size() + missing, Complex{});
    }

    ChannelResponse response;
    response.id = {std::move(info.network), std::move(info.station), std::move(info.location), std::move(info.channel)};
    response.epochAsWritten = std::move(info.timeText);
    response.stated.constant = model.constant;
    response.stages.emplace_back(std::move(model));
    response.firstLine = 1;
    return response;
}

}  // namespace kalvert
