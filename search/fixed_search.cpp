// The fixed-length search: patterns without '*'.

#include <cstring>

#include "search/listing.h"
#include "search/search.h"
#include "store/bytes.h"
#include "store/word_store.h"

namespace {

constexpr std::size_t unitCount = (maxPatternLength + 16) / 16;

// The pattern laid out for comparing 16 positions at once: its bytes, NUL
// past its end, so that position `length` agrees with nothing but the
// entry's NUL; and for each unit of 16 positions those that hold '?'.
class FixedPattern {
public:
    FixedPattern(const char* pattern, std::size_t length) : pattern(pattern), length(length) {
        char padded[unitCount * 16] = {};
        std::memcpy(padded, pattern, length);
        for (std::size_t k = 0; k < unitCount; ++k) {
            bytes[k] = load16(padded + k * 16);
            wild[k] = equalMask(bytes[k], repeat16('?'));
        }
    }

    // Compares the entry with the pattern position by position, left to
    // right, 16 positions a step: the compare stops at the first position
    // that holds the entry's NUL or a byte that the pattern does not allow
    // there, and the entry fits when that is position `length` and holds
    // the NUL. The last bytes of a block, where 16 would reach `limit`, its
    // dataEnd, are compared one at a time.
    bool fits(const char* entry, const char* limit) const {
        for (std::size_t k = 0;; ++k) {
            std::size_t j = k * 16;
            if (static_cast<std::size_t>(limit - (entry + j)) < 16) return fitsFrom(entry, j);
            Bytes16 text = load16(entry + j);
            std::uint32_t nul = nulMask(text);
            std::uint32_t stops = nul | (~(equalMask(text, bytes[k]) | wild[k]) & 0xFFFF);
            if (stops != 0) {
                int at = lowestBit(stops);
                return j + static_cast<std::size_t>(at) == length && (nul >> at & 1);
            }
        }
    }

private:
    // The same compare one position at a time, from position j on.
    bool fitsFrom(const char* entry, std::size_t j) const {
        while (entry[j] != '\0' && j < length && (pattern[j] == '?' || pattern[j] == entry[j])) ++j;
        return entry[j] == '\0' && j == length;
    }

    const char* pattern;
    std::size_t length;
    Bytes16 bytes[unitCount];
    std::uint32_t wild[unitCount];
};

}  // namespace

void searchFixed(const char* pattern, const WordStore& store) {
    std::size_t length = std::strlen(pattern);
    FixedPattern fixed(pattern, length);
    MatchListing listing;
    EntryEnds ends;
    for (const WordBlock* block = store.firstBlock(); block; block = block->next) {
        ends.startBlock(block->start);
        for (const char* entry = block->start; entry < block->dataEnd;) {
            // Where the next entry begins is known before this one is
            // compared, so that the two need not wait for each other.
            const char* next = ends.endOf(entry, block->dataEnd) + 1;
            noteWordExamined(listing);
            if (fixed.fits(entry, block->dataEnd)) listMatch(listing, entry, length);
            entry = next;
        }
    }
}
