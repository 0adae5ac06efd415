// Bytes sixteen at a time: the few operations on which the hot steps of
// loading and searching are built, each with an SSE2 body (x86-64, and
// WebAssembly, whose SIMD emscripten's SSE2 headers serve), a NEON body
// (arm64) and a portable body, chosen when compiling. This is the only file
// that knows the processor.
//
// Promises: every operation gives the same result with every body. A mask
// has one bit per byte, bit i for byte i. load16() reads, and store16()
// writes, exactly the 16 bytes at p, with no alignment needed.
// Caller guarantees: all 16 (or 64) bytes at p lie inside one allocation;
// inside a store block, below its dataEnd.
//
// Why the bytes of an entry are written in whole 16-byte units: a wide read
// that finds its bytes in one earlier wide write takes them straight from
// that write, while one that spans several narrower writes waits until they
// have all reached the cache. Each step of loading an entry reads what the
// step before it wrote, a few cycles earlier, so every link of that chain
// writes whole units at the offsets the next one reads:
//   the loader's run copy into its entry buffer (copyUnits),
//   the NUL put after the entry (keepFirst, one unit rewritten),
//   lowercase() of the entry (foldCapitals, unit by unit),
//   the copy into the store (copyUnits);
// and for the star search, the copy of each entry into its working buffer
// (copyUnits), which the segment sieve then reads as one unit. Replacing
// any link by a plain byte loop or an exact-length copy makes the next read
// wait; each link measured 15-85% of its step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if !defined(PALLIMORVENQUIST_PORTABLE) && defined(__SSE2__)
#define PALLIMORVENQUIST_BYTES_SSE2 1
#include <emmintrin.h>
#elif !defined(PALLIMORVENQUIST_PORTABLE) && defined(__ARM_NEON)
#define PALLIMORVENQUIST_BYTES_NEON 1
#include <arm_neon.h>
#endif

// The index of the lowest bit set; `bits` must not be 0.
inline int lowestBit(std::uint64_t bits) {
    return __builtin_ctzll(bits);
}

#if defined(PALLIMORVENQUIST_BYTES_SSE2)

// True where the bodies below use the processor's vector unit. The portable
// bodies work eight bytes to a word, and the few steps that only look for
// one byte may then be better served by the C library's memchr and strlen.
constexpr bool nativeBytes = true;

using Bytes16 = __m128i;

inline Bytes16 load16(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void store16(char* p, Bytes16 bytes) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), bytes);
}

inline Bytes16 repeat16(char byte) {
    return _mm_set1_epi8(byte);
}

inline std::uint32_t equalMask(Bytes16 a, Bytes16 b) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b)));
}

// A-Z to a-z; every other byte as it is. The compares are signed, so bytes
// from 0x80 up count as below 'A'.
inline Bytes16 foldCapitals(Bytes16 bytes) {
    Bytes16 capital = _mm_and_si128(_mm_cmpgt_epi8(bytes, repeat16('A' - 1)),
                                    _mm_cmplt_epi8(bytes, repeat16('Z' + 1)));
    return _mm_or_si128(bytes, _mm_and_si128(capital, repeat16('a' - 'A')));
}

// The first n bytes (n at most 16) as they are, the others NUL.
inline Bytes16 keepFirst(Bytes16 bytes, std::size_t n) {
    const Bytes16 lanes = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    return _mm_and_si128(bytes, _mm_cmpgt_epi8(repeat16(static_cast<char>(n)), lanes));
}

#elif defined(PALLIMORVENQUIST_BYTES_NEON)

constexpr bool nativeBytes = true;

using Bytes16 = uint8x16_t;

inline Bytes16 load16(const char* p) {
    return vld1q_u8(reinterpret_cast<const std::uint8_t*>(p));
}

inline void store16(char* p, Bytes16 bytes) {
    vst1q_u8(reinterpret_cast<std::uint8_t*>(p), bytes);
}

inline Bytes16 repeat16(char byte) {
    return vdupq_n_u8(static_cast<std::uint8_t>(byte));
}

// NEON has no movemask. The usual narrowing shift gives four bits a byte,
// but every caller here counts one bit a byte; so each lane of a compare
// result keeps only the bit of its place (1 to 128 in each half), and
// pairwise additions gather them: three rounds turn 16 lanes into 2 bytes.
inline Bytes16 placeBits(uint8x16_t lanes) {
    const uint8x16_t places = {1, 2, 4, 8, 16, 32, 64, 128, 1, 2, 4, 8, 16, 32, 64, 128};
    return vandq_u8(lanes, places);
}

inline std::uint32_t equalMask(Bytes16 a, Bytes16 b) {
    uint8x16_t bits = placeBits(vceqq_u8(a, b));
    bits = vpaddq_u8(bits, bits);
    bits = vpaddq_u8(bits, bits);
    bits = vpaddq_u8(bits, bits);
    return vgetq_lane_u16(vreinterpretq_u16_u8(bits), 0);
}

// Bytes are unsigned here: a capital is 0 to 25 above 'A'.
inline Bytes16 foldCapitals(Bytes16 bytes) {
    uint8x16_t capital = vcltq_u8(vsubq_u8(bytes, repeat16('A')), repeat16(26));
    return vorrq_u8(bytes, vandq_u8(capital, repeat16('a' - 'A')));
}

inline Bytes16 keepFirst(Bytes16 bytes, std::size_t n) {
    const uint8x16_t lanes = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    return vandq_u8(bytes, vcltq_u8(lanes, repeat16(static_cast<char>(n))));
}

#else

constexpr bool nativeBytes = false;

// Eight bytes to a word, each worked on in place: no byte's arithmetic
// carries into the next. Byte i of the text is byte i of the word counted
// from the low end, whatever the machine's byte order.
struct Bytes16 {
    std::uint64_t word[2];
};

constexpr std::uint64_t everyByte = 0x0101010101010101;
constexpr std::uint64_t lowSeven = 0x7F * everyByte;

inline std::uint64_t loadWord(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
}

inline void storeWord(char* p, std::uint64_t word) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    std::memcpy(p, &word, 8);
}

// 0x80 in each byte of the word that is 0, nothing anywhere else.
inline std::uint64_t zeroBytes(std::uint64_t word) {
    return ~(((word & lowSeven) + lowSeven) | word | lowSeven);
}

// Bit i for the top bit of byte i: the multiplication moves each byte's bit
// to its own place in the top byte, and no two of its terms meet.
inline std::uint32_t topBits(std::uint64_t word) {
    return static_cast<std::uint32_t>(((word >> 7) * 0x0102040810204080) >> 56);
}

inline Bytes16 load16(const char* p) {
    return {{loadWord(p), loadWord(p + 8)}};
}

inline void store16(char* p, Bytes16 bytes) {
    storeWord(p, bytes.word[0]);
    storeWord(p + 8, bytes.word[1]);
}

inline Bytes16 repeat16(char byte) {
    std::uint64_t word = static_cast<unsigned char>(byte) * everyByte;
    return {{word, word}};
}

inline std::uint32_t equalMask(Bytes16 a, Bytes16 b) {
    return topBits(zeroBytes(a.word[0] ^ b.word[0])) | topBits(zeroBytes(a.word[1] ^ b.word[1]))
                                                           << 8;
}

// Of the bytes below 0x80, those from 'A' to 'Z' get the bit 0x20.
inline std::uint64_t foldCapitals(std::uint64_t word) {
    std::uint64_t seven = word & lowSeven;
    std::uint64_t fromA = seven + (0x80 - 'A') * everyByte;
    std::uint64_t pastZ = seven + (0x80 - 'Z' - 1) * everyByte;
    std::uint64_t capital = fromA & ~pastZ & ~word & (0x80 * everyByte);
    return word | capital >> 2;
}

inline Bytes16 foldCapitals(Bytes16 bytes) {
    return {{foldCapitals(bytes.word[0]), foldCapitals(bytes.word[1])}};
}

// The low n bytes of the word (n at most 8).
inline std::uint64_t lowBytes(std::uint64_t word, std::size_t n) {
    return n >= 8 ? word : word & ((std::uint64_t{1} << (8 * n)) - 1);
}

inline Bytes16 keepFirst(Bytes16 bytes, std::size_t n) {
    return {{lowBytes(bytes.word[0], n), lowBytes(bytes.word[1], n > 8 ? n - 8 : 0)}};
}

#endif

inline std::uint32_t nulMask(Bytes16 bytes) {
    return equalMask(bytes, repeat16('\0'));
}

// The NULs among the 64 bytes at p.
#if defined(PALLIMORVENQUIST_BYTES_NEON)
inline std::uint64_t nulMask64(const char* p) {
    const uint8x16_t nul = repeat16('\0');
    uint8x16_t a = placeBits(vceqq_u8(load16(p), nul));
    uint8x16_t b = placeBits(vceqq_u8(load16(p + 16), nul));
    uint8x16_t c = placeBits(vceqq_u8(load16(p + 32), nul));
    uint8x16_t d = placeBits(vceqq_u8(load16(p + 48), nul));
    uint8x16_t bits = vpaddq_u8(vpaddq_u8(a, b), vpaddq_u8(c, d));
    bits = vpaddq_u8(bits, bits);
    return vgetq_lane_u64(vreinterpretq_u64_u8(bits), 0);
}
#else
inline std::uint64_t nulMask64(const char* p) {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < 64; i += 16) mask |= std::uint64_t{nulMask(load16(p + i))} << i;
    return mask;
}
#endif

// Copies the n bytes at `from` to `to`; `room` bytes may be read at `from`
// and written at `to`. Where there is room it moves whole 16-byte units, 32
// bytes at least: most entries are shorter than that, and a fixed size waits
// on no test of n. The bytes moved past the n-th are the caller's to ignore.
inline void copyUnits(char* to, const char* from, std::size_t n, std::size_t room) {
    constexpr std::size_t least = 32;
    if (n <= least && room >= least) {
        store16(to, load16(from));
        store16(to + 16, load16(from + 16));
    } else if (((n + 15) & ~std::size_t{15}) <= room) {
        for (std::size_t i = 0; i < n; i += 16) store16(to + i, load16(from + i));
    } else {
        std::memcpy(to, from, n);
    }
}
