#pragma once

#include <functional>
#include <string_view>
#include <vector>

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

/// Every response a streaming reader finds in a text held in memory.
template <typename Reader>
[[nodiscard]] std::vector<ChannelResponse> readAll(Reader read, std::string_view text)
{
    std::vector<ChannelResponse> responses;
    read(wholeText(text), [&responses](ChannelResponse&& response) {
        responses.push_back(std::move(response));
        return true;
    });
    return responses;
}

}  // namespace kalvert
