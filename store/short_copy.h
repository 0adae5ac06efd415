// Copying a short text of known length, as entries are: at most 100 bytes.
//
// Promises: copyShort(to, from, n) copies exactly the n bytes at `from` to
// `to`, reading and writing nothing outside them. Unlike a call to memcpy it
// is inlined: two overlapping moves of a width that suits n.
// Caller guarantees: the two ranges do not overlap.
#pragma once

#include <cstddef>
#include <cstring>

inline void copyShort(char* to, const char* from, std::size_t n) {
    if (n >= 16) {
        for (std::size_t i = 0; i + 16 < n; i += 16) std::memcpy(to + i, from + i, 16);
        std::memcpy(to + n - 16, from + n - 16, 16);
    } else if (n >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else if (n > 0) {
        to[0] = from[0];
        to[n / 2] = from[n / 2];
        to[n - 1] = from[n - 1];
    }
}
