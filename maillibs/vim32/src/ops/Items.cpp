// Items of a message: its text (one text part) and its attached files, listed, opened and
// read piece by piece; and the text parts given to a message being composed.
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/Attributes.h"
#include "common/Closing.h"
#include "common/Enumeration.h"
#include "common/Handles.h"
#include "common/Refs.h"
#include "store/ProblemLog.h"

using namespace vesk::vim32;
namespace store = vesk::store;

namespace {

constexpr std::uint32_t kItemRef = 3;
constexpr std::uint32_t kItemListing = 4;

// Item n of a message: the text first when there is one, then the attachments in MIME order.
struct ItemSlot {
    vimSelector itemClass;
    std::size_t attachment;  // index into the message's attachments (file items)
};

std::vector<ItemSlot> itemsOf(const Message& m) {
    std::vector<ItemSlot> items;
    if (!m.content.body.empty()) items.push_back({VIMSEL_NOTE_PART, 0});
    for (std::size_t i = 0; i < m.content.attachments.size(); ++i) items.push_back({VIMSEL_ATTACH, i});
    return items;
}

// The bytes of an attachment, read once per opened message. Nothing when unreadable (logged).
const std::string* attachmentBytes(Message& m, std::size_t index) {
    if (!m.attachmentBytes[index]) {
        auto bytes = m.session->store->attachment(m.folder, m.id, index);
        if (!bytes) {
            store::logProblem("vim32", m.session->user.mailbox.name() + " " + m.folder + "/" + m.id,
                              "attachment " + std::to_string(index + 1) + " cannot be read: " +
                                  store::describe(bytes.status()));
            return nullptr;
        }
        m.attachmentBytes[index] = std::move(*bytes);
    }
    return &*m.attachmentBytes[index];
}

vimItemDesc describeItem(Message& m, const std::vector<ItemSlot>& items, std::size_t n) {
    vimItemDesc d{};
    d.Class = items[n].itemClass;
    if (d.Class == VIMSEL_NOTE_PART) {
        copyText(d.Type, sizeof d.Type, VIM_TEXT);
        d.Size = static_cast<vimDWord>(m.content.body.size());
    } else {
        const store::Attachment& a = m.content.attachments[items[n].attachment];
        copyText(d.Type, sizeof d.Type, a.contentType);
        copyText(d.Name, sizeof d.Name, a.name);
        const std::string* bytes = attachmentBytes(m, items[n].attachment);
        d.Size = bytes != nullptr ? static_cast<vimDWord>(bytes->size()) : 0;
    }
    d.Ref = indexRef(n, positionCheck(kItemRef, m.serial));
    return d;
}

vimStatus enumerateItems(Message* m, vimEnumRef* pos, vimInt skip, vimWord* pCount, vimItemDesc* descs,
                         vimSelector filter, vimBool* pMore) {
    if (m == nullptr) return VIMSTS_INVALID_OBJECT;
    if (m->container == nullptr) return VIMSTS_NOT_SUPPORTED;
    if (filter != 0 && filter != VIMSEL_NO_FILTER && filter != VIMSEL_NOTE_PART && filter != VIMSEL_ATTACH) {
        return VIMSTS_INVALID_SELECTOR;
    }
    if (descs == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    const std::vector<ItemSlot> items = itemsOf(*m);
    std::vector<std::size_t> chosen;
    for (std::size_t n = 0; n < items.size(); ++n) {
        if (filter == 0 || filter == VIMSEL_NO_FILTER || items[n].itemClass == filter) chosen.push_back(n);
    }
    const std::uint32_t check = positionCheck(kItemListing, m->serial, filter);
    Batch batch;
    vimStatus status = planBatch(pos, skip, pCount, pMore, chosen.size(), check, batch);
    if (status != VIMSTS_SUCCESS) return status;
    for (std::size_t i = 0; i < batch.count; ++i) descs[i] = describeItem(*m, items, chosen[batch.first + i]);
    finishBatch(pos, pCount, pMore, batch, check);
    return VIMSTS_SUCCESS;
}

bool isTextType(const char* type) {
    return type == nullptr || type[0] == '\0' || std::strcmp(type, VIM_TEXT) == 0 ||
           std::strcmp(type, VIM_UNWRAPPED_TEXT) == 0;
}

vimStatus openItem(Message* m, vimRef ref, const char* convertType, vimMsgItem* pItem) {
    if (pItem != nullptr) *pItem = nullptr;
    if (m == nullptr) return VIMSTS_INVALID_OBJECT;
    if (pItem == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    if (m->container == nullptr) return VIMSTS_NOT_SUPPORTED;
    const std::vector<ItemSlot> items = itemsOf(*m);
    std::size_t n = 0;
    if (!indexOfRef(ref, positionCheck(kItemRef, m->serial), items.size(), n)) return VIMSTS_INVALID_OBJECT;
    auto object = std::make_unique<Item>();
    if (items[n].itemClass == VIMSEL_NOTE_PART) {
        if (!isTextType(convertType)) return VIMSTS_CONV_NOT_SUPPORTED;
        object->data = m->content.body;
    } else {
        const std::string* bytes = attachmentBytes(*m, items[n].attachment);
        if (bytes == nullptr) return VIMSTS_READ_FAILURE;
        object->data = *bytes;
    }
    return handOut(std::move(object), m, pItem);
}

// The data a caller gives: bytes in memory, or a file when no buffer is given.
vimStatus dataOf(const vimBuffFileDesc& desc, std::string& data) {
    if (desc.Buffer != nullptr) {
        data.assign(static_cast<const char*>(desc.Buffer), desc.Size);
        return VIMSTS_SUCCESS;
    }
    if (desc.FileName == nullptr || desc.FileName[0] == '\0') {
        if (desc.Size != 0) return VIMSTS_ALL_PARAMS_REQUIRED;
        data.clear();
        return VIMSTS_SUCCESS;
    }
    std::ifstream in(desc.FileName, std::ios::binary);
    if (!in) return VIMSTS_ATTACHMENT_NOT_FOUND;
    std::ostringstream text;
    text << in.rdbuf();
    data = text.str();
    return VIMSTS_SUCCESS;
}

vimStatus setItem(Message* m, vimSelector itemClass, const char* type, const vimBuffFileDesc* desc) {
    if (m == nullptr) return VIMSTS_INVALID_OBJECT;
    if (m->container != nullptr) return VIMSTS_NOT_SUPPORTED;  // stored messages are not rewritten
    if (itemClass == VIMSEL_ATTACH) return VIMSTS_NOT_SUPPORTED;
    if (itemClass != VIMSEL_NOTE_PART) return VIMSTS_INVALID_SELECTOR;
    if (!isTextType(type)) return VIMSTS_UNSUP_TYPE;
    if (desc == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    std::string data;
    vimStatus status = dataOf(*desc, data);
    if (status != VIMSTS_SUCCESS) return status;
    m->draft.body += data;
    return VIMSTS_SUCCESS;
}

}  // namespace

extern "C" {

vimStatus VIMAPIENTRY VIMEnumerateMessageItems(vimMsg message, vimEnumRefPtr pPos, vimInt skipCount, vimWordPtr pCount,
                                               vimItemDescPtr pDesc, vimSelector selFiltType, vimDataPtr /*pFiltData*/,
                                               vimBoolPtr pMore) {
    vimStatus status = guarded([&] {
        return enumerateItems(find<Message>(message, Kind::Message), pPos, skipCount, pCount, pDesc, selFiltType,
                              pMore);
    });
    if (status != VIMSTS_SUCCESS) failBatch(pCount, pMore);
    return status;
}

vimStatus VIMAPIENTRY VIMOpenMessageItem(vimMsg message, vimRef refMsgItem, vimStringPtr psConvertType,
                                         vimSelector /*selFlags*/, vimMsgItemPtr pMsgItem) {
    return guarded([&] { return openItem(find<Message>(message, Kind::Message), refMsgItem, psConvertType, pMsgItem); });
}

vimStatus VIMAPIENTRY VIMReadMessageItem(vimMsgItem msgItem, vimBuffFileDescPtr pDesc) {
    return guarded([&] {
        Item* item = find<Item>(msgItem, Kind::Item);
        if (item == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        if (pDesc == nullptr || (pDesc->Buffer == nullptr && pDesc->Size > 0)) {
            return vimStatus(VIMSTS_ALL_PARAMS_REQUIRED);
        }
        std::size_t n = std::min<std::size_t>(pDesc->Size, item->data.size() - item->offset);
        if (n > 0) std::memcpy(pDesc->Buffer, item->data.data() + item->offset, n);
        item->offset += n;
        pDesc->Size = static_cast<vimDWord>(n);
        return vimStatus(VIMSTS_SUCCESS);
    });
}

vimStatus VIMAPIENTRY VIMCloseMessageItem(vimMsgItem msgItem) {
    return guarded([&] { return closeHandle(msgItem, Kind::Item); });
}

vimStatus VIMAPIENTRY VIMSetMessageItem(vimMsg message, vimSelector selClass, vimStringPtr strType,
                                        vimSelector /*selFlags*/, vimStringPtr /*strName*/, vimBuffFileDescPtr pDesc) {
    return guarded([&] { return setItem(find<Message>(message, Kind::Message), selClass, strType, pDesc); });
}

}  // extern "C"
