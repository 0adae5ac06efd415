#include "tests/test_support.h"

#include <cctype>
#include <cstdlib>

#include "dialogue/console.h"
#include "search/search.h"
#include "store/memory.h"

TextInput::~TextInput() {
    std::fclose(stream);
    if (!path.empty()) std::remove(path.c_str());
}

std::string FakeConsole::unreadInput() {
    std::string rest;
    for (int byte; (byte = std::getc(in.file())) != EOF;) rest += static_cast<char>(byte);
    return rest;
}

namespace {
long allocationCalls = 0;
long failingCall = 0;
bool failingSticky = false;

void* failOnRequest(std::size_t size) {
    ++allocationCalls;
    if (allocationCalls == failingCall || (failingSticky && allocationCalls > failingCall))
        return nullptr;
    return std::malloc(size);
}
}  // namespace

FailingAllocator::FailingAllocator(long failing, bool sticky) {
    allocationCalls = 0;
    failingCall = failing;
    failingSticky = sticky;
    useAllocator(failOnRequest);
}

FailingAllocator::~FailingAllocator() {
    useAllocator(nullptr);
}

long FailingAllocator::calls() {
    return allocationCalls;
}

std::vector<std::string> chainWalk(const WordStore& store) {
    std::vector<std::string> entries;
    EntryEnds ends;
    for (const WordBlock* block = store.firstBlock(); block; block = block->next) {
        ends.startBlock(block->start);
        for (const char* entry = block->start; entry < block->dataEnd;) {
            const char* end = ends.endOf(entry, block->dataEnd);
            entries.emplace_back(entry, end);
            entry = end + 1;
        }
    }
    return entries;
}

std::vector<std::string> cursorWalk(WordStore& store) {
    std::vector<std::string> entries;
    store.rewind();
    while (const char* entry = store.nextWord()) entries.emplace_back(entry);
    return entries;
}

void searchFor(const std::string& pattern, WordStore& store) {
    if (hasStar(pattern.c_str()))
        searchStar(pattern.c_str(), store);
    else
        searchFixed(pattern.c_str(), store);
}

int loadBytes(WordStore& store, const std::string& bytes, int keepPunctuation) {
    TextInput file(bytes);
    return store.loadDictionary(file.file(), keepPunctuation);
}

std::string testName(const char* description) {
    std::string name;
    bool capital = true;
    for (const char* p = description; *p; ++p) {
        if (std::isalnum(static_cast<unsigned char>(*p))) {
            name += capital ? static_cast<char>(std::toupper(static_cast<unsigned char>(*p))) : *p;
            capital = false;
        } else {
            capital = true;
        }
    }
    return name;
}
