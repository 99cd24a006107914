// A new message's properties and recipient rows turned into a message for the store to
// compose: for filing (SaveChanges) or for sending (SubmitMessage).
#pragma once

#include <vector>

#include "extended/Mailbox.h"
#include "extended/Props.h"
#include "store/Model.h"

namespace vesk::mapi32::ex {

enum class DraftUse {
    Filing,   ///< a recipient without a usable address keeps its name
    Sending,  ///< every recipient needs an address; the sender is the account's user
};

/// Fills `draft` from `props` and `recipients`. S_OK; MAPI_E_INVALID_PARAMETER (with the
/// recipient named in the problem log) when a recipient cannot be sent to.
HRESULT draftOf(const Mailbox& mailbox, const PropList& props, const std::vector<PropList>& recipients, DraftUse use,
                store::Draft& draft);

/// Line ends as the store takes them: a lone CR or LF becomes CR LF.
std::string crlfText(const std::string& text);

}  // namespace vesk::mapi32::ex
