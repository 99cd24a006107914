// Which parts of a MIME tree are the body and which are attachments. Reading a message and
// fetching an attachment's bytes walk the tree the same way, so attachment indexes agree.
#pragma once

#include <gmime/gmime.h>

#include <functional>

namespace vesk::store::detail {

enum class PartRole {
    PlainBody,   ///< an inline text part other than HTML (file name or not); a part whose
                 ///< type is unknown or unreadable and has no file name (read as text/plain);
                 ///< a multipart without parts (its prologue is the text)
    HtmlBody,    ///< an inline text/html part
    Attachment,  ///< anything with "attachment" disposition, any other leaf with a file name
                 ///< or a known non-text type, and every message/rfc822 part
};

/// Calls `visit(part, role)` for every leaf of `message` that a reader would see, in MIME
/// order. Of a multipart/alternative only one branch is visited: the text/plain one, else a
/// nested multipart, else text/html, else the last. `visit` returns false to stop the walk.
void walkParts(GMimeMessage* message, const std::function<bool(GMimeObject*, PartRole)>& visit);

}  // namespace vesk::store::detail
