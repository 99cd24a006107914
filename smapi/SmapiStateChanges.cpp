// DeleteMsg, SetMsgReadStatus and SetMsgPriority: changes made on the handheld to a message
// that came from this host, found again by the identifier GetAllMsgs put in its record.
#include <cstring>

#include "SalvithApp.h"

std::string CSalvithApp::MessageIdOf(const MailMsg& msg) {
    if ((msg.flags & MAILMSG_FLAG_FROM_HOST) == 0 || msg.hostMsgIdSize == 0 || msg.hostMsgId == nullptr) {
        return std::string();
    }
    // The identifier is a text with its NUL; bytes that do not end in one are not an
    // identifier this host made, and are never read past their size.
    const char* bytes = reinterpret_cast<const char*>(msg.hostMsgId);
    size_t length = ::strnlen(bytes, msg.hostMsgIdSize);
    if (length == msg.hostMsgIdSize) return std::string();
    return std::string(bytes, length);
}

int CSalvithApp::DeleteMsg(const MailMsg* msg) {
    if (msg == nullptr || !HasSession()) return MAILHOST_SERVER_ERROR;
    std::string id = MessageIdOf(*msg);
    if (id.empty()) return MAILHOST_SERVER_ERROR;
    ULONG rc = m_binding.Functions().MAPIDeleteMail(m_session, 0, id.data(), 0, 0);
    return rc == SUCCESS_SUCCESS ? MAILHOST_OK : MAILHOST_SERVER_ERROR;
}

int CSalvithApp::SetMsgReadStatus(const MailMsg* msg, int) {
    if (msg == nullptr || !HasSession()) return MAILHOST_SERVER_ERROR;
    std::string id = MessageIdOf(*msg);
    if (id.empty()) return MAILHOST_SERVER_ERROR;
    // Reading without MAPI_PEEK is what marks a message read; Simple MAPI has no way to mark
    // one unread, so `read` makes no difference.
    lpMapiMessage message = nullptr;
    ULONG rc = m_binding.Functions().MAPIReadMail(m_session, 0, id.data(), MAPI_ENVELOPE_ONLY, 0, &message);
    if (rc == SUCCESS_SUCCESS) ReleaseMessage(message);
    return rc == SUCCESS_SUCCESS ? MAILHOST_OK : MAILHOST_SERVER_ERROR;
}

int CSalvithApp::SetMsgPriority(const MailMsg*, int) {
    // Simple MAPI offers no way to change a stored message's priority.
    return MAILHOST_OK;
}
