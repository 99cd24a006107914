// The store's record of what happened to outbound mail: one line per outcome in
// "<root>/vesk-queue.log", "<unix time>\t<outcome>\t<id>\t<detail>", appended, never rewritten.
#pragma once

#include <string>
#include <vector>

#include "store/Queue.h"
#include "store/Status.h"

namespace vesk::store::detail {

/// The log file of the store at `root`.
std::string queueLogPath(const std::string& root);
/// Appends `record` (tabs and line ends in its texts become blanks). The file is created
/// with mode 0600.
Status appendQueueLog(const std::string& root, const SendRecord& record);
/// Every record in the log, oldest first; lines that do not parse are skipped. Empty when
/// there is no log yet.
Result<std::vector<SendRecord>> readQueueLog(const std::string& root);

}  // namespace vesk::store::detail
