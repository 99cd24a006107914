// Messages of a container: opening, reading their recipients, changing their priority, and
// closing any message (a new one that was not submitted is filed first).
#include <optional>
#include <string>
#include <vector>

#include "common/Attributes.h"
#include "common/Closing.h"
#include "common/Enumeration.h"
#include "common/Handles.h"
#include "common/Native.h"
#include "common/Refs.h"
#include "store/ProblemLog.h"

using namespace vesk::vim32;
namespace store = vesk::store;

namespace {

constexpr std::uint32_t kRecipientListing = 5;

const std::vector<store::Address>* recipientsOf(const Message& m, vimSelector recipientClass) {
    switch (recipientClass) {
        case VIMSEL_TO: return &m.content.to;
        case VIMSEL_CC: return &m.content.cc;
        case VIMSEL_BCC: return &m.content.bcc;
        default: return nullptr;
    }
}

vimStatus enumerateRecipients(Message* m, vimSelector recipientClass, vimEnumRef* pos, vimInt skip,
                              vimWord attrCount, const vimAttrDesc* descs, vimWord* pCount, vimBool* pMore) {
    if (m == nullptr) return VIMSTS_INVALID_OBJECT;
    if (m->container == nullptr) return VIMSTS_NOT_SUPPORTED;  // a message being composed
    const std::vector<store::Address>* list = recipientsOf(*m, recipientClass);
    if (list == nullptr) return VIMSTS_INVALID_SELECTOR;
    if (attrCount > 0 && descs == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    for (vimWord d = 0; d < attrCount; ++d) {
        if (descs[d].Attr != VIMSEL_RECIPIENT) return VIMSTS_INVALID_SELECTOR;
        vimStatus status = checkDescriptor(descs[d], AttrType::Bytes, sizeof(vimRecipient));
        if (status != VIMSTS_SUCCESS) return status;
    }
    const std::uint32_t check = positionCheck(kRecipientListing, m->serial, recipientClass);
    Batch batch;
    vimStatus status = planBatch(pos, skip, pCount, pMore, list->size(), check, batch);
    if (status != VIMSTS_SUCCESS) return status;
    for (std::size_t i = 0; i < batch.count; ++i) {
        vimRecipient r = recipientOf(m->session->office, (*list)[batch.first + i]);
        for (vimWord d = 0; d < attrCount; ++d) putBytes(descs[d], i, &r, sizeof r);
    }
    finishBatch(pos, pCount, pMore, batch, check);
    return VIMSTS_SUCCESS;
}

store::Priority storePriority(std::uint32_t vim) {
    if (vim == VIM_HIGH_PRIORITY) return store::Priority::High;
    if (vim == VIM_LOW_PRIORITY) return store::Priority::Low;
    return store::Priority::Normal;
}

// Attributes of a message being composed.
vimStatus setNewHeader(Message& m, vimSelector attr, vimWord size, const void* data) {
    if (attr == VIMSEL_SUBJECT) {
        if (size > 0 && data == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
        std::string subject(static_cast<const char*>(data), size);
        subject = subject.substr(0, subject.find('\0'));
        m.draft.subject = subject.substr(0, 256);
        return VIMSTS_SUCCESS;
    }
    std::uint32_t value = 0;
    if (!readNumber(data, size, value)) return data == nullptr ? VIMSTS_ALL_PARAMS_REQUIRED : VIMSTS_BAD_PARAM;
    switch (attr) {
        case VIMSEL_PRIORITY:
            if (value > VIM_HIGH_PRIORITY) return VIMSTS_BAD_PARAM;
            m.draft.priority = storePriority(value);
            return VIMSTS_SUCCESS;
        case VIMSEL_RETURN_RECEIPT:
        case VIMSEL_SAVE:
        case VIMSEL_DRAFT:
            if (value > 1) return VIMSTS_BAD_PARAM;
            if (attr == VIMSEL_RETURN_RECEIPT) m.draft.readReceipt = value == 1;
            if (attr == VIMSEL_SAVE) m.keepCopy = value == 1;
            if (attr == VIMSEL_DRAFT) m.isDraft = value == 1;
            return VIMSTS_SUCCESS;
        default:
            return VIMSTS_INVALID_SELECTOR;
    }
}

// Attributes of a message in a container: only its priority may change.
vimStatus setStoredHeader(Message& m, vimSelector attr, vimWord size, const void* data) {
    if (attr != VIMSEL_PRIORITY) return VIMSTS_INVALID_SELECTOR;
    std::uint32_t value = 0;
    if (!readNumber(data, size, value)) return data == nullptr ? VIMSTS_ALL_PARAMS_REQUIRED : VIMSTS_BAD_PARAM;
    if (value > VIM_HIGH_PRIORITY) return VIMSTS_BAD_PARAM;
    store::Status status = m.session->store->setPriority(m.folder, m.id, storePriority(value));
    if (status == store::Status::NotFound) return VIMSTS_INVALID_OBJECT;
    if (status != store::Status::Ok) {
        store::logProblem("vim32", m.session->user.mailbox.name() + " " + m.folder + "/" + m.id,
                          std::string("the priority cannot be written: ") + store::describe(status));
        return VIMSTS_WRITE_FAILURE;
    }
    m.content.priority = storePriority(value);
    return VIMSTS_SUCCESS;
}

// A file the MIME library cannot take as a message still opens: its bytes are its text, as
// a mail reader would show them (CR LF lines, no NULs). Nothing when even that fails.
std::optional<store::Message> asPlainText(Container& c, const store::MessageInfo& info) {
    auto raw = c.session->store->readRaw(c.folder, info.id);
    if (!raw) return std::nullopt;
    store::Message message;
    message.info = info;
    message.received = info.delivered;
    message.read = info.seen();
    for (char ch : *raw) {
        if (ch == '\0' || ch == '\r') continue;
        if (ch == '\n') message.body += '\r';
        message.body += ch;
    }
    store::logProblem("vim32", c.session->user.mailbox.name() + " " + c.folder + "/" + info.id,
                      "not a message the MIME library can read; opened as plain text");
    return message;
}

}  // namespace

extern "C" {

vimStatus VIMAPIENTRY VIMOpenMessage(vimMsgContainer container, vimRef refMessage, vimStringPtr /*key*/,
                                     vimMsgPtr pMessage) {
    return guarded([&] {
        Container* c = find<Container>(container, Kind::Container);
        if (pMessage != nullptr) *pMessage = nullptr;
        if (c == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        if (pMessage == nullptr) return vimStatus(VIMSTS_ALL_PARAMS_REQUIRED);
        auto info = c->session->store->findByKey(c->folder, keyOfRef(refMessage));
        if (!info) return vimStatus(VIMSTS_INVALID_OBJECT);
        auto read = c->session->store->read(c->folder, info->id, store::ReadMode::Full);
        std::optional<store::Message> content;
        if (read) {
            content = std::move(*read);
        } else if (read.status() == store::Status::ParseError) {
            content = asPlainText(*c, *info);
        }
        if (!content) {
            store::logProblem("vim32", c->session->user.mailbox.name() + " " + c->folder + "/" + info->id,
                              std::string("cannot be read: ") + store::describe(read.status()));
            return vimStatus(read.status() == store::Status::NotFound ? VIMSTS_INVALID_OBJECT : VIMSTS_READ_FAILURE);
        }
        auto object = std::make_unique<Message>();
        object->session = c->session;
        object->container = c;
        object->folder = c->folder;
        object->id = info->id;
        object->content = std::move(*content);
        object->attachmentBytes.resize(object->content.attachments.size());
        return handOut(std::move(object), c, pMessage);
    });
}

vimStatus VIMAPIENTRY VIMCloseMessage(vimMsg message) {
    return guarded([&] {
        Message* m = find<Message>(message, Kind::Message);
        if (m == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        vimStatus filed = m->container == nullptr ? fileUnsent(*m) : VIMSTS_SUCCESS;
        closeObject(message, &onClose);
        return filed;
    });
}

vimStatus VIMAPIENTRY VIMSetMessageHeader(vimMsg message, vimSelector selAttr, vimWord wAttrSize, vimDataPtr pAttr) {
    return guarded([&] {
        Message* m = find<Message>(message, Kind::Message);
        if (m == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        return m->container == nullptr ? setNewHeader(*m, selAttr, wAttrSize, pAttr)
                                       : setStoredHeader(*m, selAttr, wAttrSize, pAttr);
    });
}

vimStatus VIMAPIENTRY VIMEnumerateMessageRecipients(vimMsg message, vimSelector selType, vimEnumRefPtr pPos,
                                                    vimInt skipCount, vimWord attrCount, vimAttrDescPtr pAttrDesc,
                                                    vimWordPtr pCount, vimBoolPtr pMore) {
    vimStatus status = guarded([&] {
        return enumerateRecipients(find<Message>(message, Kind::Message), selType, pPos, skipCount, attrCount,
                                   pAttrDesc, pCount, pMore);
    });
    if (status != VIMSTS_SUCCESS) failBatch(pCount, pMore);
    return status;
}

}  // extern "C"
