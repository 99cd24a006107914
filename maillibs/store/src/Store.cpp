#include "store/Store.h"

#include "Guarded.h"
#include "PriorityHeaders.h"
#include "Queue.h"
#include "QueueLog.h"

namespace vesk::store {

Status Store::setPriority(std::string_view folder, std::string_view id, Priority priority) {
    return rewriteHeaders(folder, id, detail::priorityEdits(priority));
}

Result<std::vector<SendRecord>> Store::flush(const SendOptions& options) {
    return guarded([&] {
        return detail::flushQueue(*this, options, [&](const SendRecord& r) { detail::appendQueueLog(root(), r); });
    });
}

Result<std::vector<SendRecord>> Store::queueLog() {
    return guarded([&] { return detail::readQueueLog(root()); });
}

Status Store::pickUpNew(std::string_view folder) {
    Result<std::vector<MessageInfo>> listing = list(folder);
    if (!listing) return listing.status();
    Status first = Status::Ok;
    // Setting no flag moves a message from new/ to cur/; one already there is untouched.
    for (const MessageInfo& info : *listing) {
        Status st = setFlags(folder, info.id, "", "");
        if (st != Status::Ok && st != Status::NotFound && first == Status::Ok) first = st;
    }
    return first;
}

}  // namespace vesk::store
