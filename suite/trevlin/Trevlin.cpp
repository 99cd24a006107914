#include "trevlin/Trevlin.h"

#include <atomic>
#include <mutex>

namespace {

struct YieldState {
    std::mutex lock;
    TREVLIN_YIELD_HOOK hook = nullptr;
    void* context = nullptr;
};

YieldState& yieldState() {
    static YieldState instance;
    return instance;
}

std::atomic<unsigned long> g_yieldCount{0};

}  // namespace

int SyncYieldCycles(int cycles) {
    g_yieldCount.fetch_add(1, std::memory_order_relaxed);
    TREVLIN_YIELD_HOOK hook = nullptr;
    void* context = nullptr;
    {
        YieldState& state = yieldState();
        std::lock_guard<std::mutex> guard(state.lock);
        hook = state.hook;
        context = state.context;
    }
    // Outside the lock: a hook may well replace itself.
    return hook != nullptr ? hook(cycles, context) : 0;
}

void TrevlinSetYieldHook(TREVLIN_YIELD_HOOK hook, void* context) {
    YieldState& state = yieldState();
    std::lock_guard<std::mutex> guard(state.lock);
    state.hook = hook;
    state.context = context;
}

unsigned long TrevlinYieldCount(void) {
    return g_yieldCount.load(std::memory_order_relaxed);
}
