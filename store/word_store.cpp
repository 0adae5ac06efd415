#include "store/word_store.h"

#include <cstdlib>
#include <cstring>

#include "store/memory.h"
#include "store/short_copy.h"

WordStore::WordStore()
    : wordCount(0),
      first(nullptr),
      last(nullptr),
      writePos(nullptr),
      spaceLeft(0),
      current(nullptr),
      readPos(nullptr),
      nulsAhead(0),
      nulsFrom(nullptr) {}

WordStore::~WordStore() {
    while (first) {
        WordBlock* following = first->next;
        std::free(first->start);
        std::free(first);
        first = following;
    }
}

const char* WordStore::addWord(const char* word) {
    return addWord(word, std::strlen(word));
}

const char* WordStore::addWord(const char* word, std::size_t length) {
    std::size_t n = length + 1;
    if (!first || spaceLeft < n) {
        WordBlock* block = static_cast<WordBlock*>(allocateMemory(sizeof(WordBlock)));
        if (!block) return nullptr;
        block->start = static_cast<char*>(allocateMemory(blockCapacity));
        if (!block->start) {
            std::free(block);
            return nullptr;
        }
        block->next = nullptr;
        if (!first)
            first = block;
        else
            last->next = block;
        last = current = block;
        writePos = block->start;
        spaceLeft = blockCapacity;
    }
    // Entries are short: an inlined copy beats a call to memcpy.
    if (fastPathsEnabled())
        copyShort(writePos, word, n);
    else
        std::memcpy(writePos, word, n);
    spaceLeft -= static_cast<std::uint32_t>(n);
    char* stored = writePos;
    writePos += n;
    current->dataEnd = writePos;
    return stored;
}

void WordStore::rewind() {
    current = first;
    if (first) readPos = first->start;
    nulsAhead = 0;
}
