// A recording stand-in for the nine Simple MAPI calls: every call is kept with deep copies of
// its arguments (NULL and empty texts told apart), results are scripted per call, and
// MAPIReadMail hands out messages built from a scripted inbox, attachment files included.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "SmapiBinding.h"

namespace fakemapi {

/// A text argument as it arrived: nothing for NULL.
using Text = std::optional<std::string>;

struct Recip {
    ULONG recipClass = 0;
    Text name;
    Text address;
    std::string entryId;  ///< the bytes, empty for none
};

struct Message {
    Text subject;
    Text noteText;
    FLAGS flags = 0;
    ULONG recipCount = 0;
    std::vector<Recip> recips;
    std::optional<Recip> originator;
    Text dateReceived;
};

/// One call as the fake saw it.
struct Call {
    std::string function;
    LHANDLE session = 0;
    FLAGS flags = 0;
    Text text;      ///< profile (Logon), seed (FindNext), identifier, or name (ResolveName)
    Text password;  ///< MAPILogon
    Text type;      ///< MAPIFindNext's message type
    std::optional<Message> message;
};

/// A message of the scripted inbox, as MAPIReadMail hands it out.
struct Stored {
    std::string id;
    Text subject;
    Text noteText;
    Text date;
    FLAGS flags = 0;
    std::optional<Recip> originator;
    std::vector<Recip> recips;
    std::vector<std::string> attachments;  ///< file names; a file is written for each
};

/// What the fake answers.
struct Script {
    ULONG logonResult = SUCCESS_SUCCESS;
    LHANDLE sessionHanded = 0x1234;
    ULONG logoffResult = SUCCESS_SUCCESS;
    ULONG sendResult = SUCCESS_SUCCESS;
    ULONG saveResult = SUCCESS_SUCCESS;
    ULONG deleteResult = SUCCESS_SUCCESS;
    ULONG readResult = SUCCESS_SUCCESS;       ///< for every MAPIReadMail
    std::string failReadOf;                    ///< the identifier whose read fails, if any
    ULONG findFailure = SUCCESS_SUCCESS;       ///< a failure MAPIFindNext gives after the inbox
    std::vector<Stored> inbox;
    std::map<std::string, Recip> book;        ///< lower-case name -> the entry ResolveName gives
    std::string attachmentFolder;             ///< where ReadMail writes attachment files
};

Script& script();
std::vector<Call>& calls();
/// The names of the calls, in order.
std::vector<std::string> callNames();
/// Clears the script and the recorded calls.
void reset();
/// Buffers handed out and not yet freed.
int outstandingBuffers();
/// Paths of every attachment file ReadMail wrote.
std::vector<std::string>& writtenFiles();

/// The table with the nine fake functions.
SmapiFunctions functions();

}  // namespace fakemapi
