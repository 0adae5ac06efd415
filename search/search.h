// Pattern search over the word store.
//
// A pattern is a lower-cased search string of at most 99 bytes in which '?'
// stands for exactly one byte and '*' for any run of bytes, an empty one
// included; every other byte stands for itself.
//
// Promises: each search lists, through the match listing, every stored entry
// that fits, in storage order, and nothing else. Searches only read the
// store. searchFixed() walks the block chain and leaves the store's read
// cursor alone; matchStar() uses the read cursor. A star pattern's segments
// are allocated before the walk and released after it; if memory runs out
// there, the program stops through fatalOutOfMemory().
// Caller guarantees: the store is fully loaded; patterns are NUL-terminated,
// at most 99 bytes; searchStar()'s pattern holds a '*', searchFixed()'s none.
#pragma once

#include <cstdint>

#include "store/word_store.h"

constexpr int maxPatternLength = 99;

// Lists every entry as long as `pattern` that agrees with it at every
// position.
void searchFixed(const char* pattern, const WordStore& store);

// One piece of a star pattern between two '*'.
struct StarSegment {
    char text[maxPatternLength + 1];
    std::int32_t length;  // at least 1
    StarSegment* next;    // in pattern order; null for the last
};

// Cuts `pattern`, which holds a '*', into the text before its first '*'
// (`head`), the text after its last '*' (`tail`), and the chain of the runs
// between two '*' that are not empty; returns the chain, null when there is
// none. `head` and `tail` have room for maxPatternLength + 1 bytes.
StarSegment* parseStarPattern(const char* pattern, char* head, char* tail);

// Cuts `pattern` with parseStarPattern(), lists the entries that fit
// them with matchStar(), and releases the segments.
void searchStar(const char* pattern, WordStore& store);

// Lists every entry that begins with `head`, ends with `tail` and holds the
// segments of the chain in order, without overlap, between the two.
void matchStar(WordStore& store, const StarSegment* segments, const char* head, const char* tail);

// The sum of the lengths of the chain's segments; 0 for a null chain.
std::int32_t segmentsLength(const StarSegment* segments);

// Releases every segment of the chain; returns a null chain.
StarSegment* freeSegments(StarSegment* segments);
