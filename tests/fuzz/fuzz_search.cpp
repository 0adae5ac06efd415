// Both searches on any small store and any pattern: the first line is the
// pattern, every further line an entry.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/fuzz/check.h"
#include "tests/reference.h"
#include "tests/test_support.h"

namespace {

// A line cut as the program would hold it: at most 99 bytes, up to a NUL.
std::string held(const std::string& line) {
    return std::string(line.substr(0, 99).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t lineFeed = bytes.find('\n');
    std::string pattern = held(bytes.substr(0, lineFeed));
    std::vector<std::string> entries;
    WordStore store;
    for (std::size_t start = lineFeed; start != std::string::npos && entries.size() < 500;) {
        std::size_t next = bytes.find('\n', start + 1);
        entries.push_back(held(bytes.substr(start + 1, next - start - 1)));
        store.addWord(entries.back().c_str());
        start = next;
    }

    FakeConsole console;
    searchFor(pattern, store);
    FUZZ_CHECK(console.output() == reference::listing(entries, pattern));
    return 0;
}
