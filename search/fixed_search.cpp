// The fixed-length search: patterns without '*'.

#include <cstring>

#include "search/listing.h"
#include "search/search.h"
#include "store/byte_chunks.h"
#include "store/fast_paths.h"
#include "store/nul_scan.h"

namespace {

// Compares `pattern` (`length` bytes) with the entry from position j on,
// one position at a time; true when the entry fits. Sets `stop` to where the
// compare ended: the entry's NUL, or the first byte that disagrees.
bool fitsFrom(const char* pattern, std::size_t length, const char* entry, std::size_t j,
              const char*& stop) {
    while (entry[j] != '\0' && j < length && (pattern[j] == '?' || pattern[j] == entry[j])) ++j;
    stop = entry + j;
    return entry[j] == '\0' && j == length;
}

void searchPlain(const char* pattern, std::size_t length, const WordStore& store) {
    MatchListing listing;
    for (const WordBlock* block = store.firstBlock(); block; block = block->next) {
        const char* entry = block->start;
        while (entry < block->dataEnd) {
            noteWordExamined(listing);
            const char* stop;
            bool fits = fitsFrom(pattern, length, entry, 0, stop);
            const char* end = fits ? stop : findNulPlain(stop, block->dataEnd);
            if (fits) listMatch(listing, entry);
            entry = end + 1;
        }
    }
}

#if defined(__SSE2__)

constexpr std::size_t chunkBytes = 16;
constexpr std::size_t patternChunks = (maxPatternLength + chunkBytes) / chunkBytes;

// The pattern laid out for comparing 16 positions at once: its bytes, NUL
// past its end, so that position `length` agrees with nothing but the
// entry's NUL; and for each chunk the positions that hold '?'.
class ChunkedPattern {
public:
    ChunkedPattern(const char* pattern, std::size_t length) : pattern(pattern), length(length) {
        char padded[patternChunks * chunkBytes] = {};
        std::memcpy(padded, pattern, length);
        for (std::size_t k = 0; k < patternChunks; ++k) {
            bytes[k] = loadChunk(padded + k * chunkBytes);
            wild[k] = equalBits(bytes[k], repeatedByte('?'));
        }
    }

    // The compare of the entry position by position, 16 positions a step:
    // it stops at the first position that holds the entry's NUL or a byte
    // the pattern does not allow there, and the entry fits when that is
    // position `length` and holds the NUL. The last bytes of a block, where
    // 16 would reach dataEnd, are compared one at a time.
    bool fits(const char* entry, const char* limit) const {
        for (std::size_t k = 0;; ++k) {
            std::size_t j = k * chunkBytes;
            if (static_cast<std::size_t>(limit - (entry + j)) < chunkBytes) {
                const char* stop;
                return fitsFrom(pattern, length, entry, j, stop);
            }
            Chunk text = loadChunk(entry + j);
            std::uint32_t nul = nulBits(text);
            std::uint32_t stops = nul | (~(equalBits(text, bytes[k]) | wild[k]) & 0xFFFF);
            if (stops != 0) {
                int at = lowestBit(stops);
                return j + static_cast<std::size_t>(at) == length && (nul >> at & 1);
            }
        }
    }

private:
    const char* pattern;
    std::size_t length;
    Chunk bytes[patternChunks];
    std::uint32_t wild[patternChunks];
};

// Walks the block's entries, finding their NULs 64 bytes at a time: each
// entry begins just behind the NUL of the one before.
template <class Visit>
void forEachEntry(const WordBlock& block, Visit visit) {
    const char* entry = block.start;
    for (const char* window = block.start; window < block.dataEnd; window += 64) {
        for (std::uint64_t nuls = nulBitsBefore(window, block.dataEnd); nuls; nuls &= nuls - 1) {
            const char* nul = window + lowestBit(nuls);
            visit(entry);
            entry = nul + 1;
        }
    }
}

void searchChunked(const char* pattern, std::size_t length, const WordStore& store) {
    ChunkedPattern chunked(pattern, length);
    MatchListing listing;
    for (const WordBlock* block = store.firstBlock(); block; block = block->next) {
        forEachEntry(*block, [&](const char* entry) {
            noteWordExamined(listing);
            if (chunked.fits(entry, block->dataEnd)) listMatch(listing, entry, length);
        });
    }
}

#endif

}  // namespace

void searchFixed(const char* pattern, const WordStore& store) {
    std::size_t length = std::strlen(pattern);
#if defined(__SSE2__)
    if (fastPathsEnabled()) return searchChunked(pattern, length, store);
#endif
    searchPlain(pattern, length, store);
}
