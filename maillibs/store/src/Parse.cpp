#include "Parse.h"

#include <cstring>
#include <optional>
#include <vector>

#include "Charset.h"
#include "Cp1252.h"
#include "GMimeSetup.h"
#include "Html.h"
#include "MessageShape.h"
#include "MimeWalk.h"
#include "PriorityHeaders.h"

namespace vesk::store::detail {
namespace {

// Header texts are single lines: folding and stray control characters become blanks.
std::string headerText(const char* utf8) {
    if (!utf8) return {};
    std::string out = utf8ToCp1252(utf8);
    for (char& c : out) {
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    }
    std::erase(out, '\0');
    return out;
}

void appendAddresses(InternetAddressList* list, std::vector<Address>& out, int depth = 0) {
    if (!list || depth > 8) return;
    int count = internet_address_list_length(list);
    for (int i = 0; i < count; ++i) {
        InternetAddress* a = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(a)) {
            out.push_back({headerText(internet_address_get_name(a)),
                           headerText(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(a)))});
        } else if (INTERNET_ADDRESS_IS_GROUP(a)) {
            InternetAddressList* members = internet_address_group_get_members(INTERNET_ADDRESS_GROUP(a));
            // An empty group is how a name without an address is written; keep the name.
            if (!members || internet_address_list_length(members) == 0)
                out.push_back({headerText(internet_address_get_name(a)), {}});
            else
                appendAddresses(members, out, depth + 1);
        }
    }
}

std::vector<Address> addresses(GMimeMessage* m, GMimeAddressType type) {
    std::vector<Address> out;
    appendAddresses(g_mime_message_get_addresses(m, type), out);
    return out;
}

std::string unfold(const char* raw) {
    std::string out;
    if (!raw) return out;
    for (const char* p = raw; *p; ++p) out += (*p == '\r' || *p == '\n') ? ' ' : *p;
    return out;
}

std::time_t topReceived(GMimeObject* object) {
    GMimeHeaderList* headers = g_mime_object_get_header_list(object);
    int count = g_mime_header_list_get_count(headers);
    for (int i = 0; i < count; ++i) {
        GMimeHeader* h = g_mime_header_list_get_header_at(headers, i);
        if (g_ascii_strcasecmp(g_mime_header_get_name(h), "Received") != 0) continue;
        std::string value = unfold(g_mime_header_get_raw_value(h));
        std::size_t semi = value.rfind(';');
        if (semi == std::string::npos) return 0;
        GDateTime* date = g_mime_utils_header_decode_date(value.c_str() + semi + 1);
        if (!date) return 0;
        std::time_t t = static_cast<std::time_t>(g_date_time_to_unix(date));
        g_date_time_unref(date);
        return t;
    }
    return 0;
}

Priority priorityOf(GMimeObject* object) {
    if (const char* v = g_mime_object_get_header(object, "X-Priority"))
        if (auto p = fromXPriority(v)) return *p;
    if (const char* v = g_mime_object_get_header(object, "Importance"))
        if (auto p = fromImportance(v)) return *p;
    if (const char* v = g_mime_object_get_header(object, "Priority"))
        if (auto p = fromPriority(v)) return *p;
    return Priority::Normal;
}

std::string attachmentName(GMimeObject* object) {
    const char* name = nullptr;
    if (GMIME_IS_PART(object)) {
        name = g_mime_part_get_filename(GMIME_PART(object));
    } else {
        name = g_mime_object_get_content_disposition_parameter(object, "filename");
        if (!name) name = g_mime_object_get_content_type_parameter(object, "name");
    }
    return headerText(name);
}

std::string contentTypeOf(GMimeObject* object) {
    GMimeContentType* ct = g_mime_object_get_content_type(object);
    if (!ct) return "application/octet-stream";
    std::string out = g_mime_content_type_get_media_type(ct);
    out += '/';
    out += g_mime_content_type_get_media_subtype(ct);
    for (char& c : out) c = static_cast<char>(g_ascii_tolower(c));
    return out;
}

std::string bodyText(GMimeObject* object, PartRole role) {
    if (GMIME_IS_MULTIPART(object)) {
        const char* prologue = g_mime_multipart_get_prologue(GMIME_MULTIPART(object));
        return prologue ? decodeToUtf8(prologue, "") : std::string();
    }
    std::string raw = partContent(GMIME_PART(object));
    const char* charset = g_mime_object_get_content_type_parameter(object, "charset");
    std::string utf8 = decodeToUtf8(raw, charset ? charset : "");
    if (role == PartRole::HtmlBody) utf8 = htmlToText(utf8);
    return utf8;
}

// A message for any bytes: mended into a shape GMime reads as mail readers do, and what
// GMime still finds no message in (nothing, or nothing but junk) read as a body under an
// empty header.
GRef<GMimeMessage> readAnyMessage(std::string_view bytes) {
    std::optional<std::string> mended = mendMessageShape(bytes);
    std::string_view input = mended ? std::string_view(*mended) : bytes;
    GRef<GMimeMessage> parsed = parseBytes(input.data(), input.size());
    if (parsed) return parsed;
    std::string bodyOnly = "\n" + std::string(input);
    return parseBytes(bodyOnly.data(), bodyOnly.size());
}

// The attachments of the message last asked about. Callers fetch a message's attachments one
// after another; parsing it again for each would cost its size times their number.
struct AttachmentCache {
    std::string bytes;
    GRef<GMimeMessage> message;
    std::vector<GMimeObject*> parts;  // owned by `message`
};

AttachmentCache& attachmentCache() {
    thread_local AttachmentCache cache;
    return cache;
}

// Keeps `message`, parsed from `bytes`, for the attachment fetches that follow its read.
void rememberAttachments(std::string_view bytes, GRef<GMimeMessage> message, std::vector<GMimeObject*> parts) {
    AttachmentCache& cache = attachmentCache();
    cache.message.reset();
    cache.parts = std::move(parts);
    cache.bytes.assign(bytes);
    cache.message = std::move(message);
}

const std::vector<GMimeObject*>* attachmentParts(std::string_view bytes) {
    AttachmentCache& cache = attachmentCache();
    if (cache.message && cache.bytes == bytes) return &cache.parts;
    GRef<GMimeMessage> message = readAnyMessage(bytes);
    if (!message) return nullptr;
    std::vector<GMimeObject*> parts;
    walkParts(message.get(), [&](GMimeObject* part, PartRole role) {
        if (role == PartRole::Attachment) parts.push_back(part);
        return true;
    });
    rememberAttachments(bytes, std::move(message), std::move(parts));
    return &cache.parts;
}

}  // namespace

std::string modelText(std::string_view utf8) {
    std::string text = toCrlf(utf8ToCp1252(utf8));
    // The texts end at a NUL where the plug-ins read them; a reader shows none either.
    std::erase(text, '\0');
    return text;
}

Result<Message> parseMessage(std::string_view bytes, ReadMode mode, std::time_t& receivedHeader) {
    receivedHeader = 0;
    GRef<GMimeMessage> parsed = readAnyMessage(bytes);
    if (!parsed) return Status::ParseError;
    GMimeMessage* m = parsed.get();
    GMimeObject* top = GMIME_OBJECT(m);

    Message out;
    std::vector<Address> from = addresses(m, GMIME_ADDRESS_TYPE_FROM);
    if (!from.empty()) out.from = std::move(from.front());
    out.to = addresses(m, GMIME_ADDRESS_TYPE_TO);
    out.cc = addresses(m, GMIME_ADDRESS_TYPE_CC);
    out.bcc = addresses(m, GMIME_ADDRESS_TYPE_BCC);
    out.subject = headerText(g_mime_message_get_subject(m));
    if (GDateTime* date = g_mime_message_get_date(m)) out.sent = static_cast<std::time_t>(g_date_time_to_unix(date));
    receivedHeader = topReceived(top);
    out.priority = priorityOf(top);
    out.readReceipt = g_mime_object_get_header(top, "Disposition-Notification-To") != nullptr;
    out.deliveryReport = g_mime_object_get_header(top, "Return-Receipt-To") != nullptr;
    if (const char* id = g_mime_message_get_message_id(m)) out.messageId = headerText(id);

    std::string body;
    std::vector<GMimeObject*> attachmentObjects;
    walkParts(m, [&](GMimeObject* part, PartRole role) {
        if (role == PartRole::Attachment) {
            out.attachments.push_back({attachmentName(part), contentTypeOf(part)});
            attachmentObjects.push_back(part);
        } else if (mode == ReadMode::Full) {
            std::string text = bodyText(part, role);
            if (!body.empty() && body.back() != '\n' && !text.empty()) body += '\n';
            body += text;
        }
        return true;
    });
    out.body = modelText(body);
    // A message with attachments is usually read for them next: keep this parse for that.
    if (!attachmentObjects.empty()) rememberAttachments(bytes, std::move(parsed), std::move(attachmentObjects));
    return out;
}

Result<std::string> attachmentBytes(std::string_view bytes, std::size_t index) {
    const std::vector<GMimeObject*>* parts = attachmentParts(bytes);
    if (!parts) return Status::ParseError;
    std::optional<std::string> found;
    if (index < parts->size()) {
        GMimeObject* part = (*parts)[index];
        if (GMIME_IS_PART(part)) {
            found = partContent(GMIME_PART(part));
        } else if (GMIME_IS_MESSAGE_PART(part)) {
            GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(part));
            found = inner ? objectBytes(GMIME_OBJECT(inner)) : std::string();
        } else {
            found = std::string();
        }
    }
    if (!found) return Status::NotFound;
    return std::move(*found);
}

}  // namespace vesk::store::detail
