#include "readers/channel_codes.hpp"

#include <string>

#include "text/text_scan.hpp"

namespace kalvert {
namespace {

bool isPrintableWord(const std::string& code)
{
    for (const char c : code)
        if (c <= ' ' || c > '~') return false;  // char may be signed: beyond ASCII is negative
    return true;
}

// "\x0A" for a line feed, the character itself otherwise.
std::string visible(const std::string& code)
{
    constexpr std::size_t longest = 64;
    std::string text;
    for (std::size_t i = 0; i < code.size() && i < longest; ++i) {
        const auto c = static_cast<unsigned char>(code[i]);
        if (c > ' ' && c <= '~') {
            text += static_cast<char>(c);
            continue;
        }
        constexpr char hex[] = "0123456789ABCDEF";
        text += "\\x";
        text += hex[c >> 4];
        text += hex[c & 0xF];
    }
    if (code.size() > longest) text += "\u2026";
    return text;
}

}  // namespace

void settleIdentity(ChannelResponse& response)
{
    ChannelId& id = response.id;
    for (auto [code, name] : {std::pair{&id.network, "network"}, std::pair{&id.station, "station"},
                              std::pair{&id.location, "location"}, std::pair{&id.channel, "channel"}}) {
        *code = std::string(trimmed(*code));
        if (!isPrintableWord(*code))
            noteDefect(response, std::string("its ") + name + " code \"" + visible(*code) +
                                     "\" holds a blank, a control byte or a byte beyond ASCII");
    }
    replaceControlBytes(response.stated.instrument);
}

}  // namespace kalvert
