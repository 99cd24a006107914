// The bench of the boundary suite: one plug-in (the test's parameter) loaded through the module
// loader as the conduit loads it, over a desktop of its own in a temporary $VESK_HOME.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "DovecotServer.h"
#include "PluginTraits.h"
#include "framework/MailHostExports.h"
#include "framework/Msg.h"
#include "store/Store.h"

namespace boundary {

/// The fifteen exports of a loaded plug-in.
struct Plugin : MailHostExports {
    HMODULE module = nullptr;
    bool load(const std::string& path);
    ~Plugin();
};

/// A record the conduit builds, released with the test.
struct OwnedRecord {
    MailMsg* msg = nullptr;
    explicit OwnedRecord(const CMsg& m);
    ~OwnedRecord();
};

/// The records of one GetAllMsgs, copied, and the array freed through FreeMailMsg.
struct Listing {
    int result = -1;
    int count = -1;
    std::vector<CMsg> records;
};

/// One run of the suite: a plug-in over a Maildir, or over a mailbox on an IMAP server the
/// test starts (built into boundary_imap_tests).
struct BoundaryCase {
    const PluginTraits* traits = nullptr;
    bool imap = false;
};

/// Every registered plug-in, over a Maildir or (`imap`) over an IMAP server.
std::vector<BoundaryCase> BoundaryCases(bool imap);

class BoundaryTest : public ::testing::TestWithParam<BoundaryCase> {
protected:
    void SetUp() override;
    void TearDown() override;

    const PluginTraits& traits() const { return *GetParam().traits; }
    bool overImap() const { return GetParam().imap; }
    /// Delivers the messages of the shared corpus into the inbox; their store identifiers.
    std::vector<std::string> deliver(int count);
    std::unique_ptr<vesk::store::Store> openStore() const;
    size_t folderSize(const std::string& folder) const;
    /// Initialize and Logon, both expected to succeed.
    void startSession();
    /// GetAllMsgs and FreeMailMsg.
    Listing listAll(int headersOnly = 0);

    std::string home;
    std::string config;
    std::unique_ptr<vesk::store::testing::DovecotServer> server;  ///< over IMAP only
    vesk::store::ImapOptions imap;                                 ///< the account's mailbox there
    std::optional<std::string> systemTmp;                          ///< TMPDIR before the test
    Plugin plugin;
};

/// "salvith", "dunmere", ... for the test names.
std::string PluginName(const ::testing::TestParamInfo<BoundaryCase>& info);

/// How a case shows in test listings and failures: "salvith over IMAP", not its bytes.
void PrintTo(const BoundaryCase& c, std::ostream* out);

}  // namespace boundary
