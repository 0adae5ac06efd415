#include "store/memory.h"

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
Allocator currentAllocator = nullptr;
}  // namespace

void* allocateMemory(std::size_t size) {
    return currentAllocator ? currentAllocator(size) : std::malloc(size);
}

void useAllocator(Allocator allocator) {
    currentAllocator = allocator;
}

// glibc gives every allocation from 128 KiB up a mapping of its own, which
// for a store block means a header and whole pages: 4 KiB more per block.
// From the heap the blocks lie back to back.
void tuneHeap() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}
