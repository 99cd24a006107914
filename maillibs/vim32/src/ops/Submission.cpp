// New messages: creating them, their recipients, and submission: delivery into the Maildir of
// every local recipient, the outbound queue for Internet recipients.
#include <cstring>
#include <set>
#include <string>

#include "common/Closing.h"
#include "common/Handles.h"
#include "common/Routing.h"
#include "common/Settings.h"
#include "store/ProblemLog.h"

using namespace vesk::vim32;
namespace store = vesk::store;

namespace {

inline constexpr const char* kSentFolder = "Sent";

std::vector<store::Address>* listOf(store::Draft& draft, vimSelector recipientClass) {
    switch (recipientClass) {
        case VIMSEL_TO: return &draft.to;
        case VIMSEL_CC: return &draft.cc;
        case VIMSEL_BCC: return &draft.bcc;
        default: return nullptr;
    }
}

// The draft with only the recipients that `keep` accepts.
template <class Keep>
store::Draft draftFor(const Message& m, Keep keep) {
    store::Draft draft = m.draft;
    draft.to.clear();
    draft.cc.clear();
    draft.bcc.clear();
    for (const Route& route : m.routes) {
        if (keep(route)) listOf(draft, route.recipientClass)->push_back(route.shown);
    }
    return draft;
}

vimStatus logged(const std::string& subject, const std::string& reason) {
    store::logProblem("vim32", subject, reason);
    return VIMSTS_WRITE_FAILURE;
}

// Delivers into the inbox of one local user; the sender's own mailbox is the session's store.
vimStatus deliverLocally(Message& m, const User& user, const store::Draft& draft) {
    std::unique_ptr<store::Store> opened;
    store::Store* target = m.session->store.get();
    if (!equalsNoCase(user.name, m.session->user.name)) {
        auto result = store::openMailbox(user.mailbox);
        if (!result) {
            return logged(user.mailbox.name(), "the mailbox of user " + user.name +
                                            " cannot be opened for delivery: " + store::describe(result.status()));
        }
        opened = std::move(*result);
        target = opened.get();
    }
    auto delivered = target->deliver(store::kInbox, draft);
    if (!delivered) {
        return logged(user.mailbox.name(), "delivery to user " + user.name + " failed: " + store::describe(delivered.status()));
    }
    return VIMSTS_SUCCESS;
}

vimStatus submit(Message& m) {
    if (m.routes.empty()) return VIMSTS_NO_RECIPIENTS;
    vimStatus result = VIMSTS_SUCCESS;
    // Every local recipient gets the message with the visible recipients; Bcc stays unseen.
    store::Draft local = draftFor(m, [](const Route& r) { return r.recipientClass != VIMSEL_BCC; });
    std::set<const User*> done;
    for (const Route& route : m.routes) {
        if (route.local == nullptr || !done.insert(route.local).second) continue;
        if (deliverLocally(m, *route.local, local) != VIMSTS_SUCCESS) result = VIMSTS_WRITE_FAILURE;
    }
    // The queue hands its messages to the command with the header's recipients as envelope,
    // so the queued copy names the Internet recipients only.
    store::Draft internet = draftFor(m, [](const Route& r) { return r.local == nullptr; });
    if (!internet.to.empty() || !internet.cc.empty() || !internet.bcc.empty()) {
        auto queued = m.session->store->enqueue(internet, store::kOutbox);
        if (!queued) {
            result = logged(m.session->user.mailbox.name(), std::string("Internet mail cannot be queued: ") +
                                                          store::describe(queued.status()));
        } else {
            store::SendOptions options;
            options.command = sendCommand();
            options.outbox = store::kOutbox;
            // Failures stay queued and are in the store's queue log; the message is safe.
            (void)m.session->store->flush(options);
        }
    }
    if (m.keepCopy) {
        store::Draft copy = draftFor(m, [](const Route&) { return true; });
        store::Status made = m.session->store->createFolder(kSentFolder);
        auto kept = made == store::Status::Ok ? m.session->store->deliver(kSentFolder, copy, "S")
                                              : store::Result<std::string>(made);
        if (!kept) {
            result = logged(m.session->user.mailbox.name(), std::string("the copy for folder Sent cannot be kept: ") +
                                                          store::describe(kept.status()));
        }
    }
    return result;
}

}  // namespace

namespace vesk::vim32 {

vimStatus fileUnsent(Message& message) {
    if (message.settled || message.container != nullptr) return VIMSTS_SUCCESS;
    message.settled = true;
    store::Draft draft = draftFor(message, [](const Route&) { return true; });
    auto filed = message.session->store->deliver(store::kInbox, draft, message.isDraft ? "DS" : "S");
    if (!filed) {
        return logged(message.session->user.mailbox.name(),
                      std::string("an unsent message cannot be filed: ") + store::describe(filed.status()));
    }
    return VIMSTS_SUCCESS;
}

void onClose(Object& object) {
    if (object.kind == Kind::Message) (void)fileUnsent(static_cast<Message&>(object));
}

vimStatus closeHandle(void* handle, Kind kind) {
    if (findObject(handle, kind) == nullptr) return VIMSTS_INVALID_OBJECT;
    closeObject(handle, &onClose);
    return VIMSTS_SUCCESS;
}

}  // namespace vesk::vim32

extern "C" {

vimStatus VIMAPIENTRY VIMCreateMessage(vimSes session, vimStringPtr psType, vimMsgPtr pMessage) {
    return guarded([&] {
        Session* s = find<Session>(session, Kind::Session);
        if (pMessage != nullptr) *pMessage = nullptr;
        if (s == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        if (pMessage == nullptr) return vimStatus(VIMSTS_ALL_PARAMS_REQUIRED);
        if (psType != nullptr && psType[0] != '\0' && std::strcmp(psType, VIM_MAIL) != 0) {
            return vimStatus(VIMSTS_UNSUP_TYPE);
        }
        auto object = std::make_unique<Message>();
        object->session = s;
        object->draft.from = {s->user.displayName, s->office.localAddressOf(s->user)};
        return handOut(std::move(object), s, pMessage);
    });
}

vimStatus VIMAPIENTRY VIMSetMessageRecipient(vimMsg message, vimSelector selClass, vimRecipientPtr pRecip) {
    return guarded([&] {
        Message* m = find<Message>(message, Kind::Message);
        if (m == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        if (m->container != nullptr) return vimStatus(VIMSTS_NOT_SUPPORTED);
        if (selClass != VIMSEL_TO && selClass != VIMSEL_CC && selClass != VIMSEL_BCC) {
            return vimStatus(VIMSTS_INVALID_SELECTOR);
        }
        if (pRecip == nullptr) return vimStatus(VIMSTS_ALL_PARAMS_REQUIRED);
        Route route;
        vimStatus status = routeOf(m->session->office, *pRecip, route);
        if (status != VIMSTS_SUCCESS) return status;
        route.recipientClass = selClass;
        for (const Route& other : m->routes) {
            if (other.recipientClass == selClass && sameDestination(other, route)) return vimStatus(VIMSTS_NAME_EXISTS);
        }
        m->routes.push_back(route);
        return vimStatus(VIMSTS_SUCCESS);
    });
}

vimStatus VIMAPIENTRY VIMSendMessage(vimMsg message, vimDataPtr /*pCallbackParam*/, vimSendCallback /*callBack*/) {
    return guarded([&] {
        Message* m = find<Message>(message, Kind::Message);
        if (m == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        if (m->container != nullptr) return vimStatus(VIMSTS_NOT_SUPPORTED);
        vimStatus status = submit(*m);
        if (status != VIMSTS_SUCCESS) return status;
        m->settled = true;
        dropObject(m);
        return vimStatus(VIMSTS_SUCCESS);
    });
}

}  // extern "C"
