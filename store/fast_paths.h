// The hot loops of loading and searching exist twice: a fast version that
// reads many bytes at a time (SSE2, which every x86-64 machine has) and the
// plain version, byte by byte or through the C library. Both do the same
// steps in the same order and give the same results byte for byte; the plain
// one is the portable fallback and the reference the tests hold the fast one
// to.
//
// Promises: fastPathsEnabled() is true by default on machines with SSE2 and
// always false elsewhere. Each load or search reads the switch once, when it
// starts.
#pragma once

namespace fast_paths_detail {
extern bool enabled;
}

inline bool fastPathsEnabled() {
    return fast_paths_detail::enabled;
}

// Chooses the fast versions (where the machine has them) or the plain ones.
void enableFastPaths(bool enabled);
