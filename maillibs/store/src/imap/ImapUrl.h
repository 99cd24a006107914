// The address of an IMAP mailbox: "imap://USER@HOST:PORT" or "imaps://USER@HOST:PORT".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vesk::store::detail {

struct ImapUrl {
    bool tls = false;  ///< imaps: TLS from the first byte
    std::string user;
    std::string host;  ///< a name, an IPv4 address or an IPv6 address without brackets
    std::uint16_t port = 0;
    /// "HOST:PORT", the way error messages name the server.
    std::string server() const;
    /// True when the host is a loopback address or "localhost".
    bool loopback() const;
};

/// Parses `url`; nullopt when it is not one of the two forms (user and host required; the
/// user may be percent-encoded, e.g. "%40" for '@').
std::optional<ImapUrl> parseImapUrl(std::string_view url);

}  // namespace vesk::store::detail
