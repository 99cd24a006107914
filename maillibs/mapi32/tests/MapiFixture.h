// The test bench of the mapi32 conformance tests: a temporary desktop ($VESK_HOME) with a
// registry, real Maildirs and an address book, and the library loaded as a client loads it,
// by name through the module loader. The tests speak to the library through mapi.h only.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "mapi32/mapi.h"
#include "platform/RegistryValues.h"
#include "store/Store.h"
#include "win32/Module.h"

namespace mapitest {

/// One account to write into the registry.
struct AccountSetup {
    std::string name;
    std::string password;
    std::string displayName;
    std::string address;
    std::string sendCommand;
    std::vector<std::string> book;  ///< address book lines (UTF-8)
    bool createMaildir = true;
};

/// An account setup with only its name set.
AccountSetup account(const std::string& name);

/// A message file for the inbox: RFC 5322 text with LF line ends.
std::string message(const std::string& from, const std::string& to, const std::string& subject,
                    const std::string& body, const std::string& extraHeaders = "");

class MapiFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Writes `setup` into the registry (and makes its Maildir); `makeDefault` names it the
    /// default account.
    void addAccount(const AccountSetup& setup, bool makeDefault = false);
    /// Sets one registry value of account `name`.
    void setAccountValue(const std::string& name, const std::string& value, const std::string& text);
    /// The account's Maildir folder.
    std::string maildirOf(const std::string& name) const;
    /// The account's store, opened afresh.
    std::unique_ptr<vesk::store::Store> storeOf(const std::string& name) const;
    /// Delivers `bytes` into the account's inbox with `flags`; returns the identifier.
    std::string deliver(const std::string& name, const std::string& bytes, const std::string& flags = "");

    /// Logs on with MAPI_NEW_SESSION and expects success.
    LHANDLE logOn(const char* profile, const char* password, FLAGS extra = 0);

    /// A sendmail-compatible script that records every call in `captureDir` (args.N, msg.N)
    /// and exits with `status`; returns its path.
    std::string captureScript(int status = 0);
    /// The recorded calls of captureScript: the argument lines and the message of each.
    std::vector<std::pair<std::vector<std::string>, std::string>> captured() const;

    std::string home;
    std::string captureDir;
    HMODULE library = nullptr;
    LPMAPILOGON MAPILogon = nullptr;
    LPMAPILOGOFF MAPILogoff = nullptr;
    LPMAPISENDMAIL MAPISendMail = nullptr;
    LPMAPIFINDNEXT MAPIFindNext = nullptr;
    LPMAPIREADMAIL MAPIReadMail = nullptr;
    LPMAPISAVEMAIL MAPISaveMail = nullptr;
    LPMAPIDELETEMAIL MAPIDeleteMail = nullptr;
    LPMAPIFREEBUFFER MAPIFreeBuffer = nullptr;
    LPMAPIRESOLVENAME MAPIResolveName = nullptr;
};

/// The standard bench: account "anna" (password "s3cret", the default, a capture command
/// not set), account "bob" without a password, and an address book for anna.
class MailboxTest : public MapiFixture {
protected:
    void SetUp() override;
};

/// Every identifier of the walk over the inbox of `session` (with MAPI_LONG_MSGID).
std::vector<std::string> walk(LPMAPIFINDNEXT findNext, LHANDLE session);

/// Files below `folder`, recursively.
std::vector<std::filesystem::path> filesBelow(const std::filesystem::path& folder);

}  // namespace mapitest
