// Which parts of a MIME tree are the body and which are attachments. Reading a message and
// fetching an attachment's bytes walk the tree the same way, so attachment indexes agree.
#pragma once

#include <gmime/gmime.h>

#include <functional>

namespace vesk::store::detail {

enum class PartRole {
    PlainBody,   ///< an inline text/plain part without a file name
    HtmlBody,    ///< an inline text/html part without a file name
    Attachment,  ///< anything with a file name or "attachment" disposition, any other leaf,
                 ///< and every message/rfc822 part
};

/// Calls `visit(part, role)` for every leaf of `message` that a reader would see, in MIME
/// order. Of a multipart/alternative only one branch is visited: the text/plain one, else a
/// nested multipart, else text/html, else the last. `visit` returns false to stop the walk.
void walkParts(GMimeMessage* message, const std::function<bool(GMimeObject*, PartRole)>& visit);

}  // namespace vesk::store::detail
