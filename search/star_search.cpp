// The star search: a pattern with '*' is cut into a head that must begin the
// entry, a tail that must end it, and the segments between consecutive '*'
// that must occur in order, without overlap, in what lies between.

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "dialogue/console.h"
#include "search/listing.h"
#include "search/search.h"
#include "store/byte_chunks.h"
#include "store/fast_paths.h"
#include "store/memory.h"
#include "store/short_copy.h"

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

// Each step of the walk done the plain way: lengths counted, copies and
// segment searches through the C library or one byte at a time.
class PlainSteps {
public:
    explicit PlainSteps(const StarSegment* segments) : segments(segments) {}

    static std::size_t length(const WordStore&, const char* entry) { return std::strlen(entry); }

    static void copy(char* work, const char* from, std::size_t n, const char*) {
        std::memcpy(work, from, n);
    }

    static void list(MatchListing& listing, const char* entry, std::size_t) {
        listMatch(listing, entry);
    }

    // Places each segment at its leftmost fit at or after the end of the
    // one before; true when all of them fit in the `length` bytes of `work`.
    bool segmentsFit(const char* work, std::size_t length) const {
        std::size_t position = 0;
        for (const StarSegment* segment = segments; segment; segment = segment->next) {
            if (position == length) return false;
            std::size_t size = static_cast<std::size_t>(segment->length);
            while (position + size <= length && !fitsAt(segment->text, size, work + position))
                ++position;
            if (position + size > length) return false;
            position += size;
        }
        return true;
    }

private:
    const StarSegment* segments;
};

#if defined(__SSE2__)

// The same steps, many bytes at a time.
class FastSteps {
public:
    explicit FastSteps(const StarSegment* segments) {
        for (; segments; segments = segments->next) {
            Scan& scan = scans[count++];
            scan.text = segments->text;
            scan.size = static_cast<std::size_t>(segments->length);
            scan.first = repeatedByte(segments->text[0]);
            scan.wildFirst = segments->text[0] == '?';
            scan.sieved = std::min<std::size_t>(scan.size, sieveBytes);
            for (std::size_t j = 0; j < scan.sieved; ++j) {
                scan.sieve[j] = repeatedByte(segments->text[j]);
                scan.sieveWild[j] = segments->text[j] == '?';
            }
        }
    }

    // The walk has just stepped over the entry's NUL.
    static std::size_t length(const WordStore& store, const char* entry) {
        return static_cast<std::size_t>(store.endOfLastWord() - entry);
    }

    // Copies the n bytes at `from` to the start of the working buffer 16 at
    // a time, and with them up to 15 of the bytes that follow, below `limit`;
    // the working text ends at its NUL, so they are never part of it. Whole
    // chunks at the offsets that findByte() reads let those reads take the
    // bytes straight from the copy.
    static void copy(char* work, const char* from, std::size_t n, const char* limit) {
        for (std::size_t i = 0; i < n; i += 16) {
            if (limit - (from + i) < 16 || i + 16 > workSize)
                return copyShort(work + i, from + i, n - i);
            storeChunk(work + i, loadChunk(from + i));
        }
    }

    static void list(MatchListing& listing, const char* entry, std::size_t length) {
        listMatch(listing, entry, length);
    }

    // As PlainSteps::segmentsFit(), but a segment that begins with a byte
    // other than '?' can only fit where that byte stands: the start
    // positions in between are skipped, as they cannot fit.
    bool segmentsFit(const char* work, std::size_t length) const {
        if (length <= 16) return segmentsFitChunk(work, length);
        std::size_t position = 0;
        for (int i = 0; i < count; ++i) {
            if (position == length) return false;
            const Scan& scan = scans[i];
            if (position + scan.size > length) return false;
            std::size_t last = length - scan.size;  // the last start that leaves room
            for (;; ++position) {
                if (!scan.wildFirst) position = findByte(work, position, last, scan.first);
                if (position > last) return false;
                if (fitsAt(scan.text, scan.size, work + position)) break;
            }
            position += scan.size;
        }
        return true;
    }

private:
    // segmentsFit() for a working text of at most 16 bytes, read once: the
    // start positions where a segment's first bytes (up to four) fit are
    // found for all positions at once, and only those are tried.
    bool segmentsFitChunk(const char* work, std::size_t length) const {
        const Chunk text = loadChunk(work);
        std::size_t position = 0;
        for (int i = 0; i < count; ++i) {
            if (position == length) return false;
            const Scan& scan = scans[i];
            if (position + scan.size > length) return false;
            std::size_t last = length - scan.size;
            std::uint32_t starts = scan.startsIn(text) & (~0u << position) & ((2u << last) - 1);
            for (;; starts &= starts - 1) {
                if (starts == 0) return false;
                position = static_cast<std::size_t>(lowestBit(starts));
                if (scan.size == scan.sieved || fitsAt(scan.text, scan.size, work + position))
                    break;
            }
            position += scan.size;
        }
        return true;
    }

    // The first position from `position` to `last` that holds the byte
    // repeated in `wanted`; `last` + 1 when there is none. Reads the working
    // buffer in its 16-byte chunks, masking off what lies outside the range.
    static std::size_t findByte(const char* work, std::size_t position, std::size_t last,
                                Chunk wanted) {
        std::size_t chunk = position & ~std::size_t{15};
        for (; chunk <= last && chunk + 16 <= workSize; chunk += 16) {
            std::uint32_t bits = equalBits(loadChunk(work + chunk), wanted);
            if (chunk < position) bits &= ~0u << (position - chunk);
            if (last - chunk < 15) bits &= (2u << (last - chunk)) - 1;
            if (bits) return chunk + static_cast<std::size_t>(lowestBit(bits));
        }
        char byte = static_cast<char>(_mm_cvtsi128_si32(wanted));
        for (position = std::max(position, chunk); position <= last; ++position)
            if (work[position] == byte) break;
        return position;
    }

    static constexpr std::size_t sieveBytes = 4;

    struct Scan {
        // Bit p set when the segment's first `sieved` bytes fit the text's
        // bytes from position p on, for the positions p where they all lie
        // inside the chunk.
        std::uint32_t startsIn(Chunk text) const {
            std::uint32_t starts = 0xFFFF;
            for (std::size_t j = 0; j < sieved; ++j)
                if (!sieveWild[j]) starts &= equalBits(text, sieve[j]) >> j;
            return starts;
        }

        Chunk first;  // the segment's first byte in every lane
        const char* text;
        std::size_t size;
        bool wildFirst;
        std::size_t sieved;  // the first bytes tested by startsIn()
        Chunk sieve[sieveBytes];
        bool sieveWild[sieveBytes];
    };
    static constexpr int maxSegments = maxPatternLength / 2;
    Scan scans[maxSegments];
    int count = 0;
};

#endif

// The walk of matchStar(); `Steps` chooses how each step is done, never
// which steps are done or in which order.
template <class Steps>
void matchWith(WordStore& store, const StarSegment* segments, const char* head, const char* tail) {
    std::size_t headLength = std::strlen(head);
    std::size_t tailLength = std::strlen(tail);
    std::size_t minimum =
        headLength + tailLength + static_cast<std::size_t>(segmentsLength(segments));
    MatchListing listing;
    const Steps steps(segments);
    // Set once so that the fast segment search reads no indeterminate bytes.
    char work[workSize] = {};

    store.rewind();
    while (const char* entry = store.nextWord()) {
        noteWordExamined(listing);
        std::size_t length = steps.length(store, entry);
        if (length < minimum) continue;
        const char* limit = store.readLimit();
        steps.copy(work, entry, length + 1, limit);
        if (headLength > 0) {
            if (!fitsAt(head, headLength, entry)) continue;
            steps.copy(work, entry + headLength, length - headLength + 1, limit);
        }
        std::size_t workLength = length - headLength;
        if (tailLength > 0) {
            if (!fitsBackwards(tail, tailLength, entry + length)) continue;
            workLength -= tailLength;
            work[workLength] = '\0';
        }
        if (!steps.segmentsFit(work, workLength)) continue;
        steps.list(listing, entry, length);
    }
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
#if defined(__SSE2__)
    if (fastPathsEnabled()) return matchWith<FastSteps>(store, segments, head, tail);
#endif
    matchWith<PlainSteps>(store, segments, head, tail);
}
