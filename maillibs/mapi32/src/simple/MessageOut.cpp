#include "simple/MessageOut.h"

#include "common/Buffers.h"
#include "simple/DateText.h"

namespace vesk::mapi32 {
namespace {

// Fills one recipient; false when memory runs out.
bool fillRecipient(MapiRecipDesc& r, ULONG recipClass, const store::Address& a, void* root) {
    r.ulRecipClass = recipClass;
    r.lpszName = copyText(a.name.empty() ? a.address : a.name, root);
    r.lpszAddress = copyText(a.address, root);
    return r.lpszName != nullptr && r.lpszAddress != nullptr;
}

bool fillRecipients(MapiMessage& m, const store::Message& message, void* root) {
    std::size_t count = message.to.size() + message.cc.size() + message.bcc.size();
    if (count == 0) return true;
    auto* recips = static_cast<MapiRecipDesc*>(allocateMore(count * sizeof(MapiRecipDesc), root));
    if (recips == nullptr) return false;
    std::size_t i = 0;
    const std::pair<ULONG, const std::vector<store::Address>*> groups[] = {
        {MAPI_TO, &message.to}, {MAPI_CC, &message.cc}, {MAPI_BCC, &message.bcc}};
    for (const auto& [recipClass, list] : groups) {
        for (const store::Address& a : *list) {
            if (!fillRecipient(recips[i++], recipClass, a, root)) return false;
        }
    }
    m.nRecipCount = static_cast<ULONG>(count);
    m.lpRecips = recips;
    return true;
}

bool fillFiles(MapiMessage& m, const store::Message& message, const ReadShape& shape, void* root) {
    std::size_t count = message.attachments.size();
    if (count == 0) return true;
    auto* files = static_cast<MapiFileDesc*>(allocateMore(count * sizeof(MapiFileDesc), root));
    if (files == nullptr) return false;
    for (std::size_t i = 0; i < count; ++i) {
        files[i].nPosition = static_cast<ULONG>(-1);
        files[i].lpszFileName = copyText(message.attachments[i].name, root);
        if (files[i].lpszFileName == nullptr) return false;
        if (i < shape.filePaths.size() && !shape.filePaths[i].empty()) {
            files[i].lpszPathName = copyText(shape.filePaths[i], root);
            if (files[i].lpszPathName == nullptr) return false;
        }
    }
    m.nFileCount = static_cast<ULONG>(count);
    m.lpFiles = files;
    return true;
}

bool fill(MapiMessage& m, const store::Message& message, const ReadShape& shape, void* root) {
    m.lpszSubject = copyText(message.subject, root);
    if (m.lpszSubject == nullptr) return false;
    if (shape.noteText) {
        m.lpszNoteText = copyText(message.body, root);
        if (m.lpszNoteText == nullptr) return false;
    }
    std::time_t when = message.received != 0 ? message.received : message.sent;
    m.lpszDateReceived = copyText(formatMapiDate(when), root);
    if (m.lpszDateReceived == nullptr) return false;
    if (!message.read) m.flFlags |= MAPI_UNREAD;
    if (message.readReceipt) m.flFlags |= MAPI_RECEIPT_REQUESTED;

    auto* originator = static_cast<MapiRecipDesc*>(allocateMore(sizeof(MapiRecipDesc), root));
    if (originator == nullptr || !fillRecipient(*originator, MAPI_ORIG, message.from, root)) return false;
    m.lpOriginator = originator;
    return fillRecipients(m, message, root) && fillFiles(m, message, shape, root);
}

}  // namespace

lpMapiMessage buildMapiMessage(const store::Message& message, const ReadShape& shape) {
    auto* m = static_cast<MapiMessage*>(allocateBuffer(sizeof(MapiMessage)));
    if (m == nullptr) return nullptr;
    if (!fill(*m, message, shape, m)) {
        freeBuffer(m);
        return nullptr;
    }
    return m;
}

}  // namespace vesk::mapi32
