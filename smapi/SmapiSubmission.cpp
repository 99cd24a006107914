// SendMsg and SetMsg: a record written on the handheld becomes a Simple MAPI message whose
// recipients are resolved one by one, then is sent, or filed into the mail store.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "SalvithApp.h"
#include "framework/AddressText.h"
#include "framework/Allocation.h"
#include "framework/Msg.h"

namespace {

// Buffer for the identifier MAPISaveMail writes back (not used further).
constexpr size_t kIdBufferSize = 1024;

// Zero-filled blocks from the checked allocator, freed on every path out.
struct FreeBlock {
    void operator()(void* block) const { std::free(block); }
};
template <typename T>
using Block = std::unique_ptr<T, FreeBlock>;

template <typename T>
Block<T> allocateZeroed(size_t count) {
    size_t bytes = sizeof(T) * (count == 0 ? 1 : count);
    T* block = static_cast<T*>(vesk::checkedMalloc(bytes));
    if (block != nullptr) std::memset(static_cast<void*>(block), 0, bytes);
    return Block<T>(block);
}

std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The texts a message's recipients point at, owned by the operation until it returns.
class RecipientTexts {
public:
    // A copy of `text` that stays put while the operation runs.
    char* Keep(const std::string& text) {
        m_texts.push_back(std::make_unique<std::string>(text));
        return m_texts.back()->data();
    }
    void* KeepBytes(const void* bytes, ULONG size) {
        m_texts.push_back(std::make_unique<std::string>(static_cast<const char*>(bytes), size));
        return m_texts.back()->data();
    }

private:
    std::vector<std::unique_ptr<std::string>> m_texts;
};

/// Entries of an address list after normalisation.
int CountEntries(const std::string& list) {
    std::string copy = list;
    return NormalizeAddressList(copy);
}

/// Fills recipients from `list` with class `recipClass` into `recips` from `*index` on, each
/// resolved through the library. An entry is cut after an address type ("smtp:"), looked up in
/// lower case, and sent by its own text as the name when it does not resolve.
void FillRecipients(const SmapiFunctions& mapi, LHANDLE session, const std::string& list, ULONG recipClass,
                    MapiRecipDesc* recips, ULONG count, ULONG* index, RecipientTexts& texts) {
    std::string entries = list;
    int n = NormalizeAddressList(entries);
    for (int i = 0; i < n && *index < count; ++i) {
        std::string entry = GetNextListEntry(entries);
        size_t colon = entry.find(':');
        if (colon != std::string::npos) entry.erase(0, colon + 1);
        MapiRecipDesc& r = recips[*index];
        lpMapiRecipDesc resolved = nullptr;
        std::string query = lowerCase(entry);
        ULONG rc = mapi.MAPIResolveName(session, 0, query.data(), 0, 0, &resolved);
        if (rc == SUCCESS_SUCCESS && resolved != nullptr) {
            if (resolved->lpszAddress != nullptr) r.lpszAddress = texts.Keep(resolved->lpszAddress);
            if (resolved->lpszName != nullptr) r.lpszName = texts.Keep(resolved->lpszName);
            if (resolved->ulEIDSize != 0 && resolved->lpEntryID != nullptr) {
                r.ulEIDSize = resolved->ulEIDSize;
                r.lpEntryID = texts.KeepBytes(resolved->lpEntryID, resolved->ulEIDSize);
            }
            mapi.MAPIFreeBuffer(resolved);
        } else {
            // Unknown or ambiguous: the mail program decides what to do with the name, which
            // keeps the capitals it was written with.
            r.lpszName = texts.Keep(entry);
        }
        r.ulRecipClass = recipClass;
        ++*index;
    }
}

/// The recipients of `msg` (To, then Cc, then Bcc) into `message`, backed by `recips`.
/// MAILHOST_OK or MAILHOST_OUT_OF_MEMORY.
int AddRecipients(const SmapiFunctions& mapi, LHANDLE session, const CMsg& msg, MapiMessage& message,
                  Block<MapiRecipDesc>& recips, RecipientTexts& texts) {
    ULONG count = static_cast<ULONG>(CountEntries(msg.m_to) + CountEntries(msg.m_cc) + CountEntries(msg.m_bcc));
    recips = allocateZeroed<MapiRecipDesc>(count);
    if (!recips) return MAILHOST_OUT_OF_MEMORY;
    ULONG index = 0;
    FillRecipients(mapi, session, msg.m_to, MAPI_TO, recips.get(), count, &index, texts);
    FillRecipients(mapi, session, msg.m_cc, MAPI_CC, recips.get(), count, &index, texts);
    FillRecipients(mapi, session, msg.m_bcc, MAPI_BCC, recips.get(), count, &index, texts);
    message.nRecipCount = count;
    message.lpRecips = count > 0 ? recips.get() : nullptr;
    return MAILHOST_OK;
}

}  // namespace

int CSalvithApp::SendMsg(const MailMsg* msg) {
    if (msg == nullptr) return MAILHOST_NULL_ARGUMENT;
    if (!HasSession()) return MAILHOST_SERVER_ERROR;
    try {
        CMsg copy(*msg);
        Block<MapiMessage> message = allocateZeroed<MapiMessage>(1);
        if (!message) return MAILHOST_OUT_OF_MEMORY;
        // The record's own texts; NULL when it has none.
        message->lpszSubject = msg->subject;
        message->lpszNoteText = msg->body;
        if ((msg->status & (MAILMSG_STATUS_DELIVERY_REPORT | MAILMSG_STATUS_READ_RECEIPT)) != 0) {
            message->flFlags |= MAPI_RECEIPT_REQUESTED;
        }
        Block<MapiRecipDesc> recips;
        RecipientTexts texts;
        int result = AddRecipients(m_binding.Functions(), m_session, copy, *message, recips, texts);
        if (result != MAILHOST_OK) return result;
        // The sender is whoever is logged on; the record's From plays no part.
        ULONG rc = m_binding.Functions().MAPISendMail(m_session, 0, message.get(), 0, 0);
        return rc == SUCCESS_SUCCESS ? MAILHOST_OK : MAILHOST_SEND_FAILED;
    } catch (const std::bad_alloc&) {
        return MAILHOST_OUT_OF_MEMORY;
    }
}

int CSalvithApp::SetMsg(const MailMsg* msg) {
    if (msg == nullptr) return MAILHOST_NULL_ARGUMENT;
    if (!HasSession()) return MAILHOST_SERVER_ERROR;
    try {
        Block<MapiMessage> message = allocateZeroed<MapiMessage>(1);
        if (!message) return MAILHOST_OUT_OF_MEMORY;
        CMsg copy(*msg);
        // Empty texts, never NULL, when the record has none.
        message->lpszSubject = copy.m_subject.data();
        message->lpszNoteText = copy.m_body.data();
        Block<MapiRecipDesc> originator = allocateZeroed<MapiRecipDesc>(1);
        if (!originator) return MAILHOST_OUT_OF_MEMORY;
        RecipientTexts texts;
        // Only the first entry of the sender's text is the originator.
        ULONG index = 0;
        std::string from = copy.m_from;
        std::string first = GetNextListEntry(from);
        if (!first.empty()) FillRecipients(m_binding.Functions(), m_session, first, MAPI_ORIG, originator.get(), 1, &index, texts);
        originator->ulRecipClass = MAPI_ORIG;
        message->lpOriginator = originator.get();
        Block<MapiRecipDesc> recips;
        int result = AddRecipients(m_binding.Functions(), m_session, copy, *message, recips, texts);
        if (result != MAILHOST_OK) return result;
        char id[kIdBufferSize] = "";
        ULONG rc = m_binding.Functions().MAPISaveMail(m_session, 0, message.get(), 0, 0, id);
        return rc == SUCCESS_SUCCESS ? MAILHOST_OK : MAILHOST_SERVER_ERROR;
    } catch (const std::bad_alloc&) {
        return MAILHOST_OUT_OF_MEMORY;
    }
}
