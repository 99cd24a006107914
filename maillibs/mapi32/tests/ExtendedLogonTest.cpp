// MAPIInitialize, MAPILogonEx, profiles and what a session opens: the default store, the
// IPM folders, the address book and the spooler's status object.
#include "MapixFixture.h"

namespace mapitest {
namespace {

class ExtendedLogonTest : public MapixTest {};

TEST_F(ExtendedLogonTest, NamedAndDefaultProfilesOpenTheirOwnAccounts) {
    struct Case {
        const char* profile;
        ULONG flags;
        const char* storeName;
    };
    const Case cases[] = {
        {"Bob", MAPI_NEW_SESSION | MAPI_EXPLICIT_PROFILE, "Mailbox - Bob Hansen"},
        {"anna", MAPI_NEW_SESSION, "Mailbox - Anna Berg"},  // profile names ignore case
        {nullptr, MAPI_NEW_SESSION | MAPI_USE_DEFAULT, "Mailbox - Anna Berg"},
        {"", MAPI_LOGON_UI, "Mailbox - Anna Berg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile == nullptr ? "(null)" : c.profile);
        Ref<IMAPISession> session(logOnEx(c.profile, c.flags));
        ASSERT_TRUE(session);
        Ref<IMsgStore> store(openDefaultStore(session.get()));
        ASSERT_TRUE(store);
        EXPECT_EQ(textOf(store.get(), PR_DISPLAY_NAME), c.storeName);
    }
}

TEST_F(ExtendedLogonTest, UnknownProfilesAndMissingMailboxesFailTheLogon) {
    addProfile("Ghost", "nobody");
    AccountSetup carl = account("carl");
    carl.createMaildir = false;
    addAccount(carl);
    addProfile("Carl", "carl");
    const char* profiles[] = {"Nobody", "Ghost", "Carl", "Anna\\..\\Bob", nullptr};
    for (const char* p : profiles) {
        SCOPED_TRACE(p == nullptr ? "(null)" : p);
        IMAPISession* session = reinterpret_cast<IMAPISession*>(1);
        EXPECT_EQ(MAPILogonEx(0, const_cast<char*>(p), nullptr, MAPI_NEW_SESSION | MAPI_EXPLICIT_PROFILE, &session),
                  MAPI_E_LOGON_FAILED);
        EXPECT_EQ(session, nullptr);
    }
    std::string longName(65, 'a');
    IMAPISession* session = nullptr;
    EXPECT_EQ(MAPILogonEx(0, longName.data(), nullptr, MAPI_NEW_SESSION, &session), MAPI_E_LOGON_FAILED);
}

TEST_F(ExtendedLogonTest, LogonsNeedAnInitialisedSubsystem) {
    MAPIUninitialize();
    IMAPISession* session = nullptr;
    EXPECT_EQ(MAPILogonEx(0, const_cast<char*>("Anna"), nullptr, MAPI_NEW_SESSION, &session), MAPI_E_NOT_INITIALIZED);
    IProfAdmin* admin = nullptr;
    EXPECT_EQ(MAPIAdminProfiles(0, &admin), MAPI_E_NOT_INITIALIZED);
    // An unmatched uninitialise must not eat the next initialise.
    MAPIUninitialize();
    ASSERT_EQ(MAPIInitialize(nullptr), S_OK);
    Ref<IMAPISession> again(logOnEx("Anna"));
    EXPECT_TRUE(again);
    MAPIINIT_0 badVersion{7, 0};
    EXPECT_EQ(MAPIInitialize(&badVersion), MAPI_E_VERSION);
}

TEST_F(ExtendedLogonTest, TheProfileTableNamesEveryProfileAndMarksTheDefault) {
    Ref<IProfAdmin> admin;
    ASSERT_EQ(MAPIAdminProfiles(0, admin.out()), S_OK);
    Ref<IMAPITable> table;
    ASSERT_EQ(admin->GetProfileTable(0, table.out()), S_OK);
    LPSRowSet rows = nullptr;
    ASSERT_EQ(HrQueryAllRows(table.get(), nullptr, nullptr, nullptr, 0, &rows), S_OK);
    ASSERT_EQ(rows->cRows, 2u);
    std::vector<std::pair<std::string, bool>> seen;
    for (ULONG i = 0; i < rows->cRows; ++i) {
        std::vector<SPropValue> row(rows->aRow[i].lpProps, rows->aRow[i].lpProps + rows->aRow[i].cValues);
        ASSERT_NE(valueOf(row, PR_DISPLAY_NAME), nullptr);
        ASSERT_NE(valueOf(row, PR_DEFAULT_PROFILE), nullptr);
        EXPECT_EQ(valueOf(row, PR_DEFAULT_PROFILE)->ulPropTag, PR_DEFAULT_PROFILE);
        seen.emplace_back(valueOf(row, PR_DISPLAY_NAME)->Value.lpszA, valueOf(row, PR_DEFAULT_PROFILE)->Value.b != 0);
    }
    FreeProws(rows);
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{{"Anna", true}, {"Bob", false}}));

    ASSERT_EQ(admin->SetDefaultProfile(const_cast<char*>("bob"), 0), S_OK);
    EXPECT_EQ(admin->SetDefaultProfile(const_cast<char*>("Nobody"), 0), MAPI_E_NOT_FOUND);
    Ref<IMAPISession> session(logOnEx(nullptr, MAPI_USE_DEFAULT));
    Ref<IMsgStore> store(openDefaultStore(session.get()));
    ASSERT_TRUE(store);
    EXPECT_EQ(textOf(store.get(), PR_DISPLAY_NAME), "Mailbox - Bob Hansen");
}

TEST_F(ExtendedLogonTest, AProfileListedTwiceInOtherCaseIsOneRow) {
    // Another program wrote the list with Bob twice; names are matched without regard to case.
    ASSERT_EQ(vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles", "Names", "Anna;BOB;Bob;anna"),
              ERROR_SUCCESS);
    Ref<IProfAdmin> admin;
    ASSERT_EQ(MAPIAdminProfiles(0, admin.out()), S_OK);
    Ref<IMAPITable> table;
    ASSERT_EQ(admin->GetProfileTable(0, table.out()), S_OK);
    std::vector<std::string> names;
    for (const auto& row : allRows(table.get(), {PR_DISPLAY_NAME})) {
        ASSERT_NE(valueOf(row, PR_DISPLAY_NAME), nullptr);
        names.emplace_back(valueOf(row, PR_DISPLAY_NAME)->Value.lpszA);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Anna", "BOB"}));
    Ref<IMAPISession> session(logOnEx("bob", 0));
    Ref<IMsgStore> store(openDefaultStore(session.get()));
    ASSERT_TRUE(store);
    EXPECT_EQ(textOf(store.get(), PR_DISPLAY_NAME), "Mailbox - Bob Hansen");
}

TEST_F(ExtendedLogonTest, TheIpmFoldersOpenOnTheAccountsMaildirFolders) {
    Ref<IMAPISession> session(logOnEx("Anna"));
    Ref<IMsgStore> store(openDefaultStore(session.get()));
    ASSERT_TRUE(store);
    Tags tags({PR_NULL, PR_IPM_OUTBOX_ENTRYID, PR_IPM_WASTEBASKET_ENTRYID, PR_IPM_SENTMAIL_ENTRYID, PR_IPM_SUBTREE_ENTRYID});
    ULONG count = 0;
    LPSPropValue values = nullptr;
    ASSERT_EQ(store->GetProps(tags.get(), 0, &count, &values), S_OK);
    ASSERT_EQ(count, 5u);
    EXPECT_EQ(values[0].ulPropTag, PR_NULL) << "PR_NULL keeps its place";
    const char* names[] = {"", "Outbox", "Deleted Items", "Sent Items", "Top of Information Store"};
    for (ULONG i = 1; i < count; ++i) {
        ASSERT_EQ(values[i].ulPropTag, tags.storage[i + 1]);
        ULONG type = 0;
        Ref<IMAPIFolder> folder;
        ASSERT_EQ(session->OpenEntry(values[i].Value.bin.cb, reinterpret_cast<LPENTRYID>(values[i].Value.bin.lpb),
                                     nullptr, MAPI_MODIFY, &type, folder.unknown()),
                  S_OK);
        EXPECT_EQ(type, MAPI_FOLDER);
        EXPECT_EQ(textOf(folder.get(), PR_DISPLAY_NAME), names[i]);
    }
    MAPIFreeBuffer(values);

    Ref<IMAPIFolder> inbox(openInbox(store.get()));
    ASSERT_TRUE(inbox);
    EXPECT_EQ(textOf(inbox.get(), PR_DISPLAY_NAME), "Inbox");
    // The explicit class comes back empty (only the default applies) and is the caller's.
    ULONG cb = 0;
    LPENTRYID id = nullptr;
    LPSTR explicitClass = nullptr;
    ASSERT_EQ(store->GetReceiveFolder(nullptr, 0, &cb, &id, &explicitClass), S_OK);
    EXPECT_STREQ(explicitClass, "");
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(id), cb), binaryOf(inbox.get(), PR_ENTRYID));
    MAPIFreeBuffer(id);
    MAPIFreeBuffer(explicitClass);
}

TEST_F(ExtendedLogonTest, TheSpoolerStatusIsFoundInTheStatusTable) {
    setAccountValue("anna", "SendCommand", captureScript(0));
    Ref<IMAPISession> session(logOnEx("Anna"));
    Ref<IMAPITable> status;
    ASSERT_EQ(session->GetStatusTable(0, status.out()), S_OK);
    SPropValue spooler{};
    spooler.ulPropTag = PR_RESOURCE_TYPE;
    spooler.Value.l = MAPI_SPOOLER;
    SRestriction only{};
    only.rt = RES_PROPERTY;
    only.res.resProperty = SPropertyRestriction{RELOP_EQ, PR_RESOURCE_TYPE, &spooler};
    Tags tags({PR_RESOURCE_TYPE, PR_ENTRYID});
    LPSRowSet rows = nullptr;
    ASSERT_EQ(HrQueryAllRows(status.get(), tags.get(), &only, nullptr, 0, &rows), S_OK);
    ASSERT_EQ(rows->cRows, 1u);
    ASSERT_EQ(rows->aRow[0].lpProps[1].ulPropTag, PR_ENTRYID);
    const SBinary& id = rows->aRow[0].lpProps[1].Value.bin;
    ULONG type = 0;
    Ref<IMAPIStatus> spoolerStatus;
    ASSERT_EQ(session->OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb), &IID_IMAPIStatus, MAPI_BEST_ACCESS, &type,
                                 spoolerStatus.unknown()),
              S_OK);
    EXPECT_EQ(type, MAPI_STATUS);
    // The spooler has no stream to offer: asking for one fails cleanly.
    ULONG type2 = 0;
    Ref<IUnknown> wrong;
    EXPECT_EQ(session->OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb), &IID_IStream, 0, &type2, wrong.out()),
              MAPI_E_INTERFACE_NOT_SUPPORTED);
    EXPECT_FALSE(wrong);
    FreeProws(rows);
    EXPECT_EQ(spoolerStatus->FlushQueues(0, 0, nullptr, FLUSH_UPLOAD), S_OK);
}

TEST_F(ExtendedLogonTest, ObjectsOutliveTheSessionThatOpenedThem) {
    deliver("anna", message("Bob <bob@example.com>", "anna.berg@example.org", "Kept open", "still here"));
    Ref<IMsgStore> store;
    Ref<IMAPIFolder> inbox;
    {
        Ref<IMAPISession> session(logOnEx("Anna"));
        *store.out() = openDefaultStore(session.get());
        *inbox.out() = openInbox(store.get());
        ULONG more = session->AddRef();
        EXPECT_EQ(more, 2u);
        EXPECT_EQ(session->Release(), 1u);
        EXPECT_EQ(session->Logoff(0, 0, 0), S_OK);
    }
    ASSERT_TRUE(inbox);
    EXPECT_EQ(messageIds(inbox.get()).size(), 1u);
    void* asProp = nullptr;
    ASSERT_EQ(inbox->QueryInterface(IID_IMAPIProp, &asProp), S_OK);
    static_cast<IMAPIProp*>(asProp)->Release();
    EXPECT_EQ(inbox->QueryInterface(IID_IMessage, &asProp), MAPI_E_INTERFACE_NOT_SUPPORTED);
    EXPECT_EQ(asProp, nullptr);
}

TEST_F(ExtendedLogonTest, QueryIdentityNamesTheAccountsUser) {
    Ref<IMAPISession> session(logOnEx("Anna"));
    ULONG cb = 0;
    LPENTRYID id = nullptr;
    ASSERT_EQ(session->QueryIdentity(&cb, &id), S_OK);
    ULONG type = 0;
    Ref<IMAPIProp> user;
    ASSERT_EQ(session->OpenEntry(cb, id, nullptr, MAPI_BEST_ACCESS, &type, user.unknown()), S_OK);
    EXPECT_EQ(type, MAPI_MAILUSER);
    EXPECT_EQ(textOf(user.get(), PR_DISPLAY_NAME), "Anna Berg");
    EXPECT_EQ(textOf(user.get(), PR_EMAIL_ADDRESS), "anna.berg@example.org");
    EXPECT_EQ(textOf(user.get(), PR_ADDRTYPE), "SMTP");
    EXPECT_EQ(binaryOf(user.get(), PR_ENTRYID), Bytes(reinterpret_cast<char*>(id), cb));
    MAPIFreeBuffer(id);
}

}  // namespace
}  // namespace mapitest
