// The word list in memory.
//
// Owns every entry, packed back to back as NUL-terminated texts inside text
// blocks of blockCapacity bytes, which form a singly linked chain of
// WordBlock records; entries are never changed, moved or removed, and come
// out in the order they were appended.
//
// Promises: pointers returned by addWord() and nextWord(), and the fields of
// the blocks, stay valid for the life of the store. The bytes of a block
// past its dataEnd hold nothing that anyone may read. A failed append leaves
// every entry stored before it in place and walkable.
//
// Caller guarantees: all appends come before the first rewind(); an entry is
// shorter than blockCapacity; only one rewind()/nextWord() walk at a time
// (a walk of the chain from firstBlock() keeps its position in the caller,
// and finds the entries' ends with an EntryEnds of its own, started on each
// block).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "store/bytes.h"

struct WordBlock {
    char* start;      // blockCapacity bytes of text
    char* dataEnd;    // just past the NUL of the block's last entry
    WordBlock* next;  // null for the last block
};

// Finds where each entry of a block ends, for a walk that takes the block's
// entries in order: the NULs of 64 bytes are found at once, window after
// window from the block's start, and those not yet reached are kept. The
// next window's place never depends on the last NUL found, so stepping
// from entry to entry waits for no load.
class EntryEnds {
public:
    // Starts on the block whose first entry is at `start`.
    void startBlock(const char* start) {
        ahead = 0;
        next = start;
    }

    // The NUL that ends `entry`, which lies below `limit`, the block's
    // dataEnd, and is the block's first entry or follows the NUL returned
    // last. Reads nothing at or past `limit`.
    const char* endOf(const char* entry, const char* limit) {
        if constexpr (!nativeBytes)
            return static_cast<const char*>(std::memchr(entry, '\0', std::size_t(limit - entry)));
        while (ahead == 0) {
            from = next;
            next += 64;
            ahead = nulsBefore(from, limit);
        }
        const char* nul = from + lowestBit(ahead);
        ahead &= ahead - 1;
        return nul;
    }

private:
    // The NULs among the 64 bytes at p that lie below `limit`.
    static std::uint64_t nulsBefore(const char* p, const char* limit) {
        if (limit - p >= 64) return nulMask64(p);
        std::uint64_t bits = 0;
        for (int i = 0; p + i < limit; ++i)
            if (p[i] == '\0') bits |= std::uint64_t{1} << i;
        return bits;
    }

    std::uint64_t ahead = 0;     // bit i for from[i]
    const char* from = nullptr;  // the window that `ahead` covers
    const char* next = nullptr;  // the window after it
};

class WordStore {
public:
    static constexpr std::uint32_t blockCapacity = 204800;

    WordStore();
    ~WordStore();
    WordStore(const WordStore&) = delete;
    WordStore& operator=(const WordStore&) = delete;

    // Copies `word` and its NUL to the end of the store; returns the stored
    // copy, or null when memory ran out. Leaves wordCount alone.
    const char* addWord(const char* word);
    // The same for a word whose `length` (NUL not included) the caller
    // knows, as the loader does, and of which `readable` bytes (at least
    // length + 1) may be read. Inline: the loader calls it per entry.
    const char* addWord(const char* word, std::size_t length, std::size_t readable) {
        std::size_t n = length + 1;
        if ((!first || spaceLeft < n) && !openBlock()) return nullptr;
        // The copy may move bytes past the NUL, into where the next entry
        // goes, beyond dataEnd.
        copyUnits(writePos, word, n, std::min<std::size_t>(readable, spaceLeft));
        spaceLeft -= static_cast<std::uint32_t>(n);
        char* stored = writePos;
        writePos += n;
        current->dataEnd = writePos;
        return stored;
    }

    // The first block of the chain, or null while the store is empty.
    const WordBlock* firstBlock() const { return first; }

    // Puts the read cursor before the first entry.
    void rewind();

    // The next entry in storage order, or null once the walk is over.
    // Inline: the star search calls it for every entry.
    const char* nextWord() {
        if (!current) return nullptr;
        if (readPos >= current->dataEnd) {
            current = current->next;
            if (!current) return nullptr;
            readPos = current->start;
            ends.startBlock(readPos);
        }
        const char* entry = readPos;
        readPos = ends.endOf(entry, current->dataEnd) + 1;
        return entry;
    }

    // The NUL of the entry that nextWord() returned last, which the walk
    // has just found: the entry's length comes for free.
    const char* endOfLastWord() const { return readPos - 1; }

    // The dataEnd of the block that nextWord() read last. The bytes up to
    // it that follow an entry's NUL hold the entries after it, so a reader
    // that moves many bytes at a time may read them along.
    const char* readLimit() const { return current->dataEnd; }

    // Reads the dictionary file into the store (loader.cpp). Returns 0 when
    // the whole file was read, 1 when memory ran out.
    int loadDictionary(std::FILE* file, int keepPunctuation);

    // Entries counted by the loader.
    std::uint32_t wordCount;

private:
    // Links a new, empty block at the end of the chain and makes it the one
    // being filled; false, with nothing changed, when memory ran out.
    bool openBlock();

    WordBlock* first;
    WordBlock* last;
    char* writePos;
    std::uint32_t spaceLeft;
    WordBlock* current;  // block being filled, then block being read
    const char* readPos;
    EntryEnds ends;  // of the cursor's walk
};
