#include "common/SessionTable.h"

#include <array>
#include <new>

namespace vesk::mapi32 {
namespace {

constexpr LHANDLE kSlotBits = 8;
constexpr LHANDLE kSlotMask = (LHANDLE(1) << kSlotBits) - 1;
constexpr LHANDLE kGenerationLimit = LHANDLE(1) << 23;  // handles stay within 31 bits

struct Table {
    std::array<std::unique_ptr<Session>, kMaxSessions> slots;
    std::array<LHANDLE, kMaxSessions> generations{};
    LHANDLE nextGeneration = 1;
};

Table& table() {
    static Table instance;
    return instance;
}

// The slot of a handle that is live, or -1.
long slotOf(LHANDLE handle) {
    Table& t = table();
    LHANDLE slot = handle & kSlotMask;
    if (slot == 0 || slot > kMaxSessions) return -1;
    long index = static_cast<long>(slot - 1);
    if (!t.slots[index] || t.generations[index] != (handle >> kSlotBits)) return -1;
    return index;
}

}  // namespace

std::mutex& apiLock() {
    static std::mutex lock;
    return lock;
}

LHANDLE addSession(std::unique_ptr<Session> session) {
    Table& t = table();
    for (size_t i = 0; i < kMaxSessions; ++i) {
        if (t.slots[i]) continue;
        LHANDLE generation = t.nextGeneration;
        t.nextGeneration = t.nextGeneration + 1 < kGenerationLimit ? t.nextGeneration + 1 : 1;
        t.slots[i] = std::move(session);
        t.generations[i] = generation;
        return (generation << kSlotBits) | static_cast<LHANDLE>(i + 1);
    }
    return 0;
}

Session* findSession(LHANDLE handle) {
    long index = slotOf(handle);
    return index < 0 ? nullptr : table().slots[index].get();
}

std::unique_ptr<Session> takeSession(LHANDLE handle) {
    long index = slotOf(handle);
    if (index < 0) return nullptr;
    return std::move(table().slots[index]);
}

ULONG CallSession::open(LHANDLE handle, bool allowTemporary) {
    if (handle != 0) {
        m_session = findSession(handle);
        return m_session != nullptr ? SUCCESS_SUCCESS : MAPI_E_INVALID_SESSION;
    }
    if (!allowTemporary) return MAPI_E_INVALID_SESSION;
    // No dialog can ask for a password: the default account must do without one.
    ULONG rc = openSession(nullptr, nullptr, m_temporary);
    if (rc != SUCCESS_SUCCESS) return rc;
    m_session = m_temporary.get();
    return SUCCESS_SUCCESS;
}

}  // namespace vesk::mapi32
