// Finding the ends of stored entries.
//
// Promises: findNulPlain(p, limit) returns the first NUL byte at or after p;
// nulBitsBefore(p, limit) (with SSE2) has bit i set when p[i] is NUL, for
// the bytes before limit among the 64 at p. Nothing at or past limit is
// read.
// Caller guarantees: limit is the dataEnd of p's block; for findNulPlain
// there is a NUL in [p, limit).
#pragma once

#include <cstdint>
#include <cstring>

#include "store/byte_chunks.h"

inline const char* findNulPlain(const char* p, const char* limit) {
    return static_cast<const char*>(std::memchr(p, '\0', static_cast<std::size_t>(limit - p)));
}

#if defined(__SSE2__)

inline std::uint64_t nulBitsBefore(const char* p, const char* limit) {
    if (limit - p >= 64) return nulBits64(p);
    std::uint64_t bits = 0;
    for (int i = 0; p + i < limit; ++i)
        if (p[i] == '\0') bits |= std::uint64_t{1} << i;
    return bits;
}

#endif
