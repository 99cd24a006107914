#include "framework/MsgArray.h"

#include <cstdlib>

#include "framework/Allocation.h"

int BuildMailMsgArray(CMsgList&& msgs, MailMsg*** msgsOut, int* countOut) {
    if (msgsOut == nullptr || countOut == nullptr) return MAILHOST_NULL_ARGUMENT;
    *countOut = 0;
    CMsgList list = std::move(msgs);
    if (list.empty()) return MAILHOST_OK;

    auto** array = static_cast<MailMsg**>(vesk::checkedMalloc(list.size() * sizeof(MailMsg*)));
    if (array == nullptr) return MAILHOST_OUT_OF_MEMORY;

    int count = 0;
    for (std::unique_ptr<CMsg>& msg : list) {
        msg->m_flags |= MAILMSG_FLAG_FROM_HOST;
        MailMsg* record = nullptr;
        const int rc = msg->ToMailMsg(&record);
        msg.reset();
        if (rc != MAILHOST_OK) {
            FreeMailMsgArray(array, count);
            return rc;
        }
        array[count++] = record;
    }
    *msgsOut = array;
    *countOut = count;
    return MAILHOST_OK;
}

int FreeMailMsgArray(MailMsg** msgs, int count) {
    if (msgs == nullptr) return MAILHOST_NULL_ARGUMENT;
    for (int i = 0; i < count; ++i) {
        if (msgs[i] != nullptr) ReleaseMailMsg(msgs[i]);
    }
    std::free(msgs);
    return MAILHOST_OK;
}
