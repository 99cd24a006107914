// The process's open objects, reached by handle. A handle carries a slot and a generation,
// so one that was closed (or never handed out) is recognised and refused, never followed.
#pragma once

#include <memory>
#include <mutex>
#include <new>

#include "common/Objects.h"

namespace vesk::vim32 {

/// How many objects may be open at once, all sessions together.
inline constexpr std::size_t kMaxObjects = 4096;

/// Held by every call for its whole run.
std::mutex& apiLock();

/// Adds `object` opened from `parent` (null for a session) and returns its handle, or null
/// when the table is full.
void* addObject(std::unique_ptr<Object> object, Object* parent);
/// The live object of `handle` if it is of `kind`, else null.
Object* findObject(void* handle, Kind kind);
template <class T>
T* find(void* handle, Kind kind) {
    return static_cast<T*>(findObject(handle, kind));
}
/// Closes the object of `handle` and everything opened from it (children first), calling
/// `onClose` for each just before it goes. Returns false for an unknown handle.
bool closeObject(void* handle, void (*onClose)(Object&));
/// Removes one object without closing its children (they must have none).
void dropObject(Object* object);
/// Closes every object (the library stops).
void closeAll(void (*onClose)(Object&));
/// The handle of a live object.
void* handleOf(const Object* object);

/// Runs `body` under the library's lock, turning exceptions into statuses: none may cross
/// the C boundary.
template <class F>
vimStatus guarded(F&& body) noexcept {
    try {
        std::lock_guard<std::mutex> lock(apiLock());
        return body();
    } catch (const std::bad_alloc&) {
        return VIMSTS_INSUFFICIENT_MEMORY;
    } catch (...) {
        return VIMSTS_FAILURE;
    }
}

}  // namespace vesk::vim32
