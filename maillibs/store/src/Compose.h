// Writing a message from the store's draft model.
#pragma once

#include <string>

#include "store/Model.h"
#include "store/Status.h"

namespace vesk::store::detail {

/// Composes `draft` as an RFC 5322 message with LF line ends: From, To, Cc, Bcc, Subject
/// (RFC 2047 where needed), Date (`draft.date`, or now), Message-ID (given or generated),
/// X-Priority and Importance for a high or low priority, Disposition-Notification-To and
/// Return-Receipt-To with the sender for the receipts, and one text/plain body part in UTF-8
/// (US-ASCII when it is), quoted-printable where 7 bits do not suffice. A recipient without
/// an address is written as an empty group of its name. InvalidArgument when a receipt is
/// asked for without a sender address.
Result<std::string> composeMessage(const Draft& draft);

}  // namespace vesk::store::detail
