// The star search: a pattern with '*' is cut into a head that must begin the
// entry, a tail that must end it, and the segments between consecutive '*'
// that must occur in order, without overlap, in what lies between.

#include <cstdlib>
#include <cstring>

#include "dialogue/console.h"
#include "search/listing.h"
#include "search/search.h"
#include "store/memory.h"

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

// Places each segment at its leftmost fit at or after the end of the one
// before; true when all of them fit in the `length` bytes of `text`.
bool segmentsFit(const StarSegment* segment, const char* text, std::size_t length) {
    std::size_t position = 0;
    for (; segment; segment = segment->next) {
        std::size_t size = static_cast<std::size_t>(segment->length);
        if (position == length) return false;
        while (position + size <= length && !fitsAt(segment->text, size, text + position))
            ++position;
        if (position + size > length) return false;
        position += size;
    }
    return true;
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
    std::size_t minimum =
        headLength + tailLength + static_cast<std::size_t>(segmentsLength(segments));
    MatchListing listing;
    char work[maxPatternLength + 1];

    store.rewind();
    while (const char* entry = store.nextWord()) {
        noteWordExamined(listing);
        std::size_t length = std::strlen(entry);
        if (length < minimum) continue;
        std::memcpy(work, entry, length + 1);
        if (headLength > 0) {
            if (!fitsAt(head, headLength, entry)) continue;
            std::memcpy(work, entry + headLength, length - headLength + 1);
        }
        std::size_t workLength = length - headLength;
        if (tailLength > 0) {
            if (!fitsBackwards(tail, tailLength, entry + length)) continue;
            workLength -= tailLength;
            work[workLength] = '\0';
        }
        if (!segmentsFit(segments, work, workLength)) continue;
        listMatch(listing, entry);
    }
}
