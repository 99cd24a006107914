// Turns a message of the store into the one allocation chain MAPIReadMail hands out.
#pragma once

#include <string>
#include <vector>

#include "mapi32/mapi.h"
#include "store/Model.h"

namespace vesk::mapi32 {

/// What the caller asked to receive.
struct ReadShape {
    bool noteText = true;               ///< false with MAPI_ENVELOPE_ONLY
    std::vector<std::string> filePaths; ///< one per attachment, empty when no file was written
};

/// A MapiMessage for `message` as one chain (freed by one MAPIFreeBuffer), or null when
/// memory runs out (nothing is left allocated then).
lpMapiMessage buildMapiMessage(const store::Message& message, const ReadShape& shape);

}  // namespace vesk::mapi32
