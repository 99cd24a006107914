#include "MapixFixture.h"

#include "platform/RegistryValues.h"

namespace mapitest {

Tags::Tags(std::vector<ULONG> tags) {
    storage.push_back(static_cast<ULONG>(tags.size()));
    storage.insert(storage.end(), tags.begin(), tags.end());
}

const SPropValue* valueOf(const std::vector<SPropValue>& row, ULONG tag) {
    for (const SPropValue& v : row) {
        if (PROP_ID(v.ulPropTag) == PROP_ID(tag)) return &v;
    }
    return nullptr;
}

MapixTest::~MapixTest() {
    if (m_pin != nullptr) FreeLibrary(m_pin);
}

void MapixTest::SetUp() {
    MailboxTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    m_pin = LoadLibraryA("mapi32.dll");
    MAPIInitialize = VeskProcAs<LPMAPIINITIALIZE>(GetProcAddress(library, "MAPIInitialize"));
    MAPIUninitialize = VeskProcAs<LPMAPIUNINITIALIZE>(GetProcAddress(library, "MAPIUninitialize"));
    MAPILogonEx = VeskProcAs<LPMAPILOGONEX>(GetProcAddress(library, "MAPILogonEx"));
    MAPIAdminProfiles = VeskProcAs<LPMAPIADMINPROFILES>(GetProcAddress(library, "MAPIAdminProfiles"));
    MAPIAllocateBuffer = VeskProcAs<LPMAPIALLOCATEBUFFER>(GetProcAddress(library, "MAPIAllocateBuffer"));
    MAPIAllocateMore = VeskProcAs<LPMAPIALLOCATEMORE>(GetProcAddress(library, "MAPIAllocateMore"));
    HrQueryAllRows = VeskProcAs<LPHRQUERYALLROWS>(GetProcAddress(library, MAKEINTRESOURCEA(MAPI32_ORDINAL_HRQUERYALLROWS)));
    FreeProws = VeskProcAs<LPFREEPROWS>(GetProcAddress(library, MAKEINTRESOURCEA(MAPI32_ORDINAL_FREEPROWS)));
    FreePadrlist = VeskProcAs<LPFREEPADRLIST>(GetProcAddress(library, MAKEINTRESOURCEA(MAPI32_ORDINAL_FREEPADRLIST)));
    ASSERT_TRUE(MAPIInitialize && MAPIUninitialize && MAPILogonEx && MAPIAdminProfiles && MAPIAllocateBuffer &&
                MAPIAllocateMore && HrQueryAllRows && FreeProws && FreePadrlist);
    ASSERT_EQ(vesk::writeRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", "MAPIX", "1"),
              ERROR_SUCCESS);
    addProfile("Anna", "anna");
    addProfile("Bob", "bob");
    ASSERT_EQ(vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles", "DefaultProfile", "Anna"),
              ERROR_SUCCESS);
    ASSERT_EQ(MAPIInitialize(nullptr), S_OK);
    initialised = true;
}

void MapixTest::TearDown() {
    if (initialised) MAPIUninitialize();
    MailboxTest::TearDown();
}

void MapixTest::addProfile(const std::string& name, const std::string& account) {
    const std::string key = "Software\\Vesk\\Mail\\Profiles";
    std::string list = vesk::readRegString(HKEY_CURRENT_USER, key, "Names").value_or("");
    list = list.empty() ? name : list + ";" + name;
    ASSERT_EQ(vesk::writeRegString(HKEY_CURRENT_USER, key, "Names", list), ERROR_SUCCESS);
    ASSERT_EQ(vesk::writeRegString(HKEY_CURRENT_USER, key + "\\" + name, "Account", account), ERROR_SUCCESS);
}

IMAPISession* MapixTest::logOnEx(const char* profile, ULONG flags) {
    IMAPISession* session = nullptr;
    EXPECT_EQ(MAPILogonEx(0, const_cast<char*>(profile), nullptr, flags, &session), S_OK);
    return session;
}

std::vector<std::vector<SPropValue>> MapixTest::allRows(IMAPITable* table, std::vector<ULONG> columns) {
    Tags tags(std::move(columns));
    LPSRowSet rows = nullptr;
    std::vector<std::vector<SPropValue>> out;
    HRESULT hr = HrQueryAllRows(table, tags.get(), nullptr, nullptr, 0, &rows);
    EXPECT_EQ(hr, S_OK);
    if (FAILED(hr) || rows == nullptr) return out;
    for (ULONG i = 0; i < rows->cRows; ++i) {
        out.emplace_back(rows->aRow[i].lpProps, rows->aRow[i].lpProps + rows->aRow[i].cValues);
    }
    // The values point into the row set: keep a deep copy of what the tests read.
    for (auto& row : out) {
        for (SPropValue& v : row) {
            if (PROP_TYPE(v.ulPropTag) == PT_STRING8 || PROP_TYPE(v.ulPropTag) == PT_BINARY) {
                m_keep.emplace_back(PROP_TYPE(v.ulPropTag) == PT_STRING8
                                      ? std::string(v.Value.lpszA)
                                      : std::string(reinterpret_cast<char*>(v.Value.bin.lpb), v.Value.bin.cb));
                if (PROP_TYPE(v.ulPropTag) == PT_STRING8) {
                    v.Value.lpszA = m_keep.back().data();
                } else {
                    v.Value.bin.lpb = reinterpret_cast<LPBYTE>(m_keep.back().data());
                }
            }
        }
    }
    FreeProws(rows);
    return out;
}

IMsgStore* MapixTest::openDefaultStore(IMAPISession* session) {
    Ref<IMAPITable> stores;
    EXPECT_EQ(session->GetMsgStoresTable(0, stores.out()), S_OK);
    SPropValue isDefault{};
    isDefault.ulPropTag = PR_DEFAULT_STORE;
    isDefault.Value.b = 1;
    SRestriction only{};
    only.rt = RES_PROPERTY;
    only.res.resProperty = SPropertyRestriction{RELOP_EQ, PR_DEFAULT_STORE, &isDefault};
    Tags tags({PR_ENTRYID, PR_DEFAULT_STORE});
    LPSRowSet rows = nullptr;
    EXPECT_EQ(HrQueryAllRows(stores.get(), tags.get(), &only, nullptr, 0, &rows), S_OK);
    IMsgStore* store = nullptr;
    if (rows != nullptr && rows->cRows == 1) {
        const SBinary& id = rows->aRow[0].lpProps[0].Value.bin;
        EXPECT_EQ(session->OpenMsgStore(0, id.cb, reinterpret_cast<LPENTRYID>(id.lpb), nullptr, MDB_WRITE, &store), S_OK);
    }
    EXPECT_NE(rows, nullptr);
    if (rows != nullptr) {
        EXPECT_EQ(rows->cRows, 1u);
    }
    FreeProws(rows);
    return store;
}

IMAPIFolder* MapixTest::openInbox(IMsgStore* store) {
    ULONG cb = 0;
    LPENTRYID id = nullptr;
    EXPECT_EQ(store->GetReceiveFolder(const_cast<char*>("IPM.Note"), 0, &cb, &id, nullptr), S_OK);
    ULONG type = 0;
    IMAPIFolder* folder = nullptr;
    EXPECT_EQ(store->OpenEntry(cb, id, nullptr, MAPI_MODIFY, &type, reinterpret_cast<LPUNKNOWN*>(&folder)), S_OK);
    EXPECT_EQ(type, MAPI_FOLDER);
    MAPIFreeBuffer(id);
    return folder;
}

IMAPIFolder* MapixTest::openFolderOf(IMsgStore* store, ULONG tag) {
    Bytes id = binaryOf(store, tag);
    ULONG type = 0;
    IMAPIFolder* folder = nullptr;
    EXPECT_EQ(store->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(id.data()), nullptr,
                               MAPI_MODIFY, &type, reinterpret_cast<LPUNKNOWN*>(&folder)),
              S_OK);
    EXPECT_EQ(type, MAPI_FOLDER);
    return folder;
}

Bytes MapixTest::binaryOf(IMAPIProp* object, ULONG tag) {
    Tags tags({tag});
    ULONG count = 0;
    LPSPropValue values = nullptr;
    Bytes out;
    if (SUCCEEDED(object->GetProps(tags.get(), 0, &count, &values)) && count == 1 && values[0].ulPropTag == tag) {
        out.assign(reinterpret_cast<char*>(values[0].Value.bin.lpb), values[0].Value.bin.cb);
    }
    MAPIFreeBuffer(values);
    return out;
}

std::string MapixTest::textOf(IMAPIProp* object, ULONG tag) {
    Tags tags({tag});
    ULONG count = 0;
    LPSPropValue values = nullptr;
    std::string out;
    if (SUCCEEDED(object->GetProps(tags.get(), 0, &count, &values)) && count == 1 && values[0].ulPropTag == tag) {
        out = values[0].Value.lpszA;
    }
    MAPIFreeBuffer(values);
    return out;
}

std::vector<Bytes> MapixTest::messageIds(IMAPIFolder* folder) {
    Ref<IMAPITable> contents;
    EXPECT_EQ(folder->GetContentsTable(0, contents.out()), S_OK);
    std::vector<Bytes> ids;
    if (!contents) return ids;
    for (const auto& row : allRows(contents.get(), {PR_ENTRYID})) {
        ids.emplace_back(reinterpret_cast<const char*>(row[0].Value.bin.lpb), row[0].Value.bin.cb);
    }
    return ids;
}

}  // namespace mapitest
