// Message containers: the user's mailbox and folders, their listing, and the changes made to
// a message by reference (read state, the folder it is filed in).
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

// Enumeration kinds of this file, for the positions' checks.
constexpr std::uint32_t kMessageListing = 1;
constexpr std::uint32_t kFolderListing = 2;

std::uint32_t& snapshotCounter() {
    static std::uint32_t counter = 0;
    return counter;
}

vimStatus statusOf(store::Status status) {
    switch (status) {
        case store::Status::Ok: return VIMSTS_SUCCESS;
        case store::Status::NotFound:
        case store::Status::InvalidArgument: return VIMSTS_INVALID_OBJECT;
        case store::Status::OutOfMemory: return VIMSTS_INSUFFICIENT_MEMORY;
        default: return VIMSTS_WRITE_FAILURE;
    }
}

struct Wanted {
    AttrType type;
    std::size_t structSize;
    bool needsHeaders;
};

bool wantedOf(vimSelector attr, Wanted& wanted) {
    switch (attr) {
        case VIMSEL_REF: wanted = {AttrType::Bytes, sizeof(vimRef), false}; return true;
        case VIMSEL_UNREAD_MAIL: wanted = {AttrType::Number, 0, false}; return true;
        case VIMSEL_MSG_LEN: wanted = {AttrType::Number, 0, false}; return true;
        case VIMSEL_FROM: wanted = {AttrType::Bytes, sizeof(vimRecipient), true}; return true;
        case VIMSEL_FROM_NAME: wanted = {AttrType::Text, 0, true}; return true;
        case VIMSEL_PRIORITY: wanted = {AttrType::Number, 0, true}; return true;
        case VIMSEL_SUBJECT: wanted = {AttrType::Text, 0, true}; return true;
        case VIMSEL_DATE: wanted = {AttrType::Bytes, sizeof(vimDate), true}; return true;
        default: return false;
    }
}

vimWord vimPriority(store::Priority priority) {
    switch (priority) {
        case store::Priority::High: return VIM_HIGH_PRIORITY;
        case store::Priority::Low: return VIM_LOW_PRIORITY;
        default: return VIM_NORMAL_PRIORITY;
    }
}

// One listed message's attributes into element `index` of each descriptor.
void putMessage(Container& c, const store::MessageInfo& info, bool needsHeaders, const vimAttrDesc* descs,
                vimWord count, std::size_t index) {
    store::Message headers;
    headers.info = info;
    headers.received = info.delivered;
    if (needsHeaders) {
        auto read = c.session->store->read(c.folder, info.id, store::ReadMode::Headers);
        if (read) {
            headers = std::move(*read);
            if (headers.received == 0) headers.received = info.delivered;
        } else {
            // Still listed, with what the file name tells: the caller must see every message.
            store::logProblem("vim32", c.session->user.mailbox.name() + " " + c.folder + "/" + info.id,
                              std::string("listed without its header: ") + store::describe(read.status()));
        }
    }
    for (vimWord d = 0; d < count; ++d) {
        const vimAttrDesc& desc = descs[d];
        switch (desc.Attr) {
            case VIMSEL_REF: {
                vimRef ref = refOfKey(info.key);
                putBytes(desc, index, &ref, sizeof ref);
                break;
            }
            case VIMSEL_UNREAD_MAIL: putNumber(desc, index, info.seen() ? 0 : 1); break;
            case VIMSEL_MSG_LEN:
                putNumber(desc, index, static_cast<std::uint32_t>(std::min<std::uint64_t>(info.size, 0xFFFFFFFFu)));
                break;
            case VIMSEL_FROM: {
                vimRecipient from = recipientOf(c.session->office, headers.from);
                putBytes(desc, index, &from, sizeof from);
                break;
            }
            case VIMSEL_FROM_NAME: putText(desc, index, headers.from.name); break;
            case VIMSEL_PRIORITY: putNumber(desc, index, vimPriority(headers.priority)); break;
            case VIMSEL_SUBJECT: putText(desc, index, headers.subject); break;
            case VIMSEL_DATE: {
                vimDate date = toVimDate(headers.received);
                putBytes(desc, index, &date, sizeof date);
                break;
            }
            default: break;
        }
    }
}

vimStatus enumerateMessages(Container* c, vimEnumRef* pos, vimInt skip, vimWord attribCount,
                            const vimAttrDesc* descs, vimWord* pCount, vimSelector filter, vimDWord flags,
                            vimBool* pMore) {
    if (c == nullptr) return VIMSTS_INVALID_OBJECT;
    if (attribCount > 0 && descs == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    if (filter != 0 && filter != VIMSEL_NO_FILTER) return VIMSTS_INVALID_SELECTOR;
    if ((flags & ~vimDWord(VIM_UNREADONLY)) != 0) return VIMSTS_BAD_PARAM;
    bool needsHeaders = false;
    for (vimWord d = 0; d < attribCount; ++d) {
        Wanted wanted{};
        if (!wantedOf(descs[d].Attr, wanted)) return VIMSTS_INVALID_SELECTOR;
        vimStatus status = checkDescriptor(descs[d], wanted.type, wanted.structSize);
        if (status != VIMSTS_SUCCESS) return status;
        needsHeaders = needsHeaders || wanted.needsHeaders;
    }
    if (pos == nullptr || pCount == nullptr || pMore == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    if (isStart(pos)) {
        auto listed = c->session->store->list(c->folder);
        if (!listed) {
            store::logProblem("vim32", c->session->user.mailbox.name() + " " + c->folder,
                              std::string("the folder cannot be listed: ") + store::describe(listed.status()));
            return VIMSTS_READ_FAILURE;
        }
        c->snapshot.clear();
        for (store::MessageInfo& info : *listed) {
            if ((flags & VIM_UNREADONLY) == 0 || !info.seen()) c->snapshot.push_back(std::move(info));
        }
        c->snapshotCheck = positionCheck(kMessageListing, c->serial, ++snapshotCounter());
    }
    Batch batch;
    vimStatus status = planBatch(pos, skip, pCount, pMore, c->snapshot.size(), c->snapshotCheck, batch);
    if (status != VIMSTS_SUCCESS) return status;
    for (std::size_t i = 0; i < batch.count; ++i) {
        putMessage(*c, c->snapshot[batch.first + i], needsHeaders, descs, attribCount, i);
    }
    finishBatch(pos, pCount, pMore, batch, c->snapshotCheck);
    return VIMSTS_SUCCESS;
}

vimStatus enumerateFolders(Container* c, vimSelector attr, vimEnumRef* pos, vimInt skip, vimWord entrySize,
                           char* buffer, vimWord* pCount, vimBool* pMore) {
    if (c == nullptr) return VIMSTS_INVALID_OBJECT;
    if (attr != VIMSEL_CATEGORY) return VIMSTS_INVALID_SELECTOR;
    if (buffer == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    if (entrySize == 0) return VIMSTS_BUF_TOO_SMALL;
    auto folders = c->session->store->folders();
    if (!folders) return VIMSTS_READ_FAILURE;
    std::vector<std::string> names;
    for (std::string& name : *folders) {
        if (name != store::kInbox) names.push_back(std::move(name));
    }
    const std::uint32_t check = positionCheck(kFolderListing, c->serial);
    Batch batch;
    vimStatus status = planBatch(pos, skip, pCount, pMore, names.size(), check, batch);
    if (status != VIMSTS_SUCCESS) return status;
    for (std::size_t i = 0; i < batch.count; ++i) copyText(buffer + i * entrySize, entrySize, names[batch.first + i]);
    finishBatch(pos, pCount, pMore, batch, check);
    return VIMSTS_SUCCESS;
}

}  // namespace

extern "C" {

vimStatus VIMAPIENTRY VIMOpenMessageContainer(vimSes session, vimStringPtr psContainerName,
                                              vimMsgContainerPtr pContainer) {
    return guarded([&] {
        Session* s = find<Session>(session, Kind::Session);
        if (pContainer != nullptr) *pContainer = nullptr;
        if (s == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        if (pContainer == nullptr) return vimStatus(VIMSTS_ALL_PARAMS_REQUIRED);
        std::string folder = store::kInbox;
        if (psContainerName != nullptr && psContainerName[0] != '\0' && !equalsNoCase(psContainerName, store::kInbox)) {
            auto folders = s->store->folders();
            if (!folders) return vimStatus(VIMSTS_READ_FAILURE);
            folder.clear();
            for (const std::string& name : *folders) {
                if (equalsNoCase(name, psContainerName)) folder = name;
            }
            if (folder.empty()) return vimStatus(VIMSTS_NAME_NOT_FOUND);
        }
        auto object = std::make_unique<Container>();
        object->session = s;
        object->folder = folder;
        return handOut(std::move(object), s, pContainer);
    });
}

vimStatus VIMAPIENTRY VIMCloseMessageContainer(vimMsgContainer container) {
    return guarded([&] { return closeHandle(container, Kind::Container); });
}

vimStatus VIMAPIENTRY VIMEnumerateMessages(vimMsgContainer container, vimEnumRefPtr pPos, vimInt skipCount,
                                           vimWord attribCount, vimAttrDescPtr pAttribDesc, vimWordPtr pMsgCount,
                                           vimSelector selFiltType, vimDataPtr /*pFiltData*/, vimDWord flags,
                                           vimBoolPtr pMore) {
    vimStatus status = guarded([&] {
        return enumerateMessages(find<Container>(container, Kind::Container), pPos, skipCount, attribCount,
                                 pAttribDesc, pMsgCount, selFiltType, flags, pMore);
    });
    if (status != VIMSTS_SUCCESS) failBatch(pMsgCount, pMore);
    return status;
}

vimStatus VIMAPIENTRY VIMEnumerateMsgAttrValues(vimMsgContainer container, vimSelector selAttr, vimEnumRefPtr pPos,
                                                vimInt skipCount, vimWord buffEntrySize, vimStringPtr pBuffArray,
                                                vimWordPtr pCount, vimBoolPtr pMore) {
    vimStatus status = guarded([&] {
        return enumerateFolders(find<Container>(container, Kind::Container), selAttr, pPos, skipCount,
                                buffEntrySize, pBuffArray, pCount, pMore);
    });
    if (status != VIMSTS_SUCCESS) failBatch(pCount, pMore);
    return status;
}

vimStatus VIMAPIENTRY VIMMarkMessageAsRead(vimMsgContainer container, vimRef msgRef) {
    return guarded([&] {
        Container* c = find<Container>(container, Kind::Container);
        if (c == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        auto info = c->session->store->findByKey(c->folder, keyOfRef(msgRef));
        if (!info) return vimStatus(VIMSTS_INVALID_OBJECT);
        return statusOf(c->session->store->setFlags(c->folder, info->id, "S", ""));
    });
}

vimStatus VIMAPIENTRY VIMSetMessageCategory(vimMsgContainer container, vimRef msgRef, vimStringPtr psCatName) {
    return guarded([&] {
        Container* c = find<Container>(container, Kind::Container);
        if (c == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        if (psCatName == nullptr) return vimStatus(VIMSTS_ALL_PARAMS_REQUIRED);
        std::string target = psCatName;
        if (target.empty() || equalsNoCase(target, store::kInbox)) target = store::kInbox;
        if (!store::isValidFolderName(target)) return vimStatus(VIMSTS_BAD_PARAM);
        auto info = c->session->store->findByKey(c->folder, keyOfRef(msgRef));
        if (!info) return vimStatus(VIMSTS_INVALID_OBJECT);
        if (target == c->folder) return vimStatus(VIMSTS_SUCCESS);
        store::Status made = c->session->store->createFolder(target);
        store::Status moved = made == store::Status::Ok ? c->session->store->move(c->folder, info->id, target) : made;
        if (moved != store::Status::Ok) {
            store::logProblem("vim32", c->session->user.mailbox.name() + " " + c->folder + "/" + info->id,
                              "cannot be moved to folder " + target + ": " + store::describe(moved));
            return vimStatus(VIMSTS_WRITE_FAILURE);
        }
        return vimStatus(VIMSTS_SUCCESS);
    });
}

}  // extern "C"
