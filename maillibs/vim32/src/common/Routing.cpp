#include "common/Routing.h"

#include <cstring>
#include <string>

namespace vesk::vim32 {
namespace {

std::string textOf(const char* field, std::size_t size) {
    std::string text(field, ::strnlen(field, size));
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The last " at " in any case, or npos.
std::size_t gatewaySeparator(const std::string& text) {
    for (std::size_t at = text.size() >= 4 ? text.size() - 4 + 1 : 0; at-- > 0;) {
        if (text[at] == ' ' && text[at + 3] == ' ' && (text[at + 1] == 'a' || text[at + 1] == 'A') &&
            (text[at + 2] == 't' || text[at + 2] == 'T')) {
            return at;
        }
    }
    return std::string::npos;
}

bool isInternetAddress(const std::string& text) {
    std::size_t at = text.find('@');
    if (at == std::string::npos || at == 0 || at + 1 == text.size() || text.find('@', at + 1) != std::string::npos) {
        return false;
    }
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || std::strchr("<>()[],;:\"\\", c) != nullptr) return false;
    }
    return true;
}

}  // namespace

vimStatus routeOf(const PostOffice& office, const vimRecipient& recipient, Route& route) {
    const std::string display = textOf(recipient.DName.Value, sizeof recipient.DName.Value);
    const std::string address = textOf(recipient.Address.Value, sizeof recipient.Address.Value);
    std::string text = address.empty() ? display : address;
    if (text.empty()) return VIMSTS_BAD_PARAM;
    route.local = nullptr;
    bool viaGateway = false;
    std::size_t separator = gatewaySeparator(text);
    if (separator != std::string::npos) {
        std::string gateway = textOf(text.c_str() + separator + 4, text.size() - separator - 4);
        text = textOf(text.c_str(), separator);
        if (!gateway.empty()) {
            if (office.gateway.empty() || !equalsNoCase(gateway, office.gateway)) return VIMSTS_NAME_NOT_FOUND;
            viaGateway = true;
        }
    }
    if (text.find('@') != std::string::npos) {
        if (!isInternetAddress(text)) return VIMSTS_BAD_PARAM;
        // A user's own Internet address reaches the user directly, gateway or not: the gateway
        // would only hand the message back to this post office.
        route.local = office.userByAddress(text);
        if (route.local == nullptr && office.gateway.empty()) return VIMSTS_NAME_NOT_FOUND;
    } else {
        if (viaGateway) return VIMSTS_BAD_PARAM;
        route.local = office.findUser(text);
        if (route.local == nullptr) return VIMSTS_NAME_NOT_FOUND;
    }
    if (route.local != nullptr) {
        route.shown = {route.local->displayName, office.localAddressOf(*route.local)};
    } else {
        route.shown = {equalsNoCase(display, address) ? std::string() : display, text};
    }
    return VIMSTS_SUCCESS;
}

bool sameDestination(const Route& a, const Route& b) {
    if (a.local != nullptr || b.local != nullptr) return a.local == b.local;
    return equalsNoCase(a.shown.address, b.shown.address);
}

}  // namespace vesk::vim32
