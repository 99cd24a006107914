// SendMsg and SetMsg: a record written on the handheld becomes an Extended MAPI message in the
// outbox (submitted to the spooler) or in the inbox (filed as received), with its recipients
// resolved through the address book.
#include <cstring>
#include <new>
#include <string>

#include "DunmereApp.h"
#include "MapiMessageText.h"
#include "framework/AddressText.h"
#include "framework/ResourceStrings.h"
#include "morleaf_ids.h"

namespace {

// PR_ADDRTYPE buffers hold at least this much, so that "smtp" can be written into them.
constexpr size_t kAddressTypeMinimum = 5;

template <typename T>
void release(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

// Allocates `text` with its NUL on `parent` into `*out`. False when the allocation fails.
bool copyText(const MapiFunctions& mapi, const std::string& text, LPVOID parent, LPSTR* out, size_t minimum = 0) {
    size_t size = text.size() + 1 < minimum ? minimum : text.size() + 1;
    LPVOID bytes = nullptr;
    if (FAILED(mapi.MAPIAllocateMore(static_cast<ULONG>(size), parent, &bytes)) || bytes == nullptr) return false;
    std::memset(bytes, 0, size);
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    *out = static_cast<LPSTR>(bytes);
    return true;
}

// A zero-filled block of `count` property values, or null.
LPSPropValue allocateValues(const MapiFunctions& mapi, ULONG count) {
    LPVOID block = nullptr;
    if (FAILED(mapi.MAPIAllocateBuffer(count * sizeof(SPropValue), &block)) || block == nullptr) return nullptr;
    std::memset(block, 0, count * sizeof(SPropValue));
    return static_cast<LPSPropValue>(block);
}

// Releases what a submission or filing made, on every path out.
struct Cleanup {
    const MapiFunctions& mapi;
    LPMESSAGE message = nullptr;
    LPSPropValue values = nullptr;
    ~Cleanup() {
        if (values != nullptr) mapi.MAPIFreeBuffer(values);
        release(message);
    }
};

}  // namespace

LPSPropValue CDunmereApp::OwnIdentity(SBinary* target, LPVOID parent) {
    OpenMailbox& mailbox = *m_mailbox;
    if (mailbox.identity == nullptr) {
        ULONG idSize = 0;
        LPENTRYID id = nullptr;
        if (FAILED(mailbox.session->QueryIdentity(&idSize, &id)) || id == nullptr) {
            if (id != nullptr) Mapi().MAPIFreeBuffer(id);
            return nullptr;
        }
        ULONG type = 0;
        LPUNKNOWN object = nullptr;
        HRESULT hr = mailbox.session->OpenEntry(idSize, id, nullptr, MAPI_BEST_ACCESS, &type, &object);
        // The identifier is ours to free once the object is open (or could not be).
        Mapi().MAPIFreeBuffer(id);
        if (FAILED(hr) || object == nullptr) {
            release(object);
            return nullptr;
        }
        SizedSPropTagArray(6, tags) = {
            6, {PR_ENTRYID, PR_DISPLAY_NAME, PR_ADDRTYPE, PR_EMAIL_ADDRESS, PR_SEARCH_KEY, PR_RECIPIENT_TYPE}};
        ULONG count = 0;
        LPSPropValue values = nullptr;
        hr = reinterpret_cast<LPMAPIPROP>(object)->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &count, &values);
        object->Release();
        if (FAILED(hr) || values == nullptr || count == 0) {
            if (values != nullptr) Mapi().MAPIFreeBuffer(values);
            return nullptr;
        }
        mailbox.identity = values;
        mailbox.identityCount = count;
    }
    if (target != nullptr) {
        // A PR_ENTRYID that came back as an error carries an error code, not a byte count.
        const SPropValue& entry = mailbox.identity[0];
        if (entry.ulPropTag != PR_ENTRYID || entry.Value.bin.cb == 0) return nullptr;
        if (FAILED(CopyBinaryValue(Mapi(), *target, entry.Value.bin, parent))) return nullptr;
    }
    return mailbox.identity;
}

int CDunmereApp::AddRecipients(LPMESSAGE message, const std::string& recipients, ULONG type, ULONG flags) {
    const MapiFunctions& mapi = Mapi();
    std::string entries = recipients;
    const int count = NormalizeAddressList(entries);
    if (count <= 0) return MAILHOST_OK;
    LPVOID block = nullptr;
    const size_t listSize = CbNewADRLIST(count);
    if (FAILED(mapi.MAPIAllocateBuffer(static_cast<ULONG>(listSize), &block)) || block == nullptr) {
        return MAILHOST_OUT_OF_MEMORY;
    }
    // Zero-filled, so that a list freed half-built frees only what was built.
    std::memset(block, 0, listSize);
    LPADRLIST list = static_cast<LPADRLIST>(block);
    list->cEntries = static_cast<ULONG>(count);
    int result = MAILHOST_OK;
    for (int i = 0; i < count && result == MAILHOST_OK; ++i) {
        const std::string entry = GetNextListEntry(entries);
        const std::string name = GetDisplayNamePart(entry);
        const std::string address = GetAddressPart(entry);
        const size_t colon = address.find(':');
        const std::string addressType = colon != std::string::npos ? address.substr(0, colon) : std::string();
        // Each entry's values are a block of their own: the address book replaces and frees
        // entries one by one.
        LPSPropValue values = allocateValues(mapi, 4);
        if (values == nullptr) {
            result = MAILHOST_OUT_OF_MEMORY;
            break;
        }
        list->aEntries[i].cValues = 4;
        list->aEntries[i].rgPropVals = values;
        values[0].ulPropTag = PR_DISPLAY_NAME;
        values[1].ulPropTag = PR_RECIPIENT_TYPE;
        values[2].ulPropTag = PR_ADDRTYPE;
        values[3].ulPropTag = PR_EMAIL_ADDRESS;
        if (!copyText(mapi, name, values, &values[0].Value.lpszA) ||
            !copyText(mapi, addressType, values, &values[2].Value.lpszA, kAddressTypeMinimum) ||
            !copyText(mapi, address, values, &values[3].Value.lpszA)) {
            result = MAILHOST_OUT_OF_MEMORY;
        }
    }
    if (result == MAILHOST_OK) {
        const bool resolved = SUCCEEDED(m_mailbox->addressBook->ResolveName(0, 0, nullptr, list));
        const std::string smtp = LoadResString(MORLEAF_IDS_SMTP);
        for (ULONG i = 0; i < list->cEntries; ++i) {
            ADRENTRY& entry = list->aEntries[i];
            for (ULONG v = 0; v < entry.cValues && entry.rgPropVals != nullptr; ++v) {
                SPropValue& value = entry.rgPropVals[v];
                if (value.ulPropTag == PR_RECIPIENT_TYPE) value.Value.l = static_cast<LONG>(type);
                // Unresolved addresses go out as typed, as Internet one-off recipients.
                if (!resolved && value.ulPropTag == PR_ADDRTYPE && value.Value.lpszA != nullptr &&
                    value.Value.lpszA[0] == '\0' && smtp.size() + 1 <= kAddressTypeMinimum) {
                    std::memcpy(value.Value.lpszA, smtp.c_str(), smtp.size() + 1);
                }
            }
        }
        if (FAILED(message->ModifyRecipients(flags, list))) result = MAILHOST_SERVER_ERROR;
    }
    mapi.FreePadrlist(list);
    return result;
}

int CDunmereApp::SendMsg(const MailMsg* msg) {
    if (msg == nullptr) return MAILHOST_NULL_ARGUMENT;
    if (!HasMailbox() || m_mailbox->folders[kMapiOutbox] == nullptr) return MAILHOST_SERVER_ERROR;
    try {
        const CMsg copy(*msg);
        const MapiFunctions& mapi = Mapi();
        Cleanup made{mapi};
        if (FAILED(m_mailbox->folders[kMapiOutbox]->CreateMessage(nullptr, 0, &made.message)) ||
            made.message == nullptr) {
            return MAILHOST_OUT_OF_MEMORY;
        }
        LPSPropValue v = made.values = allocateValues(mapi, 9);
        if (v == nullptr) return MAILHOST_OUT_OF_MEMORY;
        const uint32_t priority = (copy.m_status >> MAILMSG_STATUS_PRIORITY_SHIFT) & 3u;
        v[0].ulPropTag = PR_MESSAGE_FLAGS;
        v[0].Value.l = MSGFLAG_READ | MSGFLAG_SUBMIT | MSGFLAG_UNSENT;
        v[1].ulPropTag = PR_IMPORTANCE;
        v[1].Value.l = MapiImportanceOfPriority(priority);
        v[2].ulPropTag = PR_READ_RECEIPT_REQUESTED;
        v[2].Value.b = (copy.m_status & MAILMSG_STATUS_READ_RECEIPT) != 0;
        v[3].ulPropTag = PR_ORIGINATOR_DELIVERY_REPORT_REQUESTED;
        v[3].Value.b = (copy.m_status & MAILMSG_STATUS_DELIVERY_REPORT) != 0;
        v[4].ulPropTag = PR_SUBJECT;
        v[5].ulPropTag = PR_BODY;
        v[6].ulPropTag = PR_SENDER_ENTRYID;
        v[7].ulPropTag = PR_SENTMAIL_ENTRYID;
        v[8].ulPropTag = PR_MESSAGE_CLASS;
        if (!copyText(mapi, copy.m_subject, v, &v[4].Value.lpszA) ||
            !copyText(mapi, "IPM.Note", v, &v[8].Value.lpszA) || !copyText(mapi, copy.m_body, v, &v[5].Value.lpszA)) {
            return MAILHOST_OUT_OF_MEMORY;
        }
        if (OwnIdentity(&v[6].Value.bin, v) == nullptr) return MAILHOST_OUT_OF_MEMORY;
        if (FAILED(CopyBinaryValue(mapi, v[7].Value.bin, m_mailbox->folderIds[kMapiSentItems], v))) {
            return MAILHOST_OUT_OF_MEMORY;
        }
        if (FAILED(made.message->SetProps(9, v, nullptr))) return MAILHOST_SERVER_ERROR;
        int result = AddAllRecipients(made.message, copy);
        if (result != MAILHOST_OK) return result;
        return FAILED(made.message->SubmitMessage(0)) ? MAILHOST_ERROR : MAILHOST_OK;
    } catch (const std::bad_alloc&) {
        return MAILHOST_OUT_OF_MEMORY;
    }
}

int CDunmereApp::AddAllRecipients(LPMESSAGE message, const CMsg& msg) {
    // The first list replaces whatever the message had; the others are added to it.
    ULONG flags = 0;
    const std::pair<const std::string*, ULONG> lists[] = {{&msg.m_to, MAPI_TO}, {&msg.m_cc, MAPI_CC}, {&msg.m_bcc, MAPI_BCC}};
    for (const auto& [text, type] : lists) {
        if (text->empty()) continue;
        int result = AddRecipients(message, *text, type, flags);
        // A message without the recipients it was written with is neither sent nor filed.
        if (result != MAILHOST_OK) return result;
        flags = MODRECIP_ADD;
    }
    return MAILHOST_OK;
}

int CDunmereApp::SetMsg(const MailMsg* msg) {
    if (msg == nullptr) return MAILHOST_NULL_ARGUMENT;
    if (!HasMailbox() || m_mailbox->folders[kMapiInbox] == nullptr) return MAILHOST_SERVER_ERROR;
    try {
        CMsg copy(*msg);
        // A record that came from the desktop is there already; filing it again would copy it.
        if (!copy.m_hostMsgId.IsEmpty()) return MAILHOST_SERVER_ERROR;
        if (copy.m_from.empty()) copy.m_from = LoadResString(MORLEAF_IDS_FALLBACK_SENDER);
        const MapiFunctions& mapi = Mapi();
        Cleanup made{mapi};
        if (FAILED(m_mailbox->folders[kMapiInbox]->CreateMessage(nullptr, 0, &made.message)) ||
            made.message == nullptr) {
            return MAILHOST_OUT_OF_MEMORY;
        }
        const std::string senderName = GetDisplayNamePart(copy.m_from);
        const std::string senderAddress = GetAddressPart(copy.m_from);
        LPSPropValue v = made.values = allocateValues(mapi, 7);
        if (v == nullptr) return MAILHOST_OUT_OF_MEMORY;
        const bool read = (copy.m_status & MAILMSG_STATUS_READ_ON_HANDHELD) != 0 || (copy.m_flags & MAILMSG_FLAG_READ) != 0;
        v[0].ulPropTag = PR_MESSAGE_FLAGS;
        v[0].Value.l = read ? MSGFLAG_READ : 0;
        v[1].ulPropTag = PR_SUBJECT;
        v[2].ulPropTag = PR_BODY;
        v[3].ulPropTag = PR_SENT_REPRESENTING_NAME;
        v[4].ulPropTag = PR_SENT_REPRESENTING_EMAIL_ADDRESS;
        v[5].ulPropTag = PR_IMPORTANCE;
        v[5].Value.l = MapiImportanceOfPriority((copy.m_flags >> MAILMSG_FLAG_PRIORITY_SHIFT) & 3u);
        v[6].ulPropTag = PR_INCOMPLETE_COPY;
        v[6].Value.b = ((copy.m_status >> MAILMSG_STATUS_CONTENT_SHIFT) & 3u) != 2;
        if (!copyText(mapi, copy.m_subject, v, &v[1].Value.lpszA) || !copyText(mapi, copy.m_body, v, &v[2].Value.lpszA) ||
            !copyText(mapi, senderName, v, &v[3].Value.lpszA) || !copyText(mapi, senderAddress, v, &v[4].Value.lpszA)) {
            return MAILHOST_OUT_OF_MEMORY;
        }
        if (FAILED(made.message->SetProps(7, v, nullptr))) return MAILHOST_SERVER_ERROR;
        int result = AddAllRecipients(made.message, copy);
        if (result != MAILHOST_OK) return result;
        // A message that was not saved is not filed, whatever the steps before said.
        return FAILED(made.message->SaveChanges(KEEP_OPEN_READWRITE)) ? MAILHOST_SERVER_ERROR : MAILHOST_OK;
    } catch (const std::bad_alloc&) {
        return MAILHOST_OUT_OF_MEMORY;
    }
}
