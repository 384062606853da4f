#include "response/output_kind.hpp"

#include <cstdlib>
#include <string>

namespace kalvert {
namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool equalsIgnoringCase(std::string_view text, std::string_view name)
{
    if (text.size() != name.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (lowerAscii(text[i]) != lowerAscii(name[i])) return false;
    return true;
}

int readLeadingInteger(std::string_view text)
{
    const std::string terminated(text.substr(0, text.find('\0')));
    return std::atoi(terminated.c_str());
}

OutputKind readOutputKind(std::string_view text)
{
    if (equalsIgnoringCase(text, "QTV")) return {0, 1, -6};
    if (equalsIgnoringCase(text, "GSE2")) return {1, 0, -9};

    OutputKind kind;
    int* const fields[] = {&kind.n1, &kind.n2, &kind.n3};
    std::size_t fieldIndex = 0;
    constexpr std::string_view delimiters = ",;:";
    std::size_t at = text.find_first_not_of(delimiters);
    while (at != std::string_view::npos && fieldIndex < std::size(fields)) {
        const std::size_t fieldEnd = text.find_first_of(delimiters, at);
        *fields[fieldIndex++] = readLeadingInteger(text.substr(at, fieldEnd - at));
        at = text.find_first_not_of(delimiters, fieldEnd);
    }
    return kind;
}

}  // namespace kalvert
