// What one logged-on Extended MAPI session holds open: the session, the default store, the
// inbox, outbox and deleted-items folders, the address book and the spooler status, with the
// entry identifiers of the five standard folders. Made by Logon, torn down by Logoff, by a
// failed Logon and by the host object's destructor.
#pragma once

#include "MapiBinding.h"

/// Slots of the folder identifiers and folders, in the order the store names them.
enum MapiFolderSlot : int {
    kMapiInbox = 0,
    kMapiOutbox = 1,
    kMapiDeletedItems = 2,
    kMapiSentItems = 3,
    kMapiSubtree = 4,
    kMapiFolderSlots = 5
};

struct OpenMailbox {
    LPMAPISESSION session = nullptr;
    /// One MAPIAllocateBuffer block of five binary values; each value's bytes are allocated
    /// with MAPIAllocateMore on this block, so one MAPIFreeBuffer frees them all.
    SBinary* folderIds = nullptr;
    /// Inbox, outbox and deleted items are opened at logon; the other two stay null.
    LPMAPIFOLDER folders[kMapiFolderSlots] = {};
    LPADRBOOK addressBook = nullptr;
    LPMDB store = nullptr;
    /// The spooler's status object, held for the session's life.
    LPMAPISTATUS spoolerStatus = nullptr;
    /// The logged-on user's properties (PR_ENTRYID first), read on the first submission.
    LPSPropValue identity = nullptr;
    ULONG identityCount = 0;
};

/// Frees and releases everything `mailbox` holds, in the order the session needs (identity,
/// spooler status, the five folders, address book, store, session, identifier block), and
/// leaves it empty. The session is released without logging off.
void TearDownMailbox(const MapiFunctions& mapi, OpenMailbox& mailbox);

/// Copies binary value `source` into `target`: the bytes are allocated with MAPIAllocateMore
/// on `parent`, or with MAPIAllocateBuffer when `parent` is null. A count of 0 succeeds and
/// leaves the target's pointer as it was. The allocation's result.
HRESULT CopyBinaryValue(const MapiFunctions& mapi, SBinary& target, const SBinary& source, LPVOID parent);
