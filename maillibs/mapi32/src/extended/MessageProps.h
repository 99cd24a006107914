// A stored message as properties: what contents-table rows and opened messages show, and
// the rows of its recipient and attachment tables.
#pragma once

#include <vector>

#include "extended/Mailbox.h"
#include "extended/Props.h"
#include "store/Model.h"

namespace vesk::mapi32::ex {

/// The properties of message `info` of `role`'s folder. With `message` (read at least in
/// ReadMode::Headers) the header fields too; with `withBody` also PR_BODY.
PropList messageProps(const Mailbox& mailbox, FolderRole role, const store::MessageInfo& info,
                      const store::Message* message, bool withBody);

/// One mail user's properties (address book entries, recipients, the identity).
PropList mailUserProps(const Mailbox& mailbox, const std::string& name, const std::string& address);

/// The recipient rows of `message`: To, then Cc, then Bcc, PR_ROWID counting from 0.
std::vector<PropList> recipientRows(const Mailbox& mailbox, const store::Message& message);

/// The attachment rows of `message`, PR_ATTACH_NUM counting from 0.
std::vector<PropList> attachmentRows(const store::Message& message);

/// PR_IMPORTANCE of a store priority, and back (values outside 0-2 give nothing).
LONG importanceOf(store::Priority priority);
std::optional<store::Priority> priorityOf(LONG importance);

/// A search key: "SMTP:" and the address in capitals, with its NUL.
std::string searchKeyOf(const std::string& address);

}  // namespace vesk::mapi32::ex
