// The array of records that GetAllMsgs hands out, and its release through FreeMailMsg.
#pragma once

#include <memory>
#include <vector>

#include "framework/Msg.h"

/// The messages a backend gathered, in the order the mail system lists them.
using CMsgList = std::vector<std::unique_ptr<CMsg>>;

/// Converts `msgs` (consumed: each CMsg is destroyed once converted) into a dense array of
/// records, each with the came-from-host bit set, and stores it at `*msgsOut` with its length
/// at `*countOut`.
///
/// `*countOut` is set to 0 first. An empty list hands out nothing and leaves `*msgsOut` as it
/// was (MAILHOST_OK). When the array or any record cannot be allocated, everything built so far
/// is freed, `*msgsOut` is left as it was, `*countOut` stays 0 and MAILHOST_OUT_OF_MEMORY comes
/// back: a mailbox handed out with messages missing would read to the conduit as if those
/// messages had been deleted on the desktop.
int BuildMailMsgArray(CMsgList&& msgs, MailMsg*** msgsOut, int* countOut);

/// Frees the first `count` records of `msgs` (null entries skipped) and then the array.
/// MAILHOST_NULL_ARGUMENT when `msgs` is null (nothing freed), else MAILHOST_OK.
int FreeMailMsgArray(MailMsg** msgs, int count);
