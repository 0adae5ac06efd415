// The loader on any file bytes. The first byte chooses whether punctuation is
// kept and how far into the file the first read boundary falls.

#include <cstdint>
#include <string>

#include "tests/fuzz/check.h"
#include "tests/reference.h"
#include "tests/test_support.h"

namespace {

bool isCleanEntry(const std::string& entry, bool keepPunctuation) {
    if (entry.size() > 99) return false;
    if (!entry.empty() && (reference::isWhite(entry.front()) || reference::isWhite(entry.back())))
        return false;
    for (char c : entry)
        if ((c >= 'A' && c <= 'Z') || (!keepPunctuation && reference::isPunct(c))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    bool keepPunctuation = data[0] & 1;
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    reference::Loaded plain = reference::load(bytes, keepPunctuation);

    // Line feeds in front add no entry but move the read boundary. Like a
    // single one, they make a byte-order mark at the start part of the first
    // entry.
    std::string shifted = std::string(102400 - (data[0] >> 1), '\n') + bytes;
    reference::Loaded afterLineFeed = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0
                                          ? reference::load("\n" + bytes, keepPunctuation)
                                          : plain;
    struct {
        const std::string& file;
        const reference::Loaded& expected;
    } runs[] = {{bytes, plain}, {shifted, afterLineFeed}};
    for (const auto& [file, expected] : runs) {
        FakeConsole console;
        WordStore store;
        FUZZ_CHECK(loadBytes(store, file, keepPunctuation) == 0);
        std::vector<std::string> entries = cursorWalk(store);
        for (const std::string& entry : entries) FUZZ_CHECK(isCleanEntry(entry, keepPunctuation));
        FUZZ_CHECK(entries == expected.entries);
        FUZZ_CHECK(store.wordCount == entries.size());
        FUZZ_CHECK(console.output() == expected.display);
    }
    return 0;
}
