#include "MimeWalk.h"

#include <cstring>

namespace vesk::store::detail {
namespace {

bool isType(GMimeObject* object, const char* type, const char* subtype) {
    GMimeContentType* ct = g_mime_object_get_content_type(object);
    return ct && g_mime_content_type_is_type(ct, type, subtype);
}

// The top-level media types of RFC 2046 and later; anything else is unknown.
bool isKnownMediaType(const char* type) {
    static constexpr const char* kKnown[] = {"text", "image", "audio", "video", "application",
                                             "message", "multipart", "model", "font"};
    for (const char* known : kKnown)
        if (type && g_ascii_strcasecmp(type, known) == 0) return true;
    return false;
}

// GMime makes application/octet-stream of a Content-Type it cannot parse (no subtype,
// stray characters); RFC 2045 says such a part is text/plain.
bool typeIsUnreadable(GMimeObject* object) {
    const char* raw = g_mime_object_get_header(object, "Content-Type");
    if (!raw || !isType(object, "application", "octet-stream")) return false;
    while (*raw == ' ' || *raw == '\t') ++raw;
    return g_ascii_strncasecmp(raw, "application/octet-stream", 24) != 0;
}

PartRole roleOf(GMimeObject* object) {
    if (!GMIME_IS_PART(object)) return PartRole::Attachment;
    const char* disposition = g_mime_object_get_disposition(object);
    bool attached = disposition && g_ascii_strcasecmp(disposition, "attachment") == 0;
    if (attached) return PartRole::Attachment;
    // Mail readers show every inline text part in the text, file name or not.
    if (isType(object, "text", "html")) return PartRole::HtmlBody;
    if (isType(object, "text", "*")) return PartRole::PlainBody;
    if (g_mime_part_get_filename(GMIME_PART(object))) return PartRole::Attachment;
    GMimeContentType* ct = g_mime_object_get_content_type(object);
    if (!ct || !isKnownMediaType(g_mime_content_type_get_media_type(ct)) || typeIsUnreadable(object))
        return PartRole::PlainBody;
    return PartRole::Attachment;
}

GMimeObject* chooseAlternative(GMimeMultipart* alternative) {
    int count = g_mime_multipart_get_count(alternative);
    GMimeObject* nested = nullptr;
    GMimeObject* html = nullptr;
    for (int i = 0; i < count; ++i) {
        GMimeObject* child = g_mime_multipart_get_part(alternative, i);
        if (GMIME_IS_MULTIPART(child)) {
            if (!nested) nested = child;
            continue;
        }
        PartRole role = roleOf(child);
        if (role == PartRole::PlainBody) return child;
        if (role == PartRole::HtmlBody && !html) html = child;
    }
    if (nested) return nested;
    if (html) return html;
    return count > 0 ? g_mime_multipart_get_part(alternative, count - 1) : nullptr;
}

bool walk(GMimeObject* object, const std::function<bool(GMimeObject*, PartRole)>& visit, int depth) {
    if (!object) return true;
    // Deeper nesting than any real mail uses is a crafted message; stop descending there.
    if (depth > 64) return true;
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        if (isType(object, "multipart", "alternative"))
            return walk(chooseAlternative(multipart), visit, depth + 1);
        int count = g_mime_multipart_get_count(multipart);
        // No usable boundary: everything GMime found is the prologue, and that is the text.
        if (count == 0) return visit(object, PartRole::PlainBody);
        for (int i = 0; i < count; ++i) {
            if (!walk(g_mime_multipart_get_part(multipart, i), visit, depth + 1)) return false;
        }
        return true;
    }
    return visit(object, roleOf(object));
}

}  // namespace

void walkParts(GMimeMessage* message, const std::function<bool(GMimeObject*, PartRole)>& visit) {
    walk(g_mime_message_get_mime_part(message), visit, 0);
}

}  // namespace vesk::store::detail
