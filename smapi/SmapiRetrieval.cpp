// GetAllMsgs: walks the mailbox with MAPIFindNext, reads each message whole (MAPI_PEEK: the
// read state stays), and hands the messages out as records.
#include <cstdio>
#include <cstring>
#include <new>

#include "SalvithApp.h"
#include "SmapiMessageText.h"
#include "framework/MsgArray.h"

namespace {

// Identifiers of up to MAPI_LONG_MSGID_SIZE characters fit with room to spare.
constexpr size_t kIdBufferSize = 1024;

// Joins the display texts of the recipients into the record's three lists.
void addRecipients(CMsg& msg, const MapiMessage& m) {
    if (m.lpRecips == nullptr) return;
    for (ULONG i = 0; i < m.nRecipCount; ++i) {
        const MapiRecipDesc& r = m.lpRecips[i];
        std::string& list = r.ulRecipClass == MAPI_CC ? msg.m_cc : r.ulRecipClass == MAPI_BCC ? msg.m_bcc : msg.m_to;
        std::string entry = SmapiDisplayText(r.lpszName, r.lpszAddress);
        // A recipient with neither name nor address would only leave a stray comma.
        if (entry.empty()) continue;
        if (!list.empty()) list += ",";
        list += entry;
    }
}

// The record of one message, filled in the order the fields are defined.
void fillMsg(CMsg& msg, const char* id, const MapiMessage& m) {
    msg.m_hostMsgId.Set(id, static_cast<uint32_t>(std::strlen(id) + 1));
    if ((m.flFlags & MAPI_UNREAD) == 0) {
        msg.m_flags |= MAILMSG_FLAG_READ;
    } else {
        msg.m_flags &= ~static_cast<uint32_t>(MAILMSG_FLAG_READ);
    }
    msg.m_flags |= MAILMSG_FLAG_FROM_HOST;
    if (m.lpszDateReceived != nullptr) msg.m_timeSent = msg.m_timeReceived = SmapiTimeFromDate(m.lpszDateReceived);
    if (m.lpszSubject != nullptr) msg.m_subject = m.lpszSubject;
    msg.m_body = SmapiBodyFromNoteText(m.lpszNoteText);
    msg.m_size = static_cast<uint32_t>(msg.m_body.size());
    if (m.lpOriginator != nullptr) msg.m_from = SmapiDisplayText(m.lpOriginator->lpszName, m.lpOriginator->lpszAddress);
    addRecipients(msg, m);
    if (m.nFileCount > 0) {
        msg.m_status = static_cast<uint16_t>((msg.m_status & ~(3u << MAILMSG_STATUS_ATTACH_SHIFT)) |
                                             (1u << MAILMSG_STATUS_ATTACH_SHIFT));
    }
    msg.m_status = static_cast<uint16_t>((msg.m_status & ~(3u << MAILMSG_STATUS_CONTENT_SHIFT)) |
                                         (2u << MAILMSG_STATUS_CONTENT_SHIFT));
}

}  // namespace

void CSalvithApp::ReleaseMessage(lpMapiMessage message) const {
    if (message == nullptr) return;
    // The library wrote each attachment to a file of its own for us; nothing else will
    // delete them.
    if (message->nFileCount > 0 && message->lpFiles != nullptr) {
        for (ULONG i = 0; i < message->nFileCount; ++i) {
            if (message->lpFiles[i].lpszPathName != nullptr) std::remove(message->lpFiles[i].lpszPathName);
        }
    }
    m_binding.Functions().MAPIFreeBuffer(message);
}

int CSalvithApp::GetAllMsgs(MailMsg*** msgsOut, int* countOut, int) {
    if (msgsOut == nullptr || countOut == nullptr) return MAILHOST_NULL_ARGUMENT;
    *countOut = 0;
    if (!HasSession()) return MAILHOST_SERVER_ERROR;
    const SmapiFunctions& mapi = m_binding.Functions();
    char seed[kIdBufferSize] = "";
    char id[kIdBufferSize] = "";
    CMsgList msgs;
    try {
        for (;;) {
            std::memset(id, 0, sizeof id);
            ULONG rc = mapi.MAPIFindNext(m_session, 0, nullptr, seed, MAPI_LONG_MSGID, 0, id);
            if (rc == MAPI_E_NO_MESSAGES) break;
            // Any other failure is not the end of the mailbox: handing out what was found so
            // far would read to the conduit as if the rest had been deleted.
            if (rc != SUCCESS_SUCCESS) return MAILHOST_SERVER_ERROR;
            // An identifier that does not end within the buffer, or one that repeats the seed,
            // would never end the walk.
            if (id[kIdBufferSize - 1] != '\0' || id[0] == '\0' || std::strcmp(id, seed) == 0) return MAILHOST_SERVER_ERROR;

            lpMapiMessage message = nullptr;
            if (mapi.MAPIReadMail(m_session, 0, id, MAPI_PEEK, 0, &message) != SUCCESS_SUCCESS || message == nullptr) {
                return MAILHOST_READ_FAILED;
            }
            std::unique_ptr<CMsg> msg(new (std::nothrow) CMsg);
            if (!msg) {
                ReleaseMessage(message);
                return MAILHOST_OUT_OF_MEMORY;
            }
            try {
                fillMsg(*msg, id, *message);
                msgs.push_back(std::move(msg));
            } catch (...) {
                ReleaseMessage(message);
                throw;
            }
            ReleaseMessage(message);
            // A record without its identifier could never be found again.
            if (msgs.back()->m_hostMsgId.IsEmpty()) return MAILHOST_OUT_OF_MEMORY;
            std::memcpy(seed, id, sizeof seed);
        }
    } catch (const std::bad_alloc&) {
        return MAILHOST_OUT_OF_MEMORY;
    }
    return BuildMailMsgArray(std::move(msgs), msgsOut, countOut);
}

int CSalvithApp::FreeMailMsg(MailMsg** msgs, int count) { return FreeMailMsgArray(msgs, count); }
