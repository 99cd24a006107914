// How addresses on disk appear to callers: the address of a user of the post office is shown
// as that user's name (so a reply reaches them through the post office); any other address
// as it is.
#pragma once

#include <string>

#include "common/PostOffice.h"
#include "store/Model.h"
#include "vim32/vim.h"

namespace vesk::vim32 {

std::string nativeAddress(const PostOffice& office, const std::string& address);
/// A recipient record for `who` as read from a message.
vimRecipient recipientOf(const PostOffice& office, const store::Address& who);

}  // namespace vesk::vim32
