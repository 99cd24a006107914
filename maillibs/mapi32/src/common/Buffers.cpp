#include "common/Buffers.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

namespace vesk::mapi32 {
namespace {

struct Chains {
    std::mutex lock;
    // Root block -> the further blocks linked to it.
    std::unordered_map<void*, std::vector<void*>> roots;
    int failAfter = -1;
};

Chains& chains() {
    static Chains instance;
    return instance;
}

// Called with the lock held.
void* rawAllocate(Chains& c, std::size_t size) {
    if (c.failAfter == 0) {
        c.failAfter = -1;
        return nullptr;
    }
    if (c.failAfter > 0) --c.failAfter;
    return std::calloc(1, size == 0 ? 1 : size);
}

}  // namespace

void* allocateBuffer(std::size_t size) {
    Chains& c = chains();
    std::lock_guard<std::mutex> guard(c.lock);
    void* block = rawAllocate(c, size);
    if (block == nullptr) return nullptr;
    try {
        c.roots.emplace(block, std::vector<void*>());
    } catch (const std::bad_alloc&) {
        std::free(block);
        return nullptr;
    }
    return block;
}

void* allocateMore(std::size_t size, void* root) {
    Chains& c = chains();
    std::lock_guard<std::mutex> guard(c.lock);
    auto it = c.roots.find(root);
    if (it == c.roots.end()) return nullptr;
    void* block = rawAllocate(c, size);
    if (block == nullptr) return nullptr;
    try {
        it->second.push_back(block);
    } catch (const std::bad_alloc&) {
        std::free(block);
        return nullptr;
    }
    return block;
}

bool freeBuffer(void* root) {
    if (root == nullptr) return true;
    std::vector<void*> linked;
    {
        Chains& c = chains();
        std::lock_guard<std::mutex> guard(c.lock);
        auto it = c.roots.find(root);
        if (it == c.roots.end()) return false;
        linked.swap(it->second);
        c.roots.erase(it);
    }
    for (void* block : linked) std::free(block);
    std::free(root);
    return true;
}

bool isLiveRoot(const void* block) {
    if (block == nullptr) return false;
    Chains& c = chains();
    std::lock_guard<std::mutex> guard(c.lock);
    return c.roots.count(const_cast<void*>(block)) != 0;
}

char* copyText(std::string_view text, void* root) {
    char* copy = static_cast<char*>(allocateMore(text.size() + 1, root));
    if (copy == nullptr) return nullptr;
    if (!text.empty()) std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

std::size_t liveChains() {
    Chains& c = chains();
    std::lock_guard<std::mutex> guard(c.lock);
    return c.roots.size();
}

void injectBufferFailure(int skip) {
    Chains& c = chains();
    std::lock_guard<std::mutex> guard(c.lock);
    c.failAfter = skip < 0 ? -1 : skip;
}

}  // namespace vesk::mapi32
