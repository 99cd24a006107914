// Memory handed out to callers: allocation chains in the manner of MAPIAllocateBuffer and
// MAPIAllocateMore. A chain has one root block, the pointer the caller gets, and any number of
// further blocks linked to it; freeing the root frees the chain. Every root is registered, so
// a pointer this library did not hand out is recognised and refused instead of freed.
#pragma once

#include <cstddef>
#include <string_view>

namespace vesk::mapi32 {

/// A new root block of `size` bytes, zero-filled, or null when memory runs out.
void* allocateBuffer(std::size_t size);

/// A new block of `size` bytes, zero-filled, linked to the chain of `root` (a pointer from
/// allocateBuffer); null when memory runs out or `root` is not a live root.
void* allocateMore(std::size_t size, void* root);

/// Frees the chain whose root is `root`. True when it was a live root (null counts as done);
/// false, with nothing freed, for any other pointer.
bool freeBuffer(void* root);

/// True when `block` is the root of a live chain (null is not).
bool isLiveRoot(const void* block);

/// A NUL-terminated copy of `text` in the chain of `root`; null when memory runs out.
char* copyText(std::string_view text, void* root);

/// Number of live chains, for tests and leak checks.
std::size_t liveChains();

/// Makes the allocation `skip` allocations from now fail (0: the very next one); negative
/// clears it. For tests of the out-of-memory paths only.
void injectBufferFailure(int skip);

}  // namespace vesk::mapi32
