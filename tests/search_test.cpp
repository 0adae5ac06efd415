#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogue/console.h"
#include "search/search.h"
#include "tests/reference.h"
#include "tests/test_support.h"
#include "tests/transcript.h"

namespace {

using Entries = std::vector<std::string>;
using transcript::heartbeat;
using transcript::pausePrompt;
using transcript::repeat;

void fill(WordStore& store, const Entries& entries) {
    for (const std::string& entry : entries) store.addWord(entry.c_str());
}

// Runs one search of `pattern` over `entries`, with `input` for the pauses.
std::string listed(const Entries& entries, const std::string& pattern,
                   const std::string& input = "") {
    WordStore store;
    fill(store, entries);
    FakeConsole console(input);
    searchFor(pattern, store);
    return console.output();
}

std::string lines(const Entries& entries) {
    std::string text;
    for (const std::string& entry : entries) text += entry + "\n";
    return text;
}

struct SearchCase {
    std::string pattern;
    Entries entries;
    Entries listed;
};

void PrintTo(const SearchCase& c, std::ostream* os) {
    *os << "pattern '" << c.pattern << "'";
}

class Searching : public testing::TestWithParam<SearchCase> {};

TEST_P(Searching, ListsWhatFitsInStorageOrder) {
    const SearchCase& c = GetParam();
    EXPECT_EQ(listed(c.entries, c.pattern), lines(c.listed));
}

const Entries threes = {"cat", "cot", "ct",  "cart", "cats", "scat", "c t",       "c-t",
                        "c?t", "ca",  "cut", "cat",  "a",    "",     "ice cream", "ice-cream"};

INSTANTIATE_TEST_SUITE_P(
    Fixed, Searching,
    testing::Values(SearchCase{"?", threes, {"a"}},
                    SearchCase{"c?t", threes, {"cat", "cot", "c t", "c-t", "c?t", "cut", "cat"}},
                    SearchCase{"cat", threes, {"cat", "cat"}},
                    SearchCase{"???", threes, {"cat", "cot", "c t", "c-t", "c?t", "cut", "cat"}},
                    SearchCase{"cat ", threes, {}}, SearchCase{"ice cream", threes, {"ice cream"}},
                    SearchCase{"??????????", threes, {}}, SearchCase{"", threes, {""}},
                    SearchCase{"\xE9t\xE9", {"\xE9t\xE9", "\xC9t\xC9", "ete"}, {"\xE9t\xE9"}}));

INSTANTIATE_TEST_SUITE_P(
    Star, Searching,
    testing::Values(SearchCase{"*", {"a", "", "bc"}, {"a", "", "bc"}},
                    SearchCase{"**", {"a", "", "bc"}, {"a", "", "bc"}},
                    SearchCase{"a*", {"a", "ab", "ba"}, {"a", "ab"}},
                    SearchCase{"*a", {"a", "ab", "ba"}, {"a", "ba"}},
                    SearchCase{"a*a", {"a", "aa", "aba", "ab"}, {"aa", "aba"}},
                    SearchCase{"ab*bc", {"abc", "abbc", "abxbc"}, {"abbc", "abxbc"}},
                    SearchCase{"*a?c*", {"abc", "xaxcx", "ac"}, {"abc", "xaxcx"}},
                    SearchCase{"?*", {"", "a", "ab"}, {"a", "ab"}},
                    SearchCase{"*?", {"", "a", "ab"}, {"a", "ab"}},
                    SearchCase{"*ab*ab*", {"abab", "xabyabz", "aba"}, {"abab", "xabyabz"}},
                    SearchCase{"*aa*aa*", {"aaa", "aaaa"}, {"aaaa"}},
                    SearchCase{"*aba*aba*", {"ababa", "abaaba"}, {"abaaba"}},
                    SearchCase{"*bc*", {"abc", "bcx", "b c"}, {"abc", "bcx"}},
                    SearchCase{"*x*y*", {"axby", "ayxb"}, {"axby"}},
                    SearchCase{
                        "a**b***c*d", {"abcd", "axbxcxd", "abdc", "acbd"}, {"abcd", "axbxcxd"}},
                    SearchCase{"?hy*i*og?", {"physiology", "physiologic", "hyiog"}, {"physiology"}},
                    SearchCase{"*?t", {"c?t", "at", "t"}, {"c?t", "at"}}));

TEST(StarParse, CutsHeadSegmentsAndTail) {
    struct {
        const char* pattern;
        const char* head;
        std::vector<std::string> segments;
        const char* tail;
    } cases[] = {
        {"*", "", {}, ""},
        {"**", "", {}, ""},
        {"a*", "a", {}, ""},
        {"*a", "", {}, "a"},
        {"a*a", "a", {}, "a"},
        {"a***b", "a", {}, "b"},
        {"*ab", "", {}, "ab"},
        {"?*?", "?", {}, "?"},
        {"?hy*i*og?", "?hy", {"i"}, "og?"},
        {"*z*z*z*", "", {"z", "z", "z"}, ""},
        {"r*y*y*", "r", {"y", "y"}, ""},
        {"a**b***c*d", "a", {"b", "c"}, "d"},
        {"*a?c*", "", {"a?c"}, ""},
        {"*ab*ab*", "", {"ab", "ab"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        char head[100], tail[100];
        StarSegment* chain = parseStarPattern(c.pattern, head, tail);
        EXPECT_STREQ(head, c.head);
        EXPECT_STREQ(tail, c.tail);
        std::vector<std::string> segments;
        std::int32_t total = 0;
        for (const StarSegment* s = chain; s; s = s->next) {
            segments.emplace_back(s->text);
            EXPECT_EQ(s->length, static_cast<std::int32_t>(segments.back().size()));
            total += s->length;
        }
        EXPECT_EQ(segments, c.segments);
        EXPECT_EQ(segmentsLength(chain), total);
        EXPECT_EQ(freeSegments(chain), nullptr);
    }
    EXPECT_EQ(segmentsLength(nullptr), 0);
    EXPECT_EQ(freeSegments(nullptr), nullptr);
}

// Both searches report through the same listing; run each check through both.
class Listing : public testing::TestWithParam<const char*> {
protected:
    std::string pattern() const { return GetParam(); }  // lists exactly "w"
};

INSTANTIATE_TEST_SUITE_P(BothSearches, Listing, testing::Values("w", "w*"));

TEST_P(Listing, PausesAfterEvery23rdMatch) {
    const std::string page = repeat("w\n", 23);
    EXPECT_EQ(listed(Entries(22, "w"), pattern()), repeat("w\n", 22));
    EXPECT_EQ(listed(Entries(23, "w"), pattern(), "\n"), page + pausePrompt);
    EXPECT_EQ(listed(Entries(24, "w"), pattern(), "\n"), page + pausePrompt + "w\n");
    EXPECT_EQ(listed(Entries(46, "w"), pattern(), "\n\n"), page + pausePrompt + page + pausePrompt);
}

TEST_P(Listing, HeartbeatOnEvery5000thEntryExamined) {
    EXPECT_EQ(listed(Entries(4999, "x"), pattern()), "");
    EXPECT_EQ(listed(Entries(5000, "x"), pattern()), heartbeat);
    EXPECT_EQ(listed(Entries(10001, "x"), pattern()), heartbeat + heartbeat);
    Entries entries(4999, "x");
    entries.push_back("w");
    EXPECT_EQ(listed(entries, pattern()), heartbeat + "w\n");
}

TEST_P(Listing, PausesShareInputWithTheRestOfTheDialogue) {
    const std::string page = repeat("w\n", 23);
    const std::string reply60(60, 'r');
    struct {
        int matches;
        std::string input, unread;
    } cases[] = {
        {46, reply60 + "\nnext\n", "next\n"},               // the second pause takes the rest
        {23, reply60 + "\n", std::string(11, 'r') + "\n"},  // left for the search prompt
        {23, std::string(49, 'r') + "\n", "\n"},
        {46, "", ""},  // end of input: no waiting
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        WordStore store;
        fill(store, Entries(c.matches, "w"));
        FakeConsole console(c.input);
        searchFor(pattern(), store);
        EXPECT_EQ(console.output(), repeat(page + pausePrompt, c.matches / 23));
        EXPECT_EQ(console.unreadInput(), c.unread);
    }
}

TEST_P(Listing, EverySearchStartsItsCountsAfresh) {
    WordStore store;
    fill(store, Entries(4999, "w"));
    FakeConsole console;
    for (int round = 0; round < 2; ++round) {
        store.rewind();
        store.nextWord();  // a walk under way must not disturb the searches
        searchFor(pattern(), store);
    }
    std::string one = repeat(repeat("w\n", 23) + pausePrompt, 4999 / 23) + repeat("w\n", 4999 % 23);
    EXPECT_EQ(console.output(), one + one);
}

TEST(FixedSearch, WalksTheChainAcrossBlocksAndLeavesTheCursorAlone) {
    WordStore store;
    Entries entries;
    for (int i = 0; i < 2100; ++i) entries.push_back(std::string(98, 'k') + (i % 2 ? "a" : "b"));
    fill(store, entries);  // 2,048 of them fill the first block
    store.rewind();
    EXPECT_EQ(store.nextWord(), entries[0]);
    FakeConsole console(std::string(100, '\n'));
    searchFixed((std::string(98, 'k') + "a").c_str(), store);
    EXPECT_EQ(console.output(), reference::listing(entries, std::string(98, 'k') + "a"));
    EXPECT_EQ(store.nextWord(), entries[1]);
}

// Random entries and patterns over a small alphabet, '?' and '*' included as
// ordinary bytes of entries, a blank and a high byte too: the searches must
// list exactly what a whole-pattern wildcard match lists. The first block is
// filled to its last byte, so that a read past the end of its last entry
// leaves the allocation, which the sanitizer build catches; now and then a
// pattern of 85 to 99 bytes compares up to there.
TEST(Searches, AgreeWithWholePatternWildcardMatching) {
    Random random(20261208);
    const std::string letters = "eeab?* \xE9";
    Entries entries;
    std::size_t used = 0;  // in the first block, NULs included
    while (WordStore::blockCapacity - used >= 200) {
        entries.push_back(random.text(letters, random.length(40, 99)));
        used += entries.back().size() + 1;
    }
    std::size_t rest = WordStore::blockCapacity - used;
    entries.push_back(random.text(letters, int(rest / 2 - 1)));
    entries.push_back(random.text(letters, int(rest - rest / 2 - 1)));
    for (int i = 0; i < 3000; ++i) entries.push_back(random.text(letters, random.length(9, 99)));
    WordStore store;
    fill(store, entries);
    ASSERT_EQ(store.firstBlock()->dataEnd, store.firstBlock()->start + WordStore::blockCapacity);
    for (int i = 0; i < 400; ++i) {
        std::string pattern = random.text(i % 3 ? "eab?*" : "eab?", random.length(10, 99));
        if (i % 20 == 0) {
            pattern = std::string(85 + random.below(15), '?');
            if (i % 40 == 0) pattern[random.below(int(pattern.size()))] = '*';
        }
        FakeConsole console;
        searchFor(pattern, store);
        ASSERT_EQ(console.output(), reference::listing(entries, pattern)) << "pattern " << pattern;
    }
}

TEST(StarSearch, EntriesTooShortStillCountForTheHeartbeat) {
    EXPECT_EQ(listed(Entries(10001, "x"), "*abc*"), heartbeat + heartbeat);
}

}  // namespace
