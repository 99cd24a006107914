// DeleteMsg, SetMsgReadStatus and SetMsgPriority: changes made on the handheld to a message
// that came from this host, found again by the 8-byte reference GetAllMsgs put in its record.
#include <cstring>

#include "OrvekApp.h"
#include "VimRecords.h"
#include "framework/ResourceStrings.h"
#include "kestrav_ids.h"
#include "trevlin/Trevlin.h"

namespace {
constexpr int kYieldCycles = 100;
}  // namespace

bool COrvekApp::ReferenceOf(const MailMsg* msg, vimRef& ref) {
    // A record the handheld wrote has no desktop message behind it, and any other size did not
    // come from this host's GetAllMsgs: copying it would read past the caller's bytes or name
    // a different message.
    if (msg == nullptr || (msg->flags & MAILMSG_FLAG_FROM_HOST) == 0 || msg->hostMsgId == nullptr ||
        msg->hostMsgIdSize != sizeof(vimRef)) {
        return false;
    }
    std::memcpy(&ref, msg->hostMsgId, sizeof ref);
    return true;
}

int COrvekApp::DeleteMsg(const MailMsg* msg) {
    vimRef ref{};
    if (m_container == 0 || !ReferenceOf(msg, ref)) return MAILHOST_SERVER_ERROR;
    // Deleted messages are kept in "Trash", not destroyed.
    std::string trash = LoadResString(KESTRAV_IDS_TRASH_FOLDER);
    const vimWord status = VimStatusOf(m_vim.Functions().SetMessageCategory(m_container, ref, trash.data()));
    return status == 0 ? MAILHOST_OK : MAILHOST_SERVER_ERROR;
}

int COrvekApp::SetMsgReadStatus(const MailMsg* msg, int read) {
    // A VIM message cannot be marked unread again.
    if (read == 0) return MAILHOST_NOT_SUPPORTED;
    vimRef ref{};
    if (m_container == 0 || !ReferenceOf(msg, ref)) return MAILHOST_SERVER_ERROR;
    return VimStatusOf(m_vim.Functions().MarkMessageAsRead(m_container, ref)) == 0 ? MAILHOST_OK : MAILHOST_SERVER_ERROR;
}

int COrvekApp::SetMsgPriority(const MailMsg* msg, int priority) {
    vimRef ref{};
    if (m_container == 0 || !ReferenceOf(msg, ref)) return MAILHOST_SERVER_ERROR;
    const VimFunctions& vim = m_vim.Functions();
    vimMsg message = 0;
    if (VimStatusOf(vim.OpenMessage(m_container, ref, nullptr, &message)) != 0) return MAILHOST_SERVER_ERROR;
    SyncYieldCycles(kYieldCycles);
    int result = MAILHOST_OK;
    vimWord value = VimPriorityFromHandheld(priority);
    if (VimStatusOf(vim.SetMessageHeader(message, VIMSEL_PRIORITY, sizeof value, &value)) != 0) {
        result = MAILHOST_SERVER_ERROR;
    }
    if (message != 0 && VimStatusOf(vim.CloseMessage(message)) != 0) result = MAILHOST_SERVER_ERROR;
    SyncYieldCycles(kYieldCycles);
    return result;
}
