#include "text/text_scan.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kalvert {
namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// White space as the C library's "C" locale knows it: blank, \t \n \v \f \r.
bool isCSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<double> readExactNumber(std::string_view text)
{
    text = trimmed(text);
    // from_chars takes a minus but no plus: one plus, then a digit or a point.
    if (text.size() > 1 && text.front() == '+' && (isDigit(text[1]) || text[1] == '.')) text.remove_prefix(1);
    if (text.empty() || !(isDigit(text.back()) || text.back() == '.')) return std::nullopt;  // no "inf", "nan"
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string escapedField(std::string_view text, bool (*plain)(unsigned char c), std::size_t longest)
{
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < longest; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (plain(c)) {
            out += static_cast<char>(c);
            continue;
        }
        constexpr char hex[] = "0123456789ABCDEF";
        out += "\\x";
        out += hex[c >> 4];
        out += hex[c & 0xF];
    }
    if (text.size() > longest) out += "\u2026";
    return out;
}

void replaceControlBytes(std::string& text)
{
    for (char& c : text)
        if ((c >= 0 && c < ' ') || c == '\x7f') c = ' ';
}

bool equalsIgnoringCase(std::string_view text, std::string_view name)
{
    if (text.size() != name.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (lowerAscii(text[i]) != lowerAscii(name[i])) return false;
    return true;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(valueBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(valueBlanks) - first + 1);
}

int readLeadingInteger(std::string_view text)
{
    // Only the number's own characters go to atoi, so that reading a count
    // never copies the rest of a large text. Leading zeros are dropped and
    // the digits cut where any longer run overflows anyway: atoi's value,
    // overflow included, stays exactly what it is for the whole text.
    constexpr std::size_t digitsPastAnyOverflow = 24;
    text = text.substr(0, text.find('\0'));
    std::size_t at = 0;
    while (at < text.size() && isCSpace(text[at])) ++at;
    std::string number;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) number += text[at++];
    while (at < text.size() && text[at] == '0') ++at;
    number += '0';
    for (std::size_t digits = 0; at < text.size() && isDigit(text[at]) && digits < digitsPastAnyOverflow; ++digits)
        number += text[at++];
    return std::atoi(number.c_str());  // NOLINT(cert-err34-c): atoi's results are the specified ones
}

int scanNumberPair(const char* text, double& first, double& second)
{
    // NOLINTNEXTLINE(cert-err34-c): an unread part keeps its value by design
    return std::sscanf(text, "%lf%*c%lf", &first, &second);
}

}  // namespace kalvert
