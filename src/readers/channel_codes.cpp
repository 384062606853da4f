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
    return escapedField(
        code, [](unsigned char c) { return c > ' ' && c <= '~'; }, longest);
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
