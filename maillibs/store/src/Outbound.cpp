#include "Outbound.h"

#include <strings.h>

#include <algorithm>

#include "GMimeSetup.h"
#include "HeaderEdit.h"

namespace vesk::store::detail {
namespace {

void collect(InternetAddressList* list, std::vector<std::string>& out, int depth = 0) {
    if (!list || depth > 8) return;
    int count = internet_address_list_length(list);
    for (int i = 0; i < count; ++i) {
        InternetAddress* a = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(a)) {
            const char* addr = internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(a));
            if (!addr || !*addr) continue;
            bool known = std::any_of(out.begin(), out.end(),
                                     [&](const std::string& s) { return ::strcasecmp(s.c_str(), addr) == 0; });
            if (!known) out.emplace_back(addr);
        } else if (INTERNET_ADDRESS_IS_GROUP(a)) {
            collect(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(a)), out, depth + 1);
        }
    }
}

}  // namespace

Result<Outbound> prepareOutbound(std::string_view message) {
    GRef<GMimeMessage> parsed = parseBytes(message.data(), message.size());
    if (!parsed) return Status::ParseError;
    Outbound out;
    InternetAddressList* from = g_mime_message_get_addresses(parsed.get(), GMIME_ADDRESS_TYPE_FROM);
    std::vector<std::string> senders;
    collect(from, senders);
    if (!senders.empty()) out.sender = senders.front();
    for (GMimeAddressType type : {GMIME_ADDRESS_TYPE_TO, GMIME_ADDRESS_TYPE_CC, GMIME_ADDRESS_TYPE_BCC})
        collect(g_mime_message_get_addresses(parsed.get(), type), out.recipients);
    Result<std::string> stripped = editHeaders(message, {{"Bcc", ""}});
    if (!stripped) return stripped.status();
    out.bytes = std::move(*stripped);
    return out;
}

}  // namespace vesk::store::detail
