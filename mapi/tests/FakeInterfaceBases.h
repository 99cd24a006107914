// Every method of the Extended MAPI interfaces answering MAPI_E_NO_SUPPORT, so that a test
// object overrides only what the backend calls. Reference counts are real: each object
// counts its AddRef and Release calls and reports the Release that frees it. Written from
// mapi32/mapix.h; a method added there must be added here.
#pragma once

#include <string>

#include "mapi32/mapix.h"

namespace fakemapix {

/// Called when an unsupported method is reached, with "Interface.Method".
HRESULT Unsupported(const char* method);
/// Called when an object's last reference goes.
void ObjectReleased(const std::string& name);

class IStreamBase : public IStream {
public:
    explicit IStreamBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IStreamBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG*) override { return Unsupported("IStream.Read"); }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return Unsupported("IStream.Write"); }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return Unsupported("IStream.Seek"); }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return Unsupported("IStream.SetSize"); }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return Unsupported("IStream.CopyTo"); }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return Unsupported("IStream.Commit"); }
    HRESULT STDMETHODCALLTYPE Revert() override { return Unsupported("IStream.Revert"); }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return Unsupported("IStream.LockRegion"); }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return Unsupported("IStream.UnlockRegion"); }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return Unsupported("IStream.Stat"); }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return Unsupported("IStream.Clone"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

class IMAPITableBase : public IMAPITable {
public:
    explicit IMAPITableBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IMAPITableBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return Unsupported("IMAPITable.GetLastError"); }
    HRESULT STDMETHODCALLTYPE Advise(ULONG, LPMAPIADVISESINK, ULONG*) override { return Unsupported("IMAPITable.Advise"); }
    HRESULT STDMETHODCALLTYPE Unadvise(ULONG) override { return Unsupported("IMAPITable.Unadvise"); }
    HRESULT STDMETHODCALLTYPE GetStatus(ULONG*, ULONG*) override { return Unsupported("IMAPITable.GetStatus"); }
    HRESULT STDMETHODCALLTYPE SetColumns(LPSPropTagArray, ULONG) override { return Unsupported("IMAPITable.SetColumns"); }
    HRESULT STDMETHODCALLTYPE QueryColumns(ULONG, LPSPropTagArray*) override { return Unsupported("IMAPITable.QueryColumns"); }
    HRESULT STDMETHODCALLTYPE GetRowCount(ULONG, ULONG*) override { return Unsupported("IMAPITable.GetRowCount"); }
    HRESULT STDMETHODCALLTYPE SeekRow(BOOKMARK, LONG, LONG*) override { return Unsupported("IMAPITable.SeekRow"); }
    HRESULT STDMETHODCALLTYPE SeekRowApprox(ULONG, ULONG) override { return Unsupported("IMAPITable.SeekRowApprox"); }
    HRESULT STDMETHODCALLTYPE QueryPosition(ULONG*, ULONG*, ULONG*) override { return Unsupported("IMAPITable.QueryPosition"); }
    HRESULT STDMETHODCALLTYPE FindRow(LPSRestriction, BOOKMARK, ULONG) override { return Unsupported("IMAPITable.FindRow"); }
    HRESULT STDMETHODCALLTYPE Restrict(LPSRestriction, ULONG) override { return Unsupported("IMAPITable.Restrict"); }
    HRESULT STDMETHODCALLTYPE CreateBookmark(BOOKMARK*) override { return Unsupported("IMAPITable.CreateBookmark"); }
    HRESULT STDMETHODCALLTYPE FreeBookmark(BOOKMARK) override { return Unsupported("IMAPITable.FreeBookmark"); }
    HRESULT STDMETHODCALLTYPE SortTable(LPSSortOrderSet, ULONG) override { return Unsupported("IMAPITable.SortTable"); }
    HRESULT STDMETHODCALLTYPE QuerySortOrder(LPSSortOrderSet*) override { return Unsupported("IMAPITable.QuerySortOrder"); }
    HRESULT STDMETHODCALLTYPE QueryRows(LONG, ULONG, LPSRowSet*) override { return Unsupported("IMAPITable.QueryRows"); }
    HRESULT STDMETHODCALLTYPE Abort() override { return Unsupported("IMAPITable.Abort"); }
    HRESULT STDMETHODCALLTYPE ExpandRow(ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*, ULONG*) override { return Unsupported("IMAPITable.ExpandRow"); }
    HRESULT STDMETHODCALLTYPE CollapseRow(ULONG, LPBYTE, ULONG, ULONG*) override { return Unsupported("IMAPITable.CollapseRow"); }
    HRESULT STDMETHODCALLTYPE WaitForCompletion(ULONG, ULONG, ULONG*) override { return Unsupported("IMAPITable.WaitForCompletion"); }
    HRESULT STDMETHODCALLTYPE GetCollapseState(ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*) override { return Unsupported("IMAPITable.GetCollapseState"); }
    HRESULT STDMETHODCALLTYPE SetCollapseState(ULONG, ULONG, LPBYTE, BOOKMARK*) override { return Unsupported("IMAPITable.SetCollapseState"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

class IMAPIPropBase : public IMAPIProp {
public:
    explicit IMAPIPropBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IMAPIPropBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return Unsupported("IMAPIProp.GetLastError"); }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return Unsupported("IMAPIProp.SaveChanges"); }
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray, ULONG, ULONG*, LPSPropValue*) override { return Unsupported("IMAPIProp.GetProps"); }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, LPSPropTagArray*) override { return Unsupported("IMAPIProp.GetPropList"); }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*) override { return Unsupported("IMAPIProp.OpenProperty"); }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override { return Unsupported("IMAPIProp.SetProps"); }
    HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return Unsupported("IMAPIProp.DeleteProps"); }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMAPIProp.CopyTo"); }
    HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMAPIProp.CopyProps"); }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override { return Unsupported("IMAPIProp.GetNamesFromIDs"); }
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override { return Unsupported("IMAPIProp.GetIDsFromNames"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

class IMAPIContainerBase : public IMAPIContainer {
public:
    explicit IMAPIContainerBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IMAPIContainerBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return Unsupported("IMAPIContainer.GetLastError"); }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return Unsupported("IMAPIContainer.SaveChanges"); }
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray, ULONG, ULONG*, LPSPropValue*) override { return Unsupported("IMAPIContainer.GetProps"); }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, LPSPropTagArray*) override { return Unsupported("IMAPIContainer.GetPropList"); }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*) override { return Unsupported("IMAPIContainer.OpenProperty"); }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override { return Unsupported("IMAPIContainer.SetProps"); }
    HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return Unsupported("IMAPIContainer.DeleteProps"); }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMAPIContainer.CopyTo"); }
    HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMAPIContainer.CopyProps"); }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override { return Unsupported("IMAPIContainer.GetNamesFromIDs"); }
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override { return Unsupported("IMAPIContainer.GetIDsFromNames"); }
    HRESULT STDMETHODCALLTYPE GetContentsTable(ULONG, LPMAPITABLE*) override { return Unsupported("IMAPIContainer.GetContentsTable"); }
    HRESULT STDMETHODCALLTYPE GetHierarchyTable(ULONG, LPMAPITABLE*) override { return Unsupported("IMAPIContainer.GetHierarchyTable"); }
    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*) override { return Unsupported("IMAPIContainer.OpenEntry"); }
    HRESULT STDMETHODCALLTYPE SetSearchCriteria(LPSRestriction, LPENTRYLIST, ULONG) override { return Unsupported("IMAPIContainer.SetSearchCriteria"); }
    HRESULT STDMETHODCALLTYPE GetSearchCriteria(ULONG, LPSRestriction*, LPENTRYLIST*, ULONG*) override { return Unsupported("IMAPIContainer.GetSearchCriteria"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

class IMAPIFolderBase : public IMAPIFolder {
public:
    explicit IMAPIFolderBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IMAPIFolderBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return Unsupported("IMAPIFolder.GetLastError"); }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return Unsupported("IMAPIFolder.SaveChanges"); }
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray, ULONG, ULONG*, LPSPropValue*) override { return Unsupported("IMAPIFolder.GetProps"); }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, LPSPropTagArray*) override { return Unsupported("IMAPIFolder.GetPropList"); }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*) override { return Unsupported("IMAPIFolder.OpenProperty"); }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override { return Unsupported("IMAPIFolder.SetProps"); }
    HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return Unsupported("IMAPIFolder.DeleteProps"); }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMAPIFolder.CopyTo"); }
    HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMAPIFolder.CopyProps"); }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override { return Unsupported("IMAPIFolder.GetNamesFromIDs"); }
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override { return Unsupported("IMAPIFolder.GetIDsFromNames"); }
    HRESULT STDMETHODCALLTYPE GetContentsTable(ULONG, LPMAPITABLE*) override { return Unsupported("IMAPIFolder.GetContentsTable"); }
    HRESULT STDMETHODCALLTYPE GetHierarchyTable(ULONG, LPMAPITABLE*) override { return Unsupported("IMAPIFolder.GetHierarchyTable"); }
    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*) override { return Unsupported("IMAPIFolder.OpenEntry"); }
    HRESULT STDMETHODCALLTYPE SetSearchCriteria(LPSRestriction, LPENTRYLIST, ULONG) override { return Unsupported("IMAPIFolder.SetSearchCriteria"); }
    HRESULT STDMETHODCALLTYPE GetSearchCriteria(ULONG, LPSRestriction*, LPENTRYLIST*, ULONG*) override { return Unsupported("IMAPIFolder.GetSearchCriteria"); }
    HRESULT STDMETHODCALLTYPE CreateMessage(LPCIID, ULONG, LPMESSAGE*) override { return Unsupported("IMAPIFolder.CreateMessage"); }
    HRESULT STDMETHODCALLTYPE CopyMessages(LPENTRYLIST, LPCIID, LPVOID, ULONG_PTR, LPMAPIPROGRESS, ULONG) override { return Unsupported("IMAPIFolder.CopyMessages"); }
    HRESULT STDMETHODCALLTYPE DeleteMessages(LPENTRYLIST, ULONG_PTR, LPMAPIPROGRESS, ULONG) override { return Unsupported("IMAPIFolder.DeleteMessages"); }
    HRESULT STDMETHODCALLTYPE CreateFolder(ULONG, LPSTR, LPSTR, LPCIID, ULONG, LPMAPIFOLDER*) override { return Unsupported("IMAPIFolder.CreateFolder"); }
    HRESULT STDMETHODCALLTYPE CopyFolder(ULONG, LPENTRYID, LPCIID, LPVOID, LPSTR, ULONG_PTR, LPMAPIPROGRESS, ULONG) override { return Unsupported("IMAPIFolder.CopyFolder"); }
    HRESULT STDMETHODCALLTYPE DeleteFolder(ULONG, LPENTRYID, ULONG_PTR, LPMAPIPROGRESS, ULONG) override { return Unsupported("IMAPIFolder.DeleteFolder"); }
    HRESULT STDMETHODCALLTYPE SetReadFlags(LPENTRYLIST, ULONG_PTR, LPMAPIPROGRESS, ULONG) override { return Unsupported("IMAPIFolder.SetReadFlags"); }
    HRESULT STDMETHODCALLTYPE GetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG*) override { return Unsupported("IMAPIFolder.GetMessageStatus"); }
    HRESULT STDMETHODCALLTYPE SetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG, ULONG*) override { return Unsupported("IMAPIFolder.SetMessageStatus"); }
    HRESULT STDMETHODCALLTYPE SaveContentsSort(LPSSortOrderSet, ULONG) override { return Unsupported("IMAPIFolder.SaveContentsSort"); }
    HRESULT STDMETHODCALLTYPE EmptyFolder(ULONG_PTR, LPMAPIPROGRESS, ULONG) override { return Unsupported("IMAPIFolder.EmptyFolder"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

class IMsgStoreBase : public IMsgStore {
public:
    explicit IMsgStoreBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IMsgStoreBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return Unsupported("IMsgStore.GetLastError"); }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return Unsupported("IMsgStore.SaveChanges"); }
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray, ULONG, ULONG*, LPSPropValue*) override { return Unsupported("IMsgStore.GetProps"); }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, LPSPropTagArray*) override { return Unsupported("IMsgStore.GetPropList"); }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*) override { return Unsupported("IMsgStore.OpenProperty"); }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override { return Unsupported("IMsgStore.SetProps"); }
    HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return Unsupported("IMsgStore.DeleteProps"); }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMsgStore.CopyTo"); }
    HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMsgStore.CopyProps"); }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override { return Unsupported("IMsgStore.GetNamesFromIDs"); }
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override { return Unsupported("IMsgStore.GetIDsFromNames"); }
    HRESULT STDMETHODCALLTYPE Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override { return Unsupported("IMsgStore.Advise"); }
    HRESULT STDMETHODCALLTYPE Unadvise(ULONG) override { return Unsupported("IMsgStore.Unadvise"); }
    HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*) override { return Unsupported("IMsgStore.CompareEntryIDs"); }
    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*) override { return Unsupported("IMsgStore.OpenEntry"); }
    HRESULT STDMETHODCALLTYPE SetReceiveFolder(LPSTR, ULONG, ULONG, LPENTRYID) override { return Unsupported("IMsgStore.SetReceiveFolder"); }
    HRESULT STDMETHODCALLTYPE GetReceiveFolder(LPSTR, ULONG, ULONG*, LPENTRYID*, LPSTR*) override { return Unsupported("IMsgStore.GetReceiveFolder"); }
    HRESULT STDMETHODCALLTYPE GetReceiveFolderTable(ULONG, LPMAPITABLE*) override { return Unsupported("IMsgStore.GetReceiveFolderTable"); }
    HRESULT STDMETHODCALLTYPE StoreLogoff(ULONG*) override { return Unsupported("IMsgStore.StoreLogoff"); }
    HRESULT STDMETHODCALLTYPE AbortSubmit(ULONG, LPENTRYID, ULONG) override { return Unsupported("IMsgStore.AbortSubmit"); }
    HRESULT STDMETHODCALLTYPE GetOutgoingQueue(ULONG, LPMAPITABLE*) override { return Unsupported("IMsgStore.GetOutgoingQueue"); }
    HRESULT STDMETHODCALLTYPE SetLockState(LPMESSAGE, ULONG) override { return Unsupported("IMsgStore.SetLockState"); }
    HRESULT STDMETHODCALLTYPE FinishedMsg(ULONG, ULONG, LPENTRYID) override { return Unsupported("IMsgStore.FinishedMsg"); }
    HRESULT STDMETHODCALLTYPE NotifyNewMail(LPNOTIFICATION) override { return Unsupported("IMsgStore.NotifyNewMail"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

class IMessageBase : public IMessage {
public:
    explicit IMessageBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IMessageBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return Unsupported("IMessage.GetLastError"); }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return Unsupported("IMessage.SaveChanges"); }
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray, ULONG, ULONG*, LPSPropValue*) override { return Unsupported("IMessage.GetProps"); }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, LPSPropTagArray*) override { return Unsupported("IMessage.GetPropList"); }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*) override { return Unsupported("IMessage.OpenProperty"); }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override { return Unsupported("IMessage.SetProps"); }
    HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return Unsupported("IMessage.DeleteProps"); }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMessage.CopyTo"); }
    HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMessage.CopyProps"); }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override { return Unsupported("IMessage.GetNamesFromIDs"); }
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override { return Unsupported("IMessage.GetIDsFromNames"); }
    HRESULT STDMETHODCALLTYPE GetAttachmentTable(ULONG, LPMAPITABLE*) override { return Unsupported("IMessage.GetAttachmentTable"); }
    HRESULT STDMETHODCALLTYPE OpenAttach(ULONG, LPCIID, ULONG, LPATTACH*) override { return Unsupported("IMessage.OpenAttach"); }
    HRESULT STDMETHODCALLTYPE CreateAttach(LPCIID, ULONG, ULONG*, LPATTACH*) override { return Unsupported("IMessage.CreateAttach"); }
    HRESULT STDMETHODCALLTYPE DeleteAttach(ULONG, ULONG_PTR, LPMAPIPROGRESS, ULONG) override { return Unsupported("IMessage.DeleteAttach"); }
    HRESULT STDMETHODCALLTYPE GetRecipientTable(ULONG, LPMAPITABLE*) override { return Unsupported("IMessage.GetRecipientTable"); }
    HRESULT STDMETHODCALLTYPE ModifyRecipients(ULONG, LPADRLIST) override { return Unsupported("IMessage.ModifyRecipients"); }
    HRESULT STDMETHODCALLTYPE SubmitMessage(ULONG) override { return Unsupported("IMessage.SubmitMessage"); }
    HRESULT STDMETHODCALLTYPE SetReadFlag(ULONG) override { return Unsupported("IMessage.SetReadFlag"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

class IAttachBase : public IAttach {
public:
    explicit IAttachBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IAttachBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return Unsupported("IAttach.GetLastError"); }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return Unsupported("IAttach.SaveChanges"); }
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray, ULONG, ULONG*, LPSPropValue*) override { return Unsupported("IAttach.GetProps"); }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, LPSPropTagArray*) override { return Unsupported("IAttach.GetPropList"); }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*) override { return Unsupported("IAttach.OpenProperty"); }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override { return Unsupported("IAttach.SetProps"); }
    HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return Unsupported("IAttach.DeleteProps"); }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IAttach.CopyTo"); }
    HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IAttach.CopyProps"); }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override { return Unsupported("IAttach.GetNamesFromIDs"); }
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override { return Unsupported("IAttach.GetIDsFromNames"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

class IMailUserBase : public IMailUser {
public:
    explicit IMailUserBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IMailUserBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return Unsupported("IMailUser.GetLastError"); }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return Unsupported("IMailUser.SaveChanges"); }
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray, ULONG, ULONG*, LPSPropValue*) override { return Unsupported("IMailUser.GetProps"); }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, LPSPropTagArray*) override { return Unsupported("IMailUser.GetPropList"); }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*) override { return Unsupported("IMailUser.OpenProperty"); }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override { return Unsupported("IMailUser.SetProps"); }
    HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return Unsupported("IMailUser.DeleteProps"); }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMailUser.CopyTo"); }
    HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMailUser.CopyProps"); }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override { return Unsupported("IMailUser.GetNamesFromIDs"); }
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override { return Unsupported("IMailUser.GetIDsFromNames"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

class IAddrBookBase : public IAddrBook {
public:
    explicit IAddrBookBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IAddrBookBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return Unsupported("IAddrBook.GetLastError"); }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return Unsupported("IAddrBook.SaveChanges"); }
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray, ULONG, ULONG*, LPSPropValue*) override { return Unsupported("IAddrBook.GetProps"); }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, LPSPropTagArray*) override { return Unsupported("IAddrBook.GetPropList"); }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*) override { return Unsupported("IAddrBook.OpenProperty"); }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override { return Unsupported("IAddrBook.SetProps"); }
    HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return Unsupported("IAddrBook.DeleteProps"); }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IAddrBook.CopyTo"); }
    HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IAddrBook.CopyProps"); }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override { return Unsupported("IAddrBook.GetNamesFromIDs"); }
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override { return Unsupported("IAddrBook.GetIDsFromNames"); }
    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*) override { return Unsupported("IAddrBook.OpenEntry"); }
    HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*) override { return Unsupported("IAddrBook.CompareEntryIDs"); }
    HRESULT STDMETHODCALLTYPE Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override { return Unsupported("IAddrBook.Advise"); }
    HRESULT STDMETHODCALLTYPE Unadvise(ULONG) override { return Unsupported("IAddrBook.Unadvise"); }
    HRESULT STDMETHODCALLTYPE CreateOneOff(LPSTR, LPSTR, LPSTR, ULONG, ULONG*, LPENTRYID*) override { return Unsupported("IAddrBook.CreateOneOff"); }
    HRESULT STDMETHODCALLTYPE NewEntry(ULONG_PTR, ULONG, ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG*, LPENTRYID*) override { return Unsupported("IAddrBook.NewEntry"); }
    HRESULT STDMETHODCALLTYPE ResolveName(ULONG_PTR, ULONG, LPSTR, LPADRLIST) override { return Unsupported("IAddrBook.ResolveName"); }
    HRESULT STDMETHODCALLTYPE Address(ULONG_PTR*, LPADRPARM, LPADRLIST*) override { return Unsupported("IAddrBook.Address"); }
    HRESULT STDMETHODCALLTYPE Details(ULONG_PTR*, LPFNDISMISS, LPVOID, ULONG, LPENTRYID, LPFNBUTTON, LPVOID, LPSTR, ULONG) override { return Unsupported("IAddrBook.Details"); }
    HRESULT STDMETHODCALLTYPE RecipOptions(ULONG_PTR, ULONG, LPADRENTRY) override { return Unsupported("IAddrBook.RecipOptions"); }
    HRESULT STDMETHODCALLTYPE QueryDefaultRecipOpt(LPSTR, ULONG, ULONG*, LPSPropValue*) override { return Unsupported("IAddrBook.QueryDefaultRecipOpt"); }
    HRESULT STDMETHODCALLTYPE GetPAB(ULONG*, LPENTRYID*) override { return Unsupported("IAddrBook.GetPAB"); }
    HRESULT STDMETHODCALLTYPE SetPAB(ULONG, LPENTRYID) override { return Unsupported("IAddrBook.SetPAB"); }
    HRESULT STDMETHODCALLTYPE GetDefaultDir(ULONG*, LPENTRYID*) override { return Unsupported("IAddrBook.GetDefaultDir"); }
    HRESULT STDMETHODCALLTYPE SetDefaultDir(ULONG, LPENTRYID) override { return Unsupported("IAddrBook.SetDefaultDir"); }
    HRESULT STDMETHODCALLTYPE GetSearchPath(ULONG, LPSRowSet*) override { return Unsupported("IAddrBook.GetSearchPath"); }
    HRESULT STDMETHODCALLTYPE SetSearchPath(ULONG, LPSRowSet) override { return Unsupported("IAddrBook.SetSearchPath"); }
    HRESULT STDMETHODCALLTYPE PrepareRecips(ULONG, LPSPropTagArray, LPADRLIST) override { return Unsupported("IAddrBook.PrepareRecips"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

class IMAPIStatusBase : public IMAPIStatus {
public:
    explicit IMAPIStatusBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IMAPIStatusBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return Unsupported("IMAPIStatus.GetLastError"); }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return Unsupported("IMAPIStatus.SaveChanges"); }
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray, ULONG, ULONG*, LPSPropValue*) override { return Unsupported("IMAPIStatus.GetProps"); }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, LPSPropTagArray*) override { return Unsupported("IMAPIStatus.GetPropList"); }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*) override { return Unsupported("IMAPIStatus.OpenProperty"); }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override { return Unsupported("IMAPIStatus.SetProps"); }
    HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return Unsupported("IMAPIStatus.DeleteProps"); }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMAPIStatus.CopyTo"); }
    HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*) override { return Unsupported("IMAPIStatus.CopyProps"); }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override { return Unsupported("IMAPIStatus.GetNamesFromIDs"); }
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override { return Unsupported("IMAPIStatus.GetIDsFromNames"); }
    HRESULT STDMETHODCALLTYPE ValidateState(ULONG_PTR, ULONG) override { return Unsupported("IMAPIStatus.ValidateState"); }
    HRESULT STDMETHODCALLTYPE SettingsDialog(ULONG_PTR, ULONG) override { return Unsupported("IMAPIStatus.SettingsDialog"); }
    HRESULT STDMETHODCALLTYPE ChangePassword(LPSTR, LPSTR, ULONG) override { return Unsupported("IMAPIStatus.ChangePassword"); }
    HRESULT STDMETHODCALLTYPE FlushQueues(ULONG_PTR, ULONG, LPENTRYID, ULONG) override { return Unsupported("IMAPIStatus.FlushQueues"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

class IMAPISessionBase : public IMAPISession {
public:
    explicit IMAPISessionBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IMAPISessionBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return Unsupported("IMAPISession.GetLastError"); }
    HRESULT STDMETHODCALLTYPE GetMsgStoresTable(ULONG, LPMAPITABLE*) override { return Unsupported("IMAPISession.GetMsgStoresTable"); }
    HRESULT STDMETHODCALLTYPE OpenMsgStore(ULONG_PTR, ULONG, LPENTRYID, LPCIID, ULONG, LPMDB*) override { return Unsupported("IMAPISession.OpenMsgStore"); }
    HRESULT STDMETHODCALLTYPE OpenAddressBook(ULONG_PTR, LPCIID, ULONG, LPADRBOOK*) override { return Unsupported("IMAPISession.OpenAddressBook"); }
    HRESULT STDMETHODCALLTYPE OpenProfileSection(LPMAPIUID, LPCIID, ULONG, LPPROFSECT*) override { return Unsupported("IMAPISession.OpenProfileSection"); }
    HRESULT STDMETHODCALLTYPE GetStatusTable(ULONG, LPMAPITABLE*) override { return Unsupported("IMAPISession.GetStatusTable"); }
    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*) override { return Unsupported("IMAPISession.OpenEntry"); }
    HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*) override { return Unsupported("IMAPISession.CompareEntryIDs"); }
    HRESULT STDMETHODCALLTYPE Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override { return Unsupported("IMAPISession.Advise"); }
    HRESULT STDMETHODCALLTYPE Unadvise(ULONG) override { return Unsupported("IMAPISession.Unadvise"); }
    HRESULT STDMETHODCALLTYPE MessageOptions(ULONG_PTR, ULONG, LPSTR, LPMESSAGE) override { return Unsupported("IMAPISession.MessageOptions"); }
    HRESULT STDMETHODCALLTYPE QueryDefaultMessageOpt(LPSTR, ULONG, ULONG*, LPSPropValue*) override { return Unsupported("IMAPISession.QueryDefaultMessageOpt"); }
    HRESULT STDMETHODCALLTYPE EnumAdrTypes(ULONG, ULONG*, LPSTR**) override { return Unsupported("IMAPISession.EnumAdrTypes"); }
    HRESULT STDMETHODCALLTYPE QueryIdentity(ULONG*, LPENTRYID*) override { return Unsupported("IMAPISession.QueryIdentity"); }
    HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR, ULONG, ULONG) override { return Unsupported("IMAPISession.Logoff"); }
    HRESULT STDMETHODCALLTYPE SetDefaultStore(ULONG, ULONG, LPENTRYID) override { return Unsupported("IMAPISession.SetDefaultStore"); }
    HRESULT STDMETHODCALLTYPE AdminServices(ULONG, LPSERVICEADMIN*) override { return Unsupported("IMAPISession.AdminServices"); }
    HRESULT STDMETHODCALLTYPE ShowForm(ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG, LPMESSAGE, ULONG, ULONG, ULONG, ULONG, LPSTR) override { return Unsupported("IMAPISession.ShowForm"); }
    HRESULT STDMETHODCALLTYPE PrepareForm(LPCIID, LPMESSAGE, ULONG*) override { return Unsupported("IMAPISession.PrepareForm"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

class IProfAdminBase : public IProfAdmin {
public:
    explicit IProfAdminBase(std::string name) : m_name(std::move(name)) {}
    virtual ~IProfAdminBase() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { if (out) *out = nullptr; return MAPI_E_INTERFACE_NOT_SUPPORTED; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) { ObjectReleased(m_name); delete this; }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return Unsupported("IProfAdmin.GetLastError"); }
    HRESULT STDMETHODCALLTYPE GetProfileTable(ULONG, LPMAPITABLE*) override { return Unsupported("IProfAdmin.GetProfileTable"); }
    HRESULT STDMETHODCALLTYPE CreateProfile(LPSTR, LPSTR, ULONG_PTR, ULONG) override { return Unsupported("IProfAdmin.CreateProfile"); }
    HRESULT STDMETHODCALLTYPE DeleteProfile(LPSTR, ULONG) override { return Unsupported("IProfAdmin.DeleteProfile"); }
    HRESULT STDMETHODCALLTYPE ChangeProfilePassword(LPSTR, LPSTR, LPSTR, ULONG) override { return Unsupported("IProfAdmin.ChangeProfilePassword"); }
    HRESULT STDMETHODCALLTYPE CopyProfile(LPSTR, LPSTR, LPSTR, ULONG_PTR, ULONG) override { return Unsupported("IProfAdmin.CopyProfile"); }
    HRESULT STDMETHODCALLTYPE RenameProfile(LPSTR, LPSTR, LPSTR, ULONG_PTR, ULONG) override { return Unsupported("IProfAdmin.RenameProfile"); }
    HRESULT STDMETHODCALLTYPE SetDefaultProfile(LPSTR, ULONG) override { return Unsupported("IProfAdmin.SetDefaultProfile"); }
    HRESULT STDMETHODCALLTYPE AdminServices(LPSTR, LPSTR, ULONG_PTR, ULONG, LPSERVICEADMIN*) override { return Unsupported("IProfAdmin.AdminServices"); }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    ULONG m_refs = 1;
};

}  // namespace fakemapix
