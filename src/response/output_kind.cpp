#include "response/output_kind.hpp"

#include <iterator>

#include "text/text_scan.hpp"

namespace kalvert {

OutputKind readOutputKind(std::string_view typeOut)
{
    if (equalsIgnoringCase(typeOut, "QTV")) return {0, 1, -6};
    if (equalsIgnoringCase(typeOut, "GSE2")) return {1, 0, -9};

    OutputKind kind;
    int* const fields[] = {&kind.n1, &kind.n2, &kind.n3};
    std::size_t fieldIndex = 0;
    constexpr std::string_view delimiters = ",;:";
    std::size_t at = typeOut.find_first_not_of(delimiters);
    while (at != std::string_view::npos && fieldIndex < std::size(fields)) {
        const std::size_t fieldEnd = typeOut.find_first_of(delimiters, at);
        *fields[fieldIndex++] = readLeadingInteger(typeOut.substr(at, fieldEnd - at));
        at = typeOut.find_first_not_of(delimiters, fieldEnd);
    }
    return kind;
}

ResponseKind readResponseKind(std::string_view typeIn, std::string_view typeOut)
{
    return {readLeadingInteger(typeIn), readOutputKind(typeOut)};
}

}  // namespace kalvert
