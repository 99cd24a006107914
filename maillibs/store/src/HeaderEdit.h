// Rewriting header fields of a message in place: only the named fields change, every other
// byte (other headers, their order and folding, the body) stays as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/Status.h"
#include "store/Store.h"

namespace vesk::store::detail {

/// True when `name` is a header field name (printable ASCII without ':' or blanks) and
/// `value` holds only printable ASCII and blanks.
bool validHeaderEdit(const HeaderEdit& edit);

/// Applies `edits` to the header of `message`: every field named by an edit (any case) is
/// removed with its continuation lines, then each edit with a value is appended at the end
/// of the header, using the message's own line end (LF or CR LF). A message without an
/// empty line is all header. InvalidArgument when an edit is not valid.
Result<std::string> editHeaders(std::string_view message, const std::vector<HeaderEdit>& edits);

}  // namespace vesk::store::detail
