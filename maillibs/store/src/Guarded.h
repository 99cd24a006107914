// No exception crosses the store's API: every call of every kind of store runs inside
// `guarded`, where allocation failures become OutOfMemory and anything else IoError.
#pragma once

#include <new>

#include "store/Status.h"

namespace vesk::store {

template <class F>
auto guarded(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        return Status::OutOfMemory;
    } catch (...) {
        return Status::IoError;
    }
}

}  // namespace vesk::store
