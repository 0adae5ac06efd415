// The fixed-length search: patterns without '*'.

#include <cstring>

#include "search/listing.h"
#include "search/search.h"
#include "store/nul_scan.h"

namespace {

// Compares `pattern` (`length` bytes) with the entry at `entry` position by
// position. Sets `end` to the entry's NUL; true when the entry fits.
bool fitsFixed(const char* pattern, std::size_t length, const char* entry, const char* limit,
               const char*& end) {
    std::size_t j = 0;
    while (entry[j] != '\0' && j < length && (pattern[j] == '?' || pattern[j] == entry[j])) ++j;
    bool fits = entry[j] == '\0' && j == length;
    end = fits ? entry + j : findNul(entry + j, limit);
    return fits;
}

}  // namespace

void searchFixed(const char* pattern, const WordStore& store) {
    std::size_t length = std::strlen(pattern);
    MatchListing listing;
    for (const WordBlock* block = store.firstBlock(); block; block = block->next) {
        const char* entry = block->start;
        while (entry < block->dataEnd) {
            noteWordExamined(listing);
            const char* end;
            if (fitsFixed(pattern, length, entry, block->dataEnd, end)) listMatch(listing, entry);
            entry = end + 1;
        }
    }
}
