#include "store/fast_paths.h"

#include "store/byte_chunks.h"

bool fast_paths_detail::enabled = haveByteChunks;

void enableFastPaths(bool enabled) {
    fast_paths_detail::enabled = enabled && haveByteChunks;
}
