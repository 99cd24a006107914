#include "framework/Allocation.h"

#include <cstdlib>

namespace {
int g_failIn = -1;
}

void* vesk::checkedMalloc(size_t size) {
    if (g_failIn >= 0 && g_failIn-- == 0) return nullptr;
    return std::malloc(size);
}

void vesk::injectAllocationFailure(int skip) { g_failIn = skip < 0 ? -1 : skip; }
