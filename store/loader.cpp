// The dictionary loader: cuts the word-list file into entries, one per line,
// and appends them to the store in file order.

#include <cinttypes>
#include <cstdlib>

#include "dialogue/console.h"
#include "store/memory.h"
#include "store/text_reader.h"
#include "store/word_store.h"

namespace {

constexpr int maxWordLength = 99;
constexpr std::size_t chunkSize = 102400;
constexpr int wordsPerRefresh = 100;

// What a byte does to the line it stands in.
enum Action : unsigned char {
    keep,     // stored: letters, digits, other bytes, punctuation that is kept
    blank,    // white space other than LF: skipped before an entry, collected inside
    drop,     // punctuation that is stripped: skipped everywhere
    lineEnd,  // LF
};

bool isWhiteSpace(unsigned char byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

bool isPunctuation(unsigned char byte) {
    return (byte >= 0x21 && byte <= 0x2F) || (byte >= 0x3A && byte <= 0x40) ||
           (byte >= 0x5B && byte <= 0x60) || (byte >= 0x7B && byte <= 0x7E);
}

void trimTrailingSpace(char* text) {
    char* end = text;
    while (*end) ++end;
    while (end > text && isWhiteSpace(static_cast<unsigned char>(end[-1]))) --end;
    *end = '\0';
}

void showCount(std::uint32_t count) {
    say("%10.1" PRIu32, count);
}

void refreshCount(std::uint32_t count) {
    say("\b\b\b\b\b\b\b\b\b\b");
    showCount(count);
}

class Loader {
public:
    Loader(WordStore& store, int keepPunctuation) : store(store) {
        for (int byte = 0; byte < 256; ++byte) {
            Action action = keep;
            if (byte == '\n')
                action = lineEnd;
            else if (isWhiteSpace(byte))
                action = blank;
            else if (isPunctuation(byte) && !keepPunctuation)
                action = drop;
            actions[byte] = action;
        }
    }

    // Runs the scanner over one read's text; false when memory ran out.
    bool scan(const unsigned char* p, const unsigned char* end) {
        while (p < end) {
            switch (state) {
                case State::betweenEntries:
                    p = findEntry(p, end);
                    break;
                case State::inEntry:
                    p = collect(p, end);
                    if (!p) return false;
                    break;
                case State::skipping:
                    p = skipLine(p, end);
                    break;
            }
        }
        return true;
    }

    // Stores the entry under way when the input ended; false when memory
    // ran out. Such an entry is counted but brings no refresh.
    bool finishInput() {
        if (state != State::inEntry) return true;
        if (!storeEntry()) return false;
        ++store.wordCount;
        return true;
    }

private:
    enum class State { betweenEntries, inEntry, skipping };

    const unsigned char* findEntry(const unsigned char* p, const unsigned char* end) {
        for (; p < end; ++p) {
            if (actions[*p] == keep) {
                entry[0] = static_cast<char>(*p);
                held = 1;
                state = State::inEntry;
                return p + 1;
            }
        }
        return p;
    }

    // Null when memory ran out.
    const unsigned char* collect(const unsigned char* p, const unsigned char* end) {
        for (; p < end; ++p) {
            Action action = actions[*p];
            if (action == lineEnd) {
                state = State::betweenEntries;
                return finishEntry() ? p + 1 : nullptr;
            }
            if (held == maxWordLength) {
                rejectLine();
                return p + 1;
            }
            if (action != drop) entry[held++] = static_cast<char>(*p);
        }
        return p;
    }

    const unsigned char* skipLine(const unsigned char* p, const unsigned char* end) {
        for (; p < end; ++p) {
            if (actions[*p] == lineEnd) {
                state = State::betweenEntries;
                return p + 1;
            }
        }
        return p;
    }

    void rejectLine() {
        say("WARNING: A word of size %d has been rejected.\n", maxWordLength);
        state = State::skipping;
    }

    bool storeEntry() {
        entry[held] = '\0';
        trimTrailingSpace(entry);
        lowercase(entry);
        return store.addWord(entry) != nullptr;
    }

    bool finishEntry() {
        if (!storeEntry()) return false;
        ++store.wordCount;
        if (++wordsSinceRefresh == wordsPerRefresh) {
            wordsSinceRefresh = 0;
            refreshCount(store.wordCount);
        }
        return true;
    }

    WordStore& store;
    Action actions[256];
    State state = State::betweenEntries;
    char entry[maxWordLength + 1];
    int held = 0;
    int wordsSinceRefresh = 0;
};

}  // namespace

int WordStore::loadDictionary(std::FILE* file, int keepPunctuation) {
    say("\n\n\n\n\n\n\n\n\nNumber of words read in: ");
    showCount(wordCount);
    char* buffer = static_cast<char*>(allocateMemory(chunkSize));
    if (!buffer) return 1;

    Loader loader(*this, keepPunctuation);
    TextReader text(file);
    bool memoryLeft = true;
    while (std::size_t got = text.read(buffer, chunkSize)) {
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer);
        memoryLeft = loader.scan(bytes, bytes + got);
        if (!memoryLeft) break;
    }
    if (memoryLeft) memoryLeft = loader.finishInput();
    if (memoryLeft) refreshCount(wordCount);
    std::free(buffer);
    return memoryLeft ? 0 : 1;
}
