// Helpers for the unit tests: a console that reads and writes strings, an
// allocator that fails on request, walks over a store, a search of either
// kind, and seeded random texts.
//
// Text is read as the program reads its standard input and word lists: on
// Windows from a file in the C runtime's text mode (CR LF read as LF, the
// first 0x1A ends it), elsewhere from memory, as the bytes are. What differs
// between the platforms is in test_platform_posix.cpp and
// test_platform_windows.cpp, one of which the build chooses.
#pragma once

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "store/word_store.h"

// A stream that reads `bytes` as text.
class TextInput {
public:
    explicit TextInput(const std::string& bytes);
    ~TextInput();
    TextInput(const TextInput&) = delete;
    TextInput& operator=(const TextInput&) = delete;

    std::FILE* file() const { return stream; }

private:
    std::string bytes;  // what a memory stream reads
    std::string path;   // the file it is read from, where there is one
    std::FILE* stream;
};

// Opens the null device for reading: input that has ended.
std::FILE* openNothing();

// True when the Windows program runs under wine rather than on Windows.
bool underWine();

// Makes standard error take what is written as it is: on Windows without
// text mode's CR before each LF.
void writeErrorsUntranslated();

// Attaches the console to `input` and collects everything written, as the
// program writes it (no text-mode line ends added).
class FakeConsole {
public:
    explicit FakeConsole(const std::string& input = "");
    ~FakeConsole();
    FakeConsole(const FakeConsole&) = delete;
    FakeConsole& operator=(const FakeConsole&) = delete;

    std::string output();
    // What the program has not read of its input, read as text.
    std::string unreadInput();

private:
    TextInput in;
    char* written = nullptr;  // what a memory stream holds
    std::size_t writtenSize = 0;
    std::FILE* out;
};

// Makes allocation number `failing` (counted from 1, from now on) return
// null, and every one after it when `sticky`; counts all of them.
class FailingAllocator {
public:
    explicit FailingAllocator(long failing, bool sticky = false);
    ~FailingAllocator();
    static long calls();
};

// Reads a store's entries by walking its block chain, and by its cursor.
std::vector<std::string> chainWalk(const WordStore& store);
std::vector<std::string> cursorWalk(WordStore& store);

// Runs the search that `pattern` calls for, as the query loop does.
void searchFor(const std::string& pattern, WordStore& store);

// Seeded random numbers and texts, the same on every machine.
class Random {
public:
    explicit Random(unsigned seed) : engine(seed) {}
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine); }
    // Mostly up to `typical`, now and then up to `longest`.
    int length(int typical, int longest) {
        return below(8) ? below(typical + 1) : below(longest + 1);
    }
    std::string text(const std::string& alphabet, int length) {
        std::string out(static_cast<std::size_t>(length), ' ');
        for (char& c : out) c = alphabet[static_cast<std::size_t>(below(int(alphabet.size())))];
        return out;
    }

private:
    std::mt19937 engine;
};

// A test name made of the letters and digits of `description`.
std::string testName(const char* description);

// Loads `bytes` as a word-list file; returns loadDictionary's result.
int loadBytes(WordStore& store, const std::string& bytes, int keepPunctuation);
