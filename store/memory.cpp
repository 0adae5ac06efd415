#include "store/memory.h"

#include <cstdlib>

namespace {
Allocator currentAllocator = nullptr;
}  // namespace

void* allocateMemory(std::size_t size) {
    return currentAllocator ? currentAllocator(size) : std::malloc(size);
}

void useAllocator(Allocator allocator) {
    currentAllocator = allocator;
}
