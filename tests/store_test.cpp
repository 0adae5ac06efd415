#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "store/word_store.h"
#include "tests/test_support.h"

namespace {

using Entries = std::vector<std::string>;

// 2,048 entries of 99 characters and their NULs fill one block exactly.
constexpr int entriesPerFullBlock = WordStore::blockCapacity / 100;

Entries fillOneBlock(WordStore& store) {
    Entries added;
    for (int i = 0; i < entriesPerFullBlock; ++i) {
        added.push_back(std::string(98, 'a' + i % 26) + std::to_string(i % 10));
        store.addWord(added.back().c_str());
    }
    return added;
}

int blockCount(const WordStore& store) {
    int blocks = 0;
    for (const WordBlock* block = store.firstBlock(); block; block = block->next) ++blocks;
    return blocks;
}

TEST(WordStore, EmptyStoreHasNothingToWalk) {
    WordStore store;
    EXPECT_EQ(store.firstBlock(), nullptr);
    store.rewind();
    EXPECT_EQ(store.nextWord(), nullptr);
    EXPECT_EQ(store.wordCount, 0u);
}

TEST(WordStore, EntryThatFillsTheBlockExactlyStaysInIt) {
    WordStore store;
    Entries added = fillOneBlock(store);
    EXPECT_EQ(blockCount(store), 1);
    EXPECT_EQ(store.firstBlock()->dataEnd, store.firstBlock()->start + WordStore::blockCapacity);

    // Even an empty entry no longer fits.
    store.addWord("");
    added.push_back("");
    EXPECT_EQ(blockCount(store), 2);
    EXPECT_EQ(chainWalk(store), added);
    EXPECT_EQ(cursorWalk(store), added);
    EXPECT_EQ(store.wordCount, 0u) << "only the loader counts entries";
}

TEST(WordStore, EntryThatDoesNotFitOpensABlockAndWalksKeepOrder) {
    WordStore store;
    Entries added;
    // 2,047 entries of 100 bytes and one of 50 leave 50 bytes free.
    for (int i = 0; i + 1 < entriesPerFullBlock; ++i) {
        added.push_back(std::string(99, 'k'));
        store.addWord(added.back().c_str());
    }
    added.push_back(std::string(49, 'm'));
    store.addWord(added.back().c_str());
    for (const char* word : {"fifty one bytes and then some to overflow the free tail!", "z"}) {
        added.push_back(word);
        const char* stored = store.addWord(word);
        EXPECT_STREQ(stored, word);
    }
    EXPECT_EQ(blockCount(store), 2);
    EXPECT_EQ(chainWalk(store), added);
    EXPECT_EQ(cursorWalk(store), added);
    EXPECT_EQ(cursorWalk(store), added) << "a second walk yields the same entries";
}

TEST(WordStore, CursorStaysAtTheEndUntilRewound) {
    WordStore store;
    store.addWord("one");
    store.addWord("two");
    store.rewind();
    EXPECT_STREQ(store.nextWord(), "one");
    EXPECT_STREQ(store.nextWord(), "two");
    EXPECT_EQ(store.nextWord(), nullptr);
    EXPECT_EQ(store.nextWord(), nullptr);
    chainWalk(store);  // a chain walk leaves the cursor alone
    EXPECT_EQ(store.nextWord(), nullptr);
    store.rewind();
    EXPECT_STREQ(store.nextWord(), "one");
}

// Opening a block allocates its record, then its text.
TEST(WordStore, FailedAllocationKeepsEveryStoredEntry) {
    for (long failing : {1L, 2L}) {
        WordStore store;
        FailingAllocator allocator(failing);
        EXPECT_EQ(store.addWord("first"), nullptr);
        EXPECT_TRUE(cursorWalk(store).empty());
    }
    for (long failing : {3L, 4L}) {
        WordStore store;
        FailingAllocator allocator(failing);
        Entries stored = fillOneBlock(store);
        EXPECT_EQ(store.addWord("next"), nullptr);
        EXPECT_EQ(chainWalk(store), stored);
        EXPECT_EQ(cursorWalk(store), stored);
    }
}

// Blocks of every size up to 200 bytes, so that their end falls at every
// place of a 64-byte window: the walk must find each entry's end and read
// nothing past the block, which the sanitizer build would catch.
TEST(EntryEnds, FindsEveryEntryEndAndReadsNothingPastTheBlock) {
    Random random(64);
    const std::string bytes("aaab\0", 5);
    for (int size = 1; size <= 200; ++size) {
        for (int round = 0; round < 10; ++round) {
            std::string text = random.text(bytes, size - 1) + '\0';
            std::vector<std::size_t> nuls;
            for (std::size_t i = 0; i < text.size(); ++i)
                if (text[i] == '\0') nuls.push_back(i);
            std::unique_ptr<char[]> block(new char[text.size()]);
            std::memcpy(block.get(), text.data(), text.size());
            const char* limit = block.get() + text.size();
            EntryEnds ends;
            ends.startBlock(block.get());
            std::vector<std::size_t> found;
            for (const char* entry = block.get(); entry < limit;) {
                const char* end = ends.endOf(entry, limit);
                found.push_back(static_cast<std::size_t>(end - block.get()));
                entry = end + 1;
            }
            ASSERT_EQ(found, nuls) << "size " << size;
        }
    }
}

}  // namespace
