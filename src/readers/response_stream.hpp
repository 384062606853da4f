#pragma once

#include <functional>
#include <string_view>

#include "response/channel_response.hpp"

namespace kalvert {

/// The next piece of a file's bytes; an empty view at its end.
using ChunkSource = std::function<std::string_view()>;

/// Takes each response as soon as its reader has it whole, in file order;
/// false stops the reading there.
using ResponseSink = std::function<bool(ChannelResponse&&)>;

/// A source that hands out `text` in one piece.
[[nodiscard]] inline ChunkSource wholeText(std::string_view text)
{
    return [text, given = false]() mutable {
        if (given) return std::string_view{};
        given = true;
        return text;
    };
}

}  // namespace kalvert
