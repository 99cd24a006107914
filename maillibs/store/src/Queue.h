// Flushing an outbox through a sending command. Written against the Store interface only,
// so any store implementation queues the same way.
#pragma once

#include <functional>
#include <vector>

#include "store/Store.h"

namespace vesk::store::detail {

/// Hands each message of `options.outbox` in `store` to `options.command` (oldest first):
/// the envelope from the message (`-i -f <from> -- <recipients...>`, `-f` left out when the
/// message has no sender address), the bytes without Bcc on standard input. A message the
/// command took (exit 0) is moved to `options.sentFolder` and marked seen, or removed when
/// no sent folder is named; any other outcome leaves it queued. `record` is called with
/// every outcome. NotFound when the outbox does not exist.
Result<std::vector<SendRecord>> flushQueue(Store& store, const SendOptions& options,
                                           const std::function<void(const SendRecord&)>& record);

}  // namespace vesk::store::detail
