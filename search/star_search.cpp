// The star search: a pattern with '*' is cut into a head that must begin the
// entry, a tail that must end it, and the segments between consecutive '*'
// that must occur in order, without overlap, in what lies between.

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "dialogue/console.h"
#include "search/listing.h"
#include "search/search.h"
#include "store/bytes.h"
#include "store/memory.h"
#include "store/word_store.h"

namespace {

// Copies the text before the first '*'.
void copyHead(const char* pattern, char* head) {
    while (*pattern != '*') *head++ = *pattern++;
    *head = '\0';
}

// Copies the text after the last '*'.
void copyTail(const char* pattern, char* tail) {
    const char* lastStar = std::strrchr(pattern, '*');
    std::strcpy(tail, lastStar + 1);
}

StarSegment* newSegment(const char* run, std::size_t length) {
    StarSegment* segment = static_cast<StarSegment*>(allocateMemory(sizeof(StarSegment)));
    if (!segment) fatalOutOfMemory();
    segment->next = nullptr;
    std::memcpy(segment->text, run, length);
    segment->text[length] = '\0';
    segment->length = static_cast<std::int32_t>(length);
    return segment;
}

// Builds the chain of runs between two '*', in pattern order. A run of
// several '*' gives no segment, and the text after the last '*' is the tail.
StarSegment* parseSegments(const char* pattern) {
    StarSegment* chain = nullptr;
    StarSegment** link = &chain;
    const char* cursor = pattern;
    while ((cursor = std::strchr(cursor, '*')) != nullptr) {
        ++cursor;
        if (*cursor == '\0') break;
        if (*cursor == '*') continue;
        const char* run = cursor;
        while (*cursor != '\0' && *cursor != '*') ++cursor;
        if (*cursor == '\0') break;
        *link = newSegment(run, static_cast<std::size_t>(cursor - run));
        link = &(*link)->next;
    }
    return chain;
}

// True when the `length` bytes of `piece` fit the text at `text`, '?'
// fitting any byte.
bool fitsAt(const char* piece, std::size_t length, const char* text) {
    for (std::size_t i = 0; i < length; ++i)
        if (piece[i] != '?' && piece[i] != text[i]) return false;
    return true;
}

// The same test from the last byte backwards, with `textEnd` just past the
// text's last byte.
bool fitsBackwards(const char* piece, std::size_t length, const char* textEnd) {
    const char* p = piece + length;
    const char* t = textEnd;
    while (p > piece) {
        --p;
        --t;
        if (*p != '?' && *p != *t) return false;
    }
    return true;
}

// The working buffer: a copy of the entry, narrowed to what lies between
// head and tail.
constexpr std::size_t workSize = maxPatternLength + 1;

// The segments, and how each is looked for in a working text. A segment can
// only fit where its first byte stands, unless that byte is '?', so the
// start positions are found with memchr. In a working text of at most 16
// bytes, which most are, the start positions where a segment's first bytes
// (up to four) fit are found for the whole text at once from one unit.
class SegmentSearch {
public:
    explicit SegmentSearch(const StarSegment* segments) {
        for (; segments; segments = segments->next) {
            Segment& segment = chain[count++];
            segment.text = segments->text;
            segment.size = static_cast<std::size_t>(segments->length);
            segment.sieved = std::min(segment.size, sieveBytes);
            for (std::size_t j = 0; j < segment.sieved; ++j) {
                segment.sieve[j] = repeat16(segments->text[j]);
                segment.sieveWild[j] = segments->text[j] == '?';
            }
        }
    }

    // Places each segment at its leftmost fit at or after the end of the
    // one before; true when all of them fit in the `length` bytes of
    // `work`, which holds at least 16 readable bytes.
    bool allFit(const char* work, std::size_t length) const {
        if (length <= 16) {
            const Bytes16 unit = load16(work);
            return placeAll(length, [&](const Segment& segment, std::size_t& at, std::size_t last) {
                return segment.fitIn(unit, work, at, last);
            });
        }
        return placeAll(length, [&](const Segment& segment, std::size_t& at, std::size_t last) {
            return segment.fit(work, at, last);
        });
    }

private:
    static constexpr std::size_t sieveBytes = 4;

    struct Segment;

    // The walk of allFit(). `fit(segment, at, last)` moves `at` to the
    // first start up to `last` where the segment fits, and is false when
    // there is none. Written once for both kinds of working text, so that
    // the short one keeps its unit in a register.
    template <class Fit>
    bool placeAll(std::size_t length, Fit fit) const {
        std::size_t position = 0;
        for (int i = 0; i < count; ++i) {
            if (position == length) return false;
            const Segment& segment = chain[i];
            if (position + segment.size > length) return false;
            // The last start that leaves room for the segment.
            if (!fit(segment, position, length - segment.size)) return false;
            position += segment.size;
        }
        return true;
    }

    struct Segment {
        // Moves `at` to the first start from `at` to `last` where the
        // segment fits the text at `work`; false when there is none.
        bool fit(const char* work, std::size_t& at, std::size_t last) const {
            for (; at <= last; ++at) {
                if (text[0] != '?') {
                    const void* found = std::memchr(work + at, text[0], last + 1 - at);
                    if (!found) return false;
                    at = static_cast<std::size_t>(static_cast<const char*>(found) - work);
                }
                if (fitsAt(text, size, work + at)) return true;
            }
            return false;
        }

        // The same for a text of at most 16 bytes, held whole in `unit`.
        bool fitIn(Bytes16 unit, const char* work, std::size_t& at, std::size_t last) const {
            std::uint32_t starts = startsIn(unit) & (~0u << at) & ((2u << last) - 1);
            for (; starts != 0; starts &= starts - 1) {
                at = static_cast<std::size_t>(lowestBit(starts));
                if (size == sieved || fitsAt(text, size, work + at)) return true;
            }
            return false;
        }

        // Bit p set when the segment's first `sieved` bytes fit the unit's
        // bytes from position p on, for the positions p where they all lie
        // inside the unit.
        std::uint32_t startsIn(Bytes16 unit) const {
            std::uint32_t starts = 0xFFFF;
            for (std::size_t j = 0; j < sieved; ++j)
                if (!sieveWild[j]) starts &= equalMask(unit, sieve[j]) >> j;
            return starts;
        }

        const char* text;
        std::size_t size;
        std::size_t sieved;  // the first bytes tested by startsIn()
        Bytes16 sieve[sieveBytes];
        bool sieveWild[sieveBytes];
    };

    static constexpr int maxSegments = maxPatternLength / 2;
    Segment chain[maxSegments];
    int count = 0;
};

// Copies the n bytes of the entry at `from`, below `limit`, to the start of
// the working buffer. Whole units go along past the n bytes where the store
// and the buffer have them (store/bytes.h says why); the working text ends
// at its NUL, so they are never part of it.
void copyToWork(char* work, const char* from, std::size_t n, const char* limit) {
    copyUnits(work, from, n, std::min(workSize, static_cast<std::size_t>(limit - from)));
}

}  // namespace

std::int32_t segmentsLength(const StarSegment* segments) {
    std::int32_t sum = 0;
    for (; segments; segments = segments->next) sum += segments->length;
    return sum;
}

StarSegment* freeSegments(StarSegment* segments) {
    while (segments) {
        StarSegment* following = segments->next;
        std::free(segments);
        segments = following;
    }
    return nullptr;
}

StarSegment* parseStarPattern(const char* pattern, char* head, char* tail) {
    copyHead(pattern, head);
    copyTail(pattern, tail);
    return parseSegments(pattern);
}

void searchStar(const char* pattern, WordStore& store) {
    char head[maxPatternLength + 1];
    char tail[maxPatternLength + 1];
    StarSegment* segments = parseStarPattern(pattern, head, tail);
    matchStar(store, segments, head, tail);
    freeSegments(segments);
}

void matchStar(WordStore& store, const StarSegment* segments, const char* head, const char* tail) {
    std::size_t headLength = std::strlen(head);
    std::size_t tailLength = std::strlen(tail);
    // The minimum length, put as what an entry leaves between head and tail,
    // which must hold the segments. Signed, so that an entry too short even
    // for head and tail leaves a negative length there, not a huge one; and
    // the segments' bytes, a sum of lengths, are never below 0: so every
    // working text that passes is plainly 0 bytes or more, for the reader
    // and the compiler alike.
    const std::ptrdiff_t edges = static_cast<std::ptrdiff_t>(headLength + tailLength);
    const std::ptrdiff_t segmentBytes = std::max(0, segmentsLength(segments));
    MatchListing listing;
    const SegmentSearch search(segments);
    // Zeroed, so that a unit read past the working text reads no
    // indeterminate byte.
    char work[workSize] = {};

    store.rewind();
    while (const char* entry = store.nextWord()) {
        noteWordExamined(listing);
        std::size_t length = static_cast<std::size_t>(store.endOfLastWord() - entry);
        const std::ptrdiff_t between = static_cast<std::ptrdiff_t>(length) - edges;
        if (between < segmentBytes) continue;
        const char* limit = store.readLimit();
        copyToWork(work, entry, length + 1, limit);
        if (headLength > 0) {
            if (!fitsAt(head, headLength, entry)) continue;
            copyToWork(work, entry + headLength, length - headLength + 1, limit);
        }
        const std::size_t workLength = static_cast<std::size_t>(between);
        if (tailLength > 0) {
            if (!fitsBackwards(tail, tailLength, entry + length)) continue;
            work[workLength] = '\0';
        }
        if (!search.allFit(work, workLength)) continue;
        listMatch(listing, entry, length);
    }
}
