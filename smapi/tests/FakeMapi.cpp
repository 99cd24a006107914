#include "FakeMapi.h"

#include <cstring>
#include <deque>
#include <fstream>
#include <set>

namespace fakemapi {
namespace {

std::set<void*>& buffers() {
    static std::set<void*> live;
    return live;
}

Text textOf(const char* text) { return text != nullptr ? Text(text) : Text(); }

Recip copyRecip(const MapiRecipDesc& r) {
    Recip c;
    c.recipClass = r.ulRecipClass;
    c.name = textOf(r.lpszName);
    c.address = textOf(r.lpszAddress);
    if (r.ulEIDSize != 0 && r.lpEntryID != nullptr) c.entryId.assign(static_cast<const char*>(r.lpEntryID), r.ulEIDSize);
    return c;
}

Message copyMessage(const MapiMessage& m) {
    Message c;
    c.subject = textOf(m.lpszSubject);
    c.noteText = textOf(m.lpszNoteText);
    c.dateReceived = textOf(m.lpszDateReceived);
    c.flags = m.flFlags;
    c.recipCount = m.nRecipCount;
    for (ULONG i = 0; i < m.nRecipCount && m.lpRecips != nullptr; ++i) c.recips.push_back(copyRecip(m.lpRecips[i]));
    if (m.lpOriginator != nullptr) c.originator = copyRecip(*m.lpOriginator);
    return c;
}

Call& record(const char* function, LHANDLE session, FLAGS flags) {
    calls().push_back(Call{});
    Call& c = calls().back();
    c.function = function;
    c.session = session;
    c.flags = flags;
    return c;
}

// Everything a handed-out structure points at, freed with it. A deque keeps its texts in
// place as it grows.
struct Handed {
    std::deque<std::string> texts;
    std::vector<MapiRecipDesc> recips;
    MapiRecipDesc originator{};
    std::vector<MapiFileDesc> files;
    MapiMessage message{};
};

char* keep(Handed& h, const Text& text) {
    if (!text) return nullptr;
    h.texts.push_back(*text);
    return h.texts.back().data();
}

void fillRecip(Handed& h, MapiRecipDesc& out, const Recip& r) {
    out = MapiRecipDesc{};
    out.ulRecipClass = r.recipClass;
    out.lpszName = keep(h, r.name);
    out.lpszAddress = keep(h, r.address);
    if (!r.entryId.empty()) {
        h.texts.push_back(r.entryId);
        out.lpEntryID = h.texts.back().data();
        out.ulEIDSize = static_cast<ULONG>(r.entryId.size());
    }
}

std::map<void*, Handed*>& handed() {
    static std::map<void*, Handed*> all;
    return all;
}

ULONG WINAPI fakeLogon(ULONG_PTR, LPSTR profile, LPSTR password, FLAGS flags, ULONG, LPLHANDLE session) {
    Call& c = record("MAPILogon", 0, flags);
    c.text = textOf(profile);
    c.password = textOf(password);
    if (script().logonResult != SUCCESS_SUCCESS) return script().logonResult;
    *session = script().sessionHanded;
    return SUCCESS_SUCCESS;
}

ULONG WINAPI fakeLogoff(LHANDLE session, ULONG_PTR, FLAGS flags, ULONG) {
    record("MAPILogoff", session, flags);
    return script().logoffResult;
}

ULONG WINAPI fakeSendMail(LHANDLE session, ULONG_PTR, lpMapiMessage message, FLAGS flags, ULONG) {
    record("MAPISendMail", session, flags).message = copyMessage(*message);
    return script().sendResult;
}

ULONG WINAPI fakeFindNext(LHANDLE session, ULONG_PTR, LPSTR type, LPSTR seed, FLAGS flags, ULONG, LPSTR id) {
    Call& c = record("MAPIFindNext", session, flags);
    c.type = textOf(type);
    c.text = textOf(seed);
    const auto& inbox = script().inbox;
    size_t next = 0;
    if (seed != nullptr && seed[0] != '\0') {
        while (next < inbox.size() && inbox[next].id != seed) ++next;
        if (next == inbox.size()) return MAPI_E_INVALID_MESSAGE;
        ++next;
    }
    if (next >= inbox.size()) return script().findFailure != SUCCESS_SUCCESS ? script().findFailure : MAPI_E_NO_MESSAGES;
    std::strcpy(id, inbox[next].id.c_str());
    return SUCCESS_SUCCESS;
}

ULONG WINAPI fakeReadMail(LHANDLE session, ULONG_PTR, LPSTR id, FLAGS flags, ULONG, lpMapiMessage* out) {
    record("MAPIReadMail", session, flags).text = textOf(id);
    if (script().readResult != SUCCESS_SUCCESS) return script().readResult;
    if (!script().failReadOf.empty() && script().failReadOf == id) return MAPI_E_FAILURE;
    const Stored* stored = nullptr;
    for (const Stored& s : script().inbox) {
        if (s.id == id) stored = &s;
    }
    if (stored == nullptr) return MAPI_E_INVALID_MESSAGE;
    auto* h = new Handed;
    MapiMessage& m = h->message;
    m.lpszSubject = keep(*h, stored->subject);
    m.lpszNoteText = keep(*h, stored->noteText);
    m.lpszDateReceived = keep(*h, stored->date);
    m.flFlags = stored->flags;
    if (stored->originator) {
        fillRecip(*h, h->originator, *stored->originator);
        m.lpOriginator = &h->originator;
    }
    h->recips.resize(stored->recips.size());
    for (size_t i = 0; i < stored->recips.size(); ++i) fillRecip(*h, h->recips[i], stored->recips[i]);
    m.nRecipCount = static_cast<ULONG>(h->recips.size());
    m.lpRecips = h->recips.empty() ? nullptr : h->recips.data();
    h->files.resize(stored->attachments.size());
    for (size_t i = 0; i < stored->attachments.size(); ++i) {
        std::string path = script().attachmentFolder + "/" + std::to_string(writtenFiles().size()) + "-" +
                           stored->attachments[i];
        std::ofstream(path) << "attachment " << i;
        writtenFiles().push_back(path);
        h->files[i] = MapiFileDesc{0, 0, ULONG(-1), keep(*h, path), keep(*h, stored->attachments[i]), nullptr};
    }
    m.nFileCount = static_cast<ULONG>(h->files.size());
    m.lpFiles = h->files.empty() ? nullptr : h->files.data();
    buffers().insert(&m);
    handed()[&m] = h;
    *out = &m;
    return SUCCESS_SUCCESS;
}

ULONG WINAPI fakeSaveMail(LHANDLE session, ULONG_PTR, lpMapiMessage message, FLAGS flags, ULONG, LPSTR id) {
    Call& c = record("MAPISaveMail", session, flags);
    c.message = copyMessage(*message);
    c.text = textOf(id);
    if (script().saveResult == SUCCESS_SUCCESS) std::strcpy(id, "saved-1");
    return script().saveResult;
}

ULONG WINAPI fakeDeleteMail(LHANDLE session, ULONG_PTR, LPSTR id, FLAGS flags, ULONG) {
    record("MAPIDeleteMail", session, flags).text = textOf(id);
    return script().deleteResult;
}

ULONG WINAPI fakeFreeBuffer(LPVOID pv) {
    record("MAPIFreeBuffer", 0, 0);
    if (buffers().erase(pv) == 0) return MAPI_E_FAILURE;
    auto it = handed().find(pv);
    if (it != handed().end()) {
        delete it->second;
        handed().erase(it);
    }
    return SUCCESS_SUCCESS;
}

ULONG WINAPI fakeResolveName(LHANDLE session, ULONG_PTR, LPSTR name, FLAGS flags, ULONG, lpMapiRecipDesc* out) {
    record("MAPIResolveName", session, flags).text = textOf(name);
    auto it = script().book.find(name != nullptr ? name : "");
    if (it == script().book.end()) return MAPI_E_UNKNOWN_RECIPIENT;
    auto* h = new Handed;
    fillRecip(*h, h->originator, it->second);
    buffers().insert(&h->originator);
    handed()[&h->originator] = h;
    *out = &h->originator;
    return SUCCESS_SUCCESS;
}

}  // namespace

Script& script() {
    static Script s;
    return s;
}

std::vector<Call>& calls() {
    static std::vector<Call> all;
    return all;
}

std::vector<std::string>& writtenFiles() {
    static std::vector<std::string> files;
    return files;
}

std::vector<std::string> callNames() {
    std::vector<std::string> names;
    for (const Call& c : calls()) names.push_back(c.function);
    return names;
}

void reset() {
    script() = Script{};
    calls().clear();
    writtenFiles().clear();
    for (auto& [block, h] : handed()) delete h;
    handed().clear();
    buffers().clear();
}

int outstandingBuffers() { return static_cast<int>(buffers().size()); }

SmapiFunctions functions() {
    SmapiFunctions f;
    f.MAPILogon = fakeLogon;
    f.MAPILogoff = fakeLogoff;
    f.MAPISendMail = fakeSendMail;
    f.MAPIFindNext = fakeFindNext;
    f.MAPIReadMail = fakeReadMail;
    f.MAPISaveMail = fakeSaveMail;
    f.MAPIDeleteMail = fakeDeleteMail;
    f.MAPIFreeBuffer = fakeFreeBuffer;
    f.MAPIResolveName = fakeResolveName;
    return f;
}

}  // namespace fakemapi
