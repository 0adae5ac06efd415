// The fast paths against the plain ones: on the same seeded random inputs,
// loading and both searches must write and store exactly the same.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dialogue/console.h"
#include "search/search.h"
#include "store/fast_paths.h"
#include "tests/test_support.h"

namespace {

using Entries = std::vector<std::string>;

class Random {
public:
    explicit Random(unsigned seed) : engine(seed) {}
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine); }
    // Mostly short, now and then up to `longest`.
    int length(int typical, int longest) {
        return below(8) ? below(typical + 1) : below(longest + 1);
    }
    std::string text(const std::string& alphabet, int length) {
        std::string out(length, ' ');
        for (char& c : out) c = alphabet[below(static_cast<int>(alphabet.size()))];
        return out;
    }

private:
    std::mt19937 engine;
};

// Runs `work` with the fast paths on and then off; returns both outputs.
template <class Work>
std::pair<std::string, std::string> bothWays(const std::string& input, Work work) {
    std::string out[2];
    for (bool fast : {true, false}) {
        enableFastPaths(fast);
        FakeConsole console(input);
        work();
        out[fast ? 0 : 1] = console.output();
    }
    enableFastPaths(true);
    return {out[0], out[1]};
}

// Entries of 0 to 99 bytes over a few letters, wildcards kept as ordinary
// bytes, blanks and high bytes, over several blocks. The first block is
// filled to its last byte, where reading past an entry's end would leave
// the allocation (which the sanitizer build catches).
TEST(FastPaths, SearchesListWhatThePlainOnesList) {
    Random random(20261208);
    const std::string letters = "eeab?* \xE9";
    WordStore store;
    for (std::uint32_t i = 0; i < WordStore::blockCapacity / 100; ++i)
        store.addWord(random.text(letters, 99).c_str());
    for (int i = 0; i < 30000; ++i)
        store.addWord(random.text(letters, random.length(14, 99)).c_str());
    ASSERT_NE(store.firstBlock()->next->next, nullptr);

    for (int i = 0; i < 1000; ++i) {
        std::string pattern = random.text(i % 3 ? "eab?*" : "eab?", random.length(12, 99));
        if (i % 50 == 0) {  // long compares, up to the end of the block's last entry
            pattern = std::string(85 + random.below(15), '?');
            if (i % 100 == 0) pattern[random.below(static_cast<int>(pattern.size()))] = '*';
        }
        auto [fast, plain] = bothWays("", [&] {
            if (hasStar(pattern.c_str()))
                searchStar(pattern.c_str(), store);
            else
                searchFixed(pattern.c_str(), store);
        });
        ASSERT_EQ(fast, plain) << "pattern '" << pattern << "'";
    }
}

// Files of lines up to and past the 99-byte limit, with every kind of byte
// the loader treats apart: line ends, CR, blanks, punctuation, capitals,
// NUL, 0x1A and high bytes, and lines of letters only, whose long runs cross
// the fast loader's windows and reach the limit inside a run; some files
// are long enough that lines are split between reads.
TEST(FastPaths, LoaderStoresWhatThePlainOneStores) {
    Random random(1208);
    const std::string bytes =
        std::string("aaaaaaaZzz  \t\r.'-\xC4\xFF\n", 21) + std::string(1, '\0');
    const std::string letters = "abcXYZ\xE9";
    for (int i = 0; i < 300; ++i) {
        std::string file;
        int lines = i % 25 ? random.below(400) : 15000;  // some files span several reads
        for (int line = lines; line > 0; --line) {
            const std::string& alphabet = random.below(3) ? bytes : letters;
            file +=
                random.text(alphabet, random.length(20, 130)) + (random.below(4) ? "\n" : "\r\n");
        }
        if (random.below(5) == 0)
            file.insert(random.below(static_cast<int>(file.size()) + 1), "\x1A");
        int keepPunctuation = random.below(2);
        Entries entries[2];
        auto [fast, plain] = bothWays("", [&, n = 0]() mutable {
            WordStore store;
            loadBytes(store, file, keepPunctuation);
            entries[n++] = cursorWalk(store);
        });
        ASSERT_EQ(fast, plain) << "file " << i;
        ASSERT_EQ(entries[0], entries[1]) << "file " << i;
    }
}

}  // namespace
