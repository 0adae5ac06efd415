// Heap memory for the word store, the loader's read buffer and the star
// search's segments.
//
// Promises: allocateMemory() returns `size` bytes from malloc, or null when
// memory ran out; memory is given back with std::free. Tests may install an
// allocator of their own to make chosen allocations fail. (The heap's
// tuning for the store's blocks is the platform layer's tuneHeap().)
#pragma once

#include <cstddef>

using Allocator = void* (*)(std::size_t size);

void* allocateMemory(std::size_t size);

// Installs `allocator` for every later allocation; null restores malloc.
void useAllocator(Allocator allocator);
