// GetAllMsgs: lists the mailbox ten messages at a time with seven header attributes, reads each
// message's text parts, attachment names and recipients unless only headers are wanted, and
// hands the messages out as records.
#include <cstring>
#include <memory>
#include <new>

#include "OrvekApp.h"
#include "VimRecords.h"
#include "framework/MsgArray.h"
#include "framework/ResourceStrings.h"
#include "framework/UnwrapLines.h"
#include "kestrav_ids.h"
#include "trevlin/Trevlin.h"

namespace {

constexpr int kYieldCycles = 100;

// The attributes the listing asks for, in the order of the descriptors.
constexpr vimSelector kAttrReference = 76;
constexpr vimSelector kAttrUnread = 103;
constexpr vimSelector kAttrFrom = 34;
constexpr vimSelector kAttrPriority = 71;
constexpr vimSelector kAttrSubject = 91;
constexpr vimSelector kAttrDate = 19;
constexpr vimSelector kAttrSize = 266;
constexpr vimSelector kAttrRecipient = 75;
constexpr vimSelector kNoFilter = 58;
constexpr size_t kSubjectSize = 256;

// Item classes and the recipient classes in the order they are read.
constexpr vimSelector kItemAttachment = 6;
constexpr vimSelector kItemText = 62;
constexpr vimSelector kRecipientClasses[] = {97, 10, 9};

// Text parts are read in pieces of this many bytes, into a buffer one larger for the NUL.
constexpr vimDWord kReadPiece = 8191;

// One batch of the listing: ten elements of each attribute.
struct ListingBatch {
    vimRef refs[kVimBatch];
    vimBool unread[kVimBatch];
    vimRecipient from[kVimBatch];
    vimWord priority[kVimBatch];
    char subject[kVimBatch][kSubjectSize];
    vimDate date[kVimBatch];
    vimDWord size[kVimBatch];
};

// The message's fields from its listed attributes.
void fillFromListing(CMsg& msg, const ListingBatch& batch, size_t i) {
    msg.m_flags |= MAILMSG_FLAG_FROM_HOST;
    msg.m_hostMsgId.Set(&batch.refs[i], sizeof(vimRef));
    if (batch.unread[i] == 0) {
        msg.m_flags |= MAILMSG_FLAG_READ;
    } else {
        msg.m_flags &= ~static_cast<uint32_t>(MAILMSG_FLAG_READ);
    }
    msg.m_from = VimDisplayText(batch.from[i]);
    const uint32_t priority = VimPriorityToFlags(batch.priority[i]);
    msg.m_flags = (msg.m_flags & ~(3u << MAILMSG_FLAG_PRIORITY_SHIFT)) | (priority << MAILMSG_FLAG_PRIORITY_SHIFT);
    msg.m_subject.assign(batch.subject[i], ::strnlen(batch.subject[i], kSubjectSize));
    msg.m_timeReceived = VimDateToTime(batch.date[i]);
    msg.m_size = batch.size[i];
}

int resultOfListingFailure(vimWord status) {
    return status == kVimStatusNoMemory ? MAILHOST_OUT_OF_MEMORY : MAILHOST_SERVER_ERROR;
}

}  // namespace

int COrvekApp::GetAllMsgs(MailMsg*** msgsOut, int* countOut, int headersOnly) {
    if (msgsOut == nullptr || countOut == nullptr) return MAILHOST_NULL_ARGUMENT;
    // Whatever happens next, a failure must never read as a mailbox handed out.
    *countOut = 0;
    if (m_container == 0) return MAILHOST_SERVER_ERROR;
    const VimFunctions& vim = m_vim.Functions();

    std::unique_ptr<ListingBatch> batch(new (std::nothrow) ListingBatch);
    if (!batch) return MAILHOST_OUT_OF_MEMORY;
    vimAttrDesc attributes[7] = {
        VimDescriptor(kAttrReference, sizeof(vimRef), batch->refs),
        VimDescriptor(kAttrUnread, sizeof(vimBool), batch->unread),
        VimDescriptor(kAttrFrom, sizeof(vimRecipient), batch->from),
        VimDescriptor(kAttrPriority, sizeof(vimWord), batch->priority),
        VimDescriptor(kAttrSubject, kSubjectSize, batch->subject),
        VimDescriptor(kAttrDate, sizeof(vimDate), batch->date),
        VimDescriptor(kAttrSize, sizeof(vimDWord), batch->size),
    };

    CMsgList msgs;
    vimEnumRef position{};
    vimWord count = kVimBatch;
    try {
        for (;;) {
            std::memset(static_cast<void*>(batch.get()), 0, sizeof *batch);
            vimBool more = 0;
            const vimWord status = VimStatusOf(
                vim.EnumerateMessages(m_container, &position, 1, 7, attributes, &count, kNoFilter, nullptr, 0, &more));
            // A listing cut short would read to the conduit as if the missing messages had
            // been deleted on the desktop: nothing is handed out.
            if (status != 0) return resultOfListingFailure(status);
            const vimWord delivered = VimCappedCount(count);
            for (vimWord i = 0; i < delivered; ++i) {
                SyncYieldCycles(kYieldCycles);
                std::unique_ptr<CMsg> msg(new (std::nothrow) CMsg);
                if (!msg) return MAILHOST_OUT_OF_MEMORY;
                fillFromListing(*msg, *batch, i);
                // A record without its reference could never be found again.
                if (msg->m_hostMsgId.IsEmpty()) return MAILHOST_OUT_OF_MEMORY;
                if (headersOnly == 0) {
                    // A message whose parts cannot all be read is still delivered with what was.
                    ReadBodyAndAttachments(*msg);
                    ReadRecipients(*msg);
                    msg->m_status = static_cast<uint16_t>((msg->m_status & ~(3u << MAILMSG_STATUS_CONTENT_SHIFT)) |
                                                          (2u << MAILMSG_STATUS_CONTENT_SHIFT));
                }
                msgs.push_back(std::move(msg));
            }
            // "More" with nothing delivered would never end.
            if (more == 0 || delivered == 0) break;
        }
    } catch (const std::bad_alloc&) {
        return MAILHOST_OUT_OF_MEMORY;
    }
    return BuildMailMsgArray(std::move(msgs), msgsOut, countOut);
}

bool COrvekApp::OpenListed(const CMsg& msg, vimMsg& message) const {
    vimRef ref{};
    std::memcpy(&ref, msg.m_hostMsgId.Data(), sizeof ref);
    return VimStatusOf(m_vim.Functions().OpenMessage(m_container, ref, nullptr, &message)) == 0;
}

int COrvekApp::ReadBodyAndAttachments(CMsg& msg) const {
    const VimFunctions& vim = m_vim.Functions();
    vimMsg message = 0;
    if (!OpenListed(msg, message)) return MAILHOST_SERVER_ERROR;

    int result = MAILHOST_OK;
    std::string collector;
    msg.m_body.clear();
    msg.m_attachments.clear();
    const std::string excluded = LoadResString(KESTRAV_IDS_EXCLUDED_ATTACHMENT);
    std::unique_ptr<vimItemDesc[]> items(new (std::nothrow) vimItemDesc[kVimBatch]);
    if (!items) result = MAILHOST_OUT_OF_MEMORY;
    vimEnumRef position{};
    vimWord count = kVimBatch;
    while (items) {
        std::memset(static_cast<void*>(items.get()), 0, sizeof(vimItemDesc) * kVimBatch);
        vimBool more = 0;
        // The listing goes on by its own status: a text part that cannot be read must not
        // drop the parts after it.
        const vimWord status =
            VimStatusOf(vim.EnumerateMessageItems(message, &position, 1, &count, items.get(), kNoFilter, nullptr, &more));
        if (status != 0) {
            result = MAILHOST_SERVER_ERROR;
            break;
        }
        const vimWord delivered = VimCappedCount(count);
        for (vimWord i = 0; i < delivered; ++i) {
            const vimItemDesc& item = items[i];
            if (item.Class == kItemAttachment) {
                std::string name = VimItemName(item);
                if (VimSameIgnoringCase(name, excluded)) continue;
                if (!msg.m_attachments.empty()) msg.m_attachments += "\n";
                msg.m_attachments += "\t";
                msg.m_attachments += name;
            } else if (item.Class == kItemText) {
                if (ReadTextItem(message, item.Ref, collector) != MAILHOST_OK) result = MAILHOST_SERVER_ERROR;
            }
        }
        if (more == 0 || delivered == 0) break;
    }

    if (!collector.empty()) msg.m_body = UnwrapLines(collector);
    msg.m_size = static_cast<uint32_t>(msg.m_body.size());
    if (VimStatusOf(vim.CloseMessage(message)) != 0) result = MAILHOST_SERVER_ERROR;
    return result;
}

int COrvekApp::ReadTextItem(vimMsg message, const vimRef& item, std::string& collector) const {
    const VimFunctions& vim = m_vim.Functions();
    vimMsgItem handle = 0;
    if (VimStatusOf(vim.OpenMessageItem(message, item, const_cast<char*>("VIM_TEXT"), 0, &handle)) != 0) {
        return MAILHOST_SERVER_ERROR;
    }
    int result = MAILHOST_OK;
    char buffer[kReadPiece + 1];
    for (;;) {
        vimBuffFileDesc read{};
        read.Size = kReadPiece;
        read.Buffer = buffer;
        const vimWord status = VimStatusOf(vim.ReadMessageItem(handle, &read));
        if (status != 0) {
            // What was read stays; the rest of this part is lost.
            result = MAILHOST_SERVER_ERROR;
            break;
        }
        // Never trust a length beyond what the buffer holds.
        const vimDWord got = read.Size > kReadPiece ? kReadPiece : read.Size;
        if (got > 0) {
            buffer[got] = '\0';
            collector.append(buffer, got);
        }
        // A full piece may have more behind it; anything shorter was the end.
        if (got != kReadPiece) break;
    }
    if (VimStatusOf(vim.CloseMessageItem(handle)) != 0) result = MAILHOST_SERVER_ERROR;
    return result;
}

int COrvekApp::ReadRecipients(CMsg& msg) const {
    const VimFunctions& vim = m_vim.Functions();
    vimMsg message = 0;
    if (!OpenListed(msg, message)) return MAILHOST_SERVER_ERROR;

    int result = MAILHOST_OK;
    msg.m_to.clear();
    msg.m_cc.clear();
    msg.m_bcc.clear();
    std::string* lists[] = {&msg.m_to, &msg.m_cc, &msg.m_bcc};
    std::unique_ptr<vimRecipient[]> records(new (std::nothrow) vimRecipient[kVimBatch]);
    if (!records) result = MAILHOST_OUT_OF_MEMORY;
    for (size_t c = 0; c < 3 && records; ++c) {
        // Each class is its own enumeration: it starts at its own beginning.
        vimEnumRef position{};
        vimWord count = kVimBatch;
        vimAttrDesc attribute = VimDescriptor(kAttrRecipient, sizeof(vimRecipient), records.get());
        std::string& list = *lists[c];
        for (;;) {
            std::memset(static_cast<void*>(records.get()), 0, sizeof(vimRecipient) * kVimBatch);
            vimBool more = 0;
            const vimWord status = VimStatusOf(
                vim.EnumerateMessageRecipients(message, kRecipientClasses[c], &position, 1, 1, &attribute, &count, &more));
            if (status != 0) break;
            const vimWord delivered = VimCappedCount(count);
            for (vimWord i = 0; i < delivered; ++i) {
                if (!list.empty()) list += "\n";
                list += VimDisplayText(records[i]);
            }
            if (more == 0 || delivered == 0) break;
        }
    }
    if (VimStatusOf(vim.CloseMessage(message)) != 0) result = MAILHOST_SERVER_ERROR;
    return result;
}

int COrvekApp::FreeMailMsg(MailMsg** msgs, int count) { return FreeMailMsgArray(msgs, count); }
