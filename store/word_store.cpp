#include "store/word_store.h"

#include <cstdlib>
#include <cstring>

#include "store/memory.h"

WordStore::WordStore()
    : wordCount(0),
      first(nullptr),
      last(nullptr),
      writePos(nullptr),
      spaceLeft(0),
      current(nullptr),
      readPos(nullptr) {}

WordStore::~WordStore() {
    while (first) {
        WordBlock* following = first->next;
        std::free(first->start);
        std::free(first);
        first = following;
    }
}

const char* WordStore::addWord(const char* word) {
    std::size_t length = std::strlen(word);
    return addWord(word, length, length + 1);
}

bool WordStore::openBlock() {
    WordBlock* block = static_cast<WordBlock*>(allocateMemory(sizeof(WordBlock)));
    if (!block) return false;
    block->start = static_cast<char*>(allocateMemory(blockCapacity));
    if (!block->start) {
        std::free(block);
        return false;
    }
    block->next = nullptr;
    if (!first)
        first = block;
    else
        last->next = block;
    last = current = block;
    writePos = block->start;
    spaceLeft = blockCapacity;
    return true;
}

void WordStore::rewind() {
    current = first;
    if (!first) return;
    readPos = first->start;
    ends.startBlock(readPos);
}
