// The test bench of the vim32 conformance tests: a temporary desktop ($VESK_HOME) with a real
// post office made by the vim32-postoffice tool, and the library loaded as a client loads it,
// by module name through the platform loader, its calls found by ordinal. The tests speak to
// the library through vim.h only.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "store/Store.h"
#include "vim32/vim.h"
#include "win32/Module.h"

namespace vimtest {

/// The thirty calls, found by ordinal.
struct Vim {
    PVIMINITIALIZE Initialize;
    PVIMQUERYCAPABILITY QueryCapability;
    PVIMGETDEFAULTSESSIONINFO GetDefaultSessionInfo;
    PVIMOPENSESSION OpenSession;
    PVIMGETENTITYNAME GetEntityName;
    PVIMCLOSESESSION CloseSession;
    PVIMTERMINATE Terminate;
    PVIMCREATEMESSAGE CreateMessage;
    PVIMSETMESSAGEHEADER SetMessageHeader;
    PVIMSETMESSAGERECIPIENT SetMessageRecipient;
    PVIMSETMESSAGEITEM SetMessageItem;
    PVIMSENDMESSAGE SendMessage;
    PVIMCLOSEMESSAGE CloseMessage;
    PVIMOPENMESSAGECONTAINER OpenMessageContainer;
    PVIMENUMERATEMESSAGES EnumerateMessages;
    PVIMENUMERATEMSGATTRVALUES EnumerateMsgAttrValues;
    PVIMCLOSEMESSAGECONTAINER CloseMessageContainer;
    PVIMOPENMESSAGE OpenMessage;
    PVIMMARKMESSAGEASREAD MarkMessageAsRead;
    PVIMENUMERATEMESSAGEITEMS EnumerateMessageItems;
    PVIMOPENMESSAGEITEM OpenMessageItem;
    PVIMREADMESSAGEITEM ReadMessageItem;
    PVIMCLOSEMESSAGEITEM CloseMessageItem;
    PVIMENUMERATEMESSAGERECIPIENTS EnumerateMessageRecipients;
    PVIMENUMERATEADDRESSBOOKS EnumerateAddressBooks;
    PVIMOPENADDRESSBOOK OpenAddressBook;
    PVIMMATCHADDRESSBOOK MatchAddressBook;
    PVIMGETABENTRYATTRIBUTES GetABEntryAttributes;
    PVIMCLOSEADDRESSBOOK CloseAddressBook;
    PVIMSETMESSAGECATEGORY SetMessageCategory;
};

/// A message file: RFC 5322 text with LF line ends.
std::string message(const std::string& from, const std::string& to, const std::string& subject,
                    const std::string& body, const std::string& extraHeaders = "");

/// A recipient record with a display name and an address.
vimRecipient recipient(const std::string& displayName, const std::string& address);

class VimFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Runs the post office tool with `args` (the password, if "-", from `input`); its exit status.
    int tool(const std::vector<std::string>& args, const std::string& input = "");
    /// The post office "HARBOUR" (gateway "INTERNET") in $VESK_HOME/po with users teo
    /// (password "harbour7", Teo Varga, teo.varga@example.org) and mira ("tide4", Mira Sand,
    /// no Internet address), the default login teo.
    void makeStandardPostOffice();
    /// A user's Maildir, opened afresh.
    std::unique_ptr<vesk::store::Store> storeOf(const std::string& user) const;
    /// Delivers `bytes` into a user's inbox; returns the identifier.
    std::string deliver(const std::string& user, const std::string& bytes, const std::string& flags = "");

    /// Opens a session (expects success) and the user's mailbox container.
    vimSes logOn(const char* user, const char* password);
    vimMsgContainer inbox(vimSes session);
    /// Every item of an opened message (one listing call of ten; expects success).
    std::vector<vimItemDesc> itemsOf(vimMsg message);
    /// Every message reference of a container, listed in batches of ten.
    std::vector<vimRef> listRefs(vimMsgContainer container);

    /// A sendmail-compatible script recording each call (args.N, msg.N) in `captureDir`.
    std::string captureScript();
    std::vector<std::pair<std::string, std::string>> captured() const;

    std::string home;
    std::string postOffice;  ///< absolute folder of the standard post office
    std::string captureDir;
    HMODULE library = nullptr;
    Vim vim{};
    bool started = false;
};

/// A VimFixture with the standard post office made before each test.
class PostOfficeTest : public VimFixture {
protected:
    void SetUp() override;
};

}  // namespace vimtest
