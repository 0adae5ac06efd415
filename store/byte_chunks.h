// Sixteen bytes at a time: the few SSE2 operations that the fast loops share.
//
// Promises: with haveByteChunks true, loadChunk() reads exactly the 16 bytes
// at p, with no alignment needed; the *Bits() functions give one bit per
// byte, bit i for byte i. Elsewhere none of this exists and the plain loops
// are used instead.
// Caller guarantees: all 16 bytes at p lie inside one allocation, and in the
// word store below the block's dataEnd.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>

constexpr bool haveByteChunks = true;

using Chunk = __m128i;

inline Chunk loadChunk(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void storeChunk(char* p, Chunk bytes) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), bytes);
}

inline Chunk repeatedByte(char byte) {
    return _mm_set1_epi8(byte);
}

inline std::uint32_t equalBits(Chunk a, Chunk b) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b)));
}

inline std::uint32_t nulBits(Chunk bytes) {
    return equalBits(bytes, _mm_setzero_si128());
}

// Bit i set when p[i] is NUL, for the 64 bytes at p.
inline std::uint64_t nulBits64(const char* p) {
    std::uint64_t bits = nulBits(loadChunk(p));
    bits |= static_cast<std::uint64_t>(nulBits(loadChunk(p + 16))) << 16;
    bits |= static_cast<std::uint64_t>(nulBits(loadChunk(p + 32))) << 32;
    bits |= static_cast<std::uint64_t>(nulBits(loadChunk(p + 48))) << 48;
    return bits;
}

#else

constexpr bool haveByteChunks = false;

#endif

// The index of the lowest bit set; bits must not be 0.
inline int lowestBit(std::uint64_t bits) {
    return __builtin_ctzll(bits);
}
