// What happens to an object as its handle goes: a message being composed that was neither
// submitted nor filed is filed in its user's mailbox, so closing never loses what was written.
#pragma once

#include "common/Objects.h"

namespace vesk::vim32 {

/// Files the unsent message `message` in its user's mailbox (read; a draft with the Draft
/// flag) unless that happened already. VIMSTS_WRITE_FAILURE when the store refuses (logged).
vimStatus fileUnsent(Message& message);

/// The hook every close passes to the handle table.
void onClose(Object& object);

}  // namespace vesk::vim32
