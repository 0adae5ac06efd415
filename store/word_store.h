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
// (a walk of the chain from firstBlock() keeps its position in the caller).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "store/fast_paths.h"
#include "store/nul_scan.h"
#include "store/short_copy.h"

struct WordBlock {
    char* start;      // blockCapacity bytes of text
    char* dataEnd;    // just past the NUL of the block's last entry
    WordBlock* next;  // null for the last block
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
        copyEntry(writePos, word, n, readable);
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
            nulsAhead = 0;
        }
        const char* entry = readPos;
        readPos = stepOver(readPos) + 1;
        return entry;
    }

    // The NUL of the entry that nextWord() returned last, which the walk
    // has just stepped over: the entry's length comes for free.
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
    // Copies the n bytes of an entry to `to`. Entries are short, and most
    // are at most 32 bytes long: moving 32 whenever the text and the block
    // have them waits on no test of the length, and the bytes past the
    // entry's NUL lie where the next entry goes, beyond dataEnd.
    void copyEntry(char* to, const char* from, std::size_t n, std::size_t readable) {
        constexpr std::size_t wide = 32;
        if (!fastPathsEnabled())
            std::memcpy(to, from, n);
        else if (n <= wide && readable >= wide && spaceLeft >= wide)
            std::memcpy(to, from, wide);
        else
            copyShort(to, from, n);
    }

    // Links a new, empty block at the end of the chain and makes it the one
    // being filled; false, with nothing changed, when memory ran out.
    bool openBlock();

    // Finds the NUL of the entry at readPos. The fast way finds the NULs of
    // 64 bytes at once and keeps those not yet reached, so that stepping
    // from entry to entry waits for no load.
    const char* stepOver(const char* entry) {
#if defined(__SSE2__)
        if (fastPathsEnabled()) {
            if (nulsAhead == 0) {
                nulsFrom = entry;
                while ((nulsAhead = nulBitsBefore(nulsFrom, current->dataEnd)) == 0) nulsFrom += 64;
            }
            const char* nul = nulsFrom + lowestBit(nulsAhead);
            nulsAhead &= nulsAhead - 1;
            return nul;
        }
#endif
        nulsAhead = 0;
        return findNulPlain(entry, current->dataEnd);
    }

    WordBlock* first;
    WordBlock* last;
    char* writePos;
    std::uint32_t spaceLeft;
    WordBlock* current;  // block being filled, then block being read
    const char* readPos;
    // The NULs found ahead of readPos in the current block, bit i for
    // nulsFrom[i]; only the fast walk uses them.
    std::uint64_t nulsAhead;
    const char* nulsFrom;
};
