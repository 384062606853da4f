#pragma once

#include "response/channel_response.hpp"

namespace kalvert {

/// Network, station, location and channel codes as every reader leaves
/// them: the blanks around each trimmed ("S " is S); a code that still holds
/// a blank, a control byte or a byte beyond ASCII is a defect of the
/// response, refused before any writer sees it (a line feed in a code
/// would forge lines in a GSE message). The instrument's description, free
/// text the writers copy, gets a blank for each control byte.
void settleIdentity(ChannelResponse& response);

}  // namespace kalvert
