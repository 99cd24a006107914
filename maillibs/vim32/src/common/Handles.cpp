#include "common/Handles.h"

#include <cstdint>
#include <vector>

namespace vesk::vim32 {
namespace {

constexpr std::uintptr_t kSlotBits = 12;  // kMaxObjects = 4096 slots
constexpr std::uintptr_t kSlotMask = (std::uintptr_t(1) << kSlotBits) - 1;
constexpr std::uintptr_t kGenerationLimit = std::uintptr_t(1) << 19;  // handles stay within 31 bits

struct Table {
    std::vector<std::unique_ptr<Object>> slots = std::vector<std::unique_ptr<Object>>(kMaxObjects);
    std::vector<std::uintptr_t> generations = std::vector<std::uintptr_t>(kMaxObjects, 0);
    std::uintptr_t nextGeneration = 1;
    std::uint32_t nextSerial = 1;
};

Table& table() {
    static Table instance;
    return instance;
}

long slotOf(void* handle) {
    auto value = reinterpret_cast<std::uintptr_t>(handle);
    std::uintptr_t slot = value & kSlotMask;
    if (slot == 0 || slot > kMaxObjects) return -1;
    Table& t = table();
    long index = static_cast<long>(slot - 1);
    if (!t.slots[index] || t.generations[index] != (value >> kSlotBits)) return -1;
    return index;
}

long slotOfObject(const Object* object) {
    Table& t = table();
    if (object == nullptr || object->slot >= kMaxObjects || t.slots[object->slot].get() != object) return -1;
    return static_cast<long>(object->slot);
}

// Empties slot `index`, telling the object's parent it has one child fewer.
void releaseSlot(long index) {
    Table& t = table();
    if (Object* parent = t.slots[index]->parent) --parent->children;
    t.slots[index].reset();
}

void closeSlot(long index, void (*onClose)(Object&)) {
    Table& t = table();
    Object* object = t.slots[index].get();
    for (std::size_t i = 0; i < kMaxObjects && object->children > 0; ++i) {
        if (t.slots[i] && t.slots[i]->parent == object) closeSlot(static_cast<long>(i), onClose);
    }
    if (onClose != nullptr) onClose(*object);
    releaseSlot(index);
}

}  // namespace

std::mutex& apiLock() {
    static std::mutex lock;
    return lock;
}

void* addObject(std::unique_ptr<Object> object, Object* parent) {
    Table& t = table();
    for (std::size_t i = 0; i < kMaxObjects; ++i) {
        if (t.slots[i]) continue;
        std::uintptr_t generation = t.nextGeneration;
        t.nextGeneration = t.nextGeneration + 1 < kGenerationLimit ? t.nextGeneration + 1 : 1;
        object->parent = parent;
        object->slot = i;
        object->children = 0;
        if (parent != nullptr) ++parent->children;
        object->serial = t.nextSerial++;
        if (t.nextSerial == 0) t.nextSerial = 1;
        t.slots[i] = std::move(object);
        t.generations[i] = generation;
        return reinterpret_cast<void*>((generation << kSlotBits) | (i + 1));
    }
    return nullptr;
}

vimStatus handOut(std::unique_ptr<Object> object, Object* parent, void** out) {
    void* handle = addObject(std::move(object), parent);
    if (handle == nullptr) return VIMSTS_INSUFFICIENT_MEMORY;
    *out = handle;
    return VIMSTS_SUCCESS;
}

Object* findObject(void* handle, Kind kind) {
    long index = slotOf(handle);
    if (index < 0) return nullptr;
    Object* object = table().slots[index].get();
    return object->kind == kind ? object : nullptr;
}

bool closeObject(void* handle, void (*onClose)(Object&)) {
    long index = slotOf(handle);
    if (index < 0) return false;
    closeSlot(index, onClose);
    return true;
}

void dropObject(Object* object) {
    long index = slotOfObject(object);
    if (index >= 0) releaseSlot(index);
}

void closeAll(void (*onClose)(Object&)) {
    Table& t = table();
    // Sessions first: each takes what was opened from it along.
    for (std::size_t i = 0; i < kMaxObjects; ++i) {
        if (t.slots[i] && t.slots[i]->parent == nullptr) closeSlot(static_cast<long>(i), onClose);
    }
}

void* handleOf(const Object* object) {
    long index = slotOfObject(object);
    if (index < 0) return nullptr;
    return reinterpret_cast<void*>((table().generations[index] << kSlotBits) | (index + 1));
}

}  // namespace vesk::vim32
