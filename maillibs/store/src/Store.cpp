#include "store/Store.h"

#include "PriorityHeaders.h"

namespace vesk::store {

Status Store::setPriority(std::string_view folder, std::string_view id, Priority priority) {
    return rewriteHeaders(folder, id, detail::priorityEdits(priority));
}

}  // namespace vesk::store
