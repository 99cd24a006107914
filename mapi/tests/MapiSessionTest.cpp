// Dunmere's binding, logon chain and configuration, against the recording fake.
#include <cstring>
#include <fstream>

#include "MapiFixture.h"
#include "platform/RegistryValues.h"
#include "trevlin/Trevlin.h"
#include "win32/Profile.h"

namespace mapitest {
namespace {

using namespace fakemapix;
using Names = std::vector<std::string>;
using SessionTest = MapiFakeTest;

TEST_F(SessionTest, LogonOpensStoreAddressBookFoldersAndSpoolerInOrder) {
    writeConfig(config, "Microsoft Exchange 5.0 or higher", "Teo");
    ASSERT_EQ(app.Logon(1, config.c_str()), MAILHOST_OK);
    EXPECT_EQ(calls(), (Names{"MAPILogonEx", "Session.GetMsgStoresTable", "HrQueryAllRows", "StoresTable.HrQueryAllRows",
                              "Session.OpenMsgStore", "FreeProws", "StoresTable.Release", "Session.OpenAddressBook",
                              "Store.GetProps", "Store.GetReceiveFolder", "Session.OpenEntry", "Session.OpenEntry",
                              "Session.OpenEntry", "Session.GetStatusTable", "HrQueryAllRows",
                              "StatusTable.HrQueryAllRows", "Session.OpenEntry", "StatusTable.Release", "FreeProws"}));
    // New session, explicit profile, forced download; no password; the default store for
    // writing; the three folders for changes; the spooler with the best access there is.
    EXPECT_EQ(details(), (Names{"Logon=Teo/4114", "OpenMsgStore=STORE/4", "ReceiveFolder=IPM.Note",
                                "Session.OpenEntry=INBOX/1", "Session.OpenEntry=OUTBOX/1", "Session.OpenEntry=DELETED/1",
                                "Session.OpenEntry=SPOOLER/16"}));
    const OpenMailbox* mailbox = app.Mailbox();
    ASSERT_NE(mailbox, nullptr);
    const char* expected[] = {"INBOX", "OUTBOX", "DELETED", "SENT", "SUBTREE"};
    for (int i = 0; i < kMapiFolderSlots; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(mailbox->folderIds[i].lpb), mailbox->folderIds[i].cb),
                  expected[i]);
        EXPECT_EQ(mailbox->folders[i] != nullptr, i <= kMapiDeletedItems);
    }
    EXPECT_NE(mailbox->spoolerStatus, nullptr);
    EXPECT_EQ(app.Logoff(), MAILHOST_OK);
    expectNothingLeft();
    EXPECT_EQ(app.Logoff(), MAILHOST_OK);
}

// Each step of the chain that fails ends the logon with 200 and leaves nothing open:
// every object released, every block freed.
TEST_F(SessionTest, AFailureAtAnyStepOfTheChainReleasesWhatWasOpened) {
    struct Row {
        const char* failAt;
        int occurrence;
        int allocation;  ///< -1: a call fails instead
    };
    const Row rows[] = {
        {"MAPILogonEx", 0, -1},          {"Session.GetMsgStoresTable", 0, -1}, {"StoresTable.HrQueryAllRows", 0, -1},
        {"Session.OpenMsgStore", 0, -1}, {"Session.OpenAddressBook", 0, -1},   {"Store.GetProps", 0, -1},
        {"Store.GetReceiveFolder", 0, -1}, {"Session.OpenEntry", 0, -1},       {"Session.OpenEntry", 1, -1},
        {"Session.OpenEntry", 2, -1},    {"", 0, 0} /* the identifier block */, {"", 0, 1} /* the stores rows */};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.failAt) + " #" + std::to_string(row.occurrence) + " alloc " +
                     std::to_string(row.allocation));
        reset();
        writeConfig(config, "Microsoft Exchange 5.0 or higher", "Teo");
        script().failAt = row.failAt;
        script().failOccurrence = row.occurrence;
        script().failAllocation = row.allocation;
        EXPECT_EQ(app.Logon(0, config.c_str()), MAILHOST_LOGON_FAILED);
        EXPECT_EQ(app.Mailbox(), nullptr);
        expectNothingLeft();
    }
}

TEST_F(SessionTest, EveryFolderIdentifierCopyThatFailsEndsTheLogonCleanly) {
    // Allocations: the identifier block, the stores rows (set and row), the store's values,
    // the receive folder's identifier, then the five copies.
    for (int allocation = 2; allocation < 12; ++allocation) {
        SCOPED_TRACE(allocation);
        reset();
        writeConfig(config, "Microsoft Exchange 5.0 or higher", "Teo");
        script().failAllocation = allocation;
        int result = app.Logon(0, config.c_str());
        if (result == MAILHOST_OK) app.Logoff();
        expectNothingLeft();
    }
}

TEST_F(SessionTest, NoDefaultStoreOrAFolderOfTheWrongTypeFailsTheLogon) {
    writeConfig(config, "Microsoft Exchange 5.0 or higher", "Teo");
    script().defaultStore = false;
    EXPECT_EQ(app.Logon(0, config.c_str()), MAILHOST_LOGON_FAILED);
    expectNothingLeft();
    reset();
    script().folderType = MAPI_MESSAGE;
    EXPECT_EQ(app.Logon(0, config.c_str()), MAILHOST_LOGON_FAILED);
    // The object of the wrong type was released too.
    expectNothingLeft();
}

TEST_F(SessionTest, TheSpoolerStatusIsNotNeededForALogon) {
    writeConfig(config, "Microsoft Exchange 5.0 or higher", "Teo");
    for (const char* failAt : {"Session.GetStatusTable", "StatusTable.HrQueryAllRows", "Session.OpenEntry#3", "none"}) {
        SCOPED_TRACE(failAt);
        reset();
        std::string name = failAt;
        if (name == "Session.OpenEntry#3") {
            script().failAt = "Session.OpenEntry";
            script().failOccurrence = 3;
        } else if (name == "none") {
            script().spooler = false;
        } else {
            script().failAt = name;
        }
        ASSERT_EQ(app.Logon(0, config.c_str()), MAILHOST_OK);
        EXPECT_EQ(app.Mailbox()->spoolerStatus, nullptr);
        app.Logoff();
        expectNothingLeft();
    }
}

TEST_F(SessionTest, LogonNeedsInitialisedMapiAndAProfile) {
    writeConfig(config, "Microsoft Exchange 5.0 or higher", "");
    EXPECT_EQ(app.Logon(0, config.c_str()), MAILHOST_LOGON_FAILED);
    EXPECT_EQ(app.Logon(0, ""), MAILHOST_LOGON_FAILED);
    EXPECT_EQ(app.Logon(0, nullptr), MAILHOST_LOGON_FAILED);
    EXPECT_TRUE(calls().empty());
    // A test logon names its profile: no configuration file is needed for it.
    EXPECT_EQ(app.Logon(0, "", "Teo"), MAILHOST_OK);
    app.Logoff();
    app.SetMapiInitialised(false);
    calls().clear();
    EXPECT_EQ(app.Logon(0, config.c_str(), "Teo"), MAILHOST_LOGON_FAILED);
    EXPECT_TRUE(calls().empty());
    app.SetMapiInitialised(true);
}

TEST_F(SessionTest, LogonAgainClosesTheEarlierMailboxFirst) {
    logOn();
    writeConfig(config, "Microsoft Exchange 5.0 or higher", "Teo");
    ASSERT_EQ(app.Logon(0, config.c_str()), MAILHOST_OK);
    EXPECT_EQ(liveObjects(), 7);  // session, store, address book, three folders, status
    app.Logoff();
    expectNothingLeft();
}

TEST_F(SessionTest, UninitializeClosesAnOpenMailboxFirst) {
    logOn();
    EXPECT_EQ(app.Uninitialize(), MAILHOST_OK);
    EXPECT_EQ(app.Mailbox(), nullptr);
    expectNothingLeft();
    // The mailbox goes before MAPI ends.
    const Names all = calls();
    auto uninit = std::find(all.begin(), all.end(), "MAPIUninitialize");
    auto session = std::find(all.begin(), all.end(), "Session.Release");
    ASSERT_NE(uninit, all.end());
    EXPECT_LT(session, uninit);
    EXPECT_EQ(app.Binding().Functions().MAPILogonEx, nullptr);
    EXPECT_EQ(app.Uninitialize(), MAILHOST_OK);
}

TEST_F(SessionTest, ConfigInfoNeedsBothTheMailSystemAndTheProfile) {
    struct Row {
        const char* profile;
        const char* text;
    };
    for (Row row : {Row{"Teo", "Mail System:\tMicrosoft Exchange 5.0 or higher\nProfile:\t\tTeo"}, Row{"", "Not Configured"}}) {
        SCOPED_TRACE(row.profile);
        std::remove(config.c_str());
        writeConfig(config, "Microsoft Exchange 5.0 or higher", row.profile);
        app.Settings().Clear();
        char text[128];
        int size = sizeof text;
        ASSERT_EQ(app.GetHostConfigInfo(config.c_str(), text, &size), MAILHOST_OK);
        EXPECT_STREQ(text, row.text);
        EXPECT_EQ(size, static_cast<int>(sizeof text));
    }
}

TEST_F(SessionTest, SavingWithoutAProfileWritesNothingAndClearsTheRecord) {
    app.Settings().Set("Microsoft Outlook 97 or higher", "");
    EXPECT_EQ(app.SetHostConfigInfo(config.c_str(), 1), 1);
    EXPECT_FALSE(app.Settings().IsSet());
    std::ifstream file(config);
    EXPECT_FALSE(file.good());
    app.Settings().Set("Microsoft Outlook 97 or higher", "Teo");
    EXPECT_EQ(app.SetHostConfigInfo(config.c_str(), 1), 1);
    CMapiSettings stored;
    EXPECT_EQ(stored.Load(config.c_str(), nullptr), 1);
    EXPECT_EQ(stored.HostName(), "Microsoft Outlook 97 or higher");
    EXPECT_EQ(stored.Profile(), "Teo");
    EXPECT_EQ(app.SetHostConfigInfo("", 1), 0);
}

TEST_F(SessionTest, TheProfileListTakesNamesInOrderAndTheDefaultsPosition) {
    // The list runs its own Initialize, which needs the registry: without it, 205.
    std::vector<std::string> names;
    int index = 7;
    EXPECT_EQ(app.ListProfiles(names, &index), MAILHOST_HOST_NOT_INSTALLED);
    EXPECT_EQ(index, -1);
    EXPECT_TRUE(names.empty());
    app.Binding().UseFunctions(functions());

    script().profiles = {{text(PR_DISPLAY_NAME, "Work"), number(PR_DEFAULT_PROFILE, 0)},
                         {number(PR_DEFAULT_PROFILE, 1), text(PR_DISPLAY_NAME, "Teo")},
                         {text(PR_DISPLAY_NAME, "Archive")}};
    ASSERT_EQ(app.QueryProfiles(names, &index), MAILHOST_OK);
    EXPECT_EQ(names, (Names{"Work", "Teo", "Archive"}));
    EXPECT_EQ(index, 1);
    expectNothingLeft();
    for (const char* failAt : {"MAPIAdminProfiles", "ProfAdmin.GetProfileTable", "ProfileTable.HrQueryAllRows"}) {
        SCOPED_TRACE(failAt);
        failNext(failAt);
        names.clear();
        EXPECT_EQ(app.QueryProfiles(names, &index), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(index, -1);
        expectNothingLeft();
    }
}

// The installed check: only the REG_SZ text "1" says MAPI is there.
TEST_F(SessionTest, TheInstalledCheckWantsTheTextOne) {
    const std::string key = "SOFTWARE\\Microsoft\\Windows Messaging Subsystem";
    struct Row {
        const char* what;
        bool installed;
    };
    for (Row row : {Row{"missing", false}, Row{"0", false}, Row{"dword", false}, Row{"1", true}}) {
        SCOPED_TRACE(row.what);
        std::remove((dir + "/registry.reg").c_str());
        std::string what = row.what;
        if (what == "dword") {
            ASSERT_EQ(vesk::writeRegDword(HKEY_LOCAL_MACHINE, key, "MAPIX", 1), ERROR_SUCCESS);
        } else if (what != "missing") {
            ASSERT_EQ(vesk::writeRegString(HKEY_LOCAL_MACHINE, key, "MAPIX", what), ERROR_SUCCESS);
        }
        CDunmereApp fresh;
        int result = fresh.Initialize();
        if (row.installed) {
            EXPECT_NE(result, MAILHOST_HOST_NOT_INSTALLED);
        } else {
            EXPECT_EQ(result, MAILHOST_HOST_NOT_INSTALLED);
        }
        EXPECT_EQ(fresh.Uninitialize(), MAILHOST_OK);
    }
}

TEST_F(SessionTest, SupportedHostsAreTwoNamesEndedByAnEmptyOne) {
    char hosts[128];
    int size = 64;  // the text's length without its terminator
    EXPECT_EQ(app.GetSupportedHosts(hosts, &size), MAILHOST_BUFFER_TOO_SMALL);
    EXPECT_EQ(size, 65);
    ASSERT_EQ(app.GetSupportedHosts(hosts, &size), MAILHOST_OK);
    EXPECT_STREQ(hosts, "Microsoft Exchange 5.0 or higher");
    EXPECT_STREQ(hosts + 33, "Microsoft Outlook 97 or higher");
    EXPECT_EQ(hosts[64], '\0');
}

}  // namespace
}  // namespace mapitest
