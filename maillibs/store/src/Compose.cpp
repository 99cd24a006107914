#include "Compose.h"

#include <unistd.h>

#include "Cp1252.h"
#include "GMimeSetup.h"
#include "PriorityHeaders.h"

namespace vesk::store::detail {
namespace {

std::string utf8(std::string_view cp1252) { return cp1252ToUtf8(cp1252); }

// Header values are one line; a line break typed into a name or subject becomes a blank.
std::string headerUtf8(std::string_view cp1252) {
    std::string out = utf8(cp1252);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

void addAddresses(GMimeMessage* m, GMimeAddressType type, const std::vector<Address>& list) {
    InternetAddressList* target = g_mime_message_get_addresses(m, type);
    for (const Address& a : list) {
        std::string name = headerUtf8(a.name);
        std::string address = headerUtf8(a.address);
        if (address.empty() && name.empty()) continue;
        GRef<InternetAddress> entry(address.empty()
                                        ? internet_address_group_new(name.c_str())
                                        : internet_address_mailbox_new(name.empty() ? nullptr : name.c_str(),
                                                                       address.c_str()));
        internet_address_list_add(target, entry.get());
    }
}

std::string hostName() {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') return "localhost";
    return host;
}

GRef<GMimePart> textPart(std::string_view bodyCp1252) {
    std::string text = toLf(utf8(bodyCp1252));
    GRef<GMimePart> part(g_mime_part_new_with_type("text", "plain"));
    GMimeObject* object = GMIME_OBJECT(part.get());
    g_mime_object_set_content_type_parameter(object, "charset", isAscii(text) ? "us-ascii" : "utf-8");
    GRef<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(text.data(), text.size()));
    GRef<GMimeDataWrapper> content(g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part.get(), content.get());
    // Quoted-printable rather than base64 even for mostly non-ASCII text: it stays readable
    // in the file and in any tool that shows the raw message.
    GMimeContentEncoding encoding = g_mime_part_get_best_content_encoding(part.get(), GMIME_ENCODING_CONSTRAINT_7BIT);
    if (encoding == GMIME_CONTENT_ENCODING_BASE64) encoding = GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE;
    g_mime_part_set_content_encoding(part.get(), encoding);
    return part;
}

}  // namespace

Result<std::string> composeMessage(const Draft& draft) {
    ensureGMime();
    if ((draft.readReceipt || draft.deliveryReport) && draft.from.address.empty()) return Status::InvalidArgument;

    GRef<GMimeMessage> message(g_mime_message_new(TRUE));
    GMimeMessage* m = message.get();
    GMimeObject* top = GMIME_OBJECT(m);

    addAddresses(m, GMIME_ADDRESS_TYPE_FROM, {draft.from});
    addAddresses(m, GMIME_ADDRESS_TYPE_TO, draft.to);
    addAddresses(m, GMIME_ADDRESS_TYPE_CC, draft.cc);
    addAddresses(m, GMIME_ADDRESS_TYPE_BCC, draft.bcc);
    g_mime_message_set_subject(m, headerUtf8(draft.subject).c_str(), "utf-8");

    GDateTime* date = g_date_time_new_from_unix_local(draft.date != 0 ? draft.date : ::time(nullptr));
    g_mime_message_set_date(m, date);
    g_date_time_unref(date);

    if (!draft.messageId.empty()) {
        g_mime_message_set_message_id(m, headerUtf8(draft.messageId).c_str());
    } else {
        char* id = g_mime_utils_generate_message_id(hostName().c_str());
        g_mime_message_set_message_id(m, id);
        g_free(id);
    }

    for (const HeaderEdit& e : priorityEdits(draft.priority)) {
        if (!e.value.empty()) g_mime_object_set_header(top, e.name.c_str(), e.value.c_str(), nullptr);
    }
    if (draft.readReceipt || draft.deliveryReport) {
        std::string sender(1, '<');
        sender += headerUtf8(draft.from.address);
        sender += '>';
        if (draft.readReceipt) g_mime_object_set_header(top, "Disposition-Notification-To", sender.c_str(), nullptr);
        if (draft.deliveryReport) g_mime_object_set_header(top, "Return-Receipt-To", sender.c_str(), nullptr);
    }

    GRef<GMimePart> body = textPart(draft.body);
    g_mime_message_set_mime_part(m, GMIME_OBJECT(body.get()));

    GMimeFormatOptions* format = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(format, GMIME_NEWLINE_FORMAT_UNIX);
    char* text = g_mime_object_to_string(top, format);
    g_mime_format_options_free(format);
    if (!text) return Status::OutOfMemory;
    std::string out(text);
    g_free(text);
    return out;
}

}  // namespace vesk::store::detail
