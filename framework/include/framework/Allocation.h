// The framework's checked allocations (records, identifiers, arrays) and a fault hook that
// lets tests make one of them fail, to prove every out-of-memory path.
#pragma once

#include <cstddef>

namespace vesk {

/// malloc, unless a failure was injected for this allocation: then null.
void* checkedMalloc(size_t size);

/// Makes the allocation `skip` allocations from now fail (0: the very next one); a negative
/// value clears any pending failure. For tests only.
void injectAllocationFailure(int skip);

}  // namespace vesk
