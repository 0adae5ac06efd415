// The dictionary loader: cuts the word-list file into entries, one per line,
// and appends them to the store in file order.

#include <algorithm>
#include <cinttypes>
#include <cstdlib>
#include <cstring>

#include "dialogue/console.h"
#include "store/bytes.h"
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
    nulByte,  // NUL: stored like `keep`, but it ends the stored text
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

void showCount(std::uint32_t count) {
    say("%10.1" PRIu32, count);
}

// The ten backspaces and the count in one message: refreshed every 100
// entries, it is the loader's most frequent output.
void refreshCount(std::uint32_t count) {
    say("\b\b\b\b\b\b\b\b\b\b%10.1" PRIu32, count);
}

// The scanner. Every step of it is a row of the table below, taken byte by
// byte in file order; what makes it fast is how a run of kept ordinary bytes
// (letters, mostly) goes through those rows: the run is found whole, from a
// bitmap of the 64 bytes of a window that marks the bytes that end a run,
// and appended at once. Only the bytes between runs go through the table
// one at a time. An entry is then finished knowing its length.
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
            else if (byte == 0)
                action = nulByte;
            actions[byte] = action;
            endsRun[byte] = action != keep;
        }
    }

    // Runs the scanner over one read's text; false when memory ran out.
    bool scan(const unsigned char* p, const unsigned char* end) {
        for (; p < end; p += windowSize) {
            std::size_t size = std::min(windowSize, static_cast<std::size_t>(end - p));
            if (!scanWindow(p, size, end)) return false;
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

    static constexpr std::size_t windowSize = 64;

    // One row of the scanner's table; false when memory ran out.
    bool scanByte(unsigned char byte) {
        Action action = actions[byte];
        switch (state) {
            case State::betweenEntries:
                if (action == keep || action == nulByte) {
                    startEntry();
                    appendByte(byte, action);
                }
                break;
            case State::inEntry:
                if (action == lineEnd) {
                    state = State::betweenEntries;
                    return finishEntry();
                }
                if (held == maxWordLength)
                    rejectLine();
                else if (action != drop)
                    appendByte(byte, action);
                break;
            case State::skipping:
                if (action == lineEnd) state = State::betweenEntries;
                break;
        }
        return true;
    }

    void startEntry() {
        state = State::inEntry;
        held = 0;
        holdsNul = false;
    }

    void appendByte(unsigned char byte, Action action) {
        if (action == nulByte) holdsNul = true;
        entry[held++] = static_cast<char>(byte);
    }

    // The `size` bytes at p, at most a window: the runs of kept ordinary
    // bytes between the bytes that end them are taken whole, and each such
    // byte goes through the table.
    bool scanWindow(const unsigned char* p, std::size_t size, const unsigned char* end) {
        std::uint64_t stops = runEnds(p, size);
        std::size_t at = 0;
        for (;;) {
            std::size_t next = stops ? static_cast<std::size_t>(lowestBit(stops)) : size;
            if (next > at) takeRun(p + at, next - at, end);
            if (next == size) return true;
            if (!scanByte(p[next])) return false;
            stops &= stops - 1;
            at = next + 1;
        }
    }

    // Bit i set when p[i] ends a run, for the `size` bytes at p: one table
    // look-up per byte and no branch, so that where the lines end costs no
    // mispredicted jump. Only a whole window's loop is unrolled; a shorter
    // one comes once, at the end of a read.
    std::uint64_t runEnds(const unsigned char* p, std::size_t size) const {
        std::uint64_t bits = 0;
        if (size == windowSize) {
#pragma GCC unroll 64
            for (std::size_t i = 0; i < windowSize; ++i) bits |= std::uint64_t{endsRun[p[i]]} << i;
        } else {
            for (std::size_t i = 0; i < size; ++i) bits |= std::uint64_t{endsRun[p[i]]} << i;
        }
        return bits;
    }

    // The rows of the table for `run` kept ordinary bytes in a row: the
    // first starts an entry, the others are appended while fewer than 99
    // are held, and the next one rejects the line. The read's text ends at
    // `end`.
    void takeRun(const unsigned char* p, std::size_t run, const unsigned char* end) {
        if (state == State::skipping) return;
        if (state == State::betweenEntries) startEntry();
        std::size_t room = static_cast<std::size_t>(maxWordLength - held);
        std::size_t taken = std::min(run, room);
        char* to = entry + held;
        std::size_t movable = std::min(static_cast<std::size_t>(end - p),
                                       static_cast<std::size_t>(entry + sizeof entry - to));
        copyUnits(to, reinterpret_cast<const char*>(p), taken, movable);
        held += static_cast<int>(taken);
        if (run > room) rejectLine();
    }

    void rejectLine() {
        say("WARNING: A word of size %d has been rejected.\n", maxWordLength);
        state = State::skipping;
    }

    // The entry's NUL, trimming, folding and the append, on a text whose
    // length is known: the characters held, unless a NUL among them ends
    // the text sooner.
    bool storeEntry() {
        putNul(static_cast<std::size_t>(held));
        std::size_t length = holdsNul ? std::strlen(entry) : static_cast<std::size_t>(held);
        length = trimTrailingSpace(entry, length);
        lowercase(entry, length);
        return store.addWord(entry, length, sizeof entry) != nullptr;
    }

    // entry[at] = NUL, written as a rewrite of the whole unit that holds it
    // (store/bytes.h says why).
    void putNul(std::size_t at) {
        std::size_t base = at & ~std::size_t{15};
        if (base + 16 <= sizeof entry)
            store16(entry + base, keepFirst(load16(entry + base), at - base));
        else
            entry[at] = '\0';
    }

    // Cuts the trailing white space of the entry's `length` characters;
    // returns the length left.
    std::size_t trimTrailingSpace(char* text, std::size_t length) {
        std::size_t kept = length;
        while (kept > 0 && isWhiteSpace(static_cast<unsigned char>(text[kept - 1]))) --kept;
        if (kept != length) putNul(kept);
        return kept;
    }

    // Folds A-Z in the entry's `length` characters a unit at a time. The
    // bytes past the NUL are folded along, and the NUL stays NUL; the last
    // unit of a long entry ends with the buffer and folds a few bytes twice,
    // which changes nothing.
    void lowercase(char* text, std::size_t length) {
        for (std::size_t i = 0; i < length; i += 16) {
            std::size_t at = std::min(i, sizeof entry - 16);
            store16(text + at, foldCapitals(load16(text + at)));
        }
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
    unsigned char endsRun[256];  // 1 where actions[] is not `keep`
    State state = State::betweenEntries;
    // Zeroed, so that the steps that take it 16 bytes at a time read no
    // indeterminate byte.
    char entry[maxWordLength + 1] = {};
    int held = 0;
    bool holdsNul = false;
    int wordsSinceRefresh = 0;
};

// The UTF-8 byte-order mark that Windows editors put at the start of a file
// would otherwise stick, unseen, to the first entry, which then no pattern
// finds. Only the file's first three bytes can be one.
std::size_t byteOrderMarkLength(const unsigned char* text, std::size_t size) {
    return size >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF ? 3 : 0;
}

int loadWith(WordStore& store, std::FILE* file, int keepPunctuation, char* buffer) {
    Loader loader(store, keepPunctuation);
    TextReader text(file);
    bool memoryLeft = true;
    bool firstRead = true;
    while (std::size_t got = text.read(buffer, chunkSize)) {
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer);
        const unsigned char* start = firstRead ? bytes + byteOrderMarkLength(bytes, got) : bytes;
        firstRead = false;
        memoryLeft = loader.scan(start, bytes + got);
        if (!memoryLeft) break;
    }
    if (memoryLeft) memoryLeft = loader.finishInput();
    if (memoryLeft) refreshCount(store.wordCount);
    return memoryLeft ? 0 : 1;
}

}  // namespace

int WordStore::loadDictionary(std::FILE* file, int keepPunctuation) {
    say("\n\n\n\n\n\n\n\n\nNumber of words read in: ");
    showCount(wordCount);
    char* buffer = static_cast<char*>(allocateMemory(chunkSize));
    if (!buffer) return 1;
    int result = loadWith(*this, file, keepPunctuation, buffer);
    std::free(buffer);
    return result;
}
