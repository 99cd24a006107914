// What a queued message needs before it goes to the sending command: the envelope sender,
// the envelope recipients, and the bytes without the Bcc header.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/Status.h"

namespace vesk::store::detail {

struct Outbound {
    std::string sender;                   ///< the From address (ASCII/UTF-8), may be empty
    std::vector<std::string> recipients;  ///< To, Cc and Bcc addresses, each once
    std::string bytes;                    ///< the message with every Bcc field removed
};

/// Prepares the queued message `message`. ParseError when it cannot be read; a message
/// without recipients comes back with an empty list (the caller decides).
Result<Outbound> prepareOutbound(std::string_view message);

}  // namespace vesk::store::detail
