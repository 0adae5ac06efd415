// Finding the end of a stored entry.
//
// Promises: findNul(p, limit) returns the first NUL byte at or after p.
// Caller guarantees: there is a NUL in [p, limit), and limit is the end of
// the bytes stored in p's block, so nothing at or past limit is read.
#pragma once

#include <cstring>

inline const char* findNul(const char* p, const char* limit) {
    return static_cast<const char*>(std::memchr(p, '\0', static_cast<std::size_t>(limit - p)));
}
