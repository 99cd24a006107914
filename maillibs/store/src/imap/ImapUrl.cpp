#include "ImapUrl.h"

#include <arpa/inet.h>

#include <cctype>

namespace vesk::store::detail {
namespace {

std::optional<std::string> percentDecoded(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size() || !std::isxdigit(static_cast<unsigned char>(s[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(s[i + 2])))
            return std::nullopt;
        out += static_cast<char>(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16));
        i += 2;
    }
    return out;
}

}  // namespace

std::string ImapUrl::server() const {
    bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

bool ImapUrl::loopback() const {
    if (host == "localhost") return true;
    in_addr a4{};
    if (::inet_pton(AF_INET, host.c_str(), &a4) == 1) return (ntohl(a4.s_addr) >> 24) == 127;
    in6_addr a6{};
    if (::inet_pton(AF_INET6, host.c_str(), &a6) == 1) return IN6_IS_ADDR_LOOPBACK(&a6);
    return false;
}

std::optional<ImapUrl> parseImapUrl(std::string_view url) {
    ImapUrl out;
    if (url.rfind("imaps://", 0) == 0) {
        out.tls = true;
        url.remove_prefix(8);
    } else if (url.rfind("imap://", 0) == 0) {
        url.remove_prefix(7);
    } else {
        return std::nullopt;
    }
    if (!url.empty() && url.back() == '/') url.remove_suffix(1);
    std::size_t at = url.rfind('@');
    if (at == std::string_view::npos || at == 0) return std::nullopt;
    std::optional<std::string> user = percentDecoded(url.substr(0, at));
    if (!user || user->empty()) return std::nullopt;
    out.user = *user;
    std::string_view hostPort = url.substr(at + 1);
    std::string_view portText;
    if (!hostPort.empty() && hostPort.front() == '[') {
        std::size_t close = hostPort.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        out.host = std::string(hostPort.substr(1, close - 1));
        std::string_view rest = hostPort.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return std::nullopt;
            portText = rest.substr(1);
        }
    } else {
        std::size_t colon = hostPort.find(':');
        out.host = std::string(hostPort.substr(0, colon));
        if (colon != std::string_view::npos) portText = hostPort.substr(colon + 1);
    }
    if (out.host.empty() || out.host.find_first_of("/?# ") != std::string::npos) return std::nullopt;
    unsigned long port = out.tls ? 993 : 143;
    if (!portText.empty()) {
        port = 0;
        for (char c : portText) {
            if (!std::isdigit(static_cast<unsigned char>(c)) || port > 65535) return std::nullopt;
            port = port * 10 + static_cast<unsigned long>(c - '0');
        }
        if (port == 0 || port > 65535) return std::nullopt;
    }
    out.port = static_cast<std::uint16_t>(port);
    return out;
}

}  // namespace vesk::store::detail
