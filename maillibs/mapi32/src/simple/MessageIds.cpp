#include "simple/MessageIds.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace vesk::mapi32 {
namespace {

constexpr std::size_t kKeyDigits = 16;

bool parseKeyForm(std::string_view text, std::uint64_t& key) {
    if (text.size() != kKeyDigits + 1 || text.front() != '~') return false;
    key = 0;
    for (char c : text.substr(1)) {
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return false;
        key = (key << 4) | static_cast<std::uint64_t>(digit);
    }
    return key != 0;
}

// How a failed look-up of a caller's message is reported.
ULONG lookupError(store::Status st) {
    if (st == store::Status::OutOfMemory) return MAPI_E_INSUFFICIENT_MEMORY;
    return st == store::Status::NotFound || st == store::Status::InvalidArgument ? MAPI_E_INVALID_MESSAGE
                                                                                 : MAPI_E_FAILURE;
}

}  // namespace

std::size_t idCapacity(FLAGS flags) {
    return (flags & MAPI_LONG_MSGID) != 0 ? MAPI_LONG_MSGID_SIZE : MAPI_SHORT_MSGID_SIZE;
}

bool parseCallerId(const char* text, std::string& id, std::uint64_t& key) {
    id.clear();
    key = 0;
    if (text == nullptr) return false;
    std::size_t length = ::strnlen(text, MAPI_LONG_MSGID_SIZE);
    if (length == 0 || length == MAPI_LONG_MSGID_SIZE) return false;
    std::string_view view(text, length);
    if (parseKeyForm(view, key)) return true;
    if (!store::isValidId(view)) return false;
    id = std::string(view);
    return true;
}

long listingPosition(const Session& session, const char* text) {
    std::string id;
    std::uint64_t key = 0;
    if (!parseCallerId(text, id, key)) return -1;
    return id.empty() ? session.positionOfKey(key) : session.positionOf(id);
}

ULONG findInboxMessage(Session& session, const char* text, store::MessageInfo& info) {
    std::string id;
    std::uint64_t key = 0;
    if (!parseCallerId(text, id, key)) return MAPI_E_INVALID_MESSAGE;
    store::Result<store::MessageInfo> found =
        id.empty() ? session.store().findByKey(store::kInbox, key) : session.store().find(store::kInbox, id);
    if (!found) return lookupError(found.status());
    info = std::move(*found);
    return SUCCESS_SUCCESS;
}

ULONG inboxIdOf(Session& session, const char* text, std::string& id) {
    std::uint64_t key = 0;
    if (!parseCallerId(text, id, key)) return MAPI_E_INVALID_MESSAGE;
    if (!id.empty()) return SUCCESS_SUCCESS;
    store::Result<store::MessageInfo> found = session.store().findByKey(store::kInbox, key);
    if (!found) return lookupError(found.status());
    id = std::move(found->id);
    return SUCCESS_SUCCESS;
}

std::string callerIdOf(const store::MessageInfo& info, std::size_t capacity) {
    if (info.id.size() < capacity) return info.id;
    char text[kKeyDigits + 2];
    std::snprintf(text, sizeof text, "~%016" PRIx64, static_cast<std::uint64_t>(info.key));
    return text;
}

}  // namespace vesk::mapi32
