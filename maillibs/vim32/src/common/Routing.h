// Where a recipient of a new message goes: a user of the post office (delivered straight into
// that user's Maildir) or an Internet address (queued for the post office's gateway).
//
// The recipient's address decides, or its display name when the address is empty:
//   "user@host at GATEWAY"  GATEWAY must be this post office's gateway; then as "user@host"
//   "user@host"             the user whose Internet address it is, else Internet mail
//   anything else           a user of the post office, by name or display name
#pragma once

#include "common/Objects.h"

namespace vesk::vim32 {

/// Fills `route` (class not set) for `recipient`: NAME_NOT_FOUND for an unknown user, an
/// unknown gateway or Internet mail in a post office without a gateway; BAD_PARAM for an
/// empty or unusable address.
vimStatus routeOf(const PostOffice& office, const vimRecipient& recipient, Route& route);

/// True when both routes reach the same mailbox.
bool sameDestination(const Route& a, const Route& b);

}  // namespace vesk::vim32
