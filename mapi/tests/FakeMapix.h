// A recording stand-in for the ten Extended MAPI entry points and the interfaces they hand
// out. Every call is kept by name ("Session.OpenAddressBook", "HrQueryAllRows", ...) in order;
// any call can be made to fail by name; objects count their references and allocations follow
// MAPIAllocateBuffer/MAPIAllocateMore chains, so a test sees exactly what was left open or
// freed wrongly. The store behind it is a scripted inbox.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "MapiBinding.h"

namespace fakemapix {

/// One property: its tag and, by the tag's type, a number, a text or bytes.
struct Prop {
    ULONG tag = 0;
    LONG number = 0;     ///< PT_LONG, PT_BOOLEAN, PT_ERROR
    std::string data;    ///< PT_STRING8 text or PT_BINARY bytes
    FILETIME time{};     ///< PT_SYSTIME
};
using Props = std::vector<Prop>;
Prop number(ULONG tag, LONG value);
Prop text(ULONG tag, const std::string& value);
Prop bytes(ULONG tag, const std::string& value);
Prop time(ULONG tag, uint64_t fileTime);
/// The property `tag` of `props`, or null.
const Prop* find(const Props& props, ULONG tag);

/// A message of the scripted inbox.
struct StoredMessage {
    std::string entryId;
    Props props;                     ///< contents-table columns (PR_ENTRYID is added)
    std::string body;
    bool hasBody = true;
    std::vector<Props> recipients;   ///< rows of the recipient table
    std::vector<Props> attachments;  ///< rows of the attachment table
    ULONG objectType = MAPI_MESSAGE;
};

/// A message the backend created, as it was set up.
struct Made {
    std::string folder;                                    ///< "inbox" or "outbox"
    Props props;                                           ///< every SetProps value, in order
    std::vector<std::pair<ULONG, std::vector<Props>>> recipientCalls;  ///< ModifyRecipients flags and entries
    bool submitted = false;
    bool saved = false;
};

/// What the fake answers.
struct Script {
    std::string failAt;          ///< the call that fails ("Table.QueryRows", "MAPILogonEx", ...)
    int failOccurrence = 0;      ///< which occurrence of it fails (0: the first)
    HRESULT failResult = MAPI_E_CALL_FAILED;
    int failAllocation = -1;     ///< the allocation (counted from 0) that fails; -1 none
    bool defaultStore = true;    ///< the stores table has a default-store row
    ULONG folderType = MAPI_FOLDER;
    bool spooler = true;         ///< the status table has a spooler row
    bool identityEntryIdError = false;  ///< the identity's PR_ENTRYID comes back as PT_ERROR
    bool resolves = false;       ///< ResolveName succeeds (entries become resolved ones)
    ULONG bodyLimit = 4096;      ///< GetProps refuses longer bodies (MAPI_E_NOT_ENOUGH_MEMORY)
    std::vector<StoredMessage> inbox;
    std::vector<Props> profiles;  ///< rows of the profile table
};

Script& script();
/// The calls, in order.
std::vector<std::string>& calls();
/// Calls whose name starts with `prefix`, in order.
std::vector<std::string> callsStartingWith(const std::string& prefix);
/// Details recorded on the way: "ReadFlag=4", "Stream.Read=65535", "CopyMessages=3",
/// "Logon=<profile>/<flags>".
std::vector<std::string>& details();
/// Misuses seen: freeing a block that is not a root, MAPIAllocateMore on a non-root, ...
std::vector<std::string>& misuses();
std::vector<Made>& made();
/// Messages moved out of the inbox, by entry identifier.
std::vector<std::string>& deleted();
/// Objects handed out and not yet released; root blocks not yet freed.
int liveObjects();
int liveBuffers();
/// Names of the live objects.
std::vector<std::string> liveObjectNames();
/// Makes the next call of `name` fail (whatever number of calls it had before).
void failNext(const std::string& name);
/// Makes the allocation `skip` allocations from now fail (0: the next one).
void failAllocationAfter(int skip);
/// Clears everything (objects still live are reported by liveObjects until then).
void reset();

/// The table with the ten fake entry points.
MapiFunctions functions();

}  // namespace fakemapix
