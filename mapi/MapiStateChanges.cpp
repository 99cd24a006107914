// DeleteMsg, SetMsgReadStatus and SetMsgPriority: changes made on the handheld to a message
// that came from this host, found again by the entry identifier GetAllMsgs put in its record.
#include "DunmereApp.h"
#include "MapiMessageText.h"
#include "trevlin/Trevlin.h"

namespace {

constexpr int kYieldCycles = 100;

// A record names a host message when it came from the host and carries an identifier.
bool identifiable(const MailMsg& msg) {
    return (msg.flags & MAILMSG_FLAG_FROM_HOST) != 0 && msg.hostMsgIdSize != 0 && msg.hostMsgId != nullptr;
}

}  // namespace

int CDunmereApp::OpenMessageOf(const MailMsg& msg, LPMESSAGE* message) {
    *message = nullptr;
    ULONG type = 0;
    LPUNKNOWN object = nullptr;
    HRESULT hr = m_mailbox->store->OpenEntry(msg.hostMsgIdSize, reinterpret_cast<LPENTRYID>(msg.hostMsgId), nullptr,
                                             MAPI_BEST_ACCESS, &type, &object);
    if (FAILED(hr)) {
        if (object != nullptr) object->Release();
        return MAILHOST_SERVER_ERROR;
    }
    SyncYieldCycles(kYieldCycles);
    if (object == nullptr) return MAILHOST_SERVER_ERROR;
    if (type != MAPI_MESSAGE) {
        object->Release();
        return MAILHOST_ERROR;
    }
    *message = reinterpret_cast<LPMESSAGE>(object);
    return MAILHOST_OK;
}

int CDunmereApp::DeleteMsg(const MailMsg* msg) {
    if (msg == nullptr || !HasMailbox() || !identifiable(*msg)) return MAILHOST_SERVER_ERROR;
    if (m_mailbox->folders[kMapiInbox] == nullptr || m_mailbox->folders[kMapiDeletedItems] == nullptr) {
        return MAILHOST_SERVER_ERROR;
    }
    SyncYieldCycles(kYieldCycles);
    SBinary id{msg->hostMsgIdSize, msg->hostMsgId};
    ENTRYLIST list{1, &id};
    HRESULT hr = m_mailbox->folders[kMapiInbox]->CopyMessages(&list, nullptr, m_mailbox->folders[kMapiDeletedItems], 0,
                                                               nullptr, MESSAGE_MOVE | MESSAGE_DIALOG);
    if (FAILED(hr)) return MAILHOST_SERVER_ERROR;
    SyncYieldCycles(kYieldCycles);
    return MAILHOST_OK;
}

int CDunmereApp::SetMsgReadStatus(const MailMsg* msg, int read) {
    if (msg == nullptr || !HasMailbox() || !identifiable(*msg)) return MAILHOST_SERVER_ERROR;
    LPMESSAGE message = nullptr;
    int result = OpenMessageOf(*msg, &message);
    if (result != MAILHOST_OK) return result;
    if (FAILED(message->SetReadFlag(read != 0 ? 0 : CLEAR_READ_FLAG))) result = MAILHOST_SERVER_ERROR;
    message->Release();
    SyncYieldCycles(kYieldCycles);
    return result;
}

int CDunmereApp::SetMsgPriority(const MailMsg* msg, int priority) {
    if (msg == nullptr || !HasMailbox() || !identifiable(*msg)) return MAILHOST_SERVER_ERROR;
    // Only high, normal and low have an importance; anything else would write an unset one.
    if (priority < 0 || priority > 2) return MAILHOST_ERROR;
    LPMESSAGE message = nullptr;
    int result = OpenMessageOf(*msg, &message);
    if (result != MAILHOST_OK) return result;
    LPVOID block = nullptr;
    if (FAILED(Mapi().MAPIAllocateBuffer(sizeof(SPropValue), &block)) || block == nullptr) {
        result = MAILHOST_OUT_OF_MEMORY;
    } else {
        LPSPropValue value = static_cast<LPSPropValue>(block);
        value->ulPropTag = PR_IMPORTANCE;
        value->dwAlignPad = 0;
        value->Value.l = MapiImportanceOfPriority(static_cast<uint32_t>(priority));
        if (FAILED(message->SetProps(1, value, nullptr)) || FAILED(message->SaveChanges(KEEP_OPEN_READWRITE))) {
            result = MAILHOST_SERVER_ERROR;
        }
        Mapi().MAPIFreeBuffer(block);
    }
    message->Release();
    SyncYieldCycles(kYieldCycles);
    return result;
}
